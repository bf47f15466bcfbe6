#include "app/gui/view_tree_pane.h"

#include <QHeaderView>
#include <functional>
#include <QStyle>

#include "app/view_node.h"

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;
}

ViewTreePane::ViewTreePane(QWidget* parent) : QTreeView(parent) {
  setObjectName("viewTree");
  setModel(&model_);
  setHeaderHidden(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (!rebuilding_ && current.isValid()) emit nodeChosen(nodeOf(current));
  });
  connect(this, &QTreeView::doubleClicked, this,
          [this](const QModelIndex& index) { emit nodeDoubleClicked(nodeOf(index)); });
}

const app::CViewNode* ViewTreePane::nodeOf(const QModelIndex& index) {
  return static_cast<const app::CViewNode*>(index.data(kNodeRole).value<const void*>());
}

void ViewTreePane::addChildren(QStandardItem* item, const app::CViewNode* node) {
  for (const app::CViewNode* child : node->sortedChildren()) {
    auto* childItem = new QStandardItem(QString::fromStdString(child->name()));
    childItem->setData(QVariant::fromValue(static_cast<const void*>(child)), kNodeRole);
    childItem->setIcon(style()->standardIcon(child->isView() ? QStyle::SP_FileDialogDetailedView : QStyle::SP_DirIcon));
    item->appendRow(childItem);
    addChildren(childItem, child);
  }
}

void ViewTreePane::rebuild(const app::CViewNode* root, const app::CViewNode* select) {
  rebuilding_ = true;
  model_.clear();
  if (root) {
    auto* rootItem = new QStandardItem(QString::fromStdString(root->name()));
    rootItem->setData(QVariant::fromValue(static_cast<const void*>(root)), kNodeRole);
    rootItem->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    model_.appendRow(rootItem);
    addChildren(rootItem, root);
  }
  expandAll();
  rebuilding_ = false;
  if (select) selectNode(select);
}

QStandardItem* ViewTreePane::findItem(QStandardItem* item, const app::CViewNode* node) const {
  if (!item) return nullptr;
  if (item->data(kNodeRole).value<const void*>() == node) return item;
  for (int i = 0; i < item->rowCount(); ++i) {
    if (QStandardItem* found = findItem(item->child(i), node)) return found;
  }
  return nullptr;
}

void ViewTreePane::selectNode(const app::CViewNode* node) {
  QStandardItem* item = findItem(model_.invisibleRootItem(), node);
  if (!item) return;
  rebuilding_ = true;  // selecting from code is not the user's choice
  setCurrentIndex(item->index());
  rebuilding_ = false;
}

const app::CViewNode* ViewTreePane::selectedNode() const { return nodeOf(currentIndex()); }

int ViewTreePane::itemCount() const {
  int count = 0;
  std::function<void(QStandardItem*)> walk = [&](QStandardItem* item) {
    for (int i = 0; i < item->rowCount(); ++i) {
      ++count;
      walk(item->child(i));
    }
  };
  walk(model_.invisibleRootItem());
  return count;
}
