#include "app/view_tree_actions.h"

#include "app/view_manager.h"
#include "app/view_node.h"

namespace app {

namespace {

bool ask(const TreeDialogs& d, const std::string& text) { return d.askYesNo && d.askYesNo(text); }

void tell(const TreeDialogs& d, const std::string& text) {
  if (d.showMessage && !text.empty()) d.showMessage(text);
}

void beep(const TreeDialogs& d) {
  if (d.beep) d.beep();
}

// Names go in as they are: a "%" in a name is just a character here.
std::string quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

const char* nodeKindWord(const CViewNode& node) { return node.isView() ? "view" : "group"; }

std::string moveQuestion(const CViewNode& node, const CViewNode& target) {
  return std::string("Move the ") + nodeKindWord(node) + " " + quoted(node.name()) + " to the group " +
         quoted(target.name()) + "?";
}

std::string deleteQuestion(const CViewNode& node) {
  return std::string("Delete the ") + nodeKindWord(node) + " " + quoted(node.name()) + "?";
}

bool dropBeeps(const CViewNode* node, const CViewNode* target) {
  if (!node || !target) return true;
  if (node->isRoot()) return true;
  if (target->isView()) return true;
  if (node->contains(target)) return true;  // itself or one of its own descendants
  return target == node->parent();
}

CommandState::TreeNode treeNodeState(const CViewNode* node) {
  CommandState::TreeNode n;
  if (!node) return n;
  n.present = true;
  n.isView = node->isView();
  n.hasChildren = !node->children().empty();
  n.searched = node->discovery() != nullptr;
  return n;
}

bool treePopupEnabled(cmd::CommandId id, const CViewNode* node, bool refreshAlways, bool editable) {
  if (!editable) return false;
  const bool isRoot = node && node->isRoot();
  if (id == cmd::kTreeRename && (!node || isRoot)) return false;
  if (id == cmd::kTreeDelete && isRoot) return false;
  CommandState state;
  state.refreshAlways = refreshAlways;
  state.treeNode = treeNodeState(node);
  return commandEnabled(id, state);
}

cmd::CommandId treePopupDefaultItem(const CViewNode* node, bool refreshAlways) {
  CommandState state;
  state.refreshAlways = refreshAlways;
  state.treeNode = treeNodeState(node);
  return treePopupDefault(state);
}

CViewNode* ownedNode(const CViewManager& views, const CViewNode* node) {
  if (!node) return nullptr;
  if (node == views.root()) return views.root();
  for (CViewNode* n : views.nodes()) {
    if (n == node) return n;
  }
  return nullptr;
}

TreeOutcome moveFlow(CViewManager& views, CViewNode* node, CViewNode* target, const TreeDialogs& dialogs) {
  if (dropBeeps(node, target)) {
    beep(dialogs);
    return TreeOutcome::Beeped;
  }
  if (!ask(dialogs, moveQuestion(*node, *target))) return TreeOutcome::Declined;
  const int code = views.moveNode(node, target);
  if (code != kViewOk) {
    tell(dialogs, viewResultText(code));
    return TreeOutcome::Failed;
  }
  return TreeOutcome::Done;
}

TreeOutcome renameFlow(CViewManager& views, CViewNode* node, std::string_view newName, const TreeDialogs& dialogs) {
  if (!node || node->isRoot()) return TreeOutcome::Nothing;
  if (node->name() == newName) return TreeOutcome::Nothing;
  const std::string before = node->name();
  const int code = views.renameNode(node, newName);
  if (code != kViewOk) {
    tell(dialogs, viewResultText(code));
    return TreeOutcome::Failed;
  }
  return node->name() == before ? TreeOutcome::Nothing : TreeOutcome::Done;
}

TreeOutcome deleteFlow(CViewManager& views, CViewNode* node, const TreeDialogs& dialogs) {
  if (const int check = views.deleteCheck(node); check != kViewOk) {
    tell(dialogs, viewResultText(check));
    return TreeOutcome::Refused;
  }
  if (!ask(dialogs, deleteQuestion(*node))) return TreeOutcome::Declined;
  const int code = views.deleteNode(node);  // `node` is gone after a success
  if (code != kViewOk) {
    tell(dialogs, viewResultText(code));
    return TreeOutcome::Failed;
  }
  return TreeOutcome::Done;
}

}  // namespace app
