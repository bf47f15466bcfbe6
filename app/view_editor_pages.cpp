#include "app/view_editor_pages.h"

#include <algorithm>

#include "app/view_manager.h"
#include "app/view_node.h"
#include "devices/device_status.h"

namespace app {

namespace {

constexpr const char* kFilterNote =
    "\nThe Display Filter restricts entries in the device list to those meeting the specified criteria.";
constexpr std::size_t kMaxSelectedValues = 30;

bool contains(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

bool offered(std::uint32_t bits, int column) {
  return devices::isColumnIndex(column) && (devices::kDeviceColumns[static_cast<std::size_t>(column)].bit & bits);
}

}  // namespace

// --- "New View" ------------------------------------------------------------------------------

std::vector<ViewProtocolChoice> newViewProtocols(std::uint32_t probeFlags) {
  std::vector<ViewProtocolChoice> out;
  if (probeFlags & kProbeTcpIp) out.push_back({"TCP/IP", kNodeTcpIpView});
  if (probeFlags & kProbeNetWare) out.push_back({"NetWare", kNodeNetWareView});
  if (probeFlags & kProbeSerial) out.push_back({"Serial Port", kNodeSerialView});
  return out;
}

CNewViewPage::CNewViewPage(std::uint32_t probeFlags) : protocols_(newViewProtocols(probeFlags)) {
  protocol = protocols_.empty() ? -1 : 0;
}

int CNewViewPage::viewType() const {
  if (protocol < 0 || protocol >= static_cast<int>(protocols_.size())) return 0;
  return protocols_[static_cast<std::size_t>(protocol)].viewType;
}

int CNewViewPage::check(const CViewManager& views) const {
  if (name.empty() || name.find('\\') != std::string::npos) return kViewNeedsName;
  if (views.nameExists(name)) return kViewNameExists;
  if (viewType() == 0) return kViewNoProtocol;
  return kViewOk;
}

// --- "Filters" -------------------------------------------------------------------------------

void CFiltersPage::load(const CViewDef& def, const std::string& viewName, int viewType,
                        std::function<std::vector<std::string>(int)> valueChoices) {
  viewType_ = viewType;
  special_ = isSpecialView(viewName);
  localSearch = def.localSearch() || special_;
  listSearch = def.listSearch();
  entries_ = def.searchList();
  entriesChanged_ = false;
  valueSource_ = std::move(valueChoices);
  storedFilter_ = def.filterColumn();
  storedValues_ = def.filterValues();
  filterColumn_ = special_ ? devices::kNoColumn : storedFilter_;
  valueTextModified_ = false;
  selectionChanged_ = false;
  fillValues();
}

bool CFiltersPage::addEntry(const std::string& entry) {
  if (entry.empty() || entries_.size() >= kMaxSearchEntries) return false;
  if (viewType_ == kNodeNetWareView && std::find(entries_.begin(), entries_.end(), entry) != entries_.end()) return false;
  entries_.push_back(entry);
  entriesChanged_ = true;
  return true;
}

int CFiltersPage::deleteEntry(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return 5504;
  entries_.erase(entries_.begin() + index);
  entriesChanged_ = true;
  return 0;
}

std::vector<std::string> CFiltersPage::serialPorts() {
  std::vector<std::string> out;
  for (int i = 1; i <= 9; ++i) out.push_back("COM" + std::to_string(i));
  return out;
}

int CFiltersPage::leaveCheck() const {
  if (localSearch) return 0;
  if (listSearch) return entries_.empty() ? 5512 : 0;
  return 5513;
}

std::vector<int> CFiltersPage::filterColumns() const {
  std::vector<int> out;
  const std::uint32_t bits = offeredColumnBits(viewType_);
  for (int c = 0; c < devices::kColumnCount; ++c)
    if (offered(bits, c)) out.push_back(c);
  out.push_back(devices::kNoColumn);
  return out;
}

void CFiltersPage::setFilterColumn(int column) {
  if (special_) return;
  if (!devices::isColumnIndex(column)) column = devices::kNoColumn;
  if (column == filterColumn_) return;
  filterColumn_ = column;
  valueTextModified_ = false;
  selectionChanged_ = false;
  fillValues();
}

devices::FilterValueKind CFiltersPage::valueKind() const {
  if (!devices::isColumnIndex(filterColumn_)) return devices::FilterValueKind::FreeText;
  return devices::kDeviceColumns[static_cast<std::size_t>(filterColumn_)].valueKind;
}

void CFiltersPage::fillValues() {
  choices_.clear();
  selected_.clear();
  valueText_.clear();
  if (!devices::isColumnIndex(filterColumn_)) return;
  const bool current = filterColumn_ == storedFilter_;
  switch (valueKind()) {
    case devices::FilterValueKind::FreeText:
      valueText_ = current && !storedValues_.empty() ? storedValues_.front() : "*";
      break;
    case devices::FilterValueKind::CurrentValues:
      if (valueSource_) choices_ = valueSource_(filterColumn_);
      break;
    case devices::FilterValueKind::FixedList:
      for (const char* v : devices::kDeviceColumns[static_cast<std::size_t>(filterColumn_)].values)
        if (v) choices_.emplace_back(v);
      break;
  }
  if (current && valueKind() != devices::FilterValueKind::FreeText)
    for (const std::string& v : storedValues_)
      if (std::find(choices_.begin(), choices_.end(), v) != choices_.end()) selected_.push_back(v);
}

void CFiltersPage::setValueText(std::string text) {
  if (text == valueText_) return;
  valueText_ = std::move(text);
  valueTextModified_ = true;
}

void CFiltersPage::setSelectedValues(std::vector<std::string> values) {
  std::erase_if(values, [&](const std::string& v) { return std::find(choices_.begin(), choices_.end(), v) == choices_.end(); });
  if (values.size() > kMaxSelectedValues) values.resize(kMaxSelectedValues);
  if (values == selected_) return;
  selected_ = std::move(values);
  selectionChanged_ = true;
}

bool CFiltersPage::setTypedValues(std::vector<std::string> values) {
  if (!devices::isColumnIndex(filterColumn_) || valueKind() == devices::FilterValueKind::FreeText) return false;
  if (values.empty() || values.size() > kMaxSelectedValues) return false;
  for (const std::string& v : values) {
    if (v.empty() || v.find(',') != std::string::npos) return false;
    if (valueKind() == devices::FilterValueKind::FixedList &&
        std::find(choices_.begin(), choices_.end(), v) == choices_.end())
      return false;
  }
  for (const std::string& v : values)
    if (std::find(choices_.begin(), choices_.end(), v) == choices_.end()) choices_.push_back(v);
  setSelectedValues(std::move(values));
  return true;
}

std::string CFiltersPage::note() const {
  if (valueKind() == devices::FilterValueKind::CurrentValues && devices::isColumnIndex(filterColumn_) &&
      choices_.empty())
    return devices::kValueListEmpty;
  return kFilterNote;
}

void CFiltersPage::store(CViewDef& def) const {
  def.setLocalSearch(localSearch || special_);
  def.setListSearch(listSearch);
  if (entriesChanged_) def.setSearchList(entries_);
  if (special_) return;
  if (!devices::isColumnIndex(filterColumn_)) {
    def.setFilter(devices::kNoColumn, {});
    return;
  }
  const bool sameColumn = filterColumn_ == storedFilter_;
  if (valueKind() == devices::FilterValueKind::FreeText) {
    // A new column takes the text shown ("*" at first) even when it was not typed over.
    if (valueTextModified_ || !sameColumn) def.setFilter(filterColumn_, {valueText_});
  } else if (selectionChanged_ || !sameColumn) {
    def.setFilter(filterColumn_, selected_);
  }
}

// --- "Columns" -------------------------------------------------------------------------------

void CColumnsPage::load(const CViewDef& def, int viewType) {
  offered_ = offeredColumnBits(viewType);
  displayed_ = def.columns();
  sort_ = def.sortColumn();
  descending_ = def.sortDescending();
  if (!contains(displayed_, sort_) && !displayed_.empty()) {
    sort_ = displayed_.front();
    descending_ = false;
  }
  autoWidths = def.autoWidths();
  printerAdded_ = false;
  refill();
}

void CColumnsPage::refill() {
  available_.clear();
  printer_.clear();
  for (int c = 0; c < devices::kColumnCount; ++c) {
    if (!offered(offered_, c) || contains(displayed_, c)) continue;
    (devices::isPortColumn(c) ? printer_ : available_).push_back(c);
  }
}

int CColumnsPage::moveIn(Source source, int index, int before) {
  const std::vector<int>& from = source == Source::Available ? available_ : printer_;
  if (index < 0 || index >= static_cast<int>(from.size())) return 5502;
  const int column = from[static_cast<std::size_t>(index)];
  if (before < 0 || before > static_cast<int>(displayed_.size())) before = static_cast<int>(displayed_.size());
  displayed_.insert(displayed_.begin() + before, column);
  if (source == Source::Printer) printerAdded_ = true;
  refill();
  return 0;
}

int CColumnsPage::moveOut(int displayedIndex) {
  if (displayedIndex < 0 || displayedIndex >= static_cast<int>(displayed_.size())) return 5502;
  if (displayed_.size() == 1) return 5503;
  const int column = displayed_[static_cast<std::size_t>(displayedIndex)];
  displayed_.erase(displayed_.begin() + displayedIndex);
  if (column == sort_) {
    sort_ = displayed_.front();
    descending_ = false;
  }
  refill();
  return 0;
}

bool CColumnsPage::moveUp(int i) {
  if (i <= 0 || i >= static_cast<int>(displayed_.size())) return false;
  std::swap(displayed_[static_cast<std::size_t>(i)], displayed_[static_cast<std::size_t>(i - 1)]);
  return true;
}

bool CColumnsPage::moveDown(int i) {
  if (i < 0 || i + 1 >= static_cast<int>(displayed_.size())) return false;
  std::swap(displayed_[static_cast<std::size_t>(i)], displayed_[static_cast<std::size_t>(i + 1)]);
  return true;
}

int CColumnsPage::setDisplayed(const std::vector<int>& columns) {
  if (columns.empty()) return 5503;
  if (columns.size() > kMaxViewColumns) return 5502;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!offered(offered_, columns[i])) return 5502;
    if (std::find(columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(i), columns[i]) !=
        columns.begin() + static_cast<std::ptrdiff_t>(i))
      return 5502;
  }
  for (int c : columns)
    if (devices::isPortColumn(c) && !contains(displayed_, c)) printerAdded_ = true;
  displayed_ = columns;
  if (!contains(displayed_, sort_)) {
    sort_ = displayed_.front();
    descending_ = false;
  }
  refill();
  return 0;
}

