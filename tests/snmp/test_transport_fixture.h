#pragma once
// Shared set-up of the transport tests: a session whose window is a headless target polling the
// engine's socket watch, a GET to send, and messages built with the codec for responders.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/headless_target.h"
#include "platform/net_config.h"
#include "platform/udp_socket.h"
#include "snmp/codec.h"
#include "snmp/datagram_sockets.h"
#include "snmp/engine_watch.h"
#include "snmp/handle_table.h"
#include "snmp/records.h"
#include "test_engine_fixture.h"

constexpr std::uint32_t kArrived = 0x8123;
constexpr std::chrono::milliseconds kPatience{3000};
constexpr std::chrono::milliseconds kQuiet{100};

// Replaces the process-wide network configuration for one test.
class NetConfigOverride {
 public:
  NetConfigOverride() : saved_(platform::netConfig()) {}
  ~NetConfigOverride() { platform::setNetConfig(saved_); }
  template <typename Edit>
  void edit(Edit e) {
    platform::NetConfig c = platform::netConfig();
    e(c);
    platform::setNetConfig(c);
  }

 private:
  platform::NetConfig saved_;
};

// A message as a responder builds it: the codec's encoder over one INTEGER binding.
inline std::vector<smiBYTE> encodeMessage(smiINT pduType, smiINT32 requestId, const char* community = "public") {
  const smiUINT32 ids[] = {1, 3, 6, 1, 2, 1, 1, 7, 0};
  const smiOID name{9, const_cast<smiUINT32*>(ids)};
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_INT;
  value.value.sNumber = 72;
  const snmp::codec::BindingRef binding{&name, &value};
  snmp::codec::EncodeInput in;
  in.pduType = pduType;
  in.requestId = requestId;
  in.community = reinterpret_cast<const smiBYTE*>(community);
  in.communityLength = static_cast<smiUINT32>(std::strlen(community));
  in.bindings = &binding;
  in.count = 1;
  const smiUINT32 enterpriseIds[] = {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
  const smiOID enterprise{10, const_cast<smiUINT32*>(enterpriseIds)};
  smiBYTE agent[4] = {127, 0, 0, 9};
  const smiOCTETS agentAddress{4, agent};
  if (pduType == SNMP_PDU_V1TRAP) {
    in.enterprise = &enterprise;
    in.agentAddress = &agentAddress;
    in.genericTrap = 6;
    in.specificTrap = 3;
    in.timeStamp = 100;
  }
  smiOCTETS out{};
  EXPECT_EQ(snmp::codec::encodeMessage(in, &out), 0u);
  std::vector<smiBYTE> bytes(out.ptr, out.ptr + out.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &out);
  return bytes;
}

// The request id of an encoded message, or -1 when it does not decode.
inline smiINT32 requestIdOf(const smiBYTE* data, std::size_t size, smiINT* type = nullptr) {
  snmp::codec::DecodeOutput out;
  if (snmp::codec::decodeMessage(data, size, out) != 0) return -1;
  const smiINT32 id = out.requestId;
  if (type) *type = out.pduType;
  snmp::codec::freeDecoded(out);
  return id;
}

class TransportTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    target.setSocketWatch(&snmp::headlessWatch());
    target.setHandler([this](const platform::Message& m) {
      if (m.msg == kArrived) ++notifications;
    });
    live = SnmpOpen(&target, kArrived);
    ASSERT_NE(live, 0u);
    static const smiOCTETS community{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
    context = SnmpStrToContext(live, &community);
    const TestOid sysName{1, 3, 6, 1, 2, 1, 1, 5, 0};
    const smiVALUE null = nullValue();
    vbl = SnmpCreateVbl(live, sysName.get(), &null);
    ASSERT_TRUE(context && vbl);
  }

  void TearDown() override {
    SnmpClose(live);
    EngineTest::TearDown();
  }

  // Sends a GET with `requestId` to `entity`; returns SnmpSendMsg's result.
  // The context and list of the live session serve every session (handles are not matched to sessions).
  SNMPAPI_STATUS sendGet(HSNMP_ENTITY entity, smiINT32 requestId, HSNMP_SESSION via = 0) {
    const HSNMP_PDU pdu = SnmpCreatePdu(live, SNMP_PDU_GET, requestId, 0, 0, vbl);
    const SNMPAPI_STATUS rc = SnmpSendMsg(via ? via : live, 0, entity, context, pdu);
    SnmpFreePdu(pdu);
    return rc;
  }

  struct Received {
    SNMPAPI_STATUS result = 0;
    smiUINT32 error = 0;
    smiINT type = 0;
    std::string source;
    HSNMP_ENTITY sourceEntity = 0;
  };

  // One SnmpRecvMsg (on the live session by default); frees what it created except the source entity.
  Received receive(HSNMP_SESSION via = 0) {
    const HSNMP_SESSION s = via ? via : live;
    Received r;
    HSNMP_ENTITY src = 0, dst = 0;
    HSNMP_CONTEXT c = 0;
    HSNMP_PDU p = 0;
    r.result = SnmpRecvMsg(s, &src, &dst, &c, &p);
    r.error = r.result ? SNMPAPI_SUCCESS : SnmpGetLastError(s);
    if (r.result) {
      SnmpGetPduData(p, &r.type, nullptr, nullptr, nullptr, nullptr);
      char text[64] = {};
      SnmpEntityToStr(src, sizeof text, text);
      r.source = text;
      r.sourceEntity = src;
      HSNMP_VBL list = 0;
      SnmpGetPduData(p, nullptr, nullptr, nullptr, nullptr, &list);
      SnmpFreeVbl(list);
      SnmpFreePdu(p);
      SnmpFreeContext(c);
      SnmpFreeEntity(dst);
    }
    return r;
  }

  bool awaitArrival(std::chrono::milliseconds wait = kPatience) {
    return target.waitFor(kArrived, wait).status == platform::WaitStatus::Arrived;
  }

  snmp::SessionRecord* record() { return snmp::handles::find<snmp::SessionRecord>(live); }
  static snmp::EntityRecord* entityRecord(HSNMP_ENTITY e) { return snmp::handles::find<snmp::EntityRecord>(e); }

  platform::HeadlessTarget target;
  int notifications = 0;
  HSNMP_SESSION live = 0;
  HSNMP_CONTEXT context = 0;
  HSNMP_VBL vbl = 0;
  NetConfigOverride net;
};

// A UDP endpoint on 127.0.0.1 that a test answers from.
struct Responder {
  platform::UdpSocket socket;
  Responder() {
    EXPECT_EQ(socket.open(), 0);
    EXPECT_EQ(socket.bind({platform::kLoopbackAddress, 0}), 0);
  }
  std::uint16_t port() const { return socket.localAddress().port; }
  // Waits for one datagram; empty when none came.
  std::vector<smiBYTE> take(platform::SocketAddress* from = nullptr, std::chrono::milliseconds wait = kPatience) {
    std::vector<smiBYTE> buffer(70000);
    const platform::IoResult r = socket.recvFrom(buffer.data(), buffer.size(), from, wait);
    if (!r.ok()) return {};
    buffer.resize(r.bytes);
    return buffer;
  }
  void send(const std::vector<smiBYTE>& bytes, platform::SocketAddress to) {
    EXPECT_TRUE(socket.sendTo(bytes.data(), bytes.size(), to).ok());
  }
};

// A port that was free a moment ago.
inline std::uint16_t freeUdpPort() {
  platform::UdpSocket s;
  s.open();
  s.bind({platform::kLoopbackAddress, 0});
  return s.localAddress().port;
}
