#include "app/view_def.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "platform/registry.h"

namespace app {

namespace {

constexpr const char* kNoFilterTitle = "No Filter";
constexpr std::uint32_t kSearchTimeColumnBits =
    devices::kWirelessColumnBits | devices::kLocationColumnBit | devices::kFirmwareColumnBit;

bool sameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lo = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lo(a[i]) != lo(b[i])) return false;
  }
  return true;
}

// A width entry of ColWidths: digits with optional spaces around; anything else is no width.
int parseWidth(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  long long v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || ptr != text.data() + text.size() || v < 0) return -1;
  return static_cast<int>(std::min<long long>(v, kMaxColumnWidth));
}

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    out += items[i];
  }
  return out;
}

bool isColumn(int c) { return devices::isColumnIndex(c); }

}  // namespace

std::vector<std::string> splitList(std::string_view text) {
  std::vector<std::string> out;
  if (text.empty()) return out;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    out.emplace_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return out;
}

std::string searchEntryName(std::size_t i) { return "dev" + std::to_string(i); }

ColumnListCheck checkColumnTitles(const std::vector<std::string>& titles) {
  ColumnListCheck check;
  if (titles.empty()) {
    check.error = ColumnListError::Empty;
    return check;
  }
  for (const auto& t : titles) {
    const int index = devices::columnIndex(t);
    if (index == devices::kNoColumn) {
      check.error = ColumnListError::Unknown;
      check.title = t;
      break;
    }
    if (std::find(check.columns.begin(), check.columns.end(), index) != check.columns.end()) {
      check.error = ColumnListError::Duplicate;
      check.title = t;
      break;
    }
    check.columns.push_back(index);
  }
  if (check.error == ColumnListError::None && check.columns.size() > kMaxViewColumns)
    check.error = ColumnListError::TooMany;
  if (check.error != ColumnListError::None) check.columns.clear();
  return check;
}

std::string describe(const ColumnListCheck& check) {
  switch (check.error) {
    case ColumnListError::None: return {};
    case ColumnListError::Empty: return "You must have at least one column.";
    case ColumnListError::TooMany: return "a view shows at most 29 columns";
    case ColumnListError::Unknown: return "unknown column \"" + check.title + "\"";
    case ColumnListError::Duplicate: return "column \"" + check.title + "\" is listed twice";
  }
  return {};
}

CViewDef::CViewDef() : columns_{devices::kColSystemName} {}

void CViewDef::attach(CViewNode* node, const std::string& name, ViewDiscovery* discovery) {
  node_ = node;
  name_ = name;
  discovery_ = discovery;
}

void CViewDef::load(const platform::Registry& reg, const std::string& key) {
  searchList_.clear();
  filterValues_.clear();

  const std::string filter = reg.getString(key, "Filter", kNoFilterTitle);
  filterColumn_ = devices::columnIndex(filter);
  if (filterColumn_ != devices::kNoColumn) {
    for (auto& v : splitList(reg.getString(key, "FilterValue", ""))) {
      if (filterValues_.size() >= kMaxFilterValues) break;
      filterValues_.push_back(std::move(v));
    }
  }

  const std::string sort = reg.getString(key, "Sort", ">System Name");
  sortDescending_ = !sort.empty() && sort[0] == '<';
  sortColumn_ = sort.empty() ? devices::kColSystemName : devices::columnIndex(std::string_view(sort).substr(1));
  if (!isColumn(sortColumn_)) sortColumn_ = devices::kColSystemName;

  const std::string colWidths = reg.getString(key, "ColWidths", "");
  autoWidths_ = colWidths.empty() || sameAscii(colWidths, "Auto");
  widths_.reset();

  // Unknown titles end the list there; duplicates are skipped; the list holds at most 29. Width i
  // belongs to title i as written.
  columns_.clear();
  const std::vector<std::string> titles = splitList(reg.getString(key, "Columns", ""));
  const std::vector<std::string> widthTexts = autoWidths_ ? std::vector<std::string>{} : splitList(colWidths);
  for (std::size_t i = 0; i < titles.size() && columns_.size() < kMaxViewColumns; ++i) {
    const int index = devices::columnIndex(titles[i]);
    if (!isColumn(index)) break;
    if (std::find(columns_.begin(), columns_.end(), index) != columns_.end()) continue;
    columns_.push_back(index);
    if (i < widthTexts.size()) {
      const int w = parseWidth(widthTexts[i]);
      if (w > 1) widths_.setWidth(index, w);
    }
  }
  if (columns_.empty()) columns_.push_back(devices::kColSystemName);

  refresh_ = static_cast<int>(std::min<std::uint32_t>(reg.getDword(key, "Refresh", 0), INT_MAX));
  localSearch_ = reg.getDword(key, "NetSearchBuild", 1) != 0;
  listSearch_ = reg.getDword(key, "ListBuild", 0) != 0;

  for (std::size_t i = 0; i < kMaxSearchEntries; ++i) {
    std::string entry = reg.getString(key, searchEntryName(i), "");
    if (entry.empty()) break;
    searchList_.push_back(std::move(entry));
  }
  clearChanged();
}

