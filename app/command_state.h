#pragma once
// The window state the menu rules read, as plain values, and the rules themselves as pure
// functions: the main window fills a CommandState whenever a menu or the tool bar is shown and
// asks commandEnabled / commandChecked per command.
#include <cstdint>

#include "app/command_ids.h"
#include "app/list_style.h"

namespace app {

struct CommandState {
  // Open view: its protocol code (6 TCP/IP, 7 NetWare, 8 serial, 9 IPX; 0 when none is open).
  int viewProtocol = 0;
  bool searching = false;

  // Device list.
  bool listHasFocus = false;
  int selectedCount = 0;             // selected rows
  int checkedCount = 0;              // ticked rows in multi-select mode
  bool focusedSecondFamily = false;  // the focused row's device is of the second family
  bool focusedAnswered = false;
  bool focusedConfigured = false;
  int focusedReplyFormat = 0;        // discovery reply format of the focused device (1..3)

  // Modes and panes.
  bool multiSelect = false;
  bool viewByPrinter = false;
  bool treeShown = true;
  bool toolBarVisible = true;
  bool viewSelectBarVisible = true;
  bool statusBarVisible = true;
  ListStyle listStyle = ListStyle::Details;
  bool refreshAlways = false;        // General\RefreshAlways is 1

  // Protocol flags of the start-up network probe.
  std::uint32_t networkFlags = 0;

  // The view-tree node the tree pop-up menu is for.
  struct TreeNode {
    bool present = false;  // a node is selected
    bool isView = false;   // a view, not a folder or the root
    bool hasChildren = false;
    bool searched = false; // the view has been searched at least once
  } treeNode;
};

// Network probe flags the rules read.
inline constexpr std::uint32_t kNetUdp = 0x0001;
inline constexpr std::uint32_t kNetTcp = 0x0002;
inline constexpr std::uint32_t kNetNetWare = 0x0100;
inline constexpr std::uint32_t kNetVines = 0x0200;
inline constexpr std::uint32_t kNetSerial = 0x8000;

bool commandEnabled(cmd::CommandId id, const CommandState& state) noexcept;
bool commandChecked(cmd::CommandId id, const CommandState& state) noexcept;
// True for the commands that show a check mark.
bool commandCheckable(cmd::CommandId id) noexcept;

// The default (bold) item of the tree pop-up for the node in `state`, or 0 for none.
cmd::CommandId treePopupDefault(const CommandState& state) noexcept;

// The command a selection in the tree or the view-select list posts.
cmd::CommandId viewSelectionCommand(const CommandState& state) noexcept;

}  // namespace app
