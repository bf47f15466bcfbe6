// PDUs, contexts and entities.
#include <gtest/gtest.h>

#include <string>

#include "test_engine_fixture.h"

namespace {

TEST_F(EngineTest, RequestIdsStartAtTwoAndCount) {
  const HSNMP_PDU a = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, 0);
  const HSNMP_PDU b = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, 0);
  const HSNMP_PDU given = SnmpCreatePdu(session, SNMP_PDU_GET, 77, 0, 0, 0);
  smiINT32 id = 0;
  SnmpGetPduData(a, nullptr, &id, nullptr, nullptr, nullptr);
  EXPECT_EQ(id, 2);
  SnmpGetPduData(b, nullptr, &id, nullptr, nullptr, nullptr);
  EXPECT_EQ(id, 3);
  SnmpGetPduData(given, nullptr, &id, nullptr, nullptr, nullptr);
  EXPECT_EQ(id, 77);
  const smiINT32 zero = 0;
  EXPECT_EQ(SnmpSetPduData(given, nullptr, &zero, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  SnmpGetPduData(given, nullptr, &id, nullptr, nullptr, nullptr);
  EXPECT_EQ(id, 4);
}

TEST_F(EngineTest, CreatePduStoresFieldsAndTypeZeroIsGetNext) {
  const HSNMP_PDU pdu = SnmpCreatePdu(session, 0, 9, 2, 5, 33);
  ASSERT_NE(pdu, 0u);
  smiINT type = 0, status = 0, index = 0;
  smiINT32 id = 0;
  HSNMP_VBL vbl = 0;
  EXPECT_EQ(SnmpGetPduData(pdu, &type, &id, &status, &index, &vbl), SNMPAPI_SUCCESS);
  EXPECT_EQ(type, SNMP_PDU_GETNEXT);
  EXPECT_EQ(id, 9);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(index, 5);
  EXPECT_EQ(vbl, 33u) << "the list handle is stored as given";

  const smiINT set = SNMP_PDU_SET, zeroType = 0;
  const HSNMP_VBL other = 12;
  EXPECT_EQ(SnmpSetPduData(pdu, &set, nullptr, nullptr, nullptr, &other), SNMPAPI_SUCCESS);
  SnmpGetPduData(pdu, &type, &id, nullptr, nullptr, &vbl);
  EXPECT_EQ(type, SNMP_PDU_SET);
  EXPECT_EQ(id, 9);
  EXPECT_EQ(vbl, 12u);
  SnmpSetPduData(pdu, &zeroType, nullptr, nullptr, nullptr, nullptr);
  SnmpGetPduData(pdu, &type, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(type, SNMP_PDU_GETNEXT);

  const HSNMP_PDU copy = SnmpDuplicatePdu(session, pdu);
  ASSERT_NE(copy, 0u);
  EXPECT_EQ(SnmpGetPduData(copy, &type, &id, &status, &index, &vbl), SNMPAPI_SUCCESS);
  EXPECT_EQ(type, SNMP_PDU_GETNEXT);
  EXPECT_EQ(id, 9);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(vbl, 12u);
  EXPECT_EQ(SnmpCreatePdu(0, SNMP_PDU_GET, 0, 0, 0, 0), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_SESSION_INVALID);
}

TEST_F(EngineTest, FreePduLeavesItsListAlone) {
  const HSNMP_VBL vbl = SnmpCreateVbl(session, nullptr, nullptr);
  const HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, vbl);
  EXPECT_EQ(SnmpFreePdu(pdu), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCountVbl(vbl), 0u);
  EXPECT_EQ(SnmpFreeVbl(vbl), SNMPAPI_SUCCESS);
}

TEST_F(EngineTest, ContextLengthTable) {
  const std::string exact(256, 'c');
  const std::string over(257, 'c');
  struct Case {
    const char* name;
    smiOCTETS octets;
    bool null;
    smiUINT32 code;  // 0: accepted
  };
  const Case cases[] = {
      {"256 bytes", {256, reinterpret_cast<smiLPBYTE>(const_cast<char*>(exact.data()))}, false, 0},
      {"1 byte", {1, reinterpret_cast<smiLPBYTE>(const_cast<char*>("p"))}, false, 0},
      {"257 bytes", {257, reinterpret_cast<smiLPBYTE>(const_cast<char*>(over.data()))}, false,
       SNMPAPI_OUTPUT_TRUNCATED},
      {"empty", {0, reinterpret_cast<smiLPBYTE>(const_cast<char*>(""))}, false, SNMPAPI_CONTEXT_INVALID},
      {"length without bytes", {4, nullptr}, false, SNMPAPI_CONTEXT_INVALID},
      {"null", {}, true, SNMPAPI_CONTEXT_INVALID},
  };
  for (const Case& c : cases) {
    const HSNMP_CONTEXT h = SnmpStrToContext(session, c.null ? nullptr : &c.octets);
    if (c.code) {
      EXPECT_EQ(h, 0u) << c.name;
      EXPECT_EQ(SnmpGetLastError(0), c.code) << c.name;
      EXPECT_EQ(SnmpGetLastError(session), c.code) << c.name;
      continue;
    }
    ASSERT_NE(h, 0u) << c.name;
    smiOCTETS back{};
    EXPECT_EQ(SnmpContextToStr(h, &back), SNMPAPI_SUCCESS) << c.name;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back.ptr), back.len),
              std::string(reinterpret_cast<const char*>(c.octets.ptr), c.octets.len))
        << c.name;
    SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &back);
    EXPECT_EQ(SnmpFreeContext(h), SNMPAPI_SUCCESS) << c.name;
  }
}

