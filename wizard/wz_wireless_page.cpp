#include "wizard/wz_wireless_page.h"

#include <vector>

namespace wizard {

namespace {

constexpr int kAutoAvailableVar = 37;  // 2: the print server has the WPA auto-associate setting

std::string pick(const std::vector<const char*>& texts, std::int32_t v, std::int32_t first = 0) {
  const std::int32_t i = v - first;
  if (i < 0 || i >= static_cast<std::int32_t>(texts.size())) return std::to_string(v);
  return texts[static_cast<std::size_t>(i)];
}

const char* onOff(std::int32_t v) { return v == 2 ? "Enabled" : "Disabled"; }

}  // namespace

CWzWirelessDlg::CWzWirelessDlg(std::string prefix) : model_(std::move(prefix)) {}

int CWzWirelessDlg::read(snmpaccess::CSnmpSession& session) {
  const int rc = model_.Read(session);
  clearChanged();
  return rc;
}

void CWzWirelessDlg::takeSecurity(const config::CWirelessSecurityDlg& dialog) {
  model_.takeSecurity(dialog);
  markChanged();
}

PageCheck CWzWirelessDlg::leave(bool) { return model_.check(); }

std::string CWzWirelessDlg::GetChangeSummary() const {
  if (!changed()) return std::string(kRule) + "\r\nWireless Changes:  No Changes Detected";
  const config::CWirelessPage& m = model_;
  const config::SecurityValues& sec = m.security;
  const bool three = m.fromLevelThree();
  std::string s = std::string(kRule) + "\r\nWireless Changes: \r\n";
  if (three)
    s += "Radio:  " + pick({"802.11b only", "802.11g only", "802.11b and g", "802.11a only", "802.11a, b and g"},
                           m.radio);
  const std::string mode = m.mode == 1 ? "Ad Hoc(802.11)" : m.mode == 3 ? "Infrastructure" : std::to_string(m.mode);
  s += "\r\nWireless Mode:  " + mode;
  s += "\r\nSSID:  " + m.ssid;
  s += "\r\nRF Channel  " + std::to_string(m.channel);
  s += "\r\nData Rate:  " + std::string(config::dataRateText(m.rate));
  if (three) {
    if (m.shown().dot11d) s += "\r\n802.11 D:  " + pick({"Not Supported", "Disabled", "Strict", "Flexible"}, m.dot11d);
    s += "\r\nAccess Point Density:  " + pick({"Low", "Medium", "High"}, m.density);
    std::string country;
    if (m.shown().country)
      for (const config::ListItem& item : m.countryList)
        if (item.data == m.country) country = item.text;
    if (!country.empty()) s += "\r\nCountry:  " + country;
    if (!m.dfsItems.empty()) s += "\r\nDynamic Frequency Select:  " + pick({"Disabled", "Strict", "Flexible"}, m.dfs, 1);
  }
  s += "\r\n   Wireless Secutiry:";
  s += "\r\nEncryption Mode:  " +
       pick({"Disabled", "64-Bit WEP", "128-Bit WEP", "WPA", "WPA 2", "WPA WPA2", "Dynamic WEP"}, sec.encryption);
  s += "\r\nKey Selection:  " + pick({"1", "2", "3", "4"}, sec.keySelection);
  if (three) {
    s += "\r\nCertificate Name 1:  " + sec.commonName1;
    s += "\r\nCertificate Name 2:  " + sec.commonName2;
    s += "\r\nCertificate Root Key:  " + sec.rootKey;
    s += "\r\nWPA-PSK:  " + sec.wpaPsk;
    s += "\r\nUser ID:  " + sec.userId;
    s += "\r\nAuthentication Type:  " +
         pick({"Open System", "Shared Key", "TTLS", "LEAP", "PEAP", "Kerberos", "PSK"}, sec.authType);
    s += "\r\nAuthentication Protocol:  " + pick({"PAP", "MSCHAP_V2"}, sec.authProtocol);
    std::int32_t autoAvailable = 0;
    if (const_cast<config::CWirelessPage&>(m).group().getInteger(kAutoAvailableVar, autoAvailable) == 0 &&
        autoAvailable == 2)
      s += std::string("\r\nWPA Auto Associate:  ") + onOff(sec.wpaAutoAssociate);
    s += std::string("\r\nWPA Group Key:  ") + onOff(sec.wpaGroupKey);
    s += "\r\nRoot Key Exponent:  " + std::to_string(sec.exponent);
  }
  return s;
}

int CWzWirelessDlg::SaveChanges(snmpaccess::CSnmpSession& session) {
  if (!changed()) return 0;
  return model_.Save(session);
}

}  // namespace wizard
