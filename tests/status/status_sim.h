#pragma once
// trellan-sim as a child process for the status tests: a fleet given as JSON text, every unit on
// a free SNMP port of its own, optional raw printing ports (--pjl-port), and the engine of the
// test process pointed at the first unit's port.
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/sim_child.h"

namespace statustest {

class FleetSim {
 public:
  FleetSim(const std::string& fleetJson, std::vector<std::string> extraArgs = {})
      : sim_(fleetJson, withPorts(std::move(extraArgs))) {}

  bool ready() const { return sim_.ready(); }
  const std::string& error() const { return sim_.error(); }
  const std::filesystem::path& dir() const { return sim_.dir(); }
  // PDUs of the requests logged so far ("get", "getnext", "set").
  std::vector<std::string> pdus() const {
    std::vector<std::string> out;
    std::ifstream in(sim_.logPath());
    std::string line;
    while (std::getline(in, line)) {
      const auto j = nlohmann::json::parse(line, nullptr, false);
      if (!j.is_discarded() && j.value("kind", "") == "request") out.push_back(j.value("pdu", ""));
    }
    return out;
  }

 private:
  // Every unit on a free SNMP port of its own; discovery and the other listeners on free ports too.
  static std::vector<std::string> withPorts(std::vector<std::string> extra) {
    std::vector<std::string> args = {"--snmp-port",    "0", "--discovery-port",     "0", "--ipx-discovery-port", "0",
                                     "--ipx-snmp-port", "0", "--second-family-port", "0"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  simproc::SimChild sim_;
};

}  // namespace statustest
