#pragma once
// What a view needs from the discovery of its protocol, and the factory that makes one. The view
// tree owns one discovery object per view once the view has been opened; the main window wires
// the real searches in, tests and trellanctl use their own, so the tree needs no network.
#include <memory>
#include <vector>

namespace devices {
class CDevice;
}

namespace app {

class ViewDiscovery {
 public:
  virtual ~ViewDiscovery() = default;
  // The devices of the last search (still owned by the discovery), for the filter value lists.
  virtual std::vector<const devices::CDevice*> foundDevices() const = 0;
};

class ViewDiscoveryFactory {
 public:
  virtual ~ViewDiscoveryFactory() = default;
  // The discovery of a view type (6 TCP/IP, 7 NetWare, 8 serial, 9 IPX); nullptr when the type has
  // no discovery method, which makes the view impossible to open.
  virtual std::unique_ptr<ViewDiscovery> create(int viewType) = 0;
};

// A discovery that never searches and holds no devices, for types 6 to 8: lets a tool read and
// edit views without a network.
class IdleViewDiscoveryFactory final : public ViewDiscoveryFactory {
 public:
  std::unique_ptr<ViewDiscovery> create(int viewType) override;
};

}  // namespace app
