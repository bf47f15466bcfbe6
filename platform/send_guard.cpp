#include "platform/send_guard.h"

#include "platform/socket_address.h"
#include "platform/socket_error.h"

namespace platform {

int routeDatagram(std::uint32_t& address, std::uint32_t multicastInterface, const NetConfig& config) {
  if (address == kLimitedBroadcast) address = config.broadcastAddress;
  if (!config.loopbackOnly) return 0;
  if (isLoopbackAddress(address)) return 0;
  if (isMulticastAddress(address) && isLoopbackAddress(multicastInterface)) return 0;
  return kErrLoopbackOnly;
}

int checkConnection(std::uint32_t address, const NetConfig& config) {
  return (!config.loopbackOnly || isLoopbackAddress(address)) ? 0 : kErrLoopbackOnly;
}

}  // namespace platform
