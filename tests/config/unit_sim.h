#pragma once
// One simulated unit described by the test itself (a fleet-file unit object), on 127.0.1.1 with a
// port of its own and a request log: what the pages send is read back from the log.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "access/test_mib_group_sim.h"
#include "platform/net_config.h"

namespace unitsim {

struct Binding {
  std::string oid;
  std::string value;  // numbers as decimal, byte strings as hex
};

class UnitSim {
 public:
  // `unit`: keys of the unit object besides its address (JSON text without braces).
  explicit UnitSim(const std::string& unit) {
    dir_ = simproc::scratchDir();
    std::ofstream(dir_ / "fleet.json") << R"({"defaults":{"agent":{"reset_silence_ms":200}},"devices":[{"address":"127.0.1.1")"
                                       << (unit.empty() ? "" : ",") << unit << "}]}";
    const std::string bin = simproc::simBinary(), data = (dir_ / "fleet.json").string(),
                      ready = (dir_ / "ready.json").string();
    log_ = (dir_ / "log.jsonl").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      std::FILE* err = std::freopen((dir_ / "stderr.txt").c_str(), "w", stderr);
      (void)err;
      ::execl(bin.c_str(), "trellan-sim", "--data", data.c_str(), "--snmp-port", "0", "--ready-file", ready.c_str(),
              "--log", log_.c_str(), "--exit-with-parent", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
      std::ifstream in(ready);
      if (in) {
        const auto j = nlohmann::json::parse(in, nullptr, false);
        if (!j.is_discarded() && j.contains("devices") && !j["devices"].empty()) {
          port_ = j["devices"][0].value("port", 0);
          break;
        }
      }
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    saved_ = platform::netConfig();
    platform::NetConfig c = saved_;
    c.snmpPort = static_cast<std::uint16_t>(port_);
    platform::setNetConfig(c);
  }
  ~UnitSim() {
    platform::setNetConfig(saved_);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  UnitSim(const UnitSim&) = delete;
  UnitSim& operator=(const UnitSim&) = delete;

  bool ready() const { return port_ > 0; }
  std::string errors() const {
    std::ifstream in(dir_ / "stderr.txt");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The SET requests logged so far, each as its bindings.
  std::vector<std::vector<Binding>> sets() const {
    std::vector<std::vector<Binding>> out;
    std::ifstream in(log_);
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
  std::filesystem::path dir_;
  std::string log_;
  pid_t pid_ = -1;
  int port_ = 0;
  platform::NetConfig saved_;
};

}  // namespace unitsim
