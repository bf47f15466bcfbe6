// The UDP transport against responders on loopback: request and reply, arrival notification,
// the stale-reply discard, the trap socket, and datagrams that are no message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_transport_fixture.h"

namespace {

class UdpTransportTest : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    net.edit([&](platform::NetConfig& c) { c.snmpPort = agent.port(); });
    entity = SnmpStrToEntity(live, "127.0.0.1");
    ASSERT_NE(entity, 0u);
  }

  // Sends a GET and lets the agent take it; returns where it came from.
  platform::SocketAddress sendAndTake(smiINT32 requestId) {
    EXPECT_EQ(sendGet(entity, requestId), static_cast<SNMPAPI_STATUS>(requestId));
    platform::SocketAddress from;
    const std::vector<smiBYTE> request = agent.take(&from);
    smiINT type = 0;
    EXPECT_EQ(requestIdOf(request.data(), request.size(), &type), requestId);
    EXPECT_EQ(type, SNMP_PDU_GET);
    return from;
  }

  Responder agent;
  HSNMP_ENTITY entity = 0;
};

TEST_F(UdpTransportTest, RequestGoesToTheAgentPortAndTheReplyIsAnnouncedAndReceived) {
  const platform::SocketAddress manager = sendAndTake(41);
  EXPECT_EQ(manager.address, platform::kLoopbackAddress);
  EXPECT_NE(manager.port, agent.port());
  ASSERT_TRUE(record()->udpOpen);
  EXPECT_EQ(record()->socket, snmp::transport::datagram::mainSocket(*record()).fd());

  agent.send(encodeMessage(SNMP_PDU_RESPONSE, 41), manager);
  ASSERT_TRUE(awaitArrival());
  const Received r = receive();
  EXPECT_EQ(r.result, 41u);
  EXPECT_EQ(r.type, SNMP_PDU_RESPONSE);
  EXPECT_EQ(r.source, "127.0.0.1");
  EXPECT_EQ(entityRecord(r.sourceEntity)->transport, snmp::kTransportUdp);
  // Read: nothing more is waiting, and nothing more is announced.
  EXPECT_EQ(receive().error, SNMPAPI_NOOP);
  EXPECT_FALSE(awaitArrival(kQuiet));
  EXPECT_EQ(notifications, 1);
}

TEST_F(UdpTransportTest, EveryDatagramIsAnnouncedOnceAndOnlyAfterTheLastOneWasRead) {
  const platform::SocketAddress manager = sendAndTake(5);
  agent.send(encodeMessage(SNMP_PDU_RESPONSE, 5), manager);
  agent.send(encodeMessage(SNMP_PDU_RESPONSE, 6), manager);
  ASSERT_TRUE(awaitArrival());
  // Not read yet: the watch keeps quiet instead of spinning.
  EXPECT_FALSE(awaitArrival(kQuiet));
  EXPECT_EQ(receive().result, 5u);
  // The second is still waiting: announced again.
  ASSERT_TRUE(awaitArrival());
  EXPECT_EQ(receive().result, 6u);
  EXPECT_FALSE(awaitArrival(kQuiet));
  EXPECT_EQ(notifications, 2);
}

TEST_F(UdpTransportTest, AnUnreadReplyIsDiscardedBeforeTheNextRequest) {
  const platform::SocketAddress manager = sendAndTake(10);
  agent.send(encodeMessage(SNMP_PDU_RESPONSE, 10), manager);
  ASSERT_EQ(snmp::transport::datagram::mainSocket(*record()).waitReadable(kPatience), 0);

  sendAndTake(11);  // drops the late reply to 10
  agent.send(encodeMessage(SNMP_PDU_RESPONSE, 11), manager);
  ASSERT_EQ(snmp::transport::datagram::mainSocket(*record()).waitReadable(kPatience), 0);
  EXPECT_EQ(receive().result, 11u);
  EXPECT_EQ(receive().error, SNMPAPI_NOOP);
}

