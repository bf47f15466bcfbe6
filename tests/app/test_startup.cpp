#include <gtest/gtest.h>

#include <fstream>

#include "access/mib_group.h"
#include "app/network_layer.h"
#include "app/oem_family_table.h"
#include "app/startup.h"
#include "platform/registry.h"
#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;

// Records every call in order, answers as configured.
class FakeUi : public app::StartupUi {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> warnings;
  bool answer = true;
  bool instanceRunning = false;
  bool windowCreated = true;
  app::WindowRect windowRect;
  bool appIcon = false;

  bool askYesNo(const std::string& text) override {
    calls.push_back("ask");
    return answer;
  }
  void showWarning(const std::string& text) override { warnings.push_back(text); }
  std::pair<int, int> desktopSize() override { return {1280, 1024}; }
  bool findRunningInstance() override {
    calls.push_back("find");
    return instanceRunning;
  }
  void activateRunningInstance() override { calls.push_back("activate"); }
  void becomeFirstInstance() override { calls.push_back("listen"); }
  bool createMainWindow(const app::WindowRect& rect) override {
    calls.push_back("window");
    windowRect = rect;
    return windowCreated;
  }
  void createProgressDialog() override { calls.push_back("progress"); }
  void attachViewManager(bool setAppIcon) override {
    calls.push_back("attach");
    appIcon = setAppIcon;
  }
  void postRefresh() override { calls.push_back("refresh"); }
};

class FakeNet : public app::NetworkLayer {
 public:
  std::vector<std::string>* calls = nullptr;
  std::uint32_t flagBits = 0x8001;
  int probe() override {
    calls->push_back("probe");
    return static_cast<int>(flagBits);
  }
  std::uint32_t flags() const override { return flagBits; }
  void close() override { calls->push_back("close"); }
};

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { net.calls = &ui.calls; }

  bool start(const std::vector<std::string>& args = {}) {
    app::CAmbra32App app(reg, ui, net, {"/opt/trellan/bin/", legacy.string()});
    app.setViewTreeHook([this] {
      ui.calls.push_back("views");
      return viewTreeOk;
    });
    const bool ok = app.startUp(app::parseCommandLine(args).commandLine);
    failure = app.failure();
    runIndex = app.runIndexAtStart();
    if (ok) {
      EXPECT_TRUE(app.ready());
      EXPECT_EQ(app.shutDown(), 0);
    }
    return ok;
  }

  ScratchDir dir;
  fs::path legacy = dir.path() / "legacy";
  platform::Registry reg{dir.file("Trellan.reg")};
  FakeUi ui;
  FakeNet net;
  bool viewTreeOk = true;
  app::CAmbra32App::Failure failure{};
  std::uint32_t runIndex = 0;
};

TEST_F(StartupTest, FirstRunInOrder) {
  fs::create_directories(legacy);
  std::ofstream(legacy / "AMBRAIP.INI") << "[Timeouts]\r\nGetTimeout=900\r\n";
  ASSERT_TRUE(start());
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"ask", "find", "listen", "window", "progress", "probe", "views",
                                                "attach", "refresh", "close"}));
  EXPECT_EQ(runIndex, 0u);
  EXPECT_EQ(reg.getDword("General", "RunIndex"), 1u);
  EXPECT_EQ(reg.getString("General", "Location"), "/opt/trellan/bin/");
  // Imported values survive the defaults written afterwards; the rest are the defaults.
  EXPECT_EQ(reg.getDword("Timeouts", "GetTimeout"), 900u);
  EXPECT_EQ(reg.getDword("Timeouts", "SetTimeout"), 500u);
  EXPECT_EQ(app::globalSettings().getTimeout, 900u);
  EXPECT_EQ(ui.windowRect, app::defaultWindowRect(1280, 1024));
  EXPECT_EQ(app::oemFamilyTable().count(), 2u);
}

TEST_F(StartupTest, RunIndexCountsToElevenAndStays) {
  for (std::uint32_t run = 0; run < 14; ++run) {
    ui.calls.clear();
    ASSERT_TRUE(start());
    EXPECT_EQ(runIndex, std::min(run, 11u)) << "start " << run;
    EXPECT_EQ(reg.getDword("General", "RunIndex"), std::min(run + 1, 11u)) << "start " << run;
  }
}

TEST_F(StartupTest, LaterRunsNeitherImportNorRewriteLocation) {
  ASSERT_TRUE(reg.setDword("General", "RunIndex", 3));
  fs::create_directories(legacy);
  std::ofstream(legacy / "AMBRANW.INI") << "[General]\r\nCurrentView=X\r\n";
  ASSERT_TRUE(start());
  EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "ask"), 0);
  EXPECT_FALSE(reg.getString("General", "Location"));
  EXPECT_EQ(reg.getDword("General", "RunIndex"), 4u);
}

