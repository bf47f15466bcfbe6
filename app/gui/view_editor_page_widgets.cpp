#include "app/gui/view_editor_page_widgets.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/gui/create_folder_dialog.h"
#include "app/gui/node_tree_widget.h"
#include "app/view_editor_pages.h"
#include "app/view_manager.h"
#include "devices/device_column.h"
#include "platform/report_error.h"

namespace {
// A label whose mnemonic moves the focus to `buddy`.
QLabel* labelFor(const char* text, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setBuddy(buddy);
  return l;
}
QString title(int column) {
  return devices::isColumnIndex(column) ? QString::fromUtf8(devices::columnTitle(column)) : QStringLiteral("<No Filter>");
}
void fillColumns(QListWidget* list, const std::vector<int>& columns) {
  list->clear();
  for (int c : columns) {
    auto* item = new QListWidgetItem(title(c), list);
    item->setData(Qt::UserRole, c);
  }
}
}  // namespace

// --- "New View" ------------------------------------------------------------------------------

NewViewPageWidget::NewViewPageWidget(app::CNewViewPage& page, QWidget* parent) : QWidget(parent), page_(page) {
  name_ = new QLineEdit(this);
  name_->setObjectName("newViewName");
  protocol_ = new QComboBox(this);
  protocol_->setObjectName("newViewProtocol");
  for (const auto& p : page_.protocols()) protocol_->addItem(p.name);
  defaults_ = new QCheckBox(app::kDefaultViewCheckText, this);
  defaults_->setObjectName("newViewDefaults");
  auto* form = new QFormLayout(this);
  form->addRow("&View Name:", name_);
  form->addRow("Discovery &Protocol:", protocol_);
  form->addRow(defaults_);
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& t) { page_.name = t.toStdString(); });
  connect(protocol_, &QComboBox::currentIndexChanged, this, [this](int i) { page_.protocol = i; });
  connect(defaults_, &QCheckBox::toggled, this, [this](bool on) {
    page_.defaults = on;
    emit defaultsToggled(on);
  });
  refill();
}

void NewViewPageWidget::refill() {
  name_->setText(QString::fromStdString(page_.name));
  protocol_->setCurrentIndex(page_.protocol);
  defaults_->setChecked(page_.defaults);
}

// --- "Filters" -------------------------------------------------------------------------------

FiltersPageWidget::FiltersPageWidget(app::CFiltersPage& page, std::function<std::vector<std::string>()> specifyDevice,
                                     QWidget* parent)
    : QWidget(parent), page_(page), specifyDevice_(std::move(specifyDevice)) {
  local_ = new QCheckBox("Search &Local Network", this);
  local_->setObjectName("filtersLocal");
  list_ = new QCheckBox("&Specify Devices/Networks", this);
  list_->setObjectName("filtersList");
  entries_ = new QListWidget(this);
  entries_->setObjectName("filtersEntries");
  add_ = new QPushButton("&Add...", this);
  add_->setObjectName("filtersAdd");
  delete_ = new QPushButton("&Delete", this);
  delete_->setObjectName("filtersDelete");
  port_ = new QComboBox(this);
  port_->setObjectName("filtersPort");
  for (const auto& p : app::CFiltersPage::serialPorts()) port_->addItem(QString::fromStdString(p));
  filter_ = new QComboBox(this);
  filter_->setObjectName("filtersColumn");
  valueStack_ = new QStackedWidget(this);
  // The one-line editor keeps its height at the top of the value area.
  auto* textBox = new QWidget(valueStack_);
  auto* textLayout = new QVBoxLayout(textBox);
  textLayout->setContentsMargins(0, 0, 0, 0);
  value_ = new QLineEdit(textBox);
  value_->setObjectName("filtersValue");
  textLayout->addWidget(value_);
  textLayout->addStretch();
  values_ = new QListWidget(valueStack_);
  values_->setObjectName("filtersValues");
  values_->setSelectionMode(QAbstractItemView::MultiSelection);
  valueStack_->addWidget(textBox);
  valueStack_->addWidget(values_);
  note_ = new QLabel(this);
  note_->setObjectName("filtersNote");
  note_->setWordWrap(true);

  auto* search = new QGridLayout;
  search->addWidget(local_, 0, 0, 1, 2);
  search->addWidget(list_, 1, 0, 1, 2);
  search->addWidget(entries_, 2, 0, 3, 1);
  search->addWidget(add_, 2, 1);
  search->addWidget(delete_, 3, 1);
  portLabel_ = labelFor("Select &Port to Add:", port_, this);
  search->addWidget(portLabel_, 5, 0);
  search->addWidget(port_, 5, 1);
  auto* form = new QFormLayout;
  form->addRow("Display Filter:", filter_);
  form->addRow("&Value:", valueStack_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(search);
  layout->addLayout(form);
  layout->addWidget(note_);

  connect(local_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) page_.localSearch = on;
  });
  connect(list_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    page_.listSearch = on;
    refill();
  });
  connect(add_, &QPushButton::clicked, this, [this] {
    if (page_.serial()) {
      page_.addEntry(port_->currentText().toStdString());
    } else if (specifyDevice_) {
      for (const std::string& entry : specifyDevice_()) page_.addEntry(entry);  // NetWare skips repeats
    }
    refill();
  });
  connect(delete_, &QPushButton::clicked, this, [this] {
    if (const int code = page_.deleteEntry(entries_->currentRow()); code != 0)
      platform::ReportError(static_cast<std::uint32_t>(code), platform::kErrorView);
    refill();
  });
  connect(filter_, &QComboBox::currentIndexChanged, this, [this] {
    if (filling_) return;
    page_.setFilterColumn(filter_->currentData().toInt());
    showValues();
  });
  connect(value_, &QLineEdit::textEdited, this, [this](const QString& t) { page_.setValueText(t.toStdString()); });
  connect(values_, &QListWidget::itemSelectionChanged, this, [this] {
    if (filling_) return;
    std::vector<std::string> chosen;
    for (int i = 0; i < values_->count(); ++i)
      if (values_->item(i)->isSelected()) chosen.push_back(values_->item(i)->text().toStdString());
    page_.setSelectedValues(std::move(chosen));
  });
  refill();
}

