#include "wizard/wz_protocol_page.h"

#include <cstdio>

#include "access/result_codes.h"

namespace wizard {

namespace {

snmpaccess::GroupParams withPrefix(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

// Protocols that have no switch on this page: LAN Manager is configured nowhere in the wizard.
bool leftOut(std::int32_t type, const std::string& name) { return type == 4 || name == "Lan Manager"; }

}  // namespace

CWzProtocolDlg::CWzProtocolDlg(std::string prefix) : prefix_(std::move(prefix)), list_(withPrefix(prefix_)) {}

int CWzProtocolDlg::read(snmpaccess::CSnmpSession& session) {
  entries_.clear();
  checks_.clear();
  markChanged();  // the protocol list is always summarised and written
  if (const int rc = list_.read(session)) return rc;
  snmpaccess::GroupParams params = snmpaccess::protocolParams(list_, prefix_);
  snmpaccess::CProtocolEnableGroup enable(params);
  int rc = enable.read(session);
  if (rc == snmpaccess::result::kNoSuchName) {
    // A protocol newer than this program may lack an enable switch: offer the ones it knows.
    std::erase_if(params.protocols, [](const auto& p) { return p.first < 1 || p.first > 7 || p.first == 6; });
    snmpaccess::CProtocolEnableGroup known(params);
    if ((rc = known.read(session))) return rc;
    take(params, known);
    return 0;
  }
  if (rc) return rc;
  take(params, enable);
  return 0;
}

void CWzProtocolDlg::take(const snmpaccess::GroupParams& params, const snmpaccess::CProtocolEnableGroup& enable) {
  for (int i = 0; i < enable.count() && i < static_cast<int>(params.protocols.size()); ++i) {
    const auto& [type, name] = params.protocols[static_cast<std::size_t>(i)];
    std::int32_t v = 1;
    enable.getInteger(i, v);
    if (leftOut(type, name)) continue;
    entries_.push_back({name, type, v == 2 ? 2 : 1, i});
  }
  checks_.assign(entries_.size(), false);
  for (std::size_t i = 0; i < entries_.size(); ++i) checks_[i] = entries_[i].state == 2;
}

void CWzProtocolDlg::fill() {
  checks_.assign(entries_.size(), false);
  for (std::size_t i = 0; i < entries_.size(); ++i) checks_[i] = entries_[i].state == 2 || locked(static_cast<int>(i));
}

bool CWzProtocolDlg::locked(int item) const {
  if (item < 0 || item >= static_cast<int>(entries_.size())) return false;
  const std::int32_t type = entries_[static_cast<std::size_t>(item)].type;
  return (family_ == 2 && type == 1) || (family_ == 6 && type == 2);
}

bool CWzProtocolDlg::setChecked(int item, bool on) {
  if (item < 0 || item >= static_cast<int>(checks_.size()) || locked(item)) return false;
  checks_[static_cast<std::size_t>(item)] = on;
  markChanged();
  return true;
}

int CWzProtocolDlg::find(const std::string& name) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string CWzProtocolDlg::notice() const {
  std::string text;
  const char* carrier = family_ == 2 ? "TCP/IP" : family_ == 6 ? "NetWare (IPX)" : nullptr;
  if (carrier) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, kTextProtocolInUse, carrier);
    text = buffer;
  }
  if (netwareWithoutClient_) text += std::string("  ") + kTextNetWareNeedsClient;
  return text;
}

PageCheck CWzProtocolDlg::leave(bool forward) {
  if (forward)
    for (std::size_t i = 0; i < entries_.size() && i < checks_.size(); ++i) entries_[i].state = checks_[i] ? 2 : 1;
  return PageCheck::pass();
}

std::string CWzProtocolDlg::GetChangeSummary() const {
  std::string s = std::string(kRule) + "\r\nSupported Protocols:\r\n";
  for (const ProtocolEntry& e : entries_) s += "\t" + e.name + (e.state == 2 ? ":  Enabled\r\n" : ":  Disabled\r\n");
  return s;
}

int CWzProtocolDlg::SaveChanges(snmpaccess::CSnmpSession& session) {
  snmpaccess::GroupParams params = snmpaccess::protocolParams(list_, prefix_);
  snmpaccess::CProtocolEnableGroup enable(params);
  int rc = enable.read(session);
  if (rc == snmpaccess::result::kNoSuchName) {
    std::erase_if(params.protocols, [](const auto& p) { return p.first < 1 || p.first > 7 || p.first == 6; });
    snmpaccess::CProtocolEnableGroup known(params);
    if ((rc = known.read(session))) return rc;
    for (const ProtocolEntry& e : entries_) known.setIntegerIfChanged(e.index, e.state);
    return known.writeChanged(session);
  }
  if (rc) return rc;
  for (const ProtocolEntry& e : entries_) enable.setIntegerIfChanged(e.index, e.state);
  return enable.writeChanged(session);
}

}  // namespace wizard