TEST_F(EngineTest, StrToEntityTable) {
  struct Case {
    const char* text;
    smiUINT32 transport;  // 99: refused
    const char* back;     // SnmpEntityToStr
  };
  const Case cases[] = {
      {"10.1.2.3", 0, "10.1.2.3"},
      {"127.0.0.1", 0, "127.0.0.1"},
      {"255.255.255.255", 0, "255.255.255.255"},
      {"COM2", 2, "COM2"},
      {"COM3:", 2, "COM3"},
      {"COM9", 2, "COM9"},
      {"0000ABCD-020000123456", 1, "0000ABCD-020000123456"},
      {"0000abcd:020000123456", 1, "0000ABCD-020000123456"},
      {"ABCD-123456789A", 1, "0000ABCD-00123456789A"},
      {"ABC-0123456789A", 1, "00000ABC-00123456789A"},  // digits right-aligned by value
      {"COM10", 99, nullptr},
      {"COM0", 99, nullptr},
      {"COMX", 99, nullptr},
      {"COM3;", 99, nullptr},
      {"ABCD-123456", 99, nullptr},             // 11 characters
      {"0000ABCD020000123456", 99, nullptr},    // no separator
      {"123456789-020000123456", 99, nullptr},  // 22 characters
      {"123456789-0200", 99, nullptr},          // network of nine digits
      {"1-0200001234567", 99, nullptr},         // node of thirteen digits
      {"0000ABCG-020000123456", 99, nullptr},   // not hex
      {"", 99, nullptr},
  };
  for (const Case& c : cases) {
    const HSNMP_ENTITY e = SnmpStrToEntity(session, c.text);
    if (c.transport == 99) {
      EXPECT_EQ(e, 0u) << c.text;
      EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_ENTITY_UNKNOWN) << c.text;
      continue;
    }
    ASSERT_NE(e, 0u) << c.text;
    const auto* record = snmp::handles::find<snmp::EntityRecord>(e);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->transport, c.transport) << c.text;
    char text[32];
    EXPECT_EQ(SnmpEntityToStr(e, sizeof text, text), SNMPAPI_SUCCESS) << c.text;
    EXPECT_STREQ(text, c.back);
    SnmpFreeEntity(e);
  }
  EXPECT_EQ(liveHandles(), 1u) << "refused texts leave no entity behind";
}

TEST_F(EngineTest, IpxEntityFieldsAreInNetworkOrder) {
  const HSNMP_ENTITY e = SnmpStrToEntity(session, "0000ABCD-020000123456");
  const auto* r = snmp::handles::find<snmp::EntityRecord>(e);
  ASSERT_NE(r, nullptr);
  const smiBYTE network[] = {0x00, 0x00, 0xAB, 0xCD};
  const smiBYTE node[] = {0x02, 0x00, 0x00, 0x12, 0x34, 0x56};
  const smiBYTE socket[] = {0x90, 0x0F};
  EXPECT_EQ(0, std::memcmp(r->ipxNetwork, network, sizeof network));
  EXPECT_EQ(0, std::memcmp(r->ipxNode, node, sizeof node));
  EXPECT_EQ(0, std::memcmp(r->ipxSocket, socket, sizeof socket));
  const HSNMP_ENTITY udp = SnmpStrToEntity(session, "10.1.2.3");
  const smiBYTE v4[] = {10, 1, 2, 3};
  EXPECT_EQ(0, std::memcmp(snmp::handles::find<snmp::EntityRecord>(udp)->ipv4, v4, sizeof v4));
}

TEST_F(EngineTest, EntityToStrBounds) {
  const HSNMP_ENTITY ipx = SnmpStrToEntity(session, "0000ABCD-020000123456");
  const HSNMP_ENTITY udp = SnmpStrToEntity(session, "10.1.2.3");
  const HSNMP_ENTITY zeroUdp = SnmpStrToEntity(session, "0.0.0.0");
  const HSNMP_ENTITY zeroIpx = SnmpStrToEntity(session, "00000000-000000000000");
  const HSNMP_ENTITY serial = SnmpStrToEntity(session, "COM4");
  ASSERT_TRUE(ipx && udp && zeroUdp && zeroIpx && serial);
  struct Case {
    const char* name;
    HSNMP_ENTITY entity;
    smiUINT32 size;
    smiUINT32 code;      // 0: success
    const char* text;    // buffer afterwards, null when untouched
  };
  const Case cases[] = {
      {"ipx, 22 bytes", ipx, 22, 0, "0000ABCD-020000123456"},
      {"ipx, 21 bytes", ipx, 21, SNMPAPI_OUTPUT_TRUNCATED, nullptr},
      {"udp, exact", udp, 9, 0, "10.1.2.3"},
      {"udp, one short", udp, 8, SNMPAPI_OUTPUT_TRUNCATED, nullptr},
      {"udp, all zero", zeroUdp, 16, SNMPAPI_ENTITY_UNKNOWN, "0.0.0.0"},
      {"ipx, all zero", zeroIpx, 22, SNMPAPI_ENTITY_UNKNOWN, "00000000-000000000000"},
      {"serial, exact", serial, 5, 0, "COM4"},
      {"serial, short", serial, 3, SNMPAPI_OUTPUT_TRUNCATED, "CO"},
  };
  for (const Case& c : cases) {
    char buffer[40];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    const SNMPAPI_STATUS rc = SnmpEntityToStr(c.entity, c.size, buffer);
    EXPECT_EQ(rc, c.code ? SNMPAPI_FAILURE : SNMPAPI_SUCCESS) << c.name;
    if (c.code) {
      EXPECT_EQ(SnmpGetLastError(0), c.code) << c.name;
    }
    if (c.text) {
      EXPECT_STREQ(buffer, c.text) << c.name;
    }
    EXPECT_EQ(buffer[c.size], 'x') << "wrote past the buffer: " << c.name;
  }
}

}  // namespace
