#include <gtest/gtest.h>

#include <optional>

#include "access/mib_group.h"
#include "app/settings.h"
#include "app/view_search.h"
#include "platform/registry.h"
#include "scratch_dir.h"

namespace {

using app::findSetting;
using app::readSetting;

class SettingsTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  platform::Registry reg{dir.file("Trellan.reg")};
  app::WindowRect desk = app::defaultWindowRect(1024, 768);
};

TEST_F(SettingsTest, DefaultsOfTheTable) {
  struct Case {
    const char* key;
    const char* name;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"General", "RunIndex", 0},          {"General", "Flags", 0},           {"General", "Splitter", 150},
      {"General", "RefreshAlways", 0},     {"General", "DoubleClick", 32774}, {"General", "Log", 0},
      {"General", "QuickSearch", 0},
      {"General\\Icons", "Warning", 9185}, {"General\\Icons", "Error", 196608}, {"General\\Icons", "SetAppIcon", 0},
      {"Timeouts", "GetTimeout", 500},     {"Timeouts", "SetTimeout", 500},   {"Timeouts", "ResetTimeout", 40},
      {"Timeouts", "SnmpRetry", 3},        {"Timeouts", "Broadcast", 6000},   {"Timeouts", "MaxBroadcast", 10},
      {"Access\\IP", "DiscoveryPort", 4201},
  };
  for (const auto& c : cases) EXPECT_EQ(readSetting(reg, c.key, c.name), c.value) << c.key << "\\" << c.name;
  EXPECT_EQ(app::readTextSetting(reg, *findSetting("General", "CurrentView")), "All Print Servers");
}

TEST_F(SettingsTest, DefaultWindowRectIsTheDesktopCentre) {
  EXPECT_EQ(app::defaultWindowRect(1024, 768), (app::WindowRect{62, 84, 962, 684}));
  EXPECT_EQ(app::defaultWindowRect(800, 600), (app::WindowRect{40, 30, 760, 570}));
  struct Case {
    const char* what;
    app::WindowRect stored;
    app::WindowRect cascaded;
  };
  const Case cases[] = {
      {"moved a step", {100, 50, 900, 650}, {132, 82, 932, 682}},
      {"at the top-left corner", {0, 0, 800, 600}, {32, 32, 832, 632}},
      {"kept on the desktop", {400, 400, 1260, 1000}, {420, 424, 1280, 1024}},
      {"off screen comes back", {-3000, -3000, -2200, -2400}, {0, 0, 800, 600}},
      {"larger than the desktop", {10, 10, 2010, 1510}, {0, 0, 1280, 1024}},
  };
  for (const Case& c : cases) EXPECT_EQ(app::cascadedWindowRect(c.stored, 1280, 1024), c.cascaded) << c.what;
  EXPECT_EQ(app::readWindowRect(reg, desk), desk);
}

TEST_F(SettingsTest, UntrustedValuesAreClamped) {
  struct Case {
    const char* key;
    const char* name;
    std::uint32_t stored;
    std::uint32_t used;
  };
  const Case cases[] = {
      {"Timeouts", "GetTimeout", 0, 10},
      {"Timeouts", "GetTimeout", 0xFFFFFFFF, 30000},
      {"Timeouts", "SetTimeout", 750, 750},
      {"Timeouts", "ResetTimeout", 0, 1},
      {"Timeouts", "ResetTimeout", 100000, 600},
      {"Timeouts", "Broadcast", 5, 100},
      {"Timeouts", "Broadcast", 6000, 6000},
      {"Timeouts", "SnmpRetry", 1000, 20},
      {"General", "DoubleClick", 32772, 32772},
      {"General", "DoubleClick", 12345, 32774},  // not a command the list can send
      {"General", "Log", 7, 0},                  // only 1 turns logging on
      {"General", "Splitter", 99999, 4000},
      {"General\\Icons", "SetAppIcon", 2, 0},
      {"Access\\IP", "DiscoveryPort", 0, 4201},  // no port: the default, not port 1
      {"Access\\IP", "DiscoveryPort", 70000, 4201},
      {"Access\\IP", "DiscoveryPort", 4210, 4210},
      {"General", "Left", static_cast<std::uint32_t>(-200), static_cast<std::uint32_t>(-200)},
      {"General", "Left", static_cast<std::uint32_t>(-5000000), static_cast<std::uint32_t>(-100000)},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(reg.setDword(c.key, c.name, c.stored));
    EXPECT_EQ(readSetting(reg, *findSetting(c.key, c.name)), c.used) << c.key << "\\" << c.name << " = " << c.stored;
  }
}

