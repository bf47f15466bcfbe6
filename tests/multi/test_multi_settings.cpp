// The settings of "Configure Multiple Devices" as they are built and formatted, without a unit.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "multi/multi_config_fields.h"
#include "multi/multi_config_log.h"
#include "multi/multi_config_run.h"

using namespace multi;

namespace {

TEST(MultiSettings, FieldsBecomeBindings) {
  struct Case {
    const char* name;
    const char* value;
    const char* oid;  // as stored
    bool perPort;
    MultiBinding::Type type;
    std::int32_t integer;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"tcpip", "on", "0.6.3.1.2.0", false, MultiBinding::Type::Integer, 2, ""},
      {"tcpip", "off", "0.6.3.1.2.0", false, MultiBinding::Type::Integer, 1, ""},
      {"wins-by-dhcp", "on", "0.6.3.1.4.13.0", false, MultiBinding::Type::Integer, 1, ""},
      {"wins-by-dhcp", "off", "0.6.3.1.4.13.0", false, MultiBinding::Type::Integer, 2, ""},
      {"language-switching", "Automatic", "0.6.2.3.2.1.7", true, MultiBinding::Type::Integer, 4, ""},
      {"system-contact", "desk", "1.3.6.1.2.1.1.4.0", false, MultiBinding::Type::Text, 0, "desk"},
      {"rf-channel", "6", "0.8.3.2.0", false, MultiBinding::Type::Integer, 6, ""},
      {"wep-key-select", "1", "0.8.3.6.0", false, MultiBinding::Type::Integer, 0, ""},
      {"data-rate", "5.5", "0.8.3.3.0", false, MultiBinding::Type::Integer, 2, ""},
      {"unsolicited-arp", "0", "0.6.3.1.4.16.0", false, MultiBinding::Type::Integer, 0, ""},
  };
  for (const Case& c : cases) {
    CMultiConfigSettings s;
    ASSERT_EQ(buildMultiSettings({{c.name, c.value}}, s), "") << c.name;
    ASSERT_EQ(s.count(), 1) << c.name;
    const MultiBinding& b = c.perPort ? s.perPort()[0] : s.deviceWide()[0];
    EXPECT_EQ(b.oid, c.oid) << c.name;
    EXPECT_EQ(b.type, c.type) << c.name;
    EXPECT_EQ(b.integer, c.integer) << c.name;
    EXPECT_EQ(b.bytes, c.bytes) << c.name;
  }
}

TEST(MultiSettings, WepKeysGoOutAsBytes) {
  CMultiConfigSettings s;
  ASSERT_EQ(buildMultiSettings({{"encryption", "WEP 64"}, {"wep-key-2", "0aFf102030"}}, s), "");
  ASSERT_EQ(s.count(), 2);
  EXPECT_EQ(s.deviceWide()[1].oid, "0.8.3.7.1.2.2");
  EXPECT_EQ(s.deviceWide()[1].type, MultiBinding::Type::Bytes);
  EXPECT_EQ(s.deviceWide()[1].bytes, std::string("\x0a\xff\x10\x20\x30", 5));
}

TEST(MultiSettings, BadValuesAreRefusedWithTheirField) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> values;
    const char* says;
  };
  const std::vector<Case> cases = {
      {{{"nosuch", "1"}}, "'nosuch' is not a setting"},
      {{{"tcpip", "maybe"}}, "tcpip: "},
      {{{"queue-scan-time", "0"}}, "queue-scan-time: enter a number from 1 to 255"},
      {{{"unsolicited-arp", "31"}}, "unsolicited-arp: "},
      {{{"subnet-mask", "255.0.0"}}, "subnet-mask: "},
      {{{"ssid", std::string(33, 'x')}}, "ssid: "},
      {{{"encryption", "WEP 64"}, {"wep-key-1", "0123456789ab"}}, "The WEP Key must be 10 characters."},
      {{{"encryption", "WEP 128"}, {"wep-key-1", "0123456789abcdef0123456789"}}, ""},
      {{{"encryption", "WEP 64"}, {"wep-key-1", "01234567zz"}}, "The WEP Key only accepts HEX"},
      {{{"wep-key-1", "0123456789"}}, "WEP keys need"},
      {{{"wireless-mode", "Infrastructure"}, {"rf-channel", "3"}}, "rf-channel: offered only in Ad Hoc"},
      {{{"802.11d", "Strict"}}, "802.11d: "},
      {{{"address-methods", "dhcp"}}, "address-methods: only with"},
      {{{"forms-number", "3"}}, "forms-number: only with"},
      {{{"language-switching", "Klingon"}}, "language-switching: 'Klingon' is not one of"},
  };
  for (const Case& c : cases) {
    CMultiConfigSettings s;
    const std::string error = buildMultiSettings(c.values, s);
    if (*c.says == 0) EXPECT_EQ(error, "") << c.values[0].first;
    else EXPECT_NE(error.find(c.says), std::string::npos) << c.values[0].first << ": " << error;
  }
}

