// Saving a read sheet to a backup file and loading one into it, against one simulated unit: the
// file's layout, the write-only values, the atomic replace, and a file written by hand the
// Windows way.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "access/mib_group.h"
#include "access/mib_strings.h"
#include "access/progress_headless.h"
#include "access/result_codes.h"
#include "access/test_mib_group_sim.h"
#include "config/backup_file.h"
#include "config/backup_texts.h"
#include "config/config_backup.h"
#include "config/config_sheet.h"
#include "platform/profile.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "support/unit_target_test.h"

using namespace config;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

mode_t modeOf(const std::filesystem::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

// Every changed variable of the sheet's pages, by OID.
std::set<std::string> changedOids(CConfigPropSheet& sheet) {
  std::set<std::string> out;
  std::function<void(snmpaccess::CMibGroup&)> walk = [&](snmpaccess::CMibGroup& g) {
    for (int i = 0; i < g.count(); ++i)
      if (g.changed(i)) out.insert(g.oidText(i));
    for (int c = 0; c < g.childCount(); ++c) walk(*g.child(c));
  };
  for (CDevicePage* p : sheet.pages())
    for (snmpaccess::CMibGroup* g : p->groups()) walk(*g);
  return out;
}

class BackupTest : public UnitTargetTest {
 protected:
  void SetUp() override {
    UnitTargetTest::SetUp();
    dir = simproc::scratchDir();
  }
  void TearDown() override {
    UnitTargetTest::TearDown();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  std::unique_ptr<CConfigPropSheet> readSheet() {
    SheetServices s;
    s.report = [](std::uint32_t, int, int, int) {};
    s.pause = [](int) { return true; };
    s.identify = [](snmpaccess::SnmpTarget&, int) { return 0; };
    auto sheet = std::make_unique<CConfigPropSheet>(std::move(s));
    EXPECT_EQ(sheet->Start(target, 0), 0);
    return sheet;
  }

  // Files in the scratch folder (temporary files left behind show here).
  std::vector<std::string> files() const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir)) out.push_back(e.path().filename().string());
    return out;
  }

  std::filesystem::path dir;
};

const std::string kOwnAddress = R"({"oid":".6.3.1.4.1.0","type":"ip","value":"127.0.1.1"})";

TEST_F(BackupTest, SaveWritesTheSectionsWithTagsAndRestoresToNoChange) {
  simproc::Sim sim(8, "", kOwnAddress);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  const auto file = dir / "unit.cfg";
  {
    auto sheet = readSheet();
    const BackupSaveResult r = saveConfiguration(*sheet, file.string(), {});
    EXPECT_EQ(r.rc, 0) << r.error;
    EXPECT_TRUE(r.written);
    EXPECT_FALSE(r.writeOnly);
  }
  const std::string text = slurp(file);
  EXPECT_NE(text.find("[TCP/IP]\r\n"), std::string::npos) << "sections written the Windows way";
  EXPECT_EQ(text.find("\n\n"), std::string::npos) << "no bare line ends";
  EXPECT_LT(text.find("[SNMP]"), text.find("[TCP/IP]")) << "SNMP before the protocol pages";
  platform::Profile p;
  p.parse(text);
  EXPECT_EQ(p.get("TCP/IP", E + ".6.3.1.4.1.0"), "<0>127.0.1.1");
  EXPECT_FALSE(p.get("TCP/IP", E + ".6.3.1.1.0")) << "the level stays out";
  EXPECT_FALSE(p.get("SNMP", "1.3.6.1.2.1.1.1.0")) << "sysDescr stays out";
  EXPECT_FALSE(p.get("SNMP", E + ".3.4.0")) << "no SET community without a value";
  EXPECT_EQ(modeOf(file), defaultFileMode());
  EXPECT_EQ(files(), std::vector<std::string>{"unit.cfg"}) << "no temporary file is left";

  auto sheet = readSheet();
  EXPECT_EQ(restoreConfiguration(*sheet, file.string()), 0);
  EXPECT_TRUE(changedOids(*sheet).empty()) << "an unchanged file changes nothing";
  for (CDevicePage* page : sheet->pages()) EXPECT_EQ(page->restored(), 1) << page->title();
  const std::size_t before = sim.requests().size();
  ASSERT_EQ(sheet->saveAll(), 0);
  std::vector<std::vector<std::string>> sets;
  const auto requests = sim.requests();
  for (std::size_t i = before; i < requests.size(); ++i)
    if (requests[i].pdu == "set") sets.push_back(requests[i].oids);
  EXPECT_EQ(sets, (std::vector<std::vector<std::string>>{{E + ".2.2.0"}})) << "only the reset is sent";
}

