#pragma once
// Device status: the bits a reply decodes to, the level they give under the user's Error and
// Warning masks, the words and images of each level, the Status Icons rows that edit the masks,
// the display filter of a view, and the datecode order.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace devices {

class CDevice;
struct DiscoveryReply;

// Status bits. Port bits (0x1-0x200) live per port; the others device-wide.
inline constexpr std::uint32_t kBitPrinterOffline = 0x1;
inline constexpr std::uint32_t kBitNoPrinterAttached = 0x10;
inline constexpr std::uint32_t kBitTonerLow = 0x20;
inline constexpr std::uint32_t kBitPaperOut = 0x40;
inline constexpr std::uint32_t kBitPaperJam = 0x80;
inline constexpr std::uint32_t kBitPrinterOpen = 0x100;
inline constexpr std::uint32_t kBitPrinterError = 0x200;
inline constexpr std::uint32_t kBitTcpIpError = 0x1000;
inline constexpr std::uint32_t kBitNetWareError = 0x2000;
inline constexpr std::uint32_t kBitDownloadMode = 0x10000;
inline constexpr std::uint32_t kBitNoResponse = 0x20000;
inline constexpr std::uint32_t kBitSecondFamily = 0x10000000;

// Levels: 1 Good, 2 Warning, 3 Error, 4 F/W Update.
inline constexpr int kLevelGood = 1;
inline constexpr int kLevelWarning = 2;
inline constexpr int kLevelError = 3;
inline constexpr int kLevelFirmwareUpdate = 4;

// The General\Icons values; the caller reads them from the settings store.
struct StatusMasks {
  std::uint32_t error = 0x30000;
  std::uint32_t warning = 0x23E1;
  friend bool operator==(const StatusMasks&, const StatusMasks&) = default;
};

// Download mode wins over the masks, then Error, then Warning.
int levelFromBits(std::uint32_t bits, const StatusMasks& masks) noexcept;

// "Good", "Warning", "Error", "F/W Update" (strings 6166, 6167, 6165, 6168); "" for another level.
const char* statusWord(int level) noexcept;

// Image index of a list row: port rows 1-4, device rows 6-9; 0 for a level out of range.
int rowImage(int level, bool portRow) noexcept;

// What the status block of a reply says: device bits, the reply status level, per-port bits.
struct ReplyStatusDecode {
  std::uint32_t deviceBits = 0;
  int level = kLevelGood;
  std::array<std::uint32_t, 6> portBits = {};
};
ReplyStatusDecode decodeReplyStatus(const DiscoveryReply& reply) noexcept;

// --- Status Icons page ---------------------------------------------------------------------
struct StatusIconRow {
  const char* text;
  std::uint32_t bit;
};
inline constexpr std::array<StatusIconRow, 10> kStatusIconRows = {{
    {"Printer Off-line", kBitPrinterOffline},
    {"No Printer Attached", kBitNoPrinterAttached},
    {"Toner Low*", kBitTonerLow},
    {"Paper Out", kBitPaperOut},
    {"Paper Jam*", kBitPaperJam},
    {"Printer Open*", kBitPrinterOpen},
    {"Printer Error", kBitPrinterError},
    {"TCP/IP Error", kBitTcpIpError},
    {"NetWare Error", kBitNetWareError},
    {"No Response", kBitNoResponse},
}};
inline constexpr const char* kStatusIconsNote = "*Require PJL Printer and PJL enabled on port. ";

constexpr std::uint32_t statusIconBits() noexcept {
  std::uint32_t bits = 0;
  for (const auto& row : kStatusIconRows) bits |= row.bit;
  return bits;
}

// The class a row shows: Error when its bit is in the Error mask, else Warning, else Good.
int statusIconLevel(std::uint32_t bit, const StatusMasks& masks) noexcept;

// The masks after OK, from the level chosen for each row (kStatusIconRows order; 1, 2 or 3).
// Bits that no row shows (download mode 0x10000 in the default Error mask) keep their previous
// state, so an OK without a change leaves the masks equal and triggers no refresh.
StatusMasks masksFromStatusIcons(const std::array<int, 10>& rowLevels, const StatusMasks& previous) noexcept;

// --- Display filter --------------------------------------------------------------------------
// column: a catalogue index; anything outside 0-28 means the view has no filter.
struct DisplayFilter {
  int column = 255;
  std::vector<std::string> values;
};

// True when the view has no filter, or the device's text for the filter column (at its current
// port) matches one of the values with wildcardMatch. A device without that text never passes.
bool filterAccepts(const CDevice& device, const DisplayFilter& filter) noexcept;

// The values offered for a column of value type 1: each distinct non-empty text (exact
// comparison) the column has among the devices, in the order met, at each device's current port.
std::vector<std::string> filterValueChoices(std::span<const CDevice* const> devices, int column);

inline constexpr const char* kValueListEmpty =
    "Value list empty. To populate the list with current values, save settings, refresh the view, and modify the "
    "view filter settings again.";

// --- Datecodes ---------------------------------------------------------------------------------
// Datecodes are year and week digits ("9540" is 1995 week 40, "0112" 2001 week 12). They order
// by date: two-digit years below 70 are 20xx. Texts that do not start with four digits compare
// as texts. Result <0, 0, >0.
int compareDatecodes(std::string_view a, std::string_view b) noexcept;
inline bool datecodeAtLeast(std::string_view datecode, std::string_view threshold) noexcept {
  return compareDatecodes(datecode, threshold) >= 0;
}

}  // namespace devices
