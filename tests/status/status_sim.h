#pragma once
// trellan-sim as a child process for the status tests: a fleet given as JSON text, every unit on
// a free SNMP port of its own, optional raw printing ports (--pjl-port), and the engine of the
// test process pointed at the first unit's port.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "access/test_mib_group_sim.h"
#include "platform/net_config.h"

namespace statustest {

class FleetSim {
 public:
  FleetSim(const std::string& fleetJson, std::vector<std::string> extraArgs = {}) {
    dir_ = simproc::scratchDir();
    std::ofstream(dir_ / "fleet.json") << fleetJson;
    const std::string bin = simproc::simBinary();
    if (::access(bin.c_str(), X_OK) != 0) {
      error_ = "trellan-sim not found at " + bin;
      return;
    }
    const std::string data = (dir_ / "fleet.json").string(), ready = (dir_ / "ready.json").string(),
                      log = (dir_ / "log.jsonl").string();
    std::vector<std::string> args = {bin, "--data", data, "--snmp-port", "0", "--discovery-port", "0",
                                     "--ipx-discovery-port", "0", "--ipx-snmp-port", "0", "--second-family-port",
                                     "0", "--ready-file", ready, "--log", log, "--exit-with-parent"};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = ::fork();
    if (pid_ == 0) {
      std::FILE* err = std::freopen((dir_ / "stderr.txt").c_str(), "w", stderr);
      (void)err;
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(bin.c_str(), argv.data());
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
    if (port_ == 0) {
      std::ifstream in(dir_ / "stderr.txt");
      std::stringstream s;
      s << in.rdbuf();
      error_ = "trellan-sim did not become ready: " + s.str();
    }
    saved_ = platform::netConfig();
    platform::NetConfig c = saved_;
    c.snmpPort = static_cast<std::uint16_t>(port_);
    platform::setNetConfig(c);
  }

  ~FleetSim() {
    platform::setNetConfig(saved_);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  bool ready() const { return port_ > 0; }
  const std::string& error() const { return error_; }
  const std::filesystem::path& dir() const { return dir_; }
  // PDUs of the requests logged so far ("get", "getnext", "set").
  std::vector<std::string> pdus() const {
    std::vector<std::string> out;
    std::ifstream in(dir_ / "log.jsonl");
    std::string line;
    while (std::getline(in, line)) {
      const auto j = nlohmann::json::parse(line, nullptr, false);
      if (!j.is_discarded() && j.value("kind", "") == "request") out.push_back(j.value("pdu", ""));
    }
    return out;
  }

 private:
  std::filesystem::path dir_;
  pid_t pid_ = -1;
  int port_ = 0;
  std::string error_;
  platform::NetConfig saved_;
};

}  // namespace statustest
