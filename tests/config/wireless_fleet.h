#pragma once
// trellan-sim serving sim/data/wireless-fleet.json for the wireless tests: every unit on one SNMP
// port and one FTP port of their own (free ports found here), certificates kept under a scratch
// folder, and the request log to read what crossed the wire.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
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

namespace wirelesssim {

// A port nobody holds right now on loopback (UDP or TCP).
inline std::uint16_t freePort(int type) {
  const int s = ::socket(AF_INET, type, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  std::uint16_t port = 0;
  if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  if (s >= 0) ::close(s);
  return port;
}

class Fleet {
 public:
  Fleet() {
    dir_ = simproc::scratchDir();
    snmpPort_ = freePort(SOCK_DGRAM);
    ftpPort_ = freePort(SOCK_STREAM);
    const std::string data = simproc::sourceDir() + "/sim/data/wireless-fleet.json";
    const std::string ready = (dir_ / "ready.json").string(), log = (dir_ / "log.jsonl").string(),
                      store = (dir_ / "received").string(), snmp = std::to_string(snmpPort_),
                      ftp = std::to_string(ftpPort_), bin = simproc::simBinary();
    log_ = log;
    pid_ = ::fork();
    if (pid_ == 0) {
      std::FILE* err = std::freopen((dir_ / "stderr.txt").c_str(), "w", stderr);
      (void)err;
      ::execl(bin.c_str(), "trellan-sim", "--data", data.c_str(), "--snmp-port", snmp.c_str(), "--ftp-port",
              ftp.c_str(), "--ftp-dir", store.c_str(), "--discovery-port", "0", "--ipx-discovery-port", "0",
              "--ipx-snmp-port", "0", "--second-family-port", "0", "--ready-file", ready.c_str(), "--log",
              log.c_str(), "--exit-with-parent", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline && !std::filesystem::exists(ready)) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ready_ = std::filesystem::exists(ready);
    saved_ = platform::netConfig();
    platform::NetConfig c = saved_;
    c.snmpPort = snmpPort_;
    platform::setNetConfig(c);
  }
  ~Fleet() {
    platform::setNetConfig(saved_);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      for (int i = 0; i < 300 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (::waitpid(pid_, &status, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
      }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  Fleet(const Fleet&) = delete;
  Fleet& operator=(const Fleet&) = delete;

  bool ready() const { return ready_; }
  std::string errors() const {
    std::ifstream in(dir_ / "stderr.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str() + " (" + dir_.string() + ")";
  }
  std::uint16_t snmpPort() const { return snmpPort_; }
  std::uint16_t ftpPort() const { return ftpPort_; }
  const std::filesystem::path& dir() const { return dir_; }
  // Where the unit at `address` keeps a file it received.
  std::filesystem::path received(const std::string& address, const std::string& name = "cert") const {
    return dir_ / "received" / address / name;
  }

  // SET requests to one unit: each as its bindings (oid, hex of byte values or the value).
  std::vector<std::vector<std::pair<std::string, std::string>>> sets(const std::string& device) const {
    std::vector<std::vector<std::pair<std::string, std::string>>> out;
    std::ifstream in(log_);
    std::string line;
    while (std::getline(in, line)) {
      const auto j = nlohmann::json::parse(line, nullptr, false);
      if (j.is_discarded() || j.value("kind", "") != "request" || j.value("pdu", "") != "set" ||
          j.value("device", "") != device || !j.contains("bindings"))
        continue;
      std::vector<std::pair<std::string, std::string>> r;
      for (const auto& b : j["bindings"]) {
        std::string v = b.contains("hex") ? b.value("hex", "") : b.contains("value") ? b["value"].dump() : "";
        r.emplace_back(b.value("oid", ""), v);
      }
      out.push_back(std::move(r));
    }
    return out;
  }

 private:
  std::filesystem::path dir_;
  std::string log_;
  pid_t pid_ = -1;
  bool ready_ = false;
  std::uint16_t snmpPort_ = 0, ftpPort_ = 0;
  platform::NetConfig saved_;
};

}  // namespace wirelesssim
