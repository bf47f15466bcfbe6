#include "multi/gui/multi_config_dialog_widget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <iostream>

#include "config/change_password.h"
#include "config/gui/tcpip_dialogs.h"

namespace multigui {

namespace {

using multi::ControlKind;
using multi::TriState;

QString q(const std::string& s) { return QString::fromStdString(s); }

bool interactive() { return QGuiApplication::platformName() != QLatin1String("offscreen"); }

void warn(QWidget* parent, const std::string& text) {
  if (!interactive()) {
    std::cerr << text << "\n";
    return;
  }
  QMessageBox::warning(parent, parent->windowTitle(), q(text));
}

void focusOn(QWidget* w) {
  if (!w) return;
  w->setFocus();
  if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
}

QCheckBox* triBox(QWidget* parent, const QString& label, const std::string& name, TriState state) {
  auto* box = new QCheckBox(label, parent);
  box->setObjectName(q(name));
  box->setTristate(true);
  box->setCheckState(checkStateOf(state));
  return box;
}

QComboBox* listBox(QWidget* parent, const std::string& name, const std::vector<multi::DialogChoice>& items,
                   std::int32_t data) {
  auto* box = new QComboBox(parent);
  box->setObjectName(q(name));
  for (const multi::DialogChoice& c : items) box->addItem(q(c.text), c.data);
  box->setCurrentIndex(std::max(0, box->findData(data)));
  return box;
}

QLineEdit* lineEdit(QWidget* parent, const std::string& name, const std::string& text, int limit) {
  auto* edit = new QLineEdit(q(text), parent);
  edit->setObjectName(q(name));
  if (limit > 0) edit->setMaxLength(limit);
  return edit;
}

}  // namespace

Qt::CheckState checkStateOf(TriState s) {
  switch (s) {
    case TriState::Checked: return Qt::Checked;
    case TriState::Cleared: return Qt::Unchecked;
    case TriState::Unchanged: break;
  }
  return Qt::PartiallyChecked;
}

TriState triStateOf(Qt::CheckState s) {
  // Qt's three-state cycle is the dialog's own: grey, ticked, cleared, grey.
  switch (s) {
    case Qt::Checked: return TriState::Checked;
    case Qt::Unchecked: return TriState::Cleared;
    case Qt::PartiallyChecked: break;
  }
  return TriState::Unchanged;
}

// --- Configure Multiple Devices -------------------------------------------------------------

CMultiConfigDialog::CMultiConfigDialog(multi::CMultiConfigDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(QString::fromUtf8(multi::kDialogTitle));
  setObjectName(QStringLiteral("CMultiConfigDlg"));
  inform_ = [this](const std::string& text) { warn(this, text); };
  runSecurity_ = [this](multi::MultiSecurityValues& values) {
    CMultiWirelessSecurityDialog dialog(values, this);
    if (dialog.exec() == QDialog::Accepted) values = dialog.model().values;
  };

  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);
  const char* columns[3][2] = {{"Protocols", "Output Ports (All)"}, {"TCP/IP", "NetWare"}, {"SNMP", "Wireless"}};
  for (int c = 0; c < 3; ++c) {
    auto* column = new QVBoxLayout;
    for (const char* group : columns[c]) column->addWidget(buildGroup(group));
    column->addStretch(1);
    grid->addLayout(column, 0, c);
  }

  auto* legend = new QGroupBox(QString::fromUtf8(multi::kLegendTitle), this);
  auto* legendRow = new QHBoxLayout(legend);
  const TriState examples[] = {TriState::Unchanged, TriState::Checked, TriState::Cleared};
  for (std::size_t i = 0; i < std::size(multi::kLegendLines); ++i) {
    auto* sample = new QCheckBox(QString::fromUtf8(multi::kLegendLines[i]), legend);
    sample->setTristate(true);
    sample->setCheckState(checkStateOf(examples[i]));
    sample->setAttribute(Qt::WA_TransparentForMouseEvents);
    sample->setFocusPolicy(Qt::NoFocus);
    legendRow->addWidget(sample);
  }
  layout->addWidget(legend);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CMultiConfigDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  refresh();
}

