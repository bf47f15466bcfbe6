// CVarBind: which getter accepts which syntax, byte buffers, display and plain text.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "access/result_codes.h"
#include "access/var_bind.h"

using namespace snmpaccess;

namespace {

constexpr int kOk = result::kSuccess;
constexpr int kType = result::kWrongType;

struct Getters {
  int integer, unsignedValue, counter64, oid, bytes, ip, display;
};

Getters readAll(CVarBind& v) {
  smiINT i;
  smiUINT32 u, hi, lo;
  COid o;
  char buffer[64];
  std::size_t length;
  smiBYTE ip[4];
  return {v.getInteger(i), v.getUnsigned(u), v.getCounter64(hi, lo), v.getOid(o),
          v.getBytes(buffer, sizeof buffer, length), v.getIpAddress(ip), v.getDisplayText(buffer, sizeof buffer)};
}

}  // namespace

TEST(CVarBind, TypedAccessTable) {
  const smiBYTE address[4] = {10, 1, 2, 3};
  struct Case {
    const char* name;
    std::function<void(CVarBind&)> set;
    smiUINT32 syntax;
    Getters expected;
  };
  const Case cases[] = {
      {"integer", [](CVarBind& v) { v.setInteger(-5); }, 0x02, {kOk, kType, kType, kType, kType, kType, kType}},
      {"unsigned", [](CVarBind& v) { v.setUnsigned(5); }, 0x47, {kType, kOk, kType, kType, kType, kType, kType}},
      {"counter64", [](CVarBind& v) { v.setCounter64(1, 2); }, 0x46, {kType, kType, kOk, kType, kType, kType, kType}},
      {"oid", [](CVarBind& v) { v.setOid(COid("1.3.6")); }, 0x06, {kType, kType, kType, kOk, kType, kType, kType}},
      {"oid without value", [](CVarBind& v) { v.setOid(COid()); }, 0x06,
       {kType, kType, kType, result::kDoesNotFit, kType, kType, kType}},
      {"bytes", [](CVarBind& v) { v.setText("abc"); }, 0x04, {kType, kType, kType, kType, kOk, kType, kOk}},
      {"ip address", [&](CVarBind& v) { v.setIpAddress(address); }, 0x40, {kType, kType, kType, kType, kType, kOk, kType}},
      {"null", [](CVarBind& v) { v.setNull(); }, 0x05, {kType, kType, kType, kType, kType, kType, kType}},
      {"gauge from a reply", [](CVarBind& v) { v.setUnsigned(5); v.setSyntax(0x42); }, 0x42,
       {kType, kOk, kType, kType, kType, kType, kType}},
      {"counter from a reply", [](CVarBind& v) { v.setUnsigned(5); v.setSyntax(0x41); }, 0x41,
       {kType, kOk, kType, kType, kType, kType, kType}},
      {"timeticks from a reply", [](CVarBind& v) { v.setUnsigned(5); v.setSyntax(0x43); }, 0x43,
       {kType, kOk, kType, kType, kType, kType, kType}},
  };
  for (const Case& c : cases) {
    CVarBind v("1.3.6.1.2.1.1.5.0");
    c.set(v);
    EXPECT_EQ(v.syntax(), c.syntax) << c.name;
    const Getters g = readAll(v);
    EXPECT_EQ(g.integer, c.expected.integer) << c.name << ": integer";
    EXPECT_EQ(g.unsignedValue, c.expected.unsignedValue) << c.name << ": unsigned";
    EXPECT_EQ(g.counter64, c.expected.counter64) << c.name << ": counter64";
    EXPECT_EQ(g.oid, c.expected.oid) << c.name << ": oid";
    EXPECT_EQ(g.bytes, c.expected.bytes) << c.name << ": bytes";
    EXPECT_EQ(g.ip, c.expected.ip) << c.name << ": ip address";
    EXPECT_EQ(g.display, c.expected.display) << c.name << ": display text";
  }
}

TEST(CVarBind, ValuesRoundTrip) {
  CVarBind v;
  v.setInteger(-7);
  smiINT i = 0;
  v.getInteger(i);
  EXPECT_EQ(i, -7);
  v.setCounter64(3, 4);
  smiUINT32 hi = 0, lo = 0;
  v.getCounter64(hi, lo);
  EXPECT_EQ(hi, 3u);
  EXPECT_EQ(lo, 4u);
  v.setOid(COid("1.3.6.1.4"));
  COid o;
  v.getOid(o);
  EXPECT_EQ(o.text(), "1.3.6.1.4");
  const smiBYTE address[4] = {192, 0, 2, 7};
  v.setIpAddress(address);
  smiBYTE back[4] = {};
  v.getIpAddress(back);
  EXPECT_EQ(std::memcmp(back, address, 4), 0);
  EXPECT_EQ(v.value().value.string.len, 4u);
}

