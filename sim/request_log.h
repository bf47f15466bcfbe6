#pragma once
// The simulator's request log: one JSON object per line for every request, reply, silence and
// restart, flushed line by line so a test can read it while the simulator runs.
#include <cstdint>
#include <cstdio>
#include <string>

#include "sim/snmp_agent.h"

namespace sim {

struct Endpoint {
  std::uint32_t address = 0;  // host order
  std::uint16_t port = 0;
};

// One discovery-protocol event: a request received, a reply sent, or a unit staying silent.
struct DiscoveryLogEntry {
  const char* transport = "udp";  // "udp", "ipx", "second_family", "serial"
  const char* event = "request";  // "request", "reply", "silent"
  std::uint32_t destination = 0;  // where the request was sent (requests only)
  std::size_t length = 0;         // bytes received or sent
  int seen = -1;                  // identifications in the request's seen list (requests only)
  int format = -1;                // reply format byte (native replies only)
  std::uint32_t from = 0;         // replies: the address the reply left from
  std::string reason;             // silent: why; requests: "not a discovery request" when so
};

class RequestLog {
 public:
  RequestLog() = default;
  ~RequestLog();
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;

  // Opens (appends to) the log file. Returns false with the reason.
  bool open(const std::string& path, std::string* error);
  bool isOpen() const { return file_ != nullptr; }

  void request(std::uint32_t device, const Endpoint& peer, const Request& r);
  void undecodable(std::uint32_t device, const Endpoint& peer, std::size_t length, std::uint32_t codecError);
  void reply(std::uint32_t device, const Endpoint& peer, const Request& r, const Decision& d, std::size_t length);
  void silent(std::uint32_t device, const Endpoint& peer, std::int32_t requestId, const std::string& reason,
              const std::string& event = {});
  void event(std::uint32_t device, const std::string& what, const std::string& detail = {});
  void discovery(std::uint32_t device, const Endpoint* peer, const DiscoveryLogEntry& entry);
  static std::string discoveryLine(std::uint32_t device, const Endpoint* peer, const DiscoveryLogEntry& entry);

  // JSON line texts, exposed for tests.
  static std::string requestLine(std::uint32_t device, const Endpoint& peer, const Request& r);
  static std::string replyLine(std::uint32_t device, const Endpoint& peer, const Request& r, const Decision& d,
                               std::size_t length);

 private:
  void write(const std::string& line);
  std::FILE* file_ = nullptr;
};

const char* pduName(int type);

}  // namespace sim
