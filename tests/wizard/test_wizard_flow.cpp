// The wizard against simulated units: which pages an answer path shows and in which order, the
// verification text, and what reaches the wire on Finish (the simulator's request log).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "access/group_classes.h"
#include "access/progress_headless.h"
#include "access/test_mib_group_sim.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "wizard/wizard_flow.h"

using namespace wizard;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);
const std::string R = "\r\n=============================";
const std::string kHead = "The following changes will be made: \r\n";
const std::string kOwnAddress =
    R"({"oid":".6.3.1.4.1.0","type":"ip","value":"127.0.1.1"},{"oid":".6.3.1.4.4.0","type":"int","value":1})";
// A serial first port whose character timeout reads 20 and slave ID 7.
const std::string kSerialPort = R"({"oid":".6.2.3.2.1.12.1","type":"int","value":32759},)"
                                R"({"oid":".6.2.3.2.1.29.1","type":"int","value":20},)"
                                R"({"oid":".6.2.3.2.1.27.1","type":"int","value":7})";

const std::string kUnit = R"("agent":{"reset_silence_ms":200})";

// The installed-protocol list as the unit reports it: "[1,5,7]" gives those protocols in that order.
std::string protocolList(const std::string& list) {
  std::vector<int> ids;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i] >= '0' && list[i] <= '9') ids.push_back(list[i] - '0');
  auto name = [](int id) -> std::string {
    switch (id) {
      case 1: return "TCP/IP";
      case 2: return "NetWare";
      case 3: return "VINES";
      case 4: return "LAN Manager";
      case 5: return "EtherTalk";
      case 7: return "Wireless";
      default: return "Protocol " + std::to_string(id);
    }
  };
  std::string v = R"({"oid":".1.15.1.0","type":"int","value":)" + std::to_string(ids.size()) + R"(,"writable":false})";
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const std::string row = std::to_string(i + 1);
    v += R"(,{"oid":".1.15.2.1.2.)" + row + R"(","type":"int","value":)" + std::to_string(ids[i]) +
         R"(,"writable":false})";
    v += R"(,{"oid":".1.15.2.1.3.)" + row + R"(","type":"text","value":")" + name(ids[i]) + R"(","writable":false})";
  }
  return v;
}

// A unit with these protocols and further variables.
struct Unit {
  Unit(const std::string& protocols, const std::string& extra = "")
      : sim(8, kUnit, protocolList(protocols) + (extra.empty() ? "" : "," + extra)) {}
  simproc::Sim sim;
};

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target.setAddress("127.0.1.1");
    target.setGetCommunity("vorlak");
    target.setSetCommunity("vorlak");
    target.progress = &progress;
    snmpaccess::setGroupTimeouts(30, 30);
  }
  void TearDown() override { SnmpCleanup(); }

  std::unique_ptr<WizardFlow> makeFlow() {
    WizardServices s;
    s.message = [this](const std::string& text) { messages.push_back(text); };
    s.pause = [](int) { return true; };
    // Found again: the unit answers a read of its server group at the target's address.
    s.identify = [this](snmpaccess::SnmpTarget& t, int seconds) {
      identifiedAt = t.address;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
      for (int i = 0; i < 40 && std::chrono::steady_clock::now() < deadline; ++i) {
        int rc = 0;
        snmpaccess::CSnmpSession session(&t, rc);
        snmpaccess::CServerInfoGroup info;
        if (rc == 0 && info.read(session) == 0) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      return -1;
    };
    s.resetTimeoutSeconds = 10;
    s.vinesLibrary = "libvnsapi32-absent.so";
    return std::make_unique<WizardFlow>(std::move(s));
  }

  // Ticks every protocol that may be ticked, then Next from Welcome to Verify.
  static void tickAll(WizardFlow& flow) {
    for (int i = 0; i < static_cast<int>(flow.protocolPage().entries().size()); ++i) flow.setProtocolChecked(i, true);
  }

  static std::vector<std::vector<std::string>> sets(const simproc::Sim& sim) {
    std::vector<std::vector<std::string>> out;
    for (const auto& r : sim.requests())
      if (r.pdu == "set") out.push_back(r.oids);
    return out;
  }
  static bool setHas(const simproc::Sim& sim, const std::string& oid) {
    for (const auto& s : sets(sim))
      for (const auto& o : s)
        if (o == oid) return true;
    return false;
  }

  snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target;
  std::vector<std::string> messages;
  std::string identifiedAt;
};

