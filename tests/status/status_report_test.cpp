// The status sheet against simulated units: the report byte for byte against a fixture written by
// hand, the pages, the TCP connection walk (also on a unit whose walk loops), and that nothing is
// ever written to the unit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "access/progress_headless.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "status/diagnostics_sheet.h"
#include "status/status_sim.h"

using namespace status;

namespace {

constexpr std::time_t kCreated = 1796928153;  // Thu Dec 10 18:42:33 2026 UTC

std::string tcpRow(const char* local, int localPort, const char* remote, int remotePort, int state) {
  return std::string(R"({"oid":"1.3.6.1.2.1.6.13.1.1.)") + local + "." + std::to_string(localPort) + "." + remote +
         "." + std::to_string(remotePort) + R"(","type":"int","value":)" + std::to_string(state) +
         R"(,"writable":false})";
}

// The unit the fixture describes: TCP/IP, NetWare (level 1, RPrinter), VINES, EtherTalk and
// wireless, three connections, two support numbers, a VINES job in progress and an AppleTalk name
// the unit had to change.
std::string reportUnit(const std::string& extraUnitKeys = "") {
  std::string vars = R"({"oid":".1.5.0","type":"text","value":"S1234","writable":false},)"
                     R"({"oid":".1.9.0","type":"text","value":"V5.41","writable":false},)"
                     R"({"oid":".1.2.0","type":"int","value":3,"writable":false},)"
                     R"({"oid":".1.7.0","type":"int","value":2,"writable":false},)"
                     R"({"oid":".1.11.0","type":"text","value":"Trellan Print Systems","writable":false},)"
                     R"({"oid":".1.12.0","type":"text","value":"Springfield","writable":false},)"
                     R"({"oid":".1.13.0","type":"text","value":"+1 555 0100","writable":false},)"
                     R"({"oid":".1.14.0","type":"text","value":"+1 555 0199; +1 555 0188","writable":false},)"
                     R"({"oid":".6.3.1.2.0","type":"int","value":2},)"
                     R"({"oid":".6.3.1.5.1.0","type":"text","value":"TCP/IP ready"},)"
                     R"({"oid":".6.3.1.4.1.0","type":"ip","value":"127.0.1.1"},)"
                     R"({"oid":".6.3.1.4.3.0","type":"ip","value":"255.0.0.0"},)"
                     R"({"oid":".6.3.1.4.2.0","type":"ip","value":"127.0.0.1"},)"
                     R"({"oid":".6.3.1.4.6.0","type":"int","value":5},)"
                     R"({"oid":".6.3.1.4.7.0","type":"int","value":2130706441},)"
                     R"({"oid":".6.3.1.4.12.0","type":"ip","value":"127.0.0.53"},)"
                     R"({"oid":".6.3.1.4.13.0","type":"int","value":1},)"
                     R"({"oid":".6.3.1.4.16.0","type":"int","value":0},)"
                     R"({"oid":".6.3.1.4.8.0","type":"int","value":2},)"
                     R"({"oid":".6.3.1.4.15.0","type":"int","value":600},)"
                     R"({"oid":".6.3.1.6.0","type":"int","value":131071,"writable":false},)"
                     R"({"oid":".8.2.0","type":"int","value":8,"writable":false},)"
                     R"({"oid":".6.3.2.1.0","type":"int","value":1,"writable":false},)"
                     R"({"oid":".6.3.2.2.0","type":"int","value":2},)"
                     R"({"oid":".6.3.2.5.1.0","type":"text","value":"NetWare ready"},)"
                     R"({"oid":".6.3.2.4.1.0","type":"int","value":4},)"
                     R"({"oid":".6.3.2.4.3.0","type":"int","value":3},)"
                     R"({"oid":".6.3.2.4.4.0","type":"text","value":"LAB_PS"},)"
                     R"({"oid":".6.3.2.4.6.0","type":"int","value":40},)"
                     R"({"oid":".6.3.2.4.8.0","type":"int","value":1},)"
                     R"({"oid":".6.3.2.4.9.1.2.1","type":"text","value":"FS1"},)"
                     R"({"oid":".6.3.2.4.9.1.3.1","type":"int","value":2},)"
                     R"({"oid":".6.3.3.2.0","type":"int","value":2},)"
                     R"({"oid":".6.3.3.4.1.0","type":"text","value":"LABPS@Lab@Trellan"},)"
                     R"({"oid":".6.3.3.5.1.0","type":"text","value":"VINES ready"},)"
                     R"({"oid":".6.3.3.5.2.0","type":"int","value":1},)"
                     R"({"oid":".6.3.3.3.3.0","type":"int","value":1},)"
                     R"({"oid":".6.3.3.5.4.1.2.1","type":"text","value":"Lab Queue@Lab@Trellan"},)"
                     R"({"oid":".6.3.3.5.4.1.3.1","type":"text","value":"Active"},)"
                     R"({"oid":".6.3.3.5.4.1.4.1","type":"int","value":1},)"
                     R"({"oid":".6.3.3.5.4.1.5.1","type":"text","value":"Printing"},)"
                     R"({"oid":".6.3.3.5.4.1.6.1","type":"int","value":2},)"
                     R"({"oid":".6.3.3.5.4.1.7.1","type":"text","value":"PC7@Lab@Trellan"},)"
                     R"({"oid":".6.3.3.5.4.1.8.1","type":"text","value":"budget, draft"},)"
                     R"({"oid":".6.3.3.5.4.1.9.1","type":"text","value":"4096"},)"
                     R"({"oid":".6.3.3.5.4.1.10.1","type":"text","value":"17"},)"
                     R"({"oid":".6.3.5.2.0","type":"int","value":2},)"
                     R"({"oid":".6.3.5.4.1.0","type":"hex","value":"8A"},)"
                     R"({"oid":".6.3.5.4.2.0","type":"hex","value":"FF02"},)"
                     R"({"oid":".6.3.5.5.1.0","type":"text","value":"EtherTalk ready"},)"
                     R"({"oid":".6.3.5.4.4.1.2.1","type":"int","value":2},)"
                     R"({"oid":".6.3.5.4.4.1.3.1","type":"text","value":"Lab Laser"},)"
                     R"({"oid":".6.3.5.4.4.1.4.1","type":"text","value":"Lab Laser2"},)"
                     R"({"oid":".6.3.5.4.4.1.5.1","type":"text","value":"LaserWriter"},)"
                     R"({"oid":".6.3.5.4.4.1.6.1","type":"text","value":""},)"
                     R"({"oid":".6.3.5.4.4.1.7.1","type":"text","value":"Lab Zone"},)"
                     R"({"oid":".6.3.5.4.4.1.8.1","type":"text","value":"Lab Zone"},)" +
                     tcpRow("127.0.1.1", 21, "0.0.0.0", 0, 2) + "," +
                     tcpRow("127.0.1.1", 9101, "127.0.0.1", 50000, 5) + "," +
                     tcpRow("127.0.1.1", 9113, "127.0.0.1", 50001, 13);
  return R"({"devices":[{"address":"127.0.1.1","name":"LAB PRINTER.1","protocols":[1,2,3,5,7],)"
         R"("hardware_address":"00:40:8C:01:02:03",)"
         R"("system":{"descr":"Lab print server","contact":"Ops desk","name":"LAB PRINTER.1","location":"Rack 2"},)"
         R"("ports":[{"name":"LPT1"}],"status":{"tcp_connections":false)" +
         extraUnitKeys + R"(},"variables":[)" + vars + "]}]}";
}

