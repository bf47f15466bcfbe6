#pragma once
// trellan-sim as a child process of a GoogleTest program: a fleet on loopback with a discovery
// port of its own, stopped with SIGTERM. running() is false when the simulator is missing or did
// not become ready, which the tests treat as a failure.
#include <arpa/inet.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/net_config.h"

extern char** environ;

class SimChild {
 public:
  SimChild(int count, const std::string& first, int portOffset) {
    platform::NetConfig c = platform::netConfig();
    c.loopbackOnly = true;
    c.broadcastAddress = ntohl(inet_addr("127.255.255.255"));
    c.multicastInterface = ntohl(inet_addr("127.0.0.1"));
    platform::setNetConfig(c);
    const std::string bin = binDir() + "/trellan-sim";
    if (::access(bin.c_str(), X_OK) != 0) return;
    discoveryPort = static_cast<std::uint16_t>(24000 + (::getpid() % 1500) * 4 + portOffset);
    ready_ = std::string(::testing::TempDir()) + "shell_sim_ready_" + std::to_string(::getpid()) + ".json";
    std::remove(ready_.c_str());
    std::vector<std::string> args = {bin, "--count", std::to_string(count), "--first", first, "--snmp-port", "0",
                                     "--discovery-port", std::to_string(discoveryPort), "--ipx-discovery-port", "0",
                                     "--ipx-snmp-port", "0", "--second-family-port", "0", "--ready-file", ready_};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, bin.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      pid_ = 0;
      return;
    }
    for (int i = 0; i < 600; ++i) {
      std::ifstream f(ready_);
      if (f && f.peek() != std::ifstream::traits_type::eof()) {
        ready = true;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~SimChild() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    std::remove(ready_.c_str());
  }
  bool running() const { return pid_ > 0 && ready; }

  // The folder of the programs: TRELLAN_BIN_DIR, else this test program's own.
  static std::string binDir() {
    if (const char* env = std::getenv("TRELLAN_BIN_DIR"); env && *env) return env;
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return ".";
    std::string dir(self, static_cast<std::size_t>(n));
    return dir.substr(0, dir.rfind('/'));
  }

  std::uint16_t discoveryPort = 0;
  bool ready = false;

 private:
  pid_t pid_ = 0;
  std::string ready_;
};
