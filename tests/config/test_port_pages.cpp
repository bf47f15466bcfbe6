// The Output Port, Token Ring and EtherTalk pages against simulated units: what each reads and
// offers, what a save sends (the simulator's request log), and the checks that refuse input.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/progress_headless.h"
#include "config/byte_text.h"
#include "config/config_sheet.h"
#include "config/ethertalk_page.h"
#include "config/output_port_page.h"
#include "config/port_pages.h"
#include "config/serial_dialogs.h"
#include "config/token_ring_page.h"
#include "config/unit_sim.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "support/unit_target_test.h"

using namespace config;
using unitsim::UnitSim;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

std::string ports(const std::vector<std::string>& names) {
  std::string s = "\"ports\":[";
  for (std::size_t i = 0; i < names.size(); ++i) s += (i ? ",{\"name\":\"" : "{\"name\":\"") + names[i] + "\"}";
  return s + "]";
}

std::string intVar(const std::string& oid, long value) {
  return "{\"oid\":\"" + oid + "\",\"type\":\"int\",\"value\":" + std::to_string(value) + "}";
}

// SET requests as "OID=value" lists, for readable failures.
std::vector<std::vector<std::string>> flat(const std::vector<std::vector<unitsim::Binding>>& sets) {
  std::vector<std::vector<std::string>> out;
  for (const auto& r : sets) {
    std::vector<std::string> one;
    for (const auto& b : r) one.push_back(b.oid.substr(b.oid.rfind(E) == 0 ? E.size() : 0) + "=" + b.value);
    out.push_back(one);
  }
  return out;
}

std::vector<std::int32_t> values(const std::vector<Choice>& list) {
  std::vector<std::int32_t> v;
  for (const Choice& c : list) v.push_back(c.value);
  return v;
}

class PortPagesTest : public UnitTargetTest {
 protected:
  std::unique_ptr<snmpaccess::CSnmpSession> session() {
    int rc = 0;
    auto s = std::make_unique<snmpaccess::CSnmpSession>(&target, rc);
    EXPECT_EQ(rc, 0);
    return s;
  }

  std::unique_ptr<CConfigPropSheet> sheet() {
    SheetServices s;
    s.report = [this](std::uint32_t text, int, int code, int) { reported.push_back(text * 100000u + code); };
    s.pause = [](int) { return true; };
    s.identify = [](snmpaccess::SnmpTarget&, int) { return 0; };
    auto sheet = std::make_unique<CConfigPropSheet>(std::move(s));
    installPortPages(*sheet, E);
    return sheet;
  }

  std::vector<std::uint32_t> reported;
};

// ---------------------------------------------------------------------------------------------
// Output Port page

TEST_F(PortPagesTest, OutputPortReadsEachKindOfUnit) {
  struct Case {
    const char* name;
    std::string unit;
    int port;
    int selected, count;
    std::string portName;
    std::int32_t outputType;
    std::vector<std::int32_t> offered;
    bool portChoice, pjlShown, pjl, serialSettings;
    std::vector<std::int32_t> modes;
  } cases[] = {
      {"one parallel port at level 8", ports({"LPT1"}), 0, 0, 1, "LPT1", kTypeEcp,
       {kTypeEcp, kTypeStdNibble, kTypeCompatibility}, false, false, false, false, {1, 2, 3, 4, 5}},
      {"six ports, the fifth (serial) preselected", ports({"LPT1", "LPT2", "LPT3", "LPT4", "COM1", "COM2"}), 4, 4, 6,
       "COM1", kTypeSerialOutput, {kTypeSerialOutput}, true, true, true, true, {1, 2, 3, 4, 5}},
      {"a port beyond the count selects the first", ports({"LPT1", "LPT2"}), 7, 0, 2, "LPT1", kTypeEcp,
       {kTypeEcp, kTypeStdNibble, kTypeCompatibility}, true, false, false, false, {1, 2, 3, 4, 5}},
      {"serial port at level 5 reports its speed", ports({"COM1"}) + R"(,"mib_level":5)", 0, 0, 1, "COM1", 4,
       {1, 2, 3, 4, 5}, false, true, true, false, {1, 2, 3, 4, 5}},
      {"level 1: four modes, no feature word", ports({"LPT1", "COM1"}) + R"(,"mib_level":1)", 1, 1, 2, "COM1", 4,
       {1, 2, 3, 4, kTypeRavelport}, true, false, false, false, {1, 2, 3, 4}},
  };
  for (const auto& c : cases) {
    UnitSim sim(c.unit);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    auto s = session();
    COutputPortPage page(E);
    ASSERT_EQ(page.Read(*s, c.port), 0) << c.name;
    page.open();
    EXPECT_EQ(page.selectedPort(), c.selected) << c.name;
    EXPECT_EQ(page.portCount(), c.count) << c.name;
    EXPECT_EQ(page.name, c.portName) << c.name;
    EXPECT_EQ(page.outputType, c.outputType) << c.name;
    EXPECT_EQ(values(page.outputTypes), c.offered) << c.name;
    EXPECT_EQ(values(page.modes), c.modes) << c.name;
    const OutputPortControls k = page.controls();
    EXPECT_EQ(k.portChoice, c.portChoice) << c.name;
    EXPECT_EQ(k.pjl, c.pjlShown) << c.name;
    EXPECT_EQ(page.pjl, c.pjl) << c.name;
    EXPECT_EQ(k.serialSettings, c.serialSettings) << c.name;
    EXPECT_EQ(page.sequence1, "\\x1BE") << c.name;
  }
}

