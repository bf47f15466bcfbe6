// The simulator's poll loop.
#include "sim/server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <nlohmann/json.hpp>

#include "snmp/codec.h"

namespace sim {

namespace {

bool setNonBlocking(int fd) {
  int flags = fcntl(fd, F_GETFL, 0);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

constexpr int kDatagramsPerWake = 64;  // per socket and loop round, so one busy unit cannot starve the rest

}  // namespace

Server::Server(std::vector<DeviceModel> devices, ServerOptions options) : options_(std::move(options)) {
  const auto now = Clock::now();
  agents_.reserve(devices.size());
  for (auto& d : devices) agents_.push_back(std::make_unique<SnmpAgent>(std::move(d), now));
  secondFamily_.resize(agents_.size());
}

Server::~Server() {
  for (int fd : sockets_)
    if (fd >= 0) ::close(fd);
  if (wakeRead_ >= 0) ::close(wakeRead_);
  if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

std::uint16_t Server::boundPort(std::size_t unit) const { return unit < ports_.size() ? ports_[unit] : 0; }

bool Server::open(std::string* error) {
  if (!options_.logPath.empty() && !log_.open(options_.logPath, error)) return false;
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) {
    if (error) *error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];
  setNonBlocking(wakeRead_);
  setNonBlocking(wakeWrite_);

  sockets_.assign(agents_.size(), -1);
  ports_.assign(agents_.size(), 0);
  for (std::size_t i = 0; i < agents_.size(); ++i) {
    const std::uint32_t addr = agents_[i]->device().address;
    int fd = bindUnitSocket(addr, options_.port, error);
    if (fd < 0) return false;
    sockets_[i] = fd;
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
    ports_[i] = ntohs(sa.sin_port);
  }
  if (!openListeners(error)) return false;
  // The unit sockets, then the shared listeners, then the wake-up pipe.
  pollFds_.resize(sockets_.size() + listeners_.size() + 1);
  for (std::size_t i = 0; i < sockets_.size(); ++i) pollFds_[i] = {sockets_[i], POLLIN, 0};
  for (std::size_t i = 0; i < listeners_.size(); ++i)
    pollFds_[sockets_.size() + i] = {listeners_[i]->socket.fd(), POLLIN, 0};
  pollFds_.back() = {wakeRead_, POLLIN, 0};
  return writeReadyFile(error);
}

int Server::bindUnitSocket(std::uint32_t addr, std::uint16_t port, std::string* error) const {
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    const int e = errno;
    if (error) {
      *error = std::string("socket: ") + std::strerror(e);
      if (e == EMFILE || e == ENFILE)
        *error += " (every unit needs a descriptor: serve fewer units or raise the limit with ulimit -n)";
    }
    return -1;
  }
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = htonl(addr);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    if (error) *error = "cannot bind " + formatIpv4(addr) + ":" + std::to_string(port) + ": " + std::strerror(errno);
    ::close(fd);
    return -1;
  }
  setNonBlocking(fd);
  return fd;
}

void Server::moveIfAsked(std::size_t unit) {
  for (const auto& [what, detail] : agents_[unit]->takeEvents()) log_.event(agents_[unit]->device().address, what, detail);
  auto to = agents_[unit]->takeMove();
  if (!to) return;
  // The reply carries the address it moved to: configured now.
  if (moveUnit(unit, *to)) agents_[unit]->device().discovery.ip.reset();
}

