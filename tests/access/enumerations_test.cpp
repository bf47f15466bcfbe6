// Value texts both ways, the special texts, the country table and the group listing.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "access/mib_catalogue.h"
#include "access/mib_enumerations.h"
#include "access/mib_listing.h"
#include "access/wireless_countries.h"

namespace mib {
namespace {

TEST(Enumerations, TextsAndValues) {
  struct Case {
    const Enumeration& e;
    std::int32_t value;
    std::string_view text;
  };
  const Case cases[] = {
      {kCableType, 2, "10/100BASE-T"},       {kCableType, 7, "UNKNOWN"},
      {kOutputType, 32766, "1284 (ECP or Fast Nibble Mode)"},
      {kOutputType, 5, "UNKNOWN"},           {kPortPrinterStatus, 15, "Printer Error"},
      {kPortOwner, 9, "Serial"},             {kAddressMethod, 6, "Glean"},
      {kFrameTypeSetting, 1, "Automatic Sensing"}, {kFrameType, 1, "UNKNOWN"},
      {kNetWareMode, 3, "RPrinter"},         {kFileServerStatus, 261, "Unknown File Server"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(enumText(c.e, c.value), c.text) << c.e.name << " " << c.value;
  }
  std::int32_t value = 0;
  EXPECT_TRUE(enumValue(kLanguageMode, "Pre/Post String", value));
  EXPECT_EQ(value, 5);
  EXPECT_TRUE(enumValue(kFileServerStatus, "Unknown File Server", value));
  EXPECT_EQ(value, 258);  // the first of the two codes
  EXPECT_FALSE(enumValue(kCableType, "UNKNOWN", value));
  EXPECT_FALSE(enumValue(kCableType, "utp", value));
}

TEST(Enumerations, FileServerStatusText) {
  EXPECT_EQ(fileServerStatusText(1), "Up");
  EXPECT_EQ(fileServerStatusText(0x1234), "Unknown Error (0x1234)");
  EXPECT_EQ(fileServerStatusText(-1), "Unknown Error (0xffffffff)");
}

TEST(Enumerations, PrinterStateText) {
  struct Case {
    std::int32_t value;
    std::string_view want;
  };
  const Case cases[] = {{0, "On-line"}, {6, "On-line"}, {0x20, "Off-line"}, {0x60, "Off-line"},
                        {0x40, "Transitioning"}, {1, "Printer Error"}, {8, "Printer Error"}};
  for (const Case& c : cases) {
    std::string_view text;
    EXPECT_EQ(printerStateText(true, c.value, text), 0);
    EXPECT_EQ(text, c.want) << c.value;
  }
  std::string_view text = "kept";
  EXPECT_EQ(printerStateText(false, 0, text), 3332);
  EXPECT_EQ(text, "kept");
}

TEST(WirelessCountries, TableAndLookups) {
  const auto all = wirelessCountries();
  ASSERT_EQ(all.size(), 50u);
  std::set<std::string_view> codes;
  for (const WirelessCountry& c : all) {
    ASSERT_EQ(c.code.size(), 3u) << c.name;
    EXPECT_TRUE(c.code[2] == ' ' || c.code[2] == 'I' || c.code[2] == 'O') << c.code;
    EXPECT_TRUE(codes.insert(c.code).second) << c.code;
    if (c.code[2] == 'I') {
      EXPECT_TRUE(c.name.ends_with(" Indoor")) << c.code;
    }
    if (c.code[2] == 'O') {
      EXPECT_TRUE(c.name.ends_with(" Outdoor")) << c.code;
    }
  }
  EXPECT_EQ(all[0].code, "US ");
  EXPECT_EQ(all[1].code, "USI");
  EXPECT_EQ(all[49].code, "GBI");
  EXPECT_EQ(wirelessCountryName("US "), "United States");
  EXPECT_EQ(wirelessCountryName("USI"), "United States Indoor");
  EXPECT_EQ(wirelessCountryName("JPO"), "Japan Outdoor");
  EXPECT_EQ(wirelessCountryName("CN"), "People's Republic of China");
  EXPECT_EQ(wirelessCountryName("AUI"), "");
  EXPECT_EQ(wirelessCountryName(""), "");
  EXPECT_EQ(wirelessCountryCode("Switzerland Indoor"), "CHI");
  EXPECT_EQ(wirelessCountryCode("Atlantis"), "");
}

TEST(Listing, EveryGroupWithItsVariables) {
  const auto groups = listGroups();
  ASSERT_EQ(groups.size(), allGroups().size());
  GroupListing tcp;
  ASSERT_TRUE(listGroup("CTcpIpGroup", tcp));
  EXPECT_EQ(tcp.variables.size(), 25u);
  EXPECT_EQ(tcp.variables[0].oid, "1.3.6.1.4.1.1240.2.3.5.6.3.1.4.1.0");
  EXPECT_EQ(tcp.variables[0].syntax, "ip");
  EXPECT_EQ(tcp.variables[24].minLevel, 8);
  EXPECT_EQ(tcp.backupSection, "TCP/IP");
  GroupListing row;
  ASSERT_TRUE(listGroup("COutputPortRow", row, "1.3.6.1.4.1.1240.2.3.7"));
  EXPECT_EQ(row.variables[1].oid, "1.3.6.1.4.1.1240.2.3.7.6.2.3.2.1.2.n");
  EXPECT_FALSE(listGroup("CNoSuchGroup", row));

  const std::string text = formatGroupListing(groups);
  EXPECT_NE(text.find("CTcpIpGroup (scalar, level in variable 5, section \"TCP/IP\")\n"), std::string::npos);
  EXPECT_NE(text.find("\n  0   1.3.6.1.4.1.1240.2.3.5.6.3.1.4.1.0   ip     read-write                     IP address\n"),
            std::string::npos);
  EXPECT_NE(text.find("owns: COutputPortRow per variable 1"), std::string::npos);
  EXPECT_NE(text.find("other protocol n: 1.3.6.1.4.1.1240.2.3.5.6.3.n.2.0 int"), std::string::npos);
}

}  // namespace
}  // namespace mib