TEST_F(UdpTransportTest, DatagramsThatAreNoMessageFailWithoutLeavingHandles) {
  const platform::SocketAddress manager = sendAndTake(3);
  const std::vector<smiBYTE> good = encodeMessage(SNMP_PDU_RESPONSE, 3);
  std::vector<smiBYTE> trailing = good;
  trailing.push_back(0);
  struct Case {
    const char* name;
    std::vector<smiBYTE> bytes;
    smiUINT32 error;
  };
  const Case cases[] = {
      {"truncated", std::vector<smiBYTE>(good.begin(), good.end() - 4), SNMPAPI_OUTPUT_TRUNCATED},
      {"garbage", {0xFF, 0x00, 0x13, 0x37}, SNMPAPI_OUTPUT_TRUNCATED},
      {"empty", {}, SNMPAPI_OUTPUT_TRUNCATED},
      {"trailing byte", trailing, SNMPAPI_OUTPUT_TRUNCATED},
      {"longer than the receive buffer", std::vector<smiBYTE>(2000, 0x30), SNMPAPI_OUTPUT_TRUNCATED},
      {"largest datagram", std::vector<smiBYTE>(65507, 0x04), SNMPAPI_OUTPUT_TRUNCATED},
  };
  const std::size_t before = liveHandles();
  for (const Case& c : cases) {
    agent.send(c.bytes, manager);
    ASSERT_EQ(snmp::transport::datagram::mainSocket(*record()).waitReadable(kPatience), 0) << c.name;
    const Received r = receive();
    EXPECT_EQ(r.result, 0u) << c.name;
    EXPECT_EQ(r.error, c.error) << c.name;
    EXPECT_EQ(liveHandles(), before) << c.name;
  }
  // A reply from another port of the host is still a reply; matching is the caller's business.
  Responder stranger;
  stranger.send(good, manager);
  ASSERT_EQ(snmp::transport::datagram::mainSocket(*record()).waitReadable(kPatience), 0);
  EXPECT_EQ(receive().result, 3u);
}

TEST_F(UdpTransportTest, AFailedSendIsNoopAndKeepsTheSocket) {
  // Port 0 is refused by the kernel: a sendto failure without sending anywhere.
  net.edit([](platform::NetConfig& c) { c.snmpPort = 0; });
  EXPECT_EQ(sendGet(entity, 9), 0u);
  EXPECT_EQ(SnmpGetLastError(live), SNMPAPI_NOOP);
  EXPECT_TRUE(record()->udpOpen) << "the socket stays for the next send";
}

TEST_F(UdpTransportTest, CloseReleasesTheSockets) {
  sendAndTake(2);
  ASSERT_EQ(SnmpRegister(live, 0, 0, 0, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS) << SnmpGetLastError(live);
  const int fd = record()->socket;
  ASSERT_GE(fd, 0);
  ASSERT_GE(record()->trapSocket, 0);
  ASSERT_EQ(SnmpClose(live), SNMPAPI_SUCCESS);
  live = 0;
  // The trap port is free again.
  platform::UdpSocket probe;
  probe.open();
  EXPECT_EQ(probe.bind({platform::kAnyAddress, platform::netConfig().trapPort}), 0);
}

class TrapReceptionTest : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    trapPort = freeUdpPort();
    net.edit([&](platform::NetConfig& c) { c.trapPort = trapPort; });
  }
  std::uint16_t trapPort = 0;
};

