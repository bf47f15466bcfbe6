// Feeds arbitrary text to the simulator's fleet data file reader. Files named under
// "variable_files" resolve against a folder that does not exist, so no input reads the disk.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/fleet_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<sim::DeviceModel> fleet;
  std::string error;
  const sim::FleetRequest request;
  const bool ok = sim::parseFleetText(text, "/nonexistent/trellan-fuzz", request, fleet, error);
  if (ok && fleet.size() > sim::kMaxDevices) std::abort();
  if (!ok && error.empty()) std::abort();
  return 0;
}
