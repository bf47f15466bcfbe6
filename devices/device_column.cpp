#include "devices/device_column.h"

#include "devices/device.h"
#include "devices/ipv4_text.h"

namespace devices {
namespace {

constexpr bool catalogueIsSound() {
  std::uint32_t seen = 0;
  for (const auto& row : kDeviceColumns) {
    if (row.bit == 0 || (seen & row.bit)) return false;  // one bit per row, no overlaps
    seen |= row.bit;
    std::size_t n = 0;
    while (row.title[n]) ++n;
    if (n == 0 || n > 24) return false;
  }
  return true;
}
static_assert(catalogueIsSound(), "column rows need distinct bits and titles of 1-24 characters");

}  // namespace

int columnIndex(std::string_view title) noexcept {
  for (int i = 0; i < kColumnCount; ++i)
    if (title == kDeviceColumns[i].title) return i;
  return kNoColumn;
}

const char* columnTitle(int index) noexcept { return isColumnIndex(index) ? kDeviceColumns[index].title : nullptr; }

std::uint32_t columnBits(const int* indices, std::size_t count) noexcept {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < count; ++i)
    if (isColumnIndex(indices[i])) bits |= kDeviceColumns[indices[i]].bit;
  return bits;
}

const char* deviceColumnText(const CDevice& d, int column) noexcept {
  if (!isColumnIndex(column)) return nullptr;
  if (!(kDeviceColumns[column].suppliedBy & static_cast<std::uint8_t>(d.deviceClass()))) return nullptr;
  const int port = d.currentPort();
  const int p = port < 0 ? 0 : port;  // per-port columns of a device row show the first port
  switch (column) {
    case kColSystemName: return d.systemName.c_str();
    case kColHwAddress: return d.hardwareAddress.c_str();
    case kColSerialNumber: return d.serialNumber.c_str();
    case kColProductType: return d.productType.c_str();
    case kColProductNumber: return d.productNumber.c_str();
    case kColDatecode: return d.datecode.c_str();
    case kColStatus: return port < 0 ? d.statusWordText.c_str() : d.portStatusWords[p].c_str();
    case kColPortName: return d.portNames[p].c_str();
    case kColPortStatus: return d.portStatusTexts[p].c_str();
    case kColPrinterId: return d.printerIds[p].c_str();
    case kColPrinterDisplay: return d.printerDisplays[p].c_str();
    case kColPortNumber: return d.portNumbers[p].c_str();
    case kColSsid: return d.ssid.c_str();
    case kColWirelessMode: return d.wirelessMode.c_str();
    case kColCurrentSsid: return d.currentSsid.c_str();
    case kColSecurity: return d.security.c_str();
    case kColSignalPercentage: return d.signalPercentage.c_str();
    case kColSignalDescription: return d.signalDescription.c_str();
    case kColDataRate: return d.dataRate.c_str();
    case kColLocation: return d.location.c_str();
    case kColFirmwareVersion: return d.firmwareVersion.c_str();
    default: return d.kindColumnText(column);
  }
}

int compareColumnTexts(int column, std::string_view a, std::string_view b) noexcept {
  if (isColumnIndex(column) && kDeviceColumns[column].sort == SortKind::Address) return compareIpv4Texts(a, b);
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

ColumnWidths::ColumnWidths() noexcept { reset(); }

void ColumnWidths::setWidth(int index, int width) noexcept {
  if (isColumnIndex(index)) widths_[index] = width < 0 ? 0 : width;
}

void ColumnWidths::reset() noexcept {
  for (int i = 0; i < kColumnCount; ++i) widths_[i] = kDeviceColumns[i].width;
}

}  // namespace devices
