#pragma once
// Dotted IPv4 texts as the device records and the list show them. Addresses are compared as
// numbers, never as texts: "010.1.2.3" and "10.1.2.3" are the same address.
#include <cstdint>
#include <optional>
#include <string_view>

#include "devices/fixed_text.h"

namespace devices {

using Ipv4Text = FixedText<16>;  // "255.255.255.255" and its terminator

// Four decimal parts of one to three digits, each 0-255; the value in host order.
std::optional<std::uint32_t> parseIpv4(std::string_view text) noexcept;

// Four bytes in network order as "a.b.c.d".
Ipv4Text formatIpv4(const std::uint8_t* bytes) noexcept;

// Both texts as addresses when they are; a text that is no address sorts after every address,
// and two such texts compare as texts. Result <0, 0, >0.
int compareIpv4Texts(std::string_view a, std::string_view b) noexcept;

}  // namespace devices
