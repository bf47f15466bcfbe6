#include "multi/multi_wireless_security.h"

#include <algorithm>
#include <cctype>

namespace multi {

namespace {

std::vector<DialogChoice> withNoChange(std::initializer_list<const char*> texts) {
  std::vector<DialogChoice> out{{kTextNoChange, 0}};
  std::int32_t data = 1;
  for (const char* t : texts) out.push_back({t, data++});
  return out;
}

bool isHex(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

bool isDigits(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

const char* onOff(TriState s) { return s == TriState::Checked ? "on" : "off"; }

}  // namespace

std::string wepLengthText(int length) { return "The WEP Key must be " + std::to_string(length) + " characters."; }

const std::vector<DialogChoice>& CMultiWirelessSecurityDlg::encryptionItems() {
  static const auto items =
      withNoChange({"Disabled", "64-Bit WEP", "128-Bit WEP", "WPA", "WPA 2", "WPA WPA2", "Dynamic WEP"});
  return items;
}

const std::vector<DialogChoice>& CMultiWirelessSecurityDlg::keySelectionItems() {
  static const auto items = withNoChange({"1", "2", "3", "4"});
  return items;
}

const std::vector<DialogChoice>& CMultiWirelessSecurityDlg::authTypeItems() {
  static const auto items = withNoChange({"Open System", "Shared Key", "TTLS", "LEAP", "PEAP", "Kerberos", "PSK"});
  return items;
}

const std::vector<DialogChoice>& CMultiWirelessSecurityDlg::authProtocolItems() {
  static const auto items = withNoChange({"PAP", "MSCHAP_V2"});
  return items;
}

int CMultiWirelessSecurityDlg::keyLength() const {
  switch (mode()) {
    case 1: return 10;
    case 2: return 26;
    default: return 0;
  }
}

DialogCheck CMultiWirelessSecurityDlg::check() const {
  if (const int length = keyLength()) {
    for (int k = 0; k < kSecurityKeys; ++k) {
      const std::string& key = values.keys[static_cast<std::size_t>(k)];
      const std::string field = "wep-key-" + std::to_string(k + 1);
      if (!isHex(key)) return {kTextWepHex, field};
      if (!key.empty() && static_cast<int>(key.size()) != length) return {wepLengthText(length), field};
    }
  }
  if (!isDigits(values.exponent) || values.exponent.size() > static_cast<std::size_t>(kExponentDigits))
    return {rangeText(0, 99999), "certificate-root-key-exponent"};
  return {};
}

void appendSecurityValues(const MultiSecurityValues& v, std::vector<std::pair<std::string, std::string>>& out) {
  auto text = [&](const char* name, const std::string& value) {
    if (!value.empty()) out.emplace_back(name, value);
  };
  auto listed = [&](const char* name, std::int32_t data) {
    if (data > 0) out.emplace_back(name, std::to_string(data - 1));
  };
  listed("encryption", v.encryption);
  const std::int32_t mode = v.encryption - 1;
  if (mode == 1 || mode == 2) {
    for (int k = 0; k < kSecurityKeys; ++k)
      text(("wep-key-" + std::to_string(k + 1)).c_str(), v.keys[static_cast<std::size_t>(k)]);
  }
  // Key selection goes out as data - 1: the table's field takes the key number and does the same.
  if (v.keySelection > 0) out.emplace_back("wep-key-select", std::to_string(v.keySelection));
  text("user-id", v.userId);
  text("password", v.password);
  text("certificate-common-name-1", v.commonName1);
  text("certificate-root-key", v.rootKey);
  text("wpa-psk", v.wpaPsk);
  text("certificate-common-name-2", v.commonName2);
  listed("authentication-type", v.authType);
  const std::string exponent = v.exponent.substr(std::min(v.exponent.find_first_not_of('0'), v.exponent.size()));
  if (!exponent.empty()) out.emplace_back("certificate-root-key-exponent", exponent);
  listed("authentication-protocol", v.authProtocol);
  if (v.wpaAutoAssociate != TriState::Unchanged) out.emplace_back("wpa-auto-associate", onOff(v.wpaAutoAssociate));
  if (v.wpaGroupKey != TriState::Unchanged) out.emplace_back("wpa-group-key", onOff(v.wpaGroupKey));
}

}  // namespace multi
