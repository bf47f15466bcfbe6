#include "app/gui/view_tree_pane.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <iostream>
#include <memory>
#include <vector>

#include "app/command_table.h"
#include "app/gui/message_box_presenter.h"
#include "app/view_manager.h"
#include "app/view_node.h"
#include "app/view_tree_actions.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;
// Marks a drag that started in a tree pane; the node itself never travels in the data.
constexpr const char* kNodeMimeType = "application/x-trellan-view-node";

QString appTitle() {
  const char* name = platform::loadString(platform::ids::kAppName);
  return QString::fromUtf8(name ? name : "Trellan");
}

void informationBox(QWidget* parent, const std::string& text) {
  if (!gui::interactive()) {
    std::cerr << appTitle().toStdString() << ": " << text << "\n";
    return;
  }
  QMessageBox::information(parent, appTitle(), QString::fromStdString(text));
}

// The edit ends outside the editor's own event handling: the rename may show a message box,
// and a box opened while the editor still has the focus would commit it a second time.
class RenameDelegate final : public QStyledItemDelegate {
 public:
  explicit RenameDelegate(ViewTreePane* pane) : QStyledItemDelegate(pane), pane_(pane) {}

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) return;
    const auto* node = static_cast<const app::CViewNode*>(index.data(kNodeRole).value<const void*>());
    const QString text = line->text();
    QPointer<ViewTreePane> pane(pane_);
    QTimer::singleShot(0, pane_, [pane, node, text] {
      if (pane) pane->renameNode(node, text);
    });
  }

 private:
  ViewTreePane* pane_;
};

}  // namespace

ViewTreePane::ViewTreePane(QWidget* parent) : QTreeView(parent) {
  setObjectName("viewTree");
  setModel(&model_);
  setHeaderHidden(true);
  setItemDelegate(new RenameDelegate(this));
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  setDropIndicatorShown(true);
  setViewManager(nullptr);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (!rebuilding_ && current.isValid()) emit nodeChosen(nodeOf(current));
  });
  connect(this, &QTreeView::doubleClicked, this,
          [this](const QModelIndex& index) { emit nodeDoubleClicked(nodeOf(index)); });
  connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) { setFolderIcon(index, true); });
  connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) { setFolderIcon(index, false); });
}

void ViewTreePane::setViewManager(app::CViewManager* views) {
  views_ = views;
  setDragEnabled(views != nullptr);
  setAcceptDrops(views != nullptr);
  viewport()->setAcceptDrops(views != nullptr);
}

void ViewTreePane::setRefreshAlways(bool on) { refreshAlways_ = on; }

void ViewTreePane::setDialogs(std::function<bool(const std::string&)> askYesNo,
                              std::function<void(const std::string&)> showMessage) {
  askYesNo_ = std::move(askYesNo);
  showMessage_ = std::move(showMessage);
}

void ViewTreePane::setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

const app::CViewNode* ViewTreePane::nodeOf(const QModelIndex& index) {
  return static_cast<const app::CViewNode*>(index.data(kNodeRole).value<const void*>());
}

// --- items ---------------------------------------------------------------------------------

