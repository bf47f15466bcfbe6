#include "platform/socket_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

namespace platform {

std::optional<std::uint32_t> parseIpv4(std::string_view text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  std::uint32_t result = 0;
  std::uint32_t part = 0;
  int digits = 0;
  int dots = 0;
  for (char c : text) {
    if (c == '.') {
      if (digits == 0 || ++dots > 3) return std::nullopt;
      result = result << 8 | part;
      part = 0;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      part = part * 10 + static_cast<std::uint32_t>(c - '0');
      if (part > 255) return std::nullopt;
      ++digits;
    } else {
      return std::nullopt;
    }
  }
  if (dots != 3 || digits == 0) return std::nullopt;
  return result << 8 | part;
}

std::string formatIpv4(std::uint32_t a) {
  return std::to_string(a >> 24) + '.' + std::to_string(a >> 16 & 0xFF) + '.' + std::to_string(a >> 8 & 0xFF) +
         '.' + std::to_string(a & 0xFF);
}

void SocketAddress::toSockaddr(sockaddr_in& out) const {
  std::memset(&out, 0, sizeof out);
  out.sin_family = AF_INET;
  out.sin_addr.s_addr = htonl(address);
  out.sin_port = htons(port);
}

SocketAddress SocketAddress::fromSockaddr(const sockaddr_in& in) {
  return {ntohl(in.sin_addr.s_addr), ntohs(in.sin_port)};
}

std::string SocketAddress::toString() const { return formatIpv4(address) + ':' + std::to_string(port); }

}  // namespace platform
