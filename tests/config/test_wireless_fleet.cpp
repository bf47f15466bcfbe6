// Wireless units of the simulated fleet (sim/data/wireless-fleet.json): a unit reconfigured
// through the sheet and read back after its reset by net-snmp's snmpget, a channel list that
// follows the country, and certificates sent to the units' FTP receivers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "config/certificate_send.h"
#include "config/config_sheet.h"
#include "config/wireless_page.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "wireless_fleet.h"

using namespace config;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

std::string run(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return out;
  std::array<char, 512> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe.get())) out += buffer.data();
  return out;
}

bool haveSnmpget() { return std::system("command -v snmpget >/dev/null 2>&1") == 0; }

class WirelessFleetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target.setGetCommunity("vorlak");
    target.setSetCommunity("vorlak");
    target.progress = &progress;
    snmpaccess::setGroupTimeouts(50, 50);
  }
  void TearDown() override { SnmpCleanup(); }

  // A sheet whose reset waits until the unit answers again.
  std::unique_ptr<CConfigPropSheet> makeSheet() {
    SheetServices s;
    s.report = [this](std::uint32_t text, int, int code, int) { reported.push_back(std::to_string(text) + "/" + std::to_string(code)); };
    s.pause = [](int ms) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 200)));
      return true;
    };
    s.identify = [](snmpaccess::SnmpTarget& t, int) {
      for (int i = 0; i < 60; ++i) {
        int rc = 0;
        snmpaccess::CSnmpSession session(&t, rc);
        snmpaccess::CServerInfoGroup info;
        if (rc == 0 && info.read(session) == 0) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      return -1;
    };
    return std::make_unique<CConfigPropSheet>(std::move(s));
  }

  snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target;
  std::vector<std::string> reported;
};

TEST_F(WirelessFleetTest, ReconfiguredUnitReadsBackAfterItsReset) {
  ASSERT_TRUE(haveSnmpget()) << "net-snmp's snmpget is needed for this test (Debian package snmp)";
  wirelesssim::Fleet fleet;
  ASSERT_TRUE(fleet.ready()) << fleet.errors();
  const std::string unit = "127.0.6.4";  // wireless level 3
  target.setAddress(unit);
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  auto* page = dynamic_cast<CWirelessPage*>(sheet->page(PageSlot::Wireless));
  ASSERT_NE(page, nullptr);
  page->open();
  page->ssid = "floor-2";
  page->mode = 1;
  page->channel = 13;
  CWirelessSecurityDlg dialog = page->securityDialog();
  dialog.selectEncryption(kWep64);
  EXPECT_EQ(dialog.check().message, kTextBadCombination) << "WEP is not allowed with PSK";
  dialog.authType = 0;  // Open System
  dialog.keys[0] = "A1B2C3D4E5";
  ASSERT_TRUE(dialog.check().ok()) << dialog.check().message;
  page->takeSecurity(dialog);
  ASSERT_EQ(sheet->ok(page, [](const std::string&) { return true; }, nullptr), OkOutcome::Saved);
  EXPECT_TRUE(reported.empty()) << reported.front();

  const auto sets = fleet.sets(unit);
  ASSERT_EQ(sets.size(), 3u) << "the wireless group, key 1, the reset";
  std::vector<std::string> oids;
  for (const auto& b : sets[0]) oids.push_back(b.first);
  EXPECT_EQ(oids, (std::vector<std::string>{E + ".8.3.1.0", E + ".8.3.2.0", E + ".8.3.4.0", E + ".8.3.5.0",
                                            E + ".8.3.26.0"}));
  ASSERT_EQ(sets[1].size(), 1u);
  EXPECT_EQ(sets[1][0], (std::pair<std::string, std::string>{E + ".8.3.7.1.2.1", "A1B2C3D4E5"})) << "five bytes";
  EXPECT_EQ(sets[2][0].first, E + ".2.2.0");

  const std::string out = run("snmpget -v1 -c vorlak -r 2 -t 1 -Oqv " + unit + ":" + std::to_string(fleet.snmpPort()) +
                              " " + E + ".8.3.4.0 " + E + ".8.3.2.0 " + E + ".8.3.1.0 " + E + ".8.3.5.0 " + E +
                              ".8.3.7.1.2.1 2>&1");
  EXPECT_EQ(out, "\"floor-2\"\n13\n1\n1\n\"*\"\n") << "the key reads back masked";
}

