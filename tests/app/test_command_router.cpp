// The command router against a recording host: the search is stopped before every handler,
// unavailable and unknown commands are reported once, and the launch commands hand over URLs
// and argument lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/command_router.h"
#include "recording_host.h"
#include "app/command_table.h"
#include "app/settings.h"
#include "platform/registry.h"
#include "scratch_dir.h"

using namespace app;

namespace {

CommandState tcpipRowFocused() {
  CommandState s;
  s.viewProtocol = 6;
  s.listHasFocus = true;
  s.selectedCount = 1;
  s.networkFlags = kNetUdp | kNetTcp;
  return s;
}

struct RouterFixture : ::testing::Test {
  RecordingHost host;
  ScratchDir dir;
  platform::Registry reg{dir.file("Trellan.reg")};
  CommandRouter::Config config{"/opt/trellan/bin", false, {}, {}};
  std::optional<CommandRouter> router;

  void SetUp() override {
    host.state = tcpipRowFocused();
    router.emplace(host, &reg, config);
  }
  void remake(bool skipFirstRefresh) {
    config.skipFirstRefresh = skipFirstRefresh;
    router.emplace(host, &reg, config);
  }
  std::vector<std::string> run(cmd::CommandId id) {
    host.log.clear();
    host.messages.clear();
    router->dispatch(id);
    return host.log;
  }
};

TEST_F(RouterFixture, CancelSearchComesBeforeEveryHandlerButTheHelpMenu) {
  for (const CommandInfo& c : commandTable()) {
    if (!commandEnabled(c.id, host.state)) continue;
    bool handlerRan = false;
    router->setHandler(c.id, [&] {
      handlerRan = true;
      host.log.push_back("handler");
    });
    const auto log = run(c.id);
    const bool exempt = c.id == cmd::kAbout || c.id == cmd::kHelpContents || c.id == cmd::kRegistration ||
                        c.id == cmd::kEmailSupport;
    EXPECT_EQ(CommandRouter::cancelsSearch(c.id), !exempt) << c.id;
    ASSERT_FALSE(log.empty()) << c.id;
    if (exempt) {
      EXPECT_EQ(std::count(log.begin(), log.end(), "cancelSearch"), 0) << c.id;
    } else {
      EXPECT_EQ(log.front(), "cancelSearch") << c.id;
      EXPECT_EQ(std::count(log.begin(), log.end(), "cancelSearch"), 1) << c.id;
    }
    // A window handler replaces the router's own, but never a feature that is not in the build.
    EXPECT_EQ(handlerRan, featureInBuild(c.feature)) << c.id;
  }
}

TEST_F(RouterFixture, UnavailableAndUnknownCommandsReportOnce) {
  host.state.multiSelect = false;
  struct Case {
    cmd::CommandId id;
    DispatchResult result;
  };
  const Case cases[] = {
      {cmd::kConfiguration, DispatchResult::NotAvailable}, {cmd::kStatus, DispatchResult::NotAvailable},
      {cmd::kWizard, DispatchResult::NotAvailable},        {cmd::kReset, DispatchResult::NotAvailable},
      {cmd::kSaveConfiguration, DispatchResult::NotAvailable}, {cmd::kRestoreConfiguration, DispatchResult::NotAvailable},
      {cmd::kMultipleConfiguration, DispatchResult::NotAvailable}, {cmd::kCreateView, DispatchResult::NotAvailable},
      {cmd::kModifyView, DispatchResult::NotAvailable},    {cmd::kSelectViews, DispatchResult::NotAvailable},
      {cmd::kOptions, DispatchResult::NotAvailable},       {cmd::kSaveList, DispatchResult::NotAvailable},
      {cmd::kSaveIpAddresses, DispatchResult::NotAvailable}, {cmd::kUnlistedIpServer, DispatchResult::NotAvailable},
      // In the build but not wired by the window yet: the same single answer.
      {cmd::kViewByPrinter, DispatchResult::NotAvailable},
      {0, DispatchResult::Unknown},                        {40000, DispatchResult::Unknown},
  };
  for (const Case& c : cases) {
    host.log.clear();
    host.messages.clear();
    EXPECT_EQ(router->dispatch(c.id), c.result) << c.id;
    ASSERT_EQ(host.messages.size(), 1u) << c.id;
    EXPECT_NE(host.messages[0].find(texts::kNotAvailable), std::string::npos) << c.id;
    EXPECT_EQ(host.messages[0], notAvailableMessage(c.id));
  }
}

TEST_F(RouterFixture, DisabledCommandsDoNothingUnlessPostedByTheProgram) {
  host.state.listHasFocus = false;
  bool ran = false;
  router->setHandler(cmd::kWhatsWrong, [&] { ran = true; });
  EXPECT_EQ(router->dispatch(cmd::kWhatsWrong), DispatchResult::Disabled);
  EXPECT_TRUE(host.log.empty());
  EXPECT_FALSE(ran);
  EXPECT_EQ(router->execute(cmd::kWhatsWrong), DispatchResult::Handled);
  EXPECT_TRUE(ran);
  // Esc while no search runs.
  host.log.clear();
  EXPECT_EQ(router->dispatch(cmd::kStop), DispatchResult::Disabled);
  EXPECT_TRUE(host.log.empty());
}

TEST_F(RouterFixture, DoubleClickRunsTheStoredCommand) {
  // General\DoubleClick = 32799: the wizard, which says so while the window has not wired it.
  EXPECT_EQ(router->doubleClick(cmd::kWizard), DispatchResult::NotAvailable);
  EXPECT_EQ(host.messages, std::vector<std::string>{notAvailableMessage(cmd::kWizard)});
  bool ran = false;
  router->setHandler(cmd::kWhatsWrong, [&] { ran = true; });
  EXPECT_EQ(router->doubleClick(cmd::kWhatsWrong), DispatchResult::Handled);
  EXPECT_TRUE(ran);
}

TEST_F(RouterFixture, RefreshPerProtocol) {
  struct Case {
    int protocol;
    bool protocolOk;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {6, true, {"cancelSearch", "checkProtocol 6", "loadAccessList 6", "refresh"}},
      {7, true, {"cancelSearch", "checkProtocol 7", "loadAccessList 7", "refresh"}},
      {8, true, {"cancelSearch", "checkProtocol 8", "loadAccessList 8", "refresh"}},
      {9, true, {"cancelSearch", "checkProtocol 9", "loadAccessList 9", "refresh"}},
      {10, true, {"cancelSearch", "checkProtocol 10", "message", "refresh"}},
      {7, false, {"cancelSearch", "checkProtocol 7"}},
  };
  for (const Case& c : cases) {
    host.state.viewProtocol = c.protocol;
    host.protocolOk = c.protocolOk;
    EXPECT_EQ(run(cmd::kRefresh), c.log) << c.protocol << (c.protocolOk ? "" : " unavailable");
  }
  EXPECT_EQ(host.messages, std::vector<std::string>{});
  host.state.viewProtocol = 10;
  host.protocolOk = true;
  run(cmd::kRefresh);
  EXPECT_EQ(host.messages, std::vector<std::string>{texts::kProtocolNotSupported});
}

TEST_F(RouterFixture, NoSearchOptionSkipsOnlyTheFirstRefresh) {
  remake(true);
  EXPECT_EQ(run(cmd::kRefresh), (std::vector<std::string>{"cancelSearch", "focus"}));
  EXPECT_EQ(run(cmd::kRefresh), (std::vector<std::string>{"cancelSearch", "checkProtocol 6", "loadAccessList 6",
                                                          "refresh"}));
}

TEST_F(RouterFixture, StopOnlyCancels) {
  host.state.searching = true;
  EXPECT_EQ(run(cmd::kStop), std::vector<std::string>{"cancelSearch"});
}

TEST_F(RouterFixture, WebLinksAndMail) {
  EXPECT_EQ(run(cmd::kRegistration), std::vector<std::string>{std::string("openUrl ") + texts::kRegistrationUrl});
  EXPECT_EQ(run(cmd::kHttp), (std::vector<std::string>{"cancelSearch", "openUrl http://10.1.2.3"}));
  EXPECT_EQ(host.waitCursorDepth, 0);
  EXPECT_EQ(run(cmd::kEmailSupport),
            std::vector<std::string>{std::string("openUrl mailto:") + texts::kSupportAddress + "?subject=Trellan%20Support"});
  EXPECT_EQ(run(cmd::kHelpContents), std::vector<std::string>{"openFile /opt/trellan/bin/TRELLAN.CHM"});

  host.openResult = false;
  run(cmd::kRegistration);
  EXPECT_EQ(host.messages, std::vector<std::string>{texts::kUnableToLaunchBrowser});
  run(cmd::kHttp);
  EXPECT_EQ(host.messages, std::vector<std::string>{texts::kUnableToLaunchBrowser});
  run(cmd::kEmailSupport);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find(texts::kSupportAddress), std::string::npos);
  run(cmd::kHelpContents);
  EXPECT_EQ(host.messages, std::vector<std::string>{texts::kUnableToLaunchBrowser});
}

