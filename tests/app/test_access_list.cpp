#include <gtest/gtest.h>

#include "app/access_list.h"
#include "platform/registry.h"
#include "scratch_dir.h"

namespace {

class AccessListTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  platform::Registry reg{dir.file("Trellan.reg")};
};

TEST_F(AccessListTest, EmptyStoreGivesTheDefaultEntry) {
  app::CAccessList list;
  EXPECT_TRUE(list.load(reg, "Access\\IP", false));
  ASSERT_EQ(list.entries().size(), 1u);
  EXPECT_STREQ(list.entries()[0].address, "<Default>");
  EXPECT_STREQ(list.entries()[0].getCommunity, "vorlak");
  EXPECT_STREQ(list.entries()[0].setCommunity, "vorlak");
  EXPECT_EQ(list.entries()[0].protocol, 2);
  EXPECT_EQ(list.discoveryPort(), 4201u);
}

TEST_F(AccessListTest, LoadAndLookup) {
  ASSERT_TRUE(reg.setString("Access\\IP", "All", "10.1.2.3,10.1.*,*.7,,10.1.2.3"));
  ASSERT_TRUE(reg.setString("Access\\IP", "<Default>Get", "pub"));
  ASSERT_TRUE(reg.setString("Access\\IP", "<Default>Set", "priv"));
  ASSERT_TRUE(reg.setString("Access\\IP", "10.1.2.3Get", "exactGet"));
  ASSERT_TRUE(reg.setString("Access\\IP", "10.1.2.3Set", "exactSet"));
  ASSERT_TRUE(reg.setString("Access\\IP", "10.1.*Get", "netGet"));
  ASSERT_TRUE(reg.setString("Access\\IP", "*.7Get", "sevenGet"));
  ASSERT_TRUE(reg.setDword("Access\\IP", "DiscoveryPort", 4210));

  app::CAccessList list;
  ASSERT_TRUE(list.load(reg, "Access\\IP", false));
  EXPECT_EQ(list.entries().size(), 4u);  // default + three patterns; the repeat is not taken
  EXPECT_EQ(list.discoveryPort(), 4210u);

  struct Case {
    const char* address;
    const char* get;
    const char* set;
  };
  const Case cases[] = {
      {"10.1.2.3", "exactGet", "exactSet"},  // exact match wins over the earlier-listed wildcard
      {"10.1.9.9", "netGet", "vorlak"},      // wildcard; its missing Set value defaults
      {"10.2.0.7", "sevenGet", "vorlak"},
      {"10.1.0.7", "netGet", "vorlak"},      // first matching pattern in list order
      {"192.168.0.1", "pub", "priv"},        // nothing matches: entry 0
      {"", "pub", "priv"},
  };
  for (const auto& c : cases) {
    const app::CAccessEntry& e = list.lookup(c.address);
    EXPECT_STREQ(e.getCommunity, c.get) << c.address;
    EXPECT_STREQ(e.setCommunity, c.set) << c.address;
  }
}

TEST_F(AccessListTest, LoadIsSkippedForTheSameKeyUnlessForced) {
  app::CAccessList list;
  ASSERT_TRUE(list.load(reg, "Access\\NW", false));
  ASSERT_TRUE(reg.setString("Access\\NW", "All", "00000001-*"));
  EXPECT_FALSE(list.load(reg, "access\\nw", false));
  EXPECT_EQ(list.entries().size(), 1u);
  EXPECT_TRUE(list.load(reg, "Access\\NW", true));
  ASSERT_EQ(list.entries().size(), 2u);
  EXPECT_EQ(list.entries()[1].protocol, 6);
  EXPECT_TRUE(list.load(reg, "Access\\COM", false));
  EXPECT_EQ(list.entries()[0].protocol, 0);
}

TEST_F(AccessListTest, UntrustedStoreValuesAreBounded) {
  const std::string longCommunity(100, 'c');
  const std::string longPattern(40, '1');
  ASSERT_TRUE(reg.setString("Access\\IP", "All", "10.*," + longPattern));
  ASSERT_TRUE(reg.setString("Access\\IP", "10.*Get", longCommunity));
  ASSERT_TRUE(reg.setDword("Access\\IP", "DiscoveryPort", 0));
  app::CAccessList list;
  ASSERT_TRUE(list.load(reg, "Access\\IP", false));
  ASSERT_EQ(list.entries().size(), 2u);
  EXPECT_EQ(std::string(list.entries()[1].getCommunity), longCommunity.substr(0, 32));
  ASSERT_EQ(list.skippedPatterns().size(), 1u);
  EXPECT_EQ(list.discoveryPort(), 4201u);
}

TEST_F(AccessListTest, SaveWritesEntriesAllAndPortAndKeepsRemovedValues) {
  app::CAccessList list;
  ASSERT_TRUE(list.load(reg, "Access\\IP", false));
  ASSERT_TRUE(list.addEntry("10.1.*", "g1", "s1"));
  ASSERT_TRUE(list.addEntry("10.2.*", "g2", "s2"));
  EXPECT_FALSE(list.addEntry("10.1.*", "x", "x"));      // already listed
  EXPECT_FALSE(list.addEntry("10.3.*,10.4.*", "x", "x"));  // "," cannot be stored in All
  EXPECT_FALSE(list.addEntry("<Default>", "x", "x"));
  EXPECT_FALSE(list.addEntry("", "x", "x"));
  list.entry(0).setGetCommunity("pub");
  list.setDiscoveryPort(4222);
  ASSERT_TRUE(list.save(reg));
  ASSERT_TRUE(list.removeEntry(1));
  EXPECT_FALSE(list.removeEntry(0));
  ASSERT_TRUE(list.save(reg));

  platform::Registry again(dir.file("Trellan.reg"));
  EXPECT_EQ(again.getString("Access\\IP", "All"), "10.2.*");
  EXPECT_EQ(again.getString("Access\\IP", "<Default>Get"), "pub");
  EXPECT_EQ(again.getString("Access\\IP", "10.2.*Set"), "s2");
  EXPECT_EQ(again.getString("Access\\IP", "10.1.*Get"), "g1");  // stays, unlisted
  EXPECT_EQ(again.getDword("Access\\IP", "DiscoveryPort"), 4222u);

  app::CAccessList reloaded;
  ASSERT_TRUE(reloaded.load(again, "Access\\IP", false));
  ASSERT_EQ(reloaded.entries().size(), 2u);
  EXPECT_STREQ(reloaded.lookup("10.2.0.1").getCommunity, "g2");
  EXPECT_STREQ(reloaded.lookup("10.1.0.1").getCommunity, "pub");
}

}  // namespace
