#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/legacy_import.h"
#include "platform/registry.h"
#include "scratch_dir.h"

namespace {

namespace fs = std::filesystem;

// From the source tree the tests name: __FILE__ is relative when the build uses a compiler cache
// with a base folder, and the tests do not run in the build folder.
fs::path fixtureFolder() {
  const char* root = std::getenv("TRELLAN_SOURCE_DIR");
  if (root && *root) return fs::path(root) / "tests" / "app" / "fixtures";
  return fs::path(__FILE__).parent_path() / "fixtures";
}
const fs::path kFixtures = fixtureFolder();

class LegacyImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(legacy);
    fs::copy_file(kFixtures / "AMBRANW.INI", legacy / "AMBRANW.INI");
    // Copied from a Windows disk the name may have lost its case.
    fs::copy_file(kFixtures / "AMBRAIP.INI", legacy / "ambraip.ini");
  }
  app::LegacyImportReport run(bool answerNetWare, bool answerTcpIp) {
    return app::LegacyImport().run(reg, legacy.string(), [&](const std::string& q) {
      questions.push_back(q);
      return q.find("AMBRANW") != std::string::npos ? answerNetWare : answerTcpIp;
    });
  }

  ScratchDir dir;
  fs::path legacy = dir.path() / "legacy";
  platform::Registry reg{dir.file("Trellan.reg")};
  std::vector<std::string> questions;
};

TEST_F(LegacyImportTest, FixturesAreWindowsTextFiles) {
  std::ifstream in(kFixtures / "AMBRANW.INI", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_NE(ss.str().find("[General]\r\n"), std::string::npos);
}

TEST_F(LegacyImportTest, ImportsBothFilesNetWareFirst) {
  const auto report = run(true, true);
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[0], "Would you like to import views and settings from " + (legacy / "AMBRANW.INI").string() +
                              " (16-bit utility file)? ");
  EXPECT_NE(questions[1].find("ambraip.ini"), std::string::npos);
  EXPECT_EQ(report.filesImported.size(), 2u);

  // Timeouts: non-zero values copied (clamped), the later file wins, Broadcast is not imported.
  EXPECT_EQ(reg.getDword("Timeouts", "GetTimeout"), 800u);
  EXPECT_FALSE(reg.getDword("Timeouts", "SetTimeout"));
  EXPECT_EQ(reg.getDword("Timeouts", "ResetTimeout"), 600u);
  EXPECT_EQ(reg.getDword("Timeouts", "SnmpRetry"), 5u);
  EXPECT_FALSE(reg.getDword("Timeouts", "MaxBroadcast"));
  EXPECT_FALSE(reg.getDword("Timeouts", "Broadcast"));
  EXPECT_EQ(reg.getString("General", "CurrentView"), "IP Office");

  // OEM: only three-character keys.
  const auto oem = reg.values("OEM");
  ASSERT_EQ(oem.size(), 1u);
  EXPECT_EQ(oem[0].first, "ABC");
  EXPECT_EQ(oem[0].second.text, "1.3.6.1.4.1.77");

  // Protocol folders and views.
  EXPECT_EQ(reg.getDword("Views\\NetWare", "Type"), 2u);
  EXPECT_EQ(reg.getDword("Views\\NetWare", "Icons"), 12u);
  EXPECT_EQ(reg.getDword("Views\\TCP/IP", "Type"), 2u);
  EXPECT_EQ(reg.getDword("Views\\TCP/IP", "Icons"), 14u);

  const std::string nw = "Views\\NetWare\\NW Lab";
  EXPECT_EQ(reg.getDword(nw, "Type"), 7u);
  EXPECT_EQ(reg.getDword(nw, "Icons"), 1048592u);
  EXPECT_EQ(reg.getString(nw, "Filter"), "Status");
  EXPECT_EQ(reg.getString(nw, "FilterValue"), "Good,Warning");
  EXPECT_EQ(reg.getString(nw, "Sort"), ">Name");
  EXPECT_EQ(reg.getString(nw, "Columns"), "NW Name,Status,Network #");
  EXPECT_EQ(reg.getDword(nw, "Refresh"), 30u);
  EXPECT_EQ(reg.getDword(nw, "NetSearchBuild"), 1u);
  EXPECT_FALSE(reg.getDword(nw, "ListBuild"));
  EXPECT_EQ(reg.getString(nw, "Dev0"), "00000001-0080C7000001");
  EXPECT_EQ(reg.getString(nw, "Dev1"), "00000001-0080C7000002");
  EXPECT_FALSE(reg.getString(nw, "Dev3"));

  const std::string ip = "Views\\TCP/IP\\IP Office";
  EXPECT_EQ(reg.getDword(ip, "Type"), 6u);
  EXPECT_EQ(reg.getString(ip, "Columns"), "System Name,IP Address,Names");
  EXPECT_EQ(reg.getString(ip, "Sort"), ">IP Address");
  EXPECT_EQ(reg.getString(ip, "Dev0"), "10.1.2.3");

  // Checked names: a "\" would make a nested key; a name already used elsewhere in the tree is
  // not imported a second time.
  EXPECT_FALSE(reg.keyExists("Views\\NetWare\\Bad"));
  EXPECT_TRUE(reg.keyExists("Views\\NetWare\\Shared"));
  EXPECT_FALSE(reg.keyExists("Views\\TCP/IP\\Shared"));
  EXPECT_FALSE(reg.keyExists("Views\\TCP/IP\\netware"));
  EXPECT_EQ(report.viewsImported, (std::vector<std::string>{"NW Lab", "Shared", "IP Office"}));
  EXPECT_EQ(report.viewsSkipped.size(), 3u);

  // Access lists per protocol.
  EXPECT_EQ(reg.getString("Access\\NW", "<Default>Get"), "public");
  EXPECT_EQ(reg.getDword("Access\\NW", "DiscoveryPort"), 4300u);
  EXPECT_EQ(reg.getString("Access\\IP", "All"), "10.1.*");
  EXPECT_EQ(reg.getString("Access\\IP", "10.1.*Get"), "labget");
  EXPECT_EQ(reg.getDword("Access\\IP", "DiscoveryPort"), 4201u);  // 99999 is no port
}

TEST_F(LegacyImportTest, NoMeansThatFileIsLeftOut) {
  const auto report = run(false, true);
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_EQ(report.filesImported.size(), 1u);
  EXPECT_FALSE(reg.keyExists("Views\\NetWare"));
  EXPECT_TRUE(reg.keyExists("Views\\TCP/IP\\Shared"));  // no clash without the NetWare file
  EXPECT_EQ(reg.getDword("Timeouts", "GetTimeout"), 800u);
}

TEST_F(LegacyImportTest, OnlyFilesThatExistAreAskedFor) {
  fs::remove(legacy / "AMBRANW.INI");
  run(true, true);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("ambraip.ini"), std::string::npos);
  fs::remove(legacy / "ambraip.ini");
  questions.clear();
  const auto report = run(true, true);
  EXPECT_TRUE(questions.empty());
  EXPECT_TRUE(report.filesFound.empty());
}

TEST(LegacyImportDirectory, EnvironmentSetting) {
  setenv("TRELLAN_LEGACY_DIR", "/srv/old-utility", 1);
  EXPECT_EQ(app::LegacyImport::defaultDirectory(), "/srv/old-utility");
  unsetenv("TRELLAN_LEGACY_DIR");
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(app::LegacyImport::defaultDirectory(), "/tmp/cfg/Quorvel");
  if (old)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
