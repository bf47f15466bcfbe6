// The sheet against one simulated unit: what it reads, which pages it adds, and what reaches the
// wire when OK is pressed (the simulator's request log is the oracle).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include <memory>
#include <string>
#include <vector>

#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "access/result_codes.h"
#include "access/test_mib_group_sim.h"
#include "config/config_sheet.h"
#include "config/config_texts.h"
#include "config/port_traps_page.h"
#include "config/snmp_traps_page.h"
#include "platform/net_config.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "support/unit_target_test.h"

using namespace config;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

struct Reported {
  std::uint32_t text;
  int code;
};

class SheetTest : public UnitTargetTest {
 protected:
  std::unique_ptr<CConfigPropSheet> makeSheet() {
    SheetServices s;
    s.report = [this](std::uint32_t text, int, int code, int) { reported.push_back({text, code}); };
    s.pause = [this](int ms) {
      pauses.push_back(ms);
      return true;
    };
    s.identify = [this](snmpaccess::SnmpTarget& t, int) {
      identified.push_back(t.address);
      return 0;
    };
    return std::make_unique<CConfigPropSheet>(std::move(s));
  }

  static bool confirmYes(const std::string&) { return true; }

  // SET requests in the log: each as its list of OIDs.

  std::vector<Reported> reported;
  std::vector<int> pauses;
  std::vector<std::string> identified;
};

const std::string kResetOid = E + ".2.2.0";
// The unit's own address as its TCP/IP group reports it, and a VINES enable the user may write.
const std::string kOwnAddress =
    R"({"oid":".6.3.1.4.1.0","type":"ip","value":"127.0.1.1"},{"oid":".6.3.3.2.0","type":"int","value":2})";

TEST_F(SheetTest, ReadAddsThePagesOfTheInstalledProtocols) {
  simproc::Sim sim(8);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  std::vector<std::string> titles;
  for (CDevicePage* p : sheet->pages()) titles.push_back(p->title());
  EXPECT_EQ(titles, (std::vector<std::string>{"TCP/IP", "Wireless", "SNMP", "Protocols", "SNMP Traps"}));
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(progress.percent(), 100);
  EXPECT_EQ(sheet->tcpIpPage().level(), 8);
}

