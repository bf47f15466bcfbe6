#pragma once
// The settings of one view as the registry holds them below its node key: columns and widths,
// search flags and search list, refresh interval, sort, display filter. Every group has a
// changed flag; saving writes only the changed groups, all in one settings transaction.
// Values read from the store are untrusted: column lists are cut at 29 entries, duplicate and
// unknown titles end or skip as documented, counts are bounded.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/device_column.h"
#include "devices/device_status.h"

namespace platform {
class Registry;
}

namespace app {

class CViewNode;
class ViewDiscovery;

// Results of saving a view's settings.
inline constexpr int kSaveNothing = 0;
inline constexpr int kSaveColumnsOnly = 101;
inline constexpr int kSaveNeedsSearch = 102;
inline constexpr int kSaveFailed = -1;  // the store could not be written; the changes stay pending

inline constexpr std::size_t kMaxViewColumns = devices::kColumnCount;
// Upper bounds for lists read from the store.
inline constexpr std::size_t kMaxSearchEntries = 4096;
inline constexpr std::size_t kMaxFilterValues = 256;
inline constexpr int kMaxColumnWidth = 10000;

// Why a column list was refused.
enum class ColumnListError { None, Empty, TooMany, Unknown, Duplicate };
struct ColumnListCheck {
  ColumnListError error = ColumnListError::None;
  std::string title;  // the offending title (Unknown, Duplicate)
  std::vector<int> columns;
};
// Strict check of titles given by a user (exact catalogue titles).
ColumnListCheck checkColumnTitles(const std::vector<std::string>& titles);
std::string describe(const ColumnListCheck& check);

// Splits at "," (an empty text gives no items).
std::vector<std::string> splitList(std::string_view text);

class CViewDef {
 public:
  CViewDef();

  // Fills every field from `key`; missing values take their defaults. All changed flags off.
  void load(const platform::Registry& reg, const std::string& key);
  // Writes the changed groups below `key` in one transaction (the node group is the view
  // manager's). Returns kSaveNothing, kSaveColumnsOnly, kSaveNeedsSearch or kSaveFailed.
  int save(platform::Registry& reg, const std::string& key);
  // True when any group (the node group included) waits to be saved.
  bool changed() const;
  // Makes the next save write every group.
  void markAllChanged();
  // Forgets pending changes (the values stay as they are).
  void clearChanged();

  // --- columns ---
  const std::vector<int>& columns() const { return columns_; }
  // Refuses (false, nothing changes) empty lists, more than 29 entries, indexes outside the
  // catalogue and duplicates.
  bool setColumns(const std::vector<int>& columns);
  std::uint32_t columnBits() const;
  bool autoWidths() const { return autoWidths_; }
  void setAutoWidths(bool on);
  const devices::ColumnWidths& widths() const { return widths_; }
  void setColumnWidth(int column, int width) { widths_.setWidth(column, width); }
  // The value ColWidths gets for the current columns: "Auto", or the widths in column order.
  std::string colWidthsText() const;

  // --- search ---
  bool localSearch() const { return localSearch_; }
  bool listSearch() const { return listSearch_; }
  void setLocalSearch(bool on);
  void setListSearch(bool on);
  const std::vector<std::string>& searchList() const { return searchList_; }
  // Empty entries are dropped: an empty value would end the list when it is read back.
  void setSearchList(std::vector<std::string> entries);

  int refresh() const { return refresh_; }
  void setRefresh(int seconds);

  // --- sort and filter ---
  int sortColumn() const { return sortColumn_; }
  bool sortDescending() const { return sortDescending_; }
  void setSort(int column, bool descending);
  std::string sortText() const;

  int filterColumn() const { return filterColumn_; }
  const std::vector<std::string>& filterValues() const { return filterValues_; }
  // A column outside the catalogue means no filter (and no values).
  void setFilter(int column, std::vector<std::string> values);
  devices::DisplayFilter displayFilter() const { return {filterColumn_, filterValues_}; }

  // --- node change (icons and parent, applied by the view manager when saving) ---
  void setNodeChange(int icons, CViewNode* newParent);
  bool nodeChanged() const { return nodeChanged_; }
  int newIcons() const { return newIcons_; }
  CViewNode* newParent() const { return newParent_; }
  void clearNodeChange() { nodeChanged_ = false; newParent_ = nullptr; }

  // Direct writes used while the user works with the list (not through the changed flags):
  // the sort, and the column order with the widths (nullptr widths: automatic). Widths are the
  // catalogue widths of the columns in order, without any image indent of the list; a shorter
  // list leaves the remaining widths as they are. False when refused or not written.
  bool writeSort(platform::Registry& reg, const std::string& key);
  bool writeColumnLayout(platform::Registry& reg, const std::string& key, const std::vector<int>& columns,
                         const std::vector<int>* widths);

  // --- the view these settings belong to ---
  const std::string& name() const { return name_; }
  CViewNode* node() const { return node_; }
  ViewDiscovery* discovery() const { return discovery_; }
  void attach(CViewNode* node, const std::string& name, ViewDiscovery* discovery);

 private:
  ViewDiscovery* discovery_ = nullptr;
  std::vector<int> columns_;
  bool columnsChanged_ = false;
  bool localSearch_ = true;
  bool listSearch_ = false;
  bool searchChanged_ = false;
  std::vector<std::string> searchList_;
  bool listChanged_ = false;
  int refresh_ = 0;
  bool refreshChanged_ = false;
  int sortColumn_ = devices::kColSystemName;
  bool sortDescending_ = false;
  bool sortChanged_ = false;
  int filterColumn_ = devices::kNoColumn;
  std::vector<std::string> filterValues_;
  bool filterChanged_ = false;
  std::string name_;
  CViewNode* node_ = nullptr;
  bool autoWidths_ = true;
  bool autoWidthsChanged_ = false;
  devices::ColumnWidths widths_;
  bool nodeChanged_ = false;
  int newIcons_ = 16;
  CViewNode* newParent_ = nullptr;
};

// The registry value name of search-list entry i: "dev0", "dev1", ...
std::string searchEntryName(std::size_t i);

}  // namespace app