TEST_F(SettingsTest, ValueOfTheWrongTypeCountsAsMissing) {
  ASSERT_TRUE(reg.setString("Timeouts", "GetTimeout", "900"));
  EXPECT_EQ(readSetting(reg, "Timeouts", "GetTimeout"), 500u);
  const auto all = app::effectiveSettings(reg, desk);
  auto it = std::find_if(all.begin(), all.end(),
                         [](const auto& e) { return std::string(e.def->name) == "GetTimeout"; });
  ASSERT_NE(it, all.end());
  EXPECT_TRUE(it->wrongType);
  EXPECT_TRUE(it->isDefault);
}

TEST_F(SettingsTest, WriteDefaultsFillsOnlyWhatIsMissing) {
  ASSERT_TRUE(reg.setDword("Timeouts", "GetTimeout", 900));
  ASSERT_TRUE(app::writeDefaults(reg, desk));
  platform::Registry again(dir.file("Trellan.reg"));
  EXPECT_EQ(again.getDword("Timeouts", "GetTimeout"), 900u);
  EXPECT_EQ(again.getDword("Timeouts", "Broadcast"), 6000u);
  EXPECT_EQ(again.getDword("General", "Left"), static_cast<std::uint32_t>(desk.left));
  EXPECT_EQ(again.getString("General", "CurrentView"), "All Print Servers");
  EXPECT_EQ(again.getString("Access\\NW", "<Default>Get"), "vorlak");
  EXPECT_FALSE(again.getString("General", "Location").has_value());  // no default: not invented
  EXPECT_FALSE(again.getString("Tools", "AlertPath").has_value());

  const auto all = app::effectiveSettings(again, desk);
  for (const auto& e : all) {
    if (std::string(e.def->name) == "GetTimeout") {
      EXPECT_EQ(e.value, "900");
      EXPECT_FALSE(e.isDefault);
    } else if (e.def->defaultKind != app::DefaultKind::None) {
      EXPECT_TRUE(e.stored) << e.def->key << "\\" << e.def->name;
      EXPECT_TRUE(e.isDefault) << e.def->key << "\\" << e.def->name;
    }
  }
}

TEST_F(SettingsTest, WindowRectOfNoSizeFallsBackToTheDefault) {
  ASSERT_TRUE(app::writeWindowRect(reg, {500, 500, 400, 400}));
  EXPECT_EQ(app::readWindowRect(reg, desk), desk);
  ASSERT_TRUE(app::writeWindowRect(reg, {-50, 10, 700, 500}));
  EXPECT_EQ(app::readWindowRect(reg, desk), (app::WindowRect{-50, 10, 700, 500}));
}

TEST_F(SettingsTest, GlobalSettingsComeFromTheStore) {
  ASSERT_TRUE(reg.setDword("Timeouts", "Broadcast", 2500));
  ASSERT_TRUE(reg.setDword("General\\Icons", "SetAppIcon", 1));
  ASSERT_TRUE(reg.setDword("Access\\IP", "DiscoveryPort", 4242));
  app::GlobalSettings g;
  app::loadGlobalSettings(reg, g);
  app::loadDiscoveryPort(reg, g);
  EXPECT_EQ(g.broadcast, 2500u);
  EXPECT_EQ(g.getTimeout, 500u);
  EXPECT_EQ(g.setAppIcon, 1u);
  EXPECT_EQ(g.errorMask, 196608u);
  EXPECT_EQ(g.discoveryPort, 4242u);
}

TEST_F(SettingsTest, GroupTimeoutsComeFromTheStoreOrTheCommandLine) {
  struct Case {
    const char* name;
    std::uint32_t get, set, commandLine, expectGet, expectSet;
  } cases[] = {
      {"settings", 70, 90, 0, 70, 90},
      {"clamped to the settings' range", 1, 99999, 0, 10, 30000},
      {"the command line replaces both", 70, 90, 30, 30, 30},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(reg.setDword("Timeouts", "GetTimeout", c.get));
    ASSERT_TRUE(reg.setDword("Timeouts", "SetTimeout", c.set));
    app::applyGroupTimeouts(reg, c.commandLine);
    EXPECT_EQ(snmpaccess::groupGetTimeout(), c.expectGet) << c.name;
    EXPECT_EQ(snmpaccess::groupSetTimeout(), c.expectSet) << c.name;
  }
  snmpaccess::setGroupTimeouts(500, 500);
}

}  // namespace

TEST_F(SettingsTest, QuickSearchIsOptInAndTakesOnlyOnOrOff) {
  struct Case {
    const char* what;
    std::optional<std::uint32_t> stored;
    int quietMs;
  };
  const Case cases[] = {
      {"missing: the whole Broadcast wait", std::nullopt, 0},
      {"off", 0u, 0},
      {"on", 1u, devices::kQuickQuietMs},
      {"not a choice: off", 7u, 0},
  };
  for (const Case& c : cases) {
    reg.deleteValue("General", "QuickSearch");
    if (c.stored) {
      ASSERT_TRUE(reg.setDword("General", "QuickSearch", *c.stored));
    }
    EXPECT_EQ(app::discoverySettingsFrom(reg).quickQuietMs, c.quietMs) << c.what;
  }
}
