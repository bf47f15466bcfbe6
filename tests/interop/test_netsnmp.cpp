// Our codec against net-snmp, both ways: what we write net-snmp reads with the same fields, what
// net-snmp writes we read with the same fields, and both write the same bytes where BER leaves
// no choice (minimal definite lengths, minimal integers).
#include <gtest/gtest.h>

#include "interop/message_model.h"

namespace interop {
namespace {

const Oid kSysName{1, 3, 6, 1, 2, 1, 1, 5, 0};

Var var(std::uint8_t syntax, std::uint64_t number = 0) {
  Var v;
  v.name = {1, 3, 6, 1, 4, 1, 1240, 2, 1, 0};
  v.syntax = syntax;
  v.number = number;
  return v;
}
Var bytesVar(std::uint8_t syntax, Bytes b) {
  Var v = var(syntax);
  v.bytes = std::move(b);
  return v;
}
Var bitsVar(std::uint32_t bits, Bytes b) {
  Var v = bytesVar(0x03, std::move(b));
  v.bits = bits;
  return v;
}
Var oidVar(Oid o) {
  Var v = var(0x06);
  v.oid = std::move(o);
  return v;
}

struct Named {
  const char* name;
  Var v;
};

std::vector<Named> everySyntax() {
  Bytes text(200, 'a');
  return {
      {"INTEGER 0", var(0x02, 0)},
      {"INTEGER -1", var(0x02, 0xFFFFFFFFu)},
      {"INTEGER 128", var(0x02, 128)},
      {"INTEGER min", var(0x02, 0x80000000u)},
      {"INTEGER max", var(0x02, 0x7FFFFFFFu)},
      {"OCTET STRING", bytesVar(0x04, {'l', 'a', 's', 'e', 'r', 0, 0xFF})},
      {"OCTET STRING empty", bytesVar(0x04, {})},
      {"OCTET STRING 200 bytes", bytesVar(0x04, text)},
      {"NULL", var(0x05)},
      {"OBJECT IDENTIFIER", oidVar({1, 3, 6, 1, 4, 1, 1240, 4294967295u, 128})},
      {"IpAddress", bytesVar(0x40, {192, 168, 7, 1})},
      {"Counter32 max", var(0x41, 4294967295u)},
      {"Gauge32 max", var(0x42, 4294967295u)},
      {"Gauge32 128", var(0x42, 128)},
      {"TimeTicks", var(0x43, 360000)},
      {"Opaque", bytesVar(0x44, {0x04, 0x02, 0x41, 0x42})},
      {"NsapAddress", bytesVar(0x45, {0x47, 0x00, 0x05})},
      {"Counter64 max", var(0x46, ~0ull)},
      {"Counter64 2^32", var(0x46, 0x100000000ull)},
      {"UInteger32", var(0x47, 0x80000000u)},
      {"BIT STRING 16 bits", bitsVar(16, {0xA5, 0x5A})},
      {"BIT STRING 12 bits", bitsVar(12, {0xA5, 0x50})},
      {"noSuchObject", var(0x80)},
      {"noSuchInstance", var(0x81)},
      {"endOfMibView", var(0x82)},
  };
}

Message request(int type, std::vector<Var> vars) {
  Message m;
  m.type = type;
  m.requestId = 0x12345678;
  if (type == 0xA2) {
    m.errorStatus = 2;
    m.errorIndex = 1;
  }
  Var first;
  first.name = kSysName;
  m.vars.push_back(first);
  for (auto& v : vars) m.vars.push_back(std::move(v));
  return m;
}

// Both directions for one message, with byte-exact agreement.
void checkBothWays(const Message& m, const std::string& what) {
  std::uint32_t code = 1;
  const Bytes ours = oursEncode(m, &code);
  ASSERT_EQ(code, 0u) << what;

  Message seen;
  std::string error;
  ASSERT_TRUE(netsnmpParse(ours, seen, &error)) << what << ": net-snmp refused our " << toHex(ours) << ": " << error;
  EXPECT_EQ(seen, m) << what;

  const Bytes theirs = netsnmpBuild(m, &error);
  ASSERT_FALSE(theirs.empty()) << what << ": net-snmp could not build: " << error;
  EXPECT_EQ(toHex(ours), toHex(theirs)) << what;

  Message decoded;
  ASSERT_TRUE(oursDecode(theirs, decoded, &code)) << what << ": code " << code;
  EXPECT_EQ(decoded, m) << what;
}

class NetSnmp : public ::testing::Test {
 protected:
  void SetUp() override { netsnmpInit(); }
};

TEST_F(NetSnmp, EveryValueSyntaxBothWays) {
  for (const auto& c : everySyntax()) checkBothWays(request(0xA2, {c.v}), c.name);
}

TEST_F(NetSnmp, EveryPduTypeBothWays) {
  std::vector<Var> all;
  for (const auto& c : everySyntax()) all.push_back(c.v);
  for (int type : {0xA0, 0xA1, 0xA2, 0xA3, 0xA5, 0xA6, 0xA7}) {
    checkBothWays(request(type, all), "PDU type " + std::to_string(type));
  }
}

TEST_F(NetSnmp, GetRequestOfTheWireExample) {
  Message m = request(0xA0, {});
  m.requestId = 2;
  EXPECT_EQ(toHex(netsnmpBuild(m)),
            "30 26 02 01 00 04 06 70 75 62 6C 69 63 A0 19 02 01 02 02 01 00 02 01 00 30 0E 30 0C 06 08 2B 06 01 02 01 "
            "01 05 00 05 00");
  checkBothWays(m, "GET sysName.0");
}

TEST_F(NetSnmp, SizesThatNeedLongFormLengths) {
  struct Case {
    const char* name;
    Message m;
  };
  std::vector<Case> cases;
  {
    std::vector<Var> many;
    for (std::uint32_t i = 0; i < 31; ++i) {
      Var v = var(0x02, i * 1000);
      v.name.push_back(i);
      many.push_back(v);
    }
    cases.push_back({"32 bindings", request(0xA2, many)});
  }
  cases.push_back({"1300-byte string", request(0xA3, {bytesVar(0x04, Bytes(1300, 'z'))})});
  {
    Message m = request(0xA0, {});
    m.community.assign(255, 'k');
    cases.push_back({"255-byte community", m});
  }
  {
    Message m = request(0xA0, {});
    m.community.clear();
    cases.push_back({"empty community", m});
  }
  for (std::int32_t id : {0, -1, 127, 128, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000u)}) {
    Message m = request(0xA2, {});
    m.requestId = id;
    m.errorStatus = 5;
    m.errorIndex = 255;
    cases.push_back({"request id", m});
  }
  for (const auto& c : cases) checkBothWays(c.m, c.name);
}

TEST_F(NetSnmp, V1TrapOurEncodingReadsTheSame) {
  for (int generic : {0, 2, 6}) {
    Message m = request(0xA4, {var(0x02, 3)});
    m.requestId = 0;
    m.enterprise = {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
    m.agentAddress = {10, 0, 0, 5};
    m.generic = generic;
    m.specific = generic == 6 ? 17 : 0;
    m.timeStamp = 0x80000001u;
    std::uint32_t code = 1;
    const Bytes ours = oursEncode(m, &code);
    ASSERT_EQ(code, 0u);
    Message seen;
    std::string error;
    ASSERT_TRUE(netsnmpParse(ours, seen, &error)) << error;
    EXPECT_EQ(seen, m) << "generic " << generic;
    EXPECT_EQ(toHex(ours), toHex(netsnmpBuild(m))) << "generic " << generic;
  }
}

TEST_F(NetSnmp, V1TrapFromNetSnmpArrivesTranslated) {
  Message m = request(0xA4, {var(0x02, 3)});
  m.enterprise = {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
  m.agentAddress = {10, 0, 0, 5};
  m.generic = 6;
  m.specific = 17;
  m.timeStamp = 4242;
  const Bytes wire = netsnmpBuild(m);
  ASSERT_FALSE(wire.empty());
  Message got;
  std::uint32_t code = 1;
  ASSERT_TRUE(oursDecode(wire, got, &code)) << code;
  EXPECT_EQ(got.type, 0xA7);
  EXPECT_EQ(got.requestId, 1);
  ASSERT_EQ(got.vars.size(), m.vars.size() + 3);
  EXPECT_EQ(got.vars[0].name, (Oid{1, 3, 6, 1, 2, 1, 1, 3, 0}));
  EXPECT_EQ(got.vars[0].syntax, 0x43);
  EXPECT_EQ(got.vars[0].number, 4242u);
  EXPECT_EQ(got.vars[1].name, (Oid{1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0}));
  EXPECT_EQ(got.vars[1].oid, (Oid{1, 3, 6, 1, 4, 1, 1240, 2, 3, 5, 0, 17}));
  for (std::size_t i = 0; i < m.vars.size(); ++i) EXPECT_EQ(got.vars[i + 2], m.vars[i]);
  EXPECT_EQ(got.vars.back().name, (Oid{1, 3, 6, 1, 6, 3, 1, 1, 4, 3, 0}));
  EXPECT_EQ(got.vars.back().oid, m.enterprise);
}

}  // namespace
}  // namespace interop

namespace interop {
namespace {

// The same proof through the WinSNMP API: SnmpEncodeMsg and SnmpDecodeMsg over handles.
TEST_F(NetSnmp, WinSnmpApiBothWays) {
  std::vector<Var> all;
  for (const auto& c : everySyntax()) all.push_back(c.v);
  std::vector<std::pair<std::string, Message>> messages;
  for (const auto& c : everySyntax()) messages.emplace_back(c.name, request(0xA2, {c.v}));
  for (int type : {0xA0, 0xA1, 0xA2, 0xA3, 0xA5, 0xA6, 0xA7}) {
    messages.emplace_back("PDU type " + std::to_string(type), request(type, all));
  }
  for (const auto& [what, m] : messages) {
    std::uint32_t code = 1;
    const Bytes wire = apiEncode(m, &code);
    ASSERT_EQ(code, 0u) << what;
    Message seen;
    std::string error;
    ASSERT_TRUE(netsnmpParse(wire, seen, &error)) << what << ": " << error;
    EXPECT_EQ(seen, m) << what;
    const Bytes theirs = netsnmpBuild(m, &error);
    EXPECT_EQ(toHex(wire), toHex(theirs)) << what;
    Message decoded;
    ASSERT_TRUE(apiDecode(theirs, decoded, &code)) << what << ": code " << code;
    EXPECT_EQ(decoded, m) << what;
  }
}

TEST_F(NetSnmp, WinSnmpApiDeliversNetSnmpV1TrapsTranslated) {
  Message m = request(0xA4, {var(0x02, 3)});
  m.enterprise = {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
  m.agentAddress = {10, 0, 0, 5};
  m.generic = 2;
  m.timeStamp = 99;
  Message got;
  std::uint32_t code = 1;
  ASSERT_TRUE(apiDecode(netsnmpBuild(m), got, &code)) << code;
  EXPECT_EQ(got.type, 0xA7);
  EXPECT_EQ(got.requestId, 1);
  ASSERT_EQ(got.vars.size(), 5u);
  EXPECT_EQ(got.vars[1].oid, (Oid{1, 3, 6, 1, 6, 3, 1, 1, 5, 3}));
  EXPECT_EQ(got.vars[4].oid, m.enterprise);
}

TEST_F(NetSnmp, WinSnmpApiRefusesWhatTheCodecRefuses) {
  Bytes version1 = oursEncode(request(0xA2, {}));
  ASSERT_EQ(version1[4], 0x00);
  version1[4] = 0x01;
  Message got;
  std::uint32_t code = 0;
  EXPECT_FALSE(apiDecode(version1, got, &code));
  EXPECT_EQ(code, 19u);
}

}  // namespace
}  // namespace interop
