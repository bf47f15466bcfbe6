#pragma once
// IPX packets as they travel inside UDP datagrams: the 30-byte IPX header, then the payload.
// A node is 00 00 followed by the host's IPv4 address, a socket number is the UDP port of the
// same number, and network FFFFFFFF or node FFFFFFFFFFFF goes to the IPv4 broadcast address.
// Parsing is bounded by the datagram: nothing is read past `size`.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/socket_address.h"

namespace snmp::ipx {

inline constexpr std::size_t kHeaderSize = 30;
inline constexpr std::uint16_t kNoChecksum = 0xFFFF;
inline constexpr std::uint8_t kPacketTypePep = 4;  // packet exchange, what SNMP over IPX uses
// The length field is 16 bits and counts the header.
inline constexpr std::size_t kMaxPayload = 0xFFFF - kHeaderSize;

struct Address {
  std::uint8_t network[4] = {};
  std::uint8_t node[6] = {};
  std::uint16_t socket = 0;
  bool operator==(const Address&) const = default;
};

struct Header {
  std::uint16_t checksum = kNoChecksum;
  std::uint16_t length = 0;  // header plus payload
  std::uint8_t transportControl = 0;
  std::uint8_t packetType = kPacketTypePep;
  Address destination;
  Address source;
};

// Writes header and payload into `out` (the length field is computed). Returns the packet size,
// or 0 when the payload is too long for an IPX packet or the packet does not fit `capacity`.
std::size_t encode(const Header& header, const std::uint8_t* payload, std::size_t payloadLength, std::uint8_t* out,
                   std::size_t capacity) noexcept;

// Reads a packet: the datagram must hold the header, and the length field must lie between
// the header size and the datagram size (bytes beyond it are padding). The payload points into
// `data`. False for anything else.
bool parse(const std::uint8_t* data, std::size_t size, Header* header, const std::uint8_t** payload,
           std::size_t* payloadLength) noexcept;

// The node of an IPv4 host (host byte order address).
void nodeOfHost(std::uint32_t ipv4, std::uint8_t node[6]) noexcept;

bool isBroadcast(const Address& address) noexcept;

// Where a packet for `destination` goes: broadcast (to `broadcastAddress`, normally
// 255.255.255.255 for the send guard to map), or the host of a 00 00 node. nullopt for a node
// that names no IPv4 host.
std::optional<platform::SocketAddress> udpDestination(const Address& destination,
                                                      std::uint32_t broadcastAddress = 0xFFFFFFFF) noexcept;

// The IPX address of a UDP endpoint on `network`.
Address addressOf(const platform::SocketAddress& endpoint, std::uint32_t network) noexcept;

// The local IPv4 address that datagrams to `destination` leave from (0 when the system
// cannot tell). Sends nothing.
std::uint32_t localAddressToward(std::uint32_t destination) noexcept;

}  // namespace snmp::ipx