std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string sourceFile(const char* relative) { return simproc::sourceDir() + "/tests/status/" + relative; }

class StatusSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target.setAddress("127.0.1.1");
    target.setGetCommunity("vorlak");
    target.progress = &progress;
    snmpaccess::setGroupTimeouts(30, 30);
  }
  void TearDown() override { SnmpCleanup(); }

  std::unique_ptr<CDiagnosticsPropSheet> makeSheet() {
    StatusServices s;
    s.report = [this](const std::string& text, int, int code, int) { reported.push_back(text + " " + std::to_string(code)); };
    return std::make_unique<CDiagnosticsPropSheet>(std::move(s));
  }

  snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target;
  std::vector<std::string> reported;
};

TEST_F(StatusSheetTest, ReportMatchesTheHandWrittenFixture) {
  statustest::FleetSim sim(reportUnit());
  ASSERT_TRUE(sim.ready()) << sim.error();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0, "LAB PRINTER.1", "S1234", false), 0) << ::testing::PrintToString(reported);
  EXPECT_TRUE(reported.empty()) << ::testing::PrintToString(reported);
  const std::string expected = readFile(sourceFile("data/status-report.txt"));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(sheet->report(kCreated), expected);

  const auto file = sim.dir() / "saved.txt";
  ASSERT_EQ(sheet->saveReport(file.string(), kCreated), 0);
  EXPECT_EQ(readFile(file), expected);
  EXPECT_EQ(sheet->defaultReportName(), "LAB_PRINTER_1.txt");
  for (const std::string& pdu : sim.pdus()) EXPECT_NE(pdu, "set") << "the status sheet never writes";
}

