#include "app/network_layer.h"

#include "tools/net_environment.h"

namespace app {
namespace {

class NetEnvironmentLayer final : public NetworkLayer {
 public:
  int probe() override { return netEnvironment().probe(); }
  std::uint32_t flags() const override { return netEnvironment().flags(); }
  void close() override { netEnvironment().close(); }
};

}  // namespace

NetworkLayer& systemNetworkLayer() {
  static NetEnvironmentLayer layer;
  return layer;
}

}  // namespace app
