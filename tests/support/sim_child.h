#pragma once
// trellan-sim as a child process of a plain (non-Qt) test: a fleet given as JSON text, started with
// a ready file and a request log in a scratch folder, ready once the ready file names the first
// unit's SNMP port, which the engine of the test process then uses; stopped with SIGTERM.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "access/test_mib_group_sim.h"
#include "platform/net_config.h"

namespace simproc {

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
      ::waitpid(pid_, &status, 0);
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
  const std::filesystem::path& dir() const { return dir_; }
  std::string logPath() const { return (dir_ / "log.jsonl").string(); }

 private:
  std::filesystem::path dir_;
  pid_t pid_ = -1;
  int port_ = 0;
  std::string error_;
  platform::NetConfig saved_ = platform::netConfig();
};

}  // namespace simproc