TEST_F(WirelessFleetTest, ChannelListFollowsTheCountry) {
  wirelesssim::Fleet fleet;
  ASSERT_TRUE(fleet.ready()) << fleet.errors();
  target.setAddress("127.0.6.10");
  std::vector<std::int32_t> before, after;
  {
    auto sheet = makeSheet();
    ASSERT_EQ(sheet->Start(target, 0), 0);
    auto* page = dynamic_cast<CWirelessPage*>(sheet->page(PageSlot::Wireless));
    ASSERT_NE(page, nullptr);
    page->open();
    for (const auto& c : page->channels) before.push_back(c.data);
    ASSERT_EQ(page->countryList.size(), 3u);
    EXPECT_EQ(page->countryList[page->country].text, "United States");
    page->country = 2;  // Japan Outdoor
    ASSERT_EQ(sheet->ok(page, [](const std::string&) { return true; }, nullptr), OkOutcome::Saved);
  }
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  auto* page = dynamic_cast<CWirelessPage*>(sheet->page(PageSlot::Wireless));
  ASSERT_NE(page, nullptr);
  page->open();
  for (const auto& c : page->channels) after.push_back(c.data);
  EXPECT_EQ(before, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(after, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
  EXPECT_EQ(page->countryList[page->country].text, "Japan Outdoor");
}

TEST_F(WirelessFleetTest, UnitWithoutWirelessHasNoPage) {
  wirelesssim::Fleet fleet;
  ASSERT_TRUE(fleet.ready()) << fleet.errors();
  target.setAddress("127.0.6.21");
  auto sheet = makeSheet();
  ASSERT_EQ(sheet->Start(target, 0), 0);
  std::vector<std::string> titles;
  for (CDevicePage* p : sheet->pages()) titles.push_back(p->title());
  EXPECT_EQ(titles, (std::vector<std::string>{"TCP/IP", "SNMP", "Protocols", "SNMP Traps"}));
  EXPECT_TRUE(reported.empty());
}

struct Host : CertificateSendHost {
  std::optional<std::string> askPassword() override {
    ++asked;
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  void message(const std::string& text) override { messages.push_back(text); }
  void busy(bool on) override { busyCalls += on ? 1 : 0; }
  std::vector<std::optional<std::string>> answers;
  std::vector<std::string> messages;
  int asked = 0, busyCalls = 0;
};

TEST_F(WirelessFleetTest, CertificateToTheUnitsReceivers) {
  wirelesssim::Fleet fleet;
  ASSERT_TRUE(fleet.ready()) << fleet.errors();
  ::setenv("TRELLAN_FTP_PORT", std::to_string(fleet.ftpPort()).c_str(), 1);
  std::string certificate = "cert\r\n";
  for (int i = 0; i < 2000; ++i) certificate.push_back(static_cast<char>(255 - i % 256));
  const std::string local = (fleet.dir() / "unit.pem").string();
  std::ofstream(local, std::ios::binary) << certificate;

  struct Case {
    const char* name;
    std::string address, file;
    std::vector<std::optional<std::string>> answers;
    CertificateOutcome outcome;
    std::vector<std::string> messages;
    int asked;
  } cases[] = {
      {"sent after an empty password is asked again", "127.0.6.4", local, {"", "lab-pass"}, CertificateOutcome::Sent, {}, 2},
      {"no file name", "127.0.6.4", "", {"lab-pass"}, CertificateOutcome::NoFile, {kTextNoCertificate}, 0},
      {"password prompt cancelled", "127.0.6.4", local, {std::nullopt}, CertificateOutcome::Cancelled, {}, 1},
      {"a refused login", "127.0.6.4", local, {"wrong"}, CertificateOutcome::Failed, {kTextCertificateFailed}, 1},
      {"a missing file", "127.0.6.4", local + ".missing", {"lab-pass"}, CertificateOutcome::Failed,
       {kTextCertificateFailed}, 1},
      {"a unit without FTP", "127.0.6.20", local, {"lab-pass"}, CertificateOutcome::Failed, {kTextCertificateFailed}, 1},
  };
  for (const auto& c : cases) {
    Host host;
    host.answers = c.answers;
    EXPECT_EQ(sendCertificate(c.address, c.file, host, ftpCertificateUploader()), c.outcome) << c.name;
    EXPECT_EQ(host.messages, c.messages) << c.name;
    EXPECT_EQ(host.asked, c.asked) << c.name;
  }
  std::ifstream in(fleet.received("127.0.6.4"), std::ios::binary);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), certificate) << "byte for byte";
  EXPECT_FALSE(std::filesystem::exists(fleet.received("127.0.6.20")));
  ::unsetenv("TRELLAN_FTP_PORT");
}

}  // namespace