TEST_F(PortPagesTest, SwitchSequencesFollowModeAndPrinterType) {
  UnitSim sim(ports({"LPT1"}) + R"(,"mib_level":1)");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto s = session();
  COutputPortPage page(E);
  ASSERT_EQ(page.Read(*s, 0), 0);
  page.open();
  struct Case {
    const char* name;
    std::int32_t mode, printer;
    bool seq1, seq2, printerEnabled;
  } cases[] = {
      {"automatic, no specific printer: both", 4, kNoSpecificPrinter, true, true, true},
      {"PCL, no specific printer: PCL only", 2, kNoSpecificPrinter, true, false, true},
      {"PostScript, no specific printer: PostScript only", 3, kNoSpecificPrinter, false, true, true},
      {"automatic, a known printer: none", 4, 2, false, false, true},
      {"off: none, printer type disabled", 1, kNoSpecificPrinter, false, false, false},
  };
  for (const auto& c : cases) {
    page.setPrinterType(c.printer);
    page.setMode(c.mode);
    const OutputPortControls k = page.controls();
    EXPECT_EQ(k.sequence1Enabled, c.seq1) << c.name;
    EXPECT_EQ(k.sequence2Enabled, c.seq2) << c.name;
    EXPECT_EQ(k.printerTypeEnabled, c.printerEnabled) << c.name;
    EXPECT_FALSE(k.prePostLabels) << c.name;
  }
}

