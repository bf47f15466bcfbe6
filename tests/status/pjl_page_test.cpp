// The PJL page: the requests it builds, its buttons, its log file, and a conversation with each
// kind of printer the simulator offers on its raw printing ports. Every wait is bounded.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "access/progress_headless.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "status/diagnostics_sheet.h"
#include "status/pjl_page.h"
#include "status/status_sim.h"

using namespace status;

namespace {

// `count` consecutive free TCP ports on 127.0.1.1 (the first of them).
std::uint16_t freeTcpBase(int count) {
  std::mt19937 rng(static_cast<unsigned>(::getpid()));
  for (int attempt = 0; attempt < 50; ++attempt) {
    const std::uint16_t base = static_cast<std::uint16_t>(20000 + rng() % 30000);
    bool free = true;
    for (int i = 0; i < count && free; ++i) {
      const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_addr.s_addr = htonl(0x7F000101);
      a.sin_port = htons(static_cast<std::uint16_t>(base + i));
      free = ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
      ::close(fd);
    }
    if (free) return base;
  }
  return 0;
}

TEST(PjlPage, RequestBytes) {
  struct Case {
    const char* name;
    int request;
    std::uint8_t state;
    std::string bytes;
  } cases[] = {
      {"INFO ID", 5, 1, "\033%-12345X@PJL INFO ID\r\n\033%-12345X"},
      {"INFO STATUS", 4, 1, "\033%-12345X@PJL INFO STATUS\r\n\033%-12345X"},
      {"INFO CONFIG", 0, 1, "\033%-12345X@PJL INFO CONFIG\r\n\033%-12345X"},
      {"INFO VARIABLES", 3, 1, "\033%-12345X@PJL INFO VARIABLES\r\n\033%-12345X"},
      {"out of range", 6, 1, ""},
  };
  for (const auto& c : cases) {
    CPjlPage page;
    page.setTarget("127.0.0.1", 9100, {c.state});
    page.selectRequest(c.request);
    EXPECT_EQ(page.requestBytes(), c.bytes) << c.name;
  }
  EXPECT_EQ(std::string("\033%-12345X@PJL INFO ID\r\n\033%-12345X").size(), 32u);
  for (int r = 0; r < kPjlRequestCount; ++r) {
    CPjlPage page;
    page.setTarget("127.0.0.1", 9100, {kPortAutoSwitch});
    page.selectRequest(r);
    const std::string bytes = page.requestBytes();
    EXPECT_EQ(bytes.size(), 1032u) << "automatic language switching, request " << r;
    EXPECT_EQ(bytes.substr(bytes.size() - 11), "\r\n\033%-12345X") << r;
    EXPECT_NE(bytes.find(std::string("@PJL ") + kPjlRequests[r].word + "\r\n@PJL COMMENT "), std::string::npos) << r;
  }
}

TEST(PjlPage, ButtonsAndMessage) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> states;
    int port;
    bool enabled;
    const char* message;
  } cases[] = {
      {"no ports", {}, 0, false, "***** Error: Device reports no ports! *****"},
      {"no printer on port 2", {1, 0}, 1, false, "No Printer Attached to Port 2"},
      {"a printer", {1, 0}, 0, true, ""},
      {"automatic switching", {2}, 0, true, ""},
  };
  for (const auto& c : cases) {
    CPjlPage page;
    page.setTarget("127.0.0.1", 9100, c.states);
    page.create();
    page.selectPort(c.port);
    EXPECT_EQ(page.sendEnabled(), c.enabled) << c.name;
    EXPECT_EQ(page.saveEnabled(), c.enabled) << c.name;
    EXPECT_EQ(page.message(), c.message) << c.name;
  }
  CPjlPage one;
  one.setTarget("127.0.0.1", 9100, {1});
  EXPECT_FALSE(one.portListShown());
  one.create();
  EXPECT_EQ(one.response(), "\r\nUse this interface to obtain additional printer status\r\nusing Printer Job Language "
                            "(PJL) commands.\r\n\r\nPJL is not supported on all printers.");
}

TEST(PjlPage, SavedLogLayout) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  CPjlPage page;
  page.setIdentity("LAB1", "12/34");
  page.setTarget("127.0.0.1", 9100, {1});
  page.clear();
  EXPECT_EQ(page.saveText(1796928153),
            "Printer PJL Status Values\r\n\r\nSystem Name:\t\tLAB1\r\nSerial Number:\t\t12/34\r\n"
            "**************************************************\r\n"
            "**************************************************\r\n\r\nFile Created: Thu Dec 10 18:42:33 2026\r\n");
  EXPECT_EQ(page.defaultFileName(), "PJL-12_34.txt");
}

class PjlPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = freeTcpBase(6);
    ASSERT_NE(base, 0);
    sim = std::make_unique<statustest::FleetSim>(
        R"({"devices":[{"address":"127.0.1.1","protocols":[1],"ports":[)"
        R"({"name":"P1","pjl":"printer","display":"READY"},{"name":"P2","pjl":"silent"},)"
        R"({"name":"P3","pjl":"slow","display":"WARMING UP"},{"name":"P4","pjl":"close"},)"
        R"({"name":"P5","pjl":"trickle"},{"name":"P6","pjl":"none"}]}]})",
        std::vector<std::string>{"--pjl-port", std::to_string(base)});
    ASSERT_TRUE(sim->ready()) << sim->error();
    page.setTarget("127.0.1.1", base, {1, 1, 1, 1, 1, 1});
    page.setMessageSink([this](const std::string& m) { messages.push_back(m); });
    PjlLimits limits;
    limits.replySeconds = 2;
    limits.followUpTotalSeconds = 3;
    page.setLimits(limits);
    page.create();
  }

  std::uint16_t base = 0;
  std::unique_ptr<statustest::FleetSim> sim;
  CPjlPage page;
  std::vector<std::string> messages;
};

TEST_F(PjlPrinterTest, EachKindOfPrinterEndsWithinTheLimits) {
  struct Case {
    const char* name;
    int port;
    int request;
    bool logged;
    std::string message;  // empty: none; else the start of the one message
    std::string contains;
    std::string orMessage = {};  // another start the one message may have
  } cases[] = {
      {"a printer answers at once", 0, 4, true, "", "Current Status:\r\n\r\nCODE=10001\r\nDISPLAY=\"READY\""},
      {"a silent printer", 1, 4, false, pjltexts::kNoResponse, ""},
      {"a printer that answers slowly in pieces and stops half way", 2, 4, true, "", "DISPLAY=\"WARMING UP\""},
      // Closed before the request was read: the send or the receive meets the reset, or, when the close
      // comes before the request is sent, the receive meets the end of the stream first.
      {"a printer that closes at once", 3, 5, false, "Unable to ", "", pjltexts::kNoResponse},
      {"a printer that never stops", 4, 0, true, "", "MORE=1"},
      {"nothing listens", 5, 0, false, "Unable to connect to printer.  Port may be busy. (WS111)", ""},
  };
  std::string log;
  for (const auto& c : cases) {
    messages.clear();
    page.selectPort(c.port);
    page.selectRequest(c.request);
    const auto start = std::chrono::steady_clock::now();
    const int rc = page.send();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(8)) << c.name;
    EXPECT_EQ(rc == 0, c.logged) << c.name;
    if (c.message.empty())
      EXPECT_TRUE(messages.empty()) << c.name << ": " << ::testing::PrintToString(messages);
    else
      EXPECT_TRUE(messages.size() == 1 && (messages[0].rfind(c.message, 0) == 0 ||
                                           (!c.orMessage.empty() && messages[0].rfind(c.orMessage, 0) == 0)))
          << c.name << ": " << ::testing::PrintToString(messages);
    EXPECT_EQ(page.response().rfind(log, 0), 0u) << c.name << ": the log keeps what it held";
    if (c.logged) {
      EXPECT_NE(page.response().find(c.contains, log.size()), std::string::npos) << c.name << page.response();
      EXPECT_EQ(page.response().substr(page.response().size() - 19), "\r\n- - - - - - -\r\n\r\n") << c.name;
      EXPECT_EQ(page.response().find('\f'), std::string::npos) << c.name;
      EXPECT_EQ(page.response().find("@PJL INFO"), std::string::npos) << c.name << ": the echo is skipped";
    }
    EXPECT_TRUE(page.statusText().empty()) << c.name;
    log = page.response();
  }
}

TEST_F(PjlPrinterTest, TheSheetHandsThePageTheUnitsRawPortAndPortStates) {
  SnmpCleanup();
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target;
  target.setAddress("127.0.1.1");
  target.setGetCommunity("vorlak");
  target.progress = &progress;
  CDiagnosticsPropSheet sheet({});
  ASSERT_EQ(sheet.Start(target, 2, "SIM00001", "12/34", false), 0);
  EXPECT_EQ(sheet.pjlPage().rawPortBase(), base);
  EXPECT_EQ(sheet.pjlPage().portIndex(), 2);
  EXPECT_EQ(sheet.pjlPage().portStates().size(), 6u);
  EXPECT_EQ(sheet.pjlPage().defaultFileName(), "PJL-12_34.txt");
  EXPECT_TRUE(sheet.printerPage().portListShown());
  EXPECT_EQ(sheet.printerPage().value("Port Name:"), "P3");
  SnmpCleanup();
}

}  // namespace
