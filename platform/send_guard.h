#pragma once
// Where a datagram or connection may go. Every send of the socket layer passes through here.
#include <cstdint>

#include "platform/net_config.h"

namespace platform {

// Maps 255.255.255.255 to the configured broadcast address (TRELLAN_BROADCAST_ADDR), then
// applies the loopback guard: with loopbackOnly, only 127.0.0.0/8 may be reached, and a
// multicast group only through a loopback interface (`multicastInterface`, 0 when the socket
// has none). Returns 0 or kErrLoopbackOnly; `address` is the destination to use.
int routeDatagram(std::uint32_t& address, std::uint32_t multicastInterface, const NetConfig& config);

// The guard for a stream connection: 0 or kErrLoopbackOnly.
int checkConnection(std::uint32_t address, const NetConfig& config);

}  // namespace platform