TEST_F(RouterFixture, HttpWithoutTcpWarnsAndContinues) {
  host.state.networkFlags = kNetUdp;
  EXPECT_EQ(run(cmd::kHttp), (std::vector<std::string>{"cancelSearch", "message", "openUrl http://10.1.2.3"}));
  EXPECT_EQ(host.messages, std::vector<std::string>{texts::kHttpNoTcp});
}

TEST_F(RouterFixture, HttpAndTelnetTakeOnlyADottedQuad) {
  struct Case {
    const char* address;
    const char* url;  // nullptr: nothing opened
  };
  const Case cases[] = {
      {"10.1.2.3", "http://10.1.2.3"},
      {"010.001.002.003", "http://10.1.2.3"},  // never read as octal by a browser
      {"10.1.2.3/evil", nullptr},
      {"host.example", nullptr},
      {"1.2.3.4 -e x", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    const auto url = httpUrlFor(c.address);
    EXPECT_EQ(url.has_value(), c.url != nullptr) << c.address;
    if (url && c.url) {
      EXPECT_EQ(*url, c.url);
    }
    host.focusedAddress = c.address;
    host.started.clear();
    run(cmd::kTelnet);
    EXPECT_EQ(host.started.size(), c.url ? 1u : 0u) << c.address;
    EXPECT_TRUE(host.messages.empty()) << "telnet reports nothing: " << c.address;
    if (c.url && !host.started.empty()) {
      EXPECT_EQ(host.started[0].back(), std::string(c.url).substr(7)) << c.address;
    }
    EXPECT_EQ(host.waitCursorDepth, 0);
  }
}

TEST_F(RouterFixture, NetworkInformationAboutAndExit) {
  EXPECT_EQ(run(cmd::kNetworkInformation), (std::vector<std::string>{"cancelSearch", "netinfo"}));
  EXPECT_EQ(run(cmd::kAbout), std::vector<std::string>{"about"});
  EXPECT_EQ(run(cmd::kExit), (std::vector<std::string>{"cancelSearch", "close"}));
}

TEST_F(RouterFixture, VigiloRunningWindowIsBroughtForward) {
  host.titleFound = true;
  EXPECT_EQ(run(cmd::kVigilo), (std::vector<std::string>{"cancelSearch", "title Vigilo 32 - Quorvel"}));
  host.titleFound = false;
  host.classFound = true;
  EXPECT_EQ(run(cmd::kVigilo), (std::vector<std::string>{"cancelSearch", "title Vigilo 32 - Quorvel",
                                                         "title Vigilo32 - Quorvel", "class OlvVigilo"}));
  EXPECT_TRUE(host.started.empty());
}

TEST_F(RouterFixture, VigiloStartOrder) {
  const std::string defaultPath = "/opt/trellan/bin/../alert/vigil32.exe";
  // Default place starts.
  host.startResults = {true};
  run(cmd::kVigilo);
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0], std::vector<std::string>{defaultPath});
  EXPECT_EQ(host.waitCursorDepth, 0);

  // Default fails, user chooses a file that starts: remembered and stored in Tools\AlertPath.
  host.started.clear();
  host.startResults = {false, true};
  host.chosenFile = "/usr/local/bin/vigilo";
  auto log = run(cmd::kVigilo);
  EXPECT_NE(std::find(log.begin(), log.end(), "choose alert*.exe Vigil32 alert*.exe"), log.end());
  EXPECT_EQ(router->chosenVigiloPath(), "/usr/local/bin/vigilo");
  EXPECT_EQ(reg.getString(kToolsKey, "AlertPath", ""), "/usr/local/bin/vigilo");
  EXPECT_TRUE(host.messages.empty());

  // Next time the chosen file is tried first.
  host.started.clear();
  host.startResults = {true};
  run(cmd::kVigilo);
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0][0], "/usr/local/bin/vigilo");

  // A fresh run of the program starts from the stored setting.
  router.emplace(host, &reg, config);
  host.started.clear();
  host.startResults = {false, false};
  host.chosenFile.reset();
  log = run(cmd::kVigilo);
  ASSERT_EQ(host.started.size(), 2u);
  EXPECT_EQ(host.started[0][0], "/usr/local/bin/vigilo");
  EXPECT_EQ(host.started[1][0], defaultPath);
  EXPECT_TRUE(host.messages.empty());  // cancelled dialog: nothing to report
  EXPECT_EQ(std::count(log.begin(), log.end(), "error 5055/1"), 0);
  EXPECT_EQ(host.waitCursorDepth, 0);
}

