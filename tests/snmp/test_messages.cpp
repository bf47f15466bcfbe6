// Messages through handles: encode and decode, and the handle checks of send, receive,
// trap registration and the serial exchange.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "test_engine_fixture.h"

namespace {

const smiOCTETS kPublic{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
const TestOid kSysName{1, 3, 6, 1, 2, 1, 1, 5, 0};

// A GET of sysName.0 with request id 2 and community "public", as it goes on the wire.
const std::vector<smiBYTE> kGetSysName = {
    0x30, 0x26, 0x02, 0x01, 0x00, 0x04, 0x06, 'p',  'u',  'b',  'l',  'i',  'c',  0xA0, 0x19, 0x02,
    0x01, 0x02, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x0E, 0x30, 0x0C, 0x06, 0x08, 0x2B, 0x06,
    0x01, 0x02, 0x01, 0x01, 0x05, 0x00, 0x05, 0x00};

class MessageTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    entity = SnmpStrToEntity(session, "127.0.0.1");
    context = SnmpStrToContext(session, &kPublic);
    const smiVALUE null = nullValue();
    vbl = SnmpCreateVbl(session, kSysName.get(), &null);
    pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, vbl);
    ASSERT_TRUE(entity && context && vbl && pdu);
  }

  // Encodes the fixture's message; false when the engine refuses it.
  bool encode(smiOCTETS& out) {
    const SNMPAPI_STATUS n = SnmpEncodeMsg(session, 0, entity, context, pdu, &out);
    return n != 0;
  }

  HSNMP_ENTITY entity = 0;
  HSNMP_CONTEXT context = 0;
  HSNMP_VBL vbl = 0;
  HSNMP_PDU pdu = 0;
};

TEST_F(MessageTest, EncodeDecodeRoundTripThroughHandles) {
  smiOCTETS wire{};
  ASSERT_TRUE(encode(wire)) << SnmpGetLastError(0);
  EXPECT_EQ(std::vector<smiBYTE>(wire.ptr, wire.ptr + wire.len), kGetSysName);

  HSNMP_CONTEXT decodedContext = 0;
  HSNMP_PDU decodedPdu = 0;
  ASSERT_EQ(SnmpDecodeMsg(session, nullptr, nullptr, &decodedContext, &decodedPdu, &wire), wire.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &wire);

  smiOCTETS community{};
  ASSERT_EQ(SnmpContextToStr(decodedContext, &community), SNMPAPI_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(community.ptr), community.len), "public");
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &community);

  smiINT type = 0, status = 9, index = 9;
  smiINT32 id = 0;
  HSNMP_VBL decodedVbl = 0;
  ASSERT_EQ(SnmpGetPduData(decodedPdu, &type, &id, &status, &index, &decodedVbl), SNMPAPI_SUCCESS);
  EXPECT_EQ(type, SNMP_PDU_GET);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(index, 0);
  ASSERT_EQ(SnmpCountVbl(decodedVbl), 1u);
  smiOID name{};
  smiVALUE value{};
  ASSERT_EQ(SnmpGetVb(decodedVbl, 1, &name, &value), SNMPAPI_SUCCESS);
  EXPECT_EQ(std::vector<smiUINT32>(name.ptr, name.ptr + name.len), kSysName.ids);
  EXPECT_EQ(value.syntax, SNMP_SYNTAX_NULL);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
  // The decoded objects belong to the session and go with it (checked by the fixture).
}