bool CViewDef::changed() const {
  return columnsChanged_ || searchChanged_ || listChanged_ || refreshChanged_ || sortChanged_ || filterChanged_ ||
         autoWidthsChanged_ || nodeChanged_;
}

void CViewDef::markAllChanged() {
  columnsChanged_ = searchChanged_ = listChanged_ = refreshChanged_ = sortChanged_ = filterChanged_ =
      autoWidthsChanged_ = true;
}

void CViewDef::clearChanged() {
  columnsChanged_ = searchChanged_ = listChanged_ = refreshChanged_ = sortChanged_ = filterChanged_ =
      autoWidthsChanged_ = false;
  clearNodeChange();
}

int CViewDef::save(platform::Registry& reg, const std::string& key) {
  const bool needsSearch = searchChanged_ || listChanged_;
  const bool anything =
      columnsChanged_ || needsSearch || refreshChanged_ || sortChanged_ || filterChanged_ || autoWidthsChanged_;
  if (!anything) return kSaveNothing;

  // Columns whose texts are read only during a search need one when they newly appear.
  bool columnsNeedSearch = false;
  if (columnsChanged_) {
    std::uint32_t before = 0;
    for (const auto& t : splitList(reg.getString(key, "Columns", "")))
      if (const int i = devices::columnIndex(t); isColumn(i)) before |= devices::kDeviceColumns[i].bit;
    columnsNeedSearch = (columnBits() & ~before & kSearchTimeColumnBits) != 0;
  }

  const bool ok = reg.transaction([&](platform::Registry& tx) {
    bool good = true;
    if (columnsChanged_) {
      std::vector<std::string> titles;
      for (int c : columns_) titles.emplace_back(devices::columnTitle(c));
      good &= tx.setString(key, "Columns", joined(titles));
      // Fixed widths follow the new column order.
      if (!autoWidths_) good &= tx.setString(key, "ColWidths", colWidthsText());
    }
    if (searchChanged_) {
      good &= tx.setDword(key, "NetSearchBuild", localSearch_ ? 1 : 0);
      good &= tx.setDword(key, "ListBuild", listSearch_ ? 1 : 0);
    }
    if (listChanged_) {
      std::size_t i = 0;
      for (; i < searchList_.size(); ++i) good &= tx.setString(key, searchEntryName(i), searchList_[i]);
      for (; i < searchList_.size() + kMaxSearchEntries && tx.value(key, searchEntryName(i)); ++i)
        good &= tx.deleteValue(key, searchEntryName(i));
    }
    if (autoWidthsChanged_) good &= tx.setString(key, "ColWidths", colWidthsText());
    if (refreshChanged_) good &= tx.setDword(key, "Refresh", static_cast<std::uint32_t>(refresh_));
    if (sortChanged_) good &= tx.setString(key, "Sort", sortText());
    if (filterChanged_) {
      if (!isColumn(filterColumn_)) {
        good &= tx.deleteValue(key, "Filter");
        good &= tx.deleteValue(key, "FilterValue");
      } else {
        good &= tx.setString(key, "Filter", devices::columnTitle(filterColumn_));
        good &= tx.setString(key, "FilterValue", joined(filterValues_));
      }
    }
    return good;
  });
  if (!ok) return kSaveFailed;

  columnsChanged_ = searchChanged_ = listChanged_ = refreshChanged_ = sortChanged_ = filterChanged_ =
      autoWidthsChanged_ = false;
  return (needsSearch || columnsNeedSearch) ? kSaveNeedsSearch : kSaveColumnsOnly;
}

