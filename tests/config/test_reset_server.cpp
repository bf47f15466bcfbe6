// The "Reset Server" flow against one simulated unit (the request log is the oracle), and the
// "&Reset" and "S&ave Configuration" command entries' branches before any request.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "access/test_mib_group_sim.h"
#include "config/backup_command.h"
#include "config/backup_texts.h"
#include "config/config_texts.h"
#include "config/reset_command.h"
#include "config/reset_server.h"
#include "platform/report_error.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "support/unit_target_test.h"

using namespace config;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

class ResetTest : public UnitTargetTest {
 protected:
  std::unique_ptr<CResetServer> prepared() {
    ResetServices s;
    s.report = [this](std::uint32_t text, int, int code, int) { reported.emplace_back(text, code); };
    s.pause = [this](int ms) {
      pauses.push_back(ms);
      return true;
    };
    s.identify = [this](snmpaccess::SnmpTarget& t, int) {
      identified.push_back(t.address);
      return 0;
    };
    auto r = std::make_unique<CResetServer>(std::move(s));
    EXPECT_EQ(r->prepare(target), 0);
    return r;
  }


  std::vector<std::pair<std::uint32_t, int>> reported;
  std::vector<int> pauses;
  std::vector<std::string> identified;
};

bool yes(std::uint32_t) { return true; }
bool no(std::uint32_t) { return false; }

// The unit lists protocols 1, 2, 3, 4, 5 and 7.
TEST_F(ResetTest, PartsAreOutputPortsThenTheInstalledProtocols) {
  simproc::Sim sim(8);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto r = prepared();
  EXPECT_EQ(r->entries(),
            (std::vector<std::string>{"Output Ports", "TCP/IP", "NetWare", "VINES", "EtherTalk", "Wireless"}))
      << "LAN Manager has no part";
  EXPECT_EQ(r->findEntry("tcp/ip"), 1);
  EXPECT_EQ(r->findEntry("LAN Manager"), -1);
}

TEST_F(ResetTest, TriggersAreWrittenWhateverTheUnitReads) {
  // The unit reads 2 in its triggers: a set-if-changed would send nothing.
  simproc::Sim sim(8, R"("protocols":[1,5],"agent":{"reset_silence_ms":300})",
                   R"({"oid":".2.2.0","type":"int","value":2},{"oid":".2.4.0","type":"int","value":2},)"
                   R"({"oid":".6.3.1.3.1.0","type":"int","value":2})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  struct Case {
    const char* name;
    std::function<ResetOutcome(CResetServer&)> act;
    ResetOutcome outcome;
    std::vector<std::vector<std::string>> sets;
  } cases[] = {
      {"reset", [](CResetServer& r) { return r.reset(yes); }, ResetOutcome::Done, {{E + ".2.2.0"}}},
      {"reset not confirmed", [](CResetServer& r) { return r.reset(no); }, ResetOutcome::NotConfirmed, {}},
      {"one part", [](CResetServer& r) { return r.restore({1}, yes); }, ResetOutcome::Done, {{E + ".6.3.1.3.1.0"}}},
      {"two parts in one SET", [](CResetServer& r) { return r.restore({4, 0}, yes); }, ResetOutcome::Done,
       {{E + ".6.2.2.1.0", E + ".6.3.5.3.1.0"}}},
      {"every part is restore all", [](CResetServer& r) { return r.restore({0, 1, 2, 3, 4, 5, 5}, yes); },
       ResetOutcome::Done, {{E + ".2.4.0"}}},
      {"nothing selected", [](CResetServer& r) { return r.restore({}, yes); }, ResetOutcome::NothingSelected, {}},
      {"restore not confirmed", [](CResetServer& r) { return r.restore({1}, no); }, ResetOutcome::NotConfirmed, {}},
      {"index == count names no part", [](CResetServer& r) { return r.restore({6}, yes); }, ResetOutcome::Failed, {}},
  };
  for (const auto& c : cases) {
    const std::size_t before = sets(sim).size();
    reported.clear();
    identified.clear();
    auto r = prepared();
    EXPECT_EQ(c.act(*r), c.outcome) << c.name;
    const auto all = sets(sim);
    const std::vector<std::vector<std::string>> sent(all.begin() + static_cast<long>(before), all.end());
    EXPECT_EQ(sent, c.sets) << c.name;
    if (c.outcome == ResetOutcome::Done) {
      EXPECT_EQ(identified.size(), 1u) << c.name << ": the unit is asked again after the silence";
      EXPECT_TRUE(r->identified()) << c.name;
    }
    // Each unit restart must be over before the next case reads the unit.
    std::this_thread::sleep_for(std::chrono::milliseconds(c.outcome == ResetOutcome::Done ? 600 : 0));
  }
  EXPECT_EQ(pauses.front(), 3000) << "the wait after a trigger";
}

