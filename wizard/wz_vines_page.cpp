#include "wizard/wz_vines_page.h"

#include <algorithm>
#include <cstdio>

namespace wizard {

CWzBanyanDlg::CWzBanyanDlg(std::string prefix, std::string library) : model_(std::move(prefix), std::move(library)) {}

int CWzBanyanDlg::read(snmpaccess::CSnmpSession& session) {
  passwordEdited_ = false;
  password_.clear();
  confirm_.clear();
  if (const int rc = model_.Read(session)) return rc;
  model_.open();  // slot and port counts, the client, the values
  clearChanged();
  return 0;
}

std::string CWzBanyanDlg::notice() const {
  if (!model_.clientAvailable()) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, kTextVinesUnavailable, 0u);
    return std::string("ERROR:  ") + buffer;
  }
  if (!model_.controlsEnabled()) return "ERROR:  " + model_.notice();
  return {};
}

std::vector<int> CWzBanyanDlg::rows() const {
  std::vector<int> out;
  for (int k = 0; k < slotCount() && k < static_cast<int>(model_.services.size()); ++k)
    if (!model_.services[static_cast<std::size_t>(k)].name.empty()) out.push_back(k);
  return out;
}

bool CWzBanyanDlg::setUserName(std::string name) {
  if (!editable()) return false;
  model_.userName = std::move(name);
  markChanged();
  return true;
}

bool CWzBanyanDlg::setPassword(std::string password) {
  if (!editable()) return false;
  password_ = std::move(password);
  passwordEdited_ = true;
  markChanged();
  return true;
}

bool CWzBanyanDlg::setConfirm(std::string confirm) {
  if (!editable() || !passwordEdited_) return false;
  confirm_ = std::move(confirm);
  return true;
}

bool CWzBanyanDlg::addService(std::string name, int port) {
  if (!editable() || name.empty() || !canAdd()) return false;
  for (vines::VinesSlot& s : model_.services)
    if (s.name.empty()) {
      s.name = std::move(name);
      s.port = std::clamp(port, 1, portCount());
      markChanged();
      return true;
    }
  return false;
}

bool CWzBanyanDlg::editService(int row, std::string name, int port) {
  const std::vector<int> r = rows();
  if (!editable() || name.empty() || row < 0 || row >= static_cast<int>(r.size())) return false;
  vines::VinesSlot& s = model_.services[static_cast<std::size_t>(r[static_cast<std::size_t>(row)])];
  s.name = std::move(name);
  s.port = std::clamp(port, 1, portCount());
  markChanged();
  return true;
}

bool CWzBanyanDlg::removeService(int row) {
  const std::vector<int> r = rows();
  if (!editable() || row < 0 || row >= static_cast<int>(r.size())) return false;
  model_.services[static_cast<std::size_t>(r[static_cast<std::size_t>(row)])] = vines::VinesSlot{};
  markChanged();
  return true;
}

int CWzBanyanDlg::editTarget(int selected) const {
  const int count = static_cast<int>(rows().size());
  if (selected >= 0 && selected < count) return selected;
  return count == 0 ? kAddRow : kNoRow;
}

CPrintServiceDlg CWzBanyanDlg::serviceDialog(int row) const {
  const std::vector<int> r = rows();
  if (row < 0 || row >= static_cast<int>(r.size())) return CPrintServiceDlg(portCount());
  const vines::VinesSlot& s = slot(r[static_cast<std::size_t>(row)]);
  return CPrintServiceDlg(portCount(), s.name, s.port);
}

bool CWzBanyanDlg::applyService(int row, const CPrintServiceDlg& dialog) {
  if (!dialog.accept().ok()) return false;
  return row == kAddRow ? addService(dialog.name(), dialog.port()) : editService(row, dialog.name(), dialog.port());
}

const char* CWzBanyanDlg::dropPassword() {
  passwordEdited_ = false;
  password_.clear();
  confirm_.clear();
  return kTextPasswordNotSet;
}

PageCheck CWzBanyanDlg::leave(bool forward) {
  if (!forward || !editable() || !changed()) return PageCheck::pass();
  if (passwordEdited_) {
    if (confirm_ != password_) return PageCheck::fail(kTextPasswordMismatch, "password");
    const PageCheck c = model_.setPassword(password_, confirm_);
    if (!c.ok()) return c;
  }
  return model_.check();
}

std::string CWzBanyanDlg::GetChangeSummary() const {
  if (!changed()) return std::string(kRule) + "\r\nBanyan VINES:  No Changes Detected";
  std::string s = std::string(kRule) + "\r\nBanyan VINES:\r\nBanyan User Name: " + model_.userName;
  if (model_.passwordSet()) s += "\r\nPassword: Has been modified";
  for (int k : rows()) {
    const vines::VinesSlot& slot = model_.services[static_cast<std::size_t>(k)];
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "\r\nPrint Service assigned to port %lu:", static_cast<unsigned long>(slot.port));
    s += buffer;
    s += "\r\n\t" + slot.name;
  }
  return s;
}

int CWzBanyanDlg::SaveChanges(snmpaccess::CSnmpSession& session) {
  if (!changed()) return 0;
  return model_.Save(session);
}

}  // namespace wizard
