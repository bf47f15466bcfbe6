#pragma once
// The network layer as start-up and shut-down see it: probed once at start-up, its protocol
// flags read by the protocol check of views, closed at exit.
#include <cstdint>

namespace app {

class NetworkLayer {
 public:
  virtual ~NetworkLayer() = default;
  // Runs the probe; its failures are reported by the probe itself.
  virtual int probe() = 0;
  virtual std::uint32_t flags() const = 0;
  virtual void close() = 0;
};

// The process-wide network environment (CNetEnvironment) behind this interface.
NetworkLayer& systemNetworkLayer();

}  // namespace app
