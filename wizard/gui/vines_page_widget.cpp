#include "wizard/gui/vines_page_widget.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <initializer_list>

#include "vines/vines_page.h"
#include "wizard/gui/print_service_dialog.h"
#include "wizard/gui/streettalk_name_edit.h"

namespace wizardgui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QPushButton* button(QWidget* parent, const QString& text, const char* name) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  return b;
}

}  // namespace

std::function<void()> buildVinesPage(QWidget* page, wizard::CWzBanyanDlg& model, const PageHooks& hooks) {
  using wizard::CWzBanyanDlg;
  auto* v = qobject_cast<QVBoxLayout*>(page->layout());
  if (!v) v = new QVBoxLayout(page);
  auto* notice = new QLabel(page);
  notice->setObjectName("notice");
  notice->setWordWrap(true);
  auto* form = new QFormLayout;
  auto* user = new CStreetTalkNameEdit(page, static_cast<int>(vines::kStreetTalkNameLimit));
  user->setObjectName("userName");
  auto* password = new QLineEdit(page);
  auto* confirm = new QLineEdit(page);
  password->setObjectName("password");
  confirm->setObjectName("confirm");
  for (QLineEdit* e : {password, confirm}) {
    e->setMaxLength(static_cast<int>(vines::kVinesPasswordLimit));
    e->setEchoMode(QLineEdit::Password);
  }
  auto* confirmLabel = new QLabel(QObject::tr("&Confirm:"), page);
  confirmLabel->setBuddy(confirm);
  form->addRow(QObject::tr("&User Name:"), user);
  form->addRow(QObject::tr("&Password:"), password);
  form->addRow(confirmLabel, confirm);

  auto* services = new QTreeWidget(page);
  services->setObjectName("services");
  services->setColumnCount(2);
  services->setHeaderLabels({QObject::tr("VINES Print Service"), QObject::tr("Port #")});
  services->setColumnWidth(0, 260);
  services->setColumnWidth(1, 88);
  services->setRootIsDecorated(false);
  services->setSelectionBehavior(QAbstractItemView::SelectRows);
  services->setSelectionMode(QAbstractItemView::SingleSelection);
  auto* add = button(page, QObject::tr("&Add"), "add");
  auto* edit = button(page, QObject::tr("&Edit"), "edit");
  auto* remove = button(page, QObject::tr("&Remove"), "remove");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {add, edit, remove}) buttons->addWidget(b);
  v->addWidget(notice);
  v->addLayout(form);
  v->addWidget(services, 1);
  v->addLayout(buttons);

  auto show = [&model, notice, user, password, confirm, confirmLabel, services, add, edit, remove] {
    notice->setText(qs(model.notice()));
    if (user->text() != qs(model.userName())) user->setText(qs(model.userName()));
    const int selected = services->currentIndex().isValid() ? services->currentIndex().row() : -1;
    services->clear();
    for (int k : model.rows())
      new QTreeWidgetItem(services, {qs(model.slot(k).name), QStringLiteral("Port %1").arg(model.slot(k).port)});
    if (selected >= 0 && selected < services->topLevelItemCount())
      services->setCurrentItem(services->topLevelItem(selected));
    for (QWidget* c : std::initializer_list<QWidget*>{user, password, services}) c->setEnabled(model.editable());
    confirm->setEnabled(model.confirmEnabled());
    confirmLabel->setEnabled(model.confirmEnabled());
    if (!model.confirmEnabled()) {  // no password typed, or it was dropped
      password->clear();
      confirm->clear();
    }
    add->setEnabled(model.canAdd());
    edit->setEnabled(model.canEdit());
    remove->setEnabled(model.canRemove());
  };
  // Add (row kAddRow) or Edit: the dialog on a copy of the row; OK hands it to the page.
  auto runDialog = [page, &model, &hooks, show](int row) {
    wizard::CPrintServiceDlg dialog = model.serviceDialog(row);
    PrintServiceDialog window(dialog, page, hooks.inform);
    if (window.exec() == QDialog::Accepted) model.applyService(row, dialog);
    show();
  };
  auto selectedRow = [services] { return services->currentIndex().isValid() ? services->currentIndex().row() : -1; };

  QObject::connect(user, &QLineEdit::textEdited, page, [&model](const QString& s) { model.setUserName(s.toStdString()); });
  QObject::connect(password, &QLineEdit::textEdited, page, [&model, confirm, confirmLabel](const QString& s) {
    model.setPassword(s.toStdString());
    confirm->setEnabled(model.confirmEnabled());
    confirmLabel->setEnabled(model.confirmEnabled());
  });
  QObject::connect(confirm, &QLineEdit::textEdited, page, [&model](const QString& s) { model.setConfirm(s.toStdString()); });
  QObject::connect(add, &QPushButton::clicked, page, [runDialog] { runDialog(CWzBanyanDlg::kAddRow); });
  QObject::connect(edit, &QPushButton::clicked, page, [&model, runDialog, selectedRow] {
    const int row = model.editTarget(selectedRow());
    if (row != CWzBanyanDlg::kNoRow) runDialog(row);
  });
  QObject::connect(remove, &QPushButton::clicked, page, [&model, show, selectedRow] {
    model.removeService(selectedRow());
    show();
  });
  return show;
}

}  // namespace wizardgui