TEST(CVarBind, BytesAndTheCallerBuffer) {
  CVarBind v;
  v.setText("hello");
  char buffer[8] = {};
  std::size_t length = 0;
  EXPECT_EQ(v.getBytes(buffer, 5, length), kOk);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(v.getBytes(buffer, 4, length), result::kDoesNotFit);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(v.value().value.string.len, 5u) << "sent without the terminator";

  v.setBytes("xyz", 0);
  EXPECT_EQ(v.byteLength(), 0u);
  EXPECT_EQ(v.syntax(), SNMP_SYNTAX_OCTETS);
  EXPECT_EQ(v.getBytes(nullptr, 0, length), kOk);
  EXPECT_EQ(length, 0u);

  CVarBind shortAddress;
  smiVALUE reply{};
  smiBYTE two[2] = {1, 2};
  reply.syntax = SNMP_SYNTAX_IPADDR;
  reply.value.string = {2, two};
  shortAddress.assignValue(reply);
  smiBYTE ip[4];
  EXPECT_EQ(shortAddress.getIpAddress(ip), result::kDoesNotFit) << "an address of two bytes";
}

TEST(CVarBind, DisplayText) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string shown;
  };
  const Case cases[] = {
      {"text", std::string("AB CD"), "AB CD"},
      {"terminated", std::string("AB\0", 3), "41 42 00"},
      {"tab and newline are text", std::string("a\tb\r\n"), "a\tb\r\n"},
      {"high byte", std::string("\xC3\xA9"), "C3 A9"},
      {"empty", std::string(), ""},
  };
  for (const Case& c : cases) {
    CVarBind v;
    v.setBytes(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(v.displayText(), c.shown) << c.name;
  }

  // Hexadecimal shows at most 341 bytes and fits the 1024-byte buffer.
  std::string binary(600, '\x01');
  CVarBind big;
  big.setBytes(binary.data(), binary.size());
  const std::string shown = big.displayText();
  EXPECT_EQ(shown.size(), 341u * 3 - 1);
  EXPECT_NE(shown.back(), ' ');

  // A long text is cut to the caller's buffer.
  std::string longText(2000, 'a');
  CVarBind text;
  text.setBytes(longText.data(), longText.size());
  char small[16];
  EXPECT_EQ(text.getDisplayText(small, sizeof small), kOk);
  EXPECT_EQ(std::strlen(small), 15u);
}

TEST(CVarBind, PlainTextBlanksControlBytesInTheValue) {
  CVarBind v;
  const char raw[] = {'A', 0x01, 'B', 0x7E, 0x7D, 0x00};
  v.setBytes(raw, sizeof raw);
  char buffer[16];
  EXPECT_EQ(v.getPlainText(buffer, sizeof buffer), kOk);
  EXPECT_STREQ(buffer, "A B } ");
  EXPECT_EQ(v.displayText(), "A B } ") << "the stored value itself changed";
  CVarBind n;
  n.setInteger(1);
  EXPECT_EQ(n.getPlainText(buffer, sizeof buffer), kType);
}

TEST(CVarBind, NamingResetsTheValue) {
  CVarBind v("1.3.6.1.2.1.1.5.0");
  v.setInteger(3);
  v.setName("1.3.6.1.2.1.1.6.0");
  EXPECT_EQ(v.syntax(), SNMP_SYNTAX_NULL);
  v.setInteger(3);
  v.setName(COid("1.3.6.1.2.1.1.4.0"));
  EXPECT_EQ(v.syntax(), SNMP_SYNTAX_NULL);
  EXPECT_EQ(v.name().text(), "1.3.6.1.2.1.1.4.0");
}

TEST(CVarBind, ExceptionSyntaxesReadAsNullButKeepTheirSyntax) {
  CVarBind v;
  v.setInteger(1);
  smiVALUE reply{};
  reply.syntax = SNMP_SYNTAX_NOSUCHOBJECT;
  v.assignValue(reply);
  EXPECT_EQ(v.syntax(), SNMP_SYNTAX_NOSUCHOBJECT);
  smiINT i;
  EXPECT_EQ(v.getInteger(i), kType);
}

TEST(CVarBind, BitStringHoldsItsBytesNotItsBitCount) {
  struct Case {
    const char* name;
    smiUINT32 bits;
    std::size_t bytes;
  };
  const Case cases[] = {{"12 bits in two bytes", 12, 2}, {"16 bits", 16, 2}, {"one bit", 1, 1}, {"no bits", 0, 0}};
  for (const Case& c : cases) {
    // On the heap and exactly as long as the bytes, so that reading past them is caught.
    std::vector<smiBYTE> held(c.bytes ? c.bytes : 1, 0xA5);
    smiVALUE reply{};
    reply.syntax = SNMP_SYNTAX_BITS;
    reply.value.string = {c.bits, held.data()};
    CVarBind v;
    v.assignValue(reply);
    EXPECT_EQ(v.syntax(), SNMP_SYNTAX_BITS) << c.name;
    EXPECT_EQ(v.byteLength(), c.bytes) << c.name;
    const smiVALUE back = v.value();
    EXPECT_EQ(back.value.string.len, c.bits) << c.name << ": sent again with its length in bits";
    if (c.bytes) {
      EXPECT_EQ(std::memcmp(back.value.string.ptr, held.data(), c.bytes), 0) << c.name;
    }
    EXPECT_EQ(v.displayText(), "") << c.name << ": not an octet string";
  }
}