TEST(MultiSettings, AddressMethodsAreBits) {
  CMultiConfigSettings s;
  ASSERT_EQ(buildMultiSettings({{"address-by-protocol", "on"}, {"address-methods", "rarp,dhcp,allowtimeout"}}, s), "");
  ASSERT_EQ(s.count(), 2);
  EXPECT_EQ(s.deviceWide()[1].oid, "0.6.3.1.4.5.0");
  EXPECT_EQ(s.deviceWide()[1].integer, 0x15);
}

TEST(MultiSettings, TheMarkerBecomesThePrefix) {
  EXPECT_EQ(CMultiConfigSettings::resolve("0.6.3.1.2.0", "1.3.6.1.4.1.99"), "1.3.6.1.4.1.99.6.3.1.2.0");
  EXPECT_EQ(CMultiConfigSettings::resolve("1.3.6.1.2.1.1.4.0", "1.3.6.1.4.1.99"), "1.3.6.1.2.1.1.4.0");
}

TEST(MultiResults, TextsByCode) {
  const std::vector<std::pair<int, const char*>> cases = {
      {0, "Success"},           {3073, "Network Error"},   {3075, "Network Error"},     {3088, "SNMP Error"},
      {3093, "SNMP Error"},     {3095, "SNMP Error"},      {3154, "SNMP Error"},        {3094, "Operation Timed Out"},
      {3155, "Invalid Parameter"}, {3157, "No Such Variable"}, {3158, "No Such Value"}, {3160, "General Error"},
      {3325, "Bad Community Name"}, {3326, "No SNMP Support"}, {3327, "Error on Reset"}, {3159, "Internal Error"},
      {-1, "Internal Error"}};
  for (const auto& [code, text] : cases) EXPECT_STREQ(multiResultText(code), text) << code;
}

TEST(MultiResults, LinesByViewAndPort) {
  std::tm t{};
  t.tm_year = 126, t.tm_mon = 0, t.tm_mday = 15, t.tm_wday = 4, t.tm_hour = 13;
  CMultiConfigLog ip(true, t), other(false, t);
  ip.certificate("127.0.0.9", 3);
  ip.device("127.0.0.9", 2, 0);
  ip.device("127.0.0.10", 0, 3094);
  other.device("00000001:0000C0A80001", 1, 0);
  other.device("COM1", 0, 0);
  ip.close(2, 2);
  EXPECT_EQ(ip.text(),
            "Mulit-unit Configuration Results:\r\nThu Jan 15 13:00:00 2026\r\n\r\n"
            "  127.0.0.9          Certificate transfer failed (3)\r\n"
            "  127.0.0.9      (2) Success (0)\r\n"
            "  127.0.0.10         Operation Timed Out (3094)\r\n"
            "\r\nTotal:  2 unit configured,  2 error(s) reported.");
  const std::string o = other.text();
  EXPECT_NE(o.find("\r\n  00000001:0000C0A80001(1) Success (0)\r\n"), std::string::npos) << o;
  EXPECT_NE(o.find("\r\n                      COM1 Success (0)\r\n"), std::string::npos) << o;
}

TEST(MultiResults, WrittenWholeToItsPath) {
  const std::string dir = ::testing::TempDir() + "multi-results";
  std::tm t{};
  CMultiConfigLog log(true, t);
  log.close(0, 0);
  ASSERT_TRUE(log.write(dir + "/" + kResultsFileName));
  std::ifstream in(dir + "/" + kResultsFileName, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), log.text());
}

TEST(MultiResults, SummaryTellsTheResettingUnits) {
  EXPECT_EQ(multiConfigSummary(0), "View the results of the multi-unit configuration?");
  EXPECT_EQ(multiConfigSummary(3),
            "3 configured units are resetting.\nThey are unreachable until reinitialization is complete.\n\n"
            "View the results of the multi-unit configuration?");
}

}  // namespace