TEST_F(StatusSheetTest, PagesInTabOrderWithWirelessLastAndTheirValues) {
  statustest::FleetSim sim(reportUnit());
  ASSERT_TRUE(sim.ready()) << sim.error();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0, "LAB PRINTER.1", "S1234", false), 0);
  std::vector<std::string> titles;
  for (CStatusPage* p : sheet->pages()) titles.push_back(p->title());
  EXPECT_EQ(titles, (std::vector<std::string>{"Printer", "Server", "Network", "Statistics", "Tech Support", "System",
                                              "Wireless"}));
  EXPECT_TRUE(sheet->hasPjlPage());
  EXPECT_EQ(progress.percent(), 100);
  struct Case {
    CStatusPage* page;
    const char* label;
    const char* value;
  } cases[] = {
      {&sheet->serverPage(), "H/W Address:", "00:40:8C:01:02:03"},
      {&sheet->serverPage(), "Net Speed:", "100 Mb"},
      {&sheet->serverPage(), "Cable Type:", "10/100BASE-T"},
      {&sheet->techSupportPage(), "Technical Support:", "+1 555 0199\r\n+1 555 0188"},
      {&sheet->systemPage(), "Location:", "Rack 2"},
      {&sheet->printerPage(), "Port Name:", "LPT1"},
      {&sheet->printerPage(), "State:", "On-line"},
      {&sheet->wirelessPage(), "Current SSID", "trellan-lab"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.page->value(c.label), c.value) << c.page->title() << " " << c.label;
  EXPECT_FALSE(sheet->printerPage().portListShown()) << "one port: no port list";
  std::vector<std::int32_t> items;
  for (const auto& item : sheet->networkPage().items()) items.push_back(item.first);
  EXPECT_EQ(items, (std::vector<std::int32_t>{1, 2, 3, 5})) << "wireless is not in the protocol list";
}

TEST_F(StatusSheetTest, RefreshReadsMovingCountersAgain) {
  statustest::FleetSim sim(R"({"devices":[{"address":"127.0.1.1","protocols":[1]}]})");
  ASSERT_TRUE(sim.ready()) << sim.error();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0, "SIM00001", "1", false), 0);
  const std::string first = sheet->statisticsPage().value("Receive Packets: Total:");
  ASSERT_EQ(sheet->Refresh(), 0);
  const std::string second = sheet->statisticsPage().value("Receive Packets: Total:");
  EXPECT_NE(first, second) << "the counters move between reads";
  EXPECT_FALSE(sheet->hasWirelessPage());
}

