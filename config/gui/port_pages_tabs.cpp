#include "config/gui/port_pages_tabs.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <algorithm>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "config/ethertalk_page.h"
#include "config/gui/tcpip_dialogs.h"
#include "config/output_port_page.h"
#include "config/token_ring_page.h"
#include "vines/streettalk_name.h"
#include "vines/vines_page.h"

namespace configgui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QComboBox* makeCombo(QWidget* parent, const char* name, FieldMap& fields) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  fields[name] = box;
  return box;
}

// Fills a combo with a choice list and selects `value` (none when the list lacks it).
void fillCombo(QComboBox* box, const std::vector<config::Choice>& list, std::int32_t value) {
  const QSignalBlocker block(box);
  box->clear();
  for (const config::Choice& c : list) box->addItem(q(c.text), c.value);
  box->setCurrentIndex(box->findData(value));
}

QLineEdit* makeEdit(QWidget* parent, const char* name, FieldMap& fields, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  if (maxLength > 0) edit->setMaxLength(maxLength);
  fields[name] = edit;
  return edit;
}

// "Serial Port Settings" over its model.
bool runSerialPortSettings(QWidget* parent, config::CSerialPortSettingsDlg& d, std::function<void(const std::string&)> inform) {
  QDialog dialog(parent);
  dialog.setWindowTitle(q(d.title()));
  auto* form = new QFormLayout(&dialog);
  FieldMap f;
  auto* bidi = makeCombo(&dialog, "bidirectional", f);
  auto* speed = makeCombo(&dialog, "speed", f);
  auto* flow = makeCombo(&dialog, "flow", f);
  auto* parity = makeCombo(&dialog, "parity", f);
  auto* data = makeCombo(&dialog, "dataBits", f);
  auto* stop = makeCombo(&dialog, "stopBits", f);
  form->addRow(QStringLiteral("B&idirectional Data:"), bidi);
  form->addRow(QStringLiteral("&Baud Rate:"), speed);
  form->addRow(QStringLiteral("&Flow Control:"), flow);
  form->addRow(QStringLiteral("&Parity:"), parity);
  form->addRow(QStringLiteral("&Data Bits:"), data);
  form->addRow(QStringLiteral("&Stop Bits:"), stop);
  auto fill = [&] {
    fillCombo(bidi, d.bidirectionalChoices, d.bidirectional ? 1 : 0);
    fillCombo(speed, d.speeds, d.speed);
    fillCombo(flow, d.flows, d.flow);
    fillCombo(parity, d.parities, d.parity);
    fillCombo(data, d.dataBits, d.data);
    fillCombo(stop, d.stopBits, d.stop);
  };
  fill();
  QObject::connect(bidi, qOverload<int>(&QComboBox::activated), &dialog, [&](int i) {
    std::string focus;
    const std::string message = d.changeBidirectional(bidi->itemData(i).toInt() == 1, &focus);
    fill();
    if (!message.empty()) {
      inform(message);
      (focus == "flow" ? flow : speed)->setFocus();
    }
  });
  auto pick = [&](QComboBox* box, std::int32_t& value) {
    QObject::connect(box, qOverload<int>(&QComboBox::activated), &dialog,
                     [box, &value](int i) { value = box->itemData(i).toInt(); });
  };
  pick(speed, d.speed);
  pick(flow, d.flow);
  pick(parity, d.parity);
  pick(data, d.data);
  pick(stop, d.stop);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return dialog.exec() == QDialog::Accepted;
}

