#include "app/gui/select_view_dialog.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/message_box_presenter.h"
#include "app/gui/node_tree_widget.h"
#include "app/view_editor.h"
#include "app/view_manager.h"
#include "app/view_tree_actions.h"

SelectViewDialog::SelectViewDialog(app::CViewManager& views, QWidget* owner) : QDialog(owner), views_(views) {
  setWindowTitle("Select a View");
  setObjectName("selectViewDialog");
  tree_ = new NodeTreeWidget(this);
  tree_->setObjectName("selectViewTree");
  note_ = new QLabel(this);
  note_->setObjectName("selectViewNote");
  note_->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(this);
  auto* done = buttons->addButton("&Done", QDialogButtonBox::AcceptRole);
  auto* add = buttons->addButton("&New...", QDialogButtonBox::ActionRole);
  delete_ = buttons->addButton("&Delete", QDialogButtonBox::ActionRole);
  rename_ = buttons->addButton("&Rename", QDialogButtonBox::ActionRole);
  QPushButton* helpButton = buttons->addButton(QDialogButtonBox::Help);
  helpButton->setObjectName("selectViewHelp");
  delete_->setObjectName("selectViewDelete");
  rename_->setObjectName("selectViewRename");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_);
  layout->addWidget(note_);
  layout->addWidget(buttons);
  askYesNo = [](const std::string& t) { return gui::askYesNo(t, false); };
  askName = [this](const std::string& prompt, const std::string& name) -> std::optional<std::string> {
    bool ok = false;
    const QString v = QInputDialog::getText(this, "New Name", QString::fromStdString(prompt), QLineEdit::Normal,
                                            QString::fromStdString(name), &ok);
    if (!ok) return std::nullopt;
    return v.trimmed().toStdString();
  };
  connect(done, &QPushButton::clicked, this, &QDialog::accept);
  connect(add, &QPushButton::clicked, this, [this] {
    app::CViewNode* n = tree_->currentNode();
    if (newView) newView(n && n->isGroup() ? n : nullptr);
    refill(tree_->currentNode());
  });
  connect(helpButton, &QPushButton::clicked, this, [this] {
    if (help) help();
  });
  connect(delete_, &QPushButton::clicked, this, &SelectViewDialog::deleteSelected);
  connect(rename_, &QPushButton::clicked, this, [this] {
    const app::CViewNode* n = tree_->currentNode();
    if (!n) return;
    if (auto name = askName(app::renamePrompt(*n), n->name())) renameSelected(*name);
  });
  connect(tree_, &QTreeWidget::currentItemChanged, this, &SelectViewDialog::update);
  refill(views_.openNode());
}

void SelectViewDialog::refill(const app::CViewNode* select) {
  tree_->fill(views_, true, select);
  update();
}

void SelectViewDialog::selectNode(const app::CViewNode* node) { tree_->selectNode(node); }

void SelectViewDialog::update() {
  const app::SelectViewState s = app::selectViewState(views_, tree_->currentNode());
  note_->setText(QString::fromStdString(s.note));
  delete_->setEnabled(s.deleteEnabled);
  rename_->setEnabled(s.renameEnabled);
}

QString SelectViewDialog::note() const { return note_->text(); }
bool SelectViewDialog::deleteEnabled() const { return delete_->isEnabled(); }
bool SelectViewDialog::renameEnabled() const { return rename_->isEnabled(); }

static app::TreeDialogs dialogsOf(SelectViewDialog& d) {
  app::TreeDialogs t;
  t.askYesNo = d.askYesNo;
  t.showMessage = [](const std::string& m) { gui::showWarning(m); };
  return t;
}

void SelectViewDialog::deleteSelected() {
  app::CViewNode* node = tree_->currentNode();
  app::CViewNode* parent = node ? node->parent() : nullptr;
  if (app::deleteFlow(views_, node, dialogsOf(*this)) != app::TreeOutcome::Done) return;
  if (treeChanged) treeChanged();
  refill(parent);
}

void SelectViewDialog::renameSelected(const std::string& newName) {
  app::CViewNode* node = tree_->currentNode();
  if (app::renameFlow(views_, node, newName, dialogsOf(*this)) != app::TreeOutcome::Done) return;
  if (treeChanged) treeChanged();
  refill(node);
}
