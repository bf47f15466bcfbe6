#pragma once
// The bytes a simulated unit sends on the discovery protocols: the native discovery reply (also
// the serial identification record), the second family's probe reply, and the reading of a
// discovery request. Written independently of the program's parsers so that tests check one
// against the other.
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/device_model.h"

namespace sim {

inline constexpr std::size_t kDiscoveryReplyMax = 548;
inline constexpr std::size_t kDiscoveryReplyPorts = 6;
inline constexpr std::size_t kSeenListMax = 179;
inline constexpr std::uint8_t kSecondFamilyProbeMagic[4] = {0x00, 0x04, 0x95, 0x06};
inline constexpr std::uint32_t kDiscoveryGroup = 0xE0000137u;  // 224.0.1.55

// Scrambles a community into its 32-byte reply field: byte 0 XOR key, then each byte XOR key
// XOR (the previous scrambled byte + 5).
void scrambleCommunity(const std::string& community, std::uint8_t key, std::uint8_t out[32]);

// The reply as the unit sends it, with the unit's faults (truncation, wrong magic) applied.
std::vector<std::uint8_t> buildDiscoveryReply(const DeviceModel& unit);
// The second-family probe reply (72 or 166 bytes), faults applied likewise.
std::vector<std::uint8_t> buildSecondFamilyReply(const DeviceModel& unit);

// The responder identification of a unit: the last three bytes of its hardware address.
std::uint32_t responderId(const DeviceModel& unit);

struct DiscoveryRequest {
  std::vector<std::uint32_t> seen;  // identifications listed (at most what the datagram holds)
  std::uint16_t declaredCount = 0;  // the count field as sent
};
// Reads ".,:" 0x01, the little-endian count and the identifications. A count larger than the
// datagram holds lists only the complete entries present. nullopt: not a discovery request.
std::optional<DiscoveryRequest> parseDiscoveryRequest(const std::uint8_t* data, std::size_t length);

// True when the datagram is the second family's probe (88 bytes or more, its first four bytes).
bool isSecondFamilyProbe(const std::uint8_t* data, std::size_t length);

}  // namespace sim
