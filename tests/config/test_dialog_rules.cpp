// The small dialogs' rules without a display: Change Password, Add an Access Entry and the
// Advanced TCP/IP Configuration checks.
#include <gtest/gtest.h>

#include "config/access_entry.h"
#include "config/advanced_tcpip.h"
#include "config/change_password.h"
#include "config/config_texts.h"
#include "config/ipv4_field.h"
#include "config/snmp_traps_page.h"
#include "config/trap_destination.h"

using namespace config;

TEST(ChangePassword, Rules) {
  struct Case {
    const char* name;
    std::string password, verify, message;
  } cases[] = {
      {"accepted", "secret", "secret", ""},
      {"verify differs", "secret", "secreT", kTextPasswordsDiffer},
      {"space before the length test", "a bc", "a bc", kTextPasswordOneWord},
      {"too short, minimum as a number", "abc", "abc", "The password must be at least 5 characters."},
      {"exactly the minimum", "abcde", "abcde", ""},
      {"over the maximum", std::string(25, 'x'), std::string(25, 'x'), "The password must be at most 24 characters."},
  };
  for (const auto& c : cases) {
    const PageCheck r = checkNewPassword({24, 5, false}, c.password, c.verify);
    EXPECT_EQ(r.message, c.message) << c.name;
    if (!r.ok()) {
      EXPECT_EQ(r.field, "new") << c.name;
    }
  }
}

TEST(AccessEntry, Rules) {
  struct Case {
    AccessEntryMode mode;
    const char* text;
    bool ok;
  } cases[] = {
      {AccessEntryMode::Ip, "192.168.1.*", true},  {AccessEntryMode::Ip, "10.*.*.*", false},
      {AccessEntryMode::Ip, "10.1.2.3", true},     {AccessEntryMode::Ip, "255.255.255.255", false},
      {AccessEntryMode::Ip, "", false},            {AccessEntryMode::Ip, "printer", false},
      {AccessEntryMode::Ipx, "00C0-*", true},      {AccessEntryMode::Ipx, "00G0", false},
      {AccessEntryMode::Ipx, "0060B0123456", true},
  };
  for (const auto& c : cases) {
    const AccessEntryCheck r = checkAccessEntry(c.mode, c.text);
    EXPECT_EQ(r.ok, c.ok) << c.text;
    if (!r.ok) {
      EXPECT_EQ(r.textId, c.mode == AccessEntryMode::Ip ? texts::kInvalidIpAddress : texts::kInvalidIpxEntry) << c.text;
    }
  }
}

TEST(AdvancedTcpIp, InitialValuesAndSectionsFollowLevelAndFlags) {
  AdvancedValues page;
  page.timeoutOn = true;
  page.timeoutSeconds = 9;
  page.arpMinutes = 5;
  page.rawPort = 9100;
  struct Case {
    const char* name;
    int level;
    std::uint32_t flags;
    long seconds, minutes, rawPort;
    bool timeout, arp, raw, dns, slp, secondsEnabled;
  } cases[] = {
      {"level 2 with its built-in flags", 2, 0x83F, 300, 0, 0, true, false, false, false, false, false},
      {"level 3, seconds out of range become 300", 3, 0xBFF, 300, 5, 0, true, true, false, false, false, true},
      {"level 8 with every flag", 8, 0x1FFFF, 300, 5, 9100, true, true, true, true, true, true},
      {"level 0 counts as the highest", 0, 0x1FFFF, 300, 5, 9100, true, true, true, true, true, true},
      {"level 8 without DNS and SLP flags", 8, 0x7FF, 300, 5, 9100, true, true, true, false, false, true},
  };
  for (const auto& c : cases) {
    const CAdvancedTcpIpDlg d(c.level, c.flags, page);
    EXPECT_EQ(d.values.timeoutSeconds, c.seconds) << c.name;
    EXPECT_EQ(d.values.arpMinutes, c.minutes) << c.name;
    EXPECT_EQ(d.values.rawPort, c.rawPort) << c.name;
    EXPECT_EQ(d.timeoutShown(), c.timeout) << c.name;
    EXPECT_EQ(d.arpShown(), c.arp) << c.name;
    EXPECT_EQ(d.rawPortShown(), c.raw) << c.name;
    EXPECT_EQ(d.dnsShown(), c.dns) << c.name;
    EXPECT_EQ(d.slpShown(), c.slp) << c.name;
    EXPECT_EQ(d.secondsEnabled(), c.secondsEnabled) << c.name;
  }
}

