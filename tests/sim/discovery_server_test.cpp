// The discovery listeners over real loopback sockets: broadcast, seen list, more than 179
// responders, multicast members, directed broadcast, injected faults, the IPX layer, SNMP over
// IPX, the second-family probe and the request log. Replies are read with the program's parsers.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <thread>

#include <nlohmann/json.hpp>

#include "devices/discovery_reply.h"
#include "platform/udp_socket.h"
#include "sim/discovery_reply_builder.h"
#include "sim/server.h"
#include "sim_test_support.h"
#include "snmp/ipx_packet.h"

namespace sim {
namespace {

using namespace sim::test;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

// A fleet with every shared listener on a free port of its own, so parallel tests never meet.
class DiscoveryFleet {
 public:
  explicit DiscoveryFleet(std::vector<DeviceModel> units, const std::string& logName = {}) {
    if (!logName.empty()) {
      logPath_ = ::testing::TempDir() + "/" + logName + "_" + std::to_string(::getpid()) + ".jsonl";
      std::remove(logPath_.c_str());
    }
    ServerOptions o;
    o.port = 0;
    o.logPath = logPath_;
    o.discoveryPort = 0;
    o.ipxDiscoveryPort = 0;
    o.ipxSnmpPort = 0;
    o.secondFamilyPort = 0;
    server_ = std::make_unique<Server>(std::move(units), o);
    std::string error;
    opened_ = server_->open(&error);
    EXPECT_TRUE(opened_) << error;
    if (opened_) thread_ = std::thread([this] { server_->run(); });
  }
  ~DiscoveryFleet() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
    if (!logPath_.empty()) std::remove(logPath_.c_str());
  }
  std::uint16_t port(Listener which) const { return server_->boundListenerPort(which); }
  std::uint16_t snmpPort(std::size_t unit) const { return server_->boundPort(unit); }
  std::vector<json> log() const {
    std::vector<json> lines;
    std::ifstream in(logPath_);
    std::string line;
    while (std::getline(in, line)) lines.push_back(json::parse(line));
    return lines;
  }

 private:
  std::unique_ptr<Server> server_;
  std::thread thread_;
  std::string logPath_;
  bool opened_ = false;
};

struct Datagram {
  std::uint32_t from = 0;
  std::vector<std::uint8_t> bytes;
};

// A requester on 127.0.0.1 with broadcast on and a large receive buffer.
class Requester {
 public:
  Requester() {
    EXPECT_EQ(socket_.open(), 0);
    EXPECT_EQ(socket_.bind({platform::kLoopbackAddress, 0}), 0);
    socket_.setBroadcast(true);
    socket_.setReceiveBufferSize(platform::kDiscoveryReceiveBuffer);
    socket_.setMulticastInterface(platform::kLoopbackAddress);
  }
  void send(std::uint32_t to, std::uint16_t port, const std::vector<std::uint8_t>& bytes) {
    auto r = socket_.sendTo(bytes.data(), bytes.size(), {to, port});
    EXPECT_TRUE(r.ok()) << r.error;
  }
  // Collects datagrams until none came for `quietMs` (or `expect` arrived), at most 5 s.
  std::vector<Datagram> collect(std::size_t expect = SIZE_MAX, int quietMs = 300) {
    std::vector<Datagram> out;
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (out.size() < expect && Clock::now() < end) {
      std::uint8_t buf[2048];
      platform::SocketAddress from;
      auto r = socket_.recvFrom(buf, sizeof buf, &from, std::chrono::milliseconds(quietMs));
      if (!r.ok()) break;
      out.push_back({from.address, std::vector<std::uint8_t>(buf, buf + r.bytes)});
    }
    return out;
  }
  std::uint16_t localPort() const { return socket_.localAddress().port; }

