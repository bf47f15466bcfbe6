#include "config/wireless_lists.h"

#include <algorithm>
#include <array>

#include "access/wireless_countries.h"

namespace config {

namespace {

constexpr std::array<int, 26> kMaskChannels = {1,  2,  3,  4,  5,  6,  7,  8,   9,   10,  11,  12,  13,
                                               14, 36, 40, 44, 48, 52, 60, 64, 149, 153, 157, 161, 165};
constexpr std::array<std::string_view, 12> kRates = {"1", "2", "5.5", "11", "6", "9", "12", "18", "24", "48", "54", "108"};
constexpr std::array<std::string_view, 5> kRadios = {"802.11b only", "802.11g only", "802.11b and g", "802.11a only",
                                                     "802.11a, b and g"};
constexpr std::size_t kMaxBitmapBytes = 32;

}  // namespace

int findItem(const std::vector<ListItem>& items, std::int32_t data) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].data == data) return static_cast<int>(i);
  return -1;
}

std::vector<ListItem> channelsFromMask(std::uint32_t mask) {
  std::vector<ListItem> out;
  for (std::size_t k = 0; k < kMaskChannels.size(); ++k)
    if (mask & (1u << k)) out.push_back({std::to_string(kMaskChannels[k]), kMaskChannels[k]});
  return out;
}

std::vector<ListItem> channelsFromBitmap(std::string_view bitmap) {
  std::vector<ListItem> out;
  const std::size_t n = std::min(bitmap.size(), kMaxBitmapBytes);
  for (std::size_t i = 0; i < n; ++i) {
    const auto byte = static_cast<unsigned char>(bitmap[i]);
    for (int j = 0; j < 8; ++j)
      if (byte & (0x80u >> j)) {
        const int channel = static_cast<int>(8 * i) + j;
        out.push_back({std::to_string(channel), channel});
      }
  }
  return out;
}

std::string_view dataRateText(int index) {
  if (index < 0 || index >= static_cast<int>(kRates.size())) return {};
  return kRates[static_cast<std::size_t>(index)];
}

std::vector<ListItem> dataRates(bool fromLevelThree, std::uint32_t mask) {
  std::vector<ListItem> out;
  for (int i = 0; i < static_cast<int>(kRates.size()); ++i) {
    const bool offered = fromLevelThree ? (mask & (1u << i)) != 0 : i <= 3;
    if (offered) out.push_back({std::string(kRates[static_cast<std::size_t>(i)]), i});
  }
  // The list is sorted by its text, as a sorted combo box is.
  std::stable_sort(out.begin(), out.end(), [](const ListItem& a, const ListItem& b) { return a.text < b.text; });
  return out;
}

std::vector<ListItem> radios(std::uint32_t mask) {
  std::vector<ListItem> out;
  for (int i = 0; i < static_cast<int>(kRadios.size()); ++i)
    if (mask & (1u << i)) out.push_back({std::string(kRadios[static_cast<std::size_t>(i)]), i});
  return out;
}

std::vector<ListItem> wirelessModes() { return {{"Ad Hoc (802.11)", 1}, {"Infrastructure", 3}}; }
std::vector<ListItem> densities() { return {{"Low", 0}, {"Medium", 1}, {"High", 2}}; }
std::vector<ListItem> strictness() { return {{"Disabled", 1}, {"Strict", 2}, {"Flexible", 3}}; }

std::vector<ListItem> countryItems(const std::vector<std::string>& codes) {
  std::vector<ListItem> out;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const std::string_view name = mib::wirelessCountryName(codes[i]);
    if (!name.empty()) out.push_back({std::string(name), static_cast<std::int32_t>(i)});
  }
  return out;
}

}  // namespace config
