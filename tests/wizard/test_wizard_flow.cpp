// The wizard against simulated units: which pages an answer path shows and in which order, the
// verification text, and what reaches the wire on Finish (the simulator's request log).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "access/group_classes.h"
#include "support/unit_target_test.h"
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
// The second of the unit's two print-service slots is free (the first holds "Print Service 1" on port 1).
const std::string kFreeSecondSlot = R"({"oid":".6.3.3.4.4.1.2.2","type":"text","value":""})";
// A serial first port with Modbus values inside their ranges, so that it may be left as read.
const std::string kModbusSerialPort = kSerialPort + R"(,{"oid":".6.2.3.2.1.28.1","type":"int","value":100},)" +
                                      R"({"oid":".6.2.3.2.1.30.1","type":"int","value":1000})";
// The write-only VINES password (reads empty).
const std::string kVinesPassword = R"({"oid":".6.3.3.4.5.0","type":"text","value":""})";

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

class WizardTest : public UnitTargetTest {
 protected:
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
    s.vinesLibrary = vinesLibrary;
    return std::make_unique<WizardFlow>(std::move(s));
  }

  // The opening the cases share: a unit with these protocols (and variables) answers, the wizard
  // reads it, and Next goes from Welcome until the page `id` is shown; on the way every protocol
  // that may be ticked is ticked when `tick` says so.
  void openAt(int id, const std::string& protocols, const std::string& extra = "", bool tick = false) {
    flow.reset();
    unit.reset();
    unit = std::make_unique<Unit>(protocols, extra);
    ASSERT_TRUE(sim().ready()) << sim().errors();
    flow = makeFlow();
    ASSERT_EQ(flow->run(target, false), 0);
    for (int i = 0; i < 10 && flow->currentId() != id && !flow->onLast(); ++i) {
      if (tick && flow->currentId() == kProtocolsId) tickAll(*flow);
      ASSERT_TRUE(flow->next().ok());
    }
    ASSERT_EQ(flow->currentId(), id);
  }

  simproc::Sim& sim() { return unit->sim; }

  // Ticks every protocol that may be ticked.
  static void tickAll(WizardFlow& flow) {
    for (int i = 0; i < static_cast<int>(flow.protocolPage().entries().size()); ++i) flow.setProtocolChecked(i, true);
  }

  static bool setHas(const simproc::Sim& sim, const std::string& oid) {
    for (const auto& s : sets(sim))
      for (const auto& o : s)
        if (o == oid) return true;
    return false;
  }

  std::string vinesLibrary = "libvnsapi32-absent.so";
  std::unique_ptr<Unit> unit;
  std::unique_ptr<WizardFlow> flow;
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
    ASSERT_NO_FATAL_FAILURE(openAt(kProtocolsId, c.protocols));
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
  ASSERT_NO_FATAL_FAILURE(openAt(kProtocolsId, "[1,2,5]"));
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
  ASSERT_NO_FATAL_FAILURE(openAt(kWelcomeId, "[1,6]"));
  EXPECT_EQ(messages, std::vector<std::string>{kTextNeedsUpdating});
  EXPECT_EQ(flow->unsupportedCount(), 1);
}

TEST_F(WizardTest, CancelWritesNothingAndMovesNoAddress) {
  ASSERT_NO_FATAL_FAILURE(openAt(kTcpIpId, "[1,7]", kOwnAddress));
  flow->tcpIpPage().setAddress("127.0.1.7");
  ASSERT_TRUE(flow->next().ok());
  // Cancel: the flow is dropped without finish.
  EXPECT_EQ(flow->newDeviceAddress(), "");
  EXPECT_TRUE(sets(sim()).empty());
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
    ASSERT_NO_FATAL_FAILURE(openAt(kTcpIpId, "[1]", kOwnAddress));
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
      EXPECT_TRUE(sets(sim()).empty());
      continue;
    }
    ASSERT_TRUE(check.ok()) << check.message;
    EXPECT_EQ(flow->finishText(), kHead + protocolBlock({{"TCP/IP", true}}) + c.block + R);
  }
}

