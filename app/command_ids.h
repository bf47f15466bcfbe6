#pragma once
// Every command of the main window by its fixed number. These numbers are stored in the
// settings (General\DoubleClick) and posted between windows, so they never change.
#include <cstdint>

namespace app::cmd {

using CommandId = std::uint32_t;

// File
inline constexpr CommandId kSaveList = 32790;            // "Save &List to File..."
inline constexpr CommandId kSaveIpAddresses = 32863;     // "Save IP &Addresses..."
inline constexpr CommandId kExit = 57665;                // "E&xit"

// Server
inline constexpr CommandId kConfiguration = 32772;       // "&Configuration"
inline constexpr CommandId kStatus = 32774;              // "&Status"
inline constexpr CommandId kWhatsWrong = 32804;          // "&What's Wrong"
inline constexpr CommandId kPrintConfigSheet = 32780;    // "&Print Configuration Sheet"
inline constexpr CommandId kReset = 32777;               // "&Reset"
inline constexpr CommandId kWizard = 32799;              // "Configuration Wi&zard"
inline constexpr CommandId kMultipleConfiguration = 32841;  // "&Multiple Configuration"
inline constexpr CommandId kSaveConfiguration = 32813;   // "S&ave Configuration"
inline constexpr CommandId kRestoreConfiguration = 32796;  // "R&estore Configuration"

// View
inline constexpr CommandId kCreateView = 32801;          // "&Create New View"
inline constexpr CommandId kModifyView = 32785;          // "&Modify Current View"
inline constexpr CommandId kSelectViews = 32803;         // "&Select/Delete Views"
inline constexpr CommandId kRefresh = 32789;             // "&Refresh List"
inline constexpr CommandId kStop = 32869;                // "St&op"
inline constexpr CommandId kToolBar = 32873;             // "&Tools" (bar)
inline constexpr CommandId kViewSelectBar = 32874;       // "&View Select" (bar)
inline constexpr CommandId kStatusBar = 59393;           // "&Status" (bar)
inline constexpr CommandId kShowViewTree = 32816;        // "Show View &Tree"
inline constexpr CommandId kViewByPrinter = 32812;       // "View by &Printer"
inline constexpr CommandId kMultiSelectMode = 32806;     // "M&ulti-Select Mode"
inline constexpr CommandId kLargeIcons = 59139;          // "Lar&ge Icons"
inline constexpr CommandId kSmallIcons = 59138;          // "Small &Icons"
inline constexpr CommandId kListStyle = 59140;           // "&List"
inline constexpr CommandId kDetails = 59141;             // "&Details"

// Tools
inline constexpr CommandId kSearch = 32809;              // "&Search"
inline constexpr CommandId kUnlistedIpServer = 32810;    // "Setup &Unlisted IP Server"
inline constexpr CommandId kMapNetworkDrive = 32807;     // "&Map Network Drive"
inline constexpr CommandId kNetworkInformation = 32887;  // "&Network Information"
inline constexpr CommandId kTelnet = 32793;              // "&Telnet Session"
inline constexpr CommandId kHttp = 32817;                // "&HTTP Session"
inline constexpr CommandId kVigilo = 32888;              // the sibling monitor program
inline constexpr CommandId kOptions = 32776;             // "&Options"

// Help
inline constexpr CommandId kRegistration = 32859;        // "Online Product &Registration"
inline constexpr CommandId kHelpContents = 32811;        // "&Contents"
inline constexpr CommandId kEmailSupport = 32882;        // "E-Mail Support"
inline constexpr CommandId kAbout = 57664;               // "&About Trellan"

// View tree pop-up
inline constexpr CommandId kTreeOpen = 32835;            // "&Open"
inline constexpr CommandId kTreeOpenRefresh = 32861;     // "Open and Re&fresh"
inline constexpr CommandId kTreeOpenNewWindow = 32862;   // "Open in New &Window"
inline constexpr CommandId kTreeModify = 32826;          // "&Modify"
inline constexpr CommandId kTreeRename = 32860;          // "&Rename"
inline constexpr CommandId kTreeDelete = 32827;          // "&Delete"
inline constexpr CommandId kTreeNewView = 32839;         // "&View"
inline constexpr CommandId kTreeNewFolder = 32838;       // "&Folder"

// Multi-select pop-up
inline constexpr CommandId kSelectAll = 32884;           // "Select &All"
inline constexpr CommandId kSelectNone = 32885;          // "Select &None"

}  // namespace app::cmd
