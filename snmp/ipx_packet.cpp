#include "snmp/ipx_packet.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace snmp::ipx {
namespace {

void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

void putAddress(std::uint8_t* p, const Address& a) {
  std::memcpy(p, a.network, 4);
  std::memcpy(p + 4, a.node, 6);
  put16(p + 10, a.socket);
}

Address getAddress(const std::uint8_t* p) {
  Address a;
  std::memcpy(a.network, p, 4);
  std::memcpy(a.node, p + 4, 6);
  a.socket = get16(p + 10);
  return a;
}

}  // namespace

std::size_t encode(const Header& header, const std::uint8_t* payload, std::size_t payloadLength, std::uint8_t* out,
                   std::size_t capacity) noexcept {
  if (payloadLength > kMaxPayload || (payloadLength && !payload) || !out) return 0;
  const std::size_t total = kHeaderSize + payloadLength;
  if (total > capacity) return 0;
  put16(out, header.checksum);
  put16(out + 2, static_cast<std::uint16_t>(total));
  out[4] = header.transportControl;
  out[5] = header.packetType;
  putAddress(out + 6, header.destination);
  putAddress(out + 18, header.source);
  if (payloadLength) std::memcpy(out + kHeaderSize, payload, payloadLength);
  return total;
}

bool parse(const std::uint8_t* data, std::size_t size, Header* header, const std::uint8_t** payload,
           std::size_t* payloadLength) noexcept {
  if (!data || size < kHeaderSize) return false;
  const std::uint16_t length = get16(data + 2);
  if (length < kHeaderSize || length > size) return false;
  if (header) {
    header->checksum = get16(data);
    header->length = length;
    header->transportControl = data[4];
    header->packetType = data[5];
    header->destination = getAddress(data + 6);
    header->source = getAddress(data + 18);
  }
  if (payload) *payload = data + kHeaderSize;
  if (payloadLength) *payloadLength = length - kHeaderSize;
  return true;
}

void nodeOfHost(std::uint32_t ipv4, std::uint8_t node[6]) noexcept {
  node[0] = node[1] = 0;
  node[2] = static_cast<std::uint8_t>(ipv4 >> 24);
  node[3] = static_cast<std::uint8_t>(ipv4 >> 16);
  node[4] = static_cast<std::uint8_t>(ipv4 >> 8);
  node[5] = static_cast<std::uint8_t>(ipv4);
}

bool isBroadcast(const Address& a) noexcept {
  const bool allNetwork = std::all_of(a.network, a.network + 4, [](std::uint8_t b) { return b == 0xFF; });
  const bool allNode = std::all_of(a.node, a.node + 6, [](std::uint8_t b) { return b == 0xFF; });
  return allNetwork || allNode;
}

std::optional<platform::SocketAddress> udpDestination(const Address& destination,
                                                      std::uint32_t broadcastAddress) noexcept {
  if (isBroadcast(destination)) return platform::SocketAddress{broadcastAddress, destination.socket};
  if (destination.node[0] != 0 || destination.node[1] != 0) return std::nullopt;
  const std::uint32_t host = std::uint32_t{destination.node[2]} << 24 | std::uint32_t{destination.node[3]} << 16 |
                             std::uint32_t{destination.node[4]} << 8 | destination.node[5];
  return platform::SocketAddress{host, destination.socket};
}

Address addressOf(const platform::SocketAddress& endpoint, std::uint32_t network) noexcept {
  Address a;
  a.network[0] = static_cast<std::uint8_t>(network >> 24);
  a.network[1] = static_cast<std::uint8_t>(network >> 16);
  a.network[2] = static_cast<std::uint8_t>(network >> 8);
  a.network[3] = static_cast<std::uint8_t>(network);
  nodeOfHost(endpoint.address, a.node);
  a.socket = endpoint.port;
  return a;
}

std::uint32_t localAddressToward(std::uint32_t destination) noexcept {
  // Connecting a datagram socket only asks the routing table; nothing goes out.
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(9);
  to.sin_addr.s_addr = htonl(destination);
  sockaddr_in local{};
  socklen_t len = sizeof local;
  std::uint32_t result = 0;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) == 0) {
    result = ntohl(local.sin_addr.s_addr);
  }
  ::close(fd);
  return result;
}

}  // namespace snmp::ipx
