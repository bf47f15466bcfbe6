#include <gtest/gtest.h>

#include <string>

#include "devices/device.h"
#include "reply_fixture.h"

using namespace devices;
using testing_devices::loadReplyFixture;

namespace {

const StatusMasks kDefaultMasks{};

ReplyStatus parseFixture(CIpDevice& device, const char* name, const StatusMasks& masks = kDefaultMasks) {
  const auto bytes = loadReplyFixture(name);
  return device.parseReply(bytes.data(), bytes.size(), masks);
}

struct DeviceWant {
  const char* fixture;
  const char* hardware;
  const char* serial;
  const char* ip;
  const char* systemName;
  const char* getCommunity;
  const char* setCommunity;
  int format;
  bool configured;
  std::uint32_t deviceBits;
  int replyLevel;
  const char* status;
  std::vector<const char*> portNames;
  std::vector<const char*> portStatus;
};

TEST(Device, FilledFromEachReplyFormat) {
  const DeviceWant cases[] = {
      {"format1.reply", "020000123456", "1193046", "10.1.2.3", "LAB-PS1", "public", "private", 1, true, 0, 3,
       "Warning", {"P1", "P2", "P3"}, {"Good", "Warning", "Good"}},
      // A self-test failure is "TCP/IP Error", which the default masks count as Good.
      {"format2.reply", "0040AFFFFFFF", "16777215", "198.102.102.254", "", "vorlak", "setpw", 2, false, 0x1000, 3,
       "Good", {"LPT1"}, {"Good"}},
      {"format3.reply", "008077ABCDEF", "A1234567", "192.0.0.192", "Wireless Lab", "Kx9!", "s3cret", 3, false,
       0x10000, 4, "F/W Update", {"WLAN1"}, {"F/W Update"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    CIpDevice device("10.9.9.9");
    ASSERT_EQ(parseFixture(device, c.fixture), ReplyStatus::Ok);
    EXPECT_TRUE(device.answered);
    EXPECT_EQ(device.hardwareAddress.view(), c.hardware);
    EXPECT_EQ(device.serialNumber.view(), c.serial);
    EXPECT_EQ(device.ipAddress.view(), c.ip);
    EXPECT_EQ(device.systemName.view(), c.systemName);
    EXPECT_EQ(device.getCommunity.view(), c.getCommunity);
    EXPECT_EQ(device.setCommunity.view(), c.setCommunity);
    EXPECT_EQ(device.replyFormat, c.format);
    EXPECT_EQ(device.configured, c.configured);
    EXPECT_EQ(device.deviceBits, c.deviceBits);
    EXPECT_EQ(device.replyStatusLevel, c.replyLevel);
    EXPECT_EQ(device.statusWordText.view(), c.status);
    ASSERT_EQ(device.portCount(), static_cast<int>(c.portNames.size()));
    for (int p = 0; p < kMaxPorts; ++p) {
      const bool used = p < device.portCount();
      EXPECT_EQ(device.portNames[p].view(), used ? c.portNames[p] : "") << "port " << p;
      EXPECT_EQ(device.portStatusWords[p].view(), used ? c.portStatus[p] : "") << "port " << p;
      EXPECT_EQ(device.portNumbers[p].view(), used ? std::to_string(p + 1) : "") << "port " << p;
    }
  }
}

TEST(Device, StatusTextsFollowTheMasksGiven) {
  CIpDevice device;
  StatusMasks tcpIpIsError;
  tcpIpIsError.error |= kBitTcpIpError;
  ASSERT_EQ(parseFixture(device, "format2.reply", tcpIpIsError), ReplyStatus::Ok);
  EXPECT_EQ(device.statusWordText.view(), "Error");
  device.updateStatusTexts(kDefaultMasks);
  EXPECT_EQ(device.statusWordText.view(), "Good");
}

TEST(Device, RefusedDatagramLeavesTheDeviceAlone) {
  CIpDevice device;
  ASSERT_EQ(parseFixture(device, "format1.reply"), ReplyStatus::Ok);
  const auto bytes = loadReplyFixture("format1.reply");
  EXPECT_EQ(device.parseReply(bytes.data(), 300, kDefaultMasks), ReplyStatus::TooShort);
  const auto foreign = loadReplyFixture("second_family_72.reply");
  EXPECT_EQ(device.parseReply(foreign.data(), foreign.size(), kDefaultMasks), ReplyStatus::BadMagic);
  EXPECT_TRUE(device.answered);
  EXPECT_EQ(device.systemName.view(), "LAB-PS1");
  EXPECT_EQ(device.portCount(), 3);
}

TEST(Device, UnknownFormatClearsAndSaysBadFormat) {
  CIpDevice device("10.1.2.3");
  ASSERT_EQ(parseFixture(device, "format1.reply"), ReplyStatus::Ok);
  auto bytes = loadReplyFixture("format1.reply");
  bytes[3] = 7;
  EXPECT_EQ(device.parseReply(bytes.data(), bytes.size(), kDefaultMasks), ReplyStatus::UnknownFormat);
  EXPECT_FALSE(device.answered);
  EXPECT_EQ(device.statusWordText.view(), "Bad Format");
  EXPECT_EQ(device.replyFormat, 7);
  EXPECT_TRUE(device.systemName.empty());
  EXPECT_EQ(device.ipAddress.view(), "10.1.2.3") << "the address is how it is asked again";
  std::string text;
  EXPECT_EQ(device.composeStatusText(text, 255), -1);
  EXPECT_EQ(text, "Unknown Format");
}

TEST(Device, ClearKeepsAddressAndPortCount) {
  CIpDevice device;
  EXPECT_EQ(device.deviceBits, kBitNoResponse);
  EXPECT_EQ(device.replyStatusLevel, kLevelError);
  EXPECT_EQ(device.portCount(), 1);
  ASSERT_EQ(parseFixture(device, "format1.reply"), ReplyStatus::Ok);
  device.ssid.assign("lab");
  device.clear();
  EXPECT_EQ(device.ipAddress.view(), "10.1.2.3");
  EXPECT_EQ(device.portCount(), 3);
  EXPECT_EQ(device.deviceBits, kBitNoResponse);
  EXPECT_EQ(device.replyStatusLevel, kLevelError);
  for (int p = 0; p < kMaxPorts; ++p) EXPECT_EQ(device.portBits[p], 0u);
  EXPECT_FALSE(device.answered);
  EXPECT_FALSE(device.configured);
  EXPECT_TRUE(device.systemName.empty());
  EXPECT_TRUE(device.subnetMask.empty());
  EXPECT_TRUE(device.ssid.empty());
  EXPECT_TRUE(device.portNames[0].empty());
  EXPECT_TRUE(device.statusWordText.empty());
  // Never answered: Error by default.
  EXPECT_EQ(device.statusLevel(0, kDefaultMasks), kLevelError);
}

TEST(Device, WhatsWrongText) {
  CIpDevice device;
  std::string text;
  EXPECT_EQ(device.composeStatusText(text, 255), -1);
  EXPECT_EQ(text, "Cannot communicate with the server.");

  ASSERT_EQ(parseFixture(device, "format1.reply"), ReplyStatus::Ok);
  device.portStatusTexts[0].assign("Ready");
  device.portStatusTexts[1].assign("Toner Low");
  struct Case {
    int port;
    const char* want;
  } cases[] = {
      {255, "Printer 1: Ready\nPrinter 2: Toner Low\nPrinter 3: \nGeneral Status: None"},
      {1, "Printer: Toner Low\nGeneral Status: None"},
      {0, "Printer: Ready\nGeneral Status: None"},
      {3, "Printer 1: Ready\nPrinter 2: Toner Low\nPrinter 3: \nGeneral Status: None"},  // no such port
      {-5, "Printer 1: Ready\nPrinter 2: Toner Low\nPrinter 3: \nGeneral Status: None"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(device.composeStatusText(text, c.port), 0) << c.port;
    EXPECT_EQ(text, c.want) << c.port;
  }
}

TEST(Device, FactoryAddresses) {
  struct Case {
    const char* ip;
    bool factory;
  } cases[] = {
      {"198.102.102.254", true}, {"192.0.0.192", true}, {"0.0.0.0", true},       {"000.0.00.0", true},
      {"192.000.000.192", true}, {"192.0.0.193", false}, {"10.1.2.3", false},    {"", false},
      {"0.0.0", false},          {"0.0.0.0.", false},    {"192.0.0.192 ", false}, {"localhost", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isFactoryAddress(c.ip), c.factory) << c.ip;
}

TEST(Device, SecondFamilyReplies) {
  CIpDevice device;
  device.kind = kKindSecondFamily;
  ASSERT_EQ(parseFixture(device, "second_family_72.reply"), ReplyStatus::Ok);
  EXPECT_EQ(device.kind, kKindSecondFamily);
  EXPECT_EQ(device.secondFamilyReplyForm, 0);
  EXPECT_EQ(device.ipAddress.view(), "127.0.5.9");
  EXPECT_EQ(device.hardwareAddress.view(), "001122AABBCC");
  EXPECT_EQ(device.systemName.view(), "SX-Office");
  EXPECT_EQ(device.productType.view(), "SX-2000WG");
  EXPECT_EQ(device.deviceBits, kBitSecondFamily);
  EXPECT_EQ(device.replyStatusLevel, kLevelGood);
  EXPECT_EQ(device.statusWordText.view(), "Good");
  EXPECT_TRUE(device.answered);
  EXPECT_TRUE(device.configured);

  ASSERT_EQ(parseFixture(device, "second_family_166.reply"), ReplyStatus::Ok);
  EXPECT_EQ(device.secondFamilyReplyForm, 1);
  EXPECT_EQ(device.firmwareVersion.view(), "1.2.3b");
  EXPECT_EQ(device.systemName.view(), "Print Hall 2");
  EXPECT_FALSE(device.configured);

  // A native device does not take a second-family datagram, nor the other way round.
  CIpDevice native;
  EXPECT_EQ(parseFixture(native, "second_family_166.reply"), ReplyStatus::BadMagic);
  EXPECT_EQ(parseFixture(device, "format1.reply"), ReplyStatus::TooLong);
}

TEST(Device, IpxAddresses) {
  struct Case {
    const char* text;
    bool ok;
    const char* normalised;
  } cases[] = {
      {"1-2", true, "00000001-000000000002"},
      {"FFFFFFFF-FFFFFFFFFFFF", true, "FFFFFFFF-FFFFFFFFFFFF"},
      {"0000abcd-00c0a8010203", true, "0000ABCD-00C0A8010203"},
      {"ABC-7F000001", true, "00000ABC-00007F000001"},
      {"", false, nullptr},
      {"-", false, nullptr},
      {"1-", false, nullptr},
      {"-1", false, nullptr},
      {"123456789-1", false, nullptr},
      {"1-1234567890123", false, nullptr},
      {"G-1", false, nullptr},
      {"1-2-3", false, nullptr},
      {"12345678", false, nullptr},
  };
  for (const auto& c : cases) {
    CIpxDevice device;
    ASSERT_TRUE(device.setIpxAddress("11111111-222222222222"));
    EXPECT_EQ(device.setIpxAddress(c.text), c.ok) << c.text;
    EXPECT_EQ(device.ipxAddressText().view(), c.ok ? c.normalised : "11111111-222222222222") << c.text;
    if (c.ok) {
      EXPECT_EQ(device.networkNumber.view(), std::string_view(c.normalised).substr(0, 8)) << c.text;
    }
  }
}

TEST(Device, SerialAndNetWareKinds) {
  CSerialDevice serial("COM3");
  EXPECT_STREQ(serial.snmpAddress(), "COM3");
  EXPECT_EQ(serial.snmpProtocol(), kSnmpProtocolSerial);
  serial.clear();
  EXPECT_EQ(serial.portName.view(), "COM3");
  CSerialDevice longName(std::string(40, 'C'));
  EXPECT_EQ(longName.portName.view().size(), 15u);

  CNetWareDevice nw;
  EXPECT_STREQ(CNetWareDevice::modeText(2), "PServer");
  EXPECT_STREQ(CNetWareDevice::modeText(3), "RPrinter");
  EXPECT_STREQ(CNetWareDevice::modeText(1), "Unknown");
  nw.familyCode.assign("KDV");
  nw.serialNumber.assign("123456");
  nw.defaultNwName();
  EXPECT_EQ(nw.nwName.view(), "KDV123456");
  std::string text;
  nw.failureText.assign(CNetWareDevice::kTextNotInBindery);
  EXPECT_EQ(nw.composeStatusText(text, 255), -1);
  EXPECT_EQ(text, "Cannot find the print server in the Bindery.");
  nw.clear();
  EXPECT_TRUE(nw.nwName.empty());
  EXPECT_EQ(nw.composeStatusText(text, 255), -1);
  EXPECT_EQ(text, "Cannot communicate with the server.");
}

TEST(Device, PortCountAndCurrentPortAreClamped) {
  CIpDevice device;
  const int counts[][2] = {{-1, 0}, {0, 0}, {6, 6}, {7, 6}, {1000, 6}};
  for (const auto& c : counts) {
    device.setPortCount(c[0]);
    EXPECT_EQ(device.portCount(), c[1]) << c[0];
  }
  const int ports[][2] = {{-1, -1}, {0, 0}, {5, 5}, {6, -1}, {255, -1}, {-7, -1}};
  for (const auto& c : ports) {
    device.setCurrentPort(c[0]);
    EXPECT_EQ(device.currentPort(), c[1]) << c[0];
  }
}

}  // namespace
