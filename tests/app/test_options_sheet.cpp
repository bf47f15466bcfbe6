#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "app/options_sheet.h"
#include "app/settings.h"
#include "app/view_manager.h"
#include "config/config_texts.h"
#include "view_test_support.h"

using app::COptionsPropertySheet;

namespace {

constexpr std::uint32_t kAllProtocols = app::kProbeTcpIp | app::kProbeNetWare | app::kProbeSerial;

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Every value of the store as "key|name" -> value text.
void dump(const platform::Registry& reg, const std::string& key, std::map<std::string, std::string>& out) {
  for (const auto& [name, v] : reg.values(key))
    out[key + "|" + name] = v.type == platform::RegValue::Type::Dword ? std::to_string(v.dword) : "\"" + v.text + "\"";
  for (const std::string& sub : reg.subKeys(key)) dump(reg, key.empty() ? sub : key + "\\" + sub, out);
}
std::map<std::string, std::string> dump(platform::Registry& reg) {
  reg.reload();
  std::map<std::string, std::string> out;
  dump(reg, "", out);
  return out;
}

// What changed between two dumps: "key|name=new" (or "key|name deleted").
std::set<std::string> diff(const std::map<std::string, std::string>& a, const std::map<std::string, std::string>& b) {
  std::set<std::string> out;
  for (const auto& [k, v] : b)
    if (auto it = a.find(k); it == a.end() || it->second != v) out.insert(k + "=" + v);
  for (const auto& [k, v] : a)
    if (!b.count(k)) out.insert(k + " deleted");
  return out;
}

struct OptionsStore : ViewStore {
  OptionsStore() {
    reg.transaction([](platform::Registry& tx) {
      tx.setDword("Timeouts", "GetTimeout", 700);
      tx.setString("Access\\IP", "All", "127.0.0.*");
      tx.setString("Access\\IP", "<Default>Get", "public");
      tx.setString("Access\\IP", "127.0.0.*Get", "labget");
      tx.setString("Access\\IP", "127.0.0.*Set", "labset");
      tx.setString("Access\\NW", "All", "0000ABCD-");
      return true;
    });
  }
};

}  // namespace

TEST(OptionsSheet, CancelLeavesTheSettingsFileByteIdentical) {
  OptionsStore s;
  const std::string before = fileBytes(s.file);
  {
    COptionsPropertySheet sheet(s.reg, kAllProtocols);
    app::CDeviceAccessPage& access = sheet.access();
    access.selectEntry(1);
    access.setCommunities("changed", "changed");
    ASSERT_EQ(access.addEntry("127.0.1.*"), 0u);
    access.selectProtocol(1);  // a protocol switch saves nothing
    access.selectEntry(1);
    EXPECT_TRUE(access.deleteSelected());
    sheet.icons().setLevel(0, 3);
    sheet.icons().setAppIcon(true);
    sheet.misc().doubleClick = 32799;
    sheet.misc().discoveryPort = 4210;
    sheet.timeouts().setDefaults();
    sheet.timeouts().setValue(4, 9000);
  }  // Cancel
  EXPECT_EQ(fileBytes(s.file), before);
}

