#include "app/gui/device_list_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>

#include "devices/device_status.h"

QIcon statusRowIcon(int image) {
  if (image <= 0 || image == 5 || image > 9) return {};
  const int level = image > 5 ? image - 5 : image;
  QColor colour;
  switch (level) {
    case devices::kLevelGood: colour = QColor(0x2E, 0xA0, 0x43); break;
    case devices::kLevelWarning: colour = QColor(0xE0, 0xA8, 0x00); break;
    case devices::kLevelError: colour = QColor(0xD0, 0x30, 0x30); break;
    default: colour = QColor(0x30, 0x70, 0xD0); break;
  }
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(colour.darker(150));
  p.setBrush(colour);
  if (image > 5) {
    // Device rows: a small box, the print server.
    p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 6.5, 7, 3));
  } else {
    // Port rows: a dot, the printer on that port.
    p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
  }
  return QIcon(pixmap);
}

QIcon applicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double u = size / 16.0;
    p.setPen(QPen(QColor(0x1E, 0x3A, 0x6E), u));
    p.setBrush(QColor(0x2F, 0x5F, 0xB3));
    p.drawRoundedRect(QRectF(1.5 * u, 4.5 * u, 13 * u, 8 * u), 1.5 * u, 1.5 * u);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4 * u, 2 * u, 8 * u, 3 * u));
    p.setBrush(QColor(0x7C, 0xD9, 0x6A));
    p.drawEllipse(QRectF(11 * u, 9 * u, 2 * u, 2 * u));
    icon.addPixmap(pixmap);
  }
  return icon;
}

DeviceListTableModel::DeviceListTableModel(app::DeviceListModel& model, QObject* parent)
    : QAbstractTableModel(parent), model_(model), feed_([this](int index) { queueDevice(index); }) {
  // Drawn once: the list asks for an image for every row it paints or measures.
  for (int i = 0; i < static_cast<int>(icons_.size()); ++i) icons_[static_cast<std::size_t>(i)] = statusRowIcon(i);
  // Long enough to gather a burst of replies, short enough that the first row seems immediate.
  queueTimer_.setSingleShot(true);
  queueTimer_.setInterval(40);
  connect(&queueTimer_, &QTimer::timeout, this, &DeviceListTableModel::showQueuedDevices);
}

int DeviceListTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : model_.rowCount(); }

int DeviceListTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : model_.columnCount();
}

QVariant DeviceListTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row();
  switch (role) {
    case Qt::DisplayRole: {
      const std::string_view text = model_.textView(row, index.column());
      return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::DecorationRole:
      if (index.column() == 0) {
        const int image = model_.image(row);
        return (image >= 0 && image < static_cast<int>(icons_.size())) ? icons_[static_cast<std::size_t>(image)] : QIcon();
      }
      return {};
    case Qt::CheckStateRole:
      if (index.column() == 0 && model_.multiSelect()) {
        const auto* r = model_.row(row);
        return (r && r->checked) ? Qt::Checked : Qt::Unchecked;
      }
      return {};
    case Qt::UserRole: return static_cast<qulonglong>(model_.dataValue(row));
    default: return {};
  }
}

bool DeviceListTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::CheckStateRole || index.column() != 0 || !model_.multiSelect()) return false;
  const bool on = value.toInt() == Qt::Checked;
  if (!model_.setChecked(index.row(), on)) return false;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

QVariant DeviceListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const char* title = devices::columnTitle(model_.catalogueColumn(section));
  return title ? QString::fromUtf8(title) : QString();
}

Qt::ItemFlags DeviceListTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0 && model_.multiSelect()) f |= Qt::ItemIsUserCheckable;
  return f;
}

void DeviceListTableModel::change(const std::function<void()>& fn) {
  flushQueued();
  beginResetModel();
  fn();
  endResetModel();
}

void DeviceListTableModel::append(const std::function<void()>& fn) {
  // The rows a device adds go to the end; the count is known only afterwards, so announce them
  // after the fact as an insertion at the old end.
  const int before = model_.rowCount();
  fn();
  const int after = model_.rowCount();
  if (after > before) {
    beginInsertRows({}, before, after - 1);
    endInsertRows();
  } else if (after != before) {
    beginResetModel();
    endResetModel();
  }
}

void DeviceListTableModel::queueDevice(int deviceIndex) {
  queued_.push_back(deviceIndex);
  if (!queueTimer_.isActive()) queueTimer_.start();
}

void DeviceListTableModel::flushQueued() {
  feed_.acceptAll();
  showQueuedDevices();
}

