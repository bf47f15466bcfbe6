// CIpDevice::query and what is built on it, against a responder on loopback.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "access/progress_headless.h"
#include "access/snmp_target.h"
#include "devices/device.h"
#include "devices/discovery_socket.h"
#include "discovery_responder.h"
#include "snmp/engine_watch.h"

using namespace devices;
using testing_devices::addr;
using testing_devices::Responder;
using testing_devices::Unit;

namespace {

Unit unitAt(const char* address, std::uint8_t last) {
  Unit u;
  u.address = addr(address);
  u.hw = {0x02, 0x00, 0x00, 0x12, 0x34, last};
  return u;
}

struct QueryFixture {
  snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
  CIpDevice device;
  QueryFixture(const char* address, std::uint16_t port, int timeoutMs = 400) : device(address) {
    device.progress = &progress;
    device.querySettings.discoveryPort = port;
    device.querySettings.replyTimeoutMs = timeoutMs;
  }
};

}  // namespace

TEST(DeviceQuery, AnswersFillTheRecordAndOthersAreRefused) {
  Unit good = unitAt("127.0.40.1", 0x56);
  good.generalStatus = "None";
  good.ports = 2;
  Unit factory = unitAt("127.0.40.2", 0x57);
  factory.replyIp = {192, 0, 0, 192};
  factory.replyIpSet = true;
  Unit elsewhere = unitAt("127.0.40.3", 0x58);
  elsewhere.answerFrom = addr("127.0.40.99");
  Unit oversized = unitAt("127.0.40.4", 0x59);
  oversized.padTo = 600;
  Unit shortReply = unitAt("127.0.40.5", 0x5A);
  shortReply.cutTo = 300;
  Unit silent = unitAt("127.0.40.6", 0x5B);
  silent.silent = true;
  Unit unknownFormat = unitAt("127.0.40.7", 0x5C);
  unknownFormat.format = 4;
  Responder responder({good, factory, elsewhere, oversized, shortReply, silent, unknownFormat});

  struct Case {
    const char* name;
    const char* address;
    int result;
    bool configured;
  } cases[] = {
      {"answering unit", "127.0.40.1", 0, true},
      {"address written with leading zeros", "127.000.040.001", 0, true},
      {"factory address in the reply", "127.0.40.2", 0, false},
      {"reply from another address", "127.0.40.3", -1, false},
      {"datagram longer than a reply", "127.0.40.4", -1, false},
      {"datagram shorter than its ports", "127.0.40.5", -1, false},
      {"silent unit", "127.0.40.6", -1, false},
      {"reply of an unknown format", "127.0.40.7", -1, false},
      {"text that is no address", "printer", -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QueryFixture f(c.address, responder.port());
    EXPECT_EQ(f.device.query(), c.result);
    EXPECT_EQ(f.device.answered, c.result == 0);
    EXPECT_EQ(f.device.configured, c.configured);
    if (c.result != 0) {
      EXPECT_TRUE(f.device.deviceBits & kBitNoResponse);
    }
  }

  QueryFixture f("127.0.40.1", responder.port());
  ReplyBuffer raw;
  ASSERT_EQ(f.device.query(&raw), 0);
  EXPECT_EQ(raw.size(), 266u + 81u + 2u * 18u);
  EXPECT_EQ(f.device.serialNumber.view(), "1193046");  // 02:00:00:12:34:56
  EXPECT_EQ(f.device.hardwareAddress.view(), "020000123456");
  EXPECT_EQ(f.device.getCommunity.view(), "public");
  EXPECT_EQ(f.device.setCommunity.view(), "private");
  EXPECT_EQ(f.device.portCount(), 2);
  EXPECT_EQ(f.device.statusWordText.view(), "Good");
}

TEST(DeviceQuery, StatusTextAndUnknownFormat) {
  Unit good = unitAt("127.0.41.1", 1);
  good.ports = 2;
  good.generalStatus = "Self Test Detected an Error";
  Unit unknownFormat = unitAt("127.0.41.2", 2);
  unknownFormat.format = 7;
  Responder responder({good, unknownFormat});

  QueryFixture ok("127.0.41.1", responder.port());
  std::string text;
  EXPECT_EQ(ok.device.statusText(text, 255), 0);
  EXPECT_EQ(text, "Printer 1: \nPrinter 2: \nGeneral Status: Self Test Detected an Error");
  EXPECT_EQ(ok.device.statusText(text, 1), 0);
  EXPECT_EQ(text, "Printer: \nGeneral Status: Self Test Detected an Error");

  QueryFixture bad("127.0.41.2", responder.port());
  EXPECT_EQ(bad.device.statusText(text, 255), -1);
  EXPECT_EQ(text, "Unknown Format");
  EXPECT_EQ(bad.device.statusWordText.view(), "Bad Format");

  QueryFixture none("127.0.41.3", responder.port(), 200);
  EXPECT_EQ(none.device.statusText(text, 255), -1);
  EXPECT_EQ(text, "Cannot communicate with the server.");
}

TEST(DeviceQuery, StopDuringTheWaitEndsWithTwoAndClosesTheSocket) {
  Unit silent = unitAt("127.0.42.1", 1);
  silent.silent = true;
  Responder responder({silent});
  QueryFixture f("127.0.42.1", responder.port(), 60000);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    f.progress.stop();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(f.device.query(), 2);
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_FALSE(f.device.answered);
}

TEST(DeviceQuery, WaitForAnswerAndAttachTarget) {
  Responder responder({unitAt("127.0.43.1", 1)});
  QueryFixture f("0.0.0.0", responder.port(), 200);
  EXPECT_EQ(f.device.waitForAnswer(1, "127.0.43.1"), 0);
  EXPECT_EQ(f.device.ipAddress.view(), "127.0.43.1");

  QueryFixture silent("127.0.43.2", responder.port(), 200);
  EXPECT_EQ(silent.device.waitForAnswer(1), -1);  // bounded by the seconds given

  QueryFixture attach("0.0.0.0", responder.port(), 200);
  snmpaccess::SnmpTarget target;
  target.setAddress("127.0.43.1");
  EXPECT_EQ(attach.device.attachTarget(1, target), 0);
  EXPECT_EQ(target.progress, &attach.progress);
  EXPECT_TRUE(attach.device.answered);
}

TEST(DeviceQuery, SecondFamilyDeviceIsAskedOnItsOwnPort) {
  Unit second = unitAt("127.0.44.1", 9);
  second.secondFamilyForm = 1;
  Responder responder({second});
  QueryFixture f("127.0.44.1", responder.port());
  f.device.kind = kKindSecondFamily;
  f.device.querySettings.secondFamilyPort = responder.secondFamilyPort();
  EXPECT_EQ(f.device.query(), 0);
  EXPECT_EQ(f.device.productType.view(), "SX-2000WG");
  EXPECT_EQ(f.device.firmwareVersion.view(), "2.1.0");
}