TEST_F(TrapReceptionTest, AV1TrapOnTheTrapPortArrivesAsAnSnmpV2Trap) {
  ASSERT_EQ(SnmpRegister(live, 0, 0, 0, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS) << SnmpGetLastError(live);
  EXPECT_TRUE(record()->udpOpen);
  // Registering again keeps the one socket.
  const int trapFd = record()->trapSocket;
  ASSERT_EQ(SnmpRegister(live, 0, 0, 0, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS);
  EXPECT_EQ(record()->trapSocket, trapFd);

  Responder agent;
  agent.send(encodeMessage(SNMP_PDU_V1TRAP, 0), {platform::kLoopbackAddress, trapPort});
  ASSERT_TRUE(awaitArrival());
  const Received r = receive();
  EXPECT_EQ(r.result, 1u);
  EXPECT_EQ(r.type, SNMP_PDU_TRAP);
  EXPECT_EQ(r.source, "127.0.0.1");

  // Off: the port is let go.
  ASSERT_EQ(SnmpRegister(live, 0, 0, 0, nullptr, SNMPAPI_OFF), SNMPAPI_SUCCESS);
  EXPECT_EQ(record()->trapSocket, snmp::kNoSocket);
  platform::UdpSocket probe;
  probe.open();
  EXPECT_EQ(probe.bind({platform::kAnyAddress, trapPort}), 0);
}

// A v1 trap of n bindings (each sysContact.0 = NULL), encoded by our codec.
std::vector<smiBYTE> v1TrapOf(smiUINT32 n) {
  const smiUINT32 ids[] = {1, 3, 6, 1, 2, 1, 1, 4, 0};
  const smiOID name{9, const_cast<smiUINT32*>(ids)};
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_NULL;
  std::vector<snmp::codec::BindingRef> refs(n, snmp::codec::BindingRef{&name, &value});
  const smiUINT32 enterpriseIds[] = {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
  const smiOID enterprise{10, const_cast<smiUINT32*>(enterpriseIds)};
  smiBYTE agent[4] = {127, 0, 0, 9};
  const smiOCTETS agentAddress{4, agent};
  snmp::codec::EncodeInput in;
  in.pduType = SNMP_PDU_V1TRAP;
  in.community = reinterpret_cast<const smiBYTE*>("public");
  in.communityLength = 6;
  in.bindings = refs.data();
  in.count = n;
  in.enterprise = &enterprise;
  in.agentAddress = &agentAddress;
  in.genericTrap = 6;
  in.specificTrap = 3;
  smiOCTETS out{};
  EXPECT_EQ(snmp::codec::encodeMessage(in, &out), 0u);
  std::vector<smiBYTE> bytes(out.ptr, out.ptr + out.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &out);
  return bytes;
}

TEST_F(TrapReceptionTest, ATrapWhoseTranslationExceeds32BindingsFailsWithItsReason) {
  ASSERT_EQ(SnmpRegister(live, 0, 0, 0, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS) << SnmpGetLastError(live);
  struct Case {
    smiUINT32 bindings;
    smiUINT32 error;  // of SnmpRecvMsg, 1 (success) when delivered
  } cases[] = {{29, SNMPAPI_SUCCESS}, {30, SNMPAPI_ALLOC_ERROR}, {32, SNMPAPI_ALLOC_ERROR}};
  Responder agent;
  const std::size_t before = liveHandles();
  for (const Case& c : cases) {
    agent.send(v1TrapOf(c.bindings), {platform::kLoopbackAddress, trapPort});
    ASSERT_TRUE(awaitArrival()) << c.bindings;
    const Received r = receive();
    EXPECT_EQ(r.error, c.error) << c.bindings << " bindings";
    if (r.sourceEntity) SnmpFreeEntity(r.sourceEntity);
    EXPECT_EQ(liveHandles(), before) << c.bindings << " bindings: nothing left behind";
  }
}

TEST_F(TrapReceptionTest, ATrapPortInUseIsNotAvailable) {
  platform::UdpSocket holder;
  holder.open();
  ASSERT_EQ(holder.bind({platform::kAnyAddress, trapPort}), 0);
  EXPECT_EQ(SnmpRegister(live, 0, 0, 0, nullptr, SNMPAPI_ON), 0u);
  EXPECT_EQ(SnmpGetLastError(live), SNMPAPI_TL_NOT_AVAILABLE);
  EXPECT_EQ(record()->trapSocket, snmp::kNoSocket);
}

TEST_F(TrapReceptionTest, NetSnmpTrapArrives) {
  ASSERT_EQ(std::system("command -v snmptrap >/dev/null 2>&1"), 0) << "snmptrap is not installed (Debian package snmp)";
  ASSERT_EQ(SnmpRegister(live, 0, 0, 0, nullptr, SNMPAPI_ON), SNMPAPI_SUCCESS);
  const std::string command = "MIBS= snmptrap -v1 -c public -M /dev/null 127.0.0.1:" + std::to_string(trapPort) +
                              " 1.3.6.1.4.1.1240 127.0.0.1 6 17 4242 1.3.6.1.2.1.1.5.0 s trellan >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ASSERT_TRUE(awaitArrival());
  const Received r = receive();
  EXPECT_EQ(r.type, SNMP_PDU_TRAP);
  EXPECT_EQ(r.source, "127.0.0.1");
}

}  // namespace