// "Serial Settings" (line mode, speed and the Modbus gateway) over its model.
bool runSerialSettings(QWidget* parent, config::CSerialSettingsDlg& d, std::function<void(const std::string&)> inform) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Serial Settings"));
  auto* form = new QFormLayout(&dialog);
  FieldMap f;
  auto combo = [&](const char* name, const char* label, const std::vector<config::Choice>& list, std::int32_t& value) {
    auto* box = makeCombo(&dialog, name, f);
    fillCombo(box, list, value);
    form->addRow(QString::fromUtf8(label), box);
    QObject::connect(box, qOverload<int>(&QComboBox::activated), &dialog,
                     [box, &value](int i) { value = box->itemData(i).toInt(); });
    return box;
  };
  static const std::vector<config::Choice> kOnOff{{0, "Disabled"}, {1, "Enabled"}};
  std::int32_t full = d.fullDuplex, modbus = d.modbus, autoSlave = d.autoSlaveId, tcp = d.tcpException;
  auto* mode = combo("mode", "Mode:", config::CSerialSettingsDlg::modes(), d.mode);
  auto* duplex = combo("duplex", "Duplex:", {{0, "Half"}, {1, "Full"}}, full);
  combo("speed", "Speed:", config::CSerialSettingsDlg::speedList(), d.speed);
  combo("charBits", "Character Bits:", {{7, "7"}, {8, "8"}}, d.charBits);
  combo("stopBits", "Stop Bits:", {{1, "1"}, {2, "2"}}, d.stopBits);
  combo("parity", "Parity:", config::CSerialSettingsDlg::parityList(), d.parity);
  combo("flow", "Flow Control:", config::CSerialSettingsDlg::flowList(), d.flow);
  auto* modbusBox = combo("modbus", "Modbus:", kOnOff, modbus);
  auto* box = new QGroupBox(QStringLiteral("Modbus Settings"), &dialog);
  auto* inner = new QFormLayout(box);
  form->addRow(box);
  std::int32_t device = d.deviceType;
  auto* deviceBox = makeCombo(box, "deviceType", f);
  fillCombo(deviceBox, {{0, "Modbus RTU Slave"}, {1, "Modbus ASCII Slave"}}, device);
  inner->addRow(QStringLiteral("Attached Serial Device Type:"), deviceBox);
  auto edit = [&](const char* name, const char* label, std::string& value, int max) {
    auto* e = makeEdit(box, name, f, max);
    e->setText(q(value));
    inner->addRow(QString::fromUtf8(label), e);
    QObject::connect(e, &QLineEdit::textEdited, &dialog, [&value](const QString& t) { value = t.toStdString(); });
    return e;
  };
  edit("initialDelay", "Initial Delay Time:", d.initialDelay, 4);
  auto* autoBox = makeCombo(box, "autoSlaveId", f);
  fillCombo(autoBox, kOnOff, autoSlave);
  inner->addRow(QStringLiteral("Auto Slave ID:"), autoBox);
  auto* slave = edit("slaveId", "Slave ID:", d.slaveId, 3);
  edit("charTimeout", "Character Timeout:", d.charTimeout, 4);
  edit("messageTimeout", "Message Timeout:", d.messageTimeout, 5);
  auto* tcpBox = makeCombo(box, "tcpException", f);
  fillCombo(tcpBox, kOnOff, tcp);
  inner->addRow(QStringLiteral("Modbus/TCP Excrption:"), tcpBox);
  auto enable = [&] {
    d.fullDuplex = duplex->currentData().toInt() == 1;
    d.modbus = modbusBox->currentData().toInt() == 1;
    d.autoSlaveId = autoBox->currentData().toInt() == 1;
    d.deviceType = deviceBox->currentData().toInt();
    d.tcpException = tcpBox->currentData().toInt() == 1;
    duplex->setEnabled(d.duplexEnabled());
    box->setEnabled(d.modbusBoxEnabled());
    slave->setEnabled(d.slaveIdEnabled());
  };
  for (QComboBox* c : {mode, duplex, modbusBox, autoBox, deviceBox, tcpBox})
    QObject::connect(c, qOverload<int>(&QComboBox::activated), &dialog, enable);
  enable();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    const config::SerialCheck c = d.check();
    if (!c.ok()) {
      inform(c.message);
      if (auto* e = qobject_cast<QLineEdit*>(f[c.field])) {
        e->setFocus();
        e->selectAll();
      }
      return;
    }
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return dialog.exec() == QDialog::Accepted;
}