TEST_F(ResetTest, ASecondTriggerIsNotSentTwice) {
  simproc::Sim sim(8, R"("protocols":[1,5],"agent":{"reset_silence_ms":300})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto r = prepared();
  ASSERT_EQ(r->restoreNow({1}), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  ASSERT_EQ(r->restoreNow({4}), 0);
  const auto all = sets(sim);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[1], (std::vector<std::string>{E + ".6.3.5.3.1.0"})) << "the first part is not restored again";
}

// --- command entries ---

class Host : public ConfigCommandHost {
 public:
  devices::CDevice* selectedDevice() override { return device.get(); }
  int viewTransport() override { return transport; }
  int refreshRow(devices::CDevice& d) override {
    calls.push_back("refresh");
    d.answered = answersOnRefresh;
    return 0;
  }
  std::string selectFamily(const devices::CDevice&) override { return E; }
  bool prepareTarget(const devices::CDevice&, snmpaccess::SnmpTarget& t) override {
    t.setAddress("127.0.1.1");
    t.setGetCommunity("wrong");
    return true;
  }
  snmpaccess::CommunityAsk communityAsk() override {
    return [this](snmpaccess::CommunityQuestion&) {
      calls.push_back("community");
      return snmpaccess::kCommunityCancelled;
    };
  }
  void report(std::uint32_t textId, int) override { reports.push_back(textId); }
  void message(const std::string& text) override { calls.push_back("message " + text); }
  bool assignAddress(devices::CDevice&) override { return false; }
  void postTelnet() override { calls.push_back("telnet"); }
  void runPrintConfigurationSheet() override {}
  SheetServices sheetServices() override { return {}; }
  bool showSheet(CConfigPropSheet&, const std::string&) override { return false; }
  void showProgress(bool) override {}

  std::unique_ptr<devices::CDevice> device;
  int transport = kViewTcpIp;
  bool answersOnRefresh = true;
  std::vector<std::string> calls;
  std::vector<std::uint32_t> reports;
};

class Ui : public ResetUi {
 public:
  void showDialog(CResetServer&) override { calls.push_back("dialog"); }
  bool resetSecondFamily(devices::CDevice&) override {
    calls.push_back("second family");
    return true;
  }
  void showSecondFamilyResult(bool ok) override { calls.push_back(ok ? "succeeded" : "failed"); }
  std::vector<std::string> calls;
};

std::unique_ptr<devices::CIpDevice> unit(bool answered = true, bool configured = true, int format = 1, int kind = 0) {
  auto d = std::make_unique<devices::CIpDevice>("127.0.1.1");
  d->answered = answered;
  d->configured = configured;
  d->replyFormat = format;
  d->kind = kind;
  return d;
}

TEST(ResetCommand, Branches) {
  struct Case {
    const char* name;
    std::function<void(Host&)> setup;
    ResetCommandOutcome outcome;
    std::vector<std::string> calls;
    std::vector<std::uint32_t> reports;
    std::vector<std::string> ui;
  } cases[] = {
      {"no device", [](Host&) {}, ResetCommandOutcome::NoDevice, {}, {}, {}},
      {"silent after a refresh",
       [](Host& h) {
         h.device = unit(false);
         h.answersOnRefresh = false;
       },
       ResetCommandOutcome::CannotCommunicate, {"refresh"}, {texts::kCannotCommunicate}, {}},
      {"not configured", [](Host& h) { h.device = unit(true, false); }, ResetCommandOutcome::NotConfigured, {},
       {texts::kConfigureFirst}, {}},
      {"telnet-managed", [](Host& h) { h.device = unit(true, true, 2); }, ResetCommandOutcome::Redirected, {"telnet"}, {},
       {}},
      {"second family", [](Host& h) { h.device = unit(true, true, 1, devices::kKindSecondFamily); },
       ResetCommandOutcome::Redirected, {"refresh"}, {}, {"second family", "succeeded"}},
      {"other view",
       [](Host& h) {
         h.device = unit();
         h.transport = 9;
       },
       ResetCommandOutcome::NotSupported, {"message Protocol not yet supported"}, {}, {}},
      {"community cancelled", [](Host& h) { h.device = unit(); }, ResetCommandOutcome::Cancelled, {"community"}, {},
       {}},
  };
  for (const auto& c : cases) {
    Host h;
    Ui ui;
    c.setup(h);
    EXPECT_EQ(runResetCommand(h, ui), c.outcome) << c.name;
    EXPECT_EQ(h.calls, c.calls) << c.name;
    EXPECT_EQ(h.reports, c.reports) << c.name;
    EXPECT_EQ(ui.calls, c.ui) << c.name;
  }
}

class Files : public BackupFileHost {
 public:
  std::string askSaveFile(const std::string& proposed) override {
    asked.push_back("save " + proposed);
    return chosen;
  }
  std::string askOpenFile() override {
    asked.push_back("open");
    return chosen;
  }
  bool askOverwrite(const std::string& question) override {
    asked.push_back(question);
    return overwrite;
  }
  std::string chosen;
  bool overwrite = false;
  std::vector<std::string> asked;
};

TEST(BackupCommand, FileChoiceAndOverwrite) {
  const auto dir = simproc::scratchDir();
  const std::string existing = (dir / "old.cfg").string();
  std::ofstream(existing) << "[TCP/IP]\r\n";
  struct Case {
    const char* name;
    std::string chosen;
    bool overwrite;
    CommandOutcome outcome;
    std::vector<std::string> asked;
    std::vector<std::string> calls;
  } cases[] = {
      {"cancelled", "", false, CommandOutcome::Cancelled, {"save LAB-1.cfg"}, {}},
      {"existing, No", existing, false, CommandOutcome::Cancelled,
       {"save LAB-1.cfg", "The file \"" + existing + "\" already exists.  Overwrite file?"}, {}},
      {"existing, Yes: the unit is read first", existing, true, CommandOutcome::Cancelled,
       {"save LAB-1.cfg", "The file \"" + existing + "\" already exists.  Overwrite file?"}, {"community"}},
      {"new file", (dir / "new.cfg").string(), false, CommandOutcome::Cancelled, {"save LAB-1.cfg"}, {"community"}},
  };
  for (const auto& c : cases) {
    Host h;
    h.device = unit();
    h.device->systemName.assign("LAB-1");
    Files f;
    f.chosen = c.chosen;
    f.overwrite = c.overwrite;
    EXPECT_EQ(runSaveConfigurationCommand(h, f), c.outcome) << c.name;
    EXPECT_EQ(f.asked, c.asked) << c.name;
    EXPECT_EQ(h.calls, c.calls) << c.name;
  }
  std::ifstream in(existing);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(text, "[TCP/IP]\r\n") << "nothing empties the old file";
  std::filesystem::remove_all(dir);
}

TEST(BackupCommand, ProposedNames) {
  const struct {
    const char* name;
    const char* system;
    const char* expected;
  } cases[] = {
      {"plain", "LAB-1", "LAB-1.cfg"},
      {"no name: the address", "", "127.0.1.1.cfg"},
      {"no folders from the network", "../etc/passwd", "_._etc_passwd.cfg"},
      {"control bytes", "a\tb", "a_b.cfg"},
  };
  for (const auto& c : cases) {
    devices::CIpDevice d("127.0.1.1");
    d.systemName.assign(c.system);
    EXPECT_EQ(proposedBackupName(d), c.expected) << c.name;
  }
}

}  // namespace
