#pragma once
// Texts of the configuration sheet that travel through ReportError or the progress window, by
// their string-table ids (platform/string_table_data.inc, block 42200).
#include <cstdint>

namespace config::texts {

inline constexpr std::uint32_t kNeedsUpdating = 5306;
inline constexpr std::uint32_t kCannotCommunicate = 5018;
inline constexpr std::uint32_t kCannotOpenFile = 5024;
inline constexpr std::uint32_t kProtocolNotSupported = 40109;
inline constexpr std::uint32_t kSheetTitle = 42200;       // "Server Configuration"
inline constexpr std::uint32_t kConfirmSave = 42201;      // "Save changes and reset server?"
inline constexpr std::uint32_t kReading = 42202;          // "Reading Current Configuration"
inline constexpr std::uint32_t kSaving = 42203;           // "Saving Configuration Information"
inline constexpr std::uint32_t kResetting = 42204;        // "Resetting Server"
inline constexpr std::uint32_t kWritingFile = 42205;
inline constexpr std::uint32_t kReadingFile = 42206;
inline constexpr std::uint32_t kProductNotSupported = 42207;
inline constexpr std::uint32_t kCannotInitSnmp = 42208;
inline constexpr std::uint32_t kGetProtocols = 42209;
inline constexpr std::uint32_t kGetOutputPort = 42210;
inline constexpr std::uint32_t kGetSnmp = 42211;
inline constexpr std::uint32_t kGetTraps = 42212;
inline constexpr std::uint32_t kGetTokenRing = 42213;
inline constexpr std::uint32_t kGetTcpIp = 42214;
inline constexpr std::uint32_t kGetNetWare = 42215;
inline constexpr std::uint32_t kGetNetWareQueues = 42216;
inline constexpr std::uint32_t kGetNds = 42217;
inline constexpr std::uint32_t kGetVines = 42218;
inline constexpr std::uint32_t kGetEtherTalk = 42219;
inline constexpr std::uint32_t kGetWireless = 42220;
inline constexpr std::uint32_t kSaveTcpIp = 42221;
inline constexpr std::uint32_t kSaveOutputPort = 42222;
inline constexpr std::uint32_t kSaveSnmp = 42223;
inline constexpr std::uint32_t kSaveNetWare = 42224;
inline constexpr std::uint32_t kSaveNetWareQueues = 42225;
inline constexpr std::uint32_t kSaveNds = 42226;
inline constexpr std::uint32_t kSaveProtocols = 42227;
inline constexpr std::uint32_t kSaveVines = 42228;
inline constexpr std::uint32_t kSaveTokenRing = 42229;
inline constexpr std::uint32_t kSaveEtherTalk = 42230;
inline constexpr std::uint32_t kSaveTraps = 42231;
inline constexpr std::uint32_t kGetServerInfo = 42232;
inline constexpr std::uint32_t kGetCommand = 42233;
inline constexpr std::uint32_t kSaveCommand = 42234;
inline constexpr std::uint32_t kNetWareConnections = 42235;
inline constexpr std::uint32_t kInvalidIpAddress = 42236;
inline constexpr std::uint32_t kInvalidIpxEntry = 42237;

}  // namespace config::texts
