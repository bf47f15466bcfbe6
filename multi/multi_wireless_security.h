#pragma once
// "Wireless Security Settings (Multiple Devices)": encryption, WEP keys, 802.1x and WPA values
// chosen once for every ticked unit, and the certificate file sent to each of them. The dialog
// works on a copy of what was chosen so far; OK hands it back. Nothing here reads a unit.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "multi/multi_tri_state.h"

namespace multi {

inline constexpr const char* kSecurityDialogTitle = "Wireless Security Settings (Multiple Devices)";
inline constexpr const char* kTextWepHex = "The WEP Key only accepts HEX (i.e. 0-9, a-f, A-F).";
// "The WEP Key must be %d characters."
std::string wepLengthText(int length);

inline constexpr int kSecurityKeys = 4;
inline constexpr int kSecurityTextLimit = 32;
inline constexpr int kExponentDigits = 5;
inline constexpr int kCertificatePathLimit = 260;

struct MultiSecurityValues {
  std::int32_t encryption = 0;    // item data: 0 no change, else the mode + 1
  std::int32_t keySelection = 0;  // item data: 0 no change, else the key number
  std::array<std::string, kSecurityKeys> keys;  // hexadecimal as typed
  std::string userId, password, commonName1, rootKey, wpaPsk, commonName2;
  std::int32_t authType = 0;      // item data: 0 no change, else the type + 1
  std::string exponent;           // digits; empty and 0 send nothing
  std::int32_t authProtocol = 0;  // item data: 0 no change, else the protocol + 1
  TriState wpaAutoAssociate = TriState::Unchanged;
  TriState wpaGroupKey = TriState::Unchanged;
  std::string certificateFile;
  bool operator==(const MultiSecurityValues&) const = default;
};

class CMultiWirelessSecurityDlg {
 public:
  explicit CMultiWirelessSecurityDlg(MultiSecurityValues values) : values(std::move(values)) {}

  static const std::vector<DialogChoice>& encryptionItems();
  static const std::vector<DialogChoice>& keySelectionItems();
  static const std::vector<DialogChoice>& authTypeItems();
  static const std::vector<DialogChoice>& authProtocolItems();

  // The mode chosen: 1 64-bit WEP, 2 128-bit WEP, -1 no change.
  std::int32_t mode() const { return values.encryption - 1; }
  // 10 or 26 digits for the WEP modes, 0 when the keys are not sent.
  int keyLength() const;
  bool keysEnabled() const { return keyLength() != 0; }

  // OK: each non-empty key is hexadecimal and as long as the mode wants; the exponent is digits.
  DialogCheck check() const;

  MultiSecurityValues values;
};

// The NAME=VALUE pairs of the settings table for what was chosen (the certificate file is not a
// setting: it is uploaded).
void appendSecurityValues(const MultiSecurityValues& v, std::vector<std::pair<std::string, std::string>>& out);

}  // namespace multi
