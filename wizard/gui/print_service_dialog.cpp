#include "wizard/gui/print_service_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "wizard/gui/streettalk_name_edit.h"

namespace wizardgui {

PrintServiceDialog::PrintServiceDialog(wizard::CPrintServiceDlg& model, QWidget* parent,
                                       std::function<void(const std::string&)> inform)
    : QDialog(parent), model_(model), inform_(std::move(inform)) {
  setWindowTitle(QString::fromUtf8(wizard::CPrintServiceDlg::title()));
  setObjectName("printServiceDialog");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  name_ = new CStreetTalkNameEdit(this, wizard::CPrintServiceDlg::nameLimit());
  name_->setObjectName("serviceName");
  name_->setText(QString::fromStdString(model_.name()));
  name_->setMinimumWidth(300);
  port_ = new QComboBox(this);
  port_->setObjectName("port");
  for (const config::ListItem& item : model_.portItems()) port_->addItem(QString::fromStdString(item.text), item.data);
  port_->setCurrentIndex(model_.portIndex());
  form->addRow(tr("VINES Print &Service:"), name_);
  form->addRow(tr("Output &Port:"), port_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  layout->addWidget(buttons);
  ok_->setEnabled(model_.canAccept());
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (!model_.setName(text.toStdString())) name_->setText(QString::fromStdString(model_.name()));
    ok_->setEnabled(model_.canAccept());
  });
  connect(port_, &QComboBox::currentIndexChanged, this, [this](int index) { model_.selectPort(index); });
  connect(buttons, &QDialogButtonBox::accepted, this, &PrintServiceDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PrintServiceDialog::accept() {
  const config::PageCheck check = model_.accept();
  if (!check.ok()) {
    if (inform_)
      inform_(check.message);
    else
      QMessageBox::information(this, windowTitle(), QString::fromStdString(check.message));
    name_->selectAll();
    name_->setFocus();
    return;
  }
  QDialog::accept();
}

}  // namespace wizardgui
