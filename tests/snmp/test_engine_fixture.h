#pragma once
// Shared set-up of the engine tests: a fresh task entry per test, and small helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "snmp/handle_table.h"
#include "snmp/winsnmp.h"

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();  // a test that failed half-way may have left an entry
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    session = SnmpOpen(nullptr, 2561);
    ASSERT_NE(session, 0u);
  }
  void TearDown() override {
    SnmpCleanup();
    EXPECT_EQ(liveHandles(), 0u) << "clean-up left handles of this process";
  }

  static std::size_t liveHandles() {
    smiUINT32 owned[snmp::handles::kSlots];
    return snmp::handles::ownedHandles(owned);
  }

  HSNMP_SESSION session = 0;
};

// An OID descriptor over a vector the test keeps alive.
struct TestOid {
  std::vector<smiUINT32> ids;
  smiOID oid{};
  TestOid(std::initializer_list<smiUINT32> list) : ids(list) { oid = smiOID{static_cast<smiUINT32>(ids.size()), ids.data()}; }
  const smiOID* get() const { return &oid; }
};

inline smiVALUE intValue(smiINT v) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_INT;
  value.value.sNumber = v;
  return value;
}

inline smiVALUE nullValue() {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_NULL;
  return value;
}

inline smiVALUE octetsValue(const char* text) {
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_OCTETS;
  value.value.string.len = static_cast<smiUINT32>(std::strlen(text));
  value.value.string.ptr = reinterpret_cast<smiLPBYTE>(const_cast<char*>(text));
  return value;
}
