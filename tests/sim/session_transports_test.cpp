// CSnmpSession against the simulator's agent over the two transports that are not plain UDP: the
// serial cable (a SerialUnit on the far end) and the IPX-in-UDP layer (the sim's IPX SNMP listener).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "access/progress_headless.h"
#include "access/result_codes.h"
#include "access/snmp_session.h"
#include "platform/net_config.h"
#include "sim/serial_unit.h"
#include "sim/server.h"
#include "sim_test_support.h"
#include "snmp/engine_watch.h"
#include "snmp/serial_line_double.h"

namespace sim {
namespace {

using namespace sim::test;
using namespace snmpaccess;
namespace ser = snmp::serial;

const char* kSysNameText = "1.3.6.1.2.1.1.5.0";
const std::string kWritableText = std::string(kNativeEnterprise) + ".6.3.2.4.4.0";  // "PSERVER"
const char* kMissing = "1.3.6.1.2.1.1.99.0";
constexpr const char* kSetCommunity = "secret";
constexpr std::uint32_t kIpxUnit = 0x7F00D601u;

DeviceModel sessionUnit(std::uint32_t address) {
  DeviceModel d = smallUnit(address);
  d.setCommunity = kSetCommunity;
  d.agent.setMode = SetMode::Immediate;
  return d;
}

ser::Timings quickTimings() {
  ser::Timings t;
  t.breakHold = t.breakGap = std::chrono::milliseconds(1);
  t.answerPolls = 20;
  t.answerPollInterval = std::chrono::milliseconds(5);
  t.settle = std::chrono::milliseconds(1);
  t.port.readInterval = std::chrono::milliseconds(50);
  t.port.readTotalPerByte = std::chrono::milliseconds(0);
  t.port.readTotalConstant = std::chrono::milliseconds(200);
  t.port.writeTotalConstant = std::chrono::milliseconds(200);
  return t;
}

// One transport with its far end: the target address text and whatever serves it.
class Far {
 public:
  virtual ~Far() = default;
  virtual const char* address() const = 0;
  virtual bool ready() const = 0;
};

class SerialFar final : public Far {
 public:
  SerialFar() {
    ser::setTimings(quickTimings());
    ser::setLineFactory([cable = cable_](const char* port) -> std::unique_ptr<ser::SerialLine> {
      if (std::string(port) == "COM1") return cable->hostLine();
      return nullptr;
    });
    unit_ = std::make_unique<SerialUnit>(cable_, sessionUnit(0x7F00D602u));
  }
  ~SerialFar() override {
    unit_.reset();
    ser::setLineFactory({});
    ser::setTimings({});
  }
  const char* address() const override { return "COM1"; }
  bool ready() const override { return true; }
  SerialUnit& unit() { return *unit_; }

 private:
  std::shared_ptr<ser::SerialCable> cable_ = ser::SerialCable::create();
  std::unique_ptr<SerialUnit> unit_;
};

// The IPX entity text always names socket 0x900F, whose UDP port is fixed: the listener sits there.
class IpxFar final : public Far {
 public:
  IpxFar() {
    ServerOptions o;
    o.port = 0;
    o.ipxSnmpPort = platform::kIpxSocketSnmp;
    server_ = std::make_unique<Server>(std::vector<DeviceModel>{sessionUnit(kIpxUnit)}, o);
    std::string error;
    opened_ = server_->open(&error);
    error_ = error;
    if (opened_) thread_ = std::thread([this] { server_->run(); });
  }
  ~IpxFar() override {
    server_->stop();
    if (thread_.joinable()) thread_.join();
  }
  const char* address() const override { return "00000000-00007F00D601"; }
  bool ready() const override { return opened_; }
  const std::string& error() const { return error_; }

 private:
  std::unique_ptr<Server> server_;
  std::thread thread_;
  bool opened_ = false;
  std::string error_;
};

class SessionTransportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target_.setGetCommunity(kDefaultCommunity);
    target_.setSetCommunity(kSetCommunity);
    target_.progress = &progress_;
  }
  void TearDown() override { SnmpCleanup(); }

  std::unique_ptr<CSnmpSession> open(const Far& far, std::uint32_t timeout = 100) {
    target_.setAddress(far.address());
    int rc = -1;
    auto s = std::make_unique<CSnmpSession>(&target_, rc);
    EXPECT_EQ(rc, 0);
    s->setTimeout(timeout);
    return s;
  }

  // GET sysName, SET the writable text with the SET community and read it back, noSuchName.
  void readSetAndMissing(const Far& far) {
    auto s = open(far);
    CVarBind name(kSysNameText);
    CVarBind* one[] = {&name};
    ASSERT_EQ(s->get(one, 1), 0);
    EXPECT_EQ(name.displayText(), "UNIT");
    EXPECT_EQ(s->lastTransmissions(), 1);

    CVarBind text(kWritableText.c_str());
    text.setText("RENAMED");
    CVarBind* set[] = {&text};
    ASSERT_EQ(s->set(set, 1), 0);
    CVarBind back(kWritableText.c_str());
    CVarBind* read[] = {&back};
    ASSERT_EQ(s->get(read, 1), 0);
    EXPECT_EQ(back.displayText(), "RENAMED");

    CVarBind missing(kMissing);
    CVarBind* gone[] = {&name, &missing};
    int status = -1, index = -1;
    EXPECT_EQ(s->get(gone, 2, &status, &index), result::kNoSuchName);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(index, 2);
  }

  HeadlessProgress progress_{&snmp::headlessWatch()};
  SnmpTarget target_;
};

TEST_F(SessionTransportsTest, ReadSetAndNoSuchNameOverSerialAndIpx) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<Far>()> make;
  };
  const Case cases[] = {
      {"serial", [] { return std::make_unique<SerialFar>(); }},
      {"ipx", [] { return std::make_unique<IpxFar>(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto far = c.make();
    ASSERT_TRUE(far->ready());
    readSetAndMissing(*far);
  }
}

// A silent unit on the serial line ends the request after one frame with 3089 (the serial
// transport gives up waiting for the reply inside its own read), not after three transmissions
// with 3094, and Stop is never waited for. Off until the serial receive path resends and waits
// in the progress window like the datagram transports do.
// The serial line reads synchronously: the send announces the reply at once and the receive
// blocks until the port's time-outs, so a silent unit is a failed receive after one frame, not
// three transmissions and a wait the Stop button could end.
TEST_F(SessionTransportsTest, SerialSilentUnitFailsTheReceiveAfterOneFrame) {
  SerialFar far;
  target_.setGetCommunity("wrong");
  auto s = open(far, 10);
  CVarBind name(kSysNameText);
  CVarBind* one[] = {&name};
  EXPECT_EQ(s->get(one, 1), result::kReceiveFailed);
  EXPECT_EQ(s->lastTransmissions(), 1);
  EXPECT_EQ(far.unit().snmpFrames(), 1);
}

}  // namespace
}  // namespace sim
