#pragma once
// Names for string-table ids that have no number of their own in the product's texts
// (see platform/string_table_data.inc for the blocks). Numbered texts are used by number.
#include <cstdint>

namespace platform::ids {

// application shell
inline constexpr std::uint32_t kAppName = 40100;           // "Trellan"
inline constexpr std::uint32_t kMainWindowTitle = 40101;   // "Quorvel Trellan"
inline constexpr std::uint32_t kBrand = 40102;             // "Quorvel"
inline constexpr std::uint32_t kDefaultViewName = 40103;   // "All Print Servers"
inline constexpr std::uint32_t kAskLegacyImport = 40104;   // "Would you like to import ... %s ..."
inline constexpr std::uint32_t kProtocolNotInitialized = 40105;  // "The %s protocol could not be initialized."
inline constexpr std::uint32_t kProtocolTcpIp = 40106;
inline constexpr std::uint32_t kProtocolNetWare = 40107;
inline constexpr std::uint32_t kProtocolSerial = 40108;
inline constexpr std::uint32_t kProtocolNotSupported = 40109;
inline constexpr std::uint32_t kDefaultEntryName = 40110;  // "<Default>"
inline constexpr std::uint32_t kDefaultCommunity = 40111;  // "vorlak"
inline constexpr std::uint32_t kProtocolIpx = 40112;
inline constexpr std::uint32_t kSettingsReadOnly = 40113;  // "Settings cannot be saved: %s ..."

// ReportError: text of a class without a string of its own, and box titles
inline constexpr std::uint32_t kErrorGeneric = 40120;      // "Error" (text and title)
inline constexpr std::uint32_t kErrorViewText = 40121;
inline constexpr std::uint32_t kErrorSocketsText = 40122;
inline constexpr std::uint32_t kErrorSnmpText = 40123;
inline constexpr std::uint32_t kErrorNetWareText = 40124;
inline constexpr std::uint32_t kErrorSerialText = 40125;
inline constexpr std::uint32_t kErrorWindowsText = 40126;
inline constexpr std::uint32_t kErrorViewTitle = 40130;
inline constexpr std::uint32_t kErrorSocketsTitle = 40131;
inline constexpr std::uint32_t kErrorSnmpTitle = 40132;
inline constexpr std::uint32_t kErrorNetWareTitle = 40133;
inline constexpr std::uint32_t kErrorSerialTitle = 40134;
inline constexpr std::uint32_t kErrorWindowsTitle = 40135;
inline constexpr std::uint32_t kErrorVinesTitle = 40136;
inline constexpr std::uint32_t kMenuFile = 40140;          // "&File"
inline constexpr std::uint32_t kRebuildingConfiguration = 40150;
inline constexpr std::uint32_t kAskPrintConfigSheet = 40151;
inline constexpr std::uint32_t kConfigSheetPrinted = 40152;
inline constexpr std::uint32_t kServerNotFound = 40153;
inline constexpr std::uint32_t kAskModifyForPrinterColumns = 40154;
inline constexpr std::uint32_t kSearchTitle = 40155;
inline constexpr std::uint32_t kSearchPrompt = 40156;

// network tools
inline constexpr std::uint32_t kNetInfoTitle = 41100;      // "Network Information"
inline constexpr std::uint32_t kNetInfoUnknown = 41101;
inline constexpr std::uint32_t kNetInfoFalse = 41102;
inline constexpr std::uint32_t kNetInfoWinsock = 41103;
inline constexpr std::uint32_t kNetInfoHostName = 41104;
inline constexpr std::uint32_t kNetInfoHostAddress = 41105;
inline constexpr std::uint32_t kNetInfoIpxSubnet = 41106;
inline constexpr std::uint32_t kNetInfoHardwareAddress = 41107;
inline constexpr std::uint32_t kNetInfoOperatingSystem = 41108;
inline constexpr std::uint32_t kNetInfoIpSupport = 41109;
inline constexpr std::uint32_t kNetInfoIpxSupport = 41110;
inline constexpr std::uint32_t kNetInfoVinesSupport = 41111;
inline constexpr std::uint32_t kNetInfoNovellSupport = 41112;
inline constexpr std::uint32_t kNetInfoOk = 41113;
inline constexpr std::uint32_t kTelnetCommand = 41114;     // "telnet "

// commands
inline constexpr std::uint32_t kCommandExit = 57665;       // "E&xit"

}  // namespace platform::ids
