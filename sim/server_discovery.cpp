// The shared listeners of the poll loop: native discovery over UDP (broadcast, directed
// broadcast, multicast, unicast), the same over the IPX layer, SNMP over IPX and the second
// family's probe. Each binds 0.0.0.0 with SO_REUSEADDR, so a broadcast to 127.255.255.255
// reaches it, and answers from the address of the unit that answers.
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim/discovery_reply_builder.h"
#include "sim/discovery_responder.h"
#include "sim/second_family_commands.h"
#include "sim/server.h"
#include "snmp/codec.h"
#include "snmp/ipx_packet.h"

namespace sim {

namespace {

constexpr int kListenerDatagramsPerWake = 256;
constexpr std::uint16_t kIpxDiscoverySocket = 0x4201;
constexpr std::uint16_t kIpxSnmpSocket = 0x900F;
constexpr std::size_t kIpxPacketMax = snmp::ipx::kHeaderSize + snmp::codec::kMaxMessage + 1;

const char* listenerName(Listener which) {
  switch (which) {
    case Listener::Discovery: return "discovery";
    case Listener::IpxDiscovery: return "IPX discovery";
    case Listener::IpxSnmp: return "SNMP over IPX";
    case Listener::SecondFamily: return "second-family";
    case Listener::Sap: return "SAP";
  }
  return "";
}

std::uint32_t nodeHost(const std::uint8_t node[6]) {
  if (node[0] != 0 || node[1] != 0) return 0;
  return (std::uint32_t(node[2]) << 24) | (std::uint32_t(node[3]) << 16) | (std::uint32_t(node[4]) << 8) | node[5];
}

std::uint32_t networkOf(const std::uint8_t n[4]) {
  return (std::uint32_t(n[0]) << 24) | (std::uint32_t(n[1]) << 16) | (std::uint32_t(n[2]) << 8) | n[3];
}

void putNetwork(std::uint8_t out[4], std::uint32_t network) {
  out[0] = std::uint8_t(network >> 24);
  out[1] = std::uint8_t(network >> 16);
  out[2] = std::uint8_t(network >> 8);
  out[3] = std::uint8_t(network);
}

// An IPX network of FFFFFFFF is every network, 00000000 this one.
bool networkMatches(std::uint32_t asked, std::uint32_t unitNetwork) {
  return asked == 0xFFFFFFFFu || asked == 0 || asked == unitNetwork;
}

}  // namespace

bool Server::openListeners(std::string* error) {
  bool anyMember = false;
  for (const auto& a : agents_) anyMember = anyMember || a->device().discovery.multicast;
  const std::pair<Listener, const std::optional<std::uint16_t>*> wanted[] = {
      {Listener::Discovery, &options_.discoveryPort},
      {Listener::IpxDiscovery, &options_.ipxDiscoveryPort},
      {Listener::IpxSnmp, &options_.ipxSnmpPort},
      {Listener::SecondFamily, &options_.secondFamilyPort},
      {Listener::Sap, &options_.sapPort}};
  for (const auto& entry : wanted) {
    // Plain names, not structured bindings: clang 14 cannot capture those in the lambda below.
    const Listener which = entry.first;
    const std::optional<std::uint16_t>* port = entry.second;
    if (!*port) continue;
    auto l = std::make_unique<SharedListener>();
    l->which = which;
    auto fail = [&](const char* what, int rc) {
      if (error)
        *error = std::string("cannot ") + what + " the " + listenerName(which) + " listener on port " +
                 std::to_string(**port) + ": " + std::strerror(rc);
      return false;
    };
    int rc = l->socket.open();
    if (rc != 0) return fail("open", rc);
    if ((rc = l->socket.bind({0, **port}, true)) != 0) {
      // The fixed IPX and probe ports lie in the ephemeral range, where another program's
      // socket may hold them: serve without that listener (the ready file leaves it out).
      if (rc == EADDRINUSE && which != Listener::Discovery) {
        std::fprintf(stderr, "trellan-sim: the %s listener is off: port %u is in use\n", listenerName(which),
                     unsigned(**port));
        continue;
      }
      return fail("bind", rc);
    }
    if ((rc = l->socket.setPacketInfo(true)) != 0) return fail("set packet information on", rc);
    l->socket.setReceiveBufferSize(platform::kDiscoveryReceiveBuffer);
    // A broadcast reply burst from hundreds of units goes out of this one socket.
    int sendBuffer = platform::kDiscoveryReceiveBuffer;
    ::setsockopt(l->socket.fd(), SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    // Members answer multicast; the membership sits on loopback, never on the host's outside interface.
    if (which == Listener::Discovery && anyMember &&
        (rc = l->socket.joinMulticastGroup(kDiscoveryGroup, platform::kLoopbackAddress)) != 0)
      return fail("join 224.0.1.55 on 127.0.0.1 with", rc);
    l->port = l->socket.localAddress().port;
    listeners_.push_back(std::move(l));
  }
  return true;
}

std::uint16_t Server::boundListenerPort(Listener which) const {
  for (const auto& l : listeners_)
    if (l->which == which) return l->port;
  return 0;
}

Server::SharedListener* Server::listener(Listener which) {
  for (auto& l : listeners_)
    if (l->which == which) return l.get();
  return nullptr;
}

std::optional<std::size_t> Server::unitAt(std::uint32_t address) const {
  for (std::size_t i = 0; i < agents_.size(); ++i)
    if (agents_[i]->device().address == address) return i;
  return std::nullopt;
}

std::vector<std::size_t> Server::unitsReached(std::uint32_t destination) const {
  const Addressing a = classifyDestination(destination, unitAt(destination).has_value());
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < agents_.size(); ++i)
    if (reaches(a, agents_[i]->device())) out.push_back(i);
  return out;
}

void Server::receiveShared(SharedListener& l, Clock::time_point now) {
  std::uint8_t buffer[kIpxPacketMax];
  for (int k = 0; k < kListenerDatagramsPerWake; ++k) {
    platform::SocketAddress from;
    std::uint32_t destination = 0, local = 0;
    auto r = l.socket.recvFromTo(buffer, sizeof buffer, &from, &destination, &local);
    if (!r.ok()) return;  // drained
    const Endpoint peer{from.address, from.port};
    if (r.truncated) {
      log_.discovery(destination, &peer, {"udp", "request", destination, r.bytes, -1, -1, 0, "oversized datagram"});
      continue;
    }
    switch (l.which) {
      case Listener::Discovery: answerDiscovery(peer, destination, buffer, r.bytes); break;
      case Listener::IpxDiscovery: answerIpxDiscovery(l, peer, buffer, r.bytes); break;
      case Listener::IpxSnmp: answerIpxSnmp(peer, buffer, r.bytes, now); break;
      case Listener::SecondFamily: answerProbe(l, peer, destination, buffer, r.bytes); break;
      case Listener::Sap: answerSap(l, peer, buffer, r.bytes); break;
    }
  }
}

void Server::sendShared(SharedListener& l, std::size_t unit, const Endpoint& peer, const std::uint8_t* data,
                        std::size_t length, std::uint32_t* from) {
  const DeviceModel& d = agents_[unit]->device();
  const std::uint32_t source = d.discovery.replyFrom.value_or(d.address);
  if (from) *from = source;
  l.socket.sendToFrom(data, length, {peer.address, peer.port}, source);
}

void Server::answerDiscovery(const Endpoint& peer, std::uint32_t destination, const std::uint8_t* data,
                             std::size_t length) {
  SharedListener& l = *listener(Listener::Discovery);
  if (takeInitializationRequest(peer, destination, data, length)) return;
  auto request = parseDiscoveryRequest(data, length);
  DiscoveryLogEntry in{"udp", "request", destination, length, -1, -1, 0, {}};
  if (!request) {
    in.reason = "not a discovery request";
    log_.discovery(destination, &peer, in);
    return;
  }
  in.seen = int(request->seen.size());
  log_.discovery(destination, &peer, in);
  for (std::size_t unit : unitsReached(destination)) {
    const DeviceModel& d = agents_[unit]->device();
    if (auto why = discoverySilence(d, *request)) {
      // Second-family units do not speak this protocol at all; not worth a line each.
      if (!d.secondFamily) log_.discovery(d.address, &peer, {"udp", "silent", 0, 0, -1, -1, 0, *why});
      continue;
    }
    const auto reply = buildDiscoveryReply(d);
    std::uint32_t from = 0;
    sendShared(l, unit, peer, reply.data(), reply.size(), &from);
    log_.discovery(d.address, &peer, {"udp", "reply", 0, reply.size(), -1, d.discovery.format, from, {}});
  }
}

void Server::answerProbe(SharedListener& l, const Endpoint& peer, std::uint32_t destination, const std::uint8_t* data,
                         std::size_t length) {
  DiscoveryLogEntry in{"second_family", "request", destination, length, -1, -1, 0, {}};
  if (!isSecondFamilyProbe(data, length) && answerSecondFamilyCommand(l, peer, destination, data, length)) return;
  if (!isSecondFamilyProbe(data, length)) {
    in.reason = "not a probe";
    log_.discovery(destination, &peer, in);
    return;
  }
  log_.discovery(destination, &peer, in);
  for (std::size_t unit : unitsReached(destination)) {
    const DeviceModel& d = agents_[unit]->device();
    if (auto why = probeSilence(d)) {
      if (d.secondFamily) log_.discovery(d.address, &peer, {"second_family", "silent", 0, 0, -1, -1, 0, *why});
      continue;
    }
    if (secondFamily_[unit].rebooting()) {
      log_.discovery(d.address, &peer, {"second_family", "silent", 0, 0, -1, -1, 0, "rebooting"});
      continue;
    }
    const auto reply = buildSecondFamilyReply(d);
    std::uint32_t from = 0;
    sendShared(l, unit, peer, reply.data(), reply.size(), &from);
    log_.discovery(d.address, &peer, {"second_family", "reply", 0, reply.size(), -1, -1, from, {}});
  }
}

void Server::answerIpxDiscovery(SharedListener& l, const Endpoint& peer, const std::uint8_t* data,
                                std::size_t length) {
  snmp::ipx::Header header;
  const std::uint8_t* payload = nullptr;
  std::size_t payloadLength = 0;
  DiscoveryLogEntry in{"ipx", "request", 0, length, -1, -1, 0, {}};
  if (!snmp::ipx::parse(data, length, &header, &payload, &payloadLength)) {
    in.reason = "not an IPX packet";
    log_.discovery(0, &peer, in);
    return;
  }
  // Network FFFFFFFF travels as an IPv4 broadcast, but a packet still names its node.
  const bool broadcast = std::all_of(header.destination.node, header.destination.node + 6,
                                     [](std::uint8_t b) { return b == 0xFF; });
  const std::uint32_t host = nodeHost(header.destination.node);
  in.destination = broadcast ? 0xFFFFFFFFu : host;
  auto request = parseDiscoveryRequest(payload, payloadLength);
  if (!request) {
    in.reason = "not a discovery request";
    log_.discovery(in.destination, &peer, in);
    return;
  }
  in.seen = int(request->seen.size());
  log_.discovery(in.destination, &peer, in);
  const std::uint32_t askedNetwork = networkOf(header.destination.network);
  std::uint8_t packet[snmp::ipx::kHeaderSize + kDiscoveryReplyMax];
  for (std::size_t unit = 0; unit < agents_.size(); ++unit) {
    const DeviceModel& d = agents_[unit]->device();
    const bool addressed = broadcast || (host != 0 && host == d.address);
    if (!addressed || !d.discovery.ipx || !networkMatches(askedNetwork, d.discovery.ipxNetwork)) continue;
    if (auto why = discoverySilence(d, *request)) {
      if (!d.secondFamily) log_.discovery(d.address, &peer, {"ipx", "silent", 0, 0, -1, -1, 0, *why});
      continue;
    }
    const auto reply = buildDiscoveryReply(d);
    snmp::ipx::Header out;
    out.destination = header.source;
    putNetwork(out.source.network, d.discovery.ipxNetwork);
    snmp::ipx::nodeOfHost(d.discovery.replyFrom.value_or(d.address), out.source.node);
    out.source.socket = kIpxDiscoverySocket;
    const std::size_t n = snmp::ipx::encode(out, reply.data(), reply.size(), packet, sizeof packet);
    if (n == 0) continue;
    std::uint32_t from = 0;
    sendShared(l, unit, peer, packet, n, &from);
    log_.discovery(d.address, &peer, {"ipx", "reply", 0, reply.size(), -1, d.discovery.format, from, {}});
  }
}

void Server::answerIpxSnmp(const Endpoint& peer, const std::uint8_t* data, std::size_t length,
                           Clock::time_point now) {
  snmp::ipx::Header header;
  const std::uint8_t* payload = nullptr;
  std::size_t payloadLength = 0;
  if (!snmp::ipx::parse(data, length, &header, &payload, &payloadLength)) {
    log_.silent(0, peer, 0, "not an IPX packet");
    return;
  }
  const std::uint32_t host = nodeHost(header.destination.node);
  auto unit = host ? unitAt(host) : std::nullopt;
  if (!unit || !agents_[*unit]->device().discovery.ipx ||
      !networkMatches(networkOf(header.destination.network), agents_[*unit]->device().discovery.ipxNetwork)) {
    log_.silent(host, peer, 0, "no unit at this IPX address");
    return;
  }
  if (payloadLength > snmp::codec::kMaxMessage) {
    log_.silent(host, peer, 0, "oversized datagram");
    return;
  }
  Route route;
  route.ipx = true;
  std::memcpy(route.peerNetwork, header.source.network, 4);
  std::memcpy(route.peerNode, header.source.node, 6);
  route.peerSocket = header.source.socket;
  handleDatagram(*unit, peer, payload, payloadLength, now, route);
}

void Server::sendIpxSnmp(std::size_t unit, const Endpoint& peer, const Bytes& message, const Route& route) {
  SharedListener* l = listener(Listener::IpxSnmp);
  if (!l) return;
  const DeviceModel& d = agents_[unit]->device();
  snmp::ipx::Header out;
  std::memcpy(out.destination.network, route.peerNetwork, 4);
  std::memcpy(out.destination.node, route.peerNode, 6);
  out.destination.socket = route.peerSocket;
  putNetwork(out.source.network, d.discovery.ipxNetwork);
  snmp::ipx::nodeOfHost(d.address, out.source.node);
  out.source.socket = kIpxSnmpSocket;
  std::uint8_t packet[snmp::ipx::kHeaderSize + snmp::codec::kMaxMessage];
  const std::size_t n = snmp::ipx::encode(out, message.data(), message.size(), packet, sizeof packet);
  if (n == 0) return;
  l->socket.sendToFrom(packet, n, {peer.address, peer.port}, d.address);
}

}  // namespace sim
