#pragma once
// The searches behind the views: a view's discovery object wraps the device search of its
// protocol, and the view's settings and the settings store give what one search is asked to do.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/view_discovery.h"
#include "devices/discovery.h"

namespace platform {
class Registry;
}

namespace app {

class CViewDef;

class DeviceViewDiscovery final : public ViewDiscovery {
 public:
  explicit DeviceViewDiscovery(std::unique_ptr<devices::CDiscovery> search) : search_(std::move(search)) {}
  // Null when the protocol has no search in this build: the view opens and lists nothing.
  devices::CDiscovery* search() const { return search_.get(); }
  std::vector<const devices::CDevice*> foundDevices() const override;

 private:
  std::unique_ptr<devices::CDiscovery> search_;
};

// TCP/IP views search over UDP, IPX views over the IPX layer, NetWare views through the NetWare
// client (bindery, then SAP over IPX), serial views on their ports.
class DeviceViewDiscoveryFactory final : public ViewDiscoveryFactory {
 public:
  std::unique_ptr<ViewDiscovery> create(int viewType) override;
};

// The search a view asks for. The two special views always search the local network.
// What a view of a protocol without a search in this build says (NetWare until its client lands).
std::string viewSearchUnavailableText(int viewType);

devices::SearchRequest searchRequestFor(const CViewDef& def, std::string_view viewName);
// The searches' settings from the store (Broadcast wait, discovery port, status masks) and the
// program (families, second-family port).
devices::DiscoverySettings discoverySettingsFrom(const platform::Registry& reg);
// Only the program's part: the known families and the second-family port.
void addProgramSettings(devices::DiscoverySettings& settings);

}  // namespace app
