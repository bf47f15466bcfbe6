#include "config/gui/reset_server_dialog.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "config/backup_texts.h"
#include "platform/string_table.h"

namespace configgui {

namespace {

QString text(std::uint32_t id) {
  const char* t = platform::loadString(id);
  return QString::fromUtf8(t ? t : "");
}

}  // namespace

CResetServerDlg::CResetServerDlg(config::CResetServer& reset, QWidget* parent) : QDialog(parent), model_(reset) {
  setWindowTitle(text(config::texts::kResetTitle));
  setObjectName(QStringLiteral("CResetServerDlg"));
  auto* layout = new QHBoxLayout(this);
  auto* group = new QGroupBox(text(config::texts::kRestoreGroupTitle), this);
  auto* groupLayout = new QVBoxLayout(group);
  list_ = new QListWidget(group);
  list_->setSelectionMode(QAbstractItemView::MultiSelection);
  for (std::size_t i = 0; i < model_.entries().size(); ++i) {
    auto* item = new QListWidgetItem(QString::fromStdString(model_.entries()[i]), list_);
    item->setData(Qt::UserRole, static_cast<int>(i));
  }
  groupLayout->addWidget(list_);
  restore_ = new QPushButton(tr("Re&store"), group);
  groupLayout->addWidget(restore_, 0, Qt::AlignRight);
  layout->addWidget(group, 1);
  auto* buttons = new QVBoxLayout;
  reset_ = new QPushButton(tr("&Reset"), this);
  auto* cancel = new QPushButton(tr("&Cancel"), this);
  auto* help = new QPushButton(tr("&Help"), this);
  buttons->addWidget(reset_);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(reset_, &QPushButton::clicked, this, &CResetServerDlg::onReset);
  connect(restore_, &QPushButton::clicked, this, &CResetServerDlg::onRestore);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  confirm = [this](std::uint32_t question) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return false;
    return QMessageBox::question(this, windowTitle(), text(question), QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
  };
}

void CResetServerDlg::onReset() {
  if (model_.reset(confirm) == config::ResetOutcome::Done) accept();
}

void CResetServerDlg::onRestore() {
  std::vector<int> selected;
  for (QListWidgetItem* item : list_->selectedItems()) selected.push_back(item->data(Qt::UserRole).toInt());
  // The dialog is disabled while the restore runs, after the question.
  const config::ResetOutcome outcome = model_.restore(selected, [this](std::uint32_t question) {
    const bool ok = !confirm || confirm(question);
    if (ok) setEnabled(false);
    return ok;
  });
  setEnabled(true);
  if (outcome == config::ResetOutcome::Done) accept();
}

}  // namespace configgui
