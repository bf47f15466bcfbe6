#include "devices/ipv4_text.h"

#include <cstdio>

namespace devices {

std::optional<std::uint32_t> parseIpv4(std::string_view text) noexcept {
  std::uint32_t value = 0;
  std::size_t pos = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (pos >= text.size() || text[pos] != '.') return std::nullopt;
      ++pos;
    }
    unsigned number = 0;
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
      number = number * 10 + static_cast<unsigned>(text[pos] - '0');
      ++pos;
      ++digits;
    }
    if (digits == 0 || digits > 3 || number > 255) return std::nullopt;
    value = (value << 8) | number;
  }
  if (pos != text.size()) return std::nullopt;
  return value;
}

Ipv4Text formatIpv4(const std::uint8_t* bytes) noexcept {
  char text[Ipv4Text::kSize];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
  return Ipv4Text(text);
}

int compareIpv4Texts(std::string_view a, std::string_view b) noexcept {
  const auto x = parseIpv4(a);
  const auto y = parseIpv4(b);
  if (x && y) return *x < *y ? -1 : (*x > *y ? 1 : 0);
  if (x) return -1;
  if (y) return 1;
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace devices