TEST_F(WizardTest, FinishWithTcpIpAndWirelessChangesWritesThemResetsAndFindsTheUnitAtItsNewAddress) {
  ASSERT_NO_FATAL_FAILURE(openAt(kTcpIpId, "[1,7]", kOwnAddress, true));
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
  EXPECT_TRUE(setHas(sim(), E + ".6.3.1.4.1.0"));  // the address
  EXPECT_TRUE(setHas(sim(), E + ".8.3.4.0"));      // the SSID
  EXPECT_TRUE(setHas(sim(), E + ".2.2.0"));        // the reset
  EXPECT_EQ(flow->newDeviceAddress(), "127.0.1.9");
  EXPECT_EQ(identifiedAt, "127.0.1.9");
  EXPECT_TRUE(flow->identified());
}

TEST_F(WizardTest, AnAddressFromTheNetworkLeavesTheDeviceAddressAlone) {
  ASSERT_NO_FATAL_FAILURE(openAt(kTcpIpId, "[1]", kOwnAddress));
  flow->tcpIpPage().setDynamic(true);
  ASSERT_TRUE(flow->next().ok());
  ASSERT_EQ(flow->finish(), 0);
  EXPECT_EQ(flow->newDeviceAddress(), "");
  EXPECT_EQ(identifiedAt, "127.0.1.1");
  EXPECT_TRUE(setHas(sim(), E + ".6.3.1.4.4.0"));
  EXPECT_FALSE(setHas(sim(), E + ".6.3.1.4.1.0"));
}

TEST_F(WizardTest, EtherTalkEditsOfTwoPortsAreBothWrittenAndSummarised) {
  ASSERT_NO_FATAL_FAILURE(openAt(kEtherTalkId, "[1,5]", "", true));
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
  EXPECT_TRUE(setHas(sim(), E + ".6.3.5.4.4.1.3.1"));
  EXPECT_TRUE(setHas(sim(), E + ".6.3.5.4.4.1.3.2"));
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
    ASSERT_NO_FATAL_FAILURE(openAt(kSerialId, "[1]", kSerialPort));
    ASSERT_NE(flow->page(kSerialId), nullptr);
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
  ASSERT_NO_FATAL_FAILURE(openAt(kWelcomeId, "[1]"));
  EXPECT_EQ(flow->page(kSerialId), nullptr);
  EXPECT_TRUE(messages.empty());
}

TEST_F(WizardTest, EveryTickCombinationBringsItsPagesInListOrder) {
  // TCP/IP carries the connection and stays ticked; VINES, EtherTalk and wireless in every combination.
  const std::vector<std::pair<std::string, int>> optional = {{"VINES", kVinesId}, {"EtherTalk", kEtherTalkId},
                                                             {"Wireless", kWirelessId}};
  const std::string blocks = R + "\r\nTCP/IP Changes:  No Changes Detected" + R +
                             "\r\nBanyan VINES:  No Changes Detected" + R + "\r\nEtherTalk:  No Changes Detected" + R +
                             "\r\nWireless Changes:  No Changes Detected" + R + "\r\nSerial Changes:  No Changes Detected";
  for (unsigned ticks = 0; ticks < 8; ++ticks) {
    std::string name = "ticked:";
    std::vector<std::pair<std::string, bool>> entries{{"TCP/IP", true}};
    std::vector<int> sequence{kWelcomeId, kProtocolsId, kTcpIpId};
    for (std::size_t k = 0; k < optional.size(); ++k) {
      const bool on = (ticks >> k) & 1u;
      entries.push_back({optional[k].first, on});
      if (on) {
        sequence.push_back(optional[k].second);
        name += " " + optional[k].first;
      }
    }
    sequence.push_back(kSerialId);
    sequence.push_back(kFinishId);
    SCOPED_TRACE(name);
    ASSERT_NO_FATAL_FAILURE(openAt(kProtocolsId, "[1,3,5,7]", kModbusSerialPort));
    for (std::size_t k = 0; k < optional.size(); ++k)
      EXPECT_TRUE(flow->setProtocolChecked(flow->protocolPage().find(optional[k].first), ((ticks >> k) & 1u) != 0));
    std::vector<int> visited{kWelcomeId, flow->currentId()};
    for (int i = 0; i < 10 && !flow->onLast(); ++i) {
      ASSERT_TRUE(flow->next().ok());
      visited.push_back(flow->currentId());
    }
    EXPECT_EQ(visited, sequence);
    EXPECT_EQ(flow->finishText(), kHead + protocolBlock(entries) + blocks + R);
  }
}

