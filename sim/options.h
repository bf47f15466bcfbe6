#pragma once
// The command line of trellan-sim.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "sim/fleet_file.h"

namespace sim {

struct CliOptions {
  bool help = false;
  bool version = false;
  bool check = false;  // validate the fleet and exit
  FleetRequest fleet;
  std::optional<std::uint16_t> port;  // --snmp-port
  std::string logPath;
  std::string readyFile;
};

// Parses the arguments (without the program name). False with the reason on a usage error.
bool parseCommandLine(const std::vector<std::string>& args, CliOptions& out, std::string& error);

// --snmp-port, else TRELLAN_SNMP_PORT, else 161. False with the reason when the variable is bad.
bool resolvePort(const CliOptions& options, const char* envValue, std::uint16_t& port, std::string& error);

void printUsage(std::ostream& out);

}  // namespace sim
