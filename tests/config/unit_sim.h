#pragma once
// One simulated unit described by the test itself (a fleet-file unit object), on 127.0.1.1 with a
// port of its own and a request log: what the pages send is read back from the log.
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/sim_child.h"

namespace unitsim {

struct Binding {
  std::string oid;
  std::string value;  // numbers as decimal, byte strings as hex
};

class UnitSim {
 public:
  // `unit`: keys of the unit object besides its address (JSON text without braces).
  explicit UnitSim(const std::string& unit)
      : sim_(R"({"defaults":{"agent":{"reset_silence_ms":200}},"devices":[{"address":"127.0.1.1")" +
                 std::string(unit.empty() ? "" : ",") + unit + "}]}",
             {"--snmp-port", "0"}) {}

  bool ready() const { return sim_.ready(); }
  std::string errors() const { return sim_.errors(); }

  // The SET requests logged so far, each as its bindings.
  std::vector<std::vector<Binding>> sets() const {
    std::vector<std::vector<Binding>> out;
    std::ifstream in(sim_.logPath());
    std::string line;
    while (std::getline(in, line)) {
      const auto j = nlohmann::json::parse(line, nullptr, false);
      if (j.is_discarded() || j.value("kind", "") != "request" || j.value("pdu", "") != "set") continue;
      std::vector<Binding> request;
      for (const auto& b : j["bindings"]) {
        Binding x{b.value("oid", ""), ""};
        if (b.contains("hex")) x.value = b["hex"].get<std::string>();
        else if (b.contains("value")) x.value = b["value"].is_string() ? b["value"].get<std::string>() : b["value"].dump();
        request.push_back(std::move(x));
      }
      out.push_back(std::move(request));
    }
    return out;
  }

 private:
  simproc::SimChild sim_;
};

}  // namespace unitsim
