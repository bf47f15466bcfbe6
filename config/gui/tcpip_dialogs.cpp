#include "config/gui/tcpip_dialogs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace configgui {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

bool runChangePassword(QWidget* parent, const config::PasswordRules& rules, std::string& password) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Change Password"));
  auto* form = new QFormLayout(&d);
  auto* old = new QLineEdit(&d);
  auto* fresh = new QLineEdit(&d);
  auto* verify = new QLineEdit(&d);
  for (QLineEdit* e : {old, fresh, verify}) {
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(static_cast<int>(rules.maxLength));
  }
  if (rules.showOld) form->addRow(QStringLiteral("&Old Password:"), old);
  else old->hide();
  form->addRow(QStringLiteral("&New Password:"), fresh);
  form->addRow(QStringLiteral("&Verify Password:"), verify);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
    const config::PageCheck c =
        config::checkNewPassword(rules, fresh->text().toStdString(), verify->text().toStdString());
    if (!c.ok()) {
      QMessageBox::information(&d, d.windowTitle(), q(c.message));
      fresh->setFocus();
      fresh->selectAll();
      return;
    }
    d.accept();
  });
  if (d.exec() != QDialog::Accepted) return false;
  password = fresh->text().toStdString();
  return true;
}

bool runAdvancedTcpIp(QWidget* parent, config::CAdvancedTcpIpDlg& dialog) {
  config::AdvancedValues& v = dialog.values;
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("Advanced TCP/IP Configuration"));
  auto* layout = new QVBoxLayout(&d);

  auto* timeoutBox = new QGroupBox(QStringLiteral("TCP Connection Timeout"), &d);
  auto* tf = new QFormLayout(timeoutBox);
  auto* timeoutOff = new QRadioButton(QStringLiteral("&Timeout Disabled"), timeoutBox);
  auto* timeoutOn = new QRadioButton(QStringLiteral("&Reset After: "), timeoutBox);
  auto* seconds = new QLineEdit(QString::number(v.timeoutSeconds), timeoutBox);
  seconds->setObjectName(QStringLiteral("seconds"));
  tf->addRow(timeoutOff);
  tf->addRow(timeoutOn, seconds);
  (v.timeoutOn ? timeoutOn : timeoutOff)->setChecked(true);
  timeoutOff->setEnabled(dialog.timeoutRadiosEnabled());
  timeoutOn->setEnabled(dialog.timeoutRadiosEnabled());
  timeoutBox->setVisible(dialog.timeoutShown());
  layout->addWidget(timeoutBox);

  auto* arpBox = new QGroupBox(QStringLiteral("Unsolicited ARP"), &d);
  auto* af = new QFormLayout(arpBox);
  auto* arpOff = new QRadioButton(QStringLiteral("&Disabled (standard)"), arpBox);
  auto* arpOn = new QRadioButton(QStringLiteral("&Broadcast every:"), arpBox);
  auto* minutes = new QLineEdit(QString::number(v.arpMinutes), arpBox);
  minutes->setObjectName(QStringLiteral("minutes"));
  af->addRow(arpOff);
  af->addRow(arpOn, minutes);
  (v.arpOn ? arpOn : arpOff)->setChecked(true);
  arpBox->setVisible(dialog.arpShown());
  layout->addWidget(arpBox);

  auto* extra = new QFormLayout;
  auto* rawPort = new QLineEdit(QString::number(v.rawPort), &d);
  extra->addRow(QStringLiteral("First Raw Printing &Port:"), rawPort);
  rawPort->setVisible(dialog.rawPortShown());
  layout->addLayout(extra);

  auto* dnsBox = new QGroupBox(QStringLiteral("DNS"), &d);
  auto* df = new QFormLayout(dnsBox);
  auto* dnsOn = new QCheckBox(QStringLiteral("Enable DNS"), dnsBox);
  auto* primary = new QLineEdit(q(v.primaryDns), dnsBox);
  auto* secondary = new QLineEdit(q(v.secondaryDns), dnsBox);
  auto* domain = new QLineEdit(q(v.domain), dnsBox);
  domain->setMaxLength(static_cast<int>(config::kDomainLimit));
  df->addRow(dnsOn);
  df->addRow(QStringLiteral("Primary DNS Server:"), primary);
  df->addRow(QStringLiteral("Secondary DNS Server:"), secondary);
  df->addRow(QStringLiteral("Domain Name:"), domain);
  dnsOn->setChecked(v.dnsOn);
  dnsBox->setVisible(dialog.dnsShown());
  layout->addWidget(dnsBox);

  auto* slpOn = new QCheckBox(QStringLiteral("Enable SLP"), &d);
  auto* scope = new QLineEdit(q(v.slpScope), &d);
  scope->setMaxLength(static_cast<int>(config::kScopeLimit));
  auto* sf = new QFormLayout;
  sf->addRow(slpOn);
  sf->addRow(QStringLiteral("SLP Scope List:"), scope);
  slpOn->setChecked(v.slpOn);
  slpOn->setVisible(dialog.slpShown());
  scope->setVisible(dialog.slpShown());
  layout->addLayout(sf);

  auto enable = [&] {
    v.timeoutOn = timeoutOn->isChecked();
    v.arpOn = arpOn->isChecked();
    v.dnsOn = dnsOn->isChecked();
    v.slpOn = slpOn->isChecked();
    seconds->setEnabled(dialog.secondsEnabled());
    minutes->setEnabled(dialog.minutesEnabled());
    for (QLineEdit* e : {primary, secondary, domain}) e->setEnabled(dialog.dnsFieldsEnabled());
    scope->setEnabled(dialog.scopeEnabled());
  };
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{timeoutOn, timeoutOff, arpOn, arpOff, dnsOn, slpOn})
    QObject::connect(b, &QAbstractButton::toggled, &d, enable);
  enable();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &d);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
    enable();
    v.timeoutSeconds = seconds->text().toLong();
    v.arpMinutes = minutes->text().toLong();
    v.rawPort = rawPort->text().toLong();
    v.primaryDns = primary->text().toStdString();
    v.secondaryDns = secondary->text().toStdString();
    v.domain = domain->text().toStdString();
    v.slpScope = scope->text().toStdString();
    const config::PageCheck c = dialog.check();
    if (!c.ok()) {
      QMessageBox::information(&d, d.windowTitle(), q(c.message));
      if (c.field == "seconds") seconds->setFocus();
      if (c.field == "minutes") minutes->setFocus();
      return;
    }
    d.accept();
  });
  return d.exec() == QDialog::Accepted;
}

}  // namespace configgui
