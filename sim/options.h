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
  // The shared listeners; 0 switches one off.
  std::optional<std::uint16_t> discoveryPort;     // --discovery-port (4201)
  std::optional<std::uint16_t> ipxDiscoveryPort;  // --ipx-discovery-port (16897)
  std::optional<std::uint16_t> ipxSnmpPort;       // --ipx-snmp-port (36879)
  std::optional<std::uint16_t> secondFamilyPort;  // --second-family-port
  std::optional<std::uint16_t> sapPort;           // --sap-port (1106)
  std::optional<std::uint16_t> pjlPort;           // --pjl-port: first raw printing port (0 or none: off)
  std::string logPath;
  std::string readyFile;
  bool exitWithParent = false;
  std::optional<std::uint16_t> ftpPort;  // --ftp-port: certificate uploads to wireless units (0: off)
  std::string ftpDir;                     // --ftp-dir: where the units keep what they received
  bool serialPty = false;  // also serve the fleet's first unit on a pseudo-terminal  // stop when the process that started it ends (tests, benchmarks)
};

// Parses the arguments (without the program name). False with the reason on a usage error.
bool parseCommandLine(const std::vector<std::string>& args, CliOptions& out, std::string& error);

// --snmp-port, else TRELLAN_SNMP_PORT, else 161. False with the reason when the variable is bad.
bool resolvePort(const CliOptions& options, const char* envValue, std::uint16_t& port, std::string& error);

// The port of each shared listener (nullopt: off): the option, else its default; the
// second-family port falls back to TRELLAN_SECOND_FAMILY_PORT, then 19541.
struct ListenerPorts {
  std::optional<std::uint16_t> discovery, ipxDiscovery, ipxSnmp, secondFamily;
  std::optional<std::uint16_t> sap;
};
bool resolveListenerPorts(const CliOptions& options, const char* secondFamilyEnv, ListenerPorts& out,
                          std::string& error);

// --ftp-port, else TRELLAN_FTP_PORT; nullopt when neither is given or the port is 0 (off).
bool resolveFtpPort(const CliOptions& options, const char* envValue, std::optional<std::uint16_t>& port,
                    std::string& error);

void printUsage(std::ostream& out);

}  // namespace sim
