#pragma once
// The fleet data file: a JSON description of the simulated print servers (see docs/simulator.md),
// plus fleets generated from the command line. The file is untrusted input: every length is
// bounded, every count limited, and every problem reported with the place it was found.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/device_model.h"

namespace sim {

inline constexpr std::uint32_t kMaxDevices = 16384;
inline constexpr std::size_t kMaxVariablesPerDevice = 20000;
inline constexpr std::size_t kMaxDataFileBytes = 16u << 20;
inline constexpr std::size_t kMaxVariableFiles = 16;
inline constexpr std::uint32_t kMaxSilenceMs = 600000;
inline constexpr std::uint32_t kMaxDelayMs = 60000;
inline constexpr const char* kDefaultFirstAddress = "127.0.1.1";

struct FleetRequest {
  std::string dataFile;        // optional JSON data file
  std::uint32_t generateCount = 0;
  std::string generateFirst;   // first generated address (default kDefaultFirstAddress)
  std::string overridesJson;   // a device object from command-line options, merged over "defaults"
};

// Builds the fleet from a data file and/or a generated range. False with the reason on error.
bool loadFleet(const FleetRequest& request, std::vector<DeviceModel>& out, std::string& error);

// The same from the text of a data file; `baseDir` resolves "variable_files".
bool parseFleetText(std::string_view text, const std::string& baseDir, const FleetRequest& request,
                    std::vector<DeviceModel>& out, std::string& error);

// Reads a whole file of at most `limit` bytes. False with the reason.
bool readBoundedFile(const std::string& path, std::size_t limit, std::string& out, std::string& error);

}  // namespace sim