TEST(AdvancedTcpIp, RangeChecks) {
  struct Case {
    const char* name;
    bool timeoutOn;
    long seconds;
    bool arpOn;
    long minutes;
    std::string message, field;
  } cases[] = {
      {"9 seconds refused", true, 9, false, 0, kTextTimeoutRange, "seconds"},
      {"3601 seconds refused", true, 3601, false, 0, kTextTimeoutRange, "seconds"},
      {"10 and 3600 accepted", true, 3600, false, 0, "", ""},
      {"timeout disabled ignores the seconds", false, 1, false, 0, "", ""},
      {"ARP 31 refused", false, 0, true, 31, kTextArpRange, "minutes"},
      {"ARP 0 with broadcast accepted", false, 0, true, 0, "", ""},
  };
  for (const auto& c : cases) {
    CAdvancedTcpIpDlg d(8, 0x1FFFF, {});
    d.values.timeoutOn = c.timeoutOn;
    d.values.timeoutSeconds = c.seconds;
    d.values.arpOn = c.arpOn;
    d.values.arpMinutes = c.minutes;
    const PageCheck r = d.check();
    EXPECT_EQ(r.message, c.message) << c.name;
    EXPECT_EQ(r.field, c.field) << c.name;
  }
}

TEST(Ipv4Field, Parsing) {
  struct Case {
    const char* text;
    bool ok;
  } cases[] = {{"10.1.2.3", true},   {"", true},          {"10.1.2", false},   {"10.1.2.256", false},
               {"1.2.3.4.5", false}, {"a.b.c.d", false},  {"10..2.3", false},  {"0010.1.2.3", false}};
  for (const auto& c : cases) {
    std::uint8_t a[4];
    EXPECT_EQ(parseIpv4Field(c.text, a), c.ok) << c.text;
  }
}

TEST(TrapDestination, EntryChecks) {
  struct Case {
    const char* name;
    int kind;
    DestinationEntry entry;
    std::string message, field, first, listText;
  } cases[] = {
      {"e-mail without @", kTrapSmtp, {"alerts.lab", ""}, kTextInvalidEmail, "first", "alerts.lab", ""},
      {"e-mail", kTrapSmtp, {"a@lab", ""}, "", "", "a@lab", "a@lab"},
      {"IPv4 with two dots", kTrapTcpIp, {"10.1.2", ""}, kTextInvalidTrapIp, "first", "10.1.2", ""},
      {"IPv4", kTrapTcpIp, {"10.1.2.3", ""}, "", "", "10.1.2.3", "10.1.2.3"},
      {"IPX network padded and listed in upper case", kTrapIpx, {"1a2", "0060b0123456"}, "", "", "000001a2",
       "000001A2-0060B0123456"},
      {"IPX network of odd digits after the last 8", kTrapIpx, {"123456789", "1"}, "", "", "23456789",
       "23456789-000000000001"},
      {"IPX network not hex", kTrapIpx, {"00g0", "1"}, kTextInvalidNetwork, "first", "000000g0", ""},
      {"IPX node not hex", kTrapIpx, {"1", "xyz"}, kTextInvalidNetwork, "second", "00000001", ""},
  };
  for (auto c : cases) {
    std::string list;
    const PageCheck r = checkDestination(c.kind, c.entry, list);
    EXPECT_EQ(r.message, c.message) << c.name;
    EXPECT_EQ(r.field, c.field) << c.name;
    EXPECT_EQ(c.entry.first, c.first) << c.name;
    EXPECT_EQ(list, c.listText) << c.name;
  }
  EXPECT_EQ(maximumDestinationsText(4),
            "The maximum supported number of trap destinations on this device for this protocol is 4.");
}