TEST_F(WizardTest, WithoutTheVinesClientTheVinesPageIsReadOnly) {
  ASSERT_NO_FATAL_FAILURE(openAt(kVinesId, "[1,3]", kFreeSecondSlot, true));
  CWzBanyanDlg& page = flow->vinesPage();
  EXPECT_EQ(page.notice(), "ERROR:  Cannot initialize VINES support (vnserr=0).  Read-Only.");
  EXPECT_FALSE(page.canAdd());
  EXPECT_FALSE(page.canEdit());
  CPrintServiceDlg dialog = page.serviceDialog(CWzBanyanDlg::kAddRow);
  ASSERT_TRUE(dialog.setName("Q1@Lab@Org"));
  EXPECT_FALSE(page.applyService(CWzBanyanDlg::kAddRow, dialog));
  EXPECT_FALSE(page.setUserName("Other@Lab@Org"));
  ASSERT_TRUE(flow->next().ok());
  EXPECT_NE(flow->finishText().find(R + "\r\nBanyan VINES:  No Changes Detected"), std::string::npos);
}

TEST_F(WizardTest, VinesServicesAddedAndEditedThroughTheDialogAreSummarisedAndWritten) {
  vinesLibrary = VINES_STANDIN;
  ASSERT_NO_FATAL_FAILURE(openAt(kVinesId, "[1,3]", kFreeSecondSlot, true));
  CWzBanyanDlg& page = flow->vinesPage();
  ASSERT_TRUE(page.editable()) << page.notice();
  ASSERT_EQ(page.rows(), std::vector<int>{0});
  EXPECT_TRUE(page.canAdd());
  const std::string first = page.slot(0).name;  // on port 1, as is the free slot

  // Add: a new service starts without a name on the first port, and OK needs a name.
  CPrintServiceDlg add = page.serviceDialog(CWzBanyanDlg::kAddRow);
  EXPECT_EQ(add.name(), "");
  EXPECT_EQ(add.port(), 1);
  EXPECT_FALSE(add.canAccept());
  ASSERT_TRUE(add.setName("Q1@Lab@Org"));
  add.selectPort(1);
  ASSERT_TRUE(page.applyService(CWzBanyanDlg::kAddRow, add));
  EXPECT_EQ(page.rows(), (std::vector<int>{0, 1}));
  EXPECT_FALSE(page.canAdd());  // both slots hold a service

  // Edit: the row's name and port preset; OK puts the new ones into its slot.
  const int row = page.editTarget(0);
  ASSERT_EQ(row, 0);
  CPrintServiceDlg edit = page.serviceDialog(row);
  EXPECT_EQ(edit.name(), first);
  EXPECT_EQ(edit.port(), 1);
  ASSERT_TRUE(edit.setName("Q0@Lab@Org"));
  edit.selectPort(1);
  ASSERT_TRUE(page.applyService(row, edit));
  EXPECT_EQ(page.slot(0).port, 2);

  ASSERT_TRUE(flow->next().ok());
  const std::string text = flow->finishText();
  EXPECT_NE(text.find(R + "\r\nBanyan VINES:\r\nBanyan User Name: " + page.userName() +
                      "\r\nPrint Service assigned to port 2:\r\n\tQ0@Lab@Org"
                      "\r\nPrint Service assigned to port 2:\r\n\tQ1@Lab@Org"),
            std::string::npos)
      << text;
  ASSERT_EQ(flow->finish(), 0);
  EXPECT_TRUE(messages.empty()) << messages.front();
  for (const char* oid : {".6.3.3.4.4.1.2.1", ".6.3.3.4.4.1.3.1", ".6.3.3.4.4.1.2.2", ".6.3.3.4.4.1.3.2"})
    EXPECT_TRUE(setHas(sim(), E + oid)) << oid;
  EXPECT_FALSE(setHas(sim(), E + ".6.3.3.4.5.0"));  // no password was entered
}