TEST(OptionsSheet, OkChangesExactlyWhatWasEdited) {
  struct Case {
    const char* what;
    std::function<void(COptionsPropertySheet&)> edit;
    std::set<std::string> changes;
  };
  const Case cases[] = {
      {"nothing", [](COptionsPropertySheet&) {}, {}},
      {"one timeout", [](COptionsPropertySheet& o) { o.timeouts().setValue(4, 9000); }, {"Timeouts|Broadcast=9000"}},
      {"a timeout set to what it was", [](COptionsPropertySheet& o) { o.timeouts().setValue(0, 700); }, {}},
      {"the communities of one pattern",
       [](COptionsPropertySheet& o) {
         o.access().selectEntry(1);
         o.access().setCommunities("newget", "labset");
       },
       {"Access\\IP|127.0.0.*Get=\"newget\""}},
      {"a pattern added to the NetWare list after a switch",
       [](COptionsPropertySheet& o) {
         o.access().selectProtocol(1);
         ASSERT_EQ(o.access().addEntry("0000EEEE-*"), 0u);
       },
       {"Access\\NW|All=\"0000ABCD-,0000EEEE-*\""}},
      {"a pattern deleted (its values stay, unlisted)",
       [](COptionsPropertySheet& o) {
         o.access().selectEntry(1);
         EXPECT_TRUE(o.access().deleteSelected());
       },
       {"Access\\IP|All=\"\""}},
      {"one status row", [](COptionsPropertySheet& o) { o.icons().setLevel(3, 3); },
       {"General\\Icons|Error=" + std::to_string(0x30000 | 0x40), "General\\Icons|Warning=" + std::to_string(0x23E1 & ~0x40)}},
      {"only the application icon", [](COptionsPropertySheet& o) { o.icons().setAppIcon(true); }, {"General\\Icons|SetAppIcon=1"}},
      {"double-click, port, refresh",
       [](COptionsPropertySheet& o) {
         o.misc().doubleClick = 32799;
         o.misc().discoveryPort = 4242;
         o.misc().refreshAlways = 1;
       },
       {"General|DoubleClick=32799", "Access\\IP|DiscoveryPort=4242", "General|RefreshAlways=1"}},
      {"quick search turned on", [](COptionsPropertySheet& o) { o.misc().quickSearch = 1; }, {"General|QuickSearch=1"}},
      {"quick search left off", [](COptionsPropertySheet& o) { o.misc().quickSearch = 0; }, {}},
  };
  for (const auto& c : cases) {
    OptionsStore s;
    const auto before = dump(s.reg);
    app::GlobalSettings g;
    COptionsPropertySheet sheet(s.reg, kAllProtocols);
    c.edit(sheet);
    const app::OptionsApplied r = sheet.ok(g);
    EXPECT_TRUE(r.ok) << c.what << ": " << r.error;
    EXPECT_EQ(diff(before, dump(s.reg)), c.changes) << c.what;
  }
}

TEST(OptionsSheet, OkUpdatesTheGlobalSettingsAndSaysWhatToRefresh) {
  OptionsStore s;
  app::GlobalSettings g;
  {
    COptionsPropertySheet sheet(s.reg, kAllProtocols);
    sheet.icons().setAppIcon(true);
    const auto r = sheet.ok(g);
    EXPECT_TRUE(r.appIconChanged);
    EXPECT_FALSE(r.masksChanged) << "only the application icon: no refresh";
    EXPECT_EQ(g.setAppIcon.load(), 1u);
  }
  COptionsPropertySheet sheet(s.reg, kAllProtocols);
  sheet.timeouts().setDefaults();
  sheet.icons().setLevel(0, 1);
  const auto r = sheet.ok(g);
  EXPECT_TRUE(r.masksChanged);
  EXPECT_EQ(g.getTimeout.load(), 500u);
  EXPECT_EQ(s.reg.getDword("Timeouts", "GetTimeout", 0), 500u) << "Set To Defaults then OK";
  EXPECT_EQ(g.warningMask.load(), 0x23E1u & ~1u);
}

TEST(OptionsSheet, TimeoutsOutOfRangeAreRefusedAndNothingIsWritten) {
  struct Case {
    int field;
    std::uint32_t value;
    const char* message;
  };
  const Case cases[] = {
      {0, 9, "SNMP Get Timeout: enter a value from 10 to 30000."},
      {1, 30001, "SNMP Set Timeout: enter a value from 10 to 30000."},
      {2, 21, "Max SNMP Get/Set Retries: enter a value from 0 to 20."},
      {3, 0, "Device Reset Timeout: enter a value from 1 to 600."},
      {4, 99, "Network SearchTimeout: enter a value from 100 to 120000."},
      {5, 101, "Max Search Retries: enter a value from 0 to 100."},
  };
  for (const auto& c : cases) {
    OptionsStore s;
    const std::string before = fileBytes(s.file);
    app::GlobalSettings g;
    COptionsPropertySheet sheet(s.reg, kAllProtocols);
    sheet.misc().refreshAlways = 1;
    sheet.timeouts().setValue(c.field, c.value);
    const auto r = sheet.ok(g);
    EXPECT_FALSE(r.ok) << c.message;
    EXPECT_EQ(r.page, 3) << c.message;
    EXPECT_EQ(r.error, c.message);
    EXPECT_EQ(fileBytes(s.file), before) << c.message;
  }
}