TEST_F(MessageTest, DecodedValuesOfEveryClassSurviveTheRoundTrip) {
  const std::vector<smiUINT32> ids = {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
  smiBYTE bytes[200];
  for (int i = 0; i < 200; ++i) bytes[i] = static_cast<smiBYTE>(i);
  std::vector<smiVALUE> values(6);
  values[0].syntax = SNMP_SYNTAX_INT, values[0].value.sNumber = -129;
  values[1].syntax = SNMP_SYNTAX_TIMETICKS, values[1].value.uNumber = 2147483648u;
  values[2].syntax = SNMP_SYNTAX_OCTETS, values[2].value.string = smiOCTETS{200, bytes};
  values[3].syntax = SNMP_SYNTAX_OID, values[3].value.oid = smiOID{static_cast<smiUINT32>(ids.size()),
                                                                    const_cast<smiUINT32*>(ids.data())};
  values[4].syntax = SNMP_SYNTAX_CNTR64, values[4].value.hNumber = smiCNTR64{1, 2};
  values[5].syntax = SNMP_SYNTAX_IPADDR, values[5].value.string = smiOCTETS{4, bytes + 10};
  const HSNMP_VBL list = SnmpCreateVbl(session, nullptr, nullptr);
  for (const smiVALUE& v : values) ASSERT_NE(SnmpSetVb(list, 0, kSysName.get(), &v), 0u);
  const smiINT response = SNMP_PDU_RESPONSE;
  ASSERT_EQ(SnmpSetPduData(pdu, &response, nullptr, nullptr, nullptr, &list), SNMPAPI_SUCCESS);
  smiOCTETS wire{};
  ASSERT_TRUE(encode(wire));
  HSNMP_CONTEXT c = 0;
  HSNMP_PDU p = 0;
  ASSERT_NE(SnmpDecodeMsg(session, nullptr, nullptr, &c, &p, &wire), 0u);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &wire);
  HSNMP_VBL decoded = 0;
  SnmpGetPduData(p, nullptr, nullptr, nullptr, nullptr, &decoded);
  ASSERT_EQ(SnmpCountVbl(decoded), values.size());
  for (smiUINT32 i = 0; i < values.size(); ++i) {
    smiOID name{};
    smiVALUE v{};
    ASSERT_EQ(SnmpGetVb(decoded, i + 1, &name, &v), SNMPAPI_SUCCESS);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
    EXPECT_EQ(v.syntax, values[i].syntax) << i;
    switch (v.syntax) {
      case SNMP_SYNTAX_INT:
        EXPECT_EQ(v.value.sNumber, -129);
        break;
      case SNMP_SYNTAX_TIMETICKS:
        EXPECT_EQ(v.value.uNumber, 2147483648u);
        break;
      case SNMP_SYNTAX_OCTETS:
      case SNMP_SYNTAX_IPADDR:
        ASSERT_EQ(v.value.string.len, values[i].value.string.len) << i;
        EXPECT_EQ(0, std::memcmp(v.value.string.ptr, values[i].value.string.ptr, v.value.string.len)) << i;
        SnmpFreeDescriptor(v.syntax, &v.value.string);
        break;
      case SNMP_SYNTAX_OID:
        EXPECT_EQ(std::vector<smiUINT32>(v.value.oid.ptr, v.value.oid.ptr + v.value.oid.len), ids);
        SnmpFreeDescriptor(SNMP_SYNTAX_OID, &v.value.oid);
        break;
      case SNMP_SYNTAX_CNTR64:
        EXPECT_EQ(v.value.hNumber.hipart, 1u);
        EXPECT_EQ(v.value.hNumber.lopart, 2u);
        break;
    }
  }
}

