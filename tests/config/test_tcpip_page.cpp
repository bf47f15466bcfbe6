// The TCP/IP page against simulated units of several levels: which controls exist, and what
// Save sends for the choices the page makes itself.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "access/test_mib_group_sim.h"
#include "config/tcpip_page.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "support/unit_target_test.h"

using namespace config;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

class TcpIpPageTest : public UnitTargetTest {
 protected:
};

TEST_F(TcpIpPageTest, ControlsFollowLevelAndFlags) {
  struct Case {
    int level;
    std::uint32_t flags;
    int variables;
    bool wins, password, arp, dns;
  } cases[] = {
      {2, 0x83F, 11, false, false, false, false},
      {3, 0xBFF, 16, true, true, true, false},
      {8, 0x1FFFF, 25, true, true, true, true},
  };
  for (const auto& c : cases) {
    simproc::Sim sim(c.level, "", R"({"oid":".6.3.1.6.0","type":"int","value":131071,"writable":false})");
    ASSERT_TRUE(sim.ready()) << sim.errors();
    int rc = -1;
    snmpaccess::CSnmpSession session(&target, rc);
    ASSERT_EQ(rc, 0);
    CTcpIpPage page;
    ASSERT_EQ(page.Read(session), 0) << c.level;
    page.open();
    EXPECT_EQ(page.group().count(), c.variables) << c.level;
    EXPECT_EQ(page.capabilities(), c.flags) << c.level;
    EXPECT_EQ(page.shown().wins, c.wins) << c.level;
    EXPECT_EQ(page.shown().passwordButton, c.password) << c.level;
    const CAdvancedTcpIpDlg adv = page.advancedDialog();
    EXPECT_EQ(adv.arpShown(), c.arp) << c.level;
    EXPECT_EQ(adv.dnsShown(), c.dns) << c.level;
    EXPECT_EQ(adv.secondsEnabled(), c.level >= 3 && adv.values.timeoutOn) << c.level;
  }
}

TEST_F(TcpIpPageTest, WhatSaveSends) {
  struct Case {
    const char* name;
    std::string vars;
    std::function<void(CTcpIpPage&)> edit;
    std::vector<std::string> oids;
  } cases[] = {
      {"network to permanent sends the addresses even unchanged",
       R"({"oid":".6.3.1.4.4.0","type":"int","value":2})", [](CTcpIpPage& p) { p.network = false; },
       {E + ".6.3.1.4.1.0", E + ".6.3.1.4.4.0", E + ".6.3.1.4.3.0", E + ".6.3.1.4.2.0", E + ".6.3.1.4.12.0"}},
      {"method bits outside the boxes survive", R"({"oid":".6.3.1.4.5.0","type":"int","value":37})",
       [](CTcpIpPage& p) { p.bootp = true; }, {E + ".6.3.1.4.5.0"}},
      {"a new password is sent", "", [](CTcpIpPage& p) { p.setNewPassword("secret"); }, {E + ".6.3.1.4.14.0"}},
      {"advanced: ARP disabled writes 0 minutes", R"({"oid":".6.3.1.4.16.0","type":"int","value":5})",
       [](CTcpIpPage& p) {
         CAdvancedTcpIpDlg d = p.advancedDialog();
         d.values.arpOn = false;
         ASSERT_TRUE(d.check().ok());
         p.takeAdvanced(d);
       },
       {E + ".6.3.1.4.16.0"}},
  };
  for (const auto& c : cases) {
    simproc::Sim sim(8, "", c.vars);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    int rc = -1;
    snmpaccess::CSnmpSession session(&target, rc);
    ASSERT_EQ(rc, 0);
    CTcpIpPage page;
    ASSERT_EQ(page.Read(session), 0) << c.name;
    page.open();
    c.edit(page);
    ASSERT_EQ(page.Save(session), 0) << c.name;
    const auto s = sets(sim);
    ASSERT_EQ(s.size(), 1u) << c.name;
    EXPECT_EQ(s[0], c.oids) << c.name;
    if (std::string(c.name).find("bits") != std::string::npos) {
      std::int32_t v = 0;
      page.group().getInteger(8, v);
      EXPECT_EQ(v, 39) << c.name;
    }
  }
}

}  // namespace
