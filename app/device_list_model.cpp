#include "app/device_list_model.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "app/view_manager.h"
#include "devices/ipv4_text.h"

namespace app {

using devices::CDevice;

namespace {

std::string_view textOf(const char* text) { return text ? std::string_view(text) : std::string_view(); }

bool isSecondFamily(const CDevice& device) { return (device.deviceBits & devices::kBitSecondFamily) != 0 || device.kind == devices::kKindSecondFamily; }

// Error worst, then Warning and F/W Update, then Good.
int severity(int level) {
  switch (level) {
    case devices::kLevelError: return 3;
    case devices::kLevelWarning: return 2;
    case devices::kLevelFirmwareUpdate: return 1;
    default: return 0;
  }
}

}  // namespace

std::string deviceRowKey(const CDevice& device, int port) {
  std::string key = std::to_string(static_cast<int>(device.deviceClass()));
  key += '|';
  if (!device.hardwareAddress.empty()) {
    key += device.hardwareAddress.c_str();
  } else {
    for (int column : {devices::kColIpAddress, devices::kColNwName, devices::kColSerialPort, devices::kColSystemName}) {
      if (const char* t = device.columnText(column); t && *t) {
        key += t;
        break;
      }
    }
  }
  key += '|';
  key += std::to_string(port);
  return key;
}

void DeviceListModel::setViewColumns(const std::vector<int>& columns) {
  viewColumns_.clear();
  for (int c : columns) {
    if (!devices::isColumnIndex(c)) continue;
    if (std::find(viewColumns_.begin(), viewColumns_.end(), c) != viewColumns_.end()) continue;
    viewColumns_.push_back(c);
  }
  rebuildColumns();
}

void DeviceListModel::rebuildColumns() {
  columns_.clear();
  for (int c : viewColumns_) {
    if (!byPrinter_ && devices::isPortColumn(c)) continue;
    columns_.push_back(c);
  }
}

void DeviceListModel::setSort(int column, bool descending) noexcept {
  sortColumn_ = devices::isColumnIndex(column) ? column : devices::kColSystemName;
  sortDescending_ = descending;
}

void DeviceListModel::setByPrinter(bool on) {
  if (on == byPrinter_) return;
  byPrinter_ = on;
  rebuildColumns();
  redisplay();
}

void DeviceListModel::clearRows() noexcept {
  rows_.clear();
  selected_ = -1;
  thawDevice();
}

CDevice* DeviceListModel::device(int index) const noexcept {
  if (!devices_ || index < 0 || static_cast<std::size_t>(index) >= devices_->size()) return nullptr;
  return (*devices_)[static_cast<std::size_t>(index)].get();
}

bool DeviceListModel::passes(CDevice& device, int port) const {
  if (viewName_ == kUnconfiguredViewName && device.configured) return false;
  if (!hasFilter()) return true;
  device.setCurrentPort(port);
  return devices::filterAccepts(device, filter_);
}

void DeviceListModel::appendRows(int index, bool bypassFilter, std::vector<Row>& out) const {
  CDevice* d = device(index);
  if (!d || index > 0xFFFF) return;
  if (!byPrinter_) {
    if (bypassFilter || passes(*d, -1)) out.push_back(Row{index, -1, false});
    return;
  }
  // Only the ports the device has: a device with no ports gives no rows here.
  for (int port = 0; port < devices::kMaxPorts && port < d->portCount(); ++port) {
    if (bypassFilter || passes(*d, port)) out.push_back(Row{index, port, false});
  }
}

int DeviceListModel::addDevice(int index, bool bypassFilter) {
  const std::size_t before = rows_.size();
  appendRows(index, bypassFilter, rows_);
  return static_cast<int>(rows_.size() - before);
}

void DeviceListModel::redisplay() {
  // A set: with every row ticked, a list search per row would be quadratic.
  std::unordered_set<std::string> checked;
  for (const Row& r : rows_) {
    if (r.checked) {
      if (CDevice* d = device(r.device)) checked.insert(deviceRowKey(*d, -1));
    }
  }
  rememberSelection();
  rows_.clear();
  selected_ = -1;
  const int count = devices_ ? static_cast<int>(std::min<std::size_t>(devices_->size(), 0x10000)) : 0;
  for (int i = 0; i < count; ++i) appendRows(i, false, rows_);
  if (!checked.empty()) {
    for (Row& r : rows_) {
      CDevice* d = device(r.device);
      if (d && checked.contains(deviceRowKey(*d, -1))) r.checked = true;
    }
  }
  restoreSelection();
}

void DeviceListModel::reinsertDevice(int index) {
  // Remember where the device's rows were, drop them, and put its new rows at the first place.
  std::size_t at = rows_.size();
  bool checked = false;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].device == index) {
      at = std::min(at, i);
      checked = checked || rows_[i].checked;
    }
  }
  const int selectedDevice = (selected_ >= 0) ? rows_[static_cast<std::size_t>(selected_)].device : -1;
  const int selectedPort = (selected_ >= 0) ? rows_[static_cast<std::size_t>(selected_)].port : -1;
  std::erase_if(rows_, [index](const Row& r) { return r.device == index; });
  at = std::min(at, rows_.size());
  std::vector<Row> fresh;
  appendRows(index, false, fresh);
  for (Row& r : fresh) r.checked = checked;
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), fresh.begin(), fresh.end());
  selected_ = -1;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].device == selectedDevice && rows_[i].port == selectedPort) selected_ = static_cast<int>(i);
  }
}

