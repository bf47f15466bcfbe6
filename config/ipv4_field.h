#pragma once
// The address fields of the pages: dotted IPv4 text in, four bytes out. A blank field is
// 0.0.0.0, as an empty IP address control is.
#include <cstdint>
#include <string>
#include <string_view>

namespace config {

// Four decimal parts 0-255 with exactly three dots (blank: 0.0.0.0). False for anything else.
bool parseIpv4Field(std::string_view text, std::uint8_t out[4]);
// "%hu.%hu.%hu.%hu".
std::string formatIpv4(const std::uint8_t address[4]);
// An address a print server cannot take as its own: 0.x.x.x, the limited broadcast, multicast
// and above.
bool reservedHostAddress(const std::uint8_t address[4]);

}  // namespace config
