#pragma once
// A tree of the view tree's nodes for the editor's dialogs ("View Location:", "Folder Location",
// "Select a View"): the root and its folders, and the views when asked, in the tree's order.
#include <QTreeWidget>

namespace app {
class CViewManager;
class CViewNode;
}

class NodeTreeWidget final : public QTreeWidget {
  Q_OBJECT

 public:
  explicit NodeTreeWidget(QWidget* parent = nullptr);
  // Refills the tree; `select` (may be null) becomes the current item.
  void fill(const app::CViewManager& views, bool withViews, const app::CViewNode* select);
  app::CViewNode* currentNode() const;
  void selectNode(const app::CViewNode* node);
};
