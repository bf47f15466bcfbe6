#include "config/gui/wireless_tab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "devices/certificate_upload.h"

namespace configgui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

bool interactive() { return QGuiApplication::platformName() != QLatin1String("offscreen"); }

// A combo box over a model list: shows its items, selects `field`, writes every choice back.
// A value the list does not hold leaves the box empty and the field as it was.
QComboBox* listBox(QWidget* parent, const char* name, const std::vector<config::ListItem>& items, std::int32_t& field) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  for (const auto& i : items) box->addItem(q(i.text), i.data);
  box->setCurrentIndex(config::findItem(items, field));
  QObject::connect(box, &QComboBox::activated, box, [box, &field](int index) {
    if (index >= 0) field = box->itemData(index).toInt();
  });
  return box;
}

QLineEdit* textEdit(QWidget* parent, const char* name, std::string& field, int limit, bool secret = false) {
  auto* edit = new QLineEdit(q(field), parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setMaxLength(limit);
  if (secret) edit->setEchoMode(QLineEdit::Password);
  QObject::connect(edit, &QLineEdit::textEdited, edit, [&field](const QString& t) { field = t.toStdString(); });
  return edit;
}

}  // namespace

std::optional<std::string> askDevicePassword(QWidget* parent) {
  QDialog d(parent);
  d.setWindowTitle(QString::fromUtf8(config::kTextDevicePasswordTitle));
  auto* layout = new QFormLayout(&d);
  layout->addRow(new QLabel(QString::fromUtf8(config::kTextDevicePasswordNote), &d));
  auto* edit = new QLineEdit(&d);
  edit->setObjectName(QStringLiteral("devicePassword"));
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(static_cast<int>(devices::kDevicePasswordLimit));
  layout->addRow(QString::fromUtf8(config::kTextDevicePasswordLabel), edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  layout->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return edit->text().toStdString();
}

CWirelessSecurityDialog::CWirelessSecurityDialog(config::CWirelessPage& page,
                                                 std::function<void(const std::string&)> inform, QWidget* parent)
    : QDialog(parent), page_(page), model_(page.securityDialog()), inform_(std::move(inform)) {
  setWindowTitle(QStringLiteral("Wireless Security"));
  setObjectName(QStringLiteral("CWirelessSecurityDlg"));
  upload_ = config::ftpCertificateUploader();
  ask_ = [this] { return askDevicePassword(this); };
  auto* layout = new QVBoxLayout(this);
  auto* top = new QFormLayout;
  layout->addLayout(top);
  encryption_ = new QComboBox(this);
  encryption_->setObjectName(QStringLiteral("encryption"));
  for (const auto& i : model_.encryptionModes) encryption_->addItem(q(i.text), i.data);
  encryption_->setCurrentIndex(config::findItem(model_.encryptionModes, model_.encryption()));
  connect(encryption_, &QComboBox::activated, this, [this](int index) {
    model_.selectEncryption(encryption_->itemData(index).toInt());
    for (QLineEdit* k : keys_) k->clear();
    refresh();
  });
  top->addRow(QStringLiteral("Encryption Mode:"), encryption_);
  keySelection_ = listBox(this, "keySelection", model_.keySelections, model_.keySelection);
  top->addRow(QStringLiteral("Key Selection:"), keySelection_);

  keyBox_ = new QGroupBox(this);
  auto* keyForm = new QFormLayout(keyBox_);
  for (int k = 0; k < config::kWepKeys; ++k) {
    const std::string name = "key" + std::to_string(k + 1);
    keys_[k] = textEdit(keyBox_, name.c_str(), model_.keys[static_cast<std::size_t>(k)], 26, true);
    keyForm->addRow(QStringLiteral("Key %1    0x").arg(k + 1), keys_[k]);
  }
  layout->addWidget(keyBox_);

  auto* auth = new QFormLayout;
  layout->addLayout(auth);
  auto* authType = listBox(this, "authType", model_.authTypes, model_.authType);
  connect(authType, &QComboBox::activated, this, [this] { refresh(); });
  authType_ = authType;
  auth->addRow(QStringLiteral("Authentication Type"), authType);
  userId_ = textEdit(this, "userId", model_.userId, static_cast<int>(config::kSecurityTextLimit));
  auth->addRow(QStringLiteral("User ID"), userId_);
  password_ = textEdit(this, "password", model_.password, static_cast<int>(config::kSecurityTextLimit), true);
  auth->addRow(QStringLiteral("Password"), password_);

  auto* wpa = new QGroupBox(QStringLiteral("WPA"), this);
  wpaBox_ = wpa;
  auto* wpaForm = new QFormLayout(wpa);
  wpaForm->addRow(QStringLiteral("WPA-PSK"),
                  textEdit(wpa, "wpaPsk", model_.wpaPsk, static_cast<int>(config::kSecurityTextLimit), true));
  auto* groupKey = new QCheckBox(QStringLiteral("WPA Group Key"), wpa);
  groupKey->setObjectName(QStringLiteral("wpaGroupKey"));
  groupKey->setChecked(model_.groupKey);
  connect(groupKey, &QCheckBox::toggled, this, [this](bool on) { model_.groupKey = on; });
  wpaForm->addRow(groupKey);
  auto* autoAssociate = new QCheckBox(QStringLiteral("WPA Auto Associate"), wpa);
  autoAssociate->setObjectName(QStringLiteral("wpaAutoAssociate"));
  autoAssociate->setChecked(model_.autoAssociate);
  autoAssociate->setVisible(model_.autoAssociateShown());
  connect(autoAssociate, &QCheckBox::toggled, this, [this](bool on) { model_.autoAssociate = on; });
  autoAssociate_ = autoAssociate;
  wpaForm->addRow(autoAssociate);
  layout->addWidget(wpa);

  auto* eap = new QGroupBox(QStringLiteral("802.1x  EAP"), this);
  eapBox_ = eap;
  auto* eapForm = new QFormLayout(eap);
  const int limit = static_cast<int>(config::kSecurityTextLimit);
  eapForm->addRow(QStringLiteral("Certificate Common Name 1"), textEdit(eap, "commonName1", model_.commonName1, limit));
  eapForm->addRow(QStringLiteral("Certificate Common Name 2"), textEdit(eap, "commonName2", model_.commonName2, limit));
  eapForm->addRow(QStringLiteral("Certificate Root Key"), textEdit(eap, "rootKey", model_.rootKey, limit));
  eapForm->addRow(QStringLiteral("Certificate Root Key Exponent"),
                  textEdit(eap, "exponent", model_.exponent, static_cast<int>(config::kExponentLimit)));
  eapForm->addRow(QStringLiteral("Authentication Protocol"),
                  listBox(eap, "authProtocol", model_.authProtocols, model_.authProtocol));
  layout->addWidget(eap);

  auto* certificate = new QGroupBox(QStringLiteral("Certificate File"), this);
  certificateBox_ = certificate;
  auto* row = new QHBoxLayout(certificate);
  auto* file = textEdit(certificate, "certificateFile", model_.certificateFile,
                        static_cast<int>(config::kCertificatePathLimit));
  row->addWidget(file);
  auto* browse = new QPushButton(QStringLiteral("Browse..."), certificate);
  connect(browse, &QPushButton::clicked, this, [this, file] {
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("All Files (*.*)"));
    if (path.isEmpty()) return;
    file->setText(path);
    model_.certificateFile = path.toStdString();
  });
  row->addWidget(browse);
  auto* send = new QPushButton(QStringLiteral("Send"), certificate);
  send->setObjectName(QStringLiteral("send"));
  connect(send, &QPushButton::clicked, this, &CWirelessSecurityDialog::sendCertificate);
  row->addWidget(send);
  layout->addWidget(certificate);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CWirelessSecurityDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  refresh();
}

