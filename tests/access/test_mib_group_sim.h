#pragma once
// trellan-sim as a child process for the group tests: one unit on 127.0.1.1 with every catalogue
// group filled (sim/data/catalogue-values.json), its own free port, and a request log the tests
// read to see what crossed the wire.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/net_config.h"

namespace simproc {

struct LoggedRequest {
  std::string pdu;  // "get", "getnext", "set"
  std::vector<std::string> oids;
};

inline std::string envOr(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

// The simulator beside this test program unless TRELLAN_BIN_DIR says otherwise; the data file
// from the source tree this header is in unless TRELLAN_SOURCE_DIR says otherwise.
inline std::string simBinary() {
  if (const char* d = std::getenv("TRELLAN_BIN_DIR"); d && *d) return std::string(d) + "/trellan-sim";
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (ec ? std::filesystem::path(".") : self.parent_path()) / "trellan-sim";
}
inline std::string sourceDir() {
  if (const char* d = std::getenv("TRELLAN_SOURCE_DIR"); d && *d) return d;
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

inline std::filesystem::path scratchDir() {
  static int counter = 0;
  const auto base = std::filesystem::temp_directory_path() /
                    ("mib-group-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(base);
  std::filesystem::create_directories(base);
  return base;
}

class Sim {
 public:
  // `unit`: extra keys of the unit object (JSON text without braces, may be empty).
  explicit Sim(int level, const std::string& unit = "", const std::string& extraVariables = "") {
    dir_ = scratchDir();
    const std::string values = sourceDir() + "/sim/data/catalogue-values.json";
    // Areas whose level the simulator does not derive follow the unit's level too.
    std::string vars;
    for (const char* oid : {".5.1.0", ".6.3.2.1.0", ".6.3.3.1.0", ".6.3.4.1.0", ".6.3.5.1.0", ".8.2.0"})
      vars += std::string(vars.empty() ? "" : ",") + "{\"oid\":\"" + oid + "\",\"type\":\"int\",\"value\":" +
              std::to_string(level) + ",\"writable\":false}";
    if (!extraVariables.empty()) vars += "," + extraVariables;
    std::ofstream(dir_ / "fleet.json") << "{\"devices\":[{\"address\":\"127.0.1.1\",\"mib_level\":" << level
                                       << ",\"ports\":[{\"name\":\"LPT1\",\"status\":0,\"display\":\"READY\"},"
                                          "{\"name\":\"LPT2\",\"status\":32,\"display\":\"PAPER OUT\"}],"
                                       << "\"variable_files\":[\"" << values << "\"],\"variables\":[" << vars << "]"
                                       << (unit.empty() ? "" : ",") << unit << "}]}";
    const std::string bin = simBinary();
    const std::string data = (dir_ / "fleet.json").string(), ready = (dir_ / "ready.json").string(),
                      log = (dir_ / "log.jsonl").string();
    log_ = log;
    pid_ = ::fork();
    if (pid_ == 0) {
      std::FILE* err = std::freopen((dir_ / "stderr.txt").c_str(), "w", stderr);
      (void)err;
      ::execl(bin.c_str(), "trellan-sim", "--data", data.c_str(), "--snmp-port", "0", "--ready-file", ready.c_str(),
              "--log", log.c_str(), static_cast<char*>(nullptr));
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
        exitStatus_ = status;
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

  ~Sim() {
    platform::setNetConfig(saved_);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      for (int i = 0; i < 200 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (::waitpid(pid_, &status, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
      }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  bool ready() const { return port_ > 0; }
  // What the simulator printed (for failure messages).
  std::string errors() const {
    std::ifstream in(dir_ / "stderr.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str() + " (exit status " + std::to_string(exitStatus_) + ", " + dir_.string() + ")";
  }
  const std::filesystem::path& dir() const { return dir_; }

  // Requests logged so far (the simulator flushes line by line).
  std::vector<LoggedRequest> requests() const {
    std::vector<LoggedRequest> out;
    std::ifstream in(log_);
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
  std::filesystem::path dir_;
  std::string log_;
  pid_t pid_ = -1;
  int port_ = 0;
  int exitStatus_ = -1;
  platform::NetConfig saved_;
};

}  // namespace simproc