TEST(OptionsSheet, DeviceAccessProtocolsAndEntries) {
  OptionsStore s;
  {
    app::CDeviceAccessPage page(s.reg, app::kProbeTcpIp | app::kProbeSerial);
    ASSERT_EQ(page.protocols().size(), 2u) << "no NetWare client: TCP/IP and Serial Port only";
    EXPECT_STREQ(page.protocols()[1].name, "Serial Port");
    EXPECT_EQ(page.addresses(), (std::vector<std::string>{"<Default>", "127.0.0.*"}));
    EXPECT_EQ(page.getCommunity(), "public");
    page.selectProtocol(1);
    EXPECT_FALSE(page.canAddDelete());
    EXPECT_NE(page.addEntry("127.0.0.9"), 0u);
  }
  struct Case {
    const char* what;
    int protocol;  // 0 TCP/IP, 1 NetWare
    const char* pattern;
    std::uint32_t message;
  };
  const Case cases[] = {
      {"address", 0, "10.1.2.3", 0},
      {"subnet", 0, "10.1.2.*", 0},
      {"three numbers", 0, "10.1.2", 0},  // inet_addr takes it, as the dialog did
      {"not an address", 0, "printer", config::texts::kInvalidIpAddress},
      {"empty", 0, "", config::texts::kInvalidIpAddress},
      {"already listed", 0, "127.0.0.*", config::texts::kInvalidIpAddress},
      {"serial number", 1, "0000AB12CD34", 0},
      {"network and dash", 1, "0000ABCD-*", 0},
      {"invalid character", 1, "0000ABCG", config::texts::kInvalidIpxEntry},
      {"empty NetWare", 1, "", config::texts::kInvalidIpxEntry},
  };
  for (const auto& c : cases) {
    app::CDeviceAccessPage page(s.reg, kAllProtocols);
    page.selectProtocol(c.protocol);
    EXPECT_EQ(page.addEntry(c.pattern), c.message) << c.what;
    if (c.message == 0) {
      EXPECT_EQ(page.addresses().back(), c.pattern) << c.what;
    }
  }
}

TEST(OptionsSheet, ValuesByName) {
  OptionsStore s;
  COptionsPropertySheet sheet(s.reg, kAllProtocols);
  struct Case {
    const char* name;
    const char* value;
    bool accepted;
  };
  const Case cases[] = {
      {"GetTimeout", "10", true},     {"gettimeout", "9", false},    {"Broadcast", "6000x", false},
      {"SnmpRetry", "-1", false},     {"DoubleClick", "32799", true}, {"DoubleClick", "32789", false},
      {"DiscoveryPort", "9", true},   {"DiscoveryPort", "4243", false}, {"DiscoveryPort", "4242", true},
      {"RefreshAlways", "2", false},  {"SetAppIcon", "1", true},     {"Paper Out", "Error", true},
      {"toner low", "Warning", true}, {"Toner Low*", "Severe", false}, {"NoSuchOption", "1", false},
      {"QuickSearch", "2", false},    {"QuickSearch", "on", false},  {"QuickSearch", "1", true},
  };
  for (const auto& c : cases) EXPECT_EQ(!sheet.set(c.name, c.value).has_value(), c.accepted) << c.name << "=" << c.value;
  EXPECT_EQ(sheet.value("GetTimeout"), "10");
  EXPECT_EQ(sheet.value("Paper Out"), "Error");
  EXPECT_EQ(sheet.value("DiscoveryPort"), "4242");
  EXPECT_EQ(sheet.value("QuickSearch"), "1");
}
