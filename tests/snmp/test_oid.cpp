// OID utilities: text to OID and back, copy, compare, descriptor release.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_engine_fixture.h"

namespace {

std::vector<smiUINT32> idsOf(const smiOID& oid) { return std::vector<smiUINT32>(oid.ptr, oid.ptr + oid.len); }

TEST_F(EngineTest, StrToOidTable) {
  struct Case {
    const char* text;
    std::vector<smiUINT32> ids;  // empty: refused with 9
  };
  const Case cases[] = {
      {"1.3.6.1.2.1.1.5.0", {1, 3, 6, 1, 2, 1, 1, 5, 0}},
      {"7", {7}},
      {".1.3.6", {1, 3, 6}},
      {"1.3.4294967295", {1, 3, 4294967295u}},
      {"000.01", {0, 1}},
      {"abc", {}},
      {"", {}},
      {".", {}},
      {"1.3.", {}},
      {"1..3", {}},
      {"1.3x", {}},
      {"1.3.-6", {}},
      {"1 .3", {}},
      {"1.3.4294967296", {}},  // would wrap to 0: another object entirely
      {"1.3.99999999999999999999", {}},
  };
  for (const Case& c : cases) {
    smiOID oid{99, nullptr};
    const SNMPAPI_STATUS n = SnmpStrToOid(c.text, &oid);
    if (c.ids.empty()) {
      EXPECT_EQ(n, 0u) << c.text;
      EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_OID_INVALID) << c.text;
      EXPECT_EQ(oid.len, 0u) << c.text;
      EXPECT_EQ(oid.ptr, nullptr) << c.text;
    } else {
      EXPECT_EQ(n, c.ids.size()) << c.text;
      EXPECT_EQ(idsOf(oid), c.ids) << c.text;
    }
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, &oid);
  }
  EXPECT_EQ(SnmpStrToOid(nullptr, nullptr), 0u);
}

TEST(OidUtilities, WorkWithoutStartup) {
  SnmpCleanup();
  smiOID oid{};
  EXPECT_EQ(SnmpStrToOid("1.3.6", &oid), 3u);
  char text[16];
  EXPECT_EQ(SnmpOidToStr(&oid, sizeof text, text), 6u);
  EXPECT_STREQ(text, "1.3.6");
  EXPECT_EQ(SnmpFreeDescriptor(SNMP_SYNTAX_OID, &oid), SNMPAPI_SUCCESS);
  EXPECT_EQ(oid.ptr, nullptr);
}

TEST_F(EngineTest, OidToStrTable) {
  struct Case {
    TestOid oid;
    smiUINT32 size;
    SNMPAPI_STATUS result;
    const char* text;  // what the buffer holds afterwards
    smiUINT32 code;
  };
  const Case cases[] = {
      {{1, 3, 6}, 6, 6, "1.3.6", 0},
      {{1, 3, 6}, 5, 0, "1.3", SNMPAPI_OUTPUT_TRUNCATED},
      {{1, 3, 6}, 1, 0, "", SNMPAPI_OUTPUT_TRUNCATED},
      {{4294967295u, 0}, 13, 13, "4294967295.0", 0},
      {{4294967295u, 0}, 12, 0, "4294967295", SNMPAPI_OUTPUT_TRUNCATED},
      {{1, 3, 6, 1, 4, 1, 1240, 2, 3, 5}, 40, 23, "1.3.6.1.4.1.1240.2.3.5", 0},
  };
  for (const Case& c : cases) {
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(SnmpOidToStr(c.oid.get(), c.size, buffer), c.result) << c.text;
    EXPECT_STREQ(buffer, c.text);
    EXPECT_EQ(buffer[c.size], 'x') << "wrote past the buffer for " << c.text;
    if (c.code) {
      EXPECT_EQ(SnmpGetLastError(0), c.code) << c.text;
    }
  }
  const smiOID empty{0, nullptr};
  char buffer[8];
  EXPECT_EQ(SnmpOidToStr(&empty, sizeof buffer, buffer), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_OID_INVALID);
  const TestOid one{1};
  EXPECT_EQ(SnmpOidToStr(one.get(), 0, buffer), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_OUTPUT_TRUNCATED);
}

TEST_F(EngineTest, OidCompareTable) {
  struct Case {
    const char* name;
    TestOid x, y;
    smiUINT32 maxlen;
    smiINT result;
  };
  const Case cases[] = {
      {"prefix, all", {1, 3, 6}, {1, 3, 6, 1}, 0, -1},
      {"prefix, max 3", {1, 3, 6}, {1, 3, 6, 1}, 3, 0},
      {"longer first, all", {1, 3, 6, 1}, {1, 3, 6}, 0, 1},
      {"equal", {1, 3, 6}, {1, 3, 6}, 0, 0},
      {"difference decides", {1, 3, 7}, {1, 3, 6, 1}, 0, 1},
      {"unsigned compare", {1, 4294967295u}, {1, 2}, 0, 1},
      {"difference beyond max", {1, 3, 6}, {1, 3, 7}, 2, 0},
      {"max beyond both, shorter smaller", {1, 3}, {1, 3, 6}, 10, -1},
      {"max beyond both, equal", {1, 3}, {1, 3}, 10, 0},
  };
  for (const Case& c : cases) {
    smiINT result = 99;
    EXPECT_EQ(SnmpOidCompare(c.x.get(), c.y.get(), c.maxlen, &result), SNMPAPI_SUCCESS) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
  }
  const smiOID empty{0, nullptr};
  const TestOid one{1};
  smiINT result = 0;
  EXPECT_EQ(SnmpOidCompare(&empty, one.get(), 0, &result), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_OID_INVALID);
}

TEST_F(EngineTest, OidCopyIsDeepAndRefusesEmpty) {
  TestOid source{1, 3, 6, 1};
  smiOID copy{};
  EXPECT_EQ(SnmpOidCopy(source.get(), &copy), 4u);
  source.ids[3] = 99;
  EXPECT_EQ(idsOf(copy), (std::vector<smiUINT32>{1, 3, 6, 1}));
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, &copy);
  const smiOID empty{0, nullptr};
  EXPECT_EQ(SnmpOidCopy(&empty, &copy), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_OID_INVALID);
}

TEST(FreeDescriptor, FreesOnlyAllocatingSyntaxes) {
  for (smiUINT32 syntax : {SNMP_SYNTAX_BITS, SNMP_SYNTAX_OCTETS, SNMP_SYNTAX_IPADDR, SNMP_SYNTAX_OPAQUE,
                           SNMP_SYNTAX_NSAPADDR}) {
    smiOCTETS d{3, static_cast<smiLPBYTE>(std::malloc(3))};
    EXPECT_EQ(SnmpFreeDescriptor(syntax, &d), SNMPAPI_SUCCESS) << syntax;
    EXPECT_EQ(d.ptr, nullptr) << syntax;
    EXPECT_EQ(d.len, 0u) << syntax;
  }
  smiOCTETS untouched{3, reinterpret_cast<smiLPBYTE>(const_cast<char*>("abc"))};
  for (smiUINT32 syntax : {SNMP_SYNTAX_INT, SNMP_SYNTAX_NULL, SNMP_SYNTAX_CNTR64, 0x99u}) {
    EXPECT_EQ(SnmpFreeDescriptor(syntax, &untouched), SNMPAPI_SUCCESS) << syntax;
    EXPECT_NE(untouched.ptr, nullptr) << syntax;
  }
  EXPECT_EQ(SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, nullptr), SNMPAPI_SUCCESS);
}

}  // namespace