void ViewTreePane::setFolderIcon(const QModelIndex& index, bool expanded) {
  const app::CViewNode* node = nodeOf(index);
  if (!node || node->isView()) return;
  if (QStandardItem* item = model_.itemFromIndex(index)) {
    item->setIcon(style()->standardIcon(expanded ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
  }
}

void ViewTreePane::addChildren(QStandardItem* item, const app::CViewNode* node) {
  for (const app::CViewNode* child : node->sortedChildren()) {
    auto* childItem = new QStandardItem(QString::fromStdString(child->name()));
    childItem->setData(QVariant::fromValue(static_cast<const void*>(child)), kNodeRole);
    childItem->setIcon(style()->standardIcon(child->isView() ? QStyle::SP_FileIcon : QStyle::SP_DirClosedIcon));
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
    rootItem->setIcon(style()->standardIcon(QStyle::SP_DirClosedIcon));
    model_.appendRow(rootItem);
    addChildren(rootItem, root);
  }
  expandAll();
  // expandAll does not announce each item, so the open-folder images are set here.
  std::vector<QStandardItem*> pending{model_.invisibleRootItem()};
  for (std::size_t i = 0; i < pending.size(); ++i) {
    QStandardItem* item = pending[i];
    for (int r = 0; r < item->rowCount(); ++r) {
      QStandardItem* child = item->child(r);
      if (!child) continue;
      if (child->hasChildren()) setFolderIcon(child->index(), isExpanded(child->index()));
      pending.push_back(child);
    }
  }
  rebuilding_ = false;
  if (select) selectNode(select);
}

void ViewTreePane::rebuildFromManager(const app::CViewNode* select) {
  rebuild(views_ ? views_->root() : nullptr, select);
}

QStandardItem* ViewTreePane::findItem(QStandardItem* item, const app::CViewNode* node) const {
  if (!item) return nullptr;
  if (item->data(kNodeRole).value<const void*>() == node) return item;
  for (int i = 0; i < item->rowCount(); ++i) {
    if (QStandardItem* found = findItem(item->child(i), node)) return found;
  }
  return nullptr;
}

QModelIndex ViewTreePane::indexOf(const app::CViewNode* node) const {
  if (!node) return {};
  QStandardItem* item = findItem(model_.invisibleRootItem(), node);
  return item ? item->index() : QModelIndex();
}

QString ViewTreePane::itemText(const app::CViewNode* node) const {
  const QModelIndex index = indexOf(node);
  return index.isValid() ? index.data(Qt::DisplayRole).toString() : QString();
}

void ViewTreePane::selectNode(const app::CViewNode* node) {
  const QModelIndex index = indexOf(node);
  if (!index.isValid()) return;
  rebuilding_ = true;  // selecting from code is not the user's choice
  setCurrentIndex(index);
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

// --- commands ------------------------------------------------------------------------------

namespace {

app::TreeDialogs makeDialogs(ViewTreePane* pane, const std::function<bool(const std::string&)>& askYesNo,
                             const std::function<void(const std::string&)>& showMessage,
                             const std::function<void()>& beep) {
  app::TreeDialogs d;
  d.askYesNo = askYesNo ? askYesNo : [](const std::string& text) { return gui::askYesNo(text, false); };
  d.showMessage = showMessage ? showMessage : [pane](const std::string& text) { informationBox(pane, text); };
  d.beep = beep ? beep : [] { QApplication::beep(); };
  return d;
}

bool isTreePopupCommand(std::uint32_t id) {
  const app::CommandInfo* info = app::findCommand(id);
  return info && info->home == app::MenuKind::TreePopup;
}

}  // namespace

void ViewTreePane::runCommand(std::uint32_t id, const app::CViewNode* node) {
  if (!views_ || !isTreePopupCommand(id)) return;
  app::CViewNode* owned = app::ownedNode(*views_, node);
  if (node && !owned) return;  // the node went away meanwhile
  switch (id) {
    case app::cmd::kTreeDelete:
      if (app::deleteFlow(*views_, owned, makeDialogs(this, askYesNo_, showMessage_, beep_)) ==
          app::TreeOutcome::Done) {
        rebuildFromManager(views_->openNode());
        emit viewSetChanged(nullptr);
      }
      return;
    case app::cmd::kTreeRename:
      if (app::treePopupEnabled(id, owned, refreshAlways_, true)) {
        const QModelIndex index = indexOf(owned);
        if (index.isValid()) QTreeView::edit(index);
      }
      return;
    default:
      if (app::treePopupEnabled(id, owned, refreshAlways_, true)) emit commandRequested(id, owned);
      return;
  }
}

QMenu* ViewTreePane::buildPopup(const app::CViewNode* node) {
  auto* popup = new QMenu(this);
  popup->setObjectName("viewTreePopup");
  const std::uint32_t defaultId = views_ ? app::treePopupDefaultItem(node, refreshAlways_) : 0;
  // menus[d] receives the lines of depth d.
  std::vector<QMenu*> menus{popup};
  for (const app::MenuItem& line : app::menuLayout(app::MenuKind::TreePopup)) {
    const std::size_t depth = std::min<std::size_t>(line.depth, menus.size() - 1);
    menus.resize(depth + 1);
    QMenu* into = menus[depth];
    switch (line.kind) {
      case app::MenuItem::Separator:
        into->addSeparator();
        break;
      case app::MenuItem::Submenu:
        menus.push_back(into->addMenu(QString::fromUtf8(app::menuItemText(line))));
        break;
      case app::MenuItem::Command: {
        QAction* action = into->addAction(QString::fromUtf8(app::menuItemText(line)));
        action->setData(QVariant::fromValue(static_cast<quint32>(line.id)));
        action->setEnabled(app::treePopupEnabled(line.id, node, refreshAlways_, views_ != nullptr));
        if (line.id == defaultId && into == popup) {
          QFont bold = action->font();
          bold.setBold(true);
          action->setFont(bold);
          popup->setDefaultAction(action);
        }
        break;
      }
    }
  }
  return popup;
}

void ViewTreePane::contextMenuEvent(QContextMenuEvent* event) {
  if (!views_) {
    event->ignore();
    return;
  }
  // From the keyboard the menu is for the current item; from the mouse for the item under it.
  const app::CViewNode* node = event->reason() == QContextMenuEvent::Keyboard
                                   ? nodeOf(currentIndex())
                                   : nodeOf(indexAt(event->pos()));
  std::unique_ptr<QMenu> popup(buildPopup(node));
  QAction* chosen = popup->exec(event->globalPos());
  const std::uint32_t id = chosen ? chosen->data().value<quint32>() : 0;
  popup.reset();
  if (id != 0) runCommand(id, node);
  event->accept();
}

// --- renaming ------------------------------------------------------------------------------

QString ViewTreePane::toolTipAt(const QPoint& viewportPoint) const {
  const QModelIndex index = indexAt(viewportPoint);
  if (!index.isValid()) return {};
  const QString name = index.data(Qt::DisplayRole).toString();
  // The text's room: the item's rectangle less its icon and margins, and never past the pane.
  QRect room = visualRect(index).intersected(viewport()->rect());
  const int iconRoom = iconSize().width() > 0 ? iconSize().width() + 8 : 24;
  const int textWidth = QFontMetrics(font()).horizontalAdvance(name);
  return textWidth + iconRoom > room.width() ? name : QString();
}

bool ViewTreePane::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = toolTipAt(help->pos());
    if (tip.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, viewport());
    }
    return true;
  }
  return QTreeView::viewportEvent(event);
}