TEST_F(WizardTest, RemoveEmptiesTheSlotAndFreesItForAdd) {
  vinesLibrary = VINES_STANDIN;
  ASSERT_NO_FATAL_FAILURE(openAt(kVinesId, "[1,3]", "", true));
  CWzBanyanDlg& page = flow->vinesPage();
  ASSERT_EQ(page.rows(), (std::vector<int>{0, 1}));
  EXPECT_FALSE(page.canAdd());
  EXPECT_EQ(page.editTarget(-1), CWzBanyanDlg::kNoRow);  // Edit with nothing selected does nothing
  ASSERT_TRUE(page.removeService(0));
  EXPECT_EQ(page.rows(), std::vector<int>{1});
  EXPECT_TRUE(page.canAdd());
  EXPECT_EQ(page.slot(0).port, 1);
  ASSERT_TRUE(page.removeService(0));
  EXPECT_FALSE(page.canEdit());
  EXPECT_EQ(page.editTarget(-1), CWzBanyanDlg::kAddRow);  // Edit in an empty list is Add
  ASSERT_TRUE(flow->next().ok());
  EXPECT_NE(flow->finishText().find(R + "\r\nBanyan VINES:\r\nBanyan User Name: " + page.userName() + R),
            std::string::npos)
      << flow->finishText();
  ASSERT_EQ(flow->finish(), 0);
  EXPECT_TRUE(setHas(sim(), E + ".6.3.3.4.4.1.2.1"));
  EXPECT_TRUE(setHas(sim(), E + ".6.3.3.4.4.1.2.2"));
}

struct VinesCheckCase {
  const char* name;
  std::function<void(CWzBanyanDlg&)> edit;
  std::string message;  // of Next; empty: the page is left
  bool passwordSent;
};

TEST_F(WizardTest, VinesPageNextChecksWithTheClient) {
  auto typed = [](std::string password, std::string confirm) {
    return [password, confirm](CWzBanyanDlg& p) {
      p.setPassword(password);
      p.setConfirm(confirm);
    };
  };
  auto service = [](std::string name) {
    return [name](CWzBanyanDlg& p) {
      p.removeService(1);
      CPrintServiceDlg d = p.serviceDialog(CWzBanyanDlg::kAddRow);
      d.setName(name);
      p.applyService(CWzBanyanDlg::kAddRow, d);
    };
  };
  const std::vector<VinesCheckCase> cases = {
      {"password confirmed", typed("s3cret", "s3cret"), "", true},
      {"confirmation differs", typed("s3cret", "s3cred"), kTextPasswordMismatch, false},
      {"password refused by VINES", typed("wrong", "wrong"), "The password is incorrect for {user} (vnserr=1010).  Modify?",
       false},
      {"unknown user", [](CWzBanyanDlg& p) { p.setUserName("Nobody@Lab@Org"); },
       "The StreetTalk name Nobody@Lab@Org does not exist (vnserr=1003).  Modify name?", false},
      {"malformed user", [](CWzBanyanDlg& p) { p.setUserName("Admin@Lab"); }, vines::kTextInvalidName, false},
      {"unknown print service", service("Nobody@Lab@Org"),
       "The StreetTalk name Nobody@Lab@Org does not exist (vnserr=1003).  Modify name?", false},
  };
  for (const VinesCheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    vinesLibrary = VINES_STANDIN;
    ASSERT_NO_FATAL_FAILURE(openAt(kVinesId, "[1,3]", kVinesPassword, true));
    CWzBanyanDlg& page = flow->vinesPage();
    c.edit(page);
    std::string expected = c.message;
    if (const std::size_t at = expected.find("{user}"); at != std::string::npos)
      expected.replace(at, 6, page.userName());
    const PageCheck check = flow->next();
    EXPECT_EQ(check.message, expected);
    if (!check.ok()) {
      EXPECT_EQ(flow->currentId(), kVinesId);
      EXPECT_EQ(CWzBanyanDlg::isMismatchQuestion(check), c.message == kTextPasswordMismatch);
      if (!CWzBanyanDlg::isMismatchQuestion(check)) continue;
      // No to "try again?": the password is dropped and the page may be left.
      EXPECT_STREQ(page.dropPassword(), kTextPasswordNotSet);
      ASSERT_TRUE(flow->next().ok());
    }
    EXPECT_EQ(flow->finishText().find("Password: Has been modified") != std::string::npos, c.passwordSent);
    ASSERT_EQ(flow->finish(), 0);
    EXPECT_EQ(setHas(sim(), E + ".6.3.3.4.5.0"), c.passwordSent);
  }
}

}  // namespace