TEST_F(PortPagesTest, OutputPortSaveSendsExactlyTheChangedBindings) {
  const std::string serialBidi = ports({"COM1"}) + R"(,"variables":[)" + intVar(".6.2.3.2.1.12.1", 32759) + "," +
                                 intVar(".6.2.3.2.1.17.1", 0x0A0001FF) + "," + intVar(".6.2.3.2.1.22.1", 9) + "," +
                                 intVar(".6.2.3.2.1.18.1", 3) + "]";
  struct Case {
    const char* name;
    std::string unit;
    std::function<void(COutputPortPage&)> edit;
    std::vector<std::vector<std::string>> sets;
  } cases[] = {
      {"opened without a change: nothing", ports({"LPT1", "LPT2"}), [](COutputPortPage&) {}, {}},
      {"the second port's name alone", ports({"LPT1", "LPT2"}),
       [](COutputPortPage& p) {
         ASSERT_TRUE(p.selectPort(1).ok());
         p.name = "REPORTS";
       },
       {{".6.2.3.2.1.2.2=5245504F525453"}}},
      {"names on two ports in one request", ports({"LPT1", "LPT2"}),
       [](COutputPortPage& p) {
         p.name = "A";
         ASSERT_TRUE(p.selectPort(1).ok());
         p.name = "B";
       },
       {{".6.2.3.2.1.2.1=41"}, {".6.2.3.2.1.2.2=42"}}},
      {"a bidirectional serial port unchanged: nothing", serialBidi,
       [](COutputPortPage& p) { EXPECT_EQ(p.outputType, kTypeSerialOutput); }, {}},
      {"bidirectional data off: 32760, PJL unticked, speed moved down", serialBidi,
       [](COutputPortPage& p) {
         ASSERT_TRUE(p.bidirectional);
         ASSERT_TRUE(p.pjl);
         CSerialPortSettingsDlg d = p.serialPortDialog();
         EXPECT_EQ(d.title(), "Serial Output Port Settings");
         EXPECT_EQ(d.speed, 9);
         EXPECT_EQ(d.changeBidirectional(false), "");
         p.takeSerialPortDialog(d);
       },
       {{".6.2.3.2.1.12.1=32760", ".6.2.3.2.1.14.1=1", ".6.2.3.2.1.22.1=4"}}},
      {"pre/post strings with control bytes", ports({"LPT1"}),
       [](COutputPortPage& p) {
         p.setMode(kModePrePost);
         EXPECT_TRUE(p.controls().prePostLabels);
         p.sequence1 = "\\x1B%-12345X";
         p.sequence2 = "\\x0D\\x0A\\x00";
       },
       {{".6.2.3.2.1.7.1=5", ".6.2.3.2.1.9.1=1B252D3132333435 58", ".6.2.3.2.1.10.1=0D0A00"}}},
      {"a printer type the list lacks is not written back",
       ports({"LPT1"}) + R"(,"variables":[)" + intVar(".6.2.4.0", 0x1FFFF | 0x40000) + "," +
           intVar(".6.2.3.2.1.6.1", 1) + "]",
       [](COutputPortPage& p) {
         EXPECT_EQ(p.printerType, kNoSpecificPrinter);
         EXPECT_EQ(values(p.printerTypes), (std::vector<std::int32_t>{2, 3, 4}));
       },
       {}},
  };
  for (auto& c : cases) {
    for (auto& r : c.sets)
      for (auto& b : r) b.erase(std::remove(b.begin(), b.end(), ' '), b.end());
    UnitSim sim(c.unit);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    auto s = session();
    COutputPortPage page(E);
    ASSERT_EQ(page.Read(*s, 0), 0) << c.name;
    page.open();
    c.edit(page);
    EXPECT_EQ(page.Save(*s), 0) << c.name;
    EXPECT_EQ(flat(sim.sets()), c.sets) << c.name;
  }
}

// ---------------------------------------------------------------------------------------------
// Token Ring and EtherTalk

TEST_F(PortPagesTest, TokenRingReadsAndSavesWhatChanged) {
  struct Case {
    const char* name;
    std::string unit;
    std::function<void(CTokenRingPage&)> edit;
    std::vector<std::vector<std::string>> sets;
  } cases[] = {
      {"unchanged", R"("token_ring":true)", [](CTokenRingPage& p) {
         EXPECT_EQ(p.priority, 3);
         EXPECT_TRUE(p.enable);
         EXPECT_EQ(p.address, "400000000001");
         EXPECT_TRUE(p.controls().earlyRelease);
         EXPECT_TRUE(p.controls().address);
       }, {}},
      {"priority", R"("token_ring":true)", [](CTokenRingPage& p) { p.priority = 6; }, {{".5.3.1.0=6"}}},
      {"address switched off", R"("token_ring":true)", [](CTokenRingPage& p) { p.enable = false; },
       {{".5.3.5.0=000000000000"}}},
      {"a 4 Mbit/s ring without an address",
       R"("token_ring":true,"if_speed":4000000,"variables":[{"oid":".5.3.5.0","type":"hex","value":"000000000000"}])",
       [](CTokenRingPage& p) {
         EXPECT_FALSE(p.enable);
         EXPECT_FALSE(p.controls().address);
         EXPECT_FALSE(p.controls().earlyRelease);
       },
       {}},
  };
  for (const auto& c : cases) {
    UnitSim sim(c.unit);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    auto s = session();
    CTokenRingPage page(E);
    ASSERT_EQ(page.Read(*s), 0) << c.name;
    page.open();
    c.edit(page);
    EXPECT_EQ(page.Save(*s), 0) << c.name;
    EXPECT_EQ(flat(sim.sets()), c.sets) << c.name;
  }
}

