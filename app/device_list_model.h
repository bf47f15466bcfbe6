#pragma once
// The rows of the device list: one per device, or one per printer port in view-by-printer mode,
// over the devices a view's discovery owns. Columns, sort, display filter, check states and the
// selection live here; the list widget only shows them.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/device.h"
#include "devices/device_column.h"
#include "devices/device_status.h"

namespace app {

// A row's data value: the device index in the low 16 bits, the port in the high 16 bits (0xFFFF
// for a device row).
constexpr std::uint32_t rowDataValue(int deviceIndex, int port) noexcept {
  return (static_cast<std::uint32_t>(deviceIndex) & 0xFFFFu) | (static_cast<std::uint32_t>(port < 0 ? 0xFFFF : port) << 16);
}

// What identifies a device across searches (its devices are new objects each time): the
// hardware address, else the address it is reached by, plus the kind and the port of the row.
std::string deviceRowKey(const devices::CDevice& device, int port);

class DeviceListModel {
 public:
  struct Row {
    int device = 0;  // index in the device array
    int port = -1;   // -1 for a device row
    bool checked = false;
  };
  struct SortChange {
    int column;
    bool descending;
  };

  // The devices (owned by the view's discovery; may be null). Indices stay valid while the array
  // only grows; a new search clears the rows first.
  void setDevices(const std::vector<std::unique_ptr<devices::CDevice>>* devices) noexcept { devices_ = devices; }

  // View settings. Column lists are catalogue indices; out-of-range and repeated ones are dropped.
  void setViewColumns(const std::vector<int>& columns);
  void setViewName(std::string name) { viewName_ = std::move(name); }
  void setFilter(devices::DisplayFilter filter) { filter_ = std::move(filter); }
  bool hasFilter() const noexcept { return devices::isColumnIndex(filter_.column); }
  void setMasks(const devices::StatusMasks& masks) noexcept { masks_ = masks; }
  void setSort(int column, bool descending) noexcept;
  int sortColumn() const noexcept { return sortColumn_; }
  bool sortDescending() const noexcept { return sortDescending_; }

  // Modes. Switching view-by-printer rebuilds the columns and the rows.
  void setByPrinter(bool on);
  bool byPrinter() const noexcept { return byPrinter_; }
  void setMultiSelect(bool on) noexcept { multiSelect_ = on; }
  bool multiSelect() const noexcept { return multiSelect_; }

  // Rows.
  void clearRows() noexcept;
  // Inserts the rows of device `index` at the end (filter and "Unconfigured" rule unless
  // `bypassFilter`, as for a device added by the Search command). Returns the rows added.
  int addDevice(int index, bool bypassFilter = false);
  // Rows again from every device, no network traffic.
  void redisplay();
  // Re-inserts device `index`'s rows in place after a query; the filter may remove them.
  void reinsertDevice(int index);
  void sort();
  // A header click on shown column `shown`: the same column toggles the direction, another one
  // sorts by it keeping the direction. Returns the new sort for the view to store.
  std::optional<SortChange> headerClicked(int shown);

  int rowCount() const noexcept { return static_cast<int>(rows_.size()); }
  int columnCount() const noexcept { return static_cast<int>(columns_.size()); }
  int catalogueColumn(int shown) const noexcept;
  const std::vector<int>& shownColumns() const noexcept { return columns_; }
  const Row* row(int index) const noexcept;
  devices::CDevice* rowDevice(int index) const noexcept;
  std::string text(int row, int shown) const;
  // The same text without a copy: valid until the device or the frozen texts change.
  std::string_view textView(int row, int shown) const;
  // While device `index` is asked again in the foreground (a query clears it before the answer
  // comes), its rows keep the texts and images they showed. thawDevice() shows the device again.
  void freezeDevice(int index);
  void thawDevice() noexcept;
  int image(int row) const noexcept;  // 1-4 port rows, 6-9 device rows, 0 none
  std::uint32_t dataValue(int row) const noexcept;

  // Check boxes (multi-select mode). Second-family devices cannot be ticked.
  bool setChecked(int row, bool checked) noexcept;
  bool toggleChecked(int row) noexcept;
  void checkAll() noexcept;
  void checkNone() noexcept;
  std::vector<int> checkedDevices() const;  // device indices, each once, in row order

  // Selection, kept across refreshes by device identity.
  void setSelectedRow(int row) noexcept { selected_ = (row >= 0 && row < rowCount()) ? row : -1; }
  int selectedRow() const noexcept { return selected_; }
  void rememberSelection();
  // Selects the remembered device's row, else row 0 (none when the list is empty). Returns it.
  int restoreSelection();

  // The level for the window icon: the worst row level (at least 1) when Status is shown, else 1.
  // Error ranks above Warning and F/W Update, which rank above Good.
  int worstLevel() const;

 private:
  devices::CDevice* device(int index) const noexcept;
  bool passes(devices::CDevice& device, int port) const;
  void appendRows(int index, bool bypassFilter, std::vector<Row>& out) const;
  // The sort column's text of a row (no copy), and the order of two rows whose texts compare as
  // `c` (-1, 0, 1).
  std::string_view sortText(const Row& r) const;
  bool lessThan(const Row& a, const Row& b, int c) const;
  void rebuildColumns();

  const std::vector<std::unique_ptr<devices::CDevice>>* devices_ = nullptr;
  std::vector<int> viewColumns_;
  std::vector<int> columns_;
  std::vector<Row> rows_;
  std::string viewName_;
  devices::DisplayFilter filter_;
  devices::StatusMasks masks_;
  int sortColumn_ = devices::kColSystemName;
  bool sortDescending_ = false;
  bool byPrinter_ = false;
  bool multiSelect_ = false;
  int selected_ = -1;
  std::string selectedKey_;
  std::vector<std::string> checkedKeys_;
  int frozenDevice_ = -1;
  std::map<std::pair<int, int>, std::string> frozenTexts_;  // (port, catalogue column)
  std::map<int, int> frozenImages_;                         // port -> image
};

}  // namespace app