bool CViewDef::setColumns(const std::vector<int>& columns) {
  if (columns.empty() || columns.size() > kMaxViewColumns) return false;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!isColumn(columns[i])) return false;
    if (std::find(columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(i), columns[i]) !=
        columns.begin() + static_cast<std::ptrdiff_t>(i))
      return false;
  }
  if (columns != columns_) {
    columns_ = columns;
    columnsChanged_ = true;
  }
  return true;
}

std::uint32_t CViewDef::columnBits() const { return devices::columnBits(columns_.data(), columns_.size()); }

void CViewDef::setAutoWidths(bool on) {
  if (on == autoWidths_) return;
  autoWidths_ = on;
  autoWidthsChanged_ = true;
}

std::string CViewDef::colWidthsText() const {
  if (autoWidths_) return "Auto";
  std::string out;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (i) out += ',';
    out += std::to_string(widths_.width(columns_[i]));
  }
  return out.empty() ? "0" : out;
}

void CViewDef::setLocalSearch(bool on) {
  if (on == localSearch_) return;
  localSearch_ = on;
  searchChanged_ = true;
}

void CViewDef::setListSearch(bool on) {
  if (on == listSearch_) return;
  listSearch_ = on;
  searchChanged_ = true;
}

void CViewDef::setSearchList(std::vector<std::string> entries) {
  std::erase_if(entries, [](const std::string& e) { return e.empty(); });
  if (entries.size() > kMaxSearchEntries) entries.resize(kMaxSearchEntries);
  if (entries == searchList_) return;
  searchList_ = std::move(entries);
  listChanged_ = true;
}

void CViewDef::setRefresh(int seconds) {
  if (seconds < 0) seconds = 0;
  if (seconds == refresh_) return;
  refresh_ = seconds;
  refreshChanged_ = true;
}

void CViewDef::setSort(int column, bool descending) {
  if (!isColumn(column)) column = devices::kColSystemName;
  if (column == sortColumn_ && descending == sortDescending_) return;
  sortColumn_ = column;
  sortDescending_ = descending;
  sortChanged_ = true;
}

std::string CViewDef::sortText() const {
  return std::string(sortDescending_ ? "<" : ">") + devices::columnTitle(sortColumn_);
}

void CViewDef::setFilter(int column, std::vector<std::string> values) {
  if (!isColumn(column)) {
    column = devices::kNoColumn;
    values.clear();
  }
  if (values.size() > kMaxFilterValues) values.resize(kMaxFilterValues);
  if (column == filterColumn_ && values == filterValues_) return;
  filterColumn_ = column;
  filterValues_ = std::move(values);
  filterChanged_ = true;
}

bool CViewDef::writeSort(platform::Registry& reg, const std::string& key) {
  if (!reg.setString(key, "Sort", sortText())) return false;
  sortChanged_ = false;
  return true;
}

bool CViewDef::writeColumnLayout(platform::Registry& reg, const std::string& key, const std::vector<int>& columns,
                                 const std::vector<int>* widths) {
  const std::vector<int> oldColumns = columns_;
  const bool oldAuto = autoWidths_;
  const devices::ColumnWidths oldWidths = widths_;
  const bool oldChanged = columnsChanged_;
  if (!setColumns(columns)) return false;
  autoWidths_ = widths == nullptr;
  if (widths)
    for (std::size_t i = 0; i < widths->size() && i < columns_.size(); ++i)
      widths_.setWidth(columns_[i], std::min((*widths)[i], kMaxColumnWidth));
  std::vector<std::string> titles;
  for (int c : columns_) titles.emplace_back(devices::columnTitle(c));
  const std::string widthText = colWidthsText();
  const bool ok = reg.transaction([&](platform::Registry& tx) {
    return tx.setString(key, "Columns", joined(titles)) && tx.setString(key, "ColWidths", widthText);
  });
  if (!ok) {
    columns_ = oldColumns;
    autoWidths_ = oldAuto;
    widths_ = oldWidths;
    columnsChanged_ = oldChanged;
    return false;
  }
  columnsChanged_ = false;
  autoWidthsChanged_ = false;
  return true;
}

void CViewDef::setNodeChange(int icons, CViewNode* newParent) {
  nodeChanged_ = true;
  newIcons_ = icons;
  newParent_ = newParent;
}

}  // namespace app