QWidget* CMultiConfigDialog::buildGroup(const char* group) {
  auto* box = new QGroupBox(QString::fromUtf8(group), this);
  auto* form = new QFormLayout(box);
  QFormLayout* communities = nullptr;
  const std::string wanted = group;
  for (const multi::MultiControl& c : multi::multiControls()) {
    const std::string g = c.group;
    QFormLayout* into = form;
    if (g == "Community Names" && wanted == "SNMP") {
      if (!communities) {
        auto* inner = new QGroupBox(QString::fromUtf8(c.group), box);
        communities = new QFormLayout(inner);
        form->addRow(inner);
      }
      into = communities;
    } else if (g != wanted) {
      continue;
    }
    const std::string name = c.name;
    const QString label = QString::fromUtf8(c.label);
    switch (c.kind) {
      case ControlKind::Tri: {
        auto* tri = triBox(box, label, name, model_.tri(name));
        connect(tri, &QCheckBox::stateChanged, this, [this, name, tri] {
          model_.setTri(name, triStateOf(tri->checkState()));
          refresh();
        });
        // The address methods sit under the box that enables them.
        if (name.rfind("method-", 0) == 0) into->addRow(QStringLiteral("    "), tri);
        else into->addRow(tri);
        controls_[name] = tri;
        break;
      }
      case ControlKind::List: {
        auto* list = listBox(box, name, model_.items(name), model_.choice(name));
        connect(list, &QComboBox::activated, this, [this, name, list](int index) {
          model_.choose(name, list->itemData(index).toInt());
          refresh();
        });
        into->addRow(label, list);
        controls_[name] = list;
        break;
      }
      case ControlKind::Text:
      case ControlKind::Address: {
        auto* edit = lineEdit(box, name, model_.text(name), c.kind == ControlKind::Address ? 15 : c.maximum);
        connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& t) { model_.setText(name, t.toStdString()); });
        into->addRow(label, edit);
        controls_[name] = edit;
        break;
      }
      case ControlKind::BoxedText:
      case ControlKind::BoxedNumber: {
        auto* check = new QCheckBox(label, box);
        check->setObjectName(q(name));
        check->setChecked(model_.boxed(name));
        const int limit = c.kind == ControlKind::BoxedNumber ? 3 : c.maximum;
        auto* edit = lineEdit(box, name + "-value", model_.text(name), limit);
        connect(check, &QCheckBox::toggled, this, [this, name](bool on) {
          model_.setBoxed(name, on);
          refresh();
        });
        connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& t) { model_.setText(name, t.toStdString()); });
        into->addRow(check, edit);
        controls_[name] = check;
        edits_[name] = edit;
        break;
      }
      case ControlKind::TriNumber: {
        auto* row = new QWidget(box);
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        auto* tri = triBox(row, label, name, model_.tri(name));
        const std::string number = c.numberName;
        auto* edit = lineEdit(row, number, model_.text(number), 3);
        edit->setMaximumWidth(48);
        connect(tri, &QCheckBox::stateChanged, this, [this, name, tri] {
          model_.setTri(name, triStateOf(tri->checkState()));
          refresh();
        });
        connect(edit, &QLineEdit::textEdited, this,
                [this, number](const QString& t) { model_.setText(number, t.toStdString()); });
        h->addWidget(tri);
        h->addStretch(1);
        auto* numberLabel = new QLabel(QString::fromUtf8(c.numberLabel), row);
        // "Number" stands before its field, "minutes" after it.
        if (name == "forms-checking") {
          h->addWidget(numberLabel);
          h->addWidget(edit);
        } else {
          h->addWidget(edit);
          h->addWidget(numberLabel);
        }
        into->addRow(row);
        controls_[name] = tri;
        edits_[number] = edit;
        edits_[name] = edit;
        break;
      }
      case ControlKind::Button: {
        auto* button = new QPushButton(label, box);
        button->setObjectName(q(name));
        if (name == "telnet-password") {
          connect(button, &QPushButton::clicked, this, [this] {
            config::PasswordRules rules;
            rules.maxLength = multi::CMultiConfigDlg::kPasswordMaximum;
            rules.minLength = multi::CMultiConfigDlg::kPasswordMinimum;
            std::string password;
            if (configgui::runChangePassword(this, rules, password)) model_.telnetPassword = password;
          });
        } else {
          connect(button, &QPushButton::clicked, this, [this] {
            if (runSecurity_) runSecurity_(model_.security);
          });
        }
        into->addRow(button);
        controls_[name] = button;
        break;
      }
    }
  }
  return box;
}

