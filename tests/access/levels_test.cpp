// Which variables a group has at a MIB level, and the run-time additions that depend on it.
#include <gtest/gtest.h>

#include "access/mib_catalogue.h"

namespace mib {
namespace {

TEST(Levels, LevelAtLeastTreatsZeroAsHighest) {
  struct Case { int level, n; bool want; };
  const Case cases[] = {
      {0, 8, true}, {0, 1, true}, {1, 1, true}, {2, 3, false}, {3, 3, true}, {9, 8, true}, {7, 8, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(levelAtLeast(c.level, c.n), c.want) << "level " << c.level << " vs " << c.n;
  }
}

TEST(Levels, VariableCountsByGroupAndLevel) {
  struct Case { GroupId group; int level; std::size_t want; };
  const Case cases[] = {
      {GroupId::TcpIp, 1, 11},
      {GroupId::TcpIp, 3, 16},  // level 3 print server: 16 variables
      {GroupId::TcpIp, 4, 17},
      {GroupId::TcpIp, 6, 19},
      {GroupId::TcpIp, 7, 23},
      {GroupId::TcpIp, 8, 25},  // level 8: 25
      {GroupId::TcpIp, 0, 25},
      {GroupId::TcpIp, kLevelUnknown, 11},
      {GroupId::OutputPort, 4, 2},
      {GroupId::OutputPort, 5, 3},
      {GroupId::OutputPortRow, 1, 13},
      {GroupId::OutputPortRow, 2, 16},
      {GroupId::OutputPortRow, 5, 17},
      {GroupId::OutputPortRow, 7, 22},
      {GroupId::OutputPortRow, 8, 30},
      {GroupId::OutputPortRow, 0, 30},
      {GroupId::NetWare, 1, 11},
      {GroupId::NetWare, 2, 14},
      {GroupId::NetWare, 3, 16},
      {GroupId::NetWare, 4, 17},
      {GroupId::NetWare, 0, 18},
      {GroupId::Wireless, 2, 18},
      {GroupId::Wireless, 3, 40},
      {GroupId::IpTrap, 3, 3},
      {GroupId::IpTrap, 4, 4},
      {GroupId::IpTrap2, 3, 3},
      {GroupId::IpTrap2, 0, 5},
      {GroupId::EmailTrap, 1, 5},
      {GroupId::EmailTrap2, 2, 4},
      {GroupId::EmailTrap2, 4, 6},
      {GroupId::IpxTrap, 1, 7},
      {GroupId::IpxTrap2, 1, 7},
      {GroupId::IpxTrap2, 4, 10},
      {GroupId::ServerInfo, kLevelUnknown, 12},
  };
  for (const Case& c : cases) {
    const GroupDef& g = group(c.group);
    EXPECT_EQ(variableCountAt(g, c.level), c.want) << g.name << " at level " << c.level;
  }
}

// The GPIO additions of the second-generation trap groups need variables that only levels 4 and
// above (and 0) have: at lower levels nothing is appended and no GPIO bits are counted.
TEST(Levels, SecondGenerationTrapAdditionsNeedLevelFour) {
  struct Case { GroupId group; int level; bool want; };
  const Case cases[] = {
      {GroupId::IpTrap2, 1, false}, {GroupId::IpTrap2, 3, false}, {GroupId::IpTrap2, kLevelUnknown, false},
      {GroupId::IpTrap2, 4, true},  {GroupId::IpTrap2, 0, true},  {GroupId::IpxTrap2, 2, false},
      {GroupId::IpxTrap2, 3, false}, {GroupId::IpxTrap2, 5, true}, {GroupId::IpxTrap2, 0, true},
  };
  for (const Case& c : cases) {
    const GroupDef& g = group(c.group);
    ASSERT_FALSE(g.extensions.empty()) << g.name;
    for (const Extension& e : g.extensions) {
      EXPECT_EQ(extensionApplies(g, e, c.level), c.want) << g.name << " at level " << c.level;
    }
  }
  // Additions without a level rule apply at every level, even before the level is known.
  const GroupDef& countries = group(GroupId::WirelessCountry);
  EXPECT_TRUE(extensionApplies(countries, countries.extensions[0], kLevelUnknown));
}

TEST(Levels, ProbeVariables) {
  EXPECT_EQ(group(GroupId::TcpIp).probeIndex, 5);
  EXPECT_EQ(group(GroupId::ServerInfo).probeIndex, 0);
  EXPECT_EQ(group(GroupId::System).probeIndex, -1);
  EXPECT_EQ(group(GroupId::Nds).probeIndex, -1);
}

TEST(Levels, CountHelpers) {
  EXPECT_EQ(highestBitPosition(13), 4);  // 1101: four list entries
  EXPECT_EQ(highestBitPosition(0), 0);
  EXPECT_EQ(highestBitPosition(0x80000000u), 32);
  EXPECT_EQ(gpioGroupCount(0xFFFF0005u), 2);  // only the low 16 bits count
  EXPECT_EQ(gpioGroupCount(0xFFFFu), 16);
  EXPECT_EQ(clampCount(-5), 0u);
  EXPECT_EQ(clampCount(3), 3u);
  EXPECT_EQ(clampCount(100000), kMaxInstances);
  EXPECT_EQ(clampCount(7, 6), 6u);
}

}  // namespace
}  // namespace mib
