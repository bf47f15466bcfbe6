#pragma once
// The tree pane: the folders and views of the view tree, rebuilt whenever the view set changes.
// With a view manager attached it also moves nodes by drag and drop, renames them in place,
// deletes them and offers the tree pop-up; the decisions live in app/view_tree_actions.
#include <QStandardItemModel>
#include <QTreeView>
#include <cstdint>
#include <functional>
#include <string>

class QMenu;

namespace app {
class CViewManager;
class CViewNode;
}  // namespace app

class ViewTreePane : public QTreeView {
  Q_OBJECT

 public:
  explicit ViewTreePane(QWidget* parent = nullptr);

  // Null: read-only (no pop-up, no drag and drop, no renaming).
  void setViewManager(app::CViewManager* views);
  // General\RefreshAlways: decides the pop-up's default item.
  void setRefreshAlways(bool on);
  // Yes/No question and message. Empty functions restore the message boxes.
  void setDialogs(std::function<bool(const std::string&)> askYesNo, std::function<void(const std::string&)> showMessage);
  // The sound of a refused drop (default QApplication::beep).
  void setBeep(std::function<void()> beep);

  // Rebuilds the items from `root` (may be null: empty) and selects `select` when given.
  void rebuild(const app::CViewNode* root, const app::CViewNode* select = nullptr);
  void selectNode(const app::CViewNode* node);
  const app::CViewNode* selectedNode() const;
  int itemCount() const;
  // The text the node's item shows (empty when it has none).
  QString itemText(const app::CViewNode* node) const;
  QModelIndex indexOf(const app::CViewNode* node) const;
  // The tool tip at a viewport point: the item's whole name when the pane cuts it, else empty.
  QString toolTipAt(const QPoint& viewportPoint) const;
  // An item's name is being edited in place.
  bool editing() const { return state() == QAbstractItemView::EditingState; }

  // A tree pop-up command on a node (null: the click hit no item). Delete and Rename are handled
  // here; the others are passed on as commandRequested when enabled for the node.
  void runCommand(std::uint32_t id, const app::CViewNode* node);
  // The pop-up for a node with its enabled and default items; the caller owns it.
  QMenu* buildPopup(const app::CViewNode* node);
  // Dropping `node` on `target`: beep, or ask and move. True when the node moved.
  bool dropNode(const app::CViewNode* node, const app::CViewNode* target);
  // The end of an in-place edit: true when the node now has the new name.
  bool renameNode(const app::CViewNode* node, const QString& newName);

 signals:
  // The user chose a node (mouse or keyboard) or double-clicked one.
  void nodeChosen(const app::CViewNode* node);
  void nodeDoubleClicked(const app::CViewNode* node);
  // A pop-up command the main window carries out (open, modify, new view or folder).
  void commandRequested(std::uint32_t id, const app::CViewNode* node);
  // Nodes were renamed, moved or deleted: views lists need rebuilding (select this node).
  void viewSetChanged(const app::CViewNode* select);

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void addChildren(QStandardItem* item, const app::CViewNode* node);
  QStandardItem* findItem(QStandardItem* item, const app::CViewNode* node) const;
  static const app::CViewNode* nodeOf(const QModelIndex& index);
  bool acceptsDrag(const QDropEvent* event) const;
  void setFolderIcon(const QModelIndex& index, bool expanded);
  void rebuildFromManager(const app::CViewNode* select);
  void renameSettled(const std::string& name);

  QStandardItemModel model_;
  bool rebuilding_ = false;
  app::CViewManager* views_ = nullptr;
  bool refreshAlways_ = false;
  const app::CViewNode* dragNode_ = nullptr;  // while a drag started here runs
  std::function<bool(const std::string&)> askYesNo_;
  std::function<void(const std::string&)> showMessage_;
  std::function<void()> beep_;
};