std::string protocolBlock(const std::vector<std::pair<std::string, bool>>& entries) {
  std::string s = R + "\r\nSupported Protocols:\r\n";
  for (const auto& [name, on] : entries) s += "\t" + name + (on ? ":  Enabled\r\n" : ":  Disabled\r\n");
  return s;
}

struct PathCase {
  const char* name;
  std::string protocols;
  std::vector<std::string> untick;  // protocol names unticked on the protocol page
  std::vector<int> sequence;
  std::string summary;  // without the head and the closing rule
};

TEST_F(WizardTest, AnswerPathsGiveTheirPagesAndSummaries) {
  const std::string tcpNone = R + "\r\nTCP/IP Changes:  No Changes Detected";
  const std::string etNone = R + "\r\nEtherTalk:  No Changes Detected";
  const std::string wlNone = R + "\r\nWireless Changes:  No Changes Detected";
  const std::string vnNone = R + "\r\nBanyan VINES:  No Changes Detected";
  const std::vector<PathCase> cases = {
      {"TCP/IP only", "[1]", {}, {106, 4607, 4608, 4612}, protocolBlock({{"TCP/IP", true}}) + tcpNone},
      {"TCP/IP, EtherTalk, wireless", "[1,5,7]", {}, {106, 4607, 4608, 4611, 4652, 4612},
       protocolBlock({{"TCP/IP", true}, {"EtherTalk", true}, {"Wireless", true}}) + tcpNone + etNone + wlNone},
      {"wireless unticked keeps its block but loses its page", "[1,5,7]", {"Wireless"}, {106, 4607, 4608, 4611, 4612},
       protocolBlock({{"TCP/IP", true}, {"EtherTalk", true}, {"Wireless", false}}) + tcpNone + etNone + wlNone},
      {"page order follows the ticks, not the list order", "[7,1,5]", {"EtherTalk"}, {106, 4607, 4652, 4608, 4612},
       protocolBlock({{"Wireless", true}, {"TCP/IP", true}, {"EtherTalk", false}}) + wlNone + tcpNone + etNone},
      {"VINES", "[1,3]", {}, {106, 4607, 4608, 4610, 4612},
       protocolBlock({{"TCP/IP", true}, {"VINES", true}}) + tcpNone + vnNone},
      {"NetWare ticked without the client brings no page", "[1,2]", {}, {106, 4607, 4608, 4612},
       protocolBlock({{"TCP/IP", true}, {"NetWare", true}}) + tcpNone},
      {"LAN Manager is not offered", "[1,4]", {}, {106, 4607, 4608, 4612}, protocolBlock({{"TCP/IP", true}}) + tcpNone},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.name);
    Unit unit(c.protocols);
    simproc::Sim& sim = unit.sim;
    ASSERT_TRUE(sim.ready()) << sim.errors();
    auto flow = makeFlow();
    ASSERT_EQ(flow->run(target, false), 0);
    ASSERT_TRUE(flow->next().ok());
    EXPECT_EQ(flow->currentId(), kProtocolsId);
    tickAll(*flow);
    for (const std::string& name : c.untick) EXPECT_TRUE(flow->setProtocolChecked(flow->protocolPage().find(name), false));
    std::vector<int> visited{flow->currentId()};
    for (int i = 0; i < 10 && !flow->onLast(); ++i) {
      ASSERT_TRUE(flow->next().ok());
      visited.push_back(flow->currentId());
    }
    visited.insert(visited.begin(), kWelcomeId);
    EXPECT_EQ(flow->sequence(), c.sequence);
    EXPECT_EQ(visited, c.sequence);
    EXPECT_EQ(flow->finishText(), kHead + c.summary + R);
  }
}

