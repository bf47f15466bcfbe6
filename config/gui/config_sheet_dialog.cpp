#include "config/gui/config_sheet_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/change_password.h"
#include "config/gui/tcpip_dialogs.h"
#include "config/gui/port_pages_tabs.h"
#include "config/gui/port_traps_tab.h"
#include "config/gui/traps_tab.h"
#include "config/gui/wireless_tab.h"

namespace configgui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

bool interactive() { return QGuiApplication::platformName() != QLatin1String("offscreen"); }

}  // namespace

CConfigSheetDialog::CConfigSheetDialog(config::CConfigPropSheet& sheet, const QString& title, QWidget* parent)
    : QDialog(parent), sheet_(sheet) {
  setWindowTitle(title);
  setObjectName(QStringLiteral("CConfigPropSheet"));
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  layout->addWidget(tabs_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CConfigSheetDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  for (config::CDevicePage* page : sheet_.pages()) {
    auto* holder = new QWidget(tabs_);
    new QVBoxLayout(holder);
    tabs_->addTab(holder, QString::fromUtf8(page->title()));
  }
  confirm_ = [this](const std::string& text) {
    if (!interactive()) return false;
    return QMessageBox::question(this, windowTitle(), q(text), QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
  };
  inform_ = [this](const std::string& text) {
    if (interactive()) QMessageBox::information(this, windowTitle(), q(text));
  };
  connect(tabs_, &QTabWidget::currentChanged, this, &CConfigSheetDialog::onTabChanged);
  if (tabs_->count() > 0) onTabChanged(0);
}

config::CDevicePage* CConfigSheetDialog::currentPage() const {
  const int i = tabs_->currentIndex();
  if (i < 0 || i >= static_cast<int>(sheet_.pages().size())) return nullptr;
  return sheet_.pages()[static_cast<std::size_t>(i)];
}

QWidget* CConfigSheetDialog::field(const config::CDevicePage* page, const std::string& name) const {
  auto p = fields_.find(page);
  if (p == fields_.end()) return nullptr;
  auto f = p->second.find(name);
  return f == p->second.end() ? nullptr : f->second;
}

void CConfigSheetDialog::refuse(config::CDevicePage& page, const config::PageCheck& check) {
  inform_(check.message);
  if (QWidget* w = field(&page, check.field)) {
    w->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
  }
}

void CConfigSheetDialog::onTabChanged(int index) {
  if (switching_) return;
  // Leaving a page runs its check; a refusal keeps the page in front.
  if (currentIndex_ >= 0 && currentIndex_ != index && currentIndex_ < static_cast<int>(sheet_.pages().size())) {
    config::CDevicePage* leaving = sheet_.pages()[static_cast<std::size_t>(currentIndex_)];
    const config::PageCheck check = leaving->check();
    if (!check.ok()) {
      switching_ = true;
      tabs_->setCurrentIndex(currentIndex_);
      switching_ = false;
      refuse(*leaving, check);
      return;
    }
  }
  currentIndex_ = index;
  buildPage(index);
}

void CConfigSheetDialog::accept() {
  const config::OkOutcome outcome = sheet_.ok(currentPage(), confirm_,
                                              [this](config::CDevicePage& p, const config::PageCheck& c) { refuse(p, c); });
  if (outcome == config::OkOutcome::Saved) QDialog::accept();
}

void CConfigSheetDialog::buildPage(int index) {
  if (index < 0 || index >= static_cast<int>(sheet_.pages().size())) return;
  config::CDevicePage* page = sheet_.pages()[static_cast<std::size_t>(index)];
  if (fields_.count(page)) return;
  page->open();
  QWidget* holder = tabs_->widget(index);
  auto* form = new QFormLayout;
  static_cast<QVBoxLayout*>(holder->layout())->addLayout(form);
  auto& fields = fields_[page];
  auto text = [&](const char* name, const char* label, std::string& value, bool shown = true,
                  std::function<void(const std::string&)> onEdit = {}, bool password = false) {
    auto* edit = new QLineEdit(q(value), holder);
    edit->setObjectName(QString::fromLatin1(name));
    if (password) edit->setEchoMode(QLineEdit::Password);
    connect(edit, &QLineEdit::textEdited, this, [&value, onEdit](const QString& t) {
      if (onEdit)
        onEdit(t.toStdString());
      else
        value = t.toStdString();
    });
    if (shown) form->addRow(QString::fromUtf8(label), edit);
    else edit->hide();
    fields[name] = edit;
    return edit;
  };
  auto check = [&](const char* name, const char* label, bool& value, bool shown = true) {
    auto* box = new QCheckBox(QString::fromUtf8(label), holder);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(value);
    connect(box, &QCheckBox::toggled, this, [&value](bool on) { value = on; });
    if (shown) form->addRow(box);
    else box->hide();
    fields[name] = box;
    return box;
  };

  if (page == &sheet_.tcpIpPage()) {
    config::CTcpIpPage& p = sheet_.tcpIpPage();
    const config::TcpIpShown& s = p.shown();
    check("network", "Use &Network Protocol", p.network, s.permanentChoice);
    text("address", "IP Address:", p.address);
    check("rarp", "&RARP", p.rarp, s.methods);
    check("bootp", "&BOOTP", p.bootp, s.methods);
    check("dhcp", "&DHCP", p.dhcp, s.methods);
    check("gleaning", "Glea&ning", p.gleaning, s.gleaningAndTimeout);
    check("allowTimeout", "&Allow Timeout", p.allowTimeout, s.gleaningAndTimeout);
    text("mask", "Subnet &Mask:", p.mask);
    text("gateway", "Default &Gateway:", p.gateway);
    text("wins", "&WINS Server:", p.wins, s.wins);
    check("useDhcpForWins", "&Use DHCP To Locate WINS Server", p.useDhcpForWins, s.useDhcpForWins);
    auto enable = [this, &p] {
      const config::TcpIpEnabled e = p.enabled();
      auto& f = fields_[&p];
      f["address"]->setEnabled(e.address);
      for (const char* m : {"rarp", "bootp", "dhcp", "gleaning", "allowTimeout"}) f[m]->setEnabled(e.methods);
      f["useDhcpForWins"]->setEnabled(e.useDhcpForWins);
      f["wins"]->setEnabled(e.wins);
    };
    auto* passwordButton = new QPushButton(QStringLiteral("&Telnet/Http Password"), holder);
    passwordButton->setVisible(s.passwordButton);
    connect(passwordButton, &QPushButton::clicked, this, [this, &p] {
      std::string password;
      if (runChangePassword(this, config::kTcpIpPasswordRules, password)) p.setNewPassword(password);
    });
    auto* advancedButton = new QPushButton(QStringLiteral("Ad&vanced TCP/IP"), holder);
    connect(advancedButton, &QPushButton::clicked, this, [this, &p] {
      config::CAdvancedTcpIpDlg dialog = p.advancedDialog();
      if (runAdvancedTcpIp(this, dialog)) p.takeAdvanced(dialog);
    });
    form->addRow(passwordButton, advancedButton);
    for (const char* name : {"network", "dhcp", "useDhcpForWins"})
      connect(static_cast<QCheckBox*>(fields[name]), &QCheckBox::toggled, this, enable);
    enable();
  } else if (page == &sheet_.snmpPage()) {
    config::CSnmpPage& p = sheet_.snmpPage();
    text("sysName", "System &Name:", p.sysName)->setMaxLength(config::kSystemTextLimit);
    text("contact", "System &Contact:", p.contact)->setMaxLength(config::kSystemTextLimit);
    text("location", "System &Location:", p.location)->setMaxLength(config::kSystemTextLimit);
    auto* get = text("getCommunity", "&Get:", p.getCommunity, true,
                     [&p](const std::string& t) { p.editGetCommunity(t); }, true);
    auto* getVerify = text("getVerify", "&Verify:", p.getVerify, true, {}, true);
    auto* set = text("setCommunity", "&Set:", p.setCommunity, true,
                     [&p](const std::string& t) { p.editSetCommunity(t); }, true);
    auto* setVerify = text("setVerify", "V&erify:", p.setVerify, true, {}, true);
    text("trapCommunity", "&Trap:", p.trapCommunity)->setMaxLength(config::kCommunityLimit);
    get->setMaxLength(config::kCommunityLimit);
    set->setMaxLength(config::kCommunityLimit);
    getVerify->setEnabled(p.getVerifyEnabled());
    setVerify->setEnabled(p.setVerifyEnabled());
    connect(get, &QLineEdit::textEdited, getVerify, [getVerify] { getVerify->setEnabled(true); });
    connect(set, &QLineEdit::textEdited, setVerify, [setVerify] { setVerify->setEnabled(true); });
  } else if (page == &sheet_.protocolsPage()) {
    config::CProtocolsPage& p = sheet_.protocolsPage();
    auto* list = new QListWidget(holder);
    list->setObjectName(QStringLiteral("protocols"));
    for (const config::ProtocolItem& item : p.items) {
      auto* row = new QListWidgetItem(q(item.name), list);
      row->setData(Qt::UserRole, item.data);
      row->setFlags(item.enabled ? (Qt::ItemIsEnabled | Qt::ItemIsUserCheckable) : Qt::ItemIsUserCheckable);
      row->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
    }
    connect(list, &QListWidget::itemChanged, this, [&p](QListWidgetItem* row) {
      p.setChecked(row->data(Qt::UserRole).toInt(), row->checkState() == Qt::Checked);
    });
    form->addRow(QStringLiteral("&Protocols Enabled"), list);
    fields["protocols"] = list;
  } else if (auto* traps = dynamic_cast<config::CSnmpTrapsPage*>(page)) {
    buildTrapsTab(holder, form, *traps, inform_);
  } else if (auto* portTraps = dynamic_cast<config::CPortTrapsPage*>(page)) {
    buildPortTrapsTab(holder, form, *portTraps, inform_);
  } else if (buildPortPageTab(holder, form, *page, fields, inform_)) {
  } else if (auto* wireless = dynamic_cast<config::CWirelessPage*>(page)) {
    buildWirelessTab(holder, form, *wireless, inform_);
  } else {
    form->addRow(new QLabel(QStringLiteral("This page has no view in this build."), holder));
  }
}

}  // namespace configgui