void DeviceListTableModel::showQueuedDevices() {
  // Messages not yet accepted stay with the feed: its slices keep the window answering.
  queueTimer_.stop();
  if (queued_.empty()) return;
  const std::vector<int> indices = std::move(queued_);
  queued_.clear();
  append([&] {
    for (int index : indices) model_.addDevice(index);
  });
  emit queuedRowsShown();
}

void DeviceListTableModel::dropQueued() {
  feed_.drop();
  queueTimer_.stop();
  queued_.clear();
}

DeviceListView::DeviceListView(DeviceListTableModel& model, QWidget* parent) : QTreeView(parent), model_(model) {
  setObjectName("deviceList");
  setModel(&model);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setIconSize(QSize(16, 16));
  header()->setSectionsMovable(true);
  header()->setSectionsClickable(true);
  header()->setSortIndicatorShown(true);
  connect(header(), &QHeaderView::sectionClicked, this, &DeviceListView::onHeaderClicked);
  connect(header(), &QHeaderView::sectionMoved, this, [this] { onLayoutChangedByUser(); });
  connect(header(), &QHeaderView::sectionResized, this, [this] {
    if (!applying_ && header()->isVisible() && (QApplication::mouseButtons() & Qt::LeftButton)) onLayoutChangedByUser();
  });
  setContextMenuPolicy(Qt::CustomContextMenu);
}

void DeviceListView::setColumnWidths(std::vector<int> widthsByColumn) { widths_ = std::move(widthsByColumn); }

void DeviceListView::applyColumnWidths() {
  const auto& list = model_.list();
  applying_ = true;
  for (int i = 0; i < list.columnCount(); ++i) {
    const int column = list.catalogueColumn(i);
    const int title = fontMetrics().horizontalAdvance(QString::fromUtf8(devices::columnTitle(column))) + 12;
    if (widths_.empty()) {
      resizeColumnToContents(i);
      // The first column carries the status image besides its text.
      const int minimum = i == 0 ? title + 28 : title;
      if (columnWidth(i) < minimum) setColumnWidth(i, minimum);
    } else {
      const int stored = column >= 0 && static_cast<std::size_t>(column) < widths_.size() ? widths_[column] : 0;
      setColumnWidth(i, stored > 0 ? stored : std::max(title, 60));
    }
  }
  applying_ = false;
}

void DeviceListView::onLayoutChangedByUser() {
  if (applying_) return;
  const auto& list = model_.list();
  QHeaderView* h = header();
  std::vector<int> columns;
  std::vector<int> widths;
  for (int visual = 0; visual < h->count(); ++visual) {
    const int logical = h->logicalIndex(visual);
    columns.push_back(list.catalogueColumn(logical));
    // The section's width already holds the image: stored as it is, it comes back the same.
    widths.push_back(h->sectionSize(logical));
  }
  if (!widths_.empty()) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const int c = columns[i];
      if (c < 0) continue;
      if (static_cast<std::size_t>(c) >= widths_.size()) widths_.resize(static_cast<std::size_t>(c) + 1, 0);
      widths_[static_cast<std::size_t>(c)] = widths[i];
    }
  }
  emit columnLayoutChanged(columns, widths_.empty() ? std::vector<int>{} : widths);
}

void DeviceListView::onHeaderClicked(int section) {
  takeSelection();
  // A sort shows the same texts in another order: the columns keep their widths, and the texts
  // are not measured again (thousands of rows would hold the click up).
  std::vector<int> widths;
  for (int i = 0; i < model_.columnCount(); ++i) widths.push_back(columnWidth(i));
  std::optional<app::DeviceListModel::SortChange> change;
  model_.change([&] { change = model_.list().headerClicked(section); });
  applying_ = true;
  for (int i = 0; i < model_.columnCount() && static_cast<std::size_t>(i) < widths.size(); ++i)
    setColumnWidth(i, widths[static_cast<std::size_t>(i)]);
  applying_ = false;
  showSelection(false);
  if (!change) return;
  emit sortChanged(change->column, change->descending);
}

void DeviceListView::showSelection(bool withWidths) {
  const auto& list = model_.list();
  for (int i = 0; i < list.columnCount(); ++i) {
    if (list.catalogueColumn(i) == list.sortColumn()) {
      header()->setSortIndicator(i, list.sortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
  }
  if (withWidths) applyColumnWidths();
  const int row = list.selectedRow();
  if (row < 0) {
    clearSelection();
    return;
  }
  const QModelIndex index = model_.index(row, 0);
  setCurrentIndex(index);
  scrollTo(index);
}

void DeviceListView::takeSelection() {
  const QModelIndex current = currentIndex();
  model_.list().setSelectedRow(current.isValid() ? current.row() : -1);
}
