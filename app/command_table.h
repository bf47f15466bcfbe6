#pragma once
// The command set as data: each command's menu text, accelerator, tool-bar place and the feature
// it needs, and the layout of the main menu and the pop-up menus. The main window builds its
// menus, tool bar and shortcuts from these tables and nothing else, so a text is written once.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/command_ids.h"

namespace app {

// What a command needs beyond the main window itself. Features that are not in this build make
// their commands answer "not available in this build" (featureInBuild is the one place).
enum class Feature : std::uint8_t {
  Shell,              // main window, refresh cycle, bars and modes, launchers
  ViewTree,           // view tree operations
  DeviceQuery,        // device query and status text, printing a configuration sheet
  FindOrAdd,          // the Search tool
  NetworkTools,       // network information, telnet
  ListExport,         // list and address export
  Configuration,      // configuration sheet
  ConfigBackup,       // save/restore configuration files
  Reset,              // reset of one or several print servers
  Status,             // status sheet
  Wizard,             // configuration wizard
  MultiUnit,          // multi-unit configuration
  ViewEditor,         // create/modify/select views
  Options,            // options sheet
  AddressAssignment,  // unlisted IP server setup
  NetworkDrive,       // connect-network-drive dialog: no counterpart on this platform
};

// True when the feature's commands do their work in this build.
bool featureInBuild(Feature feature) noexcept;

// The menus a command can live in.
enum class MenuKind : std::uint8_t {
  None,
  File,
  Server,
  View,
  Tools,
  Help,
  TreePopup,         // menu 135, right-click on the view tree
  ServerPopup,       // menu 141, right-click on the list in standard mode
  MultiSelectPopup,  // right-click on the list in multi-select mode
};

struct CommandInfo {
  cmd::CommandId id;
  const char* text;         // menu text with its "&" mnemonic
  const char* accelerator;  // portable key text ("Alt+C", "F5", "Esc"), nullptr for none
  int toolBarPosition;      // position on the tool bar, -1 when not there
  const char* statusTip;    // status-bar help, nullptr when none
  Feature feature;
  MenuKind home;            // where the command lives in the main menu or, for pop-up-only
                            // commands, its pop-up menu
};

std::span<const CommandInfo> commandTable() noexcept;
// The entry of `id`, or nullptr for a number that is no command.
const CommandInfo* findCommand(cmd::CommandId id) noexcept;

// One line of a menu layout. Sub-menus nest by depth: a Submenu line at depth d holds the lines
// at depth d + 1 that follow it.
struct MenuItem {
  enum Kind : std::uint8_t { Command, Separator, Submenu };
  Kind kind;
  std::uint8_t depth;
  cmd::CommandId id;  // Command lines
  const char* text;   // Submenu title; for a Command, a text that replaces the command's own
                      // text in this menu (nullptr: the command's text)
};

// Top-level menus of the main menu bar in order, with their titles.
struct TopMenu {
  MenuKind kind;
  const char* title;
};
std::span<const TopMenu> mainMenuBar() noexcept;

// The layout of one menu (top-level menu or pop-up menu).
std::span<const MenuItem> menuLayout(MenuKind menu) noexcept;

// The text a menu line shows.
const char* menuItemText(const MenuItem& item) noexcept;

// Where a command sits: the first menu (in MenuKind order) and the position of its line in that
// menu's layout.
struct MenuPlace {
  MenuKind menu;
  std::size_t index;
};
std::optional<MenuPlace> findMenuPlace(cmd::CommandId id) noexcept;

// A menu text without its mnemonic marker and trailing "...", for messages ("&&" stays "&").
std::string plainMenuText(std::string_view text);

// Texts of the command set that are not menu texts.
namespace texts {
inline constexpr const char* kNotAvailable = "not available in this build";
inline constexpr const char* kCancellingSearch = "Cancelling current search...";
inline constexpr const char* kProtocolNotSupported = "Protocol not supported";
inline constexpr const char* kUnableToLaunchBrowser = "Unable to launch browser.";
inline constexpr const char* kHttpNoTcp = "TCP/IP protocol not available. Cannot make HTTP connection.";
inline constexpr const char* kSearchNotSupported =
    "The Search tool is not supported for the protocol of the current view.";
inline constexpr const char* kMailLaunchFailed =
    "The e-mail application cannot be launched. Please send your message to %s.";
inline constexpr const char* kEmailSubject = "Trellan Support";
inline constexpr const char* kMapDriveTip = "Network drives are connected by the desktop's file manager on this system.";
inline constexpr const char* kVigiloTitle1 = "Vigilo 32 - Quorvel";
inline constexpr const char* kVigiloTitle2 = "Vigilo32 - Quorvel";
inline constexpr const char* kVigiloClass = "OlvVigilo";
inline constexpr const char* kVigiloDefaultPath = "../alert/vigil32.exe";  // relative to the program
inline constexpr const char* kVigiloFileName = "alert*.exe";
inline constexpr const char* kVigiloFilterName = "Vigil32";
inline constexpr const char* kVigiloFilterPattern = "alert*.exe";
inline constexpr const char* kVigiloLoadFailed = "An error occurred while loading Vigilo.";
inline constexpr std::uint32_t kVigiloLoadFailedCode = 5055;
inline constexpr const char* kHelpFile = "TRELLAN.CHM";
inline constexpr const char* kAlertPathValue = "AlertPath";
// The maker's pages and support address.
inline constexpr const char* kRegistrationUrl = "https://www.quorvel.example/trellan/register";
inline constexpr const char* kSupportAddress = "support@quorvel.example";
}  // namespace texts

// "<command>: not available in this build." for a command, or "Command <id>: ..." for a number
// that is no command.
std::string notAvailableMessage(cmd::CommandId id);

}  // namespace app
