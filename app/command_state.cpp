#include "app/command_state.h"

#include "app/command_table.h"

namespace app {

namespace {

constexpr int kViewTcpIpProtocol = 6;

bool isServerCommand(cmd::CommandId id) {
  switch (id) {
    case cmd::kConfiguration:
    case cmd::kStatus:
    case cmd::kWhatsWrong:
    case cmd::kPrintConfigSheet:
    case cmd::kReset:
    case cmd::kWizard:
    case cmd::kSaveConfiguration:
    case cmd::kRestoreConfiguration:
    case cmd::kMultipleConfiguration:
      return true;
    default:
      return false;
  }
}

// Commands that work on the device itself and have no meaning for a second-family unit.
bool isNativeOnlyCommand(cmd::CommandId id) {
  return id == cmd::kSaveConfiguration || id == cmd::kRestoreConfiguration || id == cmd::kReset ||
         id == cmd::kPrintConfigSheet;
}

bool serverCommandEnabled(cmd::CommandId id, const CommandState& s) {
  if (!s.listHasFocus) return false;
  // Multi-select mode works on the ticked rows, whatever row has the focus.
  if (s.multiSelect) return id == cmd::kMultipleConfiguration || id == cmd::kReset;
  if (s.selectedCount <= 0) return false;
  if (isNativeOnlyCommand(id) && s.focusedSecondFamily) return false;
  return true;
}

bool treeCommandEnabled(cmd::CommandId id, const CommandState& s) {
  const CommandState::TreeNode& n = s.treeNode;
  switch (id) {
    case cmd::kTreeDelete:
      return n.present && !n.hasChildren;
    case cmd::kTreeOpen:
      return n.present && n.isView && n.searched;
    case cmd::kTreeModify:
    case cmd::kTreeOpenRefresh:
    case cmd::kTreeOpenNewWindow:
      return n.present && n.isView;
    default:  // rename, new view, new folder
      return true;
  }
}

}  // namespace

bool commandEnabled(cmd::CommandId id, const CommandState& s) noexcept {
  const CommandInfo* info = findCommand(id);
  if (!info) return false;
  if (info->feature == Feature::NetworkDrive) return false;
  if (isServerCommand(id)) return serverCommandEnabled(id, s);
  if (info->home == MenuKind::TreePopup) return treeCommandEnabled(id, s);
  switch (id) {
    case cmd::kRefresh:
      return !s.searching;
    case cmd::kStop:
      return s.searching;
    case cmd::kTelnet:
    case cmd::kHttp:
    case cmd::kSaveIpAddresses:
      return s.viewProtocol == kViewTcpIpProtocol;
    case cmd::kSearch:
      return (s.viewProtocol & 7) != 0;
    case cmd::kSelectAll:
    case cmd::kSelectNone:
      // Ticking rows means something only while the list shows check boxes.
      return s.multiSelect;
    default:
      return true;
  }
}

bool commandCheckable(cmd::CommandId id) noexcept {
  switch (id) {
    case cmd::kShowViewTree:
    case cmd::kViewByPrinter:
    case cmd::kMultiSelectMode:
    case cmd::kToolBar:
    case cmd::kViewSelectBar:
    case cmd::kStatusBar:
    case cmd::kLargeIcons:
    case cmd::kSmallIcons:
    case cmd::kListStyle:
    case cmd::kDetails:
      return true;
    default:
      return false;
  }
}

bool commandChecked(cmd::CommandId id, const CommandState& s) noexcept {
  switch (id) {
    case cmd::kShowViewTree: return s.treeShown;
    case cmd::kViewByPrinter: return s.viewByPrinter;
    case cmd::kMultiSelectMode: return s.multiSelect;
    case cmd::kToolBar: return s.toolBarVisible;
    case cmd::kViewSelectBar: return s.viewSelectBarVisible;
    case cmd::kStatusBar: return s.statusBarVisible;
    default: break;
  }
  ListStyle style;
  return listStyleOfCommand(id, style) && style == s.listStyle;
}

cmd::CommandId treePopupDefault(const CommandState& s) noexcept {
  const CommandState::TreeNode& n = s.treeNode;
  if (!n.present || !n.isView) return 0;
  if (!n.searched || s.refreshAlways) return cmd::kTreeOpenRefresh;
  return cmd::kTreeOpen;
}

cmd::CommandId viewSelectionCommand(const CommandState& s) noexcept {
  return s.refreshAlways ? cmd::kTreeOpenRefresh : cmd::kTreeOpen;
}

}  // namespace app
