#include "platform/net_config.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/socket_address.h"

using namespace platform;

namespace {

struct EnvCase {
  const char* name;
  std::map<std::string, std::string> env;
  NetConfig expected;
  std::size_t warnings;
};

NetConfig with(void (*edit)(NetConfig&)) {
  NetConfig c;
  edit(c);
  return c;
}

}  // namespace

TEST(NetConfig, EnvironmentOverrides) {
  const std::string longJunk(500, 'x');
  const std::vector<EnvCase> cases = {
      {"empty environment", {}, NetConfig{}, 0},
      {"ports",
       {{"TRELLAN_SNMP_PORT", "16161"}, {"TRELLAN_TRAP_PORT", "16162"}, {"TRELLAN_SECOND_FAMILY_PORT", "29541"}},
       with([](NetConfig& c) {
         c.snmpPort = 16161;
         c.trapPort = 16162;
         c.secondFamilyPort = 29541;
       }),
       0},
      {"port 0", {{"TRELLAN_SNMP_PORT", "0"}}, NetConfig{}, 1},
      {"port 65536", {{"TRELLAN_TRAP_PORT", "65536"}}, NetConfig{}, 1},
      {"port with text", {{"TRELLAN_SNMP_PORT", "161x"}}, NetConfig{}, 1},
      {"port negative", {{"TRELLAN_SNMP_PORT", "-5"}}, NetConfig{}, 1},
      {"port empty", {{"TRELLAN_SECOND_FAMILY_PORT", ""}}, NetConfig{}, 1},
      {"port huge", {{"TRELLAN_SNMP_PORT", "99999999999999999999"}}, NetConfig{}, 1},
      {"test network",
       {{"TRELLAN_LOOPBACK_ONLY", "1"},
        {"TRELLAN_BROADCAST_ADDR", "127.255.255.255"},
        {"TRELLAN_MULTICAST_IF", "127.0.0.1"}},
       with([](NetConfig& c) {
         c.loopbackOnly = true;
         c.broadcastAddress = ipv4(127, 255, 255, 255);
         c.multicastInterface = kLoopbackAddress;
       }),
       0},
      {"broadcast not an address", {{"TRELLAN_BROADCAST_ADDR", "127.255.255.256"}}, NetConfig{}, 1},
      {"multicast interface host name", {{"TRELLAN_MULTICAST_IF", "localhost"}}, NetConfig{}, 1},
      {"multicast interface empty", {{"TRELLAN_MULTICAST_IF", ""}}, NetConfig{}, 0},
      {"guard off", {{"TRELLAN_LOOPBACK_ONLY", "0"}}, NetConfig{}, 0},
      {"guard empty", {{"TRELLAN_LOOPBACK_ONLY", ""}}, NetConfig{}, 0},
      {"guard yes", {{"TRELLAN_LOOPBACK_ONLY", "yes"}}, with([](NetConfig& c) { c.loopbackOnly = true; }), 0},
      // A guard value nobody can read fails closed.
      {"guard typo", {{"TRELLAN_LOOPBACK_ONLY", "Y"}}, with([](NetConfig& c) { c.loopbackOnly = true; }), 1},
      {"guard junk", {{"TRELLAN_LOOPBACK_ONLY", longJunk}}, with([](NetConfig& c) { c.loopbackOnly = true; }), 1},
  };
  for (const EnvCase& c : cases) {
    std::vector<std::string> warnings;
    NetConfig got = parseNetConfig(
        [&](const char* name) -> const char* {
          auto it = c.env.find(name);
          return it == c.env.end() ? nullptr : it->second.c_str();
        },
        [&](const std::string& m) { warnings.push_back(m); });
    EXPECT_EQ(got, c.expected) << c.name;
    EXPECT_EQ(warnings.size(), c.warnings) << c.name;
    for (const std::string& w : warnings) {
      EXPECT_LT(w.size(), 200u) << c.name << ": a warning quotes a bounded part of the value";
      EXPECT_NE(w.find("TRELLAN_"), std::string::npos) << c.name << ": the warning names the variable";
    }
  }
}

TEST(NetConfig, NoWarningSinkIsFine) {
  NetConfig got = parseNetConfig([](const char*) { return "junk"; }, {});
  EXPECT_TRUE(got.loopbackOnly);
  EXPECT_EQ(got.snmpPort, kDefaultSnmpPort);
}

TEST(NetConfig, PortFromSetting) {
  struct Case {
    std::uint32_t value;
    std::uint16_t expected;
  };
  for (Case c : {Case{4201, 4201}, Case{1, 1}, Case{65535, 65535}, Case{0, 4201}, Case{65536, 4201},
                 Case{0xFFFFFFFF, 4201}}) {
    EXPECT_EQ(portFromSetting(c.value, kDefaultDiscoveryPort), c.expected) << c.value;
  }
}

TEST(NetConfig, IpxSocketsTravelOnTheUdpPortOfTheSameNumber) {
  EXPECT_EQ(ipxSocketToUdpPort(kIpxSocketSnmp), 36879);
  EXPECT_EQ(ipxSocketToUdpPort(kIpxSocketSnmpTrap), 36880);
  EXPECT_EQ(ipxSocketToUdpPort(kIpxSocketDiscovery), 16897);
  EXPECT_EQ(ipxSocketToUdpPort(0), 0);
}

TEST(NetConfig, ProcessWideValueCanBeReplaced) {
  const NetConfig saved = netConfig();
  NetConfig c = saved;
  c.snmpPort = 12345;
  setNetConfig(c);
  setIpxLocalNetwork(0x0000ABCD);
  EXPECT_EQ(netConfig().snmpPort, 12345);
  EXPECT_EQ(netConfig().ipxLocalNetwork, 0x0000ABCDu);
  setNetConfig(saved);
  EXPECT_EQ(netConfig(), saved);
}
