#include "config/wireless_security.h"

#include <cctype>
#include <cstdio>

namespace config {

namespace {

constexpr const char* kEncryptionTexts[] = {"Disabled", "64-Bit WEP", "128-Bit WEP", "WPA", "WPA 2", "WPA WPA2",
                                            "Dynamic WEP"};
constexpr const char* kAuthTexts[] = {"Open System", "Shared Key", "TTLS", "LEAP", "PEAP", "Kerberos", "PSK"};

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string wepLengthText(int length) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "The WEP Key must be %d characters.", length);
  return buffer;
}

std::string maskedKey(const std::string& reported) {
  if (reported == "*") return std::string(10, '*');
  if (reported == "**") return std::string(26, '*');
  return reported;
}

bool keyToWrite(const std::string& key) { return !key.empty() && key.front() != '*'; }

CWirelessSecurityDlg::CWirelessSecurityDlg(const SecurityValues& v, const SecurityOffer& offer) : offer_(offer) {
  for (int m = 0; m < 7; ++m) {
    const bool offered = offer_.fromLevelThree ? (offer_.encryptionMask & (1u << m)) != 0 : m <= kWep128;
    if (offered) encryptionModes.push_back({kEncryptionTexts[m], m});
  }
  for (int k = 0; k < kWepKeys; ++k) keySelections.push_back({std::to_string(k + 1), k});
  if (offer_.fromLevelThree) {
    for (int t = 0; t < 7; ++t)
      if (offer_.authenticationMask & (1u << t)) authTypes.push_back({kAuthTexts[t], t});
    authProtocols = {{"PAP", 0}, {"MSCHAP_V2", 1}};
  }
  encryption_ = v.encryption;
  keySelection = v.keySelection;
  for (int k = 0; k < kWepKeys; ++k) keys[static_cast<std::size_t>(k)] = maskedKey(v.keys[static_cast<std::size_t>(k)]);
  if (offer_.fromLevelThree) {
    commonName1 = v.commonName1;
    commonName2 = v.commonName2;
    rootKey = v.rootKey;
    wpaPsk = v.wpaPsk;
    userId = v.userId;
    password = v.password;
    authType = v.authType;
    authProtocol = v.authProtocol;
    exponent = std::to_string(v.exponent);
    autoAssociate = v.wpaAutoAssociate == 2;
    groupKey = v.wpaGroupKey == 2;
  } else {
    exponent = "0";
  }
}

void CWirelessSecurityDlg::selectEncryption(std::int32_t mode) {
  if (mode == encryption_) return;
  encryption_ = mode;
  for (auto& k : keys) k.clear();
}

std::string CWirelessSecurityDlg::keyBoxTitle() const {
  if (encryption_ == kWep64) return "64-bit WEP Key";
  if (encryption_ == kWep128) return "128-bit WEP Key";
  return "WEP Key";
}

int CWirelessSecurityDlg::keyLength() const {
  if (encryption_ == kWep64) return 10;
  if (encryption_ == kWep128) return 26;
  return 0;
}

SecurityEnabled CWirelessSecurityDlg::enabled() const {
  SecurityEnabled e;
  if (!offer_.fromLevelThree) return e;
  e.authType = e.userId = e.password = true;
  if (authType == kAuthPsk) {
    e.wpaBox = e.wpaPsk = e.groupKey = true;
    e.autoAssociate = autoAssociateShown();
  }
  if (authType == kAuthTtls || authType == kAuthPeap) e.eapBox = e.certificateBox = true;
  return e;
}

PageCheck CWirelessSecurityDlg::check() const {
  if (offer_.fromLevelThree && authType >= 0 && authType < static_cast<int>(offer_.allowedModes.size())) {
    const std::uint32_t allowed = offer_.allowedModes[static_cast<std::size_t>(authType)];
    if (encryption_ < 0 || encryption_ > 31 || !(allowed & (1u << encryption_)))
      return PageCheck::fail(kTextBadCombination, "encryption");
  }
  if (keysEnabled()) {
    const int length = keyLength();
    for (int k = 0; k < kWepKeys; ++k) {
      const std::string& key = keys[static_cast<std::size_t>(k)];
      const std::string field = "key" + std::to_string(k + 1);
      for (char c : key) {
        if (c == '*') break;
        if (!isHex(c)) return PageCheck::fail(kTextWepHex, field);
      }
      if (!key.empty() && static_cast<int>(key.size()) != length) return PageCheck::fail(wepLengthText(length), field);
    }
  }
  for (const std::string* t : {&commonName1, &commonName2, &rootKey, &wpaPsk, &userId, &password})
    if (t->size() > kSecurityTextLimit) return PageCheck::fail("The field takes at most 32 characters.", "");
  if (exponent.size() > kExponentLimit) return PageCheck::fail("The exponent takes at most 5 digits.", "exponent");
  for (char c : exponent)
    if (c < '0' || c > '9') return PageCheck::fail("The exponent takes digits only.", "exponent");
  return PageCheck::pass();
}

SecurityValues CWirelessSecurityDlg::result(const SecurityValues& before) const {
  SecurityValues v = before;
  v.encryption = encryption_;
  v.keySelection = keySelection;
  if (keysEnabled()) v.keys = keys;
  if (!offer_.fromLevelThree) return v;
  v.authType = authType;
  v.authProtocol = authProtocol;
  v.commonName1 = commonName1;
  v.commonName2 = commonName2;
  v.rootKey = rootKey;
  v.wpaPsk = wpaPsk;
  v.userId = userId;
  v.password = password;
  v.exponent = exponent.empty() ? 0 : std::stoi(exponent);
  if (autoAssociateShown()) v.wpaAutoAssociate = autoAssociate ? 2 : 1;
  v.wpaGroupKey = groupKey ? 2 : 1;
  return v;
}

}  // namespace config