void FiltersPageWidget::refill() {
  filling_ = true;
  local_->setChecked(page_.localSearch);
  local_->setEnabled(!page_.localLocked());
  list_->setChecked(page_.listSearch);
  entries_->clear();
  for (const auto& e : page_.entries()) entries_->addItem(QString::fromStdString(e));
  entries_->setEnabled(page_.listEnabled());
  add_->setEnabled(page_.listEnabled());
  delete_->setEnabled(page_.listEnabled());
  port_->setVisible(page_.serial());
  portLabel_->setVisible(page_.serial());
  filter_->clear();
  for (int c : page_.filterColumns()) {
    filter_->addItem(title(c), c);
    if (c == page_.filterColumn()) filter_->setCurrentIndex(filter_->count() - 1);
  }
  filter_->setEnabled(page_.filterEnabled());
  filling_ = false;
  showValues();
}

void FiltersPageWidget::showValues() {
  filling_ = true;
  const bool text = page_.valueKind() == devices::FilterValueKind::FreeText;
  valueStack_->setCurrentWidget(text ? value_->parentWidget() : static_cast<QWidget*>(values_));
  valueStack_->setEnabled(page_.filterEnabled() && devices::isColumnIndex(page_.filterColumn()));
  value_->setText(QString::fromStdString(page_.valueText()));
  values_->clear();
  for (const auto& v : page_.valueChoices()) {
    auto* item = new QListWidgetItem(QString::fromStdString(v), values_);
    const auto& sel = page_.selectedValues();
    item->setSelected(std::find(sel.begin(), sel.end(), v) != sel.end());
  }
  note_->setText(QString::fromStdString(page_.note()).trimmed());
  filling_ = false;
}

// --- "Columns" -------------------------------------------------------------------------------

ColumnsPageWidget::ColumnsPageWidget(app::CColumnsPage& page, QWidget* parent) : QWidget(parent), page_(page) {
  available_ = new QListWidget(this);
  available_->setObjectName("columnsAvailable");
  printer_ = new QListWidget(this);
  printer_->setObjectName("columnsPrinter");
  displayed_ = new QListWidget(this);
  displayed_->setObjectName("columnsDisplayed");
  sort_ = new QComboBox(this);
  sort_->setObjectName("columnsSort");
  auto_ = new QCheckBox("Auto adjust &column width to fit data ", this);
  auto_->setObjectName("columnsAuto");
  auto* in = new QPushButton("&>>", this);
  in->setObjectName("columnsIn");
  auto* out = new QPushButton("&<<", this);
  out->setObjectName("columnsOut");
  auto* up = new QPushButton("Up", this);
  auto* down = new QPushButton("Down", this);
  auto* grid = new QGridLayout(this);
  grid->addWidget(labelFor("&Available", available_, this), 0, 0);
  grid->addWidget(available_, 1, 0);
  grid->addWidget(labelFor("&Printer*", printer_, this), 2, 0);
  grid->addWidget(printer_, 3, 0);
  auto* middle = new QVBoxLayout;
  middle->addWidget(in);
  middle->addWidget(out);
  middle->addWidget(up);
  middle->addWidget(down);
  middle->addStretch();
  grid->addLayout(middle, 1, 1, 3, 1);
  grid->addWidget(labelFor("&Displayed", displayed_, this), 0, 2);
  grid->addWidget(displayed_, 1, 2, 3, 1);
  grid->addWidget(new QLabel("*Printer columns show only in \"View by Printer\" mode.", this), 4, 0, 1, 3);
  auto* form = new QFormLayout;
  form->addRow("&Sort By:", sort_);
  grid->addLayout(form, 5, 0, 1, 3);
  grid->addWidget(auto_, 6, 0, 1, 3);

  connect(in, &QPushButton::clicked, this, [this] {
    int code = 0;
    if (available_->currentRow() >= 0)
      code = page_.moveIn(app::CColumnsPage::Source::Available, available_->currentRow(), displayed_->currentRow());
    else
      code = page_.moveIn(app::CColumnsPage::Source::Printer, printer_->currentRow(), displayed_->currentRow());
    if (code) platform::ReportError(static_cast<std::uint32_t>(code), platform::kErrorView);
    refill();
  });
  connect(out, &QPushButton::clicked, this, [this] {
    if (const int code = page_.moveOut(displayed_->currentRow()); code)
      platform::ReportError(static_cast<std::uint32_t>(code), platform::kErrorView);
    refill();
  });
  connect(up, &QPushButton::clicked, this, [this] {
    const int row = displayed_->currentRow();
    if (page_.moveUp(row)) {
      refill();
      displayed_->setCurrentRow(row - 1);
    }
  });
  connect(down, &QPushButton::clicked, this, [this] {
    const int row = displayed_->currentRow();
    if (page_.moveDown(row)) {
      refill();
      displayed_->setCurrentRow(row + 1);
    }
  });
  // One selection between the two source lists.
  connect(available_, &QListWidget::itemClicked, this, [this] { printer_->setCurrentRow(-1); });
  connect(printer_, &QListWidget::itemClicked, this, [this] { available_->setCurrentRow(-1); });
  connect(sort_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) page_.setSortColumn(sort_->currentData().toInt());
  });
  connect(auto_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) page_.autoWidths = on;
  });
  refill();
}

