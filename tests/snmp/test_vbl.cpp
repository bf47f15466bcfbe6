// Variable-binding lists: get, set, append, delete, duplicate, free, and copies by value class.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_engine_fixture.h"

namespace {

const TestOid kSysName{1, 3, 6, 1, 2, 1, 1, 5, 0};
const TestOid kSysContact{1, 3, 6, 1, 2, 1, 1, 4, 0};

std::vector<smiUINT32> nameAt(HSNMP_VBL vbl, smiUINT32 index) {
  smiOID name{};
  smiVALUE value{};
  if (!SnmpGetVb(vbl, index, &name, &value)) return {};
  std::vector<smiUINT32> ids(name.ptr, name.ptr + name.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
  SnmpFreeDescriptor(value.syntax, &value.value.string);
  return ids;
}

smiINT intAt(HSNMP_VBL vbl, smiUINT32 index) {
  smiOID name{};
  smiVALUE value{};
  if (!SnmpGetVb(vbl, index, &name, &value)) return -999;
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
  return value.value.sNumber;
}

TEST_F(EngineTest, GetVbIndexBounds) {
  const smiVALUE one = intValue(1);
  const HSNMP_VBL vbl = SnmpCreateVbl(session, kSysName.get(), &one);
  ASSERT_EQ(SnmpCountVbl(vbl), 1u);
  smiOID name{};
  smiVALUE value{};
  for (smiUINT32 index : {0u, 2u, 1000u}) {
    EXPECT_EQ(SnmpGetVb(vbl, index, &name, &value), SNMPAPI_FAILURE) << index;
    EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_INDEX_INVALID) << index;
  }
  EXPECT_EQ(SnmpGetVb(vbl, 1, nullptr, &value), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_OTHER_ERROR);
  EXPECT_EQ(nameAt(vbl, 1), kSysName.ids);
}

TEST_F(EngineTest, SetVbAppendsReplacesAndRefusesAThirtyThird) {
  const HSNMP_VBL vbl = SnmpCreateVbl(session, nullptr, nullptr);
  for (smiINT i = 1; i <= 32; ++i) {
    const smiVALUE v = intValue(i);
    ASSERT_EQ(SnmpSetVb(vbl, 0, kSysName.get(), &v), static_cast<smiUINT32>(i)) << "append " << i;
  }
  EXPECT_EQ(SnmpCountVbl(vbl), 32u);
  const smiVALUE extra = intValue(33);
  EXPECT_EQ(SnmpSetVb(vbl, 0, kSysName.get(), &extra), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_OUTPUT_TRUNCATED);
  EXPECT_EQ(SnmpCountVbl(vbl), 32u);

  // Replacing still works on a full list.
  const smiVALUE text = octetsValue("lobby");
  EXPECT_EQ(SnmpSetVb(vbl, 32, kSysContact.get(), &text), 32u);
  EXPECT_EQ(nameAt(vbl, 32), kSysContact.ids);
  smiOID name{};
  smiVALUE value{};
  ASSERT_EQ(SnmpGetVb(vbl, 32, &name, &value), SNMPAPI_SUCCESS);
  EXPECT_EQ(value.syntax, SNMP_SYNTAX_OCTETS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(value.value.string.ptr), value.value.string.len), "lobby");
  SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &value.value.string);

  EXPECT_EQ(SnmpSetVb(vbl, 33, kSysName.get(), &extra), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_INDEX_INVALID);
}