TEST_F(SheetTest, ProtocolSixSaysNeedsUpdatingOnceAndTheSheetStillOpens) {
  simproc::Sim sim(8, "",
                   R"({"oid":".1.15.2.1.2.5","type":"int","value":6,"writable":false},)"
                   R"({"oid":".1.15.2.1.2.6","type":"int","value":6,"writable":false},)"
                   R"({"oid":".6.3.6.2.0","type":"int","value":2})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].text, texts::kNeedsUpdating);
  EXPECT_EQ(sheet->unsupportedCount(), 2);
  EXPECT_FALSE(sheet->pages().empty());
}

TEST_F(SheetTest, ProtocolSixWithoutAnEnableSwitchStillOpensTheSheet) {
  simproc::Sim sim(8, "", R"({"oid":".1.15.2.1.2.6","type":"int","value":6,"writable":false})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].text, texts::kNeedsUpdating);
  sheet->protocolsPage().open();
  std::vector<std::int32_t> offered;
  for (const auto& item : sheet->protocolsPage().items) offered.push_back(item.data);
  EXPECT_EQ(offered, (std::vector<std::int32_t>{1, 2, 3, 4, 5, kItemJetAdmin}));
}

TEST_F(SheetTest, WhatOkSendsForEachEdit) {
  struct Case {
    const char* name;
    std::function<void(CConfigPropSheet&)> edit;
    std::vector<std::vector<std::string>> sets;  // before the reset
    std::string address;                         // re-identified at
  } cases[] = {
      {"no change: only the reset", [](CConfigPropSheet&) {}, {}, "127.0.1.1"},
      {"pages never opened write nothing", [](CConfigPropSheet& s) { s.tcpIpPage().gateway = "127.0.0.9"; }, {},
       "127.0.1.1"},
      {"the default gateway alone: one binding",
       [](CConfigPropSheet& s) {
         s.tcpIpPage().open();
         s.tcpIpPage().gateway = "127.0.0.9";
       },
       {{E + ".6.3.1.4.2.0"}}, "127.0.1.1"},
      {"gateway and system name: one SET per group",
       [](CConfigPropSheet& s) {
         s.tcpIpPage().open();
         s.tcpIpPage().gateway = "127.0.0.9";
         s.snmpPage().open();
         s.snmpPage().sysName = "lab-printer";
         s.snmpPage().getVerify = s.snmpPage().getCommunity;
         s.snmpPage().setVerify = s.snmpPage().setCommunity;
       },
       {{E + ".6.3.1.4.2.0"}, {"1.3.6.1.2.1.1.5.0"}}, "127.0.1.1"},
      {"a new IP address moves the unit",
       [](CConfigPropSheet& s) {
         s.tcpIpPage().open();
         s.tcpIpPage().address = "127.0.1.77";
       },
       {{E + ".6.3.1.4.1.0"}}, "127.0.1.77"},
      {"the traps page opened without a change",
       [](CConfigPropSheet& s) { s.page(PageSlot::Traps)->open(); }, {}, "127.0.1.1"},
      {"a trap destination replaced: the freed slot is reused",
       [](CConfigPropSheet& s) {
         auto* traps = dynamic_cast<CSnmpTrapsPage*>(s.page(PageSlot::Traps));
         ASSERT_TRUE(traps);
         traps->open();
         ASSERT_EQ(traps->destinations.size(), 2u);
         EXPECT_FALSE(traps->addEnabled());
         EXPECT_EQ(traps->canAdd().message, maximumDestinationsText(2));
         traps->selectDestination(0);
         traps->remove();
         EXPECT_TRUE(traps->add({"127.0.0.50", ""}).ok());
         EXPECT_EQ(traps->currentSlot(), 0);
       },
       {{E + ".6.3.1.4.10.1.2.1", E + ".6.3.1.4.10.1.4.1", E + ".6.3.1.4.10.1.5.1"}}, "127.0.1.1"},
      {"a protocol switched off",
       [](CConfigPropSheet& s) {
         s.protocolsPage().open();
         ASSERT_TRUE(s.protocolsPage().setChecked(3, false));
       },
       {{E + ".6.3.3.2.0"}}, "127.0.1.1"},
  };
  for (const auto& c : cases) {
    simproc::Sim sim(8, "", kOwnAddress);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    target.setAddress("127.0.1.1");
    identified.clear();
    auto sheet = makeSheet();
    ASSERT_EQ(sheet->Start(target, 0), 0) << c.name;
    const std::size_t before = sets(sim).size();
    c.edit(*sheet);
    EXPECT_EQ(sheet->ok(nullptr, confirmYes, nullptr), OkOutcome::Saved) << c.name;
    for (const auto& r : reported) ADD_FAILURE() << c.name << ": reported " << r.text << " code " << r.code;
    reported.clear();
    auto after = sets(sim);
    after.erase(after.begin(), after.begin() + static_cast<long>(before));
    auto expected = c.sets;
    expected.push_back({kResetOid});
    EXPECT_EQ(after, expected) << c.name;
    EXPECT_EQ(identified, std::vector<std::string>{c.address}) << c.name;
    EXPECT_STREQ(target.address, c.address.c_str()) << c.name;
  }
}

TEST_F(SheetTest, InvalidInputSendsNothing) {
  struct Case {
    const char* name;
    std::function<CDevicePage*(CConfigPropSheet&)> edit;
    std::string field;
  } cases[] = {
      {"malformed gateway",
       [](CConfigPropSheet& s) -> CDevicePage* {
         s.tcpIpPage().open();
         s.tcpIpPage().gateway = "10.1.2";
         return &s.tcpIpPage();
       },
       "gateway"},
      {"reserved IP address",
       [](CConfigPropSheet& s) -> CDevicePage* {
         s.tcpIpPage().open();
         s.tcpIpPage().address = "255.255.255.255";
         return &s.tcpIpPage();
       },
       "address"},
      {"empty system name",
       [](CConfigPropSheet& s) -> CDevicePage* {
         s.snmpPage().open();
         s.snmpPage().sysName.clear();
         return &s.snmpPage();
       },
       "sysName"},
  };
  simproc::Sim sim(8);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  for (const auto& c : cases) {
    auto sheet = makeSheet();
    ASSERT_EQ(sheet->Start(target, 0), 0) << c.name;
    CDevicePage* page = c.edit(*sheet);
    std::string refusedField;
    bool asked = false;
    EXPECT_EQ(sheet->ok(page, [&](const std::string&) { return asked = true; },
                        [&](CDevicePage&, const PageCheck& check) { refusedField = check.field; }),
              OkOutcome::Refused)
        << c.name;
    EXPECT_FALSE(asked) << c.name;
    EXPECT_EQ(refusedField, c.field) << c.name;
  }
  EXPECT_TRUE(sets(sim).empty());
}

TEST_F(SheetTest, ResetIsWrittenEvenWhenTheUnitReadsTwo) {
  simproc::Sim sim(8, "", R"({"oid":".2.2.0","type":"int","value":2})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  EXPECT_EQ(sheet->ok(nullptr, confirmYes, nullptr), OkOutcome::Saved);
  EXPECT_EQ(sets(sim), (std::vector<std::vector<std::string>>{{kResetOid}}));
}

TEST_F(SheetTest, AUnitThatStopsAnsweringKeepsEveryEdit) {
  auto sim = std::make_unique<simproc::Sim>(8);
  ASSERT_TRUE(sim->ready()) << sim->errors();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  sheet->tcpIpPage().open();
  sheet->tcpIpPage().gateway = "127.0.0.9";
  sim.reset();
  EXPECT_EQ(sheet->ok(nullptr, confirmYes, nullptr), OkOutcome::SaveFailed);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].text, texts::kSaveTcpIp);
  EXPECT_EQ(reported[0].code, snmpaccess::result::kNoReply);
  EXPECT_EQ(sheet->tcpIpPage().gateway, "127.0.0.9");
  EXPECT_STREQ(target.address, "127.0.1.1");
  EXPECT_TRUE(identified.empty());
}

TEST_F(SheetTest, DeclinedConfirmationSendsNothing) {
  simproc::Sim sim(8);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  sheet->tcpIpPage().open();
  sheet->tcpIpPage().gateway = "127.0.0.9";
  std::string question;
  EXPECT_EQ(sheet->ok(&sheet->tcpIpPage(), [&](const std::string& q) { question = q; return false; }, nullptr),
            OkOutcome::NotConfirmed);
  EXPECT_EQ(question, "Save changes and reset server?");
  EXPECT_TRUE(sets(sim).empty());
}

}  // namespace

