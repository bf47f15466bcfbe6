#include "config/gui/write_only_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "config/backup_texts.h"
#include "platform/string_table.h"

namespace configgui {

namespace {

QString text(std::uint32_t id) {
  const char* t = platform::loadString(id);
  return QString::fromUtf8(t ? t : "");
}

}  // namespace

CWriteOnlyInfoDlg::CWriteOnlyInfoDlg(config::WriteOnlyInfoModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(text(config::texts::kWriteOnlyTitle));
  setObjectName(QStringLiteral("CWriteOnlyInfoDlg"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(text(config::texts::kWriteOnlyText), this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  auto* form = new QFormLayout;
  for (int i = 0; i < config::WriteOnlyInfoModel::FieldCount; ++i) {
    const auto f = static_cast<config::WriteOnlyInfoModel::Field>(i);
    const auto& item = model_.item(f);
    auto* edit = new QLineEdit(this);
    edit->setMaxLength(static_cast<int>(item.maxLength));
    edit->setEnabled(item.enabled);
    edit->setText(QString::fromStdString(item.value));
    form->addRow(text(item.label), edit);
    fields_[i] = edit;
  }
  layout->addLayout(form);
  auto* warning = new QLabel(text(config::texts::kWriteOnlyWarning), this);
  warning->setWordWrap(true);
  layout->addWidget(warning);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CWriteOnlyInfoDlg::accept);
  setMinimumWidth(440);
}

void CWriteOnlyInfoDlg::accept() {
  for (int i = 0; i < config::WriteOnlyInfoModel::FieldCount; ++i)
    model_.set(static_cast<config::WriteOnlyInfoModel::Field>(i), fields_[i]->text().toStdString());
  QDialog::accept();
}

}  // namespace configgui
