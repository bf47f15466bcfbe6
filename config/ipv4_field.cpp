#include "config/ipv4_field.h"

#include <cstdio>

namespace config {

bool parseIpv4Field(std::string_view text, std::uint8_t out[4]) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) {
    out[0] = out[1] = out[2] = out[3] = 0;
    return true;
  }
  if (text.size() > 15) return false;
  int part = 0;
  unsigned value = 0;
  int digits = 0;
  std::uint8_t bytes[4] = {};
  for (char c : text) {
    if (c == '.') {
      if (digits == 0 || part == 3) return false;
      bytes[part++] = static_cast<std::uint8_t>(value);
      value = 0;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      value = value * 10 + static_cast<unsigned>(c - '0');
      if (++digits > 3 || value > 255) return false;
    } else {
      return false;
    }
  }
  if (part != 3 || digits == 0) return false;
  bytes[3] = static_cast<std::uint8_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = bytes[i];
  return true;
}

std::string formatIpv4(const std::uint8_t a[4]) {
  char text[16];
  std::snprintf(text, sizeof text, "%hu.%hu.%hu.%hu", static_cast<unsigned short>(a[0]),
                static_cast<unsigned short>(a[1]), static_cast<unsigned short>(a[2]),
                static_cast<unsigned short>(a[3]));
  return text;
}

bool reservedHostAddress(const std::uint8_t a[4]) { return a[0] == 0 || a[0] >= 224; }

}  // namespace config