TEST_F(BackupTest, WriteOnlyValuesGoIntoTheirSectionsAndKeepTheFilePrivate) {
  simproc::Sim sim(8, "", kOwnAddress);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  const auto file = dir / "secret.cfg";
  auto sheet = readSheet();
  WriteOnlyInfoModel model = WriteOnlyInfoModel::forSheet(*sheet);
  EXPECT_TRUE(model.item(WriteOnlyInfoModel::SetCommunity).enabled);
  EXPECT_TRUE(model.item(WriteOnlyInfoModel::TcpIpPassword).enabled) << "TCP/IP at level 8";
  EXPECT_TRUE(model.item(WriteOnlyInfoModel::NetWarePassword).enabled) << "NetWare is installed";
  model.set(WriteOnlyInfoModel::SetCommunity, "s3cret");
  model.set(WriteOnlyInfoModel::TcpIpPassword, std::string(30, 'p'));
  const WriteOnlyValues values = model.values();
  EXPECT_EQ(values.tcpipPassword.size(), 24u) << "cut at the field's limit";

  const BackupSaveResult r = saveConfiguration(*sheet, file.string(), values);
  EXPECT_EQ(r.rc, 0) << r.error;
  EXPECT_TRUE(r.writeOnly);
  EXPECT_EQ(modeOf(file), 0600u) << "write-only values are in clear text";
  platform::Profile p;
  p.parse(slurp(file));
  EXPECT_EQ(p.get("SNMP", E + ".3.4.0"), "<4>s3cret");
  EXPECT_EQ(p.get("TCP/IP", E + ".6.3.1.4.14.0"), "<4>" + std::string(24, 'p'));

  // Loaded back, the community is pending for the next save.
  auto again = readSheet();
  EXPECT_EQ(restoreConfiguration(*again, file.string()), 0);
  bool pending = false;
  for (snmpaccess::CMibGroup* g : again->snmpPage().groups())
    if (g->extraCount() > 0 && g->extraPending(0)) pending = true;
  EXPECT_TRUE(pending);
}

TEST(WriteOnlyInfo, FieldsFollowTheInstalledProtocolsAndLevel) {
  using F = WriteOnlyInfoModel;
  const struct {
    const char* name;
    bool tcpip;
    int level;
    bool netware, vines;
    bool enabled[F::FieldCount];
  } cases[] = {
      {"TCP/IP at level 3", true, 3, false, false, {true, true, false, false}},
      {"TCP/IP at level 2", true, 2, false, false, {true, false, false, false}},
      {"level 0 has every feature", true, 0, false, false, {true, true, false, false}},
      {"no TCP/IP", false, 8, true, true, {true, false, true, true}},
  };
  for (const auto& c : cases) {
    F model(c.tcpip, c.level, c.netware, c.vines);
    for (int i = 0; i < F::FieldCount; ++i) {
      const auto f = static_cast<F::Field>(i);
      EXPECT_EQ(model.item(f).enabled, c.enabled[i]) << c.name << " field " << i;
      model.set(f, "value");
    }
    const WriteOnlyValues v = model.values();
    EXPECT_EQ(v.setCommunity, "value") << c.name;
    EXPECT_EQ(v.tcpipPassword.empty(), !c.enabled[F::TcpIpPassword]) << c.name << ": a disabled field keeps nothing";
    EXPECT_EQ(v.netwarePassword.empty(), !c.enabled[F::NetWarePassword]) << c.name;
    EXPECT_EQ(v.vinesPassword.empty(), !c.enabled[F::VinesPassword]) << c.name;
  }
  F model(true, 8, true, true);
  model.set(F::NetWarePassword, "0123456789AB");
  EXPECT_EQ(model.values().netwarePassword, "012345678") << "at most 9";
}

