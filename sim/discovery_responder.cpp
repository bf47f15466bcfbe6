// Who answers a discovery datagram.
#include "sim/discovery_responder.h"

#include <algorithm>

namespace sim {

Addressing classifyDestination(std::uint32_t destination, bool unitThere) {
  if (destination == kDiscoveryGroup) return {Audience::Group, destination};
  if (destination == 0x7FFFFFFFu || destination == 0xFFFFFFFFu) return {Audience::All, destination};
  if ((destination >> 24) != 127) return {Audience::Nobody, destination};
  if (unitThere) return {Audience::Unit, destination};
  // Loopback has no subnets of its own; x.y.z.255 stands for the broadcast of that /24.
  if ((destination & 0xFF) == 0xFF) return {Audience::Subnet, destination & 0xFFFFFF00u};
  return {Audience::Nobody, destination};
}

bool reaches(const Addressing& a, const DeviceModel& unit) {
  switch (a.audience) {
    case Audience::Unit: return unit.address == a.address;
    case Audience::Subnet: return (unit.address & 0xFFFFFF00u) == a.address;
    case Audience::All: return true;
    case Audience::Group: return unit.discovery.multicast;
    case Audience::Nobody: return false;
  }
  return false;
}

std::optional<std::string> discoverySilence(const DeviceModel& unit, const DiscoveryRequest& request) {
  if (unit.secondFamily) return std::string("second family");
  if (unit.faults.silent) return std::string("fault: silent");
  if (!unit.discovery.answer) return std::string("discovery answer off");
  if (!unit.discovery.ignoreSeenList &&
      std::find(request.seen.begin(), request.seen.end(), responderId(unit)) != request.seen.end())
    return std::string("in the seen list");
  return std::nullopt;
}

std::optional<std::string> probeSilence(const DeviceModel& unit) {
  if (!unit.secondFamily) return std::string("not second family");
  if (unit.faults.silent) return std::string("fault: silent");
  if (!unit.discovery.answer) return std::string("discovery answer off");
  return std::nullopt;
}

}  // namespace sim
