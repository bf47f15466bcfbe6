#pragma once
// IPv4 addresses as numbers. Addresses are compared as numbers, never as texts:
// "010.1.2.3" and "10.1.2.3" are the same print server.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sockaddr_in;

namespace platform {

// Dotted decimal "a.b.c.d": at most 15 characters, exactly three dots, every part one or more
// decimal digits with a value of 0-255 (leading zeros are decimal, "000.000.000.000" is 0).
// The result is in host byte order (a.b.c.d is a<<24 | b<<16 | c<<8 | d).
std::optional<std::uint32_t> parseIpv4(std::string_view text);
std::string formatIpv4(std::uint32_t address);

constexpr bool isLoopbackAddress(std::uint32_t a) { return (a >> 24) == 127; }
constexpr bool isMulticastAddress(std::uint32_t a) { return (a >> 28) == 0xE; }
constexpr std::uint32_t ipv4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  return std::uint32_t{a} << 24 | std::uint32_t{b} << 16 | std::uint32_t{c} << 8 | d;
}
inline constexpr std::uint32_t kLoopbackAddress = 0x7F000001;  // 127.0.0.1
inline constexpr std::uint32_t kAnyAddress = 0;

// An IPv4 endpoint, host byte order.
struct SocketAddress {
  std::uint32_t address = 0;
  std::uint16_t port = 0;

  void toSockaddr(sockaddr_in& out) const;
  static SocketAddress fromSockaddr(const sockaddr_in& in);
  std::string toString() const;  // "a.b.c.d:port"
  bool operator==(const SocketAddress&) const = default;
};

}  // namespace platform