TEST_F(MessageTest, DecodedTrapArrivesAsAnSnmpV2Trap) {
  // v1 trap: enterprise 1.3.6.1.4.1.1240.2.3.5, agent 10.1.2.3, linkDown, time 100, one binding.
  const std::vector<smiBYTE> trap = {
      0x30, 0x3B, 0x02, 0x01, 0x00, 0x04, 0x06, 'p',  'u',  'b',  'l',  'i',  'c',  0xA4, 0x2E, 0x06,
      0x0A, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x89, 0x58, 0x02, 0x03, 0x05, 0x40, 0x04, 0x0A, 0x01, 0x02,
      0x03, 0x02, 0x01, 0x02, 0x02, 0x01, 0x00, 0x43, 0x01, 0x64, 0x30, 0x11, 0x30, 0x0F, 0x06, 0x0A,
      0x2B, 0x06, 0x01, 0x02, 0x01, 0x02, 0x02, 0x01, 0x01, 0x07, 0x02, 0x01, 0x07};
  ASSERT_EQ(trap[1] + 2u, trap.size());
  const smiOCTETS wire{static_cast<smiUINT32>(trap.size()), const_cast<smiBYTE*>(trap.data())};
  HSNMP_CONTEXT c = 0;
  HSNMP_PDU p = 0;
  ASSERT_EQ(SnmpDecodeMsg(session, nullptr, nullptr, &c, &p, &wire), trap.size()) << SnmpGetLastError(0);
  smiINT type = 0;
  smiINT32 id = 0;
  HSNMP_VBL list = 0;
  SnmpGetPduData(p, &type, &id, nullptr, nullptr, &list);
  EXPECT_EQ(type, SNMP_PDU_TRAP);
  EXPECT_EQ(id, 1);
  ASSERT_EQ(SnmpCountVbl(list), 4u);
  smiOID name{};
  smiVALUE value{};
  ASSERT_EQ(SnmpGetVb(list, 2, &name, &value), SNMPAPI_SUCCESS);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
  ASSERT_EQ(value.syntax, SNMP_SYNTAX_OID);
  EXPECT_EQ(std::vector<smiUINT32>(value.value.oid.ptr, value.value.oid.ptr + value.value.oid.len),
            (std::vector<smiUINT32>{1, 3, 6, 1, 6, 3, 1, 1, 5, 3}));
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, &value.value.oid);
}

TEST_F(MessageTest, FailedDecodeLeavesNoHandles) {
  const std::size_t before = liveHandles();
  std::vector<smiBYTE> bad = kGetSysName;
  bad[4] = 0x01;  // version 1
  struct Case {
    const char* name;
    std::vector<smiBYTE> bytes;
  };
  const Case cases[] = {
      {"version 1", bad},
      {"truncated", std::vector<smiBYTE>(kGetSysName.begin(), kGetSysName.begin() + 20)},
      {"garbage", {0xFF, 0x00, 0x13}},
  };
  for (int round = 0; round < 70; ++round) {  // more rounds than the table has slots
    for (const Case& c : cases) {
      const smiOCTETS wire{static_cast<smiUINT32>(c.bytes.size()), const_cast<smiBYTE*>(c.bytes.data())};
      HSNMP_CONTEXT ctx = 7;
      HSNMP_PDU p = 7;
      ASSERT_EQ(SnmpDecodeMsg(session, nullptr, nullptr, &ctx, &p, &wire), 0u) << c.name;
      EXPECT_NE(SnmpGetLastError(session), SNMPAPI_SUCCESS) << c.name;
      EXPECT_EQ(ctx, 0u) << c.name;
      EXPECT_EQ(p, 0u) << c.name;
    }
  }
  EXPECT_EQ(liveHandles(), before);
  HSNMP_CONTEXT ctx = 0;
  HSNMP_PDU p = 0;
  const smiOCTETS wire{static_cast<smiUINT32>(kGetSysName.size()), const_cast<smiBYTE*>(kGetSysName.data())};
  EXPECT_EQ(SnmpDecodeMsg(session, nullptr, nullptr, nullptr, &p, &wire), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_CONTEXT_INVALID);
  EXPECT_EQ(SnmpDecodeMsg(session, nullptr, nullptr, &ctx, nullptr, &wire), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_PDU_INVALID);
  EXPECT_EQ(SnmpDecodeMsg(0, nullptr, nullptr, &ctx, &p, &wire), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_SESSION_INVALID);
}

TEST_F(MessageTest, EncodeRefusesEveryBadHandleWithEntityInvalid) {
  smiOCTETS out{};
  struct Case {
    const char* name;
    HSNMP_SESSION s;
    HSNMP_ENTITY e;
    HSNMP_CONTEXT c;
    HSNMP_PDU p;
  };
  const Case cases[] = {
      {"session", 0, entity, context, pdu},
      {"entity", session, context, context, pdu},
      {"context", session, entity, pdu, pdu},
      {"pdu", session, entity, context, vbl},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SnmpEncodeMsg(c.s, 0, c.e, c.c, c.p, &out), 0u) << c.name;
    EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_ENTITY_INVALID) << c.name;
  }
  // A PDU whose list handle is unusable.
  const HSNMP_PDU orphan = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, 0);
  EXPECT_EQ(SnmpEncodeMsg(session, 0, entity, context, orphan, &out), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_ALLOC_ERROR);
}

