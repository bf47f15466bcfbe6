#pragma once
// What the wireless pages offer in their lists, from what the print server reports: channels,
// data rates, radios, regulatory countries. Pure functions of the reported values, so the pages
// and the wizard build the same lists.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace config {

// One list entry: the text shown and the value behind it (the item data).
struct ListItem {
  std::string text;
  std::int32_t data = 0;
  bool operator==(const ListItem&) const = default;
};

// Index of the first item whose data equals `data`, or -1.
int findItem(const std::vector<ListItem>& items, std::int32_t data);

// Below wireless level 3: bit k (0-25) of the mask offers the k-th channel of 1-14, 36, 40, 44,
// 48, 52, 60, 64, 149, 153, 157, 161, 165.
std::vector<ListItem> channelsFromMask(std::uint32_t mask);
// From level 3: byte i of the bit map, bit j counted from the most significant, offers channel
// 8i + j. At most 32 bytes count (channels 0-255).
std::vector<ListItem> channelsFromBitmap(std::string_view bitmap);

// Data rates by index: "1", "2", "5.5", "11", "6", "9", "12", "18", "24", "48", "54", "108".
std::string_view dataRateText(int index);
// Below level 3 the indexes 0-3, from level 3 each index whose bit is set in `mask`; sorted by
// their text, as the list shows them.
std::vector<ListItem> dataRates(bool fromLevelThree, std::uint32_t mask);

// Bits 0-4 of the mask offer the radio values 0-4.
std::vector<ListItem> radios(std::uint32_t mask);
std::vector<ListItem> wirelessModes();   // "Ad Hoc (802.11)" 1, "Infrastructure" 3
std::vector<ListItem> densities();       // "Low" 0, "Medium" 1, "High" 2
std::vector<ListItem> strictness();      // "Disabled" 1, "Strict" 2, "Flexible" 3

// The regulatory countries a print server offers, by their names in the country table; the
// item data is the entry's index in `codes`. Codes not in the table get no entry.
std::vector<ListItem> countryItems(const std::vector<std::string>& codes);

}  // namespace config