void CMultiConfigDialog::refresh() {
  for (const auto& [name, widget] : controls_) {
    widget->setEnabled(model_.enabled(name));
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
      const QSignalBlocker block(list);
      list->setCurrentIndex(std::max(0, list->findData(model_.choice(name))));
    } else if (auto* box = qobject_cast<QCheckBox*>(widget); box && box->isTristate()) {
      const QSignalBlocker block(box);
      box->setCheckState(checkStateOf(model_.tri(name)));
    }
  }
  for (const multi::MultiControl& c : multi::multiControls()) {
    const auto it = edits_.find(c.name);
    if (it != edits_.end()) it->second->setEnabled(model_.editEnabled(c.name));
  }
}

void CMultiConfigDialog::accept() {
  const multi::DialogCheck c = model_.check();
  if (!c.ok()) {
    if (inform_) inform_(c.message);
    const auto edit = edits_.find(c.field);
    focusOn(edit != edits_.end() ? edit->second : (controls_.count(c.field) ? controls_[c.field] : nullptr));
    return;
  }
  QDialog::accept();
}

// --- Wireless Security Settings (Multiple Devices) --------------------------------------------

CMultiWirelessSecurityDialog::CMultiWirelessSecurityDialog(const multi::MultiSecurityValues& values, QWidget* parent)
    : QDialog(parent), model_(values) {
  setWindowTitle(QString::fromUtf8(multi::kSecurityDialogTitle));
  setObjectName(QStringLiteral("CMultiWirelessSecurityDlg"));
  inform_ = [this](const std::string& text) { warn(this, text); };
  multi::MultiSecurityValues& v = model_.values;
  using D = multi::CMultiWirelessSecurityDlg;

  auto list = [this](QWidget* parent, const char* name, const std::vector<multi::DialogChoice>& items, std::int32_t& field) {
    auto* box = listBox(parent, name, items, field);
    connect(box, &QComboBox::activated, this, [this, box, &field](int index) {
      field = box->itemData(index).toInt();
      refresh();
    });
    return box;
  };
  auto text = [this](QWidget* parent, const char* name, std::string& field, int limit, bool secret = false) {
    auto* edit = lineEdit(parent, name, field, limit);
    if (secret) edit->setEchoMode(QLineEdit::Password);
    connect(edit, &QLineEdit::textEdited, this, [&field](const QString& t) { field = t.toStdString(); });
    return edit;
  };
  auto tri = [this](QWidget* parent, const char* label, const char* name, TriState& field) {
    auto* box = triBox(parent, QString::fromUtf8(label), name, field);
    connect(box, &QCheckBox::stateChanged, this, [box, &field] { field = triStateOf(box->checkState()); });
    return box;
  };
  const int limit = multi::kSecurityTextLimit;

  auto* layout = new QVBoxLayout(this);
  auto* top = new QFormLayout;
  layout->addLayout(top);
  top->addRow(QStringLiteral("Encryption Mode:"), list(this, "encryption", D::encryptionItems(), v.encryption));
  keySelection_ = list(this, "wep-key-select", D::keySelectionItems(), v.keySelection);
  top->addRow(QStringLiteral("Key Selection:"), keySelection_);

  auto* keyBox = new QGroupBox(QStringLiteral("WEP Key"), this);
  auto* keyForm = new QFormLayout(keyBox);
  for (int k = 0; k < multi::kSecurityKeys; ++k) {
    const std::string name = "wep-key-" + std::to_string(k + 1);
    keys_[k] = text(keyBox, name.c_str(), v.keys[static_cast<std::size_t>(k)], 26);
    keyForm->addRow(QStringLiteral("Key %1    0x").arg(k + 1), keys_[k]);
  }
  layout->addWidget(keyBox);

  auto* auth = new QFormLayout;
  layout->addLayout(auth);
  auth->addRow(QStringLiteral("Authentication Type"), list(this, "authentication-type", D::authTypeItems(), v.authType));
  auth->addRow(QStringLiteral("User ID"), text(this, "user-id", v.userId, limit));
  auth->addRow(QStringLiteral("Password"), text(this, "password", v.password, limit, true));

  auto* wpa = new QGroupBox(QStringLiteral("WPA"), this);
  auto* wpaForm = new QFormLayout(wpa);
  wpaForm->addRow(QStringLiteral("WPA-PSK"), text(wpa, "wpa-psk", v.wpaPsk, limit, true));
  wpaForm->addRow(tri(wpa, "WPA Group Key", "wpa-group-key", v.wpaGroupKey));
  wpaForm->addRow(tri(wpa, "WPA Auto Associate", "wpa-auto-associate", v.wpaAutoAssociate));
  layout->addWidget(wpa);

  auto* eap = new QGroupBox(QStringLiteral("802.1x  EAP"), this);
  auto* eapForm = new QFormLayout(eap);
  eapForm->addRow(QStringLiteral("Certificate Common Name 1"), text(eap, "certificate-common-name-1", v.commonName1, limit));
  eapForm->addRow(QStringLiteral("Certificate Common Name 2"), text(eap, "certificate-common-name-2", v.commonName2, limit));
  eapForm->addRow(QStringLiteral("Certificate Root Key"), text(eap, "certificate-root-key", v.rootKey, limit));
  eapForm->addRow(QStringLiteral("Certificate Root Key Exponent"),
                  text(eap, "certificate-root-key-exponent", v.exponent, multi::kExponentDigits));
  eapForm->addRow(QStringLiteral("Authentication Protocol"),
                  list(eap, "authentication-protocol", D::authProtocolItems(), v.authProtocol));
  layout->addWidget(eap);

  auto* certificate = new QGroupBox(QStringLiteral("Certificate File"), this);
  auto* row = new QHBoxLayout(certificate);
  auto* file = text(certificate, "certificate-file", v.certificateFile, multi::kCertificatePathLimit);
  row->addWidget(file);
  auto* browse = new QPushButton(QStringLiteral("Browse..."), certificate);
  browse->setObjectName(QStringLiteral("browse"));
  connect(browse, &QPushButton::clicked, this, [this, file] {
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("All Files (*.*)"));
    if (path.isEmpty()) return;
    file->setText(path);
    model_.values.certificateFile = path.toStdString();
  });
  row->addWidget(browse);
  layout->addWidget(certificate);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CMultiWirelessSecurityDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  refresh();
}

void CMultiWirelessSecurityDialog::refresh() {
  const int length = model_.keyLength();
  for (QLineEdit* k : keys_) {
    k->setEnabled(length != 0);
    k->setMaxLength(length ? length : 26);
  }
}

void CMultiWirelessSecurityDialog::accept() {
  const multi::DialogCheck c = model_.check();
  if (!c.ok()) {
    if (inform_) inform_(c.message);
    focusOn(findChild<QWidget*>(q(c.field)));
    return;
  }
  QDialog::accept();
}

}  // namespace multigui
