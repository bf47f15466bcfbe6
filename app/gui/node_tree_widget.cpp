#include "app/gui/node_tree_widget.h"

#include <functional>
#include <QTreeWidgetItemIterator>

#include "app/view_manager.h"
#include "app/view_node.h"

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;
}

NodeTreeWidget::NodeTreeWidget(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void NodeTreeWidget::fill(const app::CViewManager& views, bool withViews, const app::CViewNode* select) {
  clear();
  std::function<void(QTreeWidgetItem*, app::CViewNode*)> add = [&](QTreeWidgetItem* into, app::CViewNode* node) {
    for (app::CViewNode* child : node->sortedChildren()) {
      if (child->isView() && !withViews) continue;
      auto* item = new QTreeWidgetItem(into, {QString::fromStdString(child->name())});
      item->setData(0, kNodeRole, QVariant::fromValue(static_cast<void*>(child)));
      if (child->isGroup()) add(item, child);
    }
  };
  auto* root = new QTreeWidgetItem(this, {QString::fromStdString(views.root()->name())});
  root->setData(0, kNodeRole, QVariant::fromValue(static_cast<void*>(views.root())));
  add(root, views.root());
  expandAll();
  selectNode(select ? select : views.root());
}

app::CViewNode* NodeTreeWidget::currentNode() const {
  const QTreeWidgetItem* item = currentItem();
  return item ? static_cast<app::CViewNode*>(item->data(0, kNodeRole).value<void*>()) : nullptr;
}

void NodeTreeWidget::selectNode(const app::CViewNode* node) {
  QTreeWidgetItemIterator it(this);
  for (; *it; ++it)
    if ((*it)->data(0, kNodeRole).value<void*>() == static_cast<const void*>(node)) {
      setCurrentItem(*it);
      return;
    }
}
