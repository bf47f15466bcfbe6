// Command-line parsing of trellan-sim.
#include "sim/options.h"

#include <ostream>

#include <nlohmann/json.hpp>

namespace sim {

namespace {

std::optional<std::uint64_t> parseUnsigned(const std::string& s, std::uint64_t max) {
  if (s.empty() || s.size() > 10) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + std::uint64_t(c - '0');
  }
  if (v > max) return std::nullopt;
  return v;
}

}  // namespace

void printUsage(std::ostream& out) {
  out << "Usage: trellan-sim [OPTIONS]\n"
         "\n"
         "Serve a fleet of simulated print servers, each on its own loopback address, with an\n"
         "SNMPv1 agent (GET, GETNEXT, SET) on the SNMP port. The fleet comes from a JSON data file\n"
         "(see docs/simulator.md), from --count/--first, or both.\n"
         "\n"
         "Fleet:\n"
         "  --data FILE              JSON data file describing the fleet\n"
         "  --count N                generate N print servers (at most 16384)\n"
         "  --first ADDRESS          first generated address (default 127.0.1.1); addresses\n"
         "                           ending in .0 or .255 are skipped\n"
         "  --get-community TEXT     GET community of every unit (default vorlak)\n"
         "  --set-community TEXT     SET community of every unit (default vorlak)\n"
         "  --max-vars N             answer tooBig above N variables per request (0: no limit)\n"
         "  --too-big-index MODE     error index of a tooBig reply: plus_one (default), zero, one\n"
         "  --set-mode MODE          on_reset (default: a SET takes effect at the next reset)\n"
         "                           or immediate\n"
         "  --reset-silence-ms MS    how long a unit stays silent after a reset (default 5000)\n"
         "  The settings above apply to every unit over the data file's \"defaults\"; a unit's\n"
         "  own settings in the data file still win.\n"
         "\n"
         "Serving:\n"
         "  --snmp-port PORT         UDP port of every unit (default: TRELLAN_SNMP_PORT, else 161;\n"
         "                           0 gives each unit a free port, listed in the ready file)\n"
         "  --discovery-port PORT    shared UDP listener for the discovery request (default 4201;\n"
         "                           0: off)\n"
         "  --ipx-discovery-port PORT  IPX discovery, socket 0x4201 inside UDP (default 16897;\n"
         "                           0: off)\n"
         "  --ipx-snmp-port PORT     SNMP over IPX, socket 0x900F inside UDP (default 36879; 0: off)\n"
         "  --sap-port PORT          SAP queries, IPX socket 0x0452 inside UDP (default 1106; 0: off)\n"
         "  --second-family-port PORT  the second family's probe (default:\n"
         "                           TRELLAN_SECOND_FAMILY_PORT, else 19541; 0: off)\n"
         "  --pjl-port BASE          raw printing ports answering PJL: port n of a unit listens\n"
         "                           on BASE + n - 1 at the unit's address (default: off)\n"
         "  --ftp-port PORT          TCP port on which every wireless unit takes a certificate by\n"
         "                           FTP (default: TRELLAN_FTP_PORT, else off; 0: off)\n"
         "  --ftp-dir DIR            keep what a unit receives as DIR/ADDRESS/NAME\n"
         "  --log PATH               append one JSON line per request, reply and silence\n"
         "  --exit-with-parent       stop when the process that started it ends (a test killed\n"
         "                           on a time-out leaves no simulator behind)\n"
         "  --ready-file PATH        write this JSON file (pid, addresses, ports) once every socket\n"
         "                           is bound\n"
         "  --serial-pty             also serve the first unit on a pseudo-terminal and print\n"
         "                           'serial-pty: PATH' (the serial frame protocol, no break)\n"
         "  --check                  check the fleet, print the number of units and exit\n"
         "  --help, -h               show this help\n"
         "  --version                show the version\n"
         "\n"
         "Stops cleanly on SIGINT or SIGTERM. Exit status: 0 success, 1 a socket could not be\n"
         "bound or a file written, 2 bad command line or bad data file.\n";
}

