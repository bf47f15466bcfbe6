// The MIB store: OID parsing, sort order, GETNEXT, staged changes and restore of defaults.
#include <gtest/gtest.h>

#include "sim/mib_store.h"

namespace sim {
namespace {

Oid O(const char* text) { return *parseOid(text); }

TEST(SimOid, ParseTable) {
  struct Case { const char* text; bool ok; const char* formatted; };
  const Case cases[] = {
      {"1.3.6.1", true, "1.3.6.1"},
      {".1.3.6.1", true, "1.3.6.1"},
      {"1.3.4294967295", true, "1.3.4294967295"},
      {"1.3.4294967296", false, ""},
      {"", false, ""},
      {".", false, ""},
      {"1..3", false, ""},
      {"1.3.", false, ""},
      {"1.a.3", false, ""},
      {"1.3 ", false, ""},
  };
  for (const auto& c : cases) {
    auto oid = parseOid(c.text);
    EXPECT_EQ(oid.has_value(), c.ok) << c.text;
    if (oid && c.ok) {
      EXPECT_EQ(formatOid(*oid), c.formatted) << c.text;
    }
  }
  std::string longest = "1";
  for (std::size_t i = 1; i < kMaxOidLength; ++i) longest += ".1";
  EXPECT_TRUE(parseOid(longest));
  EXPECT_FALSE(parseOid(longest + ".1")) << "more than the sub-identifier limit";
}

TEST(SimMibStore, GetNextWalksInOidOrderNotInsertionOrder) {
  MibStore s;
  // Inserted out of order, with sub-identifiers that sort differently as text and as numbers.
  const char* oids[] = {"1.3.6.1.4.1.1240.2.3.5.10.0", "1.3.6.1.2.1.1.1.0", "1.3.6.1.4.1.1240.2.3.5.2.0",
                        "1.3.6.1.4.1.1240.2.3.5.2.0.1", "1.3.6.1.2.1.43.13.4.1.11.1.1"};
  for (const char* o : oids) s.define(O(o), Value::integer(1), false);
  const char* expected[] = {"1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.43.13.4.1.11.1.1", "1.3.6.1.4.1.1240.2.3.5.2.0",
                            "1.3.6.1.4.1.1240.2.3.5.2.0.1", "1.3.6.1.4.1.1240.2.3.5.10.0"};
  Oid cursor = O("0.0");
  for (const char* e : expected) {
    auto* n = s.next(cursor);
    ASSERT_NE(n, nullptr) << e;
    EXPECT_EQ(formatOid(n->first), e);
    cursor = n->first;
  }
  EXPECT_EQ(s.next(cursor), nullptr) << "end of the MIB";
  // GETNEXT of a name between two variables, and of a prefix of one.
  EXPECT_EQ(formatOid(s.next(O("1.3.6.1.3"))->first), "1.3.6.1.4.1.1240.2.3.5.2.0");
  EXPECT_EQ(formatOid(s.next(O("1.3.6.1.4.1.1240.2.3.5.2"))->first), "1.3.6.1.4.1.1240.2.3.5.2.0");
}

TEST(SimMibStore, PendingChangesWaitForTheRestart) {
  MibStore s;
  s.define(O("1.3.1"), Value::integer(1), true);
  s.define(O("1.3.2"), Value::octets("a"), true);
  s.find(O("1.3.1"))->pending = Value::integer(7);
  EXPECT_EQ(s.find(O("1.3.1"))->value, Value::integer(1));
  EXPECT_EQ(s.applyPending(), 1u);
  EXPECT_EQ(s.find(O("1.3.1"))->value, Value::integer(7));
  EXPECT_FALSE(s.find(O("1.3.1"))->pending);
  EXPECT_EQ(s.applyPending(), 0u);
}

TEST(SimMibStore, RestoreDefaultsOnlyWithinScope) {
  MibStore s;
  s.define(O("1.3.6.1"), Value::integer(1), true);
  s.define(O("1.3.6.2"), Value::integer(1), true);
  s.define(O("1.3.7.1"), Value::integer(1), true);
  for (const char* o : {"1.3.6.1", "1.3.6.2", "1.3.7.1"}) {
    s.find(O(o))->value = Value::integer(5);
    s.find(O(o))->pending = Value::integer(9);
  }
  EXPECT_EQ(s.restoreDefaults({O("1.3.6")}), 2u);
  EXPECT_EQ(s.find(O("1.3.6.1"))->value, Value::integer(1));
  EXPECT_FALSE(s.find(O("1.3.6.2"))->pending) << "a restore drops staged changes";
  EXPECT_EQ(s.find(O("1.3.7.1"))->value, Value::integer(5));
  EXPECT_TRUE(s.find(O("1.3.7.1"))->pending);
  EXPECT_EQ(s.restoreDefaults({Oid{}}), 3u) << "the empty prefix covers everything";
  EXPECT_EQ(s.find(O("1.3.7.1"))->value, Value::integer(1));
}

TEST(SimMibStore, DefineIfAbsentKeepsTheDataFilesValue) {
  MibStore s;
  s.define(O("1.3.1"), Value::octets("from file"), false);
  s.defineIfAbsent(O("1.3.1"), Value::octets("derived"), true);
  EXPECT_EQ(s.find(O("1.3.1"))->value, Value::octets("from file"));
  EXPECT_FALSE(s.find(O("1.3.1"))->writable);
}

TEST(SimValues, HexAndAddressTexts) {
  EXPECT_EQ(fromHex("00:40:8c:1A:2b:3C"), std::string("\x00\x40\x8c\x1a\x2b\x3c", 6));
  EXPECT_EQ(fromHex("00408C"), std::string("\x00\x40\x8c", 3));
  EXPECT_FALSE(fromHex("0:40"));
  EXPECT_FALSE(fromHex("0g"));
  EXPECT_FALSE(fromHex("abc"));
  EXPECT_EQ(toHex(std::string("\x00\xff", 2)), "00FF");
  EXPECT_EQ(parseIpv4("127.0.1.2"), 0x7F000102u);
  for (const char* bad : {"127.0.1", "127.0.1.256", "127.0.1.2.3", "127.0.1.x", "1270.0.1.2", ""})
    EXPECT_FALSE(parseIpv4(bad)) << bad;
  EXPECT_EQ(formatIpv4(0x7F000102u), "127.0.1.2");
}

}  // namespace
}  // namespace sim