std::string_view DeviceListModel::sortText(const Row& r) const {
  CDevice* d = device(r.device);
  if (!d) return {};
  d->setCurrentPort(devices::isPortColumn(sortColumn_) ? r.port : -1);
  // The text lives in the device (a field per port), so it stays valid while other rows are read.
  return textOf(d->columnText(sortColumn_));
}

bool DeviceListModel::lessThan(const Row& a, const Row& b, int c) const {
  if (!device(a.device) || !device(b.device)) return false;
  if (c == 0) {
    // The identity columns break ties by data value, ascending whatever the direction.
    if (sortColumn_ <= devices::kColSerialNumber) return rowDataValue(a.device, a.port) < rowDataValue(b.device, b.port);
    return false;
  }
  return sortDescending_ ? c > 0 : c < 0;
}

void DeviceListModel::sort() {
  rememberSelection();
  // Each row's text (and address) is looked up once, not once per comparison.
  struct Keyed {
    Row row;
    std::string_view text;
    std::optional<std::uint32_t> address;
  };
  const bool byAddress = devices::kDeviceColumns[static_cast<std::size_t>(sortColumn_)].sort == devices::SortKind::Address;
  std::vector<Keyed> keyed;
  keyed.reserve(rows_.size());
  for (const Row& r : rows_) {
    const std::string_view text = sortText(r);
    keyed.push_back({r, text, byAddress ? devices::parseIpv4(text) : std::nullopt});
  }
  // A row without text first; addresses as numbers, before texts that are none; else bytes.
  const auto compare = [byAddress](const Keyed& a, const Keyed& b) {
    if (a.text.empty() != b.text.empty()) return a.text.empty() ? -1 : 1;
    if (byAddress && (a.address || b.address)) {
      if (a.address && b.address) return *a.address < *b.address ? -1 : (*a.address > *b.address ? 1 : 0);
      return a.address ? -1 : 1;
    }
    const int c = a.text.compare(b.text);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  };
  std::stable_sort(keyed.begin(), keyed.end(),
                   [&](const Keyed& a, const Keyed& b) { return lessThan(a.row, b.row, compare(a, b)); });
  for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i] = keyed[i].row;
  if (!selectedKey_.empty()) restoreSelection();
}

std::optional<DeviceListModel::SortChange> DeviceListModel::headerClicked(int shown) {
  const int column = catalogueColumn(shown);
  if (!devices::isColumnIndex(column)) return std::nullopt;
  if (column == sortColumn_) sortDescending_ = !sortDescending_;
  sortColumn_ = column;
  sort();
  return SortChange{sortColumn_, sortDescending_};
}

int DeviceListModel::catalogueColumn(int shown) const noexcept {
  return (shown >= 0 && shown < columnCount()) ? columns_[static_cast<std::size_t>(shown)] : devices::kNoColumn;
}

const DeviceListModel::Row* DeviceListModel::row(int index) const noexcept {
  return (index >= 0 && index < rowCount()) ? &rows_[static_cast<std::size_t>(index)] : nullptr;
}

CDevice* DeviceListModel::rowDevice(int index) const noexcept {
  const Row* r = row(index);
  return r ? device(r->device) : nullptr;
}

std::string DeviceListModel::text(int rowIndex, int shown) const { return std::string(textView(rowIndex, shown)); }

