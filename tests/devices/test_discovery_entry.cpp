#include <gtest/gtest.h>

#include "devices/discovery_entry.h"

using namespace devices;

TEST(DiscoveryEntry, ClassifiesListEntries) {
  struct Case {
    const char* entry;
    EntryKind kind;
    const char* text;
    int ttl;
    bool valid;
  } cases[] = {
      {"10.1.2.*", EntryKind::Scan, "10.1.2.", 0, true},
      {"*", EntryKind::Scan, "", 0, true},
      {"127.255.255.255<DB>", EntryKind::DirectedBroadcast, "127.255.255.255", 0, true},
      {"<DB>", EntryKind::DirectedBroadcast, "", 0, false},
      {"Multicast<5>", EntryKind::Multicast, "", 5, true},
      {"Multicast<>", EntryKind::Multicast, "", 0, false},
      {"Multicast<300>", EntryKind::Multicast, "", 0, false},
      {"Multicast<x>", EntryKind::Multicast, "", 0, false},
      {"File<list.txt>", EntryKind::File, "list.txt", 0, true},
      {"File<>", EntryKind::File, "", 0, false},
      {"127.0.1.7", EntryKind::Single, "127.0.1.7", 0, true},
      {"a", EntryKind::Single, "a", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    const SearchEntry e = classifyEntry(c.entry);
    EXPECT_EQ(e.kind, c.kind);
    if (c.kind != EntryKind::Multicast) {
      EXPECT_EQ(e.text, c.text);
    }
    EXPECT_EQ(e.ttl, c.ttl);
    EXPECT_EQ(e.valid, c.valid);
  }
}

TEST(DiscoveryEntry, AddressFileLines) {
  const std::string overlong = "10.0.0.1" + std::string(92, ' ');  // 100 characters
  struct Case {
    std::string line;
    const char* want;  // nullptr: refused
  } cases[] = {
      {"10.0.0.1", "10.0.0.1"},          {"10.0.0.1\r", "10.0.0.1"},     {"10.0.0.1 office", "10.0.0.1"},
      {"", nullptr},                     {"   10.0.0.1", nullptr},        {"printer", nullptr},
      {"10.0.0", nullptr},               {"300.0.0.1", nullptr},         {overlong, nullptr},
      {overlong.substr(0, 99), "10.0.0.1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto got = addressOfLine(c.line);
    if (!c.want) {
      EXPECT_FALSE(got.has_value());
    } else {
      ASSERT_TRUE(got.has_value());
      EXPECT_EQ(*got, c.want);
    }
  }
}

TEST(DiscoveryEntry, IpxNetworkOfShortAndLongEntries) {
  struct Case {
    const char* entry;
    std::optional<std::uint32_t> want;
  } cases[] = {
      {"0000ABCD<DB>", 0x0000ABCD}, {"AB<DB>", 0xAB},           {"Net<1234ABCD>", 0x1234ABCD},
      {"FF1234ABCD<DB>", 0x1234ABCD}, {">", std::nullopt},     {"ZZ<DB>", std::nullopt},
      {"00000001-00007F000001", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(ipxEntryNetwork(c.entry), c.want);
  }
}
