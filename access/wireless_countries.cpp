#include "access/wireless_countries.h"

#include <iterator>

namespace mib {
namespace {

constexpr WirelessCountry kCountries[] = {
    {"US ", "United States"},
    {"USI", "United States Indoor"},
    {"AU ", "Australia"},
    {"AT ", "Austria"},
    {"ATI", "Austria Indoor"},
    {"BE ", "Belgium"},
    {"BEI", "Belgium Indoor"},
    {"CA ", "Canada"},
    {"DK ", "Denmark"},
    {"DKI", "Denmark Indoor"},
    {"FI ", "Finland"},
    {"FII", "Finland Indoor"},
    {"FR ", "France"},
    {"FRI", "France Indoor"},
    {"DE ", "Germany"},
    {"DEI", "Germany Indoor"},
    {"GR ", "Greece"},
    {"HU ", "Hungary"},
    {"HK ", "Hong Kong"},
    {"IS ", "Iceland"},
    {"ISI", "Iceland Indoor"},
    {"IN ", "India"},
    {"IE ", "Ireland"},
    {"IEI", "Ireland Indoor"},
    {"IT ", "Italy"},
    {"ITI", "Italy Indoor"},
    {"JP ", "Japan"},
    {"JPI", "Japan Indoor"},
    {"JPO", "Japan Outdoor"},
    {"LU ", "Luxembourg"},
    {"LUI", "Luxembourg Indoor"},
    {"NL ", "Netherlands"},
    {"NLI", "Netherlands Indoor"},
    {"NZ ", "New Zealand"},
    {"NO ", "Norway"},
    {"NOI", "Norway Indoor"},
    {"CN ", "People's Republic of China"},
    {"PT ", "Portugal"},
    {"PTI", "Portugal Indoor"},
    {"PL ", "Poland"},
    {"SG ", "Singapore"},
    {"ES ", "Spain"},
    {"ESI", "Spain Indoor"},
    {"SE ", "Sweden"},
    {"SEI", "Sweden Indoor"},
    {"CH ", "Switzerland"},
    {"CHI", "Switzerland Indoor"},
    {"TW ", "Taiwan"},
    {"GB ", "United Kingdom"},
    {"GBI", "United Kingdom Indoor"},
};
static_assert(std::size(kCountries) == 50);

}  // namespace

std::span<const WirelessCountry> wirelessCountries() noexcept { return kCountries; }

std::string_view wirelessCountryName(std::string_view code) noexcept {
  if (code.size() == 2) {
    for (const WirelessCountry& c : kCountries) {
      if (c.code.substr(0, 2) == code && c.code[2] == ' ') return c.name;
    }
    return {};
  }
  for (const WirelessCountry& c : kCountries) {
    if (c.code == code) return c.name;
  }
  return {};
}

std::string_view wirelessCountryCode(std::string_view name) noexcept {
  for (const WirelessCountry& c : kCountries) {
    if (c.name == name) return c.code;
  }
  return {};
}

}  // namespace mib