bool ViewTreePane::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const app::CViewNode* node = nodeOf(index);
  if (!views_ || !node || node->isRoot()) return false;
  return QTreeView::edit(index, trigger, event);
}

bool ViewTreePane::renameNode(const app::CViewNode* node, const QString& newName) {
  if (!views_) return false;
  app::CViewNode* owned = app::ownedNode(*views_, node);
  if (!owned) return false;
  const app::TreeOutcome outcome =
      app::renameFlow(*views_, owned, newName.toStdString(), makeDialogs(this, askYesNo_, showMessage_, beep_));
  // The item shows the node's real name: unchanged after a failure or a change of case alone.
  if (QStandardItem* item = findItem(model_.invisibleRootItem(), owned)) {
    item->setText(QString::fromStdString(owned->name()));
  }
  if (outcome != app::TreeOutcome::Done) return false;
  rebuildFromManager(owned);  // the new name may sort elsewhere
  emit viewSetChanged(owned);
  return true;
}

// --- drag and drop -------------------------------------------------------------------------

void ViewTreePane::startDrag(Qt::DropActions) {
  const app::CViewNode* node = nodeOf(currentIndex());
  if (!views_ || !node || node->isRoot()) return;
  dragNode_ = node;
  auto* data = new QMimeData;
  data->setData(kNodeMimeType, QByteArray());
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  // Nothing is removed here after the drop: the view manager moved the node, if anyone did.
  drag->exec(Qt::MoveAction);
  dragNode_ = nullptr;
}

bool ViewTreePane::acceptsDrag(const QDropEvent* event) const {
  return views_ && dragNode_ && event->source() == this && event->mimeData() &&
         event->mimeData()->hasFormat(kNodeMimeType);
}

void ViewTreePane::dragEnterEvent(QDragEnterEvent* event) {
  if (!acceptsDrag(event)) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void ViewTreePane::dragMoveEvent(QDragMoveEvent* event) {
  if (!acceptsDrag(event) || !indexAt(event->position().toPoint()).isValid()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void ViewTreePane::dropEvent(QDropEvent* event) {
  const app::CViewNode* target = nodeOf(indexAt(event->position().toPoint()));
  if (!acceptsDrag(event) || !target) {
    event->ignore();
    return;
  }
  const app::CViewNode* node = dragNode_;
  event->setDropAction(Qt::MoveAction);
  event->accept();
  // The question waits until the drag has ended.
  QPointer<ViewTreePane> self(this);
  QTimer::singleShot(0, this, [self, node, target] {
    if (self) self->dropNode(node, target);
  });
}

bool ViewTreePane::dropNode(const app::CViewNode* node, const app::CViewNode* target) {
  if (!views_) return false;
  const app::TreeDialogs dialogs = makeDialogs(this, askYesNo_, showMessage_, beep_);
  // Pointers that are no longer the manager's count as no node: beep like any bad target.
  app::CViewNode* ownNode = app::ownedNode(*views_, node);
  app::CViewNode* ownTarget = app::ownedNode(*views_, target);
  if (app::moveFlow(*views_, ownNode, ownTarget, dialogs) != app::TreeOutcome::Done) return false;
  rebuildFromManager(ownNode);
  emit viewSetChanged(ownNode);
  return true;
}
