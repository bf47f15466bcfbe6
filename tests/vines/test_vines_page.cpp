// The VINES page against simulated units, without the workstation's VINES client: what it reads
// and shows, what a save sends (the simulator's request log) and the checks that refuse names.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "access/progress_headless.h"
#include "config/change_password.h"
#include "config/unit_sim.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "vines/streettalk_name.h"
#include "vines/vines_client.h"
#include "vines/vines_page.h"
#include "support/unit_target_test.h"

using namespace vines;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);
const std::string kUnit =
    R"("name":"LAB","protocols":[1,3],"ports":[{"name":"LPT1"},{"name":"LPT2"},{"name":"LPT3"}],)"
    R"("variables":[{"oid":".6.3.3.4.5.0","type":"text","value":""}])";

std::vector<std::vector<std::string>> flat(const std::vector<std::vector<unitsim::Binding>>& sets) {
  std::vector<std::vector<std::string>> out;
  for (const auto& r : sets) {
    std::vector<std::string> one;
    for (const auto& b : r) one.push_back(b.oid.substr(E.size()) + "=" + b.value);
    out.push_back(one);
  }
  return out;
}

class VinesPageTest : public UnitTargetTest {
 protected:
};

TEST(StreetTalkName, Syntax) {
  struct Case {
    const char* name;
    bool valid;
  } cases[] = {
      {"", true},          {"Ann@Sales@Acme", true}, {"Ann@Sales", false}, {"@Sales@Acme", false},
      {"Ann@@Acme", false}, {"Ann@Sales@", false},    {"A@B@C@D", false},   {"Print Service@Lab@Acme", true},
  };
  for (const auto& c : cases) EXPECT_EQ(isValidStreetTalkName(c.name), c.valid) << c.name;
  for (char c : std::string("\"$&'*/\\[]`?:<>=")) EXPECT_FALSE(streetTalkCharacterAccepted(c)) << c;
  for (char c : std::string(" aZ9@.-_")) EXPECT_TRUE(streetTalkCharacterAccepted(c)) << c;
}

TEST(VinesClient, MissingLibraryIsNotAvailable) {
  CVinesClient client;
  EXPECT_FALSE(client.load("/nonexistent/libvnsapi32.so"));
  EXPECT_FALSE(client.available());
  EXPECT_FALSE(client.loggedIn());
  std::string empty;
  EXPECT_TRUE(client.formatName(empty));
  EXPECT_TRUE(client.mayManage("nobody"));
}

TEST_F(VinesPageTest, WithoutTheClientThePageWorksUnchecked) {
  unitsim::UnitSim sim(kUnit);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  int rc = 0;
  snmpaccess::CSnmpSession session(&target, rc);
  ASSERT_EQ(rc, 0);
  CVinesPage page(E, "/nonexistent/libvnsapi32.so");
  ASSERT_EQ(page.Read(session), 0);
  page.open();
  EXPECT_FALSE(page.clientAvailable());
  EXPECT_FALSE(page.browseShown());
  EXPECT_TRUE(page.controlsEnabled());
  EXPECT_TRUE(page.notice().empty());
  EXPECT_EQ(page.userName, "LAB@Lab@Trellan");
  EXPECT_EQ(page.slotCount(), 2);
  EXPECT_EQ(page.portCount(), 3);
  EXPECT_TRUE(page.portChoice());
  ASSERT_EQ(page.services.size(), 2u);
  EXPECT_EQ(page.services[1].name, "Print Service 2");
  EXPECT_EQ(page.services[1].port, 2);
}

