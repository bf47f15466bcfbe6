#pragma once
// The column catalogue every view and the device list share: 29 rows in a fixed order, with their
// default widths, how the display filter offers values, how they sort, their column bit and which
// device classes supply a text. And the text of any column for any device.
#include <array>
#include <cstdint>
#include <string_view>

namespace devices {

class CDevice;

enum class FilterValueKind : std::uint8_t {
  FreeText = 0,       // one pattern, default "*"
  CurrentValues = 1,  // picked from the texts the found devices have
  FixedList = 2,      // picked from the row's value list
};
enum class SortKind : std::uint8_t { Text, Address };

// "Supplied by" sets: the DeviceClass bits.
inline constexpr std::uint8_t kByIp = 1, kByIpx = 2, kBySerial = 4, kByNetWare = 8;
inline constexpr std::uint8_t kByAll = kByIp | kByIpx | kBySerial | kByNetWare;

struct DeviceColumn {
  const char* title;  // at most 24 characters
  int width;          // default width in pixels
  int minWidth;       // for automatic sizing
  FilterValueKind valueKind;
  std::array<const char*, 3> values;  // FixedList only; unused entries nullptr
  SortKind sort;
  std::uint32_t bit;
  std::uint8_t suppliedBy;
};

enum ColumnIndex : int {
  kColSystemName, kColNwName, kColIpAddress, kColHwAddress, kColSerialNumber, kColSerialPort, kColSubnetMask,
  kColDefaultGateway, kColProductType, kColProductNumber, kColDatecode, kColNetworkNumber, kColFileServerOrTree,
  kColMode, kColStatus, kColPortName, kColPortStatus, kColPrinterId, kColPrinterDisplay, kColPortNumber, kColSsid,
  kColWirelessMode, kColCurrentSsid, kColSecurity, kColSignalPercentage, kColSignalDescription, kColDataRate,
  kColLocation, kColFirmwareVersion,
};
inline constexpr int kColumnCount = 29;
inline constexpr int kNoColumn = 255;

namespace detail {
using F = FilterValueKind;
using S = SortKind;
inline constexpr std::uint8_t kIpKinds = kByIp | kByIpx | kBySerial;
inline constexpr std::array<const char*, 3> kNone = {nullptr, nullptr, nullptr};
}  // namespace detail

// The Status bit is 0x4000 alone: the 0x800 the original row also carried is the Network # bit,
// so a view showing Status would also have counted as showing Network #.
inline constexpr std::array<DeviceColumn, kColumnCount> kDeviceColumns = {{
    {"System Name", 140, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x1, kByAll},
    {"NW Name", 150, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x2, kByNetWare},
    {"IP Address", 100, 10, detail::F::FreeText, detail::kNone, detail::S::Address, 0x4, detail::kIpKinds},
    {"H/W Address", 100, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x8, kByAll},
    {"Serial #", 70, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x10, kByAll},
    {"Serial Port", 60, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x20, kBySerial},
    {"Subnet Mask", 100, 10, detail::F::FreeText, detail::kNone, detail::S::Address, 0x40, detail::kIpKinds},
    {"Default Gateway", 100, 10, detail::F::FreeText, detail::kNone, detail::S::Address, 0x80, detail::kIpKinds},
    {"Product Type", 120, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x100, kByAll},
    {"Product #", 60, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x200, kByAll},
    {"Datecode", 60, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x400, kByAll},
    {"Network #", 140, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x800, kByIpx | kByNetWare},
    {"File Server or Tree", 140, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x1000, kByNetWare},
    {"Mode", 140, 10, detail::F::FixedList, {"RPrinter", "PServer", nullptr}, detail::S::Text, 0x2000, kByNetWare},
    {"Status", 80, 10, detail::F::FixedList, {"Good", "Warning", "Error"}, detail::S::Text, 0x4000, kByAll},
    {"Port Name", 110, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x8000, kByAll},
    {"Port Status", 180, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x10000, kByAll},
    {"Printer ID", 150, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x20000, kByAll},
    {"Printer Display", 140, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x40000, kByAll},
    {"Port #", 40, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x80000, kByAll},
    {"SSID", 140, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x100000, kByAll},
    {"Wireless Mode", 140, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x200000, kByAll},
    {"Current SSID", 140, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x400000, kByAll},
    {"Security", 140, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x800000, kByAll},
    {"Signal Percentage", 40, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x1000000, kByAll},
    {"Signal Description", 140, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x2000000, kByAll},
    {"Data Rate", 40, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x4000000, kByAll},
    {"Location", 40, 10, detail::F::CurrentValues, detail::kNone, detail::S::Text, 0x8000000, kByAll},
    {"Firmware Version", 40, 10, detail::F::FreeText, detail::kNone, detail::S::Text, 0x10000000, kByAll},
}};

// Column groups by bit.
inline constexpr std::uint32_t kPortColumnBits = 0xF8000;
inline constexpr std::uint32_t kWirelessColumnBits = 0x7F00000;
inline constexpr std::uint32_t kLocationColumnBit = 0x8000000;
inline constexpr std::uint32_t kFirmwareColumnBit = 0x10000000;
constexpr bool showsPortColumn(std::uint32_t columnBits) noexcept { return (columnBits & kPortColumnBits) != 0; }
constexpr bool showsWirelessColumn(std::uint32_t columnBits) noexcept { return (columnBits & kWirelessColumnBits) != 0; }
constexpr bool showsLocationColumn(std::uint32_t columnBits) noexcept { return (columnBits & kLocationColumnBit) != 0; }
constexpr bool showsFirmwareColumn(std::uint32_t columnBits) noexcept { return (columnBits & kFirmwareColumnBit) != 0; }

constexpr bool isColumnIndex(int index) noexcept { return index >= 0 && index < kColumnCount; }
constexpr bool isPortColumn(int index) noexcept { return isColumnIndex(index) && (kDeviceColumns[index].bit & kPortColumnBits); }

// Exact title comparison; kNoColumn when no row has that title.
int columnIndex(std::string_view title) noexcept;
// The title of a row, or nullptr out of range.
const char* columnTitle(int index) noexcept;
// The OR of the bits of the given column indices (out-of-range ones skipped).
std::uint32_t columnBits(const int* indices, std::size_t count) noexcept;

// The text a device shows in a column: nullptr when its class does not supply the column.
const char* deviceColumnText(const CDevice& device, int column) noexcept;

// Sort order of two cell texts of a column: address columns as IPv4 addresses, others as texts.
int compareColumnTexts(int column, std::string_view a, std::string_view b) noexcept;

// The column widths of the list, starting from the catalogue's defaults.
class ColumnWidths {
 public:
  ColumnWidths() noexcept;
  int width(int index) const noexcept { return isColumnIndex(index) ? widths_[index] : 0; }
  void setWidth(int index, int width) noexcept;  // negative widths become 0
  void reset() noexcept;

 private:
  std::array<int, kColumnCount> widths_;
};

}  // namespace devices
