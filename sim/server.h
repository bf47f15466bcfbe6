#pragma once
// Serves a fleet from one thread: one UDP socket per unit, bound to the unit's own loopback
// address on the SNMP port, all watched with poll(). Replies leave from the unit's address.
#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "sim/device_model.h"
#include "sim/request_log.h"
#include "sim/snmp_agent.h"
#include "sim/wire.h"

namespace sim {

struct ServerOptions {
  std::uint16_t port = 161;
  std::string logPath;
  std::string readyFile;
};

class Server {
 public:
  Server(std::vector<DeviceModel> devices, ServerOptions options);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Opens the log and binds every socket, then writes the ready file. False with the reason.
  bool open(std::string* error);
  // Serves until stop(). Returns 0.
  int run();
  // Safe from any thread and from a signal handler.
  void stop();

  std::size_t deviceCount() const { return agents_.size(); }
  // Port a unit's socket is bound to (differs per unit when port 0 was asked for).
  std::uint16_t boundPort(std::size_t unit) const;
  SnmpAgent& agent(std::size_t unit) { return *agents_[unit]; }

 private:
  using Clock = SnmpAgent::Clock;
  struct Delayed {
    Clock::time_point due;
    std::size_t unit;
    Endpoint peer;
    Bytes message;
  };

  void receive(std::size_t unit, Clock::time_point now);
  void handleDatagram(std::size_t unit, const Endpoint& peer, const std::uint8_t* data, std::size_t length,
                      Clock::time_point now);
  void send(std::size_t unit, const Endpoint& peer, const Bytes& message);
  void serviceTimers(Clock::time_point now);
  void moveIfAsked(std::size_t unit);
  int bindUnitSocket(std::uint32_t address, std::uint16_t port, std::string* error) const;
  int pollTimeoutMs(Clock::time_point now) const;
  bool writeReadyFile(std::string* error) const;

  ServerOptions options_;
  std::vector<std::unique_ptr<SnmpAgent>> agents_;
  std::vector<int> sockets_;
  std::vector<pollfd> pollFds_;  // the sockets, then the wake-up pipe
  std::vector<std::uint16_t> ports_;
  std::deque<Delayed> delayed_;
  RequestLog log_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::atomic<bool> stopping_{false};
};

inline constexpr std::size_t kMaxDelayedReplies = 4096;

}  // namespace sim