TEST_F(RouterFixture, VigiloChosenFileThatFailsIsReportedAndNotStored) {
  host.startResults = {false, false};
  host.chosenFile = "/tmp/not-a-program";
  const auto log = run(cmd::kVigilo);
  EXPECT_EQ(std::count(log.begin(), log.end(), "error 5055/1"), 1);
  EXPECT_EQ(router->chosenVigiloPath(), "");
  EXPECT_EQ(reg.getString(kToolsKey, "AlertPath", "none"), "none");
  EXPECT_EQ(host.waitCursorDepth, 0);
}

TEST_F(RouterFixture, OverlongStoredAlertPathIsIgnored) {
  ASSERT_TRUE(reg.setString(kToolsKey, "AlertPath", std::string(5000, 'x')));
  host.startResults = {true};
  run(cmd::kVigilo);
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0][0], "/opt/trellan/bin/../alert/vigil32.exe");
}

TEST_F(RouterFixture, HandlerMayReplaceItselfWhileRunning) {
  int calls = 0;
  router->setHandler(cmd::kViewByPrinter, [&] {
    ++calls;
    router->setHandler(cmd::kViewByPrinter, [&] { calls += 10; });
  });
  EXPECT_EQ(router->dispatch(cmd::kViewByPrinter), DispatchResult::Handled);
  EXPECT_EQ(router->dispatch(cmd::kViewByPrinter), DispatchResult::Handled);
  EXPECT_EQ(calls, 11);
}

TEST(CommandLaunch, MailtoEncodesTheSubject) {
  EXPECT_EQ(mailtoUrl("a@b.example", "Trellan Support"), "mailto:a@b.example?subject=Trellan%20Support");
  EXPECT_EQ(mailtoUrl("a@b.example", "x&y=z?"), "mailto:a@b.example?subject=x%26y%3Dz%3F");
  EXPECT_EQ(helpFilePath(""), "TRELLAN.CHM");
  EXPECT_EQ(helpFilePath("/p/"), "/p/TRELLAN.CHM");
}

}  // namespace
