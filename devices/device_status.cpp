#include "devices/device_status.h"

#include "devices/device.h"
#include "devices/device_column.h"
#include "devices/discovery_reply.h"
#include "devices/wildcard_match.h"

namespace devices {
namespace {

// General status texts that mean the print server itself is failing.
constexpr std::string_view kCriticalStatus[] = {
    "Error Reading or Writing to Flash Memory",
    "Self Test Detected an Error",
    "CRC Error, Code Space Invalid",
};

std::uint32_t portCodeBit(std::uint8_t code) noexcept {
  switch (code) {
    case 2: return kBitNoPrinterAttached;
    case 3: return kBitTonerLow;
    case 4: return kBitPaperOut;
    case 5: return kBitPaperJam;
    case 6: return kBitPrinterOpen;
    case 15: return kBitPrinterError;
    default: return 0;
  }
}

// The first four characters as year-and-week digits, with the century filled in.
bool datecodeKey(std::string_view text, int& key) noexcept {
  if (text.size() < 4) return false;
  for (int i = 0; i < 4; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  const int year = (text[0] - '0') * 10 + (text[1] - '0');
  const int week = (text[2] - '0') * 10 + (text[3] - '0');
  key = ((year < 70 ? 2000 : 1900) + year) * 100 + week;
  return true;
}

int sign(int v) noexcept { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int levelFromBits(std::uint32_t bits, const StatusMasks& masks) noexcept {
  if (bits & kBitDownloadMode) return kLevelFirmwareUpdate;
  if (bits & masks.error) return kLevelError;
  if (bits & masks.warning) return kLevelWarning;
  return kLevelGood;
}

const char* statusWord(int level) noexcept {
  switch (level) {
    case kLevelGood: return "Good";              // 6166
    case kLevelWarning: return "Warning";        // 6167
    case kLevelError: return "Error";            // 6165
    case kLevelFirmwareUpdate: return "F/W Update";  // 6168
    default: return "";
  }
}

int rowImage(int level, bool portRow) noexcept {
  if (level < kLevelGood || level > kLevelFirmwareUpdate) return 0;
  return portRow ? level : level + 5;
}

ReplyStatusDecode decodeReplyStatus(const DiscoveryReply& reply) noexcept {
  ReplyStatusDecode d;
  const std::string_view general = reply.generalStatus.view();
  if (general.find("Download Mode") != std::string_view::npos) {
    d.deviceBits = kBitDownloadMode;
    d.level = kLevelFirmwareUpdate;
  }
  if (general != "None") {
    for (std::string_view critical : kCriticalStatus) {
      if (general == critical) {
        d.deviceBits |= kBitTcpIpError;
        if (d.level <= 2) d.level = kLevelError;
      }
    }
  }
  const int ports = reply.portCount < 0 ? 0 : (reply.portCount > kMaxPorts ? kMaxPorts : reply.portCount);
  for (int p = 0; p < ports; ++p) {
    const std::uint8_t input = reply.ports[p].inputState;
    const std::uint8_t code = reply.ports[p].statusCode;
    if (input == 2) d.portBits[p] |= kBitPrinterOffline;
    d.portBits[p] |= portCodeBit(code);
    // Ready (input 1, code 1) and "no printer attached" (code 2) raise nothing.
    if ((input == 1 && code == 1) || code == 2) continue;
    if (input == 2 && code != 1 && d.level < 3)
      d.level = kLevelError;
    else if (d.level < kLevelWarning)
      d.level = kLevelWarning;
  }
  return d;
}

int statusIconLevel(std::uint32_t bit, const StatusMasks& masks) noexcept {
  if (bit & masks.error) return kLevelError;
  if (bit & masks.warning) return kLevelWarning;
  return kLevelGood;
}

StatusMasks masksFromStatusIcons(const std::array<int, 10>& rowLevels, const StatusMasks& previous) noexcept {
  constexpr std::uint32_t kRows = statusIconBits();
  StatusMasks masks{previous.error & ~kRows, previous.warning & ~kRows};
  for (std::size_t i = 0; i < kStatusIconRows.size(); ++i) {
    if (rowLevels[i] == kLevelError)
      masks.error |= kStatusIconRows[i].bit;
    else if (rowLevels[i] == kLevelWarning)
      masks.warning |= kStatusIconRows[i].bit;
  }
  return masks;
}

bool filterAccepts(const CDevice& device, const DisplayFilter& filter) noexcept {
  if (!isColumnIndex(filter.column)) return true;
  const char* text = device.columnText(filter.column);
  if (text == nullptr) return false;
  for (const std::string& value : filter.values)
    if (wildcardMatch(text, value)) return true;
  return false;
}

std::vector<std::string> filterValueChoices(std::span<const CDevice* const> devices, int column) {
  std::vector<std::string> values;
  if (!isColumnIndex(column)) return values;
  for (const CDevice* device : devices) {
    if (device == nullptr) continue;
    const char* text = device->columnText(column);
    if (text == nullptr || *text == '\0') continue;
    bool known = false;
    for (const std::string& v : values) known = known || v == text;
    if (!known) values.emplace_back(text);
  }
  return values;
}

int compareDatecodes(std::string_view a, std::string_view b) noexcept {
  int x = 0, y = 0;
  if (datecodeKey(a, x) && datecodeKey(b, y) && x != y) return sign(x - y);
  return sign(a.compare(b));
}

}  // namespace devices