TEST_F(WizardTest, TheProtocolInUseCannotBeUncheckedAndNetWareWithoutClientIsNoticed) {
  Unit unit("[1,2,5]");
  simproc::Sim& sim = unit.sim;
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto flow = makeFlow();
  ASSERT_EQ(flow->run(target, false), 0);
  flow->next();
  const int tcp = flow->protocolPage().find("TCP/IP");
  EXPECT_TRUE(flow->protocolPage().locked(tcp));
  EXPECT_FALSE(flow->setProtocolChecked(tcp, false));
  EXPECT_EQ(flow->protocolPage().notice(),
            "The TCP/IP protocol is currently being used to configure the server, and so it cannot be disabled.  "
            "NetWare is supported on this print server, but the Novell client is required for configuration (could "
            "not initialize NetWare).");
  EXPECT_EQ(flow->page(kNetWareId), nullptr);
}

TEST_F(WizardTest, ANewerProtocolSaysNeedsUpdatingAndTheWizardStillOpens) {
  Unit unit("[1,6]");
  simproc::Sim& sim = unit.sim;
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto flow = makeFlow();
  ASSERT_EQ(flow->run(target, false), 0);
  EXPECT_EQ(messages, std::vector<std::string>{kTextNeedsUpdating});
  EXPECT_EQ(flow->unsupportedCount(), 1);
}

TEST_F(WizardTest, CancelWritesNothingAndMovesNoAddress) {
  Unit unit("[1,7]", kOwnAddress);
  simproc::Sim& sim = unit.sim;
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto flow = makeFlow();
  ASSERT_EQ(flow->run(target, false), 0);
  flow->next();
  flow->next();
  ASSERT_EQ(flow->currentId(), kTcpIpId);
  flow->tcpIpPage().setAddress("127.0.1.7");
  ASSERT_TRUE(flow->next().ok());
  // Cancel: the flow is dropped without finish.
  EXPECT_EQ(flow->newDeviceAddress(), "");
  EXPECT_TRUE(sets(sim).empty());
}

struct TcpCase {
  const char* name;
  bool dynamic;
  std::string address;
  bool refused;        // leaving the page is refused
  std::string block;   // TCP/IP block of the summary when not refused
};

TEST_F(WizardTest, TcpIpPageLeaveRulesAndSummary) {
  const std::vector<TcpCase> cases = {
      {"permanent", false, "127.0.1.1", false,
       R + "\r\nTCP/IP: \r\nIP Address:  127.0.1.1\r\nSubnet Mask:  255.255.255.0\r\nDefault Gateway:  127.0.1.254"},
      {"leading zeros are dropped", false, "127.000.001.001", false,
       R + "\r\nTCP/IP: \r\nIP Address:  127.0.1.1\r\nSubnet Mask:  255.255.255.0\r\nDefault Gateway:  127.0.1.254"},
      {"dynamic", true, "", false,
       "TCP/IP Changes: \r\nIP Address:  DYNAMIC\r\nSubnet Mask:  DYNAMIC\r\nDefault Gateway:  DYNAMIC"},
      {"empty address is refused, never 0.0.0.0", false, "", true, ""},
      {"blank address is refused", false, "   ", true, ""},
      {"malformed address is refused", false, "127.0.1", true, ""},
      {"0.0.0.0 is refused", false, "0.0.0.0", true, ""},
  };
  for (const TcpCase& c : cases) {
    SCOPED_TRACE(c.name);
    Unit unit("[1]", kOwnAddress);
    simproc::Sim& sim = unit.sim;
    ASSERT_TRUE(sim.ready()) << sim.errors();
    auto flow = makeFlow();
    ASSERT_EQ(flow->run(target, false), 0);
    flow->next();
    flow->next();
    ASSERT_EQ(flow->currentId(), kTcpIpId);
    CWzTcpIpDlg& tcp = flow->tcpIpPage();
    tcp.setDynamic(c.dynamic);
    if (!c.dynamic) {
      tcp.setAddress(c.address);
      tcp.setMask("255.255.255.0");
      tcp.setGateway("127.0.1.254");
    }
    const PageCheck check = flow->next();
    if (c.refused) {
      EXPECT_FALSE(check.ok());
      EXPECT_EQ(check.message, kTextAddressRequired);
      EXPECT_EQ(flow->currentId(), kTcpIpId);
      // Even saved from elsewhere, the page sends no address.
      ASSERT_NE(flow->session(), nullptr);
      EXPECT_NE(tcp.SaveChanges(*flow->session()), 0);
      EXPECT_TRUE(sets(sim).empty());
      continue;
    }
    ASSERT_TRUE(check.ok()) << check.message;
    EXPECT_EQ(flow->finishText(), kHead + protocolBlock({{"TCP/IP", true}}) + c.block + R);
  }
}

