#pragma once
// Texts of the backup file, the Write Only Information dialog and the Reset Server dialog, by
// their string-table ids (platform/string_table_data.inc, block 42500).
#include <cstdint>

namespace config::texts {

inline constexpr std::uint32_t kSaveValuesFailed = 42500;
inline constexpr std::uint32_t kRestoreValuesFailed = 42501;
inline constexpr std::uint32_t kSaveFileTitle = 42502;     // "Save Configuration to File"
inline constexpr std::uint32_t kRestoreFileTitle = 42503;  // "Restore Configuration from File"
inline constexpr std::uint32_t kFilterConfiguration = 42504;
inline constexpr std::uint32_t kFilterAll = 42505;
inline constexpr std::uint32_t kAskOverwrite = 42506;      // "%s": the file
inline constexpr std::uint32_t kWriteOnlyTitle = 42507;
inline constexpr std::uint32_t kWriteOnlyText = 42508;
inline constexpr std::uint32_t kWriteOnlyWarning = 42509;
inline constexpr std::uint32_t kWriteOnlySetCommunity = 42510;
inline constexpr std::uint32_t kWriteOnlyTcpIpPassword = 42511;
inline constexpr std::uint32_t kWriteOnlyNetWarePassword = 42512;
inline constexpr std::uint32_t kWriteOnlyVinesPassword = 42513;
inline constexpr std::uint32_t kResetTitle = 42520;        // "Reset Server"
inline constexpr std::uint32_t kAskReset = 42521;
inline constexpr std::uint32_t kResetFailed = 42522;
inline constexpr std::uint32_t kSelectToRestore = 42523;
inline constexpr std::uint32_t kAskRestoreDefaults = 42524;
inline constexpr std::uint32_t kRestoringServer = 42525;
inline constexpr std::uint32_t kRestoreFailed = 42526;
inline constexpr std::uint32_t kReadingInformation = 42527;
inline constexpr std::uint32_t kRestoreGroupTitle = 42528;
inline constexpr std::uint32_t kConfigureFirst = 42529;
inline constexpr std::uint32_t kProtocolNotYetSupported = 42530;
inline constexpr std::uint32_t kSecondFamilyResetDone = 42531;
inline constexpr std::uint32_t kSecondFamilyResetFailed = 42532;
inline constexpr std::uint32_t kSecondFamilyResetTitle = 42533;

// Backup-file section names ("%c": the row number, "%s": the protocol name).
inline constexpr std::uint32_t kSectionPort = 42540;
inline constexpr std::uint32_t kSectionSnmp = 42541;
inline constexpr std::uint32_t kSectionProtocols = 42542;
inline constexpr std::uint32_t kSectionTrapDest = 42543;
inline constexpr std::uint32_t kSectionTokenRing = 42544;
inline constexpr std::uint32_t kSectionNetWarePort = 42545;
inline constexpr std::uint32_t kSectionNetWare = 42546;
inline constexpr std::uint32_t kSectionNds = 42547;
inline constexpr std::uint32_t kSectionVines = 42548;
inline constexpr std::uint32_t kSectionEtherTalk = 42549;
inline constexpr std::uint32_t kSectionWireless = 42550;

// Result of a save or restore where some value failed.
inline constexpr int kBackupIncomplete = 3336;

}  // namespace config::texts
