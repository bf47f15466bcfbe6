#include "config/tcpip_page.h"

#include "access/mib_catalogue.h"
#include "config/ipv4_field.h"

namespace config {

using mib::levelAtLeast;

namespace {

enum Var {
  kAddress = 0, kResolution = 1, kMask = 2, kGateway = 3, kTimeoutMode = 4, kLevel = 5, kMethods = 8,
  kPassword = 11, kWins = 12, kWinsByDhcp = 13, kTimeoutSeconds = 14, kArpMinutes = 15, kFlags = 16,
  kRawPort = 17, kDns = 19, kPrimaryDns = 20, kSecondaryDns = 21, kDomain = 22, kSlp = 23, kSlpScope = 24,
};

constexpr std::int32_t kRarp = 0x01, kBootp = 0x02, kDhcp = 0x04, kGleaning = 0x08, kAllowTimeout = 0x10;

std::string ipText(const snmpaccess::CMibGroup& g, int index) {
  std::uint8_t a[4] = {};
  if (g.getIpAddress(index, a) != 0) return "0.0.0.0";
  return formatIpv4(a);
}

std::int32_t intOf(const snmpaccess::CMibGroup& g, int index, std::int32_t fallback = 0) {
  std::int32_t v = fallback;
  if (g.getInteger(index, v) != 0) return fallback;
  return v;
}

std::string textOf(snmpaccess::CMibGroup& g, int index) {
  std::string s;
  g.getBytes(index, s);
  return s;
}

void setIp(snmpaccess::CMibGroup& g, int index, const std::string& text) {
  std::uint8_t a[4] = {};
  if (parseIpv4Field(text, a)) g.setIpAddressIfChanged(index, a);
}

}  // namespace

CTcpIpPage::CTcpIpPage(std::string prefix) : group_([&] {
  snmpaccess::GroupParams p;
  p.prefix = std::move(prefix);
  return p;
}()) {}

int CTcpIpPage::Read(snmpaccess::CSnmpSession& session) { return group_.read(session); }

int CTcpIpPage::level() const {
  std::int32_t l = 0;
  if (group_.getInteger(kLevel, l) == 0) return l;
  const int v = group_.mibVersion();
  return v == mib::kLevelUnknown ? 1 : v;
}

std::uint32_t CTcpIpPage::capabilities() const {
  const int l = level();
  if (l == 1 || l == 2) return 0x83F;
  if (l == 3) return 0xBFF;
  return static_cast<std::uint32_t>(intOf(group_, kFlags));
}

void CTcpIpPage::AdjustControls() {
  const std::uint32_t f = capabilities();
  shown_.permanentChoice = (f & 0x1) != 0;
  shown_.methods = (f & 0x2) != 0;
  shown_.resolutionBox = (f & 0x3) != 0;
  shown_.gleaningAndTimeout = shown_.methods && levelAtLeast(level(), 5);
  shown_.wins = (f & 0x40) != 0 && levelAtLeast(level(), 3);
  shown_.useDhcpForWins = shown_.wins && (f & 0x2) != 0;
  shown_.passwordButton = (f & 0x80) != 0 && levelAtLeast(level(), 3);
}

void CTcpIpPage::ShowValues() {
  address = ipText(group_, kAddress);
  mask = ipText(group_, kMask);
  gateway = ipText(group_, kGateway);
  network = intOf(group_, kResolution, 1) != 1;
  const std::int32_t m = intOf(group_, kMethods);
  rarp = m & kRarp;
  bootp = m & kBootp;
  dhcp = m & kDhcp;
  gleaning = m & kGleaning;
  allowTimeout = m & kAllowTimeout;
  advanced.timeoutOn = intOf(group_, kTimeoutMode) == 2;
  const int l = level();
  if (levelAtLeast(l, 5)) advanced.rawPort = intOf(group_, kRawPort);
  if (levelAtLeast(l, 7)) {
    advanced.dnsOn = intOf(group_, kDns) == 2;
    advanced.primaryDns = ipText(group_, kPrimaryDns);
    advanced.secondaryDns = ipText(group_, kSecondaryDns);
    advanced.domain = textOf(group_, kDomain);
  }
  if (levelAtLeast(l, 8)) {
    advanced.slpOn = intOf(group_, kSlp) == 2;
    advanced.slpScope = textOf(group_, kSlpScope);
  }
  if (levelAtLeast(l, 3)) {
    wins = ipText(group_, kWins);
    useDhcpForWins = intOf(group_, kWinsByDhcp) != 2;
    advanced.timeoutSeconds = intOf(group_, kTimeoutSeconds);
    advanced.arpMinutes = intOf(group_, kArpMinutes);
    advanced.arpOn = advanced.arpMinutes != 0;
  } else {
    wins = "0.0.0.0";
  }
}

TcpIpEnabled CTcpIpPage::enabled() const {
  TcpIpEnabled e;
  if (!network) {
    e.address = true;
    e.methods = false;
    e.useDhcpForWins = false;
    e.wins = true;
    return e;
  }
  e.address = false;
  e.methods = true;
  // The DHCP rule: locating WINS by DHCP needs DHCP; while it does, the WINS address is not used.
  e.useDhcpForWins = dhcp;
  e.wins = !(e.useDhcpForWins && useDhcpForWins);
  return e;
}

PageCheck CTcpIpPage::check() {
  std::uint8_t a[4];
  if (!parseIpv4Field(address, a) || (!network && reservedHostAddress(a)))
    return PageCheck::fail(kTextInvalidAddress, "address");
  if (!parseIpv4Field(mask, a)) return PageCheck::fail(kTextInvalidAddress, "mask");
  if (!parseIpv4Field(gateway, a)) return PageCheck::fail(kTextInvalidAddress, "gateway");
  if (levelAtLeast(level(), 3) && !parseIpv4Field(wins, a)) return PageCheck::fail(kTextInvalidAddress, "wins");
  return advancedDialog().check();
}

void CTcpIpPage::setNewPassword(const std::string& password) {
  newPassword_ = password;
  passwordChanged_ = true;
}

CAdvancedTcpIpDlg CTcpIpPage::advancedDialog() const { return CAdvancedTcpIpDlg(level(), capabilities(), advanced); }

void CTcpIpPage::takeAdvanced(const CAdvancedTcpIpDlg& dialog) {
  const AdvancedValues& v = dialog.values;
  advanced.timeoutOn = v.timeoutOn;
  if (v.timeoutOn) advanced.timeoutSeconds = v.timeoutSeconds;
  advanced.arpOn = v.arpOn;
  advanced.arpMinutes = v.arpOn ? v.arpMinutes : 0;
  advanced.rawPort = v.rawPort;
  if (dialog.dnsShown()) {
    advanced.dnsOn = v.dnsOn;
    advanced.primaryDns = v.primaryDns;
    advanced.secondaryDns = v.secondaryDns;
    advanced.domain = v.domain;
  }
  if (dialog.slpShown()) {
    advanced.slpOn = v.slpOn;
    advanced.slpScope = v.slpScope;
  }
}

void CTcpIpPage::storeFields() {
  const int l = level();
  // Going permanent from network protocol: zero the addresses first, so that what was entered is
  // sent even when it equals what the unit reported.
  if (!network && intOf(group_, kResolution) == 2) {
    const std::uint8_t zero[4] = {};
    group_.setIpAddressIfChanged(kAddress, zero);
    group_.setIpAddressIfChanged(kMask, zero);
    group_.setIpAddressIfChanged(kGateway, zero);
    if (l > 2 || l == 0) group_.setIpAddressIfChanged(kWins, zero);
  }
  setIp(group_, kAddress, address);
  setIp(group_, kMask, mask);
  setIp(group_, kGateway, gateway);
  group_.setIntegerIfChanged(kResolution, network ? 2 : 1);
  std::int32_t m = intOf(group_, kMethods);
  auto bit = [&m](bool on, std::int32_t b) { m = on ? (m | b) : (m & ~b); };
  bit(rarp, kRarp);
  bit(bootp, kBootp);
  bit(dhcp, kDhcp);
  bit(gleaning, kGleaning);
  bit(allowTimeout, kAllowTimeout);
  group_.setIntegerIfChanged(kMethods, m);
  if (passwordChanged_) group_.setTextIfChanged(kPassword, newPassword_);
  group_.setIntegerIfChanged(kTimeoutMode, advanced.timeoutOn ? 2 : 1);
  if (levelAtLeast(l, 8)) {
    group_.setTextIfChanged(kSlpScope, advanced.slpScope);
    group_.setIntegerIfChanged(kSlp, advanced.slpOn ? 2 : 1);
  }
  if (levelAtLeast(l, 7)) {
    setIp(group_, kPrimaryDns, advanced.primaryDns);
    setIp(group_, kSecondaryDns, advanced.secondaryDns);
    group_.setTextIfChanged(kDomain, advanced.domain);
    group_.setIntegerIfChanged(kDns, advanced.dnsOn ? 2 : 1);
  }
  if (levelAtLeast(l, 5)) group_.setIntegerIfChanged(kRawPort, static_cast<std::int32_t>(advanced.rawPort));
  if (levelAtLeast(l, 3)) {
    setIp(group_, kWins, wins);
    group_.setIntegerIfChanged(kWinsByDhcp, useDhcpForWins ? 1 : 2);
    group_.setIntegerIfChanged(kTimeoutSeconds, static_cast<std::int32_t>(advanced.timeoutSeconds));
    group_.setIntegerIfChanged(kArpMinutes, static_cast<std::int32_t>(advanced.arpMinutes));
  }
}

int CTcpIpPage::writeGroups(snmpaccess::CSnmpSession& session) { return group_.writeChanged(session); }

int CTcpIpPage::loadGroups(const std::string& path) { return group_.restoreBackupFile(path); }

int CTcpIpPage::SaveToFile(const std::string& path) { return group_.saveBackupFile(path); }

std::string CTcpIpPage::savedAddress() const {
  std::uint8_t a[4] = {};
  if (initialised()) {
    if (!parseIpv4Field(address, a)) return {};
  } else if (group_.getIpAddress(kAddress, a) != 0) {
    return {};
  }
  if (a[0] == 0 && a[1] == 0 && a[2] == 0 && a[3] == 0) return {};
  return formatIpv4(a);
}

}  // namespace config