TEST_F(EngineTest, SetVbRefusalsLeaveTheBindingAlone) {
  const smiVALUE one = intValue(1);
  const HSNMP_VBL vbl = SnmpCreateVbl(session, kSysName.get(), &one);
  smiVALUE unknown{};
  unknown.syntax = 0x99;
  smiVALUE dangling{};
  dangling.syntax = SNMP_SYNTAX_OCTETS;
  dangling.value.string = smiOCTETS{5, nullptr};
  const smiOID empty{0, nullptr};
  struct Case {
    const char* name;
    const smiOID* oid;
    const smiVALUE* value;
    smiUINT32 code;
  };
  const Case cases[] = {
      {"null name", nullptr, &one, SNMPAPI_OID_INVALID},
      {"empty name", &empty, &one, SNMPAPI_OID_INVALID},
      {"null value", kSysName.get(), nullptr, SNMPAPI_OTHER_ERROR},
      {"unknown syntax", kSysName.get(), &unknown, SNMPAPI_SYNTAX_INVALID},
      {"length without bytes", kSysName.get(), &dangling, SNMPAPI_OTHER_ERROR},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SnmpSetVb(vbl, 1, c.oid, c.value), SNMPAPI_FAILURE) << c.name;
    EXPECT_EQ(SnmpGetLastError(0), c.code) << c.name;
    EXPECT_EQ(intAt(vbl, 1), 1) << c.name;
  }
  EXPECT_EQ(SnmpCreateVbl(session, kSysName.get(), &unknown), 0u);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_SYNTAX_INVALID);
}

TEST_F(EngineTest, DeleteVbClosesTheGapAndChecksTheIndex) {
  const HSNMP_VBL vbl = SnmpCreateVbl(session, nullptr, nullptr);
  for (smiINT i = 1; i <= 4; ++i) {
    const smiVALUE v = intValue(i);
    SnmpSetVb(vbl, 0, kSysName.get(), &v);
  }
  EXPECT_EQ(SnmpDeleteVb(vbl, 2), SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpCountVbl(vbl), 3u);
  EXPECT_EQ(intAt(vbl, 1), 1);
  EXPECT_EQ(intAt(vbl, 2), 3);
  EXPECT_EQ(intAt(vbl, 3), 4);
  EXPECT_EQ(SnmpDeleteVb(vbl, 3), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCountVbl(vbl), 2u);
  for (smiUINT32 index : {0u, 3u}) {
    EXPECT_EQ(SnmpDeleteVb(vbl, index), SNMPAPI_FAILURE) << index;
    EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_INDEX_INVALID) << index;
  }
  EXPECT_EQ(SnmpCountVbl(vbl), 2u);
}

// One value of every class, with what makes it distinct.
std::vector<smiVALUE> everyClass(std::vector<smiBYTE>& bytes, std::vector<smiUINT32>& ids) {
  bytes = {0xDE, 0xAD, 0xBE, 0xEF, 0x01};
  ids = {1, 3, 6, 1, 4, 1, 1240};
  std::vector<smiVALUE> values;
  smiVALUE v{};
  v.syntax = SNMP_SYNTAX_INT;
  v.value.sNumber = -5;
  values.push_back(v);
  v = smiVALUE{};
  v.syntax = SNMP_SYNTAX_GAUGE32;
  v.value.uNumber = 4294967295u;
  values.push_back(v);
  v = smiVALUE{};
  v.syntax = SNMP_SYNTAX_OCTETS;
  v.value.string = smiOCTETS{5, bytes.data()};
  values.push_back(v);
  v = smiVALUE{};
  v.syntax = SNMP_SYNTAX_IPADDR;
  v.value.string = smiOCTETS{4, bytes.data()};
  values.push_back(v);
  v = smiVALUE{};
  v.syntax = SNMP_SYNTAX_BITS;
  v.value.string = smiOCTETS{12, bytes.data()};  // 12 bits: two bytes
  values.push_back(v);
  v = smiVALUE{};
  v.syntax = SNMP_SYNTAX_OID;
  v.value.oid = smiOID{static_cast<smiUINT32>(ids.size()), ids.data()};
  values.push_back(v);
  v = smiVALUE{};
  v.syntax = SNMP_SYNTAX_CNTR64;
  v.value.hNumber = smiCNTR64{7, 8};
  values.push_back(v);
  v = smiVALUE{};
  v.syntax = SNMP_SYNTAX_NOSUCHINSTANCE;
  values.push_back(v);
  v = smiVALUE{};
  v.syntax = SNMP_SYNTAX_OCTETS;  // empty string: nothing allocated
  values.push_back(v);
  return values;
}