bool parseCommandLine(const std::vector<std::string>& args, CliOptions& out, std::string& error) {
  nlohmann::json overrides = nlohmann::json::object();
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) == 0) {
      auto eq = arg.find('=');
      if (eq != std::string::npos) {
        inlineValue = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
      }
    }
    auto value = [&](std::string& v) {
      if (inlineValue) {
        v = *inlineValue;
        return true;
      }
      if (i + 1 >= args.size()) {
        error = "option '" + arg + "' needs a value";
        return false;
      }
      v = args[++i];
      return true;
    };
    auto flag = [&]() {
      if (inlineValue) {
        error = "option '" + arg + "' takes no value";
        return false;
      }
      return true;
    };
    auto oneOf = [&](const std::string& v, std::initializer_list<const char*> allowed) {
      for (const char* a : allowed)
        if (v == a) return true;
      error = "option '" + arg + "': unknown mode '" + v + "'";
      return false;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      if (!flag()) return false;
      out.help = true;
    } else if (arg == "--version") {
      if (!flag()) return false;
      out.version = true;
    } else if (arg == "--check") {
      if (!flag()) return false;
      out.check = true;
    } else if (arg == "--serial-pty") {
      if (!flag()) return false;
      out.serialPty = true;
    } else if (arg == "--data") {
      if (!value(out.fleet.dataFile)) return false;
      if (out.fleet.dataFile.empty()) return error = "option '--data' needs a file name", false;
    } else if (arg == "--count") {
      if (!value(v)) return false;
      auto n = parseUnsigned(v, kMaxDevices);
      if (!n || *n == 0) return error = "option '--count': '" + v + "' is not a number from 1 to 16384", false;
      out.fleet.generateCount = std::uint32_t(*n);
    } else if (arg == "--first") {
      if (!value(out.fleet.generateFirst)) return false;
      if (!parseIpv4(out.fleet.generateFirst)) return error = "option '--first': not a dotted IPv4 address", false;
    } else if (arg == "--get-community" || arg == "--set-community") {
      if (!value(v)) return false;
      if (v.empty() || v.size() > kMaxCommunityLength)
        return error = "option '" + arg + "': a community has 1 to 32 characters", false;
      overrides[arg == "--get-community" ? "get_community" : "set_community"] = v;
    } else if (arg == "--max-vars") {
      if (!value(v)) return false;
      auto n = parseUnsigned(v, 1000);
      if (!n) return error = "option '--max-vars': '" + v + "' is not a number from 0 to 1000", false;
      overrides["agent"]["max_vars"] = *n;
    } else if (arg == "--too-big-index") {
      if (!value(v) || !oneOf(v, {"plus_one", "zero", "one"})) return false;
      overrides["agent"]["too_big_index"] = v;
    } else if (arg == "--set-mode") {
      if (!value(v) || !oneOf(v, {"on_reset", "immediate"})) return false;
      overrides["agent"]["set_mode"] = v;
    } else if (arg == "--reset-silence-ms") {
      if (!value(v)) return false;
      auto n = parseUnsigned(v, kMaxSilenceMs);
      if (!n) return error = "option '--reset-silence-ms': '" + v + "' is not a number from 0 to 600000", false;
      overrides["agent"]["reset_silence_ms"] = *n;
    } else if (arg == "--snmp-port") {
      if (!value(v)) return false;
      auto n = parseUnsigned(v, 65535);
      if (!n) return error = "option '--snmp-port': '" + v + "' is not a port number", false;
      out.port = std::uint16_t(*n);
    } else if (arg == "--discovery-port" || arg == "--ipx-discovery-port" || arg == "--ipx-snmp-port" ||
               arg == "--second-family-port" || arg == "--sap-port") {
      if (!value(v)) return false;
      auto n = parseUnsigned(v, 65535);
      if (!n) return error = "option '" + arg + "': '" + v + "' is not a port number (0: off)", false;
      auto& slot = arg == "--discovery-port"       ? out.discoveryPort
                   : arg == "--ipx-discovery-port" ? out.ipxDiscoveryPort
                   : arg == "--ipx-snmp-port"      ? out.ipxSnmpPort
                   : arg == "--sap-port"           ? out.sapPort
                                                   : out.secondFamilyPort;
      slot = std::uint16_t(*n);
    } else if (arg == "--pjl-port") {
      if (!value(v)) return false;
      auto n = parseUnsigned(v, 65535 - kMaxPorts);
      if (!n) return error = "option '--pjl-port': '" + v + "' is not a port number (0: off)", false;
      out.pjlPort = std::uint16_t(*n);
    } else if (arg == "--ftp-port") {
      if (!value(v)) return false;
      auto n = parseUnsigned(v, 65535);
      if (!n) return error = "option '--ftp-port': '" + v + "' is not a port number (0: off)", false;
      out.ftpPort = std::uint16_t(*n);
    } else if (arg == "--ftp-dir") {
      if (!value(out.ftpDir)) return false;
    } else if (arg == "--log") {
      if (!value(out.logPath)) return false;
    } else if (arg == "--ready-file") {
      if (!value(out.readyFile)) return false;
    } else if (arg == "--exit-with-parent") {
      out.exitWithParent = true;
    } else {
      error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (!out.fleet.generateFirst.empty() && !out.fleet.generateCount)
    return error = "option '--first' needs '--count'", false;
  if (!overrides.empty()) out.fleet.overridesJson = overrides.dump();
  return true;
}

