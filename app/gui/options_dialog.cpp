#include "app/gui/options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/gui/message_box_presenter.h"
#include "app/settings.h"
#include "platform/report_error.h"
#include "platform/string_table.h"

OptionsDialog::OptionsDialog(app::COptionsPropertySheet& sheet, QWidget* owner) : QDialog(owner), sheet_(sheet) {
  setWindowTitle(app::COptionsPropertySheet::kTitle);
  setObjectName("optionsDialog");
  tabs_ = new QTabWidget(this);
  tabs_->addTab(accessPage(), app::COptionsPropertySheet::kPageTitles[0]);
  tabs_->addTab(iconsPage(), app::COptionsPropertySheet::kPageTitles[1]);
  tabs_->addTab(miscPage(), app::COptionsPropertySheet::kPageTitles[2]);
  tabs_->addTab(timeoutsPage(), app::COptionsPropertySheet::kPageTitles[3]);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &OptionsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  askPattern = [this](const std::string& prompt) -> std::optional<std::string> {
    bool ok = false;
    const QString v = QInputDialog::getText(this, "Add an Access Entry", QString::fromStdString(prompt),
                                            QLineEdit::Normal, {}, &ok);
    if (!ok) return std::nullopt;
    return v.trimmed().toStdString();
  };
  askYesNo = [](const std::string& q) { return gui::askYesNo(q, false); };
}

// --- Device Access ---------------------------------------------------------------------------

QWidget* OptionsDialog::accessPage() {
  auto* page = new QWidget(this);
  app::CDeviceAccessPage& a = sheet_.access();
  protocol_ = new QComboBox(page);
  protocol_->setObjectName("accessProtocol");
  for (const auto& p : a.protocols()) protocol_->addItem(p.name);
  addresses_ = new QListWidget(page);
  addresses_->setObjectName("accessAddresses");
  add_ = new QPushButton("A&dd", page);
  add_->setObjectName("accessAdd");
  delete_ = new QPushButton("&Delete", page);
  delete_->setObjectName("accessDelete");
  // Communities are typed and kept, never shown in clear.
  get_ = new QLineEdit(page);
  get_->setObjectName("accessGet");
  get_->setEchoMode(QLineEdit::Password);
  get_->setMaxLength(32);
  set_ = new QLineEdit(page);
  set_->setObjectName("accessSet");
  set_->setEchoMode(QLineEdit::Password);
  set_->setMaxLength(32);
  auto* form = new QFormLayout;
  form->addRow("&Protocol:", protocol_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add_);
  buttons->addWidget(delete_);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(form);
  auto* addressLabel = new QLabel("&Address:", page);
  addressLabel->setBuddy(addresses_);
  layout->addWidget(addressLabel);
  layout->addWidget(addresses_);
  layout->addLayout(buttons);
  auto* communities = new QFormLayout;
  communities->addRow("&Get Community Name:", get_);
  communities->addRow("&Set Community Name:", set_);
  layout->addLayout(communities);

  connect(protocol_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (filling_) return;
    sheet_.access().selectProtocol(i);
    showAccess();
  });
  connect(addresses_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (filling_ || row < 0) return;
    sheet_.access().selectEntry(row);
    showCommunities();
  });
  auto store = [this] {
    if (!filling_) sheet_.access().setCommunities(get_->text().toStdString(), set_->text().toStdString());
  };
  connect(get_, &QLineEdit::textEdited, this, store);
  connect(set_, &QLineEdit::textEdited, this, store);
  connect(add_, &QPushButton::clicked, this, [this] {
    while (auto pattern = askPattern(sheet_.access().addPrompt())) {
      const std::uint32_t refused = sheet_.access().addEntry(*pattern);
      if (refused == 0) break;
      const char* text = platform::loadString(refused);
      gui::showWarning(text ? text : "The IP address is invalid.");
    }
    showAccess();
  });
  connect(delete_, &QPushButton::clicked, this, [this] {
    if (sheet_.access().selectedEntry() <= 0) return;
    if (!askYesNo(app::kDeleteAccessQuestion)) return;
    sheet_.access().deleteSelected();
    showAccess();
  });
  showAccess();
  return page;
}

void OptionsDialog::showAccess() {
  filling_ = true;
  app::CDeviceAccessPage& a = sheet_.access();
  protocol_->setCurrentIndex(a.protocolIndex());
  addresses_->clear();
  for (const auto& s : a.addresses()) addresses_->addItem(QString::fromStdString(s));
  addresses_->setCurrentRow(a.selectedEntry());
  add_->setEnabled(a.canAddDelete());
  delete_->setEnabled(a.canAddDelete());
  filling_ = false;
  showCommunities();
}

void OptionsDialog::showCommunities() {
  filling_ = true;
  get_->setText(QString::fromStdString(sheet_.access().getCommunity()));
  set_->setText(QString::fromStdString(sheet_.access().setCommunity()));
  filling_ = false;
}

// --- Status Icons ----------------------------------------------------------------------------

