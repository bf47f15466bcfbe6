#include "access/mib_enumerations.h"

#include <array>
#include <cstdio>

namespace mib {
namespace {

constexpr std::string_view kUnknown = "UNKNOWN";

constexpr EnumEntry kCableTypeEntries[] = {
    {1, "10BASE-2"}, {2, "10/100BASE-T"}, {3, "AUI"}, {4, "UTP"}, {5, "STP"}, {6, "Fiber 100fx"},
};
constexpr EnumEntry kPortOnlineEntries[] = {{1, "On-line"}, {2, "Off-line"}};
constexpr EnumEntry kPrinterStatusEntries[] = {
    {1, "None"},      {2, "No Printer Attached"}, {3, "Toner Low"},     {4, "Paper Out"},
    {5, "Paper Jam"}, {6, "Door Open"},           {15, "Printer Error"},
};
constexpr EnumEntry kPortOwnerEntries[] = {
    {1, "No Owner"},        {2, "TCP/IP"},   {3, "NetWare"},  {4, "VINES"},  {5, "Raw Net Connect"},
    {6, "EtherTalk"},       {7, "Configuration Page"},        {8, "Infrared"}, {9, "Serial"},
};
constexpr EnumEntry kPrinterTypeEntries[] = {
    {1, "HP III with PostScript Plus"},
    {2, "HP LaserJet (except HP III)"},
    {3, "Lexmark"},
    {4, "No Specific Printer"},
};
constexpr EnumEntry kLanguageModeEntries[] = {
    {1, "Off"}, {2, "PCL"}, {3, "PostScript"}, {4, "Automatic"}, {5, "Pre/Post String"},
};
// The group's own texts stop at 3; the Output Port page also offers 4 "Off" and 5 "ZPL/EPL".
constexpr EnumEntry kConfigPageLanguageEntries[] = {{1, "Text"}, {2, "PCL"}, {3, "PostScript"}};
constexpr EnumEntry kOutputTypeEntries[] = {
    {1, "9600 Baud"},
    {2, "19200 Baud"},
    {3, "38400 Baud"},
    {4, "57600 Baud"},
    {32764, "Z-Link"},
    {32765, "MIO"},
    {32766, "1284 (ECP or Fast Nibble Mode)"},
    {32767, "Ravelport"},
};
constexpr EnumEntry kAddressMethodEntries[] = {
    {1, "Permanent"}, {2, "Default"}, {3, "RARP"}, {4, "BOOTP"}, {5, "DHCP"}, {6, "Glean"},
};
constexpr EnumEntry kFrameTypeEntries[] = {
    {2, "Ethernet II"}, {3, "Ethernet 802.3"}, {4, "Ethernet 802.2"},
    {5, "Ethernet Snap"}, {6, "Token Ring"}, {7, "Token Ring Snap"},
};
constexpr EnumEntry kFrameTypeSettingEntries[] = {
    {1, "Automatic Sensing"}, {2, "Ethernet II"}, {3, "Ethernet 802.3"}, {4, "Ethernet 802.2"},
    {5, "Ethernet Snap"},     {6, "Token Ring"},  {7, "Token Ring Snap"},
};
constexpr EnumEntry kNetWareModeEntries[] = {{2, "PServer"}, {3, "RPrinter"}};
constexpr EnumEntry kFileServerStatusEntries[] = {
    {1, "Up"},
    {2, "Down"},
    {3, "Startup In Progress"},
    {4, "Reattaching"},
    {5, "Connection Failed"},
    {258, "Unknown File Server"},
    {261, "Unknown File Server"},
    {276, "Can't Login"},
    {512, "No Such Queue"},
    {515, "Unable to Attach to Queue"},
    {768, "Bad Connection"},
    {769, "Bad Service Connection"},
};
constexpr EnumEntry kProtocolIdEntries[] = {
    {1, "TCP/IP"}, {2, "NetWare"}, {3, "VINES"}, {4, "LAN Manager"}, {5, "EtherTalk"}, {7, "Wireless"},
};
constexpr EnumEntry kAddressResolutionEntries[] = {{1, "Permanent"}, {2, "Network Protocol"}};
constexpr EnumEntry kEnabledTwoEntries[] = {{1, "Disabled"}, {2, "Enabled"}};
constexpr EnumEntry kWirelessModeEntries[] = {{1, "Ad Hoc (802.11)"}, {3, "Infrastructure"}};
constexpr EnumEntry kEncryptionModeEntries[] = {
    {0, "Disabled"}, {1, "64-Bit WEP"}, {2, "128-Bit WEP"}, {3, "WPA"},
    {4, "WPA 2"},    {5, "WPA WPA2"},   {6, "Dynamic WEP"},
};
constexpr EnumEntry kRadioEntries[] = {
    {0, "802.11b only"}, {1, "802.11g only"}, {2, "802.11b and g"}, {3, "802.11a only"}, {4, "802.11a, b and g"},
};
constexpr EnumEntry kAccessPointDensityEntries[] = {{0, "Low"}, {1, "Medium"}, {2, "High"}};
constexpr EnumEntry kStrictnessEntries[] = {{1, "Disabled"}, {2, "Strict"}, {3, "Flexible"}};
constexpr EnumEntry kAuthenticationTypeEntries[] = {
    {0, "Open System"}, {1, "Shared Key"}, {2, "TTLS"}, {3, "LEAP"}, {4, "PEAP"}, {5, "Kerberos"}, {6, "PSK"},
};
constexpr EnumEntry kAuthenticationProtocolEntries[] = {{0, "PAP"}, {1, "MSCHAP_V2"}};

}  // namespace

constexpr Enumeration kCableType{"cable type", kCableTypeEntries, kUnknown};
constexpr Enumeration kPortOnline{"port on-line", kPortOnlineEntries, kUnknown};
constexpr Enumeration kPortPrinterStatus{"printer status", kPrinterStatusEntries, kUnknown};
constexpr Enumeration kPortOwner{"port owner", kPortOwnerEntries, kUnknown};
constexpr Enumeration kPrinterType{"printer type", kPrinterTypeEntries, kUnknown};
constexpr Enumeration kLanguageMode{"language switching mode", kLanguageModeEntries, kUnknown};
constexpr Enumeration kConfigPageLanguage{"configuration page language", kConfigPageLanguageEntries, kUnknown};
constexpr Enumeration kOutputType{"output type", kOutputTypeEntries, kUnknown};
constexpr Enumeration kAddressMethod{"address method", kAddressMethodEntries, kUnknown};
constexpr Enumeration kFrameType{"frame type", kFrameTypeEntries, kUnknown};
constexpr Enumeration kFrameTypeSetting{"frame type setting", kFrameTypeSettingEntries, kUnknown};
constexpr Enumeration kNetWareMode{"NetWare mode", kNetWareModeEntries, kUnknown};
constexpr Enumeration kFileServerStatus{"file server status", kFileServerStatusEntries, "Unknown Error"};
constexpr Enumeration kProtocolId{"protocol", kProtocolIdEntries, kUnknown};
constexpr Enumeration kAddressResolution{"address resolution", kAddressResolutionEntries, kUnknown};
constexpr Enumeration kEnabledTwo{"enabled", kEnabledTwoEntries, kUnknown};
constexpr Enumeration kWirelessMode{"wireless mode", kWirelessModeEntries, kUnknown};
constexpr Enumeration kEncryptionMode{"encryption mode", kEncryptionModeEntries, kUnknown};
constexpr Enumeration kRadio{"radio", kRadioEntries, kUnknown};
constexpr Enumeration kAccessPointDensity{"access point density", kAccessPointDensityEntries, kUnknown};
constexpr Enumeration kStrictness{"strictness", kStrictnessEntries, kUnknown};
constexpr Enumeration kAuthenticationType{"authentication type", kAuthenticationTypeEntries, kUnknown};
constexpr Enumeration kAuthenticationProtocol{"authentication protocol", kAuthenticationProtocolEntries, kUnknown};

namespace {
constexpr const Enumeration* kAllEnumerations[] = {
    &kCableType,         &kPortOnline,        &kPortPrinterStatus,   &kPortOwner,          &kPrinterType,
    &kLanguageMode,      &kConfigPageLanguage, &kOutputType,     &kAddressMethod,      &kFrameType,
    &kFrameTypeSetting,  &kNetWareMode,       &kFileServerStatus, &kProtocolId,        &kAddressResolution,
    &kEnabledTwo,        &kWirelessMode,      &kEncryptionMode,  &kRadio,              &kAccessPointDensity,
    &kStrictness,        &kAuthenticationType, &kAuthenticationProtocol,
};
}  // namespace

std::string_view enumText(const Enumeration& e, std::int32_t value) noexcept {
  for (const EnumEntry& entry : e.entries) {
    if (entry.value == value) return entry.text;
  }
  return e.otherText;
}

bool enumValue(const Enumeration& e, std::string_view text, std::int32_t& value) noexcept {
  for (const EnumEntry& entry : e.entries) {
    if (entry.text == text) {
      value = entry.value;
      return true;
    }
  }
  return false;
}

std::span<const Enumeration* const> allEnumerations() noexcept { return kAllEnumerations; }

const Enumeration* findEnumeration(std::string_view name) noexcept {
  for (const Enumeration* e : kAllEnumerations) {
    if (e->name == name) return e;
  }
  return nullptr;
}

std::string fileServerStatusText(std::int32_t status) {
  for (const EnumEntry& entry : kFileServerStatus.entries) {
    if (entry.value == status) return std::string(entry.text);
  }
  // The firmware's codes are 32-bit: a negative one prints as its unsigned form.
  std::array<char, 32> suffix{};
  std::snprintf(suffix.data(), suffix.size(), " (0x%x)", static_cast<unsigned>(static_cast<std::uint32_t>(status)));
  return std::string(kFileServerStatus.otherText) + suffix.data();
}

int printerStateText(bool read, std::int32_t value, std::string_view& text) noexcept {
  if (!read) return 3332;
  if (value == 0 || value == 2 || value == 4 || value == 6) {
    text = "On-line";
  } else if (value & 0x20) {
    text = "Off-line";
  } else if (value & 0x40) {
    text = "Transitioning";
  } else {
    text = "Printer Error";
  }
  return 0;
}

}  // namespace mib
