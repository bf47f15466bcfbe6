#include "app/gui/create_folder_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/gui/message_box_presenter.h"
#include "app/gui/node_tree_widget.h"
#include "app/view_editor.h"
#include "app/view_manager.h"

CreateFolderDialog::CreateFolderDialog(app::CViewManager& views, app::CViewNode* parent, QWidget* owner)
    : QDialog(owner), views_(views) {
  setWindowTitle("Create a New Folder");
  setObjectName("createFolderDialog");
  auto* form = new QFormLayout;
  name_ = new QLineEdit(this);
  name_->setObjectName("folderName");
  icon_ = new QComboBox(this);
  icon_->setObjectName("folderIcon");
  for (int i : app::folderIconChoices()) icon_->addItem(QString("Folder image %1").arg(i), i);
  form->addRow("Folder &Name:", name_);
  form->addRow("Folder &Icon:", icon_);
  tree_ = new NodeTreeWidget(this);
  tree_->setObjectName("folderLocation");
  tree_->fill(views, false, parent);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CreateFolderDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  auto* location = new QLabel("Folder &Location (select parent):", this);
  location->setBuddy(tree_);
  layout->addWidget(location);
  layout->addWidget(tree_);
  layout->addWidget(buttons);
}

void CreateFolderDialog::accept() {
  const app::NodeResult r =
      views_.createFolder(tree_->currentNode(), name_->text().toStdString(), icon_->currentData().toInt());
  if (r.code != app::kViewOk) {
    gui::showWarning(app::viewResultText(r.code));
    name_->setFocus();
    return;
  }
  created_ = r.node;
  QDialog::accept();
}
