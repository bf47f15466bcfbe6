#pragma once
// net-snmp's snmpd as a child process on 127.0.0.1 with a configuration written for the test,
// a relay between our sessions and it that records every request, and child-process helpers.
// Everything is bounded in time, and the agent is killed when the fixture goes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/net_config.h"
#include "platform/udp_socket.h"
#include "snmp/codec.h"

extern char** environ;

namespace snmpdtest {

inline bool haveProgram(const char* path) { return ::access(path, X_OK) == 0; }

inline std::string findProgram(const char* name) {
  for (const char* dir : {"/usr/sbin/", "/usr/bin/", "/usr/local/sbin/", "/usr/local/bin/"}) {
    const std::string p = std::string(dir) + name;
    if (haveProgram(p.c_str())) return p;
  }
  return {};
}

inline std::uint16_t freeUdpPort() {
  platform::UdpSocket s;
  s.open();
  s.bind({platform::kLoopbackAddress, 0});
  return s.localAddress().port;
}

// A scratch folder removed with the object.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trellan-snmpd-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A child process with its output in a file; terminated and reaped with the object.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::filesystem::path& log) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Child() { stop(); }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }

  // Waits up to `wait` for the child to end by itself; its exit status, or -1 (then killed).
  int join(std::chrono::milliseconds wait) {
    if (pid_ <= 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    stop();
    return -1;
  }

  // SIGTERM, up to two seconds to go, then SIGKILL.
  void stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

inline std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a program to its end (bounded) and returns its exit status and output.
struct RunResult {
  int status = -1;
  std::string output;
};
inline RunResult run(const std::vector<std::string>& argv, const std::filesystem::path& dir,
                     std::chrono::milliseconds wait = std::chrono::seconds(30)) {
  static std::atomic<int> serial{0};
  const auto log = dir / ("run-" + std::to_string(serial++) + ".out");
  RunResult r;
  {
    Child c(argv, log);
    r.status = c.join(wait);
  }
  r.output = readFile(log);
  return r;
}

// Sits between our sessions and the agent: forwards each datagram and keeps the request ids.
class Relay {
 public:
  explicit Relay(std::uint16_t agentPort) : agentPort_(agentPort) {
    front_.open();
    front_.bind({platform::kLoopbackAddress, 0});
    back_.open();
    back_.bind({platform::kLoopbackAddress, 0});
    thread_ = std::thread([this] { loop(); });
  }
  ~Relay() {
    stop_ = true;
    thread_.join();
  }
  std::uint16_t port() const { return front_.localAddress().port; }
  std::vector<smiINT32> requestIds() {
    std::lock_guard lock(mutex_);
    return ids_;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    ids_.clear();
  }

 private:
  void loop() {
    std::vector<smiBYTE> buffer(70000);
    platform::SocketAddress client;
    while (!stop_) {
      pollfd fds[2] = {{front_.fd(), POLLIN, 0}, {back_.fd(), POLLIN, 0}};
      if (::poll(fds, 2, 20) <= 0) continue;
      platform::SocketAddress from;
      if (fds[0].revents & POLLIN) {
        const platform::IoResult r = front_.recvFrom(buffer.data(), buffer.size(), &from);
        if (r.ok()) {
          client = from;
          snmp::codec::DecodeOutput out;
          if (snmp::codec::decodeMessage(buffer.data(), r.bytes, out) == 0) {
            std::lock_guard lock(mutex_);
            ids_.push_back(out.requestId);
            snmp::codec::freeDecoded(out);
          }
          back_.sendTo(buffer.data(), r.bytes, {platform::kLoopbackAddress, agentPort_});
        }
      }
      if (fds[1].revents & POLLIN) {
        const platform::IoResult r = back_.recvFrom(buffer.data(), buffer.size(), &from);
        if (r.ok() && client.port) front_.sendTo(buffer.data(), r.bytes, client);
      }
    }
  }

  std::uint16_t agentPort_;
  platform::UdpSocket front_;
  platform::UdpSocket back_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<smiINT32> ids_;
  std::thread thread_;
};

}  // namespace snmpdtest