TEST_F(PortPagesTest, EtherTalkSavesThePortsThatChanged) {
  UnitSim sim(ports({"LPT1", "LPT2"}) + R"(,"name":"LAB")");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto s = session();
  CEtherTalkPage page(E);
  ASSERT_EQ(page.Read(*s, 1), 0);
  page.open();
  EXPECT_EQ(page.selectedPort(), 1);
  EXPECT_EQ(page.name, "LAB-2");
  EXPECT_EQ(page.zone, "*");
  EXPECT_TRUE(page.controls().portChoice);
  page.name = "Reports";
  ASSERT_TRUE(page.selectPort(0).ok());
  EXPECT_EQ(page.name, "LAB");
  page.enabled = false;
  EXPECT_FALSE(page.controls().fields);
  EXPECT_EQ(page.Save(*s), 0);
  EXPECT_EQ(flat(sim.sets()), (std::vector<std::vector<std::string>>{{".6.3.5.4.4.1.2.1=1"},
                                                                     {".6.3.5.4.4.1.3.2=5265706F727473"}}));
}

// ---------------------------------------------------------------------------------------------
// The sheet: which pages exist, and checks that refuse with nothing sent

TEST_F(PortPagesTest, SheetAddsThePortPagesTheUnitHas) {
  struct Case {
    const char* name;
    std::string unit;
    std::vector<std::string> titles;
  } cases[] = {
      {"Ethernet, TCP/IP only", R"("protocols":[1])", {"TCP/IP", "Output Port", "SNMP", "Protocols", "SNMP Traps"}},
      {"Token Ring with EtherTalk", R"("protocols":[1,5],"token_ring":true)",
       {"TCP/IP", "EtherTalk", "Output Port", "SNMP", "Protocols", "Token Ring", "SNMP Traps"}},
      {"no output ports", R"("protocols":[1],"ports":0)", {"TCP/IP", "SNMP", "Protocols", "SNMP Traps"}},
  };
  for (const auto& c : cases) {
    UnitSim sim(c.unit);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    auto sh = sheet();
    ASSERT_EQ(sh->Start(target, 0), 0) << c.name;
    std::vector<std::string> titles;
    for (CDevicePage* p : sh->pages()) titles.push_back(p->title());
    EXPECT_EQ(titles, c.titles) << c.name;
    EXPECT_TRUE(reported.empty()) << c.name;
  }
}

TEST_F(PortPagesTest, ChecksRefuseWithThePagesMessageAndSendNothing) {
  UnitSim sim(R"("protocols":[1,5],"token_ring":true,"ports":[{"name":"LPT1"}])");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  struct Case {
    const char* name;
    PageSlot slot;
    std::function<void(CDevicePage&)> edit;
    std::string message, field;
  } cases[] = {
      {"port name too long", PageSlot::OutputPort,
       [](CDevicePage& p) { static_cast<COutputPortPage&>(p).name = std::string(16, 'P'); },
       "The port name takes at most 15 characters.", "name"},
      {"a broken byte escape", PageSlot::OutputPort,
       [](CDevicePage& p) { static_cast<COutputPortPage&>(p).sequence1 = "\\x1"; },
       "Write a byte that is not a printable character as \\xHH (two hexadecimal digits), and a backslash as \\\\.",
       "sequence1"},
      {"a sequence over 127 bytes", PageSlot::OutputPort,
       [](CDevicePage& p) { static_cast<COutputPortPage&>(p).sequence2 = std::string(128, 'x'); },
       "A switch sequence takes at most 127 bytes.", "sequence2"},
      {"ring address not hexadecimal", PageSlot::TokenRing,
       [](CDevicePage& p) { static_cast<CTokenRingPage&>(p).address = "40000000000G"; }, kTextInvalidNetworkAddress,
       "address"},
      {"ring address too short", PageSlot::TokenRing,
       [](CDevicePage& p) { static_cast<CTokenRingPage&>(p).address = "4000"; }, kTextInvalidNetworkAddress, "address"},
      {"AppleTalk name empty", PageSlot::EtherTalk, [](CDevicePage& p) { static_cast<CEtherTalkPage&>(p).name = ""; },
       "You must enter at least one character in the Name field.", "name"},
      {"AppleTalk name with @", PageSlot::EtherTalk,
       [](CDevicePage& p) { static_cast<CEtherTalkPage&>(p).name = "a@b"; }, kTextInvalidNameCharacters, "name"},
      {"AppleTalk type 1 empty", PageSlot::EtherTalk,
       [](CDevicePage& p) { static_cast<CEtherTalkPage&>(p).type1 = ""; },
       "You must enter at least one character in the Type 1 field.", "type1"},
      {"AppleTalk zone a*b", PageSlot::EtherTalk, [](CDevicePage& p) { static_cast<CEtherTalkPage&>(p).zone = "a*b"; },
       kTextInvalidNameCharacters, "zone"},
      {"AppleTalk zone empty", PageSlot::EtherTalk, [](CDevicePage& p) { static_cast<CEtherTalkPage&>(p).zone = ""; },
       "You must enter at least one character in the Zone field.", "zone"},
  };
  for (const auto& c : cases) {
    auto sh = sheet();
    ASSERT_EQ(sh->Start(target, 0), 0) << c.name;
    CDevicePage* page = sh->page(c.slot);
    ASSERT_TRUE(page) << c.name;
    page->open();
    c.edit(*page);
    PageCheck seen;
    const OkOutcome outcome =
        sh->ok(page, [](const std::string&) { return true; }, [&](CDevicePage&, const PageCheck& k) { seen = k; });
    EXPECT_EQ(outcome, OkOutcome::Refused) << c.name;
    EXPECT_EQ(seen.message, c.message) << c.name;
    EXPECT_EQ(seen.field, c.field) << c.name;
  }
  EXPECT_TRUE(sim.sets().empty());
}

