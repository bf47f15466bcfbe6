#pragma once
// The tree pane: the folders and views of the view tree, rebuilt whenever the view set changes.
#include <QStandardItemModel>
#include <QTreeView>

namespace app {
class CViewNode;
}

class ViewTreePane : public QTreeView {
  Q_OBJECT

 public:
  explicit ViewTreePane(QWidget* parent = nullptr);

  // Rebuilds the items from `root` (may be null: empty) and selects `select` when given.
  void rebuild(const app::CViewNode* root, const app::CViewNode* select = nullptr);
  void selectNode(const app::CViewNode* node);
  const app::CViewNode* selectedNode() const;
  int itemCount() const;

 signals:
  // The user chose a node (mouse or keyboard) or double-clicked one.
  void nodeChosen(const app::CViewNode* node);
  void nodeDoubleClicked(const app::CViewNode* node);

 private:
  void addChildren(QStandardItem* item, const app::CViewNode* node);
  QStandardItem* findItem(QStandardItem* item, const app::CViewNode* node) const;
  static const app::CViewNode* nodeOf(const QModelIndex& index);

  QStandardItemModel model_;
  bool rebuilding_ = false;
};