std::string_view DeviceListModel::textView(int rowIndex, int shown) const {
  const Row* r = row(rowIndex);
  CDevice* d = r ? device(r->device) : nullptr;
  const int column = catalogueColumn(shown);
  if (!d || !devices::isColumnIndex(column)) return {};
  if (r->device == frozenDevice_) {
    const auto it = frozenTexts_.find({r->port, column});
    return it == frozenTexts_.end() ? std::string_view() : std::string_view(it->second);
  }
  d->setCurrentPort(r->port);
  return textOf(d->columnText(column));
}

void DeviceListModel::freezeDevice(int index) {
  thawDevice();
  CDevice* d = device(index);
  if (!d) return;
  for (int i = 0; i < rowCount(); ++i) {
    const Row& r = rows_[static_cast<std::size_t>(i)];
    if (r.device != index) continue;
    for (int column : columns_) {
      d->setCurrentPort(r.port);
      frozenTexts_[{r.port, column}] = std::string(textOf(d->columnText(column)));
    }
    frozenImages_[r.port] = image(i);
  }
  frozenDevice_ = index;
}

void DeviceListModel::thawDevice() noexcept {
  frozenDevice_ = -1;
  frozenTexts_.clear();
  frozenImages_.clear();
}

int DeviceListModel::image(int rowIndex) const noexcept {
  const Row* r = row(rowIndex);
  CDevice* d = r ? device(r->device) : nullptr;
  if (!d) return 0;
  if (r->device == frozenDevice_) {
    const auto it = frozenImages_.find(r->port);
    return it == frozenImages_.end() ? 0 : it->second;
  }
  if (r->port >= 0) return devices::rowImage(d->statusLevel(r->port + 1, masks_), true);
  return devices::rowImage(d->statusLevel(0, masks_), false);
}

std::uint32_t DeviceListModel::dataValue(int rowIndex) const noexcept {
  const Row* r = row(rowIndex);
  return r ? rowDataValue(r->device, r->port) : 0;
}

bool DeviceListModel::setChecked(int rowIndex, bool checked) noexcept {
  if (rowIndex < 0 || rowIndex >= rowCount()) return false;
  Row& r = rows_[static_cast<std::size_t>(rowIndex)];
  CDevice* d = device(r.device);
  if (!d) return false;
  if (checked && isSecondFamily(*d)) return false;
  r.checked = checked;
  return true;
}

bool DeviceListModel::toggleChecked(int rowIndex) noexcept {
  const Row* r = row(rowIndex);
  return r && setChecked(rowIndex, !r->checked);
}

void DeviceListModel::checkAll() noexcept {
  for (int i = 0; i < rowCount(); ++i) setChecked(i, true);
}

void DeviceListModel::checkNone() noexcept {
  for (Row& r : rows_) r.checked = false;
}

std::vector<int> DeviceListModel::checkedDevices() const {
  std::vector<int> out;
  std::vector<bool> seen;
  for (const Row& r : rows_) {
    if (!r.checked || r.device < 0) continue;
    const auto at = static_cast<std::size_t>(r.device);
    if (at >= seen.size()) seen.resize(at + 1, false);
    if (seen[at]) continue;
    seen[at] = true;
    out.push_back(r.device);
  }
  return out;
}

void DeviceListModel::rememberSelection() {
  const Row* r = row(selected_);
  CDevice* d = r ? device(r->device) : nullptr;
  if (d) selectedKey_ = deviceRowKey(*d, r->port);
}

int DeviceListModel::restoreSelection() {
  selected_ = rows_.empty() ? -1 : 0;
  if (selectedKey_.empty()) return selected_;
  // The same row, else the device's first row (the mode changed between device and port rows).
  const std::string device = selectedKey_.substr(0, selectedKey_.rfind('|') + 1);
  int sameDevice = -1;
  for (int i = 0; i < rowCount(); ++i) {
    CDevice* d = rowDevice(i);
    if (!d) continue;
    const std::string key = deviceRowKey(*d, rows_[static_cast<std::size_t>(i)].port);
    if (key == selectedKey_) return selected_ = i;
    if (sameDevice < 0 && key.compare(0, device.size(), device) == 0) sameDevice = i;
  }
  if (sameDevice >= 0) selected_ = sameDevice;
  return selected_;
}

int DeviceListModel::worstLevel() const {
  if (std::find(columns_.begin(), columns_.end(), devices::kColStatus) == columns_.end()) return devices::kLevelGood;
  int worst = devices::kLevelGood;
  for (const Row& r : rows_) {
    CDevice* d = device(r.device);
    if (!d) continue;
    const int level = d->statusLevel(r.port >= 0 ? r.port + 1 : 0, masks_);
    if (severity(level) > severity(worst)) worst = level;
  }
  return worst;
}

}  // namespace app