void buildOutputPort(QWidget* holder, QFormLayout* form, config::COutputPortPage& p, FieldMap& fields,
                     std::function<void(const std::string&)> inform) {
  auto* portLabel = new QLabel(QStringLiteral("Port &Number:"), holder);
  auto* port = makeCombo(holder, "port", fields);
  for (int i = 1; i <= p.portCount(); ++i) port->addItem(QString::number(i), i - 1);
  form->addRow(portLabel, port);
  auto* nameLabel = new QLabel(QStringLiteral("Port N&ame:"), holder);
  auto* name = makeEdit(holder, "name", fields, static_cast<int>(config::kPortNameLimit));
  form->addRow(nameLabel, name);
  auto* language = new QGroupBox(QStringLiteral("Language Switching"), holder);
  auto* lang = new QFormLayout(language);
  form->addRow(language);
  auto* modeLabel = new QLabel(QStringLiteral("Mode:"), language);
  auto* mode = makeCombo(language, "mode", fields);
  lang->addRow(modeLabel, mode);
  auto* printerLabel = new QLabel(QStringLiteral("Printer &Type:"), language);
  auto* printer = makeCombo(language, "printerType", fields);
  lang->addRow(printerLabel, printer);
  auto* sequences = new QGroupBox(QStringLiteral("Switch Sequence"), language);
  auto* seq = new QFormLayout(sequences);
  lang->addRow(sequences);
  auto* seq1Label = new QLabel(holder);
  auto* seq1 = makeEdit(sequences, "sequence1", fields, 4 * static_cast<int>(config::kSequenceLimit));
  auto* seq2Label = new QLabel(holder);
  auto* seq2 = makeEdit(sequences, "sequence2", fields, 4 * static_cast<int>(config::kSequenceLimit));
  seq->addRow(seq1Label, seq1);
  seq->addRow(seq2Label, seq2);
  auto* configLabel = new QLabel(QStringLiteral("&Configuration Page Language:"), holder);
  auto* config = makeCombo(holder, "configLanguage", fields);
  form->addRow(configLabel, config);
  auto* outputLabel = new QLabel(QStringLiteral("&Output Type:"), holder);
  auto* output = makeCombo(holder, "outputType", fields);
  form->addRow(outputLabel, output);
  auto* pjl = new QCheckBox(QStringLiteral("P&JL Printer Status Support"), holder);
  pjl->setObjectName(QStringLiteral("pjl"));
  fields["pjl"] = pjl;
  form->addRow(pjl);
  auto* serial = new QPushButton(QStringLiteral("&Serial Settings"), holder);
  serial->setObjectName(QStringLiteral("serialSettings"));
  fields["serialSettings"] = serial;
  form->addRow(serial);

  // Labels made apart from their rows show their mnemonic only with a buddy.
  for (auto [label, widget] : {std::pair<QLabel*, QWidget*>{portLabel, port}, {nameLabel, name}, {modeLabel, mode},
                               {printerLabel, printer}, {seq1Label, seq1}, {seq2Label, seq2}, {configLabel, config},
                               {outputLabel, output}})
    label->setBuddy(widget);
  auto refresh = [=, &p] {
    const config::OutputPortControls k = p.controls();
    {
      const QSignalBlocker b(port);
      port->setCurrentIndex(p.selectedPort());
    }
    port->setVisible(k.portChoice);
    portLabel->setVisible(k.portChoice);
    name->setText(q(p.name));
    name->setVisible(k.name);
    nameLabel->setVisible(k.name);
    language->setVisible(k.languageBox);
    fillCombo(mode, p.modes, p.mode);
    mode->setVisible(k.mode);
    modeLabel->setVisible(k.mode);
    fillCombo(printer, p.printerTypes, p.printerType);
    printer->setVisible(k.printerType);
    printerLabel->setVisible(k.printerType);
    printer->setEnabled(k.printerTypeEnabled);
    printerLabel->setEnabled(k.printerTypeEnabled);
    sequences->setVisible(k.sequences);
    seq1Label->setText(k.prePostLabels ? QStringLiteral("&Pre-job:") : QStringLiteral("&PCL:"));
    seq2Label->setText(k.prePostLabels ? QStringLiteral("P&ost-job:") : QStringLiteral("P&ostScript:"));
    seq1->setText(q(p.sequence1));
    seq2->setText(q(p.sequence2));
    seq1->setEnabled(k.sequence1Enabled);
    seq1Label->setEnabled(k.sequence1Enabled);
    seq2->setEnabled(k.sequence2Enabled);
    seq2Label->setEnabled(k.sequence2Enabled);
    fillCombo(config, p.configLanguages, p.configLanguage);
    config->setVisible(k.configLanguage);
    configLabel->setVisible(k.configLanguage);
    fillCombo(output, p.outputTypes, p.outputType);
    output->setVisible(k.outputType);
    outputLabel->setVisible(k.outputType);
    {
      const QSignalBlocker b(pjl);
      pjl->setChecked(p.pjl);
    }
    pjl->setVisible(k.pjl);
    pjl->setEnabled(k.pjlEnabled);
    serial->setVisible(k.serialSettings);
  };
  refresh();
  QObject::connect(port, qOverload<int>(&QComboBox::activated), holder, [=, &p](int i) {
    const config::PageCheck c = p.selectPort(port->itemData(i).toInt());
    if (!c.ok()) inform(c.message);
    refresh();
  });
  QObject::connect(name, &QLineEdit::textEdited, holder, [&p](const QString& t) { p.name = t.toStdString(); });
  QObject::connect(seq1, &QLineEdit::textEdited, holder, [&p](const QString& t) { p.sequence1 = t.toStdString(); });
  QObject::connect(seq2, &QLineEdit::textEdited, holder, [&p](const QString& t) { p.sequence2 = t.toStdString(); });
  QObject::connect(mode, qOverload<int>(&QComboBox::activated), holder, [=, &p](int i) {
    p.setMode(mode->itemData(i).toInt());
    refresh();
  });
  QObject::connect(printer, qOverload<int>(&QComboBox::activated), holder, [=, &p](int i) {
    p.setPrinterType(printer->itemData(i).toInt());
    refresh();
  });
  QObject::connect(config, qOverload<int>(&QComboBox::activated), holder,
                   [config, &p](int i) { p.configLanguage = config->itemData(i).toInt(); });
  QObject::connect(output, qOverload<int>(&QComboBox::activated), holder, [=, &p](int i) {
    p.setOutputType(output->itemData(i).toInt());
    refresh();
  });
  QObject::connect(pjl, &QCheckBox::toggled, holder, [&p](bool on) { p.pjl = on; });
  QObject::connect(serial, &QPushButton::clicked, holder, [=, &p] {
    if (p.serialSettingsIsModbus()) {
      config::CSerialSettingsDlg d = p.serialSettingsDialog();
      if (runSerialSettings(holder, d, inform)) p.takeSerialSettingsDialog(d);
    } else {
      config::CSerialPortSettingsDlg d = p.serialPortDialog();
      if (runSerialPortSettings(holder, d, inform)) p.takeSerialPortDialog(d);
    }
    refresh();
  });
}

