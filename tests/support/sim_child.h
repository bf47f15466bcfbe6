#pragma once
// trellan-sim as a child process of a plain (non-Qt) test: a fleet given as JSON text, started with
// a ready file and a request log in a scratch folder, ready once the ready file names the first
// unit's SNMP port, which the engine of the test process then uses; stopped with SIGTERM (SIGKILL
// when it has not ended two seconds later).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "platform/net_config.h"

namespace simproc {

inline std::string envOr(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

// The simulator beside this test program unless TRELLAN_BIN_DIR says otherwise; the data files
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

class SimChild {
 public:
  // `args`: the simulator's options besides --data, --ready-file, --log and --exit-with-parent.
  SimChild(const std::string& fleetJson, const std::vector<std::string>& args) {
    dir_ = scratchDir();
    std::ofstream(dir_ / "fleet.json") << fleetJson;
    const std::string bin = simBinary();
    if (::access(bin.c_str(), X_OK) != 0) {
      error_ = "trellan-sim not found at " + bin;
      return;
    }
    const std::string ready = (dir_ / "ready.json").string();
    std::vector<std::string> argv = {bin,   "--data", (dir_ / "fleet.json").string(), "--ready-file",
                                     ready, "--log",  logPath(),                      "--exit-with-parent"};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = ::fork();
    if (pid_ == 0) {
      std::FILE* err = std::freopen((dir_ / "stderr.txt").c_str(), "w", stderr);
      (void)err;
      std::vector<char*> p;
      for (auto& a : argv) p.push_back(a.data());
      p.push_back(nullptr);
      ::execv(bin.c_str(), p.data());
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
    if (port_ == 0) error_ = "trellan-sim did not become ready: " + errors();
    platform::NetConfig c = saved_;
    c.snmpPort = static_cast<std::uint16_t>(port_);
    platform::setNetConfig(c);
  }
  ~SimChild() {
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
  SimChild(const SimChild&) = delete;
  SimChild& operator=(const SimChild&) = delete;

  bool ready() const { return port_ > 0; }
  // Why it is not ready.
  const std::string& error() const { return error_; }
  // What the simulator wrote to its standard error.
  std::string errors() const {
    std::ifstream in(dir_ / "stderr.txt");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The wait status of a simulator that ended before it was ready, else -1.
  int exitStatus() const { return exitStatus_; }
  const std::filesystem::path& dir() const { return dir_; }
  std::string logPath() const { return (dir_ / "log.jsonl").string(); }

 private:
  std::filesystem::path dir_;
  pid_t pid_ = -1;
  int port_ = 0;
  int exitStatus_ = -1;
  std::string error_;
  platform::NetConfig saved_ = platform::netConfig();
};

}  // namespace simproc
