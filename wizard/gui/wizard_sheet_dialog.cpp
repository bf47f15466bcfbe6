#include "wizard/gui/wizard_sheet_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "config/gui/wireless_tab.h"
#include "wizard/gui/vines_page_widget.h"
#include "wizard/gui/welcome_page_widget.h"

namespace wizardgui {

namespace {

using config::ListItem;

QString qs(const std::string& s) { return QString::fromStdString(s); }

QComboBox* combo(QWidget* parent, const char* name, const std::vector<ListItem>& items) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  for (const ListItem& i : items) c->addItem(qs(i.text), i.data);
  return c;
}

void select(QComboBox* c, int value) { c->setCurrentIndex(c->findData(value)); }

QLineEdit* edit(QWidget* parent, const char* name, int maxLength = 0) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  if (maxLength > 0) e->setMaxLength(maxLength);
  return e;
}

}  // namespace

CWzWizardSheet::CWzWizardSheet(wizard::WizardFlow& flow, const QString& title, QWidget* parent)
    : QDialog(parent), flow_(flow) {
  setWindowTitle(title);
  setObjectName("wizardSheet");
  hooks_.inform = [this](const std::string& text) {
    QMessageBox::information(this, windowTitle(), qs(text));
  };
  hooks_.ask = [this](const std::string& text) {
    return QMessageBox::question(this, windowTitle(), qs(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  };
  hooks_.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  auto* layout = new QVBoxLayout(this);
  heading_ = new QLabel(this);
  heading_->setObjectName("heading");
  QFont f = heading_->font();
  f.setBold(true);
  heading_->setFont(f);
  layout->addWidget(heading_);
  stack_ = new QStackedWidget(this);
  layout->addWidget(stack_, 1);
  auto* buttons = new QHBoxLayout;
  back_ = new QPushButton(tr("< &Back"), this);
  next_ = new QPushButton(tr("&Next >"), this);
  finish_ = new QPushButton(tr("Finish"), this);
  cancel_ = new QPushButton(tr("Cancel"), this);
  back_->setObjectName("back");
  next_->setObjectName("next");
  finish_->setObjectName("finish");
  cancel_->setObjectName("cancel");
  buttons->addStretch(1);
  for (QPushButton* b : {back_, next_, finish_, cancel_}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(back_, &QPushButton::clicked, this, &CWzWizardSheet::goBack);
  connect(next_, &QPushButton::clicked, this, &CWzWizardSheet::goNext);
  connect(finish_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  buildPages();
  showCurrent();
  resize(sizeHint().expandedTo(QSize(560, 440)));
}

void CWzWizardSheet::inform(const std::string& text) {
  if (hooks_.inform) hooks_.inform(text);
}

void CWzWizardSheet::buildPages() {
  using namespace wizard;
  for (CWzPage* page : flow_.pages()) {
    auto* w = new QWidget(stack_);
    auto* v = new QVBoxLayout(w);
    const int id = page->id();
    w->setObjectName(QString("page%1").arg(id));
    switch (id) {
      case kWelcomeId:
        loaders_[id] = buildWelcomePage(w, flow_.welcomePage(), hooks_);
        break;
      case kProtocolsId: {
        auto* list = new QListWidget(w);
        list->setObjectName("protocols");
        auto* notice = new QLabel(w);
        notice->setObjectName("notice");
        notice->setWordWrap(true);
        v->addWidget(list, 1);
        v->addWidget(notice);
        connect(list, &QListWidget::itemChanged, this, [this, list](QListWidgetItem* item) {
          if (loading_) return;
          if (!flow_.setProtocolChecked(list->row(item), item->checkState() == Qt::Checked)) refresh(kProtocolsId);
        });
        loaders_[id] = [this, list, notice] {
          CWzProtocolDlg& p = flow_.protocolPage();
          list->clear();
          for (std::size_t i = 0; i < p.entries().size(); ++i) {
            auto* item = new QListWidgetItem(qs(p.entries()[i].name), list);
            Qt::ItemFlags flags = Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
            if (!p.locked(static_cast<int>(i))) flags |= Qt::ItemIsEnabled;
            item->setFlags(flags);
            item->setCheckState(p.checks()[i] ? Qt::Checked : Qt::Unchecked);
          }
          notice->setText(qs(p.notice()));
        };
        break;
      }
      case kTcpIpId: {
        auto* permanent = new QRadioButton(tr("Use a &Permanent IP Address"), w);
        auto* network = new QRadioButton(tr("Get &IP Address from Network Protocol (DHCP, BOOTP, RARP, Gleaning)"), w);
        permanent->setObjectName("permanent");
        network->setObjectName("network");
        auto* form = new QFormLayout;
        QLineEdit* address = edit(w, "address");
        QLineEdit* mask = edit(w, "mask");
        QLineEdit* gateway = edit(w, "gateway");
        form->addRow(tr("IP &Address:"), address);
        form->addRow(tr("&Subnet Mask:"), mask);
        form->addRow(tr("Default &Gateway:"), gateway);
        v->addWidget(permanent);
        v->addWidget(network);
        v->addLayout(form);
        v->addStretch(1);
        CWzTcpIpDlg& t = flow_.tcpIpPage();
        auto enable = [=] {
          for (QLineEdit* e : {address, mask, gateway}) e->setEnabled(permanent->isChecked());
        };
        connect(permanent, &QRadioButton::toggled, this, [this, &t, permanent, enable] {
          if (!loading_) t.setDynamic(!permanent->isChecked());
          enable();
        });
        connect(address, &QLineEdit::textEdited, this, [&t](const QString& s) { t.setAddress(s.toStdString()); });
        connect(mask, &QLineEdit::textEdited, this, [&t](const QString& s) { t.setMask(s.toStdString()); });
        connect(gateway, &QLineEdit::textEdited, this, [&t](const QString& s) { t.setGateway(s.toStdString()); });
        loaders_[id] = [&t, permanent, network, address, mask, gateway, enable] {
          (t.dynamic() ? network : permanent)->setChecked(true);
          address->setText(qs(t.address()));
          mask->setText(qs(t.mask()));
          gateway->setText(qs(t.gateway()));
          enable();
        };
        break;
      }
      case kEtherTalkId: {
        CWzEtherTalkDlg& e = flow_.etherTalkPage();
        auto* form = new QFormLayout;
        auto* port = new QComboBox(w);
        port->setObjectName("port");
        QLineEdit* name = edit(w, "name", 32);
        QLineEdit* zone = edit(w, "zone", 32);
        form->addRow(tr("Output &Port:"), port);
        form->addRow(tr("Port N&ame:"), name);
        form->addRow(tr("EtherTalk &Zone:"), zone);
        v->addLayout(form);
        v->addStretch(1);
        connect(name, &QLineEdit::textEdited, this, [&e](const QString& s) { e.setName(s.toStdString()); });
        connect(zone, &QLineEdit::textEdited, this, [&e](const QString& s) { e.setZone(s.toStdString()); });
        connect(port, &QComboBox::currentIndexChanged, this, [this, &e, name, zone](int index) {
          if (loading_) return;
          e.selectPort(index);
          name->setText(qs(e.name()));
          zone->setText(qs(e.zone()));
        });
        loaders_[id] = [&e, port, name, zone] {
          port->clear();
          for (int i = 1; i <= e.portCount(); ++i) port->addItem(QString::number(i), i);
          port->setCurrentIndex(e.selectedPort());
          name->setText(qs(e.name()));
          zone->setText(qs(e.zone()));
        };
        break;
      }
      case kSerialId: {
        CWzSerialDlg& s = flow_.serialPage();
        SerialControls& c = s.controls();
        auto* form = new QFormLayout;
        struct Pick {
          const char* label;
          const char* name;
          const std::vector<ListItem>& items;
          std::int32_t* field;
        };
        const Pick picks[] = {
            {"Mode:", "mode", SerialLists::modes(), &c.mode},
            {"Duplex:", "duplex", SerialLists::duplex(), &c.duplex},
            {"Character Bits:", "dataBits", SerialLists::dataBits(), &c.dataBits},
            {"Stop Bits:", "stopBits", SerialLists::stopBits(), &c.stopBits},
            {"Parity:", "parity", SerialLists::parities(), &c.parity},
            {"Speed:", "speed", SerialLists::speeds(), &c.speed},
            {"Flow Control:", "flow", SerialLists::flows(), &c.flow},
            {"Modbus:", "modbus", SerialLists::onOff(), &c.modbus},
            {"Attached Serial Device Type:", "deviceType", SerialLists::deviceTypes(), &c.deviceType},
            {"Modbus/TCP Exception:", "tcpException", SerialLists::onOff(), &c.tcpException},
            {"Auto Slave ID:", "autoSlaveId", SerialLists::onOff(), &c.autoSlaveId},
        };
        std::vector<std::pair<QComboBox*, std::int32_t*>> combos;
        for (const Pick& p : picks) {
          QComboBox* box = combo(w, p.name, p.items);
          form->addRow(tr(p.label), box);
          combos.push_back({box, p.field});
        }
        struct Field {
          const char* label;
          const char* name;
          std::string* text;
          int max;
        };
        const Field fields[] = {{"Initial Delay Time:", "initialDelay", &c.initialDelay, 4},
                                {"Character Timeout:", "charTimeout", &c.charTimeout, 4},
                                {"Message Timeout:", "messageTimeout", &c.messageTimeout, 4},
                                {"Slave ID:", "slaveId", &c.slaveId, 3}};
        std::vector<std::pair<QLineEdit*, std::string*>> edits;
        for (const Field& fd : fields) {
          QLineEdit* e = edit(w, fd.name, fd.max);
          form->addRow(tr(fd.label), e);
          edits.push_back({e, fd.text});
        }
        v->addLayout(form);
        auto enable = [w, &s] {
          w->findChild<QComboBox*>("duplex")->setEnabled(s.duplexEnabled());
          for (const char* n : {"deviceType", "tcpException", "autoSlaveId"})
            w->findChild<QComboBox*>(n)->setEnabled(s.modbusEnabled());
          for (const char* n : {"initialDelay", "charTimeout", "messageTimeout"})
            w->findChild<QLineEdit*>(n)->setEnabled(s.modbusEnabled());
          w->findChild<QLineEdit*>("slaveId")->setEnabled(s.slaveIdEnabled());
        };
        for (auto [box, field] : combos)
          connect(box, &QComboBox::currentIndexChanged, this, [this, &s, box, field, enable] {
            if (loading_) return;
            *field = box->currentData().toInt();
            s.edited();
            enable();
          });
        for (auto [e, text] : edits)
          connect(e, &QLineEdit::textEdited, this, [&s, text](const QString& t) {
            *text = t.toStdString();
            s.edited();
          });
        loaders_[id] = [combos, edits, enable] {
          for (auto [box, field] : combos) select(box, *field);
          for (auto [e, text] : edits) e->setText(qs(*text));
          enable();
        };
        break;
      }
      case kWirelessId: {
        CWzWirelessDlg& wl = flow_.wirelessPage();
        auto* intro = new QLabel(kWirelessIntro, w);
        intro->setWordWrap(true);
        v->addWidget(intro);
        auto* holder = new QWidget(w);
        auto* form = new QFormLayout(holder);
        v->addWidget(holder);
        v->addStretch(1);
        // The sheet's Wireless tab on the same model: its lists and rules; every edit marks the
        // wizard page changed.
        loaders_[id] = [this, &wl, holder, form] {
          if (holder->property("built").toBool()) return;
          holder->setProperty("built", true);
          configgui::buildWirelessTab(holder, form, wl.model(), [this](const std::string& t) { inform(t); });
          for (QComboBox* box : holder->findChildren<QComboBox*>())
            connect(box, &QComboBox::activated, this, [&wl] { wl.edited(); });
          for (QLineEdit* e : holder->findChildren<QLineEdit*>())
            connect(e, &QLineEdit::textEdited, this, [&wl] { wl.edited(); });
          shownSecurity_ = wl.model().security;
        };
        break;
      }
      case kVinesId:
        loaders_[id] = buildVinesPage(w, flow_.vinesPage(), hooks_);
        break;
      case kFinishId: {
        auto* intro = new QLabel(kVerifyIntro, w);
        intro->setWordWrap(true);
        summary_ = new QPlainTextEdit(w);
        summary_->setObjectName("summary");
        summary_->setReadOnly(true);
        v->addWidget(intro);
        v->addWidget(summary_, 1);
        loaders_[id] = [this] {
          QString text = qs(flow_.finishText());
          text.replace("\r\n", "\n");
          summary_->setPlainText(text);
        };
        break;
      }
      default: {
        auto* text = new QLabel(qs(page->title()), w);
        v->addWidget(text);
        break;
      }
    }
    stack_->addWidget(w);
    pages_[id] = w;
  }
}

void CWzWizardSheet::refresh(int id) {
  const auto it = loaders_.find(id);
  if (it == loaders_.end()) return;
  loading_ = true;
  (*it)();
  loading_ = false;
}

void CWzWizardSheet::showCurrent() {
  const int id = flow_.currentId();
  if (wizard::CWzPage* page = flow_.current()) heading_->setText(qs(page->title()));
  refresh(id);
  if (QWidget* w = pages_.value(id, nullptr)) stack_->setCurrentWidget(w);
  back_->setEnabled(!flow_.onFirst());
  next_->setEnabled(!flow_.onLast());
  finish_->setEnabled(flow_.onLast());
}

void CWzWizardSheet::goNext() {
  if (flow_.currentId() == wizard::kWirelessId && flow_.wirelessPage().model().security != shownSecurity_)
    flow_.wirelessPage().edited();  // OK in the security dialog
  const config::PageCheck c = flow_.next();
  if (!c.ok() && wizard::CWzBanyanDlg::isMismatchQuestion(c) && !(hooks_.ask && hooks_.ask(c.message))) {
    // No to "try again?": the password is dropped, and the page is left without it.
    inform(flow_.vinesPage().dropPassword());
    refresh(flow_.currentId());
    goNext();
    return;
  }
  if (!c.ok()) {
    inform(c.message);
    if (QWidget* w = pages_.value(flow_.currentId(), nullptr))
      if (auto* field = w->findChild<QLineEdit*>(qs(c.field))) {
        field->setText(field->text());
        field->selectAll();
        field->setFocus();
      }
    return;
  }
  showCurrent();
}

void CWzWizardSheet::goBack() {
  if (flow_.currentId() == wizard::kWirelessId && flow_.wirelessPage().model().security != shownSecurity_)
    flow_.wirelessPage().edited();
  const config::PageCheck c = flow_.back();
  if (!c.ok()) {
    inform(c.message);
    return;
  }
  showCurrent();
}

}  // namespace wizardgui
