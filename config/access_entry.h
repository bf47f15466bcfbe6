#pragma once
// The "Add an Access Entry" dialog's rules (used by the Device Access options): an IP address or
// subnet with "*" wildcards, or an IPX serial number / network number.
#include <cstdint>
#include <string_view>

namespace config {

enum class AccessEntryMode { Ip, Ipx };

inline constexpr const char* kTextAccessPromptIp = "Enter an IP address/subnet: \n(* = wildcard for subnets)";
inline constexpr const char* kTextAccessPromptIpx =
    "Enter a serial number or enter a network number followed by a dash '-': (* = wildcard to match multiple "
    "devices)";

struct AccessEntryCheck {
  bool ok = true;
  std::uint32_t textId = 0;  // the message's string id, reported with errorClass
  int errorClass = 0;
};

// IP: the text with its first "*" replaced by "1" must be an address inet_addr takes (which
// refuses 255.255.255.255). IPX: only hexadecimal digits, "-" and "*".
AccessEntryCheck checkAccessEntry(AccessEntryMode mode, std::string_view text);

}  // namespace config