void ColumnsPageWidget::refill() {
  filling_ = true;
  fillColumns(available_, page_.available());
  fillColumns(printer_, page_.printer());
  fillColumns(displayed_, page_.displayed());
  available_->setCurrentRow(-1);
  printer_->setCurrentRow(-1);
  sort_->clear();
  for (int c : page_.displayed()) {
    sort_->addItem(title(c), c);
    if (c == page_.sortColumn()) sort_->setCurrentIndex(sort_->count() - 1);
  }
  auto_->setChecked(page_.autoWidths);
  filling_ = false;
}

// --- "General" -------------------------------------------------------------------------------

GeneralPageWidget::GeneralPageWidget(app::CGeneralPage& page, app::CViewManager& views, QWidget* parent)
    : QWidget(parent), page_(page), views_(views) {
  protocol_ = new QLabel(this);
  protocol_->setObjectName("generalProtocol");
  icon_ = new QComboBox(this);
  icon_->setObjectName("generalIcon");
  for (int i = app::CGeneralPage::kFirstIcon; i <= app::CGeneralPage::kLastIcon; ++i)
    icon_->addItem(QString("View image %1").arg(i), i);
  location_ = new NodeTreeWidget(this);
  location_->setObjectName("generalLocation");
  auto* folder = new QPushButton("New &Folder...", this);
  folder->setObjectName("generalNewFolder");
  refresh_ = new QCheckBox("Automatic Refresh:", this);
  refresh_->setObjectName("generalRefresh");
  minutes_ = new QSpinBox(this);
  minutes_->setObjectName("generalMinutes");
  minutes_->setRange(0, 35791394);
  minutes_->setSuffix(" minutes");
  auto* form = new QFormLayout(this);
  form->addRow("View Protocol:", protocol_);
  form->addRow("View Tree &Icon:", icon_);
  form->addRow("View &Location:", location_);
  form->addRow(folder);
  form->addRow(refresh_, minutes_);
  connect(icon_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) page_.icons = icon_->currentData().toInt();
  });
  connect(location_, &QTreeWidget::currentItemChanged, this, [this] {
    if (!filling_ && location_->currentNode()) page_.parent = location_->currentNode();
  });
  connect(refresh_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    page_.refreshOn = on;
    minutes_->setEnabled(on);
  });
  connect(minutes_, &QSpinBox::valueChanged, this, [this](int m) {
    if (!filling_) page_.setMinutes(m);
  });
  connect(folder, &QPushButton::clicked, this, [this] {
    CreateFolderDialog dialog(views_, location_->currentNode(), this);
    if (dialog.exec() != QDialog::Accepted || !dialog.createdFolder()) return;
    page_.parent = dialog.createdFolder();
    emit treeChanged();
    refill();
  });
  refill();
}

void GeneralPageWidget::refill() {
  filling_ = true;
  protocol_->setText(QString::fromStdString(page_.protocolText()));
  const int index = icon_->findData(page_.icons);
  icon_->setCurrentIndex(index >= 0 ? index : 0);
  location_->fill(views_, false, page_.parent);
  refresh_->setChecked(page_.refreshOn);
  minutes_->setValue(page_.minutes());
  minutes_->setEnabled(page_.refreshOn);
  filling_ = false;
}