bool sameValue(const smiVALUE& a, const smiVALUE& b) {
  if (a.syntax != b.syntax) return false;
  switch (a.syntax) {
    case SNMP_SYNTAX_INT:
      return a.value.sNumber == b.value.sNumber;
    case SNMP_SYNTAX_GAUGE32:
      return a.value.uNumber == b.value.uNumber;
    case SNMP_SYNTAX_CNTR64:
      return a.value.hNumber.hipart == b.value.hNumber.hipart && a.value.hNumber.lopart == b.value.hNumber.lopart;
    case SNMP_SYNTAX_BITS: {
      const smiUINT32 n = (a.value.string.len + 7) / 8;
      return a.value.string.len == b.value.string.len && (n == 0 || !std::memcmp(a.value.string.ptr, b.value.string.ptr, n));
    }
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
      return a.value.string.len == b.value.string.len &&
             (a.value.string.len == 0 || !std::memcmp(a.value.string.ptr, b.value.string.ptr, a.value.string.len));
    case SNMP_SYNTAX_OID:
      return a.value.oid.len == b.value.oid.len &&
             !std::memcmp(a.value.oid.ptr, b.value.oid.ptr, a.value.oid.len * sizeof(smiUINT32));
    default:
      return true;
  }
}

TEST_F(EngineTest, DuplicateVblIsADeepCopyOfEveryValueClass) {
  std::vector<smiBYTE> bytes;
  std::vector<smiUINT32> ids;
  const std::vector<smiVALUE> values = everyClass(bytes, ids);
  const HSNMP_VBL vbl = SnmpCreateVbl(session, nullptr, nullptr);
  for (const smiVALUE& v : values) ASSERT_NE(SnmpSetVb(vbl, 0, kSysName.get(), &v), 0u) << v.syntax;
  const HSNMP_VBL copy = SnmpDuplicateVbl(session, vbl);
  ASSERT_NE(copy, 0u);
  // The copy stands alone: with the original freed, AddressSanitizer catches any shared memory.
  ASSERT_EQ(SnmpFreeVbl(vbl), SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpCountVbl(copy), values.size());
  for (smiUINT32 i = 0; i < values.size(); ++i) {
    smiOID name{};
    smiVALUE value{};
    ASSERT_EQ(SnmpGetVb(copy, i + 1, &name, &value), SNMPAPI_SUCCESS) << i;
    EXPECT_TRUE(sameValue(value, values[i])) << "binding " << i + 1 << " syntax " << values[i].syntax;
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
    SnmpFreeDescriptor(value.syntax, value.syntax == SNMP_SYNTAX_OID ? static_cast<void*>(&value.value.oid)
                                                                     : static_cast<void*>(&value.value.string));
  }
  EXPECT_EQ(SnmpDuplicateVbl(session, 50), 0u);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_VBL_INVALID);
  EXPECT_EQ(SnmpDuplicateVbl(50, copy), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_SESSION_INVALID);
}

TEST_F(EngineTest, FreeVblFreesEveryBinding) {
  // LeakSanitizer checks what this leaves behind.
  std::vector<smiBYTE> bytes;
  std::vector<smiUINT32> ids;
  const std::vector<smiVALUE> values = everyClass(bytes, ids);
  for (int round = 0; round < 3; ++round) {
    const HSNMP_VBL vbl = SnmpCreateVbl(session, kSysName.get(), &values[2]);
    for (const smiVALUE& v : values) SnmpSetVb(vbl, 0, kSysContact.get(), &v);
    SnmpSetVb(vbl, 3, kSysName.get(), &values[5]);  // replaced bindings are freed too
    SnmpDeleteVb(vbl, 2);
    EXPECT_EQ(SnmpFreeVbl(vbl), SNMPAPI_SUCCESS);
  }
  // A list left to SnmpClose / SnmpCleanup is freed with its session.
  const HSNMP_VBL left = SnmpCreateVbl(session, kSysName.get(), &values[5]);
  EXPECT_NE(left, 0u);
}

}  // namespace