void buildTokenRing(QWidget* holder, QFormLayout* form, config::CTokenRingPage& p, FieldMap& fields) {
  auto* priority = makeCombo(holder, "priority", fields);
  fillCombo(priority, config::CTokenRingPage::priorities(), p.priority);
  form->addRow(QStringLiteral("&Priority:"), priority);
  auto* routing = makeCombo(holder, "routing", fields);
  fillCombo(routing, config::CTokenRingPage::routings(), p.routing);
  form->addRow(QStringLiteral("&Routing:"), routing);
  auto* early = new QCheckBox(QStringLiteral("&Early Token Release"), holder);
  early->setObjectName(QStringLiteral("earlyRelease"));
  early->setChecked(p.earlyRelease);
  early->setEnabled(p.controls().earlyRelease);
  fields["earlyRelease"] = early;
  form->addRow(early);
  auto* enable = new QCheckBox(QStringLiteral("&Enable"), holder);
  enable->setObjectName(QStringLiteral("enable"));
  enable->setChecked(p.enable);
  fields["enable"] = enable;
  auto* address = makeEdit(holder, "address", fields, 12);
  address->setText(q(p.address));
  address->setEnabled(p.controls().address);
  form->addRow(enable);
  form->addRow(QStringLiteral("Local &Address:"), address);
  QObject::connect(priority, qOverload<int>(&QComboBox::activated), holder,
                   [priority, &p](int i) { p.priority = priority->itemData(i).toInt(); });
  QObject::connect(routing, qOverload<int>(&QComboBox::activated), holder,
                   [routing, &p](int i) { p.routing = routing->itemData(i).toInt(); });
  QObject::connect(early, &QCheckBox::toggled, holder, [&p](bool on) { p.earlyRelease = on; });
  QObject::connect(enable, &QCheckBox::toggled, holder, [address, &p](bool on) {
    p.enable = on;
    address->setEnabled(p.controls().address);
  });
  QObject::connect(address, &QLineEdit::textEdited, holder, [&p](const QString& t) { p.address = t.toStdString(); });
}