// ---------------------------------------------------------------------------------------------
// Rules without a unit

TEST(PortPageRules, EtherTalkZoneStarAndTypingFilter) {
  struct Case {
    const char* name;
    std::string current;
    char typed;
    bool replacesAll, zone, accepted;
  } cases[] = {
      {"plain letter", "Lab", 'x', false, false, true},
      {"@ refused", "Lab", '@', false, false, false},
      {"* in a name refused even over everything", "Lab", '*', true, false, false},
      {"* replacing the whole zone", "Lab", '*', true, true, true},
      {"* added to a zone", "Lab", '*', false, true, false},
      {"typing after a * only replaces it", "*", 'a', false, true, false},
      {"replacing the * with a letter", "*", 'a', true, true, true},
      {"space passes", "Lab", ' ', false, false, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CEtherTalkPage::typingAccepted(c.current, c.typed, c.replacesAll, c.zone), c.accepted) << c.name;
}

TEST(PortPageRules, SerialPortSettingsBidirectionalSwitch) {
  struct Case {
    const char* name;
    std::uint32_t features;
    bool bidi;
    std::int32_t speed, flow;
    bool turnOn;
    std::int32_t speedAfter, flowAfter;
    bool message;
    std::string focus;
  } cases[] = {
      {"115200 cannot move to a bidirectional speed", 0x1FF, false, 5, 1, true, 6, 3, true, "speed"},
      {"57600 moves up by five", 0x1FF, false, 4, 3, true, 9, 3, false, ""},
      {"XON/XOFF is not a bidirectional flow control", 0x1FF, false, 2, 4, true, 7, 3, true, "flow"},
      {"switched off: speed moves down, DTR/DSR stays", 0x1FF, true, 8, 3, false, 3, 3, false, ""},
  };
  for (const auto& c : cases) {
    SerialValues v;
    v.speed = c.speed;
    v.flow = c.flow;
    CSerialPortSettingsDlg d(c.features, false, c.bidi, v);
    std::string focus;
    const std::string m = d.changeBidirectional(c.turnOn, &focus);
    EXPECT_EQ(!m.empty(), c.message) << c.name;
    if (c.message) {
      EXPECT_EQ(m, kTextSerialIncompatible) << c.name;
      EXPECT_EQ(focus, c.focus) << c.name;
    }
    EXPECT_EQ(d.speed, c.speedAfter) << c.name;
    EXPECT_EQ(d.flow, c.flowAfter) << c.name;
  }
}

TEST(PortPageRules, SerialPortSettingsOffersWhatThePortHas) {
  SerialValues v;
  v.speed = 3;
  CSerialPortSettingsDlg none(0x0F, true, false, v);
  EXPECT_EQ(none.title(), "Serial Input Port Settings");
  EXPECT_EQ(values(none.bidirectionalChoices), (std::vector<std::int32_t>{0}));
  EXPECT_EQ(values(none.speeds), (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(values(none.flows), (std::vector<std::int32_t>{1, 2, 4, 3}));
  v.parity = 9;  // not in the list: the first entry
  CSerialPortSettingsDlg odd(0x0F, false, false, v);
  EXPECT_EQ(odd.parity, 1);
}

TEST(PortPageRules, SerialSettingsModbusRanges) {
  struct Case {
    const char* name;
    std::string delay, charTimeout, messageTimeout, slave;
    bool autoSlave;
    std::string message, field;
  } cases[] = {
      {"all in range", "100", "10", "30000", "247", true, "", ""},
      {"delay below", "99", "10", "10", "1", true, "The value for Initial Delay must be between 100 and 4000.",
       "initialDelay"},
      {"character timeout above", "4000", "3001", "10", "1", true,
       "The value for Character Timeout must be between 10 and 3000.", "charTimeout"},
      {"message timeout not a number", "100", "10", "1x", "1", true,
       "The value for Message Timeout must be between 10 and 30000.", "messageTimeout"},
      {"slave ID 0 with the slave ID field on", "100", "10", "10", "0", true,
       "The value for Slave ID must be between 1 and 247.", "slaveId"},
      {"slave ID ignored while its field is off", "100", "10", "10", "0", false, "", ""},
      {"an empty field keeps its value", "", "10", "10", "5", true, "", ""},
  };
  for (const auto& c : cases) {
    SerialValues v;
    v.modbus = 1;
    v.initialDelay = 500;
    CSerialSettingsDlg d(v);
    d.initialDelay = c.delay;
    d.charTimeout = c.charTimeout;
    d.messageTimeout = c.messageTimeout;
    d.slaveId = c.slave;
    d.autoSlaveId = c.autoSlave;
    const SerialCheck r = d.check();
    EXPECT_EQ(r.message, c.message) << c.name;
    EXPECT_EQ(r.field, c.field) << c.name;
    if (r.ok()) {
      SerialValues out = v;
      d.apply(out);
      EXPECT_EQ(out.slaveId, c.autoSlave ? std::stoi(c.slave) : 0) << c.name;
      EXPECT_EQ(out.initialDelay, c.delay.empty() ? 500 : std::stoi(c.delay)) << c.name;
    }
  }
}

TEST(PortPageRules, SerialSettingsModeAndDuplex) {
  struct Case {
    std::int32_t stored;
    std::int32_t mode;
    bool full;
  } cases[] = {{0, 0, false}, {1, 1, false}, {2, 2, false}, {3, 4, true}, {4, 4, false}};
  for (const auto& c : cases) {
    SerialValues v;
    v.mode = c.stored;
    CSerialSettingsDlg d(v);
    EXPECT_EQ(d.mode, c.mode) << c.stored;
    EXPECT_EQ(d.fullDuplex, c.full) << c.stored;
    EXPECT_EQ(d.duplexEnabled(), c.mode == 4) << c.stored;
    SerialValues out;
    d.apply(out);
    EXPECT_EQ(out.mode, c.stored) << c.stored;
  }
  // Modbus off: its values keep what they were.
  SerialValues v;
  v.modbus = 0;
  v.messageTimeout = 1234;
  CSerialSettingsDlg d(v);
  d.messageTimeout = "99999";
  ASSERT_TRUE(d.check().ok());
  d.apply(v);
  EXPECT_EQ(v.messageTimeout, 1234);
}

TEST(PortPageRules, ByteTextRoundTrip) {
  struct Case {
    const char* name;
    std::string bytes, text;
  } cases[] = {
      {"printable", "abc", "abc"},
      {"escape byte", "\x1B" "E", "\\x1BE"},
      {"NUL, CR, LF", std::string("\0\r\n", 3), "\\x00\\x0D\\x0A"},
      {"backslash doubled", "a\\b", "a\\\\b"},
      {"high byte", "\xFF", "\\xFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bytesToEditText(c.bytes), c.text) << c.name;
    EXPECT_EQ(editTextToBytes(c.text), c.bytes) << c.name;
  }
  for (const char* bad : {"\\", "\\x", "\\x1", "\\xG0", "\\n", "ab\\"})
    EXPECT_EQ(editTextToBytes(bad), std::nullopt) << bad;
  EXPECT_EQ(editTextToBytes("\\x1b"), std::string("\x1B"));
}

}  // namespace
