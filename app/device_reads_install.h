#pragma once
// The SNMP reads after a discovery reply (printer status, extra columns, the second family), set
// up from the settings store, for the lifetime of a scope: the program and trellanctl each hold
// one while they run.
namespace platform {
class Registry;
}

namespace app {

class DeviceReadsInstall {
 public:
  // `startEngine`: the reads start the SNMP engine at their first use (trellanctl, where nothing
  // else does); the program starts it at start-up.
  DeviceReadsInstall(const platform::Registry& registry, bool startEngine);
  ~DeviceReadsInstall();
  DeviceReadsInstall(const DeviceReadsInstall&) = delete;
  DeviceReadsInstall& operator=(const DeviceReadsInstall&) = delete;
};

}  // namespace app