// Applies the AppleTalk typing filter to an edit: refused typing restores the text with a beep.
void filterAppleTalk(QLineEdit* edit, bool zone, std::string& value) {
  auto before = std::make_shared<QString>(edit->text());
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, zone, before, &value](const QString& now) {
    const bool replacesAll = now.size() == 1;
    bool accepted = true;
    if (now.size() > before->size() || replacesAll) {
      const int at = std::clamp<int>(edit->cursorPosition() - 1, 0, static_cast<int>(now.size()) - 1);
      const QChar typed = now.isEmpty() ? QChar() : now.at(at);
      accepted = config::CEtherTalkPage::typingAccepted(before->toStdString(), typed.toLatin1(), replacesAll, zone);
    }
    if (!accepted) {
      QApplication::beep();
      const QSignalBlocker b(edit);
      edit->setText(*before);
      return;
    }
    *before = now;
    value = now.toStdString();
  });
}

void buildEtherTalk(QWidget* holder, QFormLayout* form, config::CEtherTalkPage& p, FieldMap& fields,
                    std::function<void(const std::string&)> inform) {
  auto* portLabel = new QLabel(QStringLiteral("&Port Number:"), holder);
  auto* port = makeCombo(holder, "port", fields);
  for (int i = 1; i <= p.portCount(); ++i) port->addItem(QString::number(i), i - 1);
  portLabel->setBuddy(port);
  form->addRow(portLabel, port);
  auto* enabled = new QCheckBox(QStringLiteral("Port &Enabled"), holder);
  enabled->setObjectName(QStringLiteral("enabled"));
  fields["enabled"] = enabled;
  form->addRow(enabled);
  struct Text {
    const char* name;
    const char* label;
    std::string config::CEtherTalkPage::*value;
    bool zone;
  };
  const Text texts[] = {{"name", "&Name:", &config::CEtherTalkPage::name, false},
                        {"type1", "Type &1:", &config::CEtherTalkPage::type1, false},
                        {"type2", "Type &2:", &config::CEtherTalkPage::type2, false},
                        {"zone", "&Zone:", &config::CEtherTalkPage::zone, true}};
  std::vector<QLineEdit*> edits;
  for (const Text& t : texts) {
    auto* e = makeEdit(holder, t.name, fields, static_cast<int>(config::kEtherTalkTextLimit));
    e->setText(q(p.*t.value));
    filterAppleTalk(e, t.zone, p.*t.value);
    form->addRow(QString::fromUtf8(t.label), e);
    edits.push_back(e);
  }
  auto refresh = [=, &p] {
    const config::EtherTalkControls k = p.controls();
    port->setVisible(k.portChoice);
    portLabel->setVisible(k.portChoice);
    enabled->setVisible(k.portChoice);
    {
      const QSignalBlocker b(enabled);
      enabled->setChecked(p.enabled);
    }
    for (std::size_t i = 0; i < edits.size(); ++i) {
      const QSignalBlocker b(edits[i]);
      edits[i]->setText(q(p.*texts[i].value));
      edits[i]->setEnabled(k.fields);
    }
  };
  refresh();
  QObject::connect(enabled, &QCheckBox::toggled, holder, [=, &p](bool on) {
    p.enabled = on;
    refresh();
  });
  QObject::connect(port, qOverload<int>(&QComboBox::activated), holder, [=, &p](int i) {
    const config::PageCheck c = p.selectPort(port->itemData(i).toInt());
    if (!c.ok()) {
      inform(c.message);
      const QSignalBlocker b(port);
      port->setCurrentIndex(p.selectedPort());
    }
    refresh();
  });
}

