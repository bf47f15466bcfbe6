// The IPX transport over the IPX-in-UDP layer, against an agent on loopback that speaks IPX.
#include <gtest/gtest.h>

#include "snmp/ipx_packet.h"
#include "test_transport_fixture.h"

namespace {

// An agent answering IPX packets on a UDP port of 127.0.0.1.
struct IpxAgent : Responder {
  snmp::ipx::Address self() const { return snmp::ipx::addressOf({platform::kLoopbackAddress, port()}, 0x0000ABCD); }

  // Takes one packet; false when none came or it does not parse.
  bool take(snmp::ipx::Header& header, std::vector<smiBYTE>& payload, platform::SocketAddress* from = nullptr) {
    const std::vector<smiBYTE> datagram = Responder::take(from);
    const smiBYTE* p = nullptr;
    std::size_t n = 0;
    if (!snmp::ipx::parse(datagram.data(), datagram.size(), &header, &p, &n)) return false;
    payload.assign(p, p + n);
    return true;
  }

  void answer(const snmp::ipx::Address& to, const std::vector<smiBYTE>& payload) {
    snmp::ipx::Header h;
    h.destination = to;
    h.source = self();
    std::vector<smiBYTE> packet(snmp::ipx::kHeaderSize + payload.size());
    ASSERT_EQ(snmp::ipx::encode(h, payload.data(), payload.size(), packet.data(), packet.size()), packet.size());
    send(packet, *snmp::ipx::udpDestination(to));
  }
};

class IpxTransportTest : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    net.edit([](platform::NetConfig& c) { c.ipxLocalNetwork = 0x0000ABCD; });
    entity = SnmpStrToEntity(live, "0000ABCD-00007F000001");
    ASSERT_NE(entity, 0u);
    aimAt(entity, agent.port());
  }

  // Entities made from a text always name socket 0x900F; the test agent sits on another port.
  static void aimAt(HSNMP_ENTITY e, std::uint16_t port) {
    snmp::EntityRecord* r = entityRecord(e);
    r->ipxSocket[0] = static_cast<smiBYTE>(port >> 8);
    r->ipxSocket[1] = static_cast<smiBYTE>(port);
  }

  IpxAgent agent;
  HSNMP_ENTITY entity = 0;
};

TEST_F(IpxTransportTest, RequestAndReplyTravelAsIpxPackets) {
  ASSERT_EQ(sendGet(entity, 21), 21u) << SnmpGetLastError(live);
  EXPECT_TRUE(record()->ipxOpen);
  EXPECT_FALSE(record()->udpOpen);
  snmp::ipx::Header header;
  std::vector<smiBYTE> payload;
  platform::SocketAddress from;
  ASSERT_TRUE(agent.take(header, payload, &from));
  EXPECT_EQ(header.destination, agent.self());
  EXPECT_EQ(header.packetType, snmp::ipx::kPacketTypePep);
  // The source names the manager's socket in the tunnel's terms.
  EXPECT_EQ(header.source, snmp::ipx::addressOf(from, 0x0000ABCD));
  EXPECT_EQ(requestIdOf(payload.data(), payload.size()), 21);

  agent.answer(header.source, encodeMessage(SNMP_PDU_RESPONSE, 21));
  ASSERT_TRUE(awaitArrival());
  const Received r = receive();
  EXPECT_EQ(r.result, 21u);
  EXPECT_EQ(r.type, SNMP_PDU_RESPONSE);
  EXPECT_EQ(r.source, "0000ABCD-00007F000001");
  const snmp::EntityRecord* src = entityRecord(r.sourceEntity);
  ASSERT_NE(src, nullptr);
  EXPECT_EQ(src->transport, snmp::kTransportIpx);
  EXPECT_EQ(src->ipxSocket[0] << 8 | src->ipxSocket[1], agent.port());
  EXPECT_EQ(receive().error, SNMPAPI_NOOP);
}

TEST_F(IpxTransportTest, ABroadcastGoesToTheConfiguredBroadcastAddress) {
  net.edit([](platform::NetConfig& c) { c.broadcastAddress = 0x7FFFFFFF; });
  Responder listener;  // a broadcast reaches sockets bound to any address
  listener.socket.close();
  ASSERT_EQ(listener.socket.open(), 0);
  ASSERT_EQ(listener.socket.bind({platform::kAnyAddress, 0}), 0);
  const HSNMP_ENTITY everyone = SnmpStrToEntity(live, "FFFFFFFF-FFFFFFFFFFFF");
  aimAt(everyone, listener.port());
  ASSERT_EQ(sendGet(everyone, 4), 4u) << SnmpGetLastError(live);
  const std::vector<smiBYTE> datagram = listener.take();
  snmp::ipx::Header header;
  ASSERT_TRUE(snmp::ipx::parse(datagram.data(), datagram.size(), &header, nullptr, nullptr));
  EXPECT_TRUE(snmp::ipx::isBroadcast(header.destination));
}