namespace {

// net-snmp's snmpget, independent of this program: the value text of one OID, or "" on failure.
std::string independentGet(const std::string& address, const std::string& oid) {
  const std::string command = "MIBS= snmpget -v1 -On -Oqv -t 1 -r 0 -c vorlak udp:" + address + ":" +
                              std::to_string(platform::netConfig().snmpPort) + " " + oid + " 2>/dev/null";
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
    ::pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

TEST_F(SheetTest, AfterTheResetAnIndependentSnmpgetShowsTheNewGateway) {
  ASSERT_EQ(std::system("command -v snmpget >/dev/null"), 0) << "net-snmp's snmpget is needed";
  simproc::Sim sim(8, R"("agent":{"reset_silence_ms":200})", kOwnAddress);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  const std::string gatewayOid = E + ".6.3.1.4.2.0";
  ASSERT_EQ(independentGet("127.0.1.1", gatewayOid), "127.0.0.254");
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  sheet->tcpIpPage().open();
  sheet->tcpIpPage().gateway = "127.0.0.9";
  ASSERT_EQ(sheet->ok(nullptr, confirmYes, nullptr), OkOutcome::Saved);
  std::string seen;
  for (int i = 0; i < 50 && seen != "127.0.0.9"; ++i) {
    seen = independentGet("127.0.1.1", gatewayOid);
    if (seen != "127.0.0.9") std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(seen, "127.0.0.9");
}

}  // namespace

namespace {

TEST_F(SheetTest, RestoreModeWritesOnlyWhatTheFileChanges) {
  simproc::Sim sim(8, "", kOwnAddress);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  const std::string file = (sim.dir() / "unit.cfg").string();
  {
    auto first = makeSheet();
    ASSERT_EQ(first->Start(target, 0), 0);
    ASSERT_EQ(first->saveToFile(file), 0);
  }
  // The backup with another gateway, as a user would edit it.
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  const auto at = text.find("127.0.0.254");
  ASSERT_NE(at, std::string::npos) << text;
  text.replace(at, 11, "127.0.0.9");
  std::ofstream(file, std::ios::binary) << text;

  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  ASSERT_EQ(sheet->restoreFromFile(file), 0);
  EXPECT_EQ(sheet->tcpIpPage().restored(), 1);
  EXPECT_EQ(sheet->ok(nullptr, confirmYes, nullptr), OkOutcome::Saved);
  EXPECT_EQ(sets(sim), (std::vector<std::vector<std::string>>{{E + ".6.3.1.4.2.0"}, {kResetOid}}));
}

}  // namespace

namespace {

TEST_F(SheetTest, AUnitWithoutSupportedTrapsGetsTheSecondForm) {
  simproc::Sim sim(8, "", kOwnAddress + R"(,{"oid":".6.2.5.0","type":"int","value":0,"writable":false})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  auto* second = dynamic_cast<CPortTrapsPage*>(sheet->page(PageSlot::Traps));
  ASSERT_TRUE(second);
  EXPECT_EQ(sheet->pages().back(), second);
  second->open();
  EXPECT_EQ(second->destinations.size(), 2u);
  EXPECT_GT(second->portCount(), 0);
  // Opened and left as read: only the reset is sent.
  EXPECT_EQ(sheet->ok(nullptr, confirmYes, nullptr), OkOutcome::Saved);
  EXPECT_EQ(sets(sim), (std::vector<std::vector<std::string>>{{kResetOid}}));
}

}  // namespace
