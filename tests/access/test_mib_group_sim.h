#pragma once
// trellan-sim as a child process for the group tests: one unit on 127.0.1.1 with every catalogue
// group filled (sim/data/catalogue-values.json), its own free port, and a request log the tests
// read to see what crossed the wire.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/sim_child.h"

namespace simproc {

struct LoggedRequest {
  std::string pdu;  // "get", "getnext", "set"
  std::vector<std::string> oids;
};

class Sim {
 public:
  // `unit`: extra keys of the unit object (JSON text without braces, may be empty).
  explicit Sim(int level, const std::string& unit = "", const std::string& extraVariables = "")
      : child_(fleet(level, unit, extraVariables), {"--snmp-port", "0"}) {}

  bool ready() const { return child_.ready(); }
  // What the simulator printed (for failure messages).
  std::string errors() const {
    const std::string text = child_.ready() ? child_.errors() : child_.error();
    return text + " (exit status " + std::to_string(child_.exitStatus()) + ", " + child_.dir().string() + ")";
  }
  const std::filesystem::path& dir() const { return child_.dir(); }

  // Requests logged so far (the simulator flushes line by line).
  std::vector<LoggedRequest> requests() const {
    std::vector<LoggedRequest> out;
    std::ifstream in(child_.logPath());
    std::string line;
    while (std::getline(in, line)) {
      const auto j = nlohmann::json::parse(line, nullptr, false);
      if (j.is_discarded() || j.value("kind", "") != "request" || !j.contains("bindings")) continue;
      LoggedRequest r;
      r.pdu = j.value("pdu", "");
      for (const auto& b : j["bindings"]) r.oids.push_back(b.value("oid", ""));
      out.push_back(std::move(r));
    }
    return out;
  }

  // Sizes of the requests logged after the first `from`.
  std::vector<std::size_t> sizesSince(std::size_t from, const std::string& pdu = "") const {
    std::vector<std::size_t> out;
    const auto all = requests();
    for (std::size_t i = from; i < all.size(); ++i)
      if (pdu.empty() || all[i].pdu == pdu) out.push_back(all[i].oids.size());
    return out;
  }

 private:
  static std::string fleet(int level, const std::string& unit, const std::string& extraVariables) {
    const std::string values = sourceDir() + "/sim/data/catalogue-values.json";
    // Areas whose level the simulator does not derive follow the unit's level too.
    std::string vars;
    for (const char* oid : {".5.1.0", ".6.3.2.1.0", ".6.3.3.1.0", ".6.3.4.1.0", ".6.3.5.1.0", ".8.2.0"})
      vars += std::string(vars.empty() ? "" : ",") + "{\"oid\":\"" + oid + "\",\"type\":\"int\",\"value\":" +
              std::to_string(level) + ",\"writable\":false}";
    if (!extraVariables.empty()) vars += "," + extraVariables;
    return "{\"devices\":[{\"address\":\"127.0.1.1\",\"mib_level\":" + std::to_string(level) +
           ",\"ports\":[{\"name\":\"LPT1\",\"status\":0,\"display\":\"READY\"},"
           "{\"name\":\"LPT2\",\"status\":32,\"display\":\"PAPER OUT\"}],"
           "\"variable_files\":[\"" + values + "\"],\"variables\":[" + vars + "]" + (unit.empty() ? "" : ",") + unit +
           "}]}";
  }

  SimChild child_;
};

}  // namespace simproc
