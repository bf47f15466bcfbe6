#include "wizard/wz_ethertalk_page.h"

#include <algorithm>

namespace wizard {

namespace {
enum RowVar { kName = 2, kZone = 6 };
}

CWzEtherTalkDlg::CWzEtherTalkDlg(std::string prefix) : group_([&] {
  snmpaccess::GroupParams p;
  p.prefix = std::move(prefix);
  return p;
}()) {}

int CWzEtherTalkDlg::read(snmpaccess::CSnmpSession& session) {
  clearChanged();
  names_.clear();
  zones_.clear();
  if (const int rc = group_.read(session)) return rc;
  const int rows = std::max(0, group_.rowCount());
  for (int i = 0; i < rows; ++i) {
    snmpaccess::CMibGroup* row = nullptr;
    std::string name, zone;
    if (group_.row(i, row) == 0 && row) {
      row->getBytes(kName, name);
      row->getBytes(kZone, zone);
    }
    names_.push_back(std::move(name));
    zones_.push_back(std::move(zone));
  }
  return 0;
}

void CWzEtherTalkDlg::fill() {
  selected_ = 0;
  name_ = names_.empty() ? std::string() : names_[0];
  zone_ = zones_.empty() ? std::string() : zones_[0];
}

void CWzEtherTalkDlg::store() {
  if (selected_ < 0 || selected_ >= portCount()) return;
  names_[static_cast<std::size_t>(selected_)] = name_;
  zones_[static_cast<std::size_t>(selected_)] = zone_;
}

void CWzEtherTalkDlg::selectPort(int index) {
  if (index < 0 || index >= portCount()) return;
  store();
  selected_ = index;
  name_ = names_[static_cast<std::size_t>(index)];
  zone_ = zones_[static_cast<std::size_t>(index)];
}

void CWzEtherTalkDlg::setName(std::string text) {
  name_ = std::move(text);
  markChanged();
}

void CWzEtherTalkDlg::setZone(std::string text) {
  zone_ = std::move(text);
  markChanged();
}

PageCheck CWzEtherTalkDlg::leave(bool) {
  if (name_.size() > kEtherTalkTextLimit) return PageCheck::fail(kTextEtherTalkTooLong, "name");
  if (zone_.size() > kEtherTalkTextLimit) return PageCheck::fail(kTextEtherTalkTooLong, "zone");
  store();
  return PageCheck::pass();
}

std::string CWzEtherTalkDlg::GetChangeSummary() const {
  if (!changed()) return std::string(kRule) + "\r\nEtherTalk:  No Changes Detected";
  std::string s = std::string(kRule) + "\r\nEtherTalk:\r\n";
  for (int n = 1; n <= portCount(); ++n) {
    if (n > 1) s += "\r\n";
    s += "Changes for port #" + std::to_string(n);
    const std::string& name = names_[static_cast<std::size_t>(n - 1)];
    if (!name.empty()) s += "\r\n\tPort Name: " + name + "\r\n\tZone: " + zones_[static_cast<std::size_t>(n - 1)];
  }
  return s;
}

int CWzEtherTalkDlg::SaveChanges(snmpaccess::CSnmpSession& session) {
  if (!changed()) return 0;
  for (int i = 0; i < portCount(); ++i) {
    snmpaccess::CMibGroup* row = nullptr;
    if (group_.row(i, row) != 0 || !row) continue;
    row->setTextIfChanged(kName, names_[static_cast<std::size_t>(i)]);
    row->setTextIfChanged(kZone, zones_[static_cast<std::size_t>(i)]);
  }
  return group_.writeChanged(session);
}

}  // namespace wizard