QWidget* OptionsDialog::iconsPage() {
  auto* page = new QWidget(this);
  icons_ = new QTreeWidget(page);
  icons_->setObjectName("statusIcons");
  icons_->setRootIsDecorated(false);
  icons_->setHeaderLabels({"System Status Value", "Error Level"});
  icons_->setColumnWidth(0, 150);
  icons_->setColumnWidth(1, 80);
  for (int r = 0; r < app::CIconsPage::rowCount(); ++r) new QTreeWidgetItem(icons_, {app::CIconsPage::rowText(r), ""});
  auto* buttons = new QHBoxLayout;
  const char* labels[] = {"&Normal", "&Warning", "&Error"};
  for (int level = 1; level <= 3; ++level) {
    auto* b = new QPushButton(labels[level - 1], page);
    b->setObjectName(QString("iconLevel%1").arg(level));
    connect(b, &QPushButton::clicked, this, [this, level] {
      const int row = icons_->indexOfTopLevelItem(icons_->currentItem());
      if (row < 0) return;
      sheet_.icons().setLevel(row, level);
      showIcons();
    });
    buttons->addWidget(b);
  }
  appIcon_ = new QCheckBox("Change application icon color on Warning or Error", page);
  appIcon_->setObjectName("appIcon");
  appIcon_->setChecked(sheet_.icons().appIcon());
  connect(appIcon_, &QCheckBox::toggled, this, [this](bool on) { sheet_.icons().setAppIcon(on); });
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(icons_);
  layout->addWidget(new QLabel(devices::kStatusIconsNote, page));
  layout->addLayout(buttons);
  layout->addWidget(appIcon_);
  showIcons();
  return page;
}

void OptionsDialog::showIcons() {
  for (int r = 0; r < app::CIconsPage::rowCount(); ++r)
    icons_->topLevelItem(r)->setText(1, devices::statusWord(sheet_.icons().level(r)));
}

// --- Miscellaneous ---------------------------------------------------------------------------

QWidget* OptionsDialog::miscPage() {
  auto* page = new QWidget(this);
  app::CMiscPage& m = sheet_.misc();
  doubleClick_ = new QComboBox(page);
  doubleClick_->setObjectName("doubleClick");
  for (const auto& c : app::kDoubleClickChoices) {
    doubleClick_->addItem(c.text, c.command);
    if (c.command == m.doubleClick) doubleClick_->setCurrentIndex(doubleClick_->count() - 1);
  }
  port_ = new QComboBox(page);
  port_->setObjectName("discoveryPort");
  for (std::uint32_t p : m.portChoices()) {
    port_->addItem(QString::number(p), p);
    if (p == m.discoveryPort) port_->setCurrentIndex(port_->count() - 1);
  }
  refresh_ = new QComboBox(page);
  refresh_->setObjectName("refreshAlways");
  for (const char* t : app::kRefreshChoices) refresh_->addItem(t);
  refresh_->setCurrentIndex(m.refreshAlways ? 1 : 0);
  connect(doubleClick_, &QComboBox::currentIndexChanged, this,
          [this] { sheet_.misc().doubleClick = doubleClick_->currentData().toUInt(); });
  connect(port_, &QComboBox::currentIndexChanged, this, [this] { sheet_.misc().discoveryPort = port_->currentData().toUInt(); });
  connect(refresh_, &QComboBox::currentIndexChanged, this, [this](int i) { sheet_.misc().refreshAlways = i == 1 ? 1 : 0; });
  auto* form = new QFormLayout(page);
  form->addRow("Main List Double Click Behavior:", doubleClick_);
  form->addRow("&TCP/IP Discovery Port:", port_);
  form->addRow("When Opening a View:", refresh_);
  quickSearch_ = new QCheckBox(app::kQuickSearchLabel, page);
  quickSearch_->setObjectName("quickSearch");
  quickSearch_->setChecked(m.quickSearch != 0);
  connect(quickSearch_, &QCheckBox::toggled, this, [this](bool on) { sheet_.misc().quickSearch = on ? 1 : 0; });
  form->addRow(quickSearch_);
  return page;
}

// --- Timeouts --------------------------------------------------------------------------------

QWidget* OptionsDialog::timeoutsPage() {
  auto* page = new QWidget(this);
  auto* form = new QFormLayout;
  for (int f = 0; f < 6; ++f) {
    auto* spin = new QSpinBox(page);
    spin->setObjectName(QString("timeout%1").arg(app::kTimeoutFields[static_cast<std::size_t>(f)].name));
    const auto [lo, hi] = app::CTimeoutPage::range(f);
    spin->setRange(static_cast<int>(lo), static_cast<int>(hi));
    timeouts_[f] = spin;
    connect(spin, &QSpinBox::valueChanged, this, [this, f](int v) {
      if (!filling_) sheet_.timeouts().setValue(f, static_cast<std::uint32_t>(v));
    });
    form->addRow(app::kTimeoutFields[static_cast<std::size_t>(f)].label, spin);
  }
  auto* defaults = new QPushButton("Set To &Defaults", page);
  defaults->setObjectName("timeoutDefaults");
  connect(defaults, &QPushButton::clicked, this, [this] {
    sheet_.timeouts().setDefaults();
    showTimeouts();
  });
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(form);
  layout->addWidget(defaults);
  showTimeouts();
  return page;
}

void OptionsDialog::showTimeouts() {
  filling_ = true;
  for (int f = 0; f < 6; ++f) timeouts_[f]->setValue(static_cast<int>(sheet_.timeouts().value(f)));
  filling_ = false;
}

void OptionsDialog::accept() {
  applied_ = sheet_.ok(app::globalSettings());
  if (!applied_.ok) {
    if (applied_.page >= 0) tabs_->setCurrentIndex(applied_.page);
    gui::showWarning(applied_.error);
    return;
  }
  QDialog::accept();
}
