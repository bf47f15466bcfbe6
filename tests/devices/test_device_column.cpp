#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "devices/device.h"
#include "devices/device_column.h"

using namespace devices;

namespace {

// Which kinds have which columns, written out from the per-kind table ("y" has a text).
//                                    0         1         2
//                                    01234567890123456789012345678
constexpr const char* kIpColumns =   "y-yyy-yyyyy---yyyyyyyyyyyyyyy";
constexpr const char* kIpxColumns =  "y-yyy-yyyyyy--yyyyyyyyyyyyyyy";
constexpr const char* kSerColumns =  "y-yyyyyyyyy---yyyyyyyyyyyyyyy";
constexpr const char* kNwColumns =   "yy-yy---yyyyyyyyyyyyyyyyyyyyy";

std::unique_ptr<CDevice> make(DeviceClass c) {
  switch (c) {
    case DeviceClass::Ip: return std::make_unique<CIpDevice>();
    case DeviceClass::Ipx: return std::make_unique<CIpxDevice>();
    case DeviceClass::Serial: return std::make_unique<CSerialDevice>();
    case DeviceClass::NetWare: return std::make_unique<CNetWareDevice>();
  }
  return nullptr;
}

TEST(DeviceColumns, EachKindSuppliesItsColumns) {
  const struct {
    DeviceClass cls;
    const char* columns;
  } kinds[] = {{DeviceClass::Ip, kIpColumns},
               {DeviceClass::Ipx, kIpxColumns},
               {DeviceClass::Serial, kSerColumns},
               {DeviceClass::NetWare, kNwColumns}};
  for (const auto& k : kinds) {
    const auto device = make(k.cls);
    for (int i = 0; i < kColumnCount; ++i) {
      const bool want = k.columns[i] == 'y';
      EXPECT_EQ(device->columnText(i) != nullptr, want) << kDeviceColumns[i].title << " of class " << int(k.cls);
      EXPECT_EQ((kDeviceColumns[i].suppliedBy & static_cast<std::uint8_t>(k.cls)) != 0, want)
          << kDeviceColumns[i].title << " of class " << int(k.cls);
    }
    EXPECT_EQ(device->columnText(-1), nullptr);
    EXPECT_EQ(device->columnText(kColumnCount), nullptr);
    EXPECT_EQ(device->columnText(kNoColumn), nullptr);
  }
}

// Every field gets a text of its own, so a column that points at the wrong field shows up.
void fillCommon(CDevice& d) {
  d.systemName.assign("sys");
  d.hardwareAddress.assign("020000123456");
  d.serialNumber.assign("1193046");
  d.productType.assign("type");
  d.productNumber.assign("7002");
  d.datecode.assign("9812");
  d.statusWordText.assign("Warning");
  d.setPortCount(2);
  for (int p = 0; p < 2; ++p) {
    const std::string n = std::to_string(p);
    d.portStatusWords[p].assign("word" + n);
    d.portNames[p].assign("name" + n);
    d.portStatusTexts[p].assign("pstat" + n);
    d.printerIds[p].assign("pid" + n);
    d.printerDisplays[p].assign("disp" + n);
    d.portNumbers[p].assign(std::to_string(p + 1));
  }
  d.ssid.assign("ssid");
  d.wirelessMode.assign("mode");
  d.currentSsid.assign("cur");
  d.security.assign("sec");
  d.signalPercentage.assign("77");
  d.signalDescription.assign("good");
  d.dataRate.assign("11");
  d.location.assign("loc");
  d.firmwareVersion.assign("fw");
}

TEST(DeviceColumns, TextsComeFromTheirFields) {
  CIpxDevice ipx;
  fillCommon(ipx);
  ipx.ipAddress.assign("10.1.2.3");
  ipx.subnetMask.assign("255.0.0.0");
  ipx.defaultGateway.assign("10.0.0.1");
  ASSERT_TRUE(ipx.setIpxAddress("ABCD-1"));
  CSerialDevice serial("COM2");
  CNetWareDevice nw;
  fillCommon(nw);
  nw.nwName.assign("KDV1");
  nw.networkNumber.assign("0000BEEF");
  nw.fileServerOrTree.assign("FS1");
  nw.mode.assign("PServer");

  const char* ipxWant[kColumnCount] = {"sys",  nullptr, "10.1.2.3", "020000123456", "1193046", nullptr, "255.0.0.0",
                                       "10.0.0.1", "type", "7002", "9812", "0000ABCD", nullptr, nullptr, "Warning",
                                       "name0", "pstat0", "pid0", "disp0", "1", "ssid", "mode", "cur", "sec", "77",
                                       "good", "11", "loc", "fw"};
  const char* nwWant[kColumnCount] = {"sys", "KDV1", nullptr, "020000123456", "1193046", nullptr, nullptr, nullptr,
                                      "type", "7002", "9812", "0000BEEF", "FS1", "PServer", "Warning", "name0",
                                      "pstat0", "pid0", "disp0", "1", "ssid", "mode", "cur", "sec", "77", "good", "11",
                                      "loc", "fw"};
  for (int i = 0; i < kColumnCount; ++i) {
    const char* got = ipx.columnText(i);
    if (ipxWant[i] == nullptr) {
      EXPECT_EQ(got, nullptr) << "IPX " << kDeviceColumns[i].title;
    } else {
      EXPECT_STREQ(got, ipxWant[i]) << "IPX " << kDeviceColumns[i].title;
    }
    got = nw.columnText(i);
    if (nwWant[i] == nullptr) {
      EXPECT_EQ(got, nullptr) << "NetWare " << kDeviceColumns[i].title;
    } else {
      EXPECT_STREQ(got, nwWant[i]) << "NetWare " << kDeviceColumns[i].title;
    }
  }
  EXPECT_STREQ(serial.columnText(kColSerialPort), "COM2");
}

TEST(DeviceColumns, CurrentPortSelectsStatusAndPortTexts) {
  CIpDevice d;
  fillCommon(d);
  struct Case {
    int port;
    const char* status;
    const char* name;
    const char* number;
  } cases[] = {
      {-1, "Warning", "name0", "1"},  // device row: its own status, the first port's texts
      {0, "word0", "name0", "1"},
      {1, "word1", "name1", "2"},
      {2, "", "", ""},  // a port the device does not report
  };
  for (const auto& c : cases) {
    d.setCurrentPort(c.port);
    EXPECT_STREQ(d.columnText(kColStatus), c.status) << c.port;
    EXPECT_STREQ(d.columnText(kColPortName), c.name) << c.port;
    EXPECT_STREQ(d.columnText(kColPortNumber), c.number) << c.port;
    EXPECT_STREQ(d.columnText(kColSystemName), "sys") << c.port;
  }
}

TEST(DeviceColumns, CatalogueLookups) {
  EXPECT_EQ(columnIndex("System Name"), 0);
  EXPECT_EQ(columnIndex("Status"), kColStatus);
  EXPECT_EQ(columnIndex("Firmware Version"), 28);
  EXPECT_EQ(columnIndex("status"), kNoColumn);  // exact comparison
  EXPECT_EQ(columnIndex(""), kNoColumn);
  EXPECT_STREQ(columnTitle(kColNetworkNumber), "Network #");
  EXPECT_EQ(columnTitle(29), nullptr);
  EXPECT_EQ(columnTitle(-1), nullptr);
  for (int i = 0; i < kColumnCount; ++i) EXPECT_EQ(columnIndex(kDeviceColumns[i].title), i) << i;

  const int shown[] = {kColSystemName, kColPortName, 99};
  const std::uint32_t bits = columnBits(shown, 3);
  EXPECT_EQ(bits, 0x8001u);
  EXPECT_TRUE(showsPortColumn(bits));
  EXPECT_FALSE(showsWirelessColumn(bits));
  EXPECT_TRUE(showsWirelessColumn(kDeviceColumns[kColDataRate].bit));
  EXPECT_FALSE(showsWirelessColumn(kDeviceColumns[kColLocation].bit));
  EXPECT_TRUE(showsLocationColumn(kDeviceColumns[kColLocation].bit));
  EXPECT_TRUE(showsFirmwareColumn(kDeviceColumns[kColFirmwareVersion].bit));
  for (int i = kColPortName; i <= kColPortNumber; ++i) EXPECT_TRUE(isPortColumn(i)) << i;
  EXPECT_FALSE(isPortColumn(kColStatus));
}

TEST(DeviceColumns, StatusBitIsNotTheNetworkNumberBit) {
  const std::uint32_t status = kDeviceColumns[kColStatus].bit;
  EXPECT_EQ(status & kDeviceColumns[kColNetworkNumber].bit, 0u);
  // The view editor's offer masks: TCP/IP and serial views offer Status but not Network #.
  const std::uint32_t offers[] = {0x1FFFC7DD, 0x1FFFFF1B, 0x000FC7DD};
  for (std::uint32_t mask : offers) EXPECT_EQ(status & mask, status) << std::hex << mask;
  EXPECT_EQ(kDeviceColumns[kColNetworkNumber].bit & 0x1FFFC7DDu, 0u);
}

TEST(DeviceColumns, AddressColumnsSortAsAddresses) {
  struct Case {
    int column;
    const char* a;
    const char* b;
    int order;
  } cases[] = {
      {kColIpAddress, "10.1.2.10", "10.1.2.9", 1},
      {kColSubnetMask, "255.255.0.0", "255.255.255.0", -1},
      {kColDefaultGateway, "010.1.2.3", "10.1.2.3", 0},
      {kColIpAddress, "", "10.1.2.3", 1},  // a device without an address sorts last
      {kColSystemName, "10.1.2.10", "10.1.2.9", -1},
      {kColSerialNumber, "B", "A", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(compareColumnTexts(c.column, c.a, c.b), c.order) << kDeviceColumns[c.column].title << " " << c.a;
}

TEST(DeviceColumns, Widths) {
  ColumnWidths widths;
  EXPECT_EQ(widths.width(kColSystemName), 140);
  EXPECT_EQ(widths.width(kColPortStatus), 180);
  widths.setWidth(kColSystemName, 222);
  widths.setWidth(kColDatecode, -4);
  widths.setWidth(40, 10);
  EXPECT_EQ(widths.width(kColSystemName), 222);
  EXPECT_EQ(widths.width(kColDatecode), 0);
  EXPECT_EQ(widths.width(40), 0);
  widths.reset();
  EXPECT_EQ(widths.width(kColSystemName), 140);
}

}  // namespace
