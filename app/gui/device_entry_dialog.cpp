#include "app/gui/device_entry_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/gui/message_box_presenter.h"
#include "app/view_editor.h"
#include "platform/report_error.h"

DeviceEntryDialog::DeviceEntryDialog(const std::string& programDirectory, QWidget* owner)
    : QDialog(owner), programDirectory_(programDirectory) {
  setWindowTitle("Specify a Device");
  setObjectName("specifyDeviceDialog");
  auto* layout = new QVBoxLayout(this);
  options_ = new QButtonGroup(this);
  const auto& choices = app::deviceEntryOptions();
  for (std::size_t i = 0; i < choices.size(); ++i) {
    auto* b = new QRadioButton(QString::fromUtf8(choices[i].text), this);
    b->setObjectName(QString("deviceOption%1").arg(i));
    options_->addButton(b, static_cast<int>(i));
    layout->addWidget(b);
  }
  label_ = new QLabel(this);
  text_ = new QLineEdit(this);
  text_->setObjectName("deviceText");
  browse_ = new QPushButton("...", this);
  browse_->setObjectName("deviceBrowse");
  auto* row = new QHBoxLayout;
  row->addWidget(text_);
  row->addWidget(browse_);
  layout->addWidget(label_);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &DeviceEntryDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(options_, &QButtonGroup::idClicked, this, &DeviceEntryDialog::chooseOption);
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, "Select Address List File", text_->text(),
                                                      "Text Files (*.txt);;All Files (*)");
    if (!path.isEmpty()) text_->setText(path);
  });
  chooseOption(0);
}

void DeviceEntryDialog::chooseOption(int index) {
  const auto& choices = app::deviceEntryOptions();
  if (index < 0 || index >= static_cast<int>(choices.size())) return;
  options_->button(index)->setChecked(true);
  label_->setText(QString::fromUtf8(choices[static_cast<std::size_t>(index)].label));
  text_->setText(QString::fromStdString(app::deviceEntryDefault(choices[static_cast<std::size_t>(index)].kind,
                                                                 programDirectory_)));
  browse_->setVisible(choices[static_cast<std::size_t>(index)].kind == app::DeviceEntryKind::File);
}

void DeviceEntryDialog::accept() {
  const int index = options_->checkedId();
  const auto& choices = app::deviceEntryOptions();
  if (index < 0) return;
  const app::DeviceEntry e = app::buildDeviceEntry(choices[static_cast<std::size_t>(index)].kind, text_->text().toStdString());
  if (e.code != 0) {
    platform::ReportError(static_cast<std::uint32_t>(e.code), platform::kErrorProgram);
    text_->setFocus();
    return;
  }
  entry_ = e.entry;
  QDialog::accept();
}
