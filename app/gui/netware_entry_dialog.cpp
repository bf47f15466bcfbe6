#include "app/gui/netware_entry_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/gui/message_box_presenter.h"
#include "app/netware_device_entry.h"

NetWareEntryDialog::NetWareEntryDialog(QWidget* owner) : QDialog(owner) {
  setWindowTitle(app::kNetWareEntryTitle);
  setObjectName("netwareEntryDialog");
  auto* layout = new QVBoxLayout(this);
  options_ = new QButtonGroup(this);
  const auto& choices = app::netWareEntryOptions();
  for (std::size_t i = 0; i < choices.size(); ++i) {
    auto* b = new QRadioButton(QString::fromUtf8(choices[i].text), this);
    b->setObjectName(QString("netwareOption%1").arg(i));
    options_->addButton(b, static_cast<int>(i));
    layout->addWidget(b);
  }
  label_ = new QLabel(this);
  text_ = new QLineEdit(this);
  text_->setObjectName("netwareText");
  layout->addWidget(label_);
  layout->addWidget(text_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &NetWareEntryDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(options_, &QButtonGroup::idClicked, this, &NetWareEntryDialog::chooseOption);
  chooseOption(0);
}

void NetWareEntryDialog::chooseOption(int index) {
  const auto& choices = app::netWareEntryOptions();
  if (index < 0 || index >= static_cast<int>(choices.size())) return;
  options_->button(index)->setChecked(true);
  label_->setText(QString::fromUtf8(choices[static_cast<std::size_t>(index)].label));
}

void NetWareEntryDialog::accept() {
  const int index = options_->checkedId();
  const auto& choices = app::netWareEntryOptions();
  if (index < 0) return;
  const app::NetWareEntries e =
      app::buildNetWareEntries(choices[static_cast<std::size_t>(index)].kind, text_->text().toStdString());
  if (!e.error.empty()) {
    refusal_ = e.error;
    if (gui::interactive()) gui::showWarning(e.error);
    text_->setFocus();
    return;
  }
  entries_ = e.entries;
  QDialog::accept();
}
