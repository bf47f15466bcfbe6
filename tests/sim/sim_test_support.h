#pragma once
// Shared helpers of the simulator tests: a small unit, requests, and a UDP client on loopback.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "sim/device_model.h"
#include "sim/snmp_agent.h"
#include "sim/wire.h"

namespace sim::test {

inline Oid O(const std::string& text) { return *parseOid(text); }
inline Oid E(const std::string& rel) { return O(std::string(kNativeEnterprise) + rel); }

// A unit with one writable integer, one writable text, one read-only text, one IP address and
// one counter in the private MIB, plus everything derived.
inline DeviceModel smallUnit(std::uint32_t address = 0x7F000101u) {
  DeviceModel d;
  d.address = address;
  d.name = "UNIT";
  d.enterprise = O(kNativeEnterprise);
  d.system = {"descr", {}, "contact", "UNIT", "lab"};
  d.ports = {{"P1", 0, "READY"}, {"P2", 0x20, "OFFLINE"}};
  d.store.define(E(".6.3.1.4.4.0"), Value::integer(3), true);    // writable integer
  d.store.define(E(".1.3.0"), Value::octets("Product"), false);  // read-only text
  d.store.define(E(".6.3.2.4.4.0"), Value::octets("PSERVER"), true);
  d.store.define(E(".6.3.1.4.1.0"), Value::ip(127, 0, 1, 1), true);
  d.store.define(E(".4.2.0"), Value::unsignedOf(Syntax::Counter, 42), false);
  d.agent.triggers = d.defaultTriggers();
  d.populateDerived();
  return d;
}

// The second-family settings with the given size, model and firmware, the rest as defaults.
inline SecondFamilySettings secondFamily(std::uint32_t size, std::string model, std::string firmware) {
  SecondFamilySettings s;
  s.size = size;
  s.model = std::move(model);
  s.firmware = std::move(firmware);
  return s;
}

inline Request req(int type, std::vector<Oid> oids, std::string community = kDefaultCommunity) {
  Request r;
  r.pduType = type;
  r.requestId = 77;
  r.community = std::move(community);
  for (auto& o : oids) r.bindings.push_back({std::move(o), Value::null()});
  return r;
}

inline Request setReq(std::vector<Binding> bindings, std::string community = kDefaultCommunity) {
  Request r;
  r.pduType = kPduSet;
  r.requestId = 78;
  r.community = std::move(community);
  r.bindings = std::move(bindings);
  return r;
}

// A UDP socket on 127.0.0.1 that talks to the simulator with bounded waits.
class UdpClient {
 public:
  UdpClient() {
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(0x7F000001u);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  }
  ~UdpClient() { ::close(fd_); }
  UdpClient(const UdpClient&) = delete;
  UdpClient& operator=(const UdpClient&) = delete;

  bool sendBytes(std::uint32_t address, std::uint16_t port, const Bytes& b) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    return ::sendto(fd_, b.data(), b.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) == ssize_t(b.size());
  }
  bool send(std::uint32_t address, std::uint16_t port, const Request& r) {
    Bytes b;
    return encodeRequest(r, b) == 0 && sendBytes(address, port, b);
  }
  // Waits at most `ms` for one datagram; records who sent it.
  std::optional<Bytes> receiveBytes(int ms) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, ms) <= 0) return std::nullopt;
    Bytes buf(2048);
    sockaddr_in from{};
    socklen_t len = sizeof from;
    ssize_t n = ::recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) return std::nullopt;
    lastFrom_ = ntohl(from.sin_addr.s_addr);
    buf.resize(std::size_t(n));
    return buf;
  }
  std::optional<Reply> receive(int ms) {
    auto b = receiveBytes(ms);
    if (!b) return std::nullopt;
    std::uint32_t rc = 0;
    return decodeReply(b->data(), b->size(), &rc);
  }
  std::optional<Reply> ask(std::uint32_t address, std::uint16_t port, const Request& r, int ms = 2000) {
    if (!send(address, port, r)) return std::nullopt;
    return receive(ms);
  }
  std::uint32_t lastFrom() const { return lastFrom_; }

 private:
  int fd_ = -1;
  std::uint32_t lastFrom_ = 0;
};

}  // namespace sim::test
