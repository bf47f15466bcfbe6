#pragma once
// Value enumerations the program shows for print-server variables, with lookups both ways.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace mib {

struct EnumEntry {
  std::int32_t value;
  std::string_view text;
};

struct Enumeration {
  std::string_view name;
  std::span<const EnumEntry> entries;
  std::string_view otherText;  // shown for a value the list lacks ("UNKNOWN")
};

// The text of a value; the enumeration's other text when the value is not listed.
std::string_view enumText(const Enumeration& e, std::int32_t value) noexcept;
// The value of a text (exact match, first entry wins); false when no entry has the text.
bool enumValue(const Enumeration& e, std::string_view text, std::int32_t& value) noexcept;

// Every enumeration, for listings and consistency checks.
std::span<const Enumeration* const> allEnumerations() noexcept;
const Enumeration* findEnumeration(std::string_view name) noexcept;

extern const Enumeration kCableType;
extern const Enumeration kPortOnline;
extern const Enumeration kPortPrinterStatus;
extern const Enumeration kPortOwner;
extern const Enumeration kPrinterType;
extern const Enumeration kLanguageMode;
extern const Enumeration kConfigPageLanguage;
extern const Enumeration kOutputType;
extern const Enumeration kAddressMethod;
extern const Enumeration kFrameType;
extern const Enumeration kFrameTypeSetting;
extern const Enumeration kNetWareMode;
extern const Enumeration kFileServerStatus;
extern const Enumeration kProtocolId;
extern const Enumeration kAddressResolution;
extern const Enumeration kEnabledTwo;  // 2 on, 1 off: the firmware's usual boolean
extern const Enumeration kWirelessMode;
extern const Enumeration kEncryptionMode;
extern const Enumeration kRadio;
extern const Enumeration kAccessPointDensity;
extern const Enumeration kStrictness;  // 802.11d and dynamic frequency select
extern const Enumeration kAuthenticationType;
extern const Enumeration kAuthenticationProtocol;

// File-server status texts: unlisted values read "Unknown Error (0x%x)".
std::string fileServerStatusText(std::int32_t status);

// Printer state of a CPrinterStatusGroup: 0 with the text, or 3332 when the group was not read.
int printerStateText(bool read, std::int32_t value, std::string_view& text) noexcept;

}  // namespace mib
