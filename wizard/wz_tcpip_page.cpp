#include "wizard/wz_tcpip_page.h"

#include "access/mib_group.h"
#include "config/ipv4_field.h"

namespace wizard {

namespace {

enum Var { kAddress = 0, kMethod = 1, kMask = 2, kGateway = 3 };

std::string ipText(const snmpaccess::CMibGroup& g, int index) {
  std::uint8_t a[4] = {};
  if (g.getIpAddress(index, a) != 0) return "0.0.0.0";
  return config::formatIpv4(a);
}

bool blank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

}  // namespace

bool normaliseAddress(const std::string& text, std::string& out) {
  std::uint8_t a[4] = {};
  if (blank(text) || !config::parseIpv4Field(text, a)) return false;
  out = config::formatIpv4(a);
  return true;
}

CWzTcpIpDlg::CWzTcpIpDlg(std::string prefix) : group_([&] {
  snmpaccess::GroupParams p;
  p.prefix = std::move(prefix);
  return p;
}()) {}

int CWzTcpIpDlg::read(snmpaccess::CSnmpSession& session) {
  if (const int rc = group_.read(session)) return rc;
  address_ = ipText(group_, kAddress);
  mask_ = ipText(group_, kMask);
  gateway_ = ipText(group_, kGateway);
  method_ = 1;
  group_.getInteger(kMethod, method_);
  dynamic_ = method_ != 1;
  clearChanged();
  return 0;
}

void CWzTcpIpDlg::fill() { dynamic_ = method_ != 1; }

void CWzTcpIpDlg::setDynamic(bool on) {
  dynamic_ = on;
  markChanged();
}
void CWzTcpIpDlg::setAddress(std::string text) {
  address_ = std::move(text);
  markChanged();
}
void CWzTcpIpDlg::setMask(std::string text) {
  mask_ = std::move(text);
  markChanged();
}
void CWzTcpIpDlg::setGateway(std::string text) {
  gateway_ = std::move(text);
  markChanged();
}

PageCheck CWzTcpIpDlg::leave(bool) {
  if (dynamic_) return PageCheck::pass();
  struct Field {
    std::string* text;
    const char* name;
  };
  for (const Field& f : {Field{&address_, "address"}, Field{&mask_, "mask"}, Field{&gateway_, "gateway"}}) {
    std::string normal;
    if (!normaliseAddress(*f.text, normal)) return PageCheck::fail(kTextAddressRequired, f.name);
    *f.text = normal;
  }
  std::uint8_t a[4] = {};
  config::parseIpv4Field(address_, a);
  if (config::reservedHostAddress(a)) return PageCheck::fail(kTextAddressRequired, "address");
  return PageCheck::pass();
}

std::string CWzTcpIpDlg::newDeviceAddress() const {
  if (!changed() || dynamic_) return {};
  std::string normal;
  std::uint8_t a[4] = {};
  if (!normaliseAddress(address_, normal) || !config::parseIpv4Field(normal, a) || config::reservedHostAddress(a))
    return {};
  return normal;
}

std::string CWzTcpIpDlg::GetChangeSummary() const {
  if (!changed()) return std::string(kRule) + "\r\nTCP/IP Changes:  No Changes Detected";
  if (dynamic_)
    return "TCP/IP Changes: \r\nIP Address:  DYNAMIC\r\nSubnet Mask:  DYNAMIC\r\nDefault Gateway:  DYNAMIC";
  return std::string(kRule) + "\r\nTCP/IP: \r\nIP Address:  " + address_ + "\r\nSubnet Mask:  " + mask_ +
         "\r\nDefault Gateway:  " + gateway_;
}

int CWzTcpIpDlg::SaveChanges(snmpaccess::CSnmpSession& session) {
  if (!changed()) return 0;
  if (dynamic_) {
    group_.setIntegerIfChanged(kMethod, 2);
    return group_.writeChanged(session);
  }
  // Nothing of a permanent address goes out unless all three fields are addresses.
  std::uint8_t address[4] = {}, mask[4] = {}, gateway[4] = {};
  std::string normal;
  if (!normaliseAddress(address_, normal) || !config::parseIpv4Field(normal, address) || config::reservedHostAddress(address))
    return snmpaccess::result::kIpDots;
  if (!normaliseAddress(mask_, normal) || !config::parseIpv4Field(normal, mask)) return snmpaccess::result::kIpDots;
  if (!normaliseAddress(gateway_, normal) || !config::parseIpv4Field(normal, gateway))
    return snmpaccess::result::kIpDots;
  group_.setIntegerIfChanged(kMethod, 1);
  group_.setIpAddressIfChanged(kAddress, address);
  group_.setIpAddressIfChanged(kMask, mask);
  group_.setIpAddressIfChanged(kGateway, gateway);
  return group_.writeChanged(session);
}

}  // namespace wizard
