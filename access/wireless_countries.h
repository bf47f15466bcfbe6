#pragma once
// Regulatory countries for the wireless pages and the multi-unit list: a three-character code
// (country code and " ", "I" for indoor or "O" for outdoor) and the name shown.
#include <cstddef>
#include <span>
#include <string_view>

namespace mib {

struct WirelessCountry {
  std::string_view code;
  std::string_view name;
};

// All 50 entries in table order: each country followed by its variants.
std::span<const WirelessCountry> wirelessCountries() noexcept;
// The name of a code ("USI" -> "United States Indoor"); empty when unknown. A two-letter code
// is taken as the country itself ("US" as "US ").
std::string_view wirelessCountryName(std::string_view code) noexcept;
// The code of a name; empty when unknown.
std::string_view wirelessCountryCode(std::string_view name) noexcept;

}  // namespace mib
