#pragma once
// "Wireless Security": encryption (WEP keys, WPA), 802.1x authentication and certificates of the
// Wireless page. The dialog works on a copy of the page's values; OK hands them back, Cancel
// drops them. Nothing reaches the print server from here except a certificate sent at once.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/device_page.h"
#include "config/wireless_lists.h"

namespace config {

inline constexpr const char* kTextBadCombination =
    "The combination of 'Encryption Mode' and 'Authentication Type' is not valid.  \nPlease make another selection.";
inline constexpr const char* kTextWepHex = "The WEP Key only accepts HEX (i.e. 0-9, a-f, A-F).";
// "The WEP Key must be %d characters." with the length the mode needs.
std::string wepLengthText(int length);

inline constexpr std::size_t kSecurityTextLimit = 32;  // user, password, names, root key, WPA-PSK
inline constexpr std::size_t kExponentLimit = 5;
inline constexpr std::size_t kCertificatePathLimit = 260;
inline constexpr int kWepKeys = 4;

// Encryption modes.
inline constexpr int kEncryptionDisabled = 0, kWep64 = 1, kWep128 = 2;
// Authentication types that enable the WPA box (PSK) and the 802.1x and certificate boxes.
inline constexpr int kAuthTtls = 2, kAuthPeap = 4, kAuthPsk = 6;

// What the page keeps for the dialog: the security part of the wireless settings.
struct SecurityValues {
  std::int32_t encryption = 0;
  std::int32_t keySelection = 0;
  // As reported ("*" a 64-bit key, "**" a 128-bit key) or as entered (hexadecimal).
  std::array<std::string, kWepKeys> keys;
  std::string commonName1, commonName2, rootKey, wpaPsk, userId, password;
  std::int32_t authType = -1;
  std::int32_t exponent = 0;
  std::int32_t authProtocol = -1;
  std::int32_t wpaAutoAssociate = -1;  // 2 on, 1 off
  std::int32_t wpaGroupKey = -1;       // 2 on, 1 off
  bool operator==(const SecurityValues&) const = default;
};

// What the dialog learns from the print server besides the values.
struct SecurityOffer {
  bool fromLevelThree = false;
  std::uint32_t encryptionMask = 0;      // from level 3: bit n offers mode n
  std::uint32_t authenticationMask = 0;  // from level 3: bit n offers type n
  bool autoAssociateAvailable = false;
  // Per authentication type, the encryption modes allowed with it (bit n = mode n); empty when
  // the print server did not say.
  std::vector<std::uint32_t> allowedModes;
};

// Enabling by authentication type (all off below level 3).
struct SecurityEnabled {
  bool wpaBox = false, wpaPsk = false, groupKey = false, autoAssociate = false;
  bool eapBox = false, certificateBox = false;
  bool authType = false, userId = false, password = false;
};

class CWirelessSecurityDlg {
 public:
  CWirelessSecurityDlg(const SecurityValues& values, const SecurityOffer& offer);

  const SecurityOffer& offer() const { return offer_; }
  std::vector<ListItem> encryptionModes;
  std::vector<ListItem> keySelections;
  std::vector<ListItem> authTypes;
  std::vector<ListItem> authProtocols;

  // Changing the mode empties the four keys.
  void selectEncryption(std::int32_t mode);
  std::int32_t encryption() const { return encryption_; }
  // "64-bit WEP Key", "128-bit WEP Key" or "WEP Key".
  std::string keyBoxTitle() const;
  // 10, 26, or 0 when the keys are disabled.
  int keyLength() const;
  bool keysEnabled() const { return keyLength() != 0; }
  bool autoAssociateShown() const { return offer_.fromLevelThree && offer_.autoAssociateAvailable; }
  SecurityEnabled enabled() const;

  // OK's checks: the combination, then each key. The field names the focus.
  PageCheck check() const;
  // The values OK hands to the page (call after check()).
  SecurityValues result(const SecurityValues& before) const;

  // Fields.
  std::int32_t keySelection = 0;
  std::array<std::string, kWepKeys> keys;  // as typed; reported keys show as asterisks
  std::string commonName1, commonName2, rootKey, wpaPsk, userId, password;
  std::int32_t authType = -1;
  std::int32_t authProtocol = -1;
  std::string exponent;  // at most 5 digits; empty counts as 0
  bool autoAssociate = false;
  bool groupKey = false;
  std::string certificateFile;

 private:
  SecurityOffer offer_;
  std::int32_t encryption_ = 0;
};

// The asterisks a reported key shows as: 10 for "*", 26 for "**"; other texts as they are.
std::string maskedKey(const std::string& reported);
// True when a key text is to be written: entered, not reported.
bool keyToWrite(const std::string& key);

}  // namespace config
