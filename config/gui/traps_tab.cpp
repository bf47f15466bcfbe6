#include "config/gui/traps_tab.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace configgui {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

bool runTrapDestination(QWidget* parent, int kind, config::DestinationEntry& entry,
                        const std::function<void(const std::string&)>& inform) {
  const config::DestinationFields f = config::destinationFields(kind);
  std::string focus = "first";
  for (;;) {
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("Trap Destination"));
    auto* form = new QFormLayout(&d);
    auto* first = new QLineEdit(q(entry.first), &d);
    first->setMaxLength(static_cast<int>(f.firstLimit));
    form->addRow(QString::fromUtf8(f.firstLabel), first);
    auto* second = new QLineEdit(q(entry.second), &d);
    if (f.secondLabel) {
      second->setMaxLength(static_cast<int>(f.secondLimit));
      form->addRow(QString::fromUtf8(f.secondLabel), second);
    } else {
      second->hide();
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &d);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    QLineEdit* focused = focus == "second" ? second : first;
    focused->setFocus();
    focused->selectAll();
    if (d.exec() != QDialog::Accepted) return false;
    entry.first = first->text().toStdString();
    entry.second = second->text().toStdString();
    std::string list;
    const config::PageCheck c = config::checkDestination(kind, entry, list);
    if (c.ok()) return true;
    if (inform) inform(c.message);
    focus = c.field;
  }
}

void buildTrapsTab(QWidget* holder, QFormLayout* form, config::CSnmpTrapsPage& page,
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
  auto* addressLabel = new QLabel(holder);
  form->addRow(addressLabel, address);
  addressLabel->setBuddy(address);  // the label text changes with the protocol: keep its mnemonic
  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton(QStringLiteral("A&dd"), holder);
  auto* edit = new QPushButton(QStringLiteral("&Edit"), holder);
  auto* remove = new QPushButton(QStringLiteral("&Remove"), holder);
  buttons->addWidget(add);
  buttons->addWidget(edit);
  buttons->addWidget(remove);
  form->addRow(buttons);
  auto* ports = new QListWidget(holder);
  ports->setObjectName(QStringLiteral("trapPorts"));
  auto* events = new QListWidget(holder);
  events->setObjectName(QStringLiteral("trapEvents"));
  form->addRow(QStringLiteral("P&orts to Trap"), ports);
  form->addRow(QStringLiteral("Printer &Traps"), events);

  // Rebuilds every control from the model; `filling` keeps the signals of the rebuild out.
  auto filling = std::make_shared<bool>(false);
  auto refresh = [=, &page] {
    *filling = true;
    smtp->setText(q(page.smtpServer));
    smtp->setVisible(page.smtpServerShown());
    smtpLabel->setVisible(page.smtpServerShown());
    addressLabel->setText(q(page.addressLabel()));
    address->clear();
    for (const auto& d : page.destinations) address->addItem(q(d.text), d.slot);
    address->setCurrentIndex(page.position);
    add->setEnabled(page.addEnabled());
    edit->setEnabled(page.editEnabled());
    remove->setEnabled(page.removeEnabled());
    auto fill = [](QListWidget* list, const std::vector<config::TrapCheckItem>& items) {
      list->clear();
      for (const auto& item : items) {
        auto* row = new QListWidgetItem(q(item.text), list);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        row->setCheckState(item.checked ? Qt::Checked : Qt::Unchecked);
      }
    };
    fill(ports, page.ports);
    fill(events, page.events);
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
  QObject::connect(smtp, &QLineEdit::textEdited, holder, [&page](const QString& t) { page.smtpServer = t.toStdString(); });
  auto track = [filling](QListWidget* list, std::vector<config::TrapCheckItem>& items) {
    QObject::connect(list, &QListWidget::itemChanged, list, [list, &items, filling](QListWidgetItem* row) {
      if (*filling) return;
      const int r = list->row(row);
      if (r >= 0 && r < static_cast<int>(items.size())) items[static_cast<std::size_t>(r)].checked = row->checkState() == Qt::Checked;
    });
  };
  track(ports, page.ports);
  track(events, page.events);
  QObject::connect(add, &QPushButton::clicked, holder, [=, &page] {
    if (const config::PageCheck full = page.canAdd(); !full.ok()) {
      if (inform) inform(full.message);
      return;
    }
    config::DestinationEntry entry;
    if (!runTrapDestination(holder, page.kind, entry, inform)) return;
    const config::PageCheck c = page.add(entry);
    if (!c.ok() && inform) inform(c.message);
    refresh();
  });
  QObject::connect(edit, &QPushButton::clicked, holder, [=, &page] {
    config::DestinationEntry entry = page.selectedEntry();
    if (!runTrapDestination(holder, page.kind, entry, inform)) return;
    page.edit(entry);
    refresh();
  });
  QObject::connect(remove, &QPushButton::clicked, holder, [=, &page] {
    page.remove();
    refresh();
  });
}

}  // namespace configgui
