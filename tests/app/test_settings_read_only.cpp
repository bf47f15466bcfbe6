// Settings that cannot be saved: a folder that cannot be made or written, and a settings file
// its owner made read-only. Start-up says so once, runs on the settings it has, never asks in a
// loop, and never replaces the protected file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "app/network_layer.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/view_manager.h"
#include "app/view_startup.h"
#include "platform/registry.h"
#include "scratch_dir.h"
#include "view_test_support.h"

namespace {

namespace fs = std::filesystem;

class QuietUi : public app::StartupUi, public app::ViewTreeUi {
 public:
  std::vector<std::string> warnings;
  std::vector<std::string> asked;

  // Yes up to three times, then No: a loop ends the test instead of hanging it.
  bool askYesNo(const std::string& text) override {
    asked.push_back(text);
    return asked.size() <= 3;
  }
  void showWarning(const std::string& text) override { warnings.push_back(text); }
  std::pair<int, int> desktopSize() override { return {1280, 1024}; }
  bool findRunningInstance() override { return false; }
  void activateRunningInstance() override {}
  void becomeFirstInstance() override {}
  bool createMainWindow(const app::WindowRect&) override { return true; }
  void createProgressDialog() override {}
  void attachViewManager(bool) override {}
  void postRefresh() override {}
  app::CViewNode* createFirstView(app::CViewManager& views) override {
    return views.createDefaultView(app::kAllViewName, app::kNodeTcpIpView).node;
  }
};

class FixedNet : public app::NetworkLayer {
 public:
  int probe() override { return 0x8001; }
  std::uint32_t flags() const override { return 0x8001; }
  void close() override {}
};

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct StartResult {
  bool started = false;
  std::string openView;
};

StartResult startWith(platform::Registry& reg, QuietUi& ui) {
  FakeDiscoveryFactory discoveries;
  app::CViewManager views(reg, discoveries);
  FixedNet net;
  app::CAmbra32App application(reg, ui, net, {"/opt/trellan/bin/", "/nonexistent-legacy"});
  app::installViewTreeHook(application, views, net, ui);
  StartResult run;
  run.started = application.startUp(app::parseCommandLine({}).commandLine);
  if (views.openNode()) run.openView = views.openNode()->name();
  application.shutDown();
  return run;
}

}  // namespace

TEST(SettingsReadOnly, FolderThatCannotBeMadeIsSaidOnceAndTheProgramRuns) {
  ScratchDir dir;
  std::ofstream(dir.file("blocker")) << "a file where the settings folder should be";
  platform::Registry reg(dir.file("blocker") + "/Quorvel/Trellan.reg", [](const std::string&) {});
  QuietUi ui;
  const StartResult run = startWith(reg, ui);
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.openView, app::kAllViewName);
  EXPECT_TRUE(ui.asked.empty()) << ui.asked.front();
  ASSERT_EQ(ui.warnings.size(), 1u);
  EXPECT_EQ(ui.warnings[0].rfind("Settings cannot be saved: ", 0), 0u) << ui.warnings[0];
  EXPECT_TRUE(reg.readOnly());
  // The session's settings are there for the session.
  EXPECT_EQ(reg.getDword("General", "RunIndex"), 1u);
}

TEST(SettingsReadOnly, ProtectedFileIsReadAndNeverReplaced) {
  ScratchDir dir;
  const std::string path = dir.file("Trellan.reg");
  {
    platform::Registry writer(path);
    ASSERT_TRUE(writer.setDword("Views\\Office", "Type", 6));
    ASSERT_TRUE(writer.setDword("Views\\Office", "Icons", 16));
    ASSERT_TRUE(writer.setString("General", "CurrentView", "Office"));
    ASSERT_TRUE(writer.setDword("General", "RunIndex", 4));
  }
  ASSERT_EQ(::chmod(path.c_str(), 0400), 0);
  const std::string before = contents(path);

  platform::Registry reg(path, [](const std::string&) {});
  QuietUi ui;
  const StartResult run = startWith(reg, ui);
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.openView, "Office");
  ASSERT_EQ(ui.warnings.size(), 1u);
  EXPECT_NE(ui.warnings[0].find("is read-only"), std::string::npos) << ui.warnings[0];
  EXPECT_EQ(reg.getDword("General", "RunIndex"), 5u);  // counted for this session only

  // Another object on the same file (a second program) is refused as well, with its reason.
  std::vector<std::string> reported;
  platform::Registry other(path, [&](const std::string& m) { reported.push_back(m); });
  EXPECT_FALSE(other.setDword("General", "RunIndex", 9));
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_NE(reported[0].find("is read-only"), std::string::npos) << reported[0];

  EXPECT_EQ(contents(path), before);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0400u);
}
