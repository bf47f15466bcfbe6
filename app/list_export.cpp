#include "app/list_export.h"

#include <set>

#include "app/device_list_model.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "platform/atomic_file.h"

namespace app {

namespace {

constexpr const char* kLineEnd = "\r\n";

// At most `max` bytes, backing off so that a multi-byte character is not cut in two.
std::string_view cut(std::string_view text, std::size_t max) {
  if (text.size() <= max) return text;
  std::size_t n = max;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

int write(const std::string& path, const std::string& text) {
  return platform::writeFileAtomically(path, text) ? kExportOk : kExportCannotCreate;
}

}  // namespace

std::string exportCell(std::string_view text) {
  const std::string_view shown = cut(text, kExportCellChars);
  if (shown.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(shown);
  std::string quoted = "\"";
  for (char c : shown) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string listFileText(const DeviceListModel& list) {
  std::string out;
  for (int c = 0; c < list.columnCount(); ++c) out += exportCell(devices::columnTitle(list.catalogueColumn(c))) + ",";
  out += kLineEnd;
  for (int r = 0; r < list.rowCount(); ++r) {
    for (int c = 0; c < list.columnCount(); ++c) out += exportCell(list.text(r, c)) + ",";
    out += kLineEnd;
  }
  // The last row ends without its "," and line end.
  if (list.rowCount() > 0) out.resize(out.size() - std::string_view(kLineEnd).size() - (list.columnCount() > 0 ? 1 : 0));
  return out;
}

bool isUnconfiguredAddress(std::string_view address) {
  return address == "198.102.102.254" || address == "192.0.0.192" || address == "0.0.0.0";
}

std::vector<std::string> listedAddresses(const DeviceListModel& list) {
  std::vector<std::string> out;
  std::string previous;
  std::set<int> seen;  // devices whose first row has been taken
  for (int r = 0; r < list.rowCount(); ++r) {
    const DeviceListModel::Row* row = list.row(r);
    devices::CDevice* device = list.rowDevice(r);
    if (!row || !device) continue;
    // Port rows of one server are apart when the list is sorted by a port column: only the
    // server's first row counts, wherever its others sit.
    if (!seen.insert(row->device).second) continue;
    const char* text = device->columnText(devices::kColIpAddress);
    const std::string address = text ? text : "";
    if (address.empty() || address == previous || isUnconfiguredAddress(address)) continue;
    out.push_back(address);
    previous = address;
  }
  return out;
}

std::string addressFileText(const DeviceListModel& list) {
  std::string out;
  for (const std::string& address : listedAddresses(list)) {
    out += address;
    out += kLineEnd;
  }
  return out;
}

int saveList(const DeviceListModel& list, const std::string& path) { return write(path, listFileText(list)); }

int saveIpAddresses(const DeviceListModel& list, const std::string& path) {
  return write(path, addressFileText(list));
}

std::string defaultListFileName(std::string_view viewName) { return std::string(viewName) + ".txt"; }

}  // namespace app
