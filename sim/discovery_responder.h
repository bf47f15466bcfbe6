#pragma once
// Which units a discovery datagram reaches and whether each answers it: the firmware's side of
// broadcast, directed broadcast, multicast, unicast and the seen list. No sockets.
#include <cstdint>
#include <optional>
#include <string>

#include "sim/device_model.h"
#include "sim/discovery_reply_builder.h"

namespace sim {

enum class Audience {
  Unit,    // one address
  Subnet,  // a directed broadcast: every unit of that /24
  All,     // 127.255.255.255 (or 255.255.255.255)
  Group,   // 224.0.1.55: the members
  Nobody,
};

struct Addressing {
  Audience audience = Audience::Nobody;
  std::uint32_t address = 0;
};

// What a datagram received with `destination` (from IP_PKTINFO) is aimed at. `unitThere` tells
// whether a unit has that exact address (a unit at x.y.z.255 is asked, not broadcast to).
Addressing classifyDestination(std::uint32_t destination, bool unitThere);

// True when the datagram reaches the unit (before the unit decides whether to answer).
bool reaches(const Addressing& a, const DeviceModel& unit);

// Why the unit stays silent to this native discovery request, or nullopt when it answers.
std::optional<std::string> discoverySilence(const DeviceModel& unit, const DiscoveryRequest& request);

// The same for the second family's probe.
std::optional<std::string> probeSilence(const DeviceModel& unit);

}  // namespace sim