TEST_F(VinesPageTest, SaveSendsWhatChanged) {
  struct Case {
    const char* name;
    std::function<void(CVinesPage&)> edit;
    std::vector<std::vector<std::string>> sets;
  } cases[] = {
      {"opened without a change", [](CVinesPage&) {}, {}},
      {"second service moved to port 3", [](CVinesPage& p) { p.services[1].port = 3; }, {{".6.3.3.4.4.1.3.2=3"}}},
      {"user name", [](CVinesPage& p) { p.userName = "Ann@Sales@Acme"; },
       {{".6.3.3.4.1.0=Ann@Sales@Acme"}}},
      {"a new password goes alone, write-only",
       [](CVinesPage& p) { EXPECT_TRUE(p.setPassword("secret", "secret").ok()); }, {{".6.3.3.4.5.0=secret"}}},
  };
  for (const auto& c : cases) {
    unitsim::UnitSim sim(kUnit);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    int rc = 0;
    snmpaccess::CSnmpSession session(&target, rc);
    CVinesPage page(E, "/nonexistent/libvnsapi32.so");
    ASSERT_EQ(page.Read(session), 0) << c.name;
    page.open();
    c.edit(page);
    EXPECT_TRUE(page.check().ok()) << c.name;
    EXPECT_EQ(page.Save(session), 0) << c.name;
    auto sets = flat(sim.sets());
    // Byte strings are logged in hexadecimal: compare the texts through it.
    for (auto& r : sets)
      for (auto& b : r) {
        const auto eq = b.find('=');
        std::string text;
        const std::string hex = b.substr(eq + 1);
        bool isHex = hex.size() % 2 == 0 && hex.size() > 2;
        for (std::size_t i = 0; isHex && i < hex.size(); i += 2) text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        if (isHex) b = b.substr(0, eq + 1) + text;
      }
    EXPECT_EQ(sets, c.sets) << c.name;
  }
}

TEST_F(VinesPageTest, ChecksAndLimits) {
  unitsim::UnitSim sim(kUnit);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  int rc = 0;
  snmpaccess::CSnmpSession session(&target, rc);
  CVinesPage page(E, "/nonexistent/libvnsapi32.so");
  ASSERT_EQ(page.Read(session), 0);
  page.open();
  struct Case {
    const char* name;
    std::function<void(CVinesPage&)> edit;
    std::string message, field;
  } cases[] = {
      {"user name with one @", [](CVinesPage& p) { p.userName = "Ann@Sales"; }, kTextInvalidName, "userName"},
      {"service without an item", [](CVinesPage& p) { p.services[0].name = "@Lab@Acme"; }, kTextInvalidName, "service1"},
      {"user name over 63 characters",
       [](CVinesPage& p) { p.userName = std::string(60, 'a') + "@b@c"; }, kTextInvalidName, "userName"},
  };
  for (const auto& c : cases) {
    const std::string user = page.userName;
    const auto services = page.services;
    c.edit(page);
    const config::PageCheck k = page.check();
    EXPECT_EQ(k.message, c.message) << c.name;
    EXPECT_EQ(k.field, c.field) << c.name;
    page.userName = user;
    page.services = services;
  }
  EXPECT_EQ(page.setPassword(std::string(16, 'x'), std::string(16, 'x')).message,
            "The password must be at most 15 characters.");
  EXPECT_EQ(page.setPassword("a b", "a b").message, config::kTextPasswordOneWord);
  EXPECT_FALSE(page.passwordSet());
  EXPECT_TRUE(sim.sets().empty());
}

TEST_F(VinesPageTest, SlotCountIsClampedToSix) {
  std::string vars = R"({"oid":".6.3.3.4.2.0","type":"int","value":9})";
  for (int k = 1; k <= 9; ++k)
    vars += R"(,{"oid":".6.3.3.4.4.1.2.)" + std::to_string(k) + R"(","type":"text","value":"S)" + std::to_string(k) +
            R"(@Lab@Acme"},{"oid":".6.3.3.4.4.1.3.)" + std::to_string(k) + R"(","type":"int","value":1})";
  unitsim::UnitSim sim(R"("protocols":[1,3],"ports":[{"name":"LPT1"}],"variables":[)" + vars + "]");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  int rc = 0;
  snmpaccess::CSnmpSession session(&target, rc);
  CVinesPage page(E, "/nonexistent/libvnsapi32.so");
  ASSERT_EQ(page.Read(session), 0);
  page.open();
  EXPECT_EQ(page.slotCount(), 6);
  EXPECT_EQ(page.services.size(), 6u);
  EXPECT_EQ(page.services[5].name, "S6@Lab@Acme");
  EXPECT_FALSE(page.portChoice());
  EXPECT_EQ(page.Save(session), 0);
  EXPECT_TRUE(sim.sets().empty());
}

}  // namespace
