// The NetWare section of the Network page and of the status report, read from a simulated unit
// without the NetWare client, against lines written by hand from the report's layout.
#include <gtest/gtest.h>

#include "access/progress_headless.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "status/status_pages.h"
#include "status/status_sim.h"

namespace {

std::string var(const char* oid, const char* type, const std::string& value) {
  const bool quoted = std::string(type) != "int";
  return std::string(R"({"oid":")") + oid + R"(","type":")" + type + R"(","value":)" + (quoted ? "\"" : "") + value +
         (quoted ? "\"" : "") + "}";
}

// A NetWare level 3 unit with two ports, three file servers and font queues; `extra` replaces values.
std::string netWareUnit(const std::string& extra) {
  std::string vars = var(".6.3.2.1.0", "int", "3") + "," + var(".6.3.2.2.0", "int", "2") + "," +
                     var(".6.3.2.5.1.0", "text", "NetWare ready") + "," + var(".6.3.2.4.3.0", "int", "2") + "," +
                     var(".6.3.2.4.4.0", "text", "PS_LAB") + "," + var(".6.3.2.4.6.0", "int", "15") + "," +
                     var(".6.3.2.4.8.0", "int", "3") + "," + var(".6.3.2.4.9.1.2.1", "text", "FS1") + "," +
                     var(".6.3.2.4.9.1.3.1", "int", "1") + "," + var(".6.3.2.4.9.1.2.2", "text", "FS2") + "," +
                     var(".6.3.2.4.9.1.3.2", "int", "276") + "," + var(".6.3.2.4.9.1.2.3", "text", "FS3") + "," +
                     var(".6.3.2.4.9.1.3.3", "int", "4660") + "," + var(".6.3.2.4.19.0", "int", "2") + "," +
                     var(".6.3.2.4.13.0", "hex", "500053005F004C0041004200") + "," +
                     var(".6.3.2.4.14.0", "text", "TRELLAN_TREE") + "," + var(".6.3.2.4.15.0", "text", "FS1") + "," +
                     var(".6.3.2.4.10.1.5.1", "text", "FONTS_PCL") + "," + var(".6.3.2.4.10.1.6.1", "text", "") + "," +
                     var(".6.3.2.4.10.1.5.2", "text", "") + "," + var(".6.3.2.4.10.1.6.2", "text", "FONTS_PS");
  if (!extra.empty()) vars += "," + extra;
  return R"({"devices":[{"address":"127.0.1.1","protocols":[1,2],"ports":[{"name":"LPT1"},{"name":"LPT2"}],)"
         R"("variables":[)" + vars + "]}]}";
}

class NetWareSectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target.setAddress("127.0.1.1");
    target.setGetCommunity("vorlak");
    target.progress = &progress;
    snmpaccess::setGroupTimeouts(30, 30);
  }
  void TearDown() override { SnmpCleanup(); }
  snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target;
};

TEST_F(NetWareSectionTest, SectionMatchesTheLayout) {
  const std::string pserver =
      "(Enabled)\r\n"
      "\r\nError:\tNetWare ready\r\n"
      "\r\nMode:\tPServer\r\n"
      "\r\nFile Server Name(s):\tFS1  Up\r\n"
      "\tFS2  Can't Login\r\n"
      "\tFS3  Unknown Error (0x1234)\r\n"
      "\r\nPrint Server Name:\tPS_LAB\r\n"
      "NDS File Server:\tFS1\r\n"
      "NDS Tree:\tTRELLAN_TREE\r\n"
      "NDS Print Server:\tPS_LAB\r\n"
      "\r\nQueue Scan Time:\t1.5 seconds"
      "\r\nFrame Format:\tEthernet II"
      "\r\nIPX/SPX Direct Printing:\tEnabled"
      "\r\n"
      "\r\nFont Download Queues:\r\n"
      "\tPort 1:  FONTS_PCL (PCL)\r\n"
      "\tPort 2:  FONTS_PS (PostScript)\r\n";
  // RPrinter: no NDS names and no font queues.
  const std::string rprinter =
      "(Enabled)\r\n"
      "\r\nError:\tNetWare ready\r\n"
      "\r\nMode:\tRPrinter\r\n"
      "\r\nFile Server Name(s):\tFS1  Up\r\n"
      "\tFS2  Can't Login\r\n"
      "\tFS3  Unknown Error (0x1234)\r\n"
      "\r\nPrint Server Name:\tPS_LAB\r\n"
      "\r\nQueue Scan Time:\t1.5 seconds"
      "\r\nFrame Format:\tEthernet II"
      "\r\nIPX/SPX Direct Printing:\tEnabled"
      "\r\n";
  // Level 1: its fixed feature mask has no direct printing, and the level shows no NDS names.
  const std::string level1 =
      "(Enabled)\r\n"
      "\r\nError:\tNetWare ready\r\n"
      "\r\nMode:\tPServer\r\n"
      "\r\nFile Server Name(s):\tFS1  Up\r\n"
      "\tFS2  Can't Login\r\n"
      "\tFS3  Unknown Error (0x1234)\r\n"
      "\r\nPrint Server Name:\tPS_LAB\r\n"
      "\r\nQueue Scan Time:\t1.5 seconds"
      "\r\nFrame Format:\tEthernet II"
      "\r\n"
      "\r\nFont Download Queues:\r\n"
      "\tPort 1:  FONTS_PCL (PCL)\r\n"
      "\tPort 2:  FONTS_PS (PostScript)\r\n";
  struct Case {
    const char* name;
    std::string extra;
    std::string expected;
  } cases[] = {
      {"PServer at level 3", "", pserver},
      {"RPrinter", var(".6.3.2.4.3.0", "int", "3"), rprinter},
      {"level 1", var(".6.3.2.1.0", "int", "1"), level1},
      {"disabled: the status line only", var(".6.3.2.2.0", "int", "1"), "(Disabled)\r\n"},
      {"no file server names", var(".6.3.2.4.8.0", "int", "0"),
       [&] {
         std::string s = pserver;
         const auto from = s.find("\r\nFile Server");
         s.erase(from, s.find("\r\nPrint Server Name") - from);
         return s;
       }()},
  };
  for (const auto& c : cases) {
    statustest::FleetSim sim(netWareUnit(c.extra));
    ASSERT_TRUE(sim.ready()) << sim.error();
    status::CNetworkStatusPage page(std::string(mib::kDefaultEnterprisePrefix));
    int rc = 0;
    snmpaccess::CSnmpSession session(&target, rc);
    ASSERT_EQ(rc, 0);
    ASSERT_EQ(page.Read(session), 0) << c.name;
    EXPECT_EQ(page.sectionText(2), c.expected) << c.name;
    for (const std::string& pdu : sim.pdus()) EXPECT_NE(pdu, "set") << c.name << ": the status sheet never writes";
  }
}

}  // namespace