TEST(BackupFileAddress, TheTcpIpSectionsAddressWithoutItsTag) {
  const auto dir = simproc::scratchDir();
  const struct {
    const char* name;
    std::string text;
    const char* expected;
  } cases[] = {
      {"address", "[tcp/ip]\r\n" + E + ".6.3.1.4.1.0=<0>10.1.2.3\r\n", "10.1.2.3"},
      {"another family's key", "[TCP/IP]\r\n1.3.6.1.4.1.683.6.3.1.4.1.0=<0>10.1.2.3\r\n", ""},
      {"wrong tag", "[TCP/IP]\r\n" + E + ".6.3.1.4.1.0=<4>10.1.2.3\r\n", ""},
      {"malformed", "[TCP/IP]\r\n" + E + ".6.3.1.4.1.0=<0>10.1.2\r\n", ""},
      {"no section", "[SNMP]\r\n", ""},
  };
  for (const auto& c : cases) {
    const auto file = dir / "a.cfg";
    std::ofstream(file, std::ios::binary) << c.text;
    EXPECT_EQ(backupFileAddress(file.string(), E), c.expected) << c.name;
  }
  EXPECT_EQ(backupFileAddress((dir / "none.cfg").string(), E), "");
  std::filesystem::remove_all(dir);
}

TEST_F(BackupTest, AFailedSaveLeavesAnExistingFileAsItWas) {
  // sysLocation longer than a backup value holds: the SNMP page cannot save it.
  simproc::Sim sim(8, "",
                   kOwnAddress + R"(,{"oid":"1.3.6.1.2.1.1.6.0","type":"text","max_length":400,"value":")" + std::string(300, 'x') +
                       R"("})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  const auto file = dir / "old.cfg";
  const std::string old = "[TCP/IP]\r\nold=<2>1\r\n";
  std::ofstream(file, std::ios::binary) << old;
  ::chmod(file.c_str(), 0640);
  auto sheet = readSheet();
  const BackupSaveResult r = saveConfiguration(*sheet, file.string(), {"community", "", "", ""});
  EXPECT_EQ(r.rc, texts::kBackupIncomplete);
  EXPECT_FALSE(r.written);
  EXPECT_EQ(slurp(file), old) << "the old backup is byte for byte as it was";
  EXPECT_EQ(modeOf(file), 0640u);
  EXPECT_EQ(files(), std::vector<std::string>{"old.cfg"}) << "no temporary file is left";
  EXPECT_EQ(saveSummaryText(r.rc), texts::kSaveValuesFailed);

  // Nothing before: the file is written as far as it got.
  const auto fresh = dir / "fresh.cfg";
  const BackupSaveResult f = saveConfiguration(*sheet, fresh.string(), {});
  EXPECT_EQ(f.rc, texts::kBackupIncomplete);
  EXPECT_TRUE(f.written);
  platform::Profile p;
  p.parse(slurp(fresh));
  EXPECT_TRUE(p.get("TCP/IP", E + ".6.3.1.4.1.0"));
  EXPECT_FALSE(p.get("SNMP", "1.3.6.1.2.1.1.6.0"));
}

TEST_F(BackupTest, AnUnwritableFolderLeavesNothingBehind) {
  simproc::Sim sim(8, "", kOwnAddress);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = readSheet();
  const BackupSaveResult r = saveConfiguration(*sheet, (dir / "missing" / "x.cfg").string(), {});
  EXPECT_EQ(r.rc, texts::kBackupIncomplete);
  EXPECT_FALSE(r.written);
  EXPECT_FALSE(r.error.empty());
}

TEST_F(BackupTest, AWindowsStyleFileRestoresWhatItCanAndReportsTheRest) {
  simproc::Sim sim(8, "", kOwnAddress);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = readSheet();
  const std::string fixture = simproc::sourceDir() + "/tests/config/data/windows-style.cfg";
  EXPECT_EQ(restoreConfiguration(*sheet, fixture), texts::kBackupIncomplete);
  EXPECT_EQ(restoreSummaryText(texts::kBackupIncomplete), texts::kRestoreValuesFailed);
  const std::set<std::string> changed = changedOids(*sheet);
  const struct {
    const char* name;
    std::string oid;
    bool changed;
  } cases[] = {
      {"gateway in a lower-case section name", E + ".6.3.1.4.2.0", true},
      {"mask with two dots", E + ".6.3.1.4.3.0", false},
      {"domain of 256 bytes", E + ".6.3.1.4.39.0", false},
      {"contact before the bad tag", "1.3.6.1.2.1.1.4.0", true},
      {"name with tag <5>", "1.3.6.1.2.1.1.5.0", false},
      {"location after the bad tag: the group stopped", "1.3.6.1.2.1.1.6.0", false},
      {"GET community: another group of the section", E + ".3.3.0", true},
  };
  for (const auto& c : cases) EXPECT_EQ(changed.count(c.oid) == 1, c.changed) << c.name;
  EXPECT_EQ(changed.size(), 3u);
  EXPECT_EQ(restoreConfiguration(*sheet, (dir / "none.cfg").string()), snmpaccess::result::kDoesNotFit);
}

