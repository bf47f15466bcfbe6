// The entries of a NetWare view's "&Add..." dialog: serial numbers one by one, a network as
// "Network>" and its eight digits (which the NetWare search reads from the entry's end).
#include <gtest/gtest.h>

#include "app/netware_device_entry.h"

using app::NetWareEntryKind;

TEST(NetWareDeviceEntry, EntriesAndRefusals) {
  struct Case {
    const char* name;
    NetWareEntryKind kind;
    const char* text;
    std::vector<std::string> entries;
    const char* error;  // empty: accepted
  } cases[] = {
      {"one serial number", NetWareEntryKind::SerialNumbers, "00408C1A2B", {"00408C1A2B"}, ""},
      {"several, repeats once", NetWareEntryKind::SerialNumbers, " S1234, S99;S1234 ", {"S1234", "S99"}, ""},
      {"nothing typed", NetWareEntryKind::SerialNumbers, " ,, ", {}, app::kTextNoNetWareEntry},
      {"a '>' would make it a network", NetWareEntryKind::SerialNumbers, "S1>", {}, app::kTextNetWareInvalid},
      {"one bad among good ones", NetWareEntryKind::SerialNumbers, "S1, S-2", {}, app::kTextNetWareInvalid},
      {"45 characters", NetWareEntryKind::SerialNumbers, "123456789012345678901234567890123456789012345", {},
       app::kTextSerialTooLong},
      {"a short network is padded", NetWareEntryKind::Network, "a", {"Network>0000000A"}, ""},
      {"eight digits, upper case", NetWareEntryKind::Network, "dead00ff", {"Network>DEAD00FF"}, ""},
      {"nine digits", NetWareEntryKind::Network, "123456789", {}, app::kTextNetworkTooLong},
      {"not hexadecimal", NetWareEntryKind::Network, "12G4", {}, app::kTextNetWareInvalid},
      {"two networks", NetWareEntryKind::Network, "1 2", {}, app::kTextNetWareInvalid},
      {"no network", NetWareEntryKind::Network, "", {}, app::kTextNoNetWareEntry},
  };
  for (const auto& c : cases) {
    const app::NetWareEntries e = app::buildNetWareEntries(c.kind, c.text);
    EXPECT_EQ(e.entries, c.entries) << c.name;
    EXPECT_EQ(e.error, c.error) << c.name;
    for (const std::string& entry : e.entries) {
      const bool network = entry.find('>') != std::string::npos;
      EXPECT_EQ(network, c.kind == NetWareEntryKind::Network) << c.name << ": " << entry;
      if (network) {
        EXPECT_EQ(entry.size(), std::string(app::kNetworkEntryHead).size() + 8) << c.name;
      }
    }
  }
}