 private:
  platform::UdpSocket socket_;
};

std::set<std::uint32_t> senders(const std::vector<Datagram>& ds) {
  std::set<std::uint32_t> s;
  for (const auto& d : ds) s.insert(d.from);
  return s;
}

DeviceModel unit(std::uint32_t address) {
  DeviceModel d = smallUnit(address);
  d.name = "PS-" + formatIpv4(address);
  d.hardwareAddress = std::string{char(0x02), char(0x54), char(0x52), char(address >> 16), char(address >> 8),
                                  char(address)};
  return d;
}

constexpr std::uint32_t kBroadcast = 0x7FFFFFFFu;

TEST(SimDiscoveryServer, BroadcastSeenListAndWhoStaysSilent) {
  std::vector<DeviceModel> fleet;
  for (std::uint32_t i = 1; i <= 5; ++i) fleet.push_back(unit(0x7F00D100u + i));  // 127.0.209.x
  fleet[2].discovery.ignoreSeenList = true;
  fleet[3].discovery.answer = false;
  fleet[4].secondFamily = SecondFamilySettings{};
  fleet[0].discovery.format = 3;
  DiscoveryFleet s(fleet, "disc_broadcast");
  Requester r;

  const std::vector<std::uint32_t> seen = {responderId(fleet[1]), responderId(fleet[2])};
  r.send(kBroadcast, s.port(Listener::Discovery), devices::buildDiscoveryRequest(seen));
  const auto replies = r.collect();
  EXPECT_EQ(senders(replies), (std::set<std::uint32_t>{fleet[0].address, fleet[2].address}));
  for (const auto& d : replies) {
    devices::DiscoveryReply parsed;
    ASSERT_EQ(devices::parseDiscoveryReply(d.bytes.data(), d.bytes.size(), parsed), devices::ReplyStatus::Ok);
    // The reply leaves from the unit that it describes.
    EXPECT_EQ(platform::ipv4(parsed.ip[0], parsed.ip[1], parsed.ip[2], parsed.ip[3]), d.from);
    EXPECT_EQ(parsed.format, d.from == fleet[0].address ? 3 : 1);
  }

  // The log: the request with its seen count, two replies, the silences with reasons.
  std::map<std::string, std::string> silent;
  int replyLines = 0;
  for (int round = 0; round < 50 && replyLines < 2; ++round) {
    silent.clear();
    replyLines = 0;
    bool request = false;
    for (const auto& j : s.log()) {
      if (j["kind"] != "discovery") continue;
      if (j["event"] == "request") request = j["seen"] == 2 && j["destination"] == "127.255.255.255";
      if (j["event"] == "reply") ++replyLines;
      if (j["event"] == "silent") silent[j["device"]] = j["reason"];
    }
    EXPECT_TRUE(request || round < 49);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(replyLines, 2);
  EXPECT_EQ(silent[formatIpv4(fleet[1].address)], "in the seen list");
  EXPECT_EQ(silent[formatIpv4(fleet[3].address)], "discovery answer off");
  EXPECT_EQ(silent.count(formatIpv4(fleet[4].address)), 0u);  // second family: not its protocol
}

TEST(SimDiscoveryServer, MoreThan179RespondersAllAnswerOneBroadcast) {
  constexpr std::uint32_t kUnits = 300;
  std::vector<DeviceModel> fleet;
  for (std::uint32_t i = 0; i < kUnits; ++i) fleet.push_back(unit(0x7F00E001u + (i / 250) * 256 + i % 250));
  DiscoveryFleet s(fleet);
  Requester r;
  r.send(kBroadcast, s.port(Listener::Discovery), devices::buildDiscoveryRequest({}));
  auto first = senders(r.collect(kUnits));
  EXPECT_EQ(first.size(), kUnits);

  // A second round listing the first 179 leaves the other 121.
  std::vector<std::uint32_t> seen;
  for (std::size_t i = 0; i < kSeenListMax; ++i) seen.push_back(responderId(fleet[i]));
  r.send(kBroadcast, s.port(Listener::Discovery), devices::buildDiscoveryRequest(seen));
  auto second = senders(r.collect(kUnits - kSeenListMax));
  EXPECT_EQ(second.size(), kUnits - kSeenListMax);
  for (std::size_t i = 0; i < kSeenListMax; ++i) EXPECT_EQ(second.count(fleet[i].address), 0u) << i;
}

TEST(SimDiscoveryServer, MulticastDirectedBroadcastAndUnicastReachTheirUnits) {
  std::vector<DeviceModel> fleet = {unit(0x7F00D201u), unit(0x7F00D202u), unit(0x7F00D301u)};
  fleet[1].discovery.multicast = false;
  DiscoveryFleet s(fleet);
  struct Case {
    const char* name;
    std::uint32_t destination;
    std::set<std::uint32_t> expect;
  };
  const Case cases[] = {
      {"multicast reaches the members only", kDiscoveryGroup, {0x7F00D201u, 0x7F00D301u}},
      {"directed broadcast of 127.0.210.0/24", 0x7F00D2FFu, {0x7F00D201u, 0x7F00D202u}},
      {"unicast", 0x7F00D202u, {0x7F00D202u}},
      {"an address without a unit", 0x7F00D203u, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Requester r;
    r.send(c.destination, s.port(Listener::Discovery), devices::buildDiscoveryRequest({}));
    EXPECT_EQ(senders(r.collect()), c.expect);
  }
}

TEST(SimDiscoveryServer, InjectedFaultsLookAsConfigured) {
  std::vector<DeviceModel> fleet = {unit(0x7F00D401u), unit(0x7F00D402u), unit(0x7F00D403u), unit(0x7F00D404u)};
  fleet[0].discovery.truncate = 120;
  fleet[1].discovery.badMagic = true;
  fleet[2].discovery.replyFrom = 0x7F00D499u;
  fleet[3].faults.silent = true;
  DiscoveryFleet s(fleet);
  Requester r;
  r.send(kBroadcast, s.port(Listener::Discovery), devices::buildDiscoveryRequest({}));
  std::map<std::uint32_t, std::vector<std::uint8_t>> by;
  for (auto& d : r.collect()) by[d.from] = d.bytes;
  ASSERT_EQ(by.size(), 3u);
  devices::DiscoveryReply parsed;
  EXPECT_EQ(by[0x7F00D401u].size(), 120u);
  EXPECT_EQ(devices::parseDiscoveryReply(by[0x7F00D401u].data(), 120, parsed), devices::ReplyStatus::TooShort);
  EXPECT_EQ(devices::parseDiscoveryReply(by[0x7F00D402u].data(), by[0x7F00D402u].size(), parsed),
            devices::ReplyStatus::BadMagic);
  // From another address, while the reply still names the unit's own.
  ASSERT_EQ(by.count(0x7F00D499u), 1u);
  ASSERT_EQ(devices::parseDiscoveryReply(by[0x7F00D499u].data(), by[0x7F00D499u].size(), parsed),
            devices::ReplyStatus::Ok);
  EXPECT_EQ((std::array<std::uint8_t, 4>{127, 0, 212, 3}), parsed.ip);
}

std::vector<std::uint8_t> ipxPacket(const snmp::ipx::Address& to, std::uint16_t fromSocket,
                                    const std::vector<std::uint8_t>& payload) {
  snmp::ipx::Header h;
  h.destination = to;
  snmp::ipx::nodeOfHost(platform::kLoopbackAddress, h.source.node);
  h.source.socket = fromSocket;
  std::vector<std::uint8_t> out(snmp::ipx::kHeaderSize + payload.size());
  out.resize(snmp::ipx::encode(h, payload.data(), payload.size(), out.data(), out.size()));
  return out;
}

TEST(SimDiscoveryServer, DiscoveryAndSnmpOverTheIpxLayer) {
  std::vector<DeviceModel> fleet = {unit(0x7F00D501u), unit(0x7F00D502u), unit(0x7F00D503u)};
  fleet[1].discovery.ipxNetwork = 0x0000ABCDu;
  fleet[2].discovery.ipx = false;
  DiscoveryFleet s(fleet);
  Requester r;

  struct Case {
    const char* name;
    std::uint32_t network;
    bool broadcastNode;
    std::set<std::uint32_t> expect;
  };
  const Case cases[] = {
      {"every network", 0xFFFFFFFFu, true, {0x7F00D501u, 0x7F00D502u}},
      {"network 0000ABCD", 0x0000ABCDu, true, {0x7F00D502u}},
      {"one node", 0xFFFFFFFFu, false, {0x7F00D501u}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    snmp::ipx::Address to;
    for (int i = 0; i < 4; ++i) to.network[i] = std::uint8_t(c.network >> (24 - 8 * i));
    if (c.broadcastNode) {
      std::fill(std::begin(to.node), std::end(to.node), 0xFF);
    } else {
      snmp::ipx::nodeOfHost(0x7F00D501u, to.node);
    }
    to.socket = 0x4201;
    const std::uint32_t dest = c.broadcastNode ? kBroadcast : 0x7F00D501u;
    r.send(dest, s.port(Listener::IpxDiscovery), ipxPacket(to, r.localPort(), devices::buildDiscoveryRequest({})));
    const auto replies = r.collect();
    EXPECT_EQ(senders(replies), c.expect);
    for (const auto& d : replies) {
      snmp::ipx::Header h;
      const std::uint8_t* payload = nullptr;
      std::size_t length = 0;
      ASSERT_TRUE(snmp::ipx::parse(d.bytes.data(), d.bytes.size(), &h, &payload, &length));
      std::uint8_t node[6];
      snmp::ipx::nodeOfHost(d.from, node);
      EXPECT_TRUE(std::equal(node, node + 6, h.source.node));
      EXPECT_EQ(h.source.socket, 0x4201);
      EXPECT_EQ(h.destination.socket, r.localPort());
      devices::DiscoveryReply parsed;
      EXPECT_EQ(devices::parseDiscoveryReply(payload, length, parsed), devices::ReplyStatus::Ok);
    }
  }

  // SNMP over IPX: a GET of sysName to the unit's node answers through the same agent.
  snmp::ipx::Address agent;
  snmp::ipx::nodeOfHost(0x7F00D501u, agent.node);
  agent.socket = 0x900F;
  Bytes get;
  ASSERT_EQ(encodeRequest(req(kPduGet, {std_oids::kSysName}), get), 0u);
  r.send(0x7F00D501u, s.port(Listener::IpxSnmp), ipxPacket(agent, r.localPort(), get));
  const auto answer = r.collect(1);
  ASSERT_EQ(answer.size(), 1u);
  EXPECT_EQ(answer[0].from, 0x7F00D501u);
  snmp::ipx::Header h;
  const std::uint8_t* payload = nullptr;
  std::size_t length = 0;
  ASSERT_TRUE(snmp::ipx::parse(answer[0].bytes.data(), answer[0].bytes.size(), &h, &payload, &length));
  EXPECT_EQ(h.source.socket, 0x900F);
  std::uint32_t rc = 0;
  auto reply = decodeReply(payload, length, &rc);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->pdu.bindings.at(0).value, Value::octets("UNIT"));
}

TEST(SimDiscoveryServer, SecondFamilyAnswersTheProbeOnly) {
  std::vector<DeviceModel> fleet = {unit(0x7F00D601u), unit(0x7F00D602u), unit(0x7F00D603u)};
  fleet[1].secondFamily = secondFamily(72, "SX-2000WG", "");
  fleet[2].secondFamily = secondFamily(166, "SX-3700WB", "3.1");
  DiscoveryFleet s(fleet, "disc_probe");
  Requester r;
  const auto probe = devices::secondFamilyProbe();
  r.send(kBroadcast, s.port(Listener::SecondFamily), {probe.begin(), probe.end()});
  std::map<std::uint32_t, std::vector<std::uint8_t>> by;
  for (auto& d : r.collect()) by[d.from] = d.bytes;
  ASSERT_EQ(by.size(), 2u);
  for (auto [address, size] : {std::pair{0x7F00D602u, 72u}, {0x7F00D603u, 166u}}) {
    SCOPED_TRACE(size);
    ASSERT_EQ(by[address].size(), size);
    devices::SecondFamilyReply parsed;
    ASSERT_EQ(devices::parseSecondFamilyReply(by[address].data(), size, parsed), devices::ReplyStatus::Ok);
    EXPECT_EQ(parsed.form, size == 166 ? 1 : 0);
    EXPECT_EQ(platform::ipv4(parsed.ip[0], parsed.ip[1], parsed.ip[2], parsed.ip[3]), address);
  }
  // A datagram that is not the probe gets nothing; the log says so.
  r.send(kBroadcast, s.port(Listener::SecondFamily), std::vector<std::uint8_t>(88, 0));
  EXPECT_TRUE(r.collect().empty());
  bool refused = false;
  for (const auto& j : s.log())
    refused = refused || (j["kind"] == "discovery" && j["transport"] == "second_family" && j.value("reason", "") ==
                                                                                             "not a probe");
  EXPECT_TRUE(refused);
}

}  // namespace
}  // namespace sim