bool CColumnsPage::setSortColumn(int column) {
  if (!contains(displayed_, column)) return false;
  if (column != sort_) descending_ = false;
  sort_ = column;
  return true;
}

void CColumnsPage::store(CViewDef& def) const {
  def.setColumns(displayed_);
  // The direction the user chose with a header click stays while the column does.
  def.setSort(sort_, descending_);
  def.setAutoWidths(autoWidths);
}

// --- "General" -------------------------------------------------------------------------------

void CGeneralPage::load(const CViewDef& def, const CViewNode& node) {
  type_ = node.type();
  icons = initialIcons_ = node.icons();
  parent = initialParent_ = node.parent();
  refreshOn = def.refresh() > 0;
  minutes_ = def.refresh() / 60;
  minutesModified_ = false;
}

std::string CGeneralPage::protocolText() const { return viewProtocolName(type_); }

void CGeneralPage::setMinutes(int m) {
  m = std::clamp(m, 0, 35791394);  // minutes x 60 stays an int
  if (m == minutes_) return;
  minutes_ = m;
  minutesModified_ = true;
}

void CGeneralPage::store(CViewDef& def) const {
  if (icons != initialIcons_ || parent != initialParent_) def.setNodeChange(icons, parent);
  if (!refreshOn)
    def.setRefresh(0);
  else if (minutesModified_)
    def.setRefresh(minutes_ * 60);
}

}  // namespace app
