#pragma once
// Serves a fleet from one thread: one UDP socket per unit, bound to the unit's own loopback
// address on the SNMP port, all watched with poll(). Replies leave from the unit's address.
#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/udp_socket.h"
#include "sim/device_model.h"
#include "sim/request_log.h"
#include "sim/second_family_unit.h"
#include "sim/snmp_agent.h"
#include "sim/wire.h"

namespace sim {

// The shared listeners bind 0.0.0.0 with SO_REUSEADDR and answer from each unit's own address.
// nullopt leaves a listener off; 0 binds a free port (see boundListenerPort).
struct ServerOptions {
  std::uint16_t port = 161;
  std::string logPath;
  std::string readyFile;
  std::optional<std::uint16_t> discoveryPort;     // native discovery over UDP (4201)
  std::optional<std::uint16_t> ipxDiscoveryPort;  // IPX socket 0x4201 inside UDP (16897)
  std::optional<std::uint16_t> ipxSnmpPort;       // SNMP over IPX, socket 0x900F (36879)
  std::optional<std::uint16_t> secondFamilyPort;  // the second family's probe (19541)
  std::optional<std::uint16_t> sapPort;           // SAP queries, IPX socket 0x0452 inside UDP (1106)
};

enum class Listener { Discovery, IpxDiscovery, IpxSnmp, SecondFamily, Sap };

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
  // Port a shared listener is bound to; 0 when it is off.
  std::uint16_t boundListenerPort(Listener which) const;

 private:
  using Clock = SnmpAgent::Clock;
  // How an SNMP reply goes back: on the unit's own socket, or wrapped in IPX from the listener.
  struct Route {
    bool ipx = false;
    std::uint8_t peerNetwork[4] = {};
    std::uint8_t peerNode[6] = {};
    std::uint16_t peerSocket = 0;
  };
  struct Delayed {
    Clock::time_point due;
    std::size_t unit;
    Endpoint peer;
    Bytes message;
    Route route;
  };
  struct SharedListener {
    Listener which;
    platform::UdpSocket socket;
    std::uint16_t port = 0;
  };

  void receive(std::size_t unit, Clock::time_point now);
  void handleDatagram(std::size_t unit, const Endpoint& peer, const std::uint8_t* data, std::size_t length,
                      Clock::time_point now, const Route& route);
  void send(std::size_t unit, const Endpoint& peer, const Bytes& message, const Route& route);

  // Discovery side (server_discovery.cpp).
  bool openListeners(std::string* error);
  void receiveShared(SharedListener& l, Clock::time_point now);
  void answerDiscovery(const Endpoint& peer, std::uint32_t destination, const std::uint8_t* data, std::size_t length);
  void answerIpxDiscovery(SharedListener& l, const Endpoint& peer, const std::uint8_t* data, std::size_t length);
  // SAP general and nearest-server queries for the print-server service types (sap_responder.cpp).
  void answerSap(SharedListener& l, const Endpoint& peer, const std::uint8_t* data, std::size_t length);
  void answerIpxSnmp(const Endpoint& peer, const std::uint8_t* data, std::size_t length, Clock::time_point now);
  void answerProbe(SharedListener& l, const Endpoint& peer, std::uint32_t destination, const std::uint8_t* data,
                   std::size_t length);
  // A text command to one second-family unit; false when the datagram is none or nobody answers it.
  bool answerSecondFamilyCommand(SharedListener& l, const Endpoint& peer, std::uint32_t destination,
                                 const std::uint8_t* data, std::size_t length);
  // Units a datagram to `destination` reaches, in fleet order.
  std::vector<std::size_t> unitsReached(std::uint32_t destination) const;
  std::optional<std::size_t> unitAt(std::uint32_t address) const;
  SharedListener* listener(Listener which);
  void sendIpxSnmp(std::size_t unit, const Endpoint& peer, const Bytes& message, const Route& route);
  // Sends from the unit's address (or its injected other address) on a shared listener.
  void sendShared(SharedListener& l, std::size_t unit, const Endpoint& peer, const std::uint8_t* data,
                  std::size_t length, std::uint32_t* from = nullptr);
  void serviceTimers(Clock::time_point now);
  void moveIfAsked(std::size_t unit);

  // Address assignment (server_assignment.cpp): the native initialization request, a unit's
  // move to another loopback address, the second family's reboots.
  bool takeInitializationRequest(const Endpoint& peer, std::uint32_t destination, const std::uint8_t* data,
                                 std::size_t length);
  bool moveUnit(std::size_t unit, std::uint32_t to);
  void serviceSecondFamily(Clock::time_point now);
  int bindUnitSocket(std::uint32_t address, std::uint16_t port, std::string* error) const;
  int pollTimeoutMs(Clock::time_point now) const;
  bool writeReadyFile(std::string* error) const;

  ServerOptions options_;
  std::vector<std::unique_ptr<SnmpAgent>> agents_;
  std::vector<int> sockets_;
  std::vector<pollfd> pollFds_;  // the sockets, then the wake-up pipe
  std::vector<std::uint16_t> ports_;
  std::deque<Delayed> delayed_;
  std::vector<std::unique_ptr<SharedListener>> listeners_;
  std::vector<SecondFamilyState> secondFamily_;  // per unit
  RequestLog log_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::atomic<bool> stopping_{false};
};

inline constexpr std::size_t kMaxDelayedReplies = 4096;

}  // namespace sim