TEST_F(StartupTest, SecondInstanceHandsOverAndEnds) {
  ui.instanceRunning = true;
  EXPECT_FALSE(start());
  EXPECT_EQ(failure, app::CAmbra32App::Failure::SecondInstance);
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"find", "activate"}));
}

TEST_F(StartupTest, NewInstanceStartsTopLeftWithTheStoredSizeAndView) {
  ui.instanceRunning = true;
  ASSERT_TRUE(app::writeWindowRect(reg, {100, 50, 900, 650}));
  ASSERT_TRUE(start({"/new", "/v", "Lab"}));
  EXPECT_EQ(ui.windowRect, (app::WindowRect{0, 0, 800, 600}));
  EXPECT_EQ(reg.getDword("General", "Left"), 0u);
  EXPECT_EQ(reg.getDword("General", "Right"), 800u);
  EXPECT_EQ(reg.getString("General", "CurrentView"), "Lab");
  EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "listen"), 0);
}

TEST_F(StartupTest, NoViewEndsStartUp) {
  viewTreeOk = false;
  EXPECT_FALSE(start());
  EXPECT_EQ(failure, app::CAmbra32App::Failure::NoView);
  EXPECT_EQ(ui.calls.back(), "views");
}

TEST_F(StartupTest, NoWindowEndsStartUp) {
  ui.windowCreated = false;
  EXPECT_FALSE(start());
  EXPECT_EQ(failure, app::CAmbra32App::Failure::NoMainWindow);
}

TEST_F(StartupTest, SettingsAndPortAreRead) {
  ASSERT_TRUE(reg.setDword("General\\Icons", "SetAppIcon", 1));
  ASSERT_TRUE(reg.setDword("Access\\IP", "DiscoveryPort", 4233));
  ASSERT_TRUE(reg.setString("OEM", "ABC", "1.3.6.1.4.1.5"));
  ASSERT_TRUE(reg.setDword("Timeouts", "GetTimeout", 70));
  ASSERT_TRUE(reg.setDword("Timeouts", "SetTimeout", 90));
  snmpaccess::setGroupTimeouts(500, 500);
  ASSERT_TRUE(start());
  EXPECT_EQ(snmpaccess::groupGetTimeout(), 70u) << "the MIB groups wait GetTimeout";
  EXPECT_EQ(snmpaccess::groupSetTimeout(), 90u) << "and SetTimeout";
  EXPECT_TRUE(ui.appIcon);
  EXPECT_EQ(app::globalSettings().discoveryPort, 4233u);
  EXPECT_EQ(app::oemFamilyTable().count(), 3u);
}

TEST_F(StartupTest, CheckProtocol) {
  struct Case {
    int protocol;
    std::uint32_t flags;
    bool ok;
    const char* warning;
  };
  const Case cases[] = {
      {6, 0x0001, true, ""},
      {6, 0x8000, false, "The TCP/IP protocol could not be initialized."},
      {7, 0x0110, true, ""},
      {7, 0x0010, false, "The NetWare protocol could not be initialized."},
      {8, 0x8000, true, ""},
      {8, 0x0001, false, "The Serial Port protocol could not be initialized."},
      {9, 0xFFFF, false, "Protocol not supported"},
  };
  app::CAmbra32App app(reg, ui, net);
  for (const auto& c : cases) {
    ui.warnings.clear();
    net.flagBits = c.flags;
    EXPECT_EQ(app.checkProtocol(c.protocol), c.ok) << c.protocol;
    EXPECT_EQ(ui.warnings.empty() ? std::string() : ui.warnings[0], c.warning) << c.protocol;
  }
}

TEST_F(StartupTest, AccessListFollowsTheViewProtocol) {
  ASSERT_TRUE(reg.setDword("Access\\IP", "DiscoveryPort", 4240));
  ASSERT_TRUE(reg.setString("Access\\NW", "<Default>Get", "nwpub"));
  app::CAmbra32App app(reg, ui, net);
  ASSERT_TRUE(app.loadAccessList(app::kViewTcpIp, false));
  EXPECT_EQ(app.accessList().key(), "Access\\IP");
  EXPECT_EQ(app::globalSettings().discoveryPort, 4240u);
  ASSERT_TRUE(app.loadAccessList(app::kViewNetWare, false));
  EXPECT_STREQ(app.accessList().lookup("00000001-0080C7000001").getCommunity, "nwpub");
  EXPECT_FALSE(app.loadAccessList(app::kViewIpx, false));
}

}  // namespace