void buildVines(QWidget* holder, QFormLayout* form, vines::CVinesPage& p, FieldMap& fields,
                std::function<void(const std::string&)> inform) {
  auto streetTalk = [](QLineEdit* e) {
    auto before = std::make_shared<QString>(e->text());
    QObject::connect(e, &QLineEdit::textEdited, e, [e, before](const QString& now) {
      for (const QChar c : now)
        if (!vines::streetTalkCharacterAccepted(c.toLatin1())) {
          QApplication::beep();
          const QSignalBlocker b(e);
          e->setText(*before);
          return;
        }
      *before = now;
    });
  };
  auto* user = makeEdit(holder, "userName", fields, static_cast<int>(vines::kStreetTalkNameLimit));
  user->setText(q(p.userName));
  streetTalk(user);
  QObject::connect(user, &QLineEdit::textChanged, holder, [&p](const QString& t) { p.userName = t.toStdString(); });
  form->addRow(QStringLiteral("&User Name:"), user);
  auto* password = new QPushButton(QStringLiteral("VINES &Password"), holder);
  form->addRow(password);
  QObject::connect(password, &QPushButton::clicked, holder, [holder, &p] {
    std::string text;
    if (runChangePassword(holder, {vines::kVinesPasswordLimit, 0, false}, text)) p.setPassword(text, text);
  });
  for (int k = 0; k < p.slotCount(); ++k) {
    const std::string n = std::to_string(k + 1);
    vines::VinesSlot& slot = p.services[static_cast<std::size_t>(k)];
    auto* name = makeEdit(holder, ("service" + n).c_str(), fields, static_cast<int>(vines::kStreetTalkNameLimit));
    name->setText(q(slot.name));
    streetTalk(name);
    QObject::connect(name, &QLineEdit::textChanged, holder, [&slot](const QString& t) { slot.name = t.toStdString(); });
    auto* port = makeCombo(holder, ("port" + n).c_str(), fields);
    for (int i = 1; i <= p.portCount(); ++i) port->addItem(QString::number(i), i);
    port->setCurrentIndex(port->findData(slot.port));
    port->setVisible(p.portChoice());
    QObject::connect(port, qOverload<int>(&QComboBox::activated), holder,
                     [port, &slot](int i) { slot.port = port->itemData(i).toInt(); });
    auto* row = new QWidget(holder);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(name, 1);
    if (p.portChoice()) {
      auto* label = new QLabel(QStringLiteral("&Port:"), row);
      label->setBuddy(port);
      line->addWidget(label);
    }
    line->addWidget(port);
    form->addRow(QStringLiteral("Print Service %1:").arg(k + 1), row);
  }
  for (auto& [name, widget] : fields)
    if (name != "port") widget->setEnabled(p.controlsEnabled());
  password->setEnabled(p.controlsEnabled());
  if (!p.notice().empty()) inform(p.notice());
}

}  // namespace

bool buildPortPageTab(QWidget* holder, QFormLayout* form, config::CDevicePage& page, FieldMap& fields,
                      std::function<void(const std::string&)> inform) {
  if (auto* p = dynamic_cast<config::COutputPortPage*>(&page)) buildOutputPort(holder, form, *p, fields, inform);
  else if (auto* p = dynamic_cast<config::CTokenRingPage*>(&page)) buildTokenRing(holder, form, *p, fields);
  else if (auto* p = dynamic_cast<config::CEtherTalkPage*>(&page)) buildEtherTalk(holder, form, *p, fields, inform);
  else if (auto* p = dynamic_cast<vines::CVinesPage*>(&page)) buildVines(holder, form, *p, fields, inform);
  else return false;
  return true;
}

}  // namespace configgui