TEST_F(BackupTest, SectionsByStringId) {
  simproc::Sim sim(8, "", kOwnAddress);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto sheet = readSheet();
  snmpaccess::CMibGroup& tcp = *sheet->tcpIpPage().groups().at(0);
  platform::Profile file;
  EXPECT_EQ(tcp.saveById(mib::kStringTcpIpSection, file), 0);
  EXPECT_EQ(file.get("TCP/IP", E + ".6.3.1.4.1.0"), "<0>127.0.1.1");
  EXPECT_EQ(tcp.saveById(texts::kSectionSnmp, file), 0) << "a name from the program's table";
  EXPECT_TRUE(file.hasSection("SNMP"));
  EXPECT_EQ(tcp.saveById(1, file), snmpaccess::result::kIndexRange) << "an id without a text";
  file.set("TCP/IP", E + ".6.3.1.4.2.0", "<0>10.1.1.1");
  EXPECT_EQ(tcp.restoreById(mib::kStringTcpIpSection, file), 0);
  EXPECT_EQ(tcp.changedCount(), 1);
  EXPECT_EQ(tcp.restoreById(1, file), snmpaccess::result::kIndexRange);

  // Trap destination rows: the protocol's name gives one section per row.
  platform::Profile traps;
  for (snmpaccess::CMibGroup* g : sheet->page(PageSlot::Traps)->groups())
    if (g->def().id == mib::GroupId::IpTrap || g->def().id == mib::GroupId::IpTrap2) {
      EXPECT_EQ(g->saveById(mib::kStringTcpIpSection, traps), 0);
    }
  EXPECT_TRUE(traps.hasSection("TCP/IPTrapDest1"));
  platform::Profile generic;
  for (snmpaccess::CMibGroup* g : sheet->page(PageSlot::Traps)->groups())
    if (g->def().id == mib::GroupId::IpTrap || g->def().id == mib::GroupId::IpTrap2) {
      EXPECT_EQ(g->saveById(texts::kSectionTrapDest, generic), 0);
    }
  EXPECT_EQ(generic.sections(), traps.sections()) << "\"%sTrapDest%c\" names the same sections";
}

}  // namespace

namespace {

TEST_F(BackupTest, PortRowsGetOneSectionEachWithoutTheirStatusVariables) {
  simproc::Sim sim(8, "", kOwnAddress);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  int rc = -1;
  snmpaccess::CSnmpSession session(&target, rc);
  ASSERT_EQ(rc, 0);
  snmpaccess::GroupParams p;
  p.prefix = E;
  snmpaccess::COutputPortGroup ports(p);
  ASSERT_EQ(ports.read(session), 0);
  platform::Profile file;
  EXPECT_EQ(ports.saveById(texts::kSectionPort, file), 0);
  EXPECT_EQ(file.sections(), (std::vector<std::string>{"Port1", "Port2"}));
  const struct {
    const char* name;
    std::string section, key;
    bool present;
  } cases[] = {
      {"port name", "Port1", E + ".6.2.3.2.1.2.1", true},
      {"second port's name", "Port2", E + ".6.2.3.2.1.2.2", true},
      {"variable 13", "Port1", E + ".6.2.3.2.1.14.1", true},
      {"variable 14", "Port1", E + ".6.2.3.2.1.15.1", false},
      {"variable 15", "Port1", E + ".6.2.3.2.1.16.1", false},
      {"printer status", "Port1", "1.3.6.1.2.1.43.16.5.1.2.1.1", false},
  };
  for (const auto& c : cases) EXPECT_EQ(file.get(c.section, c.key).has_value(), c.present) << c.name;
  EXPECT_EQ(ports.restoreById(texts::kSectionPort, file), 0);
  EXPECT_EQ(ports.changedCount(), 0);
}

}  // namespace