bool resolvePort(const CliOptions& options, const char* envValue, std::uint16_t& port, std::string& error) {
  if (options.port) {
    port = *options.port;
    return true;
  }
  if (envValue && *envValue) {
    auto n = parseUnsigned(envValue, 65535);
    if (!n) {
      error = std::string("TRELLAN_SNMP_PORT: '") + envValue + "' is not a port number";
      return false;
    }
    port = std::uint16_t(*n);
    return true;
  }
  port = 161;
  return true;
}

bool resolveListenerPorts(const CliOptions& options, const char* secondFamilyEnv, ListenerPorts& out,
                          std::string& error) {
  auto pick = [](std::optional<std::uint16_t> given, std::uint16_t fallback) -> std::optional<std::uint16_t> {
    const std::uint16_t p = given.value_or(fallback);
    if (p == 0) return std::nullopt;
    return p;
  };
  std::uint16_t secondFamily = 19541;
  if (secondFamilyEnv && *secondFamilyEnv) {
    auto n = parseUnsigned(secondFamilyEnv, 65535);
    if (!n || *n == 0) {
      error = std::string("TRELLAN_SECOND_FAMILY_PORT: '") + secondFamilyEnv + "' is not a port number";
      return false;
    }
    secondFamily = std::uint16_t(*n);
  }
  out.discovery = pick(options.discoveryPort, 4201);
  out.ipxDiscovery = pick(options.ipxDiscoveryPort, 0x4201);
  out.ipxSnmp = pick(options.ipxSnmpPort, 0x900F);
  out.secondFamily = pick(options.secondFamilyPort, secondFamily);
  out.sap = pick(options.sapPort, 0x0452);
  return true;
}

bool resolveFtpPort(const CliOptions& options, const char* envValue, std::optional<std::uint16_t>& port,
                    std::string& error) {
  // Off unless asked for: a large fleet would otherwise hold a listener per unit for nothing.
  std::uint16_t p = 0;
  if (options.ftpPort) {
    p = *options.ftpPort;
  } else if (envValue && *envValue) {
    auto n = parseUnsigned(envValue, 65535);
    if (!n) return error = std::string("TRELLAN_FTP_PORT: '") + envValue + "' is not a port number", false;
    p = std::uint16_t(*n);
  }
  port = p ? std::optional<std::uint16_t>(p) : std::nullopt;
  return true;
}

}  // namespace sim
