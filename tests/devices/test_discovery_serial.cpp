// The serial view's search over the in-process serial cable: every listed port is asked in order
// and listed, answered or not; the list is asked whatever ListBuild says.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "devices/device.h"
#include "devices/device_column.h"
#include "devices/device_status.h"
#include "devices/discovery_serial.h"
#include "snmp/serial_line.h"
#include "snmp/serial_line_double.h"
#include "snmp/winsnmp.h"

using namespace devices;
namespace ser = snmp::serial;

namespace {

ser::Timings quickTimings() {
  ser::Timings t;
  t.breakHold = t.breakGap = std::chrono::milliseconds(1);
  t.answerPolls = 3;
  t.answerPollInterval = std::chrono::milliseconds(5);
  t.settle = std::chrono::milliseconds(1);
  t.port.readInterval = std::chrono::milliseconds(20);
  t.port.readTotalPerByte = std::chrono::milliseconds(0);
  t.port.readTotalConstant = std::chrono::milliseconds(40);
  t.port.writeTotalConstant = std::chrono::milliseconds(40);
  return t;
}

class SerialDiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    ser::setTimings(quickTimings());
    ser::setLineFactory([this](const char* port) -> std::unique_ptr<ser::SerialLine> {
      const std::string name(port);
      if (name == "COM1") return com1_->hostLine();
      if (name == "COM2") return com2_->hostLine();
      return nullptr;  // no such port on this machine
    });
  }
  void TearDown() override {
    ser::setLineFactory({});
    ser::setTimings({});
    SnmpCleanup();
  }

  std::shared_ptr<ser::SerialCable> com1_ = ser::SerialCable::create();
  std::shared_ptr<ser::SerialCable> com2_ = ser::SerialCable::create();
};

}  // namespace

TEST_F(SerialDiscoveryTest, EveryListedPortIsListedInOrderEvenWhenSilent) {
  CSerialDiscovery discovery;
  SearchRequest request;
  request.listSearch = false;  // the ports are asked all the same
  request.localSearch = true;  // and there is no local search to run
  request.entries = {"COM2", "COM1", "COM7"};
  ASSERT_EQ(discovery.searchNow(request), 0);
  ASSERT_EQ(discovery.deviceCount(), 3u);
  const char* expected[] = {"COM2", "COM1", "COM7"};
  for (std::size_t i = 0; i < 3; ++i) {
    CDevice& d = *discovery.device(i);
    EXPECT_STREQ(d.columnText(kColSerialPort), expected[i]) << i;
    EXPECT_FALSE(d.answered) << expected[i];
    EXPECT_STREQ(d.columnText(kColStatus), "Error") << expected[i];
    EXPECT_NE(d.deviceBits & kBitNoResponse, 0u) << expected[i];
  }
  // The two cabled ports were opened and woken; the missing one could not be.
  EXPECT_GE(com1_->hostOpens(), 1);
  EXPECT_GE(com2_->hostOpens(), 1);
  // Only among the found.
  EXPECT_EQ(discovery.findOrAdd("COM1"), 1);
  EXPECT_EQ(discovery.findOrAdd("COM3"), -1);
  EXPECT_EQ(discovery.deviceCount(), 3u);
}

TEST_F(SerialDiscoveryTest, AnEmptyListFindsNothing) {
  CSerialDiscovery discovery;
  EXPECT_EQ(discovery.searchNow({}), 0);
  EXPECT_EQ(discovery.deviceCount(), 0u);
  EXPECT_EQ(com1_->hostOpens(), 0);
}