TEST_F(IpxTransportTest, ANodeOutsideTheTunnelCannotBeSentTo) {
  const HSNMP_ENTITY card = SnmpStrToEntity(live, "0000ABCD-020000123456");
  EXPECT_EQ(sendGet(card, 4), 0u);
  EXPECT_EQ(SnmpGetLastError(live), SNMPAPI_NOOP);
}

TEST_F(IpxTransportTest, PacketsThatAreNoMessageFailWithoutLeavingHandles) {
  ASSERT_EQ(sendGet(entity, 8), 8u);
  snmp::ipx::Header header;
  std::vector<smiBYTE> payload;
  platform::SocketAddress manager;
  ASSERT_TRUE(agent.take(header, payload, &manager));

  auto packet = [&](const std::vector<smiBYTE>& body) {
    snmp::ipx::Header h;
    h.destination = header.source;
    h.source = agent.self();
    std::vector<smiBYTE> out(snmp::ipx::kHeaderSize + body.size());
    snmp::ipx::encode(h, body.data(), body.size(), out.data(), out.size());
    return out;
  };
  const std::vector<smiBYTE> reply = encodeMessage(SNMP_PDU_RESPONSE, 8);
  std::vector<smiBYTE> lengthPastEnd = packet(reply);
  lengthPastEnd[3] = static_cast<smiBYTE>(lengthPastEnd[3] + 1);
  std::vector<smiBYTE> lengthTooSmall = packet(reply);
  lengthTooSmall[2] = 0;
  lengthTooSmall[3] = 12;
  struct Case {
    const char* name;
    std::vector<smiBYTE> datagram;
  };
  const Case cases[] = {
      {"shorter than a header", std::vector<smiBYTE>(12, 0xFF)},
      {"length past the datagram", lengthPastEnd},
      {"length below the header", lengthTooSmall},
      {"payload is no message", packet({0x30, 0x03, 0x02, 0x01})},
      {"payload larger than the receive buffer", packet(std::vector<smiBYTE>(1409, 0x04))},
      {"datagram larger than any packet", std::vector<smiBYTE>(3000, 0x00)},
  };
  const std::size_t before = liveHandles();
  for (const Case& c : cases) {
    agent.send(c.datagram, manager);
    ASSERT_EQ(snmp::transport::datagram::mainSocket(*record()).waitReadable(kPatience), 0) << c.name;
    const Received r = receive();
    EXPECT_EQ(r.result, 0u) << c.name;
    EXPECT_EQ(r.error, SNMPAPI_OUTPUT_TRUNCATED) << c.name;
    EXPECT_EQ(liveHandles(), before) << c.name;
  }
  // Padding after the packet is no reason to refuse it.
  std::vector<smiBYTE> padded = packet(reply);
  padded.push_back(0);
  agent.send(padded, manager);
  ASSERT_EQ(snmp::transport::datagram::mainSocket(*record()).waitReadable(kPatience), 0);
  EXPECT_EQ(receive().result, 8u);
}

TEST_F(IpxTransportTest, SwitchingBetweenUdpAndIpxKeepsOneSocketPair) {
  const HSNMP_ENTITY udp = SnmpStrToEntity(live, "127.0.0.1");
  net.edit([&](platform::NetConfig& c) { c.snmpPort = agent.port(); });
  ASSERT_EQ(sendGet(udp, 2), 2u);
  ASSERT_TRUE(record()->udpOpen);
  ASSERT_EQ(sendGet(entity, 3), 3u);
  EXPECT_TRUE(record()->ipxOpen);
  EXPECT_FALSE(record()->udpOpen) << "the UDP socket was closed, not leaked";
  EXPECT_EQ(record()->socket, snmp::transport::datagram::mainSocket(*record()).fd());
}

TEST_F(IpxTransportTest, TrapsArriveOnTheTrapSocket) {
  {
    platform::UdpSocket probe;
    probe.open();
    if (probe.bind({platform::kAnyAddress, platform::kIpxSocketSnmpTrap}) != 0) {
      GTEST_SKIP() << "UDP port 36880 is taken on this machine";
    }
  }
  ASSERT_EQ(SnmpRegister(live, entity, 0, 0, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS) << SnmpGetLastError(live);
  EXPECT_TRUE(record()->ipxOpen);
  const snmp::ipx::Address trapListener = snmp::ipx::addressOf({platform::kLoopbackAddress, platform::kIpxSocketSnmpTrap}, 0);
  agent.answer(trapListener, encodeMessage(SNMP_PDU_V1TRAP, 0));
  ASSERT_TRUE(awaitArrival());
  const Received r = receive();
  EXPECT_EQ(r.type, SNMP_PDU_TRAP);
  EXPECT_EQ(r.source, "0000ABCD-00007F000001");
  ASSERT_EQ(SnmpRegister(live, entity, 0, 0, nullptr, SNMPAPI_OFF), SNMPAPI_SUCCESS);
  EXPECT_EQ(record()->trapSocket, snmp::kNoSocket);
}

}  // namespace