TEST_F(StatusSheetTest, ConnectionWalk) {
  struct Case {
    const char* name;
    std::string status;  // the unit's "status" object
    std::size_t rows;
    bool stoppedByOrder;
  } cases[] = {
      {"a row in every state and one unknown", R"({})", 12, false},
      {"no connections", R"({"tcp_connections":false})", 0, false},
      {"a unit whose walk loops ends after its first row", R"({"walk_loops":true})", 1, true},
  };
  for (const auto& c : cases) {
    statustest::FleetSim sim(R"({"devices":[{"address":"127.0.1.1","protocols":[1],"status":)" + c.status + "}]}");
    ASSERT_TRUE(sim.ready()) << sim.error();
    auto sheet = makeSheet();
    ASSERT_EQ(sheet->Start(target, 0, "SIM00001", "1", false), 0) << c.name;
    const TcpWalk& walk = sheet->networkPage().connections();
    EXPECT_EQ(walk.rows.size(), c.rows) << c.name;
    EXPECT_EQ(walk.stoppedByOrder, c.stoppedByOrder) << c.name;
    const std::string text = sheet->networkPage().sectionText(1);
    EXPECT_EQ(text.find("Connections:") != std::string::npos, c.rows > 0) << c.name;
    if (c.rows == 12) {
      for (const char* state : {"CLOSED", "LISTEN", "SYN_SENT", "SYN_RCVD", "ESTABLISHED", "FIN_WAIT_1", "FIN_WAIT_2",
                                "CLOSED_WAIT", "LAST_ACK", "CLOSING", "TIME_WAIT", "12-UNKNOWN"})
        EXPECT_NE(text.find(std::string("\t") + state + "\r\n"), std::string::npos) << state;
      EXPECT_NE(text.find("  9101 (Raw)\t"), std::string::npos);
      EXPECT_NE(text.find("  9113\t"), std::string::npos);
    }
  }
}

TEST_F(StatusSheetTest, AReadFailureNamesThePageAndShowsNoSheet) {
  statustest::FleetSim sim(R"({"devices":[{"address":"127.0.1.1","protocols":[1],"faults":{"silent":true}}]})");
  ASSERT_TRUE(sim.ready()) << sim.error();
  auto sheet = makeSheet();
  EXPECT_NE(sheet->Start(target, 0, "SIM00001", "1", false), 0);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].rfind(texts::kGetProtocols, 0), 0u) << reported[0];
}

}  // namespace

namespace {

// The simulator's own VINES and EtherTalk values: an enabled protocol lists its details, a
// disabled one only its "(Disabled)" line.
TEST_F(StatusSheetTest, VinesAndEtherTalkSectionsFromTheSimulatorsValues) {
  struct Case {
    const char* name;
    std::string variables;
    std::int32_t protocol;
    std::vector<std::string> shown;  // parts the section holds
    bool detailed;
  } cases[] = {
      {"VINES enabled", "", 3,
       {"(Enabled)\r\n", "\r\nError:\tVINES ready\r\n", "\r\nPrint Service 1:\tPrint Service 1\r\n",
        "  Job Active:\tNo\r\n", "\r\nRouting Protocol:\tAutomatic Routing (Using Sequenced RTP)\r\n"},
       true},
      {"VINES disabled", R"({"oid":".6.3.3.2.0","type":"int","value":1})", 3, {"(Disabled)\r\n"}, false},
      {"EtherTalk enabled", "", 5,
       {"(Enabled)\r\nNode Address:\t0001\r\nNetwork Address:\tFF02\r\nStatus:\tEtherTalk ready\r\n",
        "\r\nPort 1\tEnabled\r\n   Printer Name:\tSIM00001\r\n", "   Zone Name:\tLab Zone (*)\r\n"},
       true},
      {"EtherTalk disabled", R"({"oid":".6.3.5.2.0","type":"int","value":1})", 5, {"(Disabled)\r\n"}, false},
  };
  for (const auto& c : cases) {
    statustest::FleetSim sim(R"({"devices":[{"address":"127.0.1.1","name":"SIM00001","protocols":[1,3,5],"variables":[)" +
                             c.variables + "]}]}");
    ASSERT_TRUE(sim.ready()) << sim.error();
    auto sheet = makeSheet();
    ASSERT_EQ(sheet->Start(target, 0, "SIM00001", "1", false), 0) << c.name << ::testing::PrintToString(reported);
    const std::string text = sheet->networkPage().sectionText(c.protocol);
    for (const std::string& part : c.shown) EXPECT_NE(text.find(part), std::string::npos) << c.name << ": " << text;
    if (!c.detailed) {
      EXPECT_EQ(text, c.shown.front()) << c.name;
    }
  }
}

}  // namespace