TEST_F(WizardTest, FinishWithTcpIpAndWirelessChangesWritesThemResetsAndFindsTheUnitAtItsNewAddress) {
  Unit unit("[1,7]", kOwnAddress);
  simproc::Sim& sim = unit.sim;
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto flow = makeFlow();
  ASSERT_EQ(flow->run(target, false), 0);
  flow->next();
  tickAll(*flow);
  ASSERT_TRUE(flow->next().ok());
  ASSERT_EQ(flow->currentId(), kTcpIpId);
  CWzTcpIpDlg& tcp = flow->tcpIpPage();
  tcp.setDynamic(false);
  tcp.setAddress("127.0.1.9");
  tcp.setMask("255.0.0.0");
  tcp.setGateway("127.0.0.1");
  ASSERT_TRUE(flow->next().ok());
  ASSERT_EQ(flow->currentId(), kWirelessId);
  CWzWirelessDlg& wl = flow->wirelessPage();
  wl.model().ssid = "WIZARD-LAB";
  wl.model().mode = 3;
  wl.edited();
  ASSERT_TRUE(flow->next().ok());
  ASSERT_TRUE(flow->onLast());
  const std::string text = flow->finishText();
  EXPECT_NE(text.find(R + "\r\nTCP/IP: \r\nIP Address:  127.0.1.9\r\nSubnet Mask:  255.0.0.0\r\nDefault Gateway:  127.0.0.1"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(R + "\r\nWireless Changes: \r\nRadio:  "), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nWireless Mode:  Infrastructure\r\nSSID:  WIZARD-LAB\r\nRF Channel  "), std::string::npos)
      << text;
  EXPECT_NE(text.find("\r\n   Wireless Secutiry:\r\nEncryption Mode:  "), std::string::npos) << text;

  ASSERT_EQ(flow->finish(), 0);
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_TRUE(setHas(sim, E + ".6.3.1.4.1.0"));  // the address
  EXPECT_TRUE(setHas(sim, E + ".8.3.4.0"));      // the SSID
  EXPECT_TRUE(setHas(sim, E + ".2.2.0"));        // the reset
  EXPECT_EQ(flow->newDeviceAddress(), "127.0.1.9");
  EXPECT_EQ(identifiedAt, "127.0.1.9");
  EXPECT_TRUE(flow->identified());
}

TEST_F(WizardTest, AnAddressFromTheNetworkLeavesTheDeviceAddressAlone) {
  Unit unit("[1]", kOwnAddress);
  simproc::Sim& sim = unit.sim;
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto flow = makeFlow();
  ASSERT_EQ(flow->run(target, false), 0);
  flow->next();
  flow->next();
  flow->tcpIpPage().setDynamic(true);
  ASSERT_TRUE(flow->next().ok());
  ASSERT_EQ(flow->finish(), 0);
  EXPECT_EQ(flow->newDeviceAddress(), "");
  EXPECT_EQ(identifiedAt, "127.0.1.1");
  EXPECT_TRUE(setHas(sim, E + ".6.3.1.4.4.0"));
  EXPECT_FALSE(setHas(sim, E + ".6.3.1.4.1.0"));
}

TEST_F(WizardTest, EtherTalkEditsOfTwoPortsAreBothWrittenAndSummarised) {
  Unit unit("[1,5]");
  simproc::Sim& sim = unit.sim;
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto flow = makeFlow();
  ASSERT_EQ(flow->run(target, false), 0);
  flow->next();
  tickAll(*flow);
  flow->next();
  flow->next();
  ASSERT_EQ(flow->currentId(), kEtherTalkId);
  CWzEtherTalkDlg& et = flow->etherTalkPage();
  ASSERT_EQ(et.portCount(), 2);
  et.setName("Laser1");
  et.setZone("Zone1");
  et.selectPort(1);
  et.setName("Laser2");
  et.setZone("Zone2");
  ASSERT_TRUE(flow->next().ok());
  const std::string text = flow->finishText();
  EXPECT_NE(text.find(R + "\r\nEtherTalk:\r\nChanges for port #1\r\n\tPort Name: Laser1\r\n\tZone: Zone1\r\nChanges for "
                          "port #2\r\n\tPort Name: Laser2\r\n\tZone: Zone2"),
            std::string::npos)
      << text;
  ASSERT_EQ(flow->finish(), 0);
  EXPECT_TRUE(setHas(sim, E + ".6.3.5.4.4.1.3.1"));
  EXPECT_TRUE(setHas(sim, E + ".6.3.5.4.4.1.3.2"));
}

struct SerialCase {
  const char* name;
  SerialControls controls;
  std::string message;  // empty: the page may be left
  std::int32_t mode, slaveId;  // slave ID as written; without Modbus it stays as read (7)
};

TEST_F(WizardTest, SerialPageChecksAndModes) {
  auto with = [](auto change) {
    SerialControls c;
    c.initialDelay = "100";
    c.charTimeout = "10";
    c.messageTimeout = "1000";
    c.slaveId = "0";
    change(c);
    return c;
  };
  const std::vector<SerialCase> cases = {
      {"485 full is mode 3", with([](SerialControls& c) { c.mode = 4; c.duplex = 1; }), "", 3, 7},
      {"485 half is mode 4", with([](SerialControls& c) { c.mode = 4; c.duplex = 0; }), "", 4, 7},
      {"initial delay below range with Modbus",
       with([](SerialControls& c) { c.modbus = 1; c.initialDelay = "50"; }),
       "The value for Initial Delay must be between 100 and 4000.", 0, 0},
      {"timeouts unchecked without Modbus", with([](SerialControls& c) { c.initialDelay = "50"; }), "", 0, 7},
      {"message timeout above range", with([](SerialControls& c) { c.modbus = 1; c.messageTimeout = "30001"; }),
       "The value for Message Timeout must be between 10 and 30000.", 0, 0},
      {"slave ID checked with auto slave ID",
       with([](SerialControls& c) { c.modbus = 1; c.autoSlaveId = 1; c.slaveId = "248"; }),
       "The value for Slave ID must be between 1 and 247.", 0, 0},
      {"auto slave ID off writes 0", with([](SerialControls& c) { c.modbus = 1; c.slaveId = "12"; }), "", 0, 0},
      {"empty field keeps its value", with([](SerialControls& c) { c.modbus = 1; c.charTimeout = ""; }), "", 0, 0},
      {"auto slave ID on writes the typed ID",
       with([](SerialControls& c) { c.modbus = 1; c.autoSlaveId = 1; c.slaveId = "12"; }), "", 0, 12},
  };
  for (const SerialCase& c : cases) {
    SCOPED_TRACE(c.name);
    Unit unit("[1]", kSerialPort);
    simproc::Sim& sim = unit.sim;
    ASSERT_TRUE(sim.ready()) << sim.errors();
    auto flow = makeFlow();
    ASSERT_EQ(flow->run(target, false), 0);
    ASSERT_NE(flow->page(kSerialId), nullptr);
    flow->next();
    flow->next();
    flow->next();
    ASSERT_EQ(flow->currentId(), kSerialId);
    CWzSerialDlg& serial = flow->serialPage();
    serial.controls() = c.controls;
    serial.edited();
    const PageCheck check = flow->next();
    EXPECT_EQ(check.message, c.message);
    if (!c.message.empty()) {
      EXPECT_EQ(flow->currentId(), kSerialId);
      continue;
    }
    EXPECT_EQ(serial.serialMode(), c.mode);
    EXPECT_EQ(serial.slaveId(), c.slaveId);
    if (c.controls.charTimeout.empty()) {
      EXPECT_EQ(serial.controls().charTimeout, "20");
    }
  }
}

TEST_F(WizardTest, NoSerialPageWhenTheFirstPortIsNotSerial) {
  Unit unit("[1]");
  simproc::Sim& sim = unit.sim;
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto flow = makeFlow();
  ASSERT_EQ(flow->run(target, false), 0);
  EXPECT_EQ(flow->page(kSerialId), nullptr);
  EXPECT_TRUE(messages.empty());
}

}  // namespace
