#pragma once
// What the tree pane does with a node, without the widgets: the questions it asks, when a drop
// only beeps, which pop-up items are enabled and which is the default, and the rename, move and
// delete flows run against the view manager with the dialogs passed in as plain callbacks.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/command_ids.h"
#include "app/command_state.h"

namespace app {

class CViewManager;
class CViewNode;

// The dialogs a flow may open. Missing callbacks count as "No" and as silence.
struct TreeDialogs {
  std::function<bool(const std::string&)> askYesNo;
  std::function<void(const std::string&)> showMessage;
  std::function<void()> beep;
};

enum class TreeOutcome {
  Nothing,   // nothing to do (no node, no change, not allowed here)
  Beeped,    // the drop target is not a place for the node
  Refused,   // the manager's check said no; its message was shown
  Declined,  // the user answered No
  Failed,    // the manager tried and failed; its message was shown
  Done,      // the tree changed
};

// "view" for a view, "group" for a folder or the root.
const char* nodeKindWord(const CViewNode& node);
// Move the view "Printers" to the group "Lab"?
std::string moveQuestion(const CViewNode& node, const CViewNode& target);
// Delete the group "Lab"?
std::string deleteQuestion(const CViewNode& node);

// True when dropping `node` on `target` can only beep: no node or target, the root dragged, onto
// itself, into its own subtree, onto its current parent, or onto a view.
bool dropBeeps(const CViewNode* node, const CViewNode* target);

// The node as the pop-up rules see it (null: the click hit no item).
CommandState::TreeNode treeNodeState(const CViewNode* node);
// Whether a tree pop-up item is enabled for the node. `editable` is false when the pane has no
// view manager (then nothing is). Renaming the root or nothing at all, and deleting the root, stay
// off whatever the general rules say: the root is never a node of its own in the store.
bool treePopupEnabled(cmd::CommandId id, const CViewNode* node, bool refreshAlways, bool editable);
// The bold item of the pop-up for the node, 0 for none.
cmd::CommandId treePopupDefaultItem(const CViewNode* node, bool refreshAlways);

// The manager's own node for a pointer the pane holds, found by identity (never dereferenced),
// so a stale pointer yields null instead of a freed node.
CViewNode* ownedNode(const CViewManager& views, const CViewNode* node);

// Drop: beep, or ask and move on Yes; a failed move shows the manager's message.
TreeOutcome moveFlow(CViewManager& views, CViewNode* node, CViewNode* target, const TreeDialogs& dialogs);
// In-place rename: the manager's message on failure. Done only when the name really changed (a
// change of case alone is no rename).
TreeOutcome renameFlow(CViewManager& views, CViewNode* node, std::string_view newName, const TreeDialogs& dialogs);
// Delete: the manager's check first (no node, open view, only view, group with members, root),
// then the question, then the delete.
TreeOutcome deleteFlow(CViewManager& views, CViewNode* node, const TreeDialogs& dialogs);

}  // namespace app
