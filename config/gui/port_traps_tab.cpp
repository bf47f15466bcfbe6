#include "config/gui/port_traps_tab.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <memory>

#include "config/gui/traps_tab.h"

namespace configgui {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void buildPortTrapsTab(QWidget* holder, QFormLayout* form, config::CPortTrapsPage& page,
                       std::function<void(const std::string&)> inform) {
  auto* kinds = new QComboBox(holder);
  kinds->setObjectName(QStringLiteral("trapProtocol"));
  for (const auto& k : page.kinds) kinds->addItem(q(k.name), k.kind);
  form->addRow(QStringLiteral("&Protocol:"), kinds);
  auto* smtp = new QLineEdit(holder);
  smtp->setObjectName(QStringLiteral("smtpServer"));
  auto* smtpLabel = new QLabel(QStringLiteral("&SMTP Server:"), holder);
  form->addRow(smtpLabel, smtp);
  auto* address = new QComboBox(holder);
  address->setObjectName(QStringLiteral("trapAddress"));
  form->addRow(QStringLiteral("&Address:"), address);
  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton(QStringLiteral("A&dd"), holder);
  auto* remove = new QPushButton(QStringLiteral("&Remove"), holder);
  buttons->addWidget(add);
  buttons->addWidget(remove);
  form->addRow(buttons);
  auto* gpio = new QListWidget(holder);
  gpio->setObjectName(QStringLiteral("gpioEvents"));
  form->addRow(QStringLiteral("GPIO &Traps"), gpio);
  auto* ports = new QComboBox(holder);
  ports->setObjectName(QStringLiteral("trapPort"));
  for (int p = 1; p <= page.portCount(); ++p) ports->addItem(QString::number(p));
  form->addRow(QStringLiteral("Po&rt:"), ports);
  auto* events = new QListWidget(holder);
  events->setObjectName(QStringLiteral("portEvents"));
  form->addRow(QStringLiteral("P&ort Traps"), events);

  // Rebuilds every control from the model; `filling` keeps the signals of the rebuild out.
  auto filling = std::make_shared<bool>(false);
  auto refresh = [=, &page] {
    *filling = true;
    const int k = kinds->findData(page.kind);
    if (k >= 0) kinds->setCurrentIndex(k);
    smtp->setText(q(page.smtpServer));
    smtp->setVisible(page.kind == config::kTrapSmtp);
    smtpLabel->setVisible(page.kind == config::kTrapSmtp);
    address->clear();
    for (const auto& d : page.destinations) address->addItem(q(d.text), d.slot);
    address->setCurrentIndex(page.position);
    remove->setEnabled(!page.destinations.empty() && page.destinations.front().slot != config::kNoSlot);
    if (page.port >= 1 && page.port <= ports->count()) ports->setCurrentIndex(page.port - 1);
    auto fill = [](QListWidget* list, const std::vector<config::TrapCheckItem>& items) {
      list->clear();
      for (const auto& item : items) {
        auto* row = new QListWidgetItem(q(item.text), list);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
      }
    };
    fill(gpio, page.gpioEvents);
    fill(events, page.portEvents);
    *filling = false;
  };
  refresh();

  QObject::connect(kinds, qOverload<int>(&QComboBox::currentIndexChanged), holder, [=, &page](int i) {
    if (*filling || i < 0) return;
    page.selectKind(kinds->itemData(i).toInt());
    refresh();
  });
  QObject::connect(address, qOverload<int>(&QComboBox::currentIndexChanged), holder, [=, &page](int i) {
    if (*filling || i < 0) return;
    page.selectDestination(i);
    refresh();
  });
  QObject::connect(ports, qOverload<int>(&QComboBox::currentIndexChanged), holder, [=, &page](int i) {
    if (*filling || i < 0) return;
    page.selectPort(i);
    refresh();
  });
  QObject::connect(smtp, &QLineEdit::textEdited, holder, [&page](const QString& t) { page.smtpServer = t.toStdString(); });
  // The lists are rebuilt from the model, so each edit goes to whatever vector is current.
  auto track = [filling](QListWidget* list, std::vector<config::TrapCheckItem>* items) {
    QObject::connect(list, &QListWidget::itemChanged, list, [list, items, filling](QListWidgetItem* row) {
      if (*filling) return;
      const int r = list->row(row);
      if (r >= 0 && r < static_cast<int>(items->size())) (*items)[static_cast<std::size_t>(r)].checked = row->checkState() == Qt::Checked;
    });
  };
  track(gpio, &page.gpioEvents);
  track(events, &page.portEvents);
  QObject::connect(add, &QPushButton::clicked, holder, [=, &page] {
    config::DestinationEntry entry;
    if (!runTrapDestination(holder, page.kind, entry, inform)) return;
    const config::PageCheck c = page.add(entry);
    if (!c.ok() && inform) inform(c.message);
    refresh();
  });
  QObject::connect(remove, &QPushButton::clicked, holder, [=, &page] {
    page.remove();
    refresh();
  });
}

}  // namespace configgui