bool Server::writeReadyFile(std::string* error) const {
  if (options_.readyFile.empty()) return true;
  nlohmann::json j;
  j["pid"] = ::getpid();
  j["devices"] = nlohmann::json::array();
  for (std::size_t i = 0; i < agents_.size(); ++i)
    j["devices"].push_back({{"address", formatIpv4(agents_[i]->device().address)}, {"port", ports_[i]}});
  const std::pair<Listener, const char*> names[] = {{Listener::Discovery, "discovery_port"},
                                                    {Listener::IpxDiscovery, "ipx_discovery_port"},
                                                    {Listener::IpxSnmp, "ipx_snmp_port"},
                                                    {Listener::SecondFamily, "second_family_port"},
                                                    {Listener::Sap, "sap_port"}};
  for (const auto& [which, key] : names)
    if (auto port = boundListenerPort(which)) j[key] = port;
  const std::string tmp = options_.readyFile + ".tmp";
  std::FILE* f = std::fopen(tmp.c_str(), "w");
  if (!f) {
    if (error) *error = "cannot write ready file '" + tmp + "': " + std::strerror(errno);
    return false;
  }
  const std::string text = j.dump() + "\n";
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = (std::fclose(f) == 0) && ok;
  // Renamed into place so that a reader never sees half a file.
  if (!ok || std::rename(tmp.c_str(), options_.readyFile.c_str()) != 0) {
    if (error) *error = "cannot write ready file '" + options_.readyFile + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

void Server::stop() {
  stopping_.store(true);
  if (wakeWrite_ >= 0) {
    const char b = 1;
    [[maybe_unused]] auto n = ::write(wakeWrite_, &b, 1);
  }
}

int Server::pollTimeoutMs(Clock::time_point now) const {
  std::optional<Clock::time_point> next;
  for (const auto& d : delayed_)
    if (!next || d.due < *next) next = d.due;
  for (const auto& a : agents_)
    if (auto end = a->restartEnds(); end && (!next || *end < *next)) next = *end;
  if (!next) return 1000;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(*next - now).count() + 1;
  return int(std::clamp<long long>(ms, 0, 1000));
}

void Server::serviceTimers(Clock::time_point now) {
  serviceSecondFamily(now);
  for (std::size_t i = 0; i < agents_.size(); ++i)
    if (agents_[i]->restartEnds() && agents_[i]->tick(now)) {
      log_.event(agents_[i]->device().address, "back");
      moveIfAsked(i);
    }
  // Delayed replies, in due order; the queue is short and bounded.
  for (auto it = delayed_.begin(); it != delayed_.end();) {
    if (it->due <= now) {
      send(it->unit, it->peer, it->message, it->route);
      it = delayed_.erase(it);
    } else {
      ++it;
    }
  }
}

int Server::run() {
  std::vector<pollfd>& fds = pollFds_;
  while (!stopping_.load()) {
    int n = ::poll(fds.data(), fds.size(), pollTimeoutMs(Clock::now()));
    if (n < 0 && errno != EINTR) break;
    const auto now = Clock::now();
    serviceTimers(now);
    if (n <= 0) continue;
    if (fds.back().revents) {
      char drain[64];
      while (::read(wakeRead_, drain, sizeof drain) > 0) {
      }
    }
    for (std::size_t i = 0; i < sockets_.size(); ++i)
      if (fds[i].revents & POLLIN) receive(i, now);
    for (std::size_t i = 0; i < listeners_.size(); ++i)
      if (fds[sockets_.size() + i].revents & POLLIN) receiveShared(*listeners_[i], now);
  }
  return 0;
}

void Server::receive(std::size_t unit, Clock::time_point now) {
  // One byte more than the largest message, so that an oversized datagram is recognised.
  std::uint8_t buffer[snmp::codec::kMaxMessage + 1];
  for (int k = 0; k < kDatagramsPerWake; ++k) {
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    ssize_t n = ::recvfrom(sockets_[unit], buffer, sizeof buffer, MSG_TRUNC, reinterpret_cast<sockaddr*>(&from),
                           &fromLen);
    if (n < 0) return;  // EAGAIN: drained
    Endpoint peer{ntohl(from.sin_addr.s_addr), ntohs(from.sin_port)};
    const std::uint32_t device = agents_[unit]->device().address;
    if (std::size_t(n) > snmp::codec::kMaxMessage) {
      log_.undecodable(device, peer, std::size_t(n), SNMPAPI_OUTPUT_TRUNCATED);
      log_.silent(device, peer, 0, "oversized datagram");
      continue;
    }
    handleDatagram(unit, peer, buffer, std::size_t(n), now, Route{});
  }
}

void Server::handleDatagram(std::size_t unit, const Endpoint& peer, const std::uint8_t* data, std::size_t length,
                            Clock::time_point now, const Route& route) {
  SnmpAgent& agent = *agents_[unit];
  const std::uint32_t device = agent.device().address;
  std::uint32_t codecError = 0;
  auto request = decodeRequest(data, length, &codecError);
  if (!request) {
    log_.undecodable(device, peer, length, codecError);
    log_.silent(device, peer, 0, "undecodable");
    return;
  }
  log_.request(device, peer, *request);
  if (agent.restartEnds() && agent.tick(now)) {
    // Came back just as this request arrived, before the timer noticed.
    log_.event(device, "back");
    moveIfAsked(unit);
    if (agent.device().address != device) {
      log_.silent(device, peer, request->requestId, "moved to " + formatIpv4(agent.device().address));
      return;
    }
  }
  Decision d = agent.handle(*request, now);
  if (!d.answer) {
    log_.silent(device, peer, request->requestId, d.reason, d.event);
    return;
  }
  Bytes message;
  const std::uint32_t rc = encodeAnswer(agent, *request, d, message);
  if (rc != 0) {
    log_.silent(device, peer, request->requestId, "reply not encodable (codec error " + std::to_string(rc) + ")");
    return;
  }
  log_.reply(device, peer, *request, d, message.size());
  if (d.delayMs) {
    if (delayed_.size() >= kMaxDelayedReplies) {
      log_.silent(device, peer, request->requestId, "delayed-reply queue full");
      return;
    }
    delayed_.push_back({now + std::chrono::milliseconds(d.delayMs), unit, peer, std::move(message), route});
    return;
  }
  send(unit, peer, message, route);
}

void Server::send(std::size_t unit, const Endpoint& peer, const Bytes& message, const Route& route) {
  if (route.ipx) {
    sendIpxSnmp(unit, peer, message, route);
    return;
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(peer.port);
  to.sin_addr.s_addr = htonl(peer.address);
  ::sendto(sockets_[unit], message.data(), message.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

}  // namespace sim