void CWirelessSecurityDialog::refresh() {
  keyBox_->setTitle(q(model_.keyBoxTitle()));
  const bool keys = model_.keysEnabled();
  for (QLineEdit* k : keys_) {
    k->setEnabled(keys);
    k->setMaxLength(keys ? model_.keyLength() : 26);
  }
  keySelection_->setEnabled(keys);
  const config::SecurityEnabled e = model_.enabled();
  wpaBox_->setEnabled(e.wpaBox);
  autoAssociate_->setEnabled(e.autoAssociate);
  eapBox_->setEnabled(e.eapBox);
  certificateBox_->setEnabled(e.certificateBox);
  authType_->setEnabled(e.authType);
  userId_->setEnabled(e.userId);
  password_->setEnabled(e.password);
}

void CWirelessSecurityDialog::accept() {
  const config::PageCheck c = model_.check();
  if (!c.ok()) {
    if (inform_) inform_(c.message);
    if (auto* w = findChild<QWidget*>(q(c.field))) {
      w->setFocus();
      if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
    }
    return;
  }
  page_.takeSecurity(model_);
  QDialog::accept();
}

void CWirelessSecurityDialog::sendCertificate() {
  struct Host : config::CertificateSendHost {
    CWirelessSecurityDialog* self;
    explicit Host(CWirelessSecurityDialog* s) : self(s) {}
    std::optional<std::string> askPassword() override { return self->ask_(); }
    void message(const std::string& text) override {
      if (self->inform_) self->inform_(text);
    }
    void busy(bool on) override {
      if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
      else QApplication::restoreOverrideCursor();
    }
  } host(this);
  config::sendCertificate(page_.address(), model_.certificateFile, host, upload_);
}

