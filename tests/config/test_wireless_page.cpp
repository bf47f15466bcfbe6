// The Wireless page and its security dialog: the lists built from what a unit reports, the
// dialog's checks, and what Save sends to a simulated unit (its request log is the oracle).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "access/test_mib_group_sim.h"
#include "config/config_sheet.h"
#include "config/wireless_lists.h"
#include "config/wireless_page.h"
#include "config/wireless_security.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "support/unit_target_test.h"

using namespace config;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

std::vector<std::string> texts(const std::vector<ListItem>& items) {
  std::vector<std::string> out;
  for (const auto& i : items) out.push_back(i.text);
  return out;
}

std::vector<std::int32_t> values(const std::vector<ListItem>& items) {
  std::vector<std::int32_t> out;
  for (const auto& i : items) out.push_back(i.data);
  return out;
}

TEST(WirelessLists, Channels) {
  struct Case {
    const char* name;
    std::vector<std::int32_t> channels;
    std::vector<std::int32_t> expected;
  } cases[] = {
      {"mask 0x1: channel 1", values(channelsFromMask(0x1)), {1}},
      {"mask bits 13 and 14: channels 14 and 36", values(channelsFromMask(0x6000)), {14, 36}},
      {"mask bit 25: channel 165", values(channelsFromMask(1u << 25)), {165}},
      {"mask bits above 25 offer nothing", values(channelsFromMask(0xFC000000u)), {}},
      {"bit map first byte 0x20: channel 2", values(channelsFromBitmap(std::string("\x20", 1))), {2}},
      {"bit map 80 01: channels 0 and 15", values(channelsFromBitmap(std::string("\x80\x01", 2))), {0, 15}},
      {"bit map byte 31 bit 7: channel 255", values(channelsFromBitmap(std::string(31, '\0') + "\x01")), {255}},
      {"bit map bytes past 32 are ignored", values(channelsFromBitmap(std::string(32, '\0') + "\xFF")), {}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.channels, c.expected) << c.name;
}

TEST(WirelessLists, RatesRadiosAndCountries) {
  EXPECT_EQ(texts(dataRates(false, 0)), (std::vector<std::string>{"1", "11", "2", "5.5"}));
  EXPECT_EQ(values(dataRates(false, 0)), (std::vector<std::int32_t>{0, 3, 1, 2}));
  EXPECT_EQ(texts(dataRates(true, (1u << 10) | (1u << 4) | (1u << 11))), (std::vector<std::string>{"108", "54", "6"}));
  EXPECT_EQ(texts(radios(0x15)), (std::vector<std::string>{"802.11b only", "802.11b and g", "802.11a, b and g"}));
  const auto countries = countryItems({"US ", "XX ", "JPO", "GBI"});
  EXPECT_EQ(texts(countries), (std::vector<std::string>{"United States", "Japan Outdoor", "United Kingdom Indoor"}));
  EXPECT_EQ(values(countries), (std::vector<std::int32_t>{0, 2, 3})) << "item data is the entry index";
}

SecurityOffer levelThreeOffer() {
  SecurityOffer o;
  o.fromLevelThree = true;
  o.encryptionMask = 0x7F;
  o.authenticationMask = 0x7F;
  // Open System and Shared Key: no encryption or WEP; TTLS: WPA modes; PSK: WPA modes.
  o.allowedModes = {0x07, 0x07, 0x38, 0x07, 0x38, 0x07, 0x38};
  return o;
}

TEST(WirelessSecurity, OkChecks) {
  struct Case {
    const char* name;
    bool levelThree;
    std::function<void(CWirelessSecurityDlg&)> edit;
    std::string message;
    std::string field;
  } cases[] = {
      {"64-bit key of 10 digits", false, [](auto& d) { d.selectEncryption(1), d.keys[0] = "0123456789"; }, "", ""},
      {"64-bit key of 9 digits", false, [](auto& d) { d.selectEncryption(1), d.keys[0] = "012345678"; },
       "The WEP Key must be 10 characters.", "key1"},
      {"128-bit key of 10 digits", false, [](auto& d) { d.selectEncryption(2), d.keys[2] = "0123456789"; },
       "The WEP Key must be 26 characters.", "key3"},
      {"a key with a non-hex digit", false, [](auto& d) { d.selectEncryption(1), d.keys[1] = "01234567g9"; },
       kTextWepHex, "key2"},
      {"hex is checked before the length", false, [](auto& d) { d.selectEncryption(1), d.keys[0] = "xyz"; },
       kTextWepHex, "key1"},
      {"empty keys pass", false, [](auto& d) { d.selectEncryption(2); }, "", ""},
      {"keys are not checked without WEP", true, [](auto& d) { d.keys[0] = "not hex"; }, "", ""},
      {"WPA with Open System is refused", true,
       [](auto& d) {
         d.authType = 0;
         d.selectEncryption(3);
       },
       kTextBadCombination, "encryption"},
      {"WPA with PSK passes", true,
       [](auto& d) {
         d.authType = 6;
         d.selectEncryption(3);
       },
       "", ""},
      {"a long exponent", true, [](auto& d) { d.exponent = "123456"; }, "The exponent takes at most 5 digits.",
       "exponent"},
  };
  for (const auto& c : cases) {
    SecurityValues v;
    v.authType = 1;
    CWirelessSecurityDlg d(v, c.levelThree ? levelThreeOffer() : SecurityOffer{});
    c.edit(d);
    const PageCheck check = d.check();
    EXPECT_EQ(check.message, c.message) << c.name;
    EXPECT_EQ(check.field, c.field) << c.name;
  }
}

TEST(WirelessSecurity, SetUpAndEnabling) {
  SecurityValues v;
  v.encryption = 2;
  v.keys = {"**", "**", "", "0123456789abcdef0123456789"};
  CWirelessSecurityDlg below(v, SecurityOffer{});
  EXPECT_EQ(texts(below.encryptionModes), (std::vector<std::string>{"Disabled", "64-Bit WEP", "128-Bit WEP"}));
  EXPECT_EQ(below.keys[0], std::string(26, '*')) << "a reported 128-bit key";
  EXPECT_EQ(below.keyBoxTitle(), "128-bit WEP Key");
  EXPECT_TRUE(below.check().ok()) << "masked keys pass";
  EXPECT_FALSE(below.enabled().authType);
  const SecurityValues back = below.result(v);
  EXPECT_FALSE(keyToWrite(back.keys[0])) << "a masked key is not written back";
  EXPECT_TRUE(keyToWrite(back.keys[3]));
  below.selectEncryption(1);
  EXPECT_EQ(below.keys, (std::array<std::string, 4>{})) << "a new mode empties the keys";
  EXPECT_EQ(below.keyLength(), 10);
  below.selectEncryption(3);
  EXPECT_FALSE(below.keysEnabled());

  SecurityOffer offer = levelThreeOffer();
  offer.encryptionMask = 0x19;  // Disabled, WPA, WPA 2
  offer.authenticationMask = 0x44;  // TTLS, PSK
  CWirelessSecurityDlg three(v, offer);
  EXPECT_EQ(texts(three.encryptionModes), (std::vector<std::string>{"Disabled", "WPA", "WPA 2"}));
  EXPECT_EQ(texts(three.authTypes), (std::vector<std::string>{"TTLS", "PSK"}));
  three.authType = 6;
  EXPECT_TRUE(three.enabled().wpaPsk);
  EXPECT_FALSE(three.enabled().autoAssociate) << "not available on this unit";
  EXPECT_FALSE(three.enabled().certificateBox);
  three.authType = 2;
  EXPECT_TRUE(three.enabled().certificateBox);
  EXPECT_TRUE(three.enabled().eapBox);
  EXPECT_FALSE(three.enabled().wpaBox);
}

class WirelessPageTest : public UnitTargetTest {
 protected:

};

TEST_F(WirelessPageTest, WhatEachLevelShows) {
  struct Case {
    int level;
    std::vector<std::int32_t> channels;
    std::vector<std::string> rates;
    bool radio, country, dfs;
    std::vector<std::string> countries;
  } cases[] = {
      {2, {4}, {"1", "11", "2", "5.5"}, false, false, true, {}},
      {3, {0, 1, 2, 3, 4, 5, 6, 7, 13, 14, 15}, {"1", "11", "2", "5.5"}, true, true, true,
       {"United States", "United States Indoor", "Japan Outdoor"}},
      {0, {0, 1, 2, 3, 4, 5, 6, 7, 13, 14, 15}, {"1", "11", "2", "5.5"}, true, true, true,
       {"United States", "United States Indoor", "Japan Outdoor"}},
  };
  for (const auto& c : cases) {
    simproc::Sim sim(c.level);
    ASSERT_TRUE(sim.ready()) << sim.errors();
    int rc = -1;
    snmpaccess::CSnmpSession session(&target, rc);
    ASSERT_EQ(rc, 0);
    CWirelessPage page;
    ASSERT_EQ(page.Read(session), 0) << c.level;
    page.open();
    EXPECT_EQ(values(page.channels), c.channels) << c.level;
    EXPECT_EQ(texts(page.rates), c.rates) << c.level;
    EXPECT_EQ(page.shown().radio, c.radio) << c.level;
    EXPECT_EQ(page.shown().density, c.radio) << c.level;
    EXPECT_EQ(page.shown().dot11d, c.radio) << c.level;
    EXPECT_EQ(page.shown().country, c.country) << c.level;
    EXPECT_EQ(page.shown().dfs, c.dfs) << c.level;
    EXPECT_EQ(page.dfsItems.empty(), !c.radio) << c.level << ": below level 3 the list stays empty";
    EXPECT_EQ(texts(page.countryList), c.countries) << c.level;
    EXPECT_EQ(page.ssid, "trellan-lab") << c.level;
    EXPECT_EQ(page.mode, 3) << c.level;
    EXPECT_FALSE(page.channelEnabled()) << c.level << ": infrastructure";
    EXPECT_EQ(page.security.keys[0], "*") << c.level;
    if (c.country) {
      EXPECT_EQ(page.country, 0) << c.level << ": US";
    }
    if (!c.radio) {
      EXPECT_EQ(page.security.authType, -1) << c.level;
    }
  }
}

TEST_F(WirelessPageTest, WhatSaveSends) {
  struct Case {
    const char* name;
    std::function<void(CWirelessPage&)> edit;
    std::vector<std::vector<std::string>> sets;
  } cases[] = {
      {"opened without a change", [](CWirelessPage&) {}, {}},
      {"the SSID alone", [](CWirelessPage& p) { p.ssid = "floor-2"; }, {{E + ".8.3.4.0"}}},
      {"ad hoc on another channel",
       [](CWirelessPage& p) {
         p.mode = 1;
         p.channel = 13;
         EXPECT_TRUE(p.channelEnabled());
         EXPECT_FALSE(p.dot11dEnabled());
       },
       {{E + ".8.3.1.0", E + ".8.3.2.0"}}},
      {"another country sends its code", [](CWirelessPage& p) { p.country = 2; }, {{E + ".8.3.43.0"}}},
      {"a 64-bit WEP key: the mode, then the key row",
       [](CWirelessPage& p) {
         CWirelessSecurityDlg d = p.securityDialog();
         d.selectEncryption(1);
         d.keys[1] = "A1B2C3D4E5";
         ASSERT_TRUE(d.check().ok()) << d.check().message;
         p.takeSecurity(d);
       },
       {{E + ".8.3.5.0"}, {E + ".8.3.7.1.2.2"}}},
      {"reported keys are not written back",
       [](CWirelessPage& p) {
         CWirelessSecurityDlg d = p.securityDialog();
         d.keySelection = 2;
         ASSERT_TRUE(d.check().ok());
         p.takeSecurity(d);
       },
       {{E + ".8.3.6.0"}}},
      {"a dialog cancelled changes nothing",
       [](CWirelessPage& p) {
         CWirelessSecurityDlg d = p.securityDialog();
         d.userId = "someone";
       },
       {}},
  };
  for (const auto& c : cases) {
    simproc::Sim sim(3);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    int rc = -1;
    snmpaccess::CSnmpSession session(&target, rc);
    ASSERT_EQ(rc, 0);
    CWirelessPage page;
    ASSERT_EQ(page.Read(session), 0) << c.name;
    page.open();
    c.edit(page);
    ASSERT_EQ(page.Save(session), 0) << c.name;
    EXPECT_EQ(sets(sim), c.sets) << c.name;
  }
}

TEST_F(WirelessPageTest, KeyGoesAsBytes) {
  simproc::Sim sim(3);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  int rc = -1;
  snmpaccess::CSnmpSession session(&target, rc);
  ASSERT_EQ(rc, 0);
  CWirelessPage page;
  ASSERT_EQ(page.Read(session), 0);
  page.open();
  page.security.encryption = 2;
  page.security.keys[0] = "00112233445566778899aabbcc";
  ASSERT_EQ(page.Save(session), 0);
  const snmpaccess::CMibGroup* key1 = page.groups()[1];
  std::string bytes;
  ASSERT_EQ(key1->getBytes(0, bytes), 0);
  EXPECT_EQ(bytes, std::string("\x00\x11\x22\x33\x44\x55\x66\x77\x88\x99\xaa\xbb\xcc", 13));
}

TEST_F(WirelessPageTest, SheetAddsThePageAndRefusesALongSsid) {
  simproc::Sim sim(3);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  SheetServices services;
  services.pause = [](int) { return true; };
  services.identify = [](snmpaccess::SnmpTarget&, int) { return 0; };
  CConfigPropSheet sheet(std::move(services));
  ASSERT_EQ(sheet.Start(target, 0), 0);
  auto* page = dynamic_cast<CWirelessPage*>(sheet.page(PageSlot::Wireless));
  ASSERT_NE(page, nullptr);
  EXPECT_NE(std::find(sheet.pages().begin(), sheet.pages().end(), page), sheet.pages().end());
  EXPECT_EQ(page->address(), "127.0.1.1");
  page->open();
  page->ssid = std::string(33, 's');
  std::string refused;
  EXPECT_EQ(sheet.ok(page, [](const std::string&) { return true; },
                     [&](CDevicePage&, const PageCheck& c) { refused = c.field; }),
            OkOutcome::Refused);
  EXPECT_EQ(refused, "ssid");
  EXPECT_TRUE(sets(sim).empty());
}

}  // namespace