TEST_F(MessageTest, SendChecksEveryHandleWithItsOwnCode) {
  struct Case {
    const char* name;
    HSNMP_SESSION s;
    HSNMP_ENTITY src;
    HSNMP_ENTITY dst;
    HSNMP_CONTEXT c;
    HSNMP_PDU p;
    smiUINT32 code;
  };
  const Case cases[] = {
      {"session", context, 0, entity, context, pdu, SNMPAPI_SESSION_INVALID},
      {"source", session, pdu, entity, context, pdu, SNMPAPI_ENTITY_INVALID},
      {"destination", session, 0, context, context, pdu, SNMPAPI_ENTITY_INVALID},
      {"context", session, 0, entity, entity, pdu, SNMPAPI_CONTEXT_INVALID},
      {"pdu", session, 0, entity, context, context, SNMPAPI_PDU_INVALID},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SnmpSendMsg(c.s, c.src, c.dst, c.c, c.p), 0u) << c.name;
    EXPECT_EQ(SnmpGetLastError(0), c.code) << c.name;
  }
}

TEST_F(MessageTest, ReceiveWithNothingWaitingIsNoopAndLeavesNoEntities) {
  const std::size_t before = liveHandles();
  HSNMP_ENTITY src = 7, dst = 7;
  HSNMP_CONTEXT c = 7;
  HSNMP_PDU p = 7;
  EXPECT_EQ(SnmpRecvMsg(session, &src, &dst, &c, &p), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_NOOP);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_NOOP);
  EXPECT_EQ(src, 0u);
  EXPECT_EQ(dst, 0u);
  EXPECT_EQ(liveHandles(), before);

  struct Case {
    const char* name;
    HSNMP_SESSION s;
    LPHSNMP_ENTITY src;
    LPHSNMP_CONTEXT c;
    LPHSNMP_PDU p;
    smiUINT32 code;
  };
  const Case cases[] = {
      {"session", pdu, &src, &c, &p, SNMPAPI_SESSION_INVALID},
      {"source pointer", session, nullptr, &c, &p, SNMPAPI_ENTITY_INVALID},
      {"context pointer", session, &src, nullptr, &p, SNMPAPI_CONTEXT_INVALID},
      {"pdu pointer", session, &src, &c, nullptr, SNMPAPI_PDU_INVALID},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(SnmpRecvMsg(k.s, k.src, nullptr, k.c, k.p), 0u) << k.name;
    EXPECT_EQ(SnmpGetLastError(0), k.code) << k.name;
  }
  EXPECT_EQ(liveHandles(), before);
}

TEST_F(MessageTest, RegisterAndSerialExchangeCheckTheirHandles) {
  const TestOid trapOid{1, 3, 6, 1, 6, 3, 1, 1, 5};
  SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
  EXPECT_EQ(SnmpRegister(0, 0, 0, 0, trapOid.get(), SNMPAPI_ON), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_FAILURE) << "an invalid session posts 0";
  const HSNMP_ENTITY serial = SnmpStrToEntity(session, "COM1");
  EXPECT_EQ(SnmpRegister(session, serial, 0, 0, nullptr, SNMPAPI_ON), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_TL_NOT_SUPPORTED);
  EXPECT_EQ(SnmpRegister(session, context, 0, 0, nullptr, SNMPAPI_ON), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_ENTITY_INVALID);

  smiBYTE reply[548];
  EXPECT_EQ(SnmpSerialExchange(context, serial, sizeof reply, reply), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_SESSION_INVALID);
  EXPECT_EQ(SnmpSerialExchange(session, pdu, sizeof reply, reply), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_ENTITY_INVALID);
  EXPECT_EQ(SnmpSerialExchange(session, entity, sizeof reply, reply), SNMPAPI_TL_NOT_SUPPORTED);
}

}  // namespace