void buildWirelessTab(QWidget* holder, QFormLayout* form, config::CWirelessPage& page,
                      std::function<void(const std::string&)> inform) {
  const config::WirelessShown& s = page.shown();
  auto* mode = listBox(holder, "wirelessMode", page.modes, page.mode);
  form->addRow(QStringLiteral("Wireless Mode"), mode);
  std::string& ssid = page.ssid;
  form->addRow(QStringLiteral("SSID"), textEdit(holder, "ssid", ssid, static_cast<int>(config::kSsidLimit)));
  auto* channel = listBox(holder, "channel", page.channels, page.channel);
  form->addRow(QStringLiteral("RF Channel"), channel);
  form->addRow(QStringLiteral("Data Rate"), listBox(holder, "dataRate", page.rates, page.rate));
  auto optional = [&](const char* label, const char* name, const std::vector<config::ListItem>& items,
                      std::int32_t& field, bool shown) {
    auto* box = listBox(holder, name, items, field);
    if (shown) form->addRow(QString::fromUtf8(label), box);
    else box->hide();
    return box;
  };
  optional("Radio", "radio", page.radioItems, page.radio, s.radio);
  optional("Access Point Density", "density", page.densityItems, page.density, s.density);
  auto* dot11d = optional("802.11 D", "dot11d", page.dot11dItems, page.dot11d, s.dot11d);
  optional("Country", "country", page.countryList, page.country, s.country);
  optional("Dynamic Frequency Select", "dfs", page.dfsItems, page.dfs, s.dfs);
  // The mode rule: the channel for ad hoc, 802.11d for infrastructure.
  auto rule = [&page, channel, dot11d, form] {
    channel->setEnabled(page.channelEnabled());
    if (QWidget* label = form->labelForField(channel)) label->setEnabled(page.channelEnabled());
    dot11d->setEnabled(page.dot11dEnabled());
    if (QWidget* label = form->labelForField(dot11d)) label->setEnabled(page.dot11dEnabled());
  };
  QObject::connect(mode, &QComboBox::activated, holder, rule);
  rule();
  auto* security = new QPushButton(QStringLiteral("Configure Wireless Security"), holder);
  security->setObjectName(QStringLiteral("configureSecurity"));
  QObject::connect(security, &QPushButton::clicked, holder, [holder, &page, inform] {
    CWirelessSecurityDialog dialog(page, inform, holder->window());
    if (!interactive()) return;  // a test drives the dialog itself
    dialog.exec();
  });
  form->addRow(security);
}

}  // namespace configgui
