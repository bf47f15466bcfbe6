#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/device.h"
#include "devices/device_column.h"
#include "devices/device_status.h"

using namespace devices;

namespace {

struct PortIn {
  std::uint8_t input, code;
};

DiscoveryReply replyWith(const char* general, std::vector<PortIn> ports) {
  DiscoveryReply r;
  r.format = 1;
  r.generalStatus.assign(general);
  r.portCount = static_cast<int>(ports.size());
  for (std::size_t p = 0; p < ports.size(); ++p) {
    r.ports[p].inputState = ports[p].input;
    r.ports[p].statusCode = ports[p].code;
  }
  return r;
}

TEST(DeviceStatus, DecodesTheStatusBlock) {
  struct Case {
    const char* name;
    const char* general;
    std::vector<PortIn> ports;
    std::uint32_t deviceBits;
    int level;
    std::vector<std::uint32_t> portBits;
  } cases[] = {
      {"ready port raises nothing", "None", {{1, 1}}, 0, 1, {0}},
      {"no printer attached raises nothing", "None", {{1, 2}}, 0, 1, {0x10}},
      {"off-line and no printer", "None", {{2, 2}}, 0, 1, {0x11}},
      {"off-line with a ready code", "None", {{2, 1}}, 0, 2, {0x1}},
      {"off-line with paper jam", "None", {{2, 5}}, 0, 3, {0x81}},
      {"on-line toner low", "None", {{1, 3}}, 0, 2, {0x20}},
      {"paper out", "None", {{1, 4}}, 0, 2, {0x40}},
      {"printer open", "None", {{1, 6}}, 0, 2, {0x100}},
      {"printer error", "None", {{1, 15}}, 0, 2, {0x200}},
      {"unknown code warns without a bit", "None", {{1, 9}}, 0, 2, {0}},
      {"each port its own bits", "None", {{1, 1}, {2, 3}, {1, 4}}, 0, 3, {0, 0x21, 0x40}},
      {"download mode", "Download Mode", {{1, 1}}, 0x10000, 4, {0}},
      {"download mode inside a longer text", "Entering Download Mode", {}, 0x10000, 4, {}},
      {"download mode outranks a port error", "Download Mode", {{2, 5}}, 0x10000, 4, {0x81}},
      {"flash failure", "Error Reading or Writing to Flash Memory", {}, 0x1000, 3, {}},
      {"self test failure", "Self Test Detected an Error", {{1, 1}}, 0x1000, 3, {0}},
      {"code space failure", "CRC Error, Code Space Invalid", {}, 0x1000, 3, {}},
      {"critical texts compare whole", "Self Test Detected an Error ", {}, 0, 1, {}},
      {"other general texts", "Printer busy", {}, 0, 1, {}},
  };
  for (const auto& c : cases) {
    const ReplyStatusDecode d = decodeReplyStatus(replyWith(c.general, c.ports));
    EXPECT_EQ(d.deviceBits, c.deviceBits) << c.name;
    EXPECT_EQ(d.level, c.level) << c.name;
    for (int p = 0; p < kMaxPorts; ++p) {
      const std::uint32_t want = p < static_cast<int>(c.portBits.size()) ? c.portBits[p] : 0;
      EXPECT_EQ(d.portBits[p], want) << c.name << " port " << p;
    }
  }
}

TEST(DeviceStatus, LevelsFromBitsAndMasks) {
  const StatusMasks def;
  const StatusMasks none{0, 0};
  const StatusMasks tcpIpError{0x31000, 0x23E1};
  struct Case {
    const char* name;
    std::uint32_t bits;
    StatusMasks masks;
    int level;
  } cases[] = {
      {"nothing", 0, def, 1},
      {"no printer attached is Good by default", 0x10, def, 1},
      {"off-line is Warning", 0x1, def, 2},
      {"paper jam is Warning", 0x80, def, 2},
      {"TCP/IP Error is Good by default", 0x1000, def, 1},
      {"TCP/IP Error moved to Error", 0x1000, tcpIpError, 3},
      {"NetWare Error is Warning", 0x2000, def, 2},
      {"No Response is Error", 0x20000, def, 3},
      {"Error outranks Warning", 0x20001, def, 3},
      {"download mode whatever the masks", 0x10000, none, 4},
      {"download mode over Error", 0x30000, def, 4},
      {"second-family bit", 0x10000000, def, 1},
      {"empty masks", 0x20000, none, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(levelFromBits(c.bits, c.masks), c.level) << c.name;
}

TEST(DeviceStatus, LevelOfDeviceAndOfEachPort) {
  CIpDevice device;
  device.deviceBits = 0;
  device.setPortCount(3);
  device.portBits = {0x10, 0x40, 0, 0, 0, 0};
  const StatusMasks masks;
  EXPECT_EQ(device.statusLevel(0, masks), kLevelWarning);  // any port's trouble shows on the device
  EXPECT_EQ(device.statusLevel(1, masks), kLevelGood);
  EXPECT_EQ(device.statusLevel(2, masks), kLevelWarning);
  EXPECT_EQ(device.statusLevel(3, masks), kLevelGood);
  EXPECT_EQ(device.statusLevel(99, masks), kLevelWarning);  // out of range reads as the device
  device.deviceBits = kBitNoResponse;
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(device.statusLevel(i, masks), kLevelError) << i;
  device.updateStatusTexts(masks);
  EXPECT_EQ(device.statusWordText.view(), "Error");
  EXPECT_EQ(device.portStatusWords[2].view(), "Error");
  EXPECT_TRUE(device.portStatusWords[3].empty());
}

TEST(DeviceStatus, WordsAndImages) {
  const char* words[] = {"", "Good", "Warning", "Error", "F/W Update", ""};
  for (int level = 0; level <= 5; ++level) EXPECT_STREQ(statusWord(level), words[level]) << level;
  for (int level = 1; level <= 4; ++level) {
    EXPECT_EQ(rowImage(level, true), level);
    EXPECT_EQ(rowImage(level, false), level + 5);
  }
  EXPECT_EQ(rowImage(0, false), 0);
  EXPECT_EQ(rowImage(5, true), 0);
}

TEST(StatusIcons, RowsShowTheMasks) {
  const StatusMasks def;
  const int want[] = {2, 1, 2, 2, 2, 2, 2, 1, 2, 3};
  for (std::size_t i = 0; i < kStatusIconRows.size(); ++i)
    EXPECT_EQ(statusIconLevel(kStatusIconRows[i].bit, def), want[i]) << kStatusIconRows[i].text;
}

TEST(StatusIcons, OkWithoutChangesKeepsTheMasks) {
  struct Case {
    const char* name;
    StatusMasks before;
  } cases[] = {
      {"defaults (download bit on no row)", StatusMasks{}},
      {"TCP/IP Error as Error", StatusMasks{0x31000, 0x23E1}},
      {"everything Good", StatusMasks{0x10000, 0}},
      {"unknown extra warning bit", StatusMasks{0x30000, 0x40023E1}},
  };
  for (const auto& c : cases) {
    std::array<int, 10> levels{};
    for (std::size_t i = 0; i < levels.size(); ++i) levels[i] = statusIconLevel(kStatusIconRows[i].bit, c.before);
    EXPECT_EQ(masksFromStatusIcons(levels, c.before), c.before) << c.name;
  }
}

TEST(StatusIcons, ChangedRowsMoveTheirBits) {
  const StatusMasks def;
  std::array<int, 10> levels{};
  for (std::size_t i = 0; i < levels.size(); ++i) levels[i] = statusIconLevel(kStatusIconRows[i].bit, def);
  levels[7] = kLevelError;  // "TCP/IP Error"
  levels[9] = kLevelGood;   // "No Response"
  levels[0] = kLevelGood;   // "Printer Off-line"
  const StatusMasks after = masksFromStatusIcons(levels, def);
  EXPECT_EQ(after.error, 0x11000u);  // the download bit stays
  EXPECT_EQ(after.warning, 0x23E0u);
  // The edge case: a self-test failure now shows Error.
  EXPECT_EQ(levelFromBits(kBitTcpIpError, after), kLevelError);
}

TEST(DisplayFilter, Table) {
  CIpDevice a("10.1.2.3");
  a.systemName.assign("Lab North");
  a.statusWordText.assign("Warning");
  CIpDevice b("10.2.1.1");
  b.systemName.assign("");
  b.statusWordText.assign("F/W Update");
  CNetWareDevice n;
  n.nwName.assign("KDV123");
  struct Case {
    const char* name;
    const CDevice* device;
    DisplayFilter filter;
    bool pass;
  } cases[] = {
      {"no filter column", &b, {255, {}}, true},
      {"negative column is no filter", &b, {-1, {"x"}}, true},
      {"column past the catalogue is no filter", &b, {29, {"x"}}, true},
      {"address pattern passes", &a, {kColIpAddress, {"10.1.*"}}, true},
      {"address pattern rejects", &b, {kColIpAddress, {"10.1.*"}}, false},
      {"second value matches", &b, {kColIpAddress, {"10.1.*", "10.2.1.1"}}, true},
      {"no values passes nothing", &a, {kColIpAddress, {}}, false},
      {"case is ignored", &a, {kColSystemName, {"lab*"}}, true},
      {"empty text matches no pattern", &b, {kColSystemName, {"*"}}, false},
      {"a kind without the column never passes", &a, {kColNwName, {"*"}}, false},
      {"NetWare device has an NW name", &n, {kColNwName, {"KDV*"}}, true},
      {"NetWare device has no IP address", &n, {kColIpAddress, {"*"}}, false},
      {"status from the fixed list", &a, {kColStatus, {"Good", "Warning"}}, true},
      {"F/W Update is on no fixed-list entry", &b, {kColStatus, {"Good", "Warning", "Error"}}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(filterAccepts(*c.device, c.filter), c.pass) << c.name;
}

TEST(DisplayFilter, PerPortRowsTestTheirOwnPort) {
  CIpDevice device;
  device.setPortCount(2);
  device.portStatusTexts[0].assign("Ready");
  device.portStatusTexts[1].assign("Paper Out");
  const DisplayFilter filter{kColPortStatus, {"Paper*"}};
  device.setCurrentPort(0);
  EXPECT_FALSE(filterAccepts(device, filter));
  device.setCurrentPort(1);
  EXPECT_TRUE(filterAccepts(device, filter));
}

TEST(DisplayFilter, ValueChoicesAreDistinctInOrderMet) {
  CIpDevice a, b, c, d;
  a.productType.assign("KDV-Ether 3P");
  b.productType.assign("");
  c.productType.assign("kdv-ether 3p");
  d.productType.assign("KDV-Ether 3P");
  CNetWareDevice n;
  n.productType.assign("NW-1");
  const CDevice* devices[] = {&a, &b, nullptr, &c, &d, &n};
  EXPECT_EQ(filterValueChoices(devices, kColProductType),
            (std::vector<std::string>{"KDV-Ether 3P", "kdv-ether 3p", "NW-1"}));
  EXPECT_TRUE(filterValueChoices(devices, kColNwName).empty());
  EXPECT_TRUE(filterValueChoices(devices, 255).empty());
}

TEST(Datecodes, CompareAsDates) {
  struct Case {
    const char* a;
    const char* b;
    int order;
  } cases[] = {
      {"9540", "9540", 0},  {"9541", "9540", 1},  {"9539", "9540", -1}, {"0112", "9540", 1},
      {"0001", "9952", 1},  {"6952", "7001", 1},  {"9540A", "9540", 1}, {"9540", "954", 1},
      {"", "9540", -1},     {"ABCD", "ABCE", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(compareDatecodes(c.a, c.b), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(compareDatecodes(c.b, c.a), -c.order) << c.b << " vs " << c.a;
  }
  EXPECT_TRUE(datecodeAtLeast("0112", "9540"));
  EXPECT_FALSE(datecodeAtLeast("9412", "9540"));
}

}  // namespace
