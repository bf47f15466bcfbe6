#pragma once
// The list pane: a table model over the GUI-free DeviceListModel and the tree view that shows it
// in report style, with status images, check boxes in multi-select mode and header-click sort.
#include <QAbstractTableModel>
#include <QIcon>
#include <QTimer>
#include <QTreeView>
#include <array>
#include <functional>
#include <vector>

#include "app/device_list_model.h"
#include "app/gui/found_device_feed.h"

// The images of the list: index 1-4 port rows, 6-9 device rows (good, warning, error, F/W update).
QIcon statusRowIcon(int image);
// The program's own icon: a print server in the brand colour.
QIcon applicationIcon();

class DeviceListTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit DeviceListTableModel(app::DeviceListModel& model, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  app::DeviceListModel& list() { return model_; }
  // Run a change of the list's rows or columns inside a model reset.
  void change(const std::function<void()>& fn);
  // Rows appended at the end by `fn` (a device arriving).
  void append(const std::function<void()>& fn);

  // A found device's rows, shown with the others that arrive within a moment: thousands of
  // replies become a few insertions, so a large search does not hold the window up.
  void queueDevice(int deviceIndex);
  // A found-device message: its device is accepted (by `accept`) on a later turn of the event
  // loop, in slices, and then queued as above.
  void setFoundAccept(FoundDeviceFeed::Accept accept) { feed_.setAccept(std::move(accept)); }
  void queueFound(const platform::Message& message) { feed_.push(message); }
  // Queued messages and devices become rows now (every change flushes first, so queued rows are
  // never lost).
  void flushQueued();
  // Queued messages and devices are forgotten: their device list is being cleared or replaced.
  void dropQueued();
  bool hasQueued() const { return feed_.pending() || !queued_.empty(); }

 signals:
  // Queued rows were appended.
  void queuedRowsShown();

 private:
  // The queued devices' rows as one insertion.
  void showQueuedDevices();

  app::DeviceListModel& model_;
  std::vector<int> queued_;
  QTimer queueTimer_;
  FoundDeviceFeed feed_;
  std::array<QIcon, 10> icons_;  // statusRowIcon by image
};

class DeviceListView : public QTreeView {
  Q_OBJECT

 public:
  explicit DeviceListView(DeviceListTableModel& model, QWidget* parent = nullptr);

  // The list's selection into the widget and back (with the sort indicator, and the column
  // widths unless `withWidths` is off).
  void showSelection(bool withWidths = true);
  void takeSelection();

  // Column widths by catalogue column; empty: automatic (every column as wide as its title and
  // texts). Applied whenever the columns are rebuilt.
  void setColumnWidths(std::vector<int> widthsByColumn);
  bool autoWidths() const { return widths_.empty(); }
  void applyColumnWidths();

 signals:
  // The user clicked a header: the new sort for the view to store.
  void sortChanged(int column, bool descending);
  // The user dragged or sized a header: catalogue columns in display order and their widths
  // (empty when widths are automatic).
  void columnLayoutChanged(const std::vector<int>& columns, const std::vector<int>& widths);

 private:
  void onHeaderClicked(int section);
  void onLayoutChangedByUser();
  DeviceListTableModel& model_;
  std::vector<int> widths_;
  bool applying_ = false;
};
