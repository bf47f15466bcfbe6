// The serial transport over the in-process cable: the wake-up handshake, the port settings,
// frames both ways, every transport code, the disconnect frame and switching ports.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "snmp/serial_frame.h"
#include "snmp/serial_line.h"
#include "snmp/serial_line_double.h"
#include "test_transport_fixture.h"

namespace {

using snmp::serial::SerialCable;
using Bytes = std::vector<smiBYTE>;

Bytes frame(std::uint8_t type, const Bytes& payload, int announced = -1) {
  Bytes out(snmp::serial::kFrameHeaderSize);
  const std::uint16_t length = static_cast<std::uint16_t>(announced >= 0 ? announced : payload.size());
  snmp::serial::encodeFrameHeader(type, length, out.data());
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

struct Frame {
  std::uint8_t type;
  Bytes payload;
};

// A print server at the device end: answers the third wake-up break with a break, and every
// complete frame with what `reply` makes of it.
class FakePrintServer {
 public:
  explicit FakePrintServer(std::shared_ptr<SerialCable> cable) : cable_(std::move(cable)) {
    cable_->setListener([this](SerialCable& c) { onHost(c); });
  }
  ~FakePrintServer() { cable_->setListener({}); }

  bool answerBreak = true;
  bool answerWithLineError = false;
  std::function<Bytes(const Frame&)> reply = [](const Frame& f) {
    return f.type == snmp::serial::kFrameIdentification ? frame(1, Bytes{'P', 'S', '1', '0', '0'}) : Bytes{};
  };
  std::vector<Frame> frames;

 private:
  void onHost(SerialCable& c) {
    if (c.hostOpen() && c.hostMode() == snmp::serial::OpenMode::Events && c.breaksFromHost() == 3 &&
        answeredOpen_ != c.hostOpens()) {
      answeredOpen_ = c.hostOpens();
      if (answerWithLineError) c.sendLineError();
      else if (answerBreak) c.sendBreak();
    }
    const Bytes in = c.takeFromHost();
    pending_.insert(pending_.end(), in.begin(), in.end());
    while (pending_.size() >= snmp::serial::kFrameHeaderSize) {
      const auto h = snmp::serial::parseFrameHeader(pending_.data());
      if (pending_.size() < snmp::serial::kFrameHeaderSize + h.length) break;
      Frame f{h.type, Bytes(pending_.begin() + 6, pending_.begin() + 6 + h.length)};
      pending_.erase(pending_.begin(), pending_.begin() + 6 + h.length);
      frames.push_back(f);
      const Bytes answer = reply(f);
      if (!answer.empty()) c.sendToHost(answer);
    }
  }

  std::shared_ptr<SerialCable> cable_;
  Bytes pending_;
  int answeredOpen_ = 0;
};

snmp::serial::Timings quickTimings() {
  snmp::serial::Timings t;
  t.breakHold = t.breakGap = std::chrono::milliseconds(1);
  t.answerPolls = 5;
  t.answerPollInterval = std::chrono::milliseconds(5);
  t.settle = std::chrono::milliseconds(1);
  t.port.readInterval = std::chrono::milliseconds(50);
  t.port.readTotalPerByte = std::chrono::milliseconds(0);
  t.port.readTotalConstant = std::chrono::milliseconds(100);
  t.port.writeTotalConstant = std::chrono::milliseconds(100);
  return t;
}

class SerialTransportTest : public TransportTest {
 protected:
  void SetUp() override {
    snmp::serial::setTimings(quickTimings());
    snmp::serial::setLineFactory([this](const char* port) -> std::unique_ptr<snmp::serial::SerialLine> {
      if (std::string(port) == "COM1") return com1->hostLine();
      if (std::string(port) == "COM2") return com2->hostLine();
      return nullptr;
    });
    TransportTest::SetUp();
    port1 = SnmpStrToEntity(live, "COM1");
    ASSERT_NE(port1, 0u);
  }
  void TearDown() override {
    TransportTest::TearDown();
    snmp::serial::setLineFactory({});
    snmp::serial::setTimings({});
  }

  smiUINT32 exchange(HSNMP_SESSION s, HSNMP_ENTITY e, smiUINT32 capacity = 548) {
    reply.assign(capacity, 0);
    return SnmpSerialExchange(s, e, capacity, reply.data());
  }

  std::shared_ptr<SerialCable> com1 = SerialCable::create();
  std::shared_ptr<SerialCable> com2 = SerialCable::create();
  FakePrintServer server1{com1};
  FakePrintServer server2{com2};
  HSNMP_ENTITY port1 = 0;
  Bytes reply;
};

TEST_F(SerialTransportTest, ConnectWakesThePrintServerAndSetsThePort) {
  ASSERT_EQ(exchange(live, port1), SNMPAPI_SUCCESS) << SnmpGetLastError(live);
  EXPECT_EQ(std::string(reply.begin(), reply.begin() + 5), "PS100");
  EXPECT_EQ(com1->breaksFromHost(), 0) << "reopened for plain use after the three breaks";
  EXPECT_EQ(com1->hostOpens(), 2);
  EXPECT_EQ(com1->hostMode(), snmp::serial::OpenMode::Plain);
  EXPECT_GE(com1->purges(), 1);
  const snmp::serial::Settings s = com1->lastSettings();
  EXPECT_EQ(s.baud, 57600u);
  EXPECT_EQ(s.dataBits, 8);
  EXPECT_FALSE(s.parity);
  EXPECT_EQ(s.stopBits, 1);
  EXPECT_TRUE(s.ctsFlow);
  EXPECT_TRUE(s.rtsHandshake);
  EXPECT_FALSE(s.dtr);
  EXPECT_EQ(s.inQueue, 600u);
  EXPECT_EQ(s.outQueue, 600u);
  ASSERT_EQ(server1.frames.size(), 1u);
  EXPECT_EQ(server1.frames[0].type, snmp::serial::kFrameIdentification);
  EXPECT_TRUE(server1.frames[0].payload.empty());
  EXPECT_TRUE(record()->serialConnected);
  EXPECT_STREQ(record()->serialPort, "COM1");

  // Connected already: no second wake-up.
  ASSERT_EQ(exchange(live, port1), SNMPAPI_SUCCESS);
  EXPECT_EQ(com1->hostOpens(), 2);
}

TEST_F(SerialTransportTest, TheDefaultWaitsAreThoseOfThePort) {
  const snmp::serial::Timings t;
  EXPECT_EQ(t.wakeBreaks, 3);
  EXPECT_EQ(t.breakHold.count(), 20);
  EXPECT_EQ(t.answerPolls, 60);
  EXPECT_EQ(t.answerPollInterval.count(), 100);
  EXPECT_EQ(t.settle.count(), 200);
  EXPECT_EQ(t.port.readTotal(10).count(), 4020);
  EXPECT_EQ(t.port.readInterval.count(), 4000);
  EXPECT_EQ(t.port.writeTotal(6).count(), 412);
}

TEST_F(SerialTransportTest, SnmpTravelsInFramesAndTheSendAnnouncesTheReply) {
  server1.reply = [](const Frame& f) { return frame(0, encodeMessage(SNMP_PDU_RESPONSE, requestIdOf(f.payload.data(), f.payload.size()))); };
  ASSERT_EQ(sendGet(port1, 33), 33u) << SnmpGetLastError(live);
  ASSERT_EQ(server1.frames.size(), 1u);
  EXPECT_EQ(server1.frames[0].type, snmp::serial::kFrameSnmp);
  EXPECT_EQ(requestIdOf(server1.frames[0].payload.data(), server1.frames[0].payload.size()), 33);

  const platform::WaitResult w = target.waitFor(kArrived, kPatience);
  ASSERT_EQ(w.status, platform::WaitStatus::Arrived);
  EXPECT_EQ(w.message.wParam, 0u);
  EXPECT_EQ(w.message.lParam, 0);
  const Received r = receive();
  EXPECT_EQ(r.result, 33u);
  EXPECT_EQ(r.type, SNMP_PDU_RESPONSE);
  EXPECT_EQ(r.source, "COM1");
  EXPECT_EQ(entityRecord(r.sourceEntity)->transport, snmp::kTransportSerial);
  // Nothing more on the line: the read runs out of time.
  EXPECT_EQ(receive().error, SNMPAPI_TL_TIMEOUT);
}

TEST_F(SerialTransportTest, EveryBadReplyGetsItsCodeAndLeavesTheLineClean) {
  const Bytes message = encodeMessage(SNMP_PDU_RESPONSE, 5);
  Bytes badSignature = frame(0, message);
  badSignature[1] = '.';
  struct Case {
    const char* name;
    Bytes answer;
    smiUINT32 code;
    SerialCable::Faults faults = {};
  };
  SerialCable::Faults failRead;
  failRead.failRead = true;
  const Case cases[] = {
      {"good", frame(0, message), SNMPAPI_SUCCESS},
      {"bad signature", badSignature, SNMPAPI_FAILURE},
      {"error frame", frame(0xFE, {0x01, 0x02}), SNMPAPI_TL_OTHER},
      {"identification frame", frame(1, {0x01}), SNMPAPI_FAILURE},
      {"short header", Bytes{0x2E, 0x2C, 0x3A}, SNMPAPI_TL_TIMEOUT},
      {"short payload", frame(0, message, static_cast<int>(message.size()) + 10), SNMPAPI_TL_TIMEOUT},
      {"longer than the receive buffer", frame(0, Bytes(1500, 0x04)), SNMPAPI_TL_PDU_TOO_BIG},
      {"no message", frame(0, {0x30, 0x01, 0x00}), SNMPAPI_OUTPUT_TRUNCATED},
      {"read failure", frame(0, message), SNMPAPI_TL_OTHER, failRead},
  };
  const std::size_t before = liveHandles();
  for (const Case& c : cases) {
    server1.reply = [&](const Frame&) { return c.answer; };
    // A session per case: a failed read may leave bytes that the next case must not see.
    const HSNMP_SESSION s = SnmpOpen(&target, kArrived);
    ASSERT_EQ(sendGet(SnmpStrToEntity(s, "COM1"), 5, s), 5u) << c.name << ": " << SnmpGetLastError(s);
    com1->setFaults(c.faults);
    const Received r = receive(s);
    com1->setFaults({});
    EXPECT_EQ(r.error, c.code) << c.name;
    if (c.code == SNMPAPI_SUCCESS) {
      EXPECT_EQ(r.result, 5u);
    }
    if (!c.faults.failRead) {
      EXPECT_EQ(com1->pendingToHost(), 0u) << c.name << ": the next reply would start mid-frame";
    }
    SnmpClose(s);
    EXPECT_EQ(liveHandles(), before) << c.name;
  }
}

TEST_F(SerialTransportTest, EveryExchangeFailureGetsItsCode) {
  Bytes badSignature = frame(1, {0x01});
  badSignature[0] = 0;
  SerialCable::Faults failWrite, failRead, failOpen;
  failWrite.failWrite = true;
  failRead.failRead = true;
  failOpen.failOpen = true;
  struct Case {
    const char* name;
    Bytes answer;
    smiUINT32 code;
    SerialCable::Faults faults;
    bool answerBreak = true;
    bool lineError = false;
    const char* port = "COM1";
  };
  const Case cases[] = {
      {"good", frame(1, {0x01, 0x02}), SNMPAPI_SUCCESS, {}},
      {"bad signature", badSignature, SNMPAPI_FAILURE, {}},
      {"error frame", frame(0xFE, {}), SNMPAPI_FAILURE, {}},
      {"snmp frame", frame(0, {}), SNMPAPI_FAILURE, {}},
      {"short header", Bytes{0x2E, 0x2C}, SNMPAPI_TL_TIMEOUT, {}},
      {"short payload", frame(1, {0x01}, 20), SNMPAPI_TL_TIMEOUT, {}},
      {"600 bytes against 548", frame(1, Bytes(600, 0x55)), SNMPAPI_TL_PDU_TOO_BIG, {}},
      {"write failure", frame(1, {}), SNMPAPI_TL_UNDELIVERABLE, failWrite},
      {"read failure", frame(1, {}), SNMPAPI_TL_OTHER, failRead},
      {"port cannot be opened", frame(1, {}), SNMPAPI_TL_UNDELIVERABLE, failOpen},
      {"no answering break", frame(1, {}), SNMPAPI_TL_UNDELIVERABLE, {}, false},
      {"line error instead of a break", frame(1, {}), SNMPAPI_TL_UNDELIVERABLE, {}, true, true},
      {"no such port", frame(1, {}), SNMPAPI_TL_UNDELIVERABLE, {}, true, false, "COM7"},
  };
  for (const Case& c : cases) {
    server1.reply = [&](const Frame&) { return c.answer; };
    server1.answerBreak = c.answerBreak;
    server1.answerWithLineError = c.lineError;
    const HSNMP_SESSION s = SnmpOpen(&target, kArrived);
    const HSNMP_ENTITY e = SnmpStrToEntity(s, c.port);
    if (c.faults.failRead) {
      ASSERT_EQ(exchange(s, e), SNMPAPI_SUCCESS) << c.name;  // connect, then fail the next read
    }
    com1->setFaults(c.faults);
    EXPECT_EQ(exchange(s, e), c.code) << c.name;
    if (c.code != SNMPAPI_SUCCESS) {
      EXPECT_EQ(SnmpGetLastError(s), c.code) << c.name;
    }
    if (c.code == SNMPAPI_TL_UNDELIVERABLE && !c.faults.failWrite) {
      EXPECT_FALSE(com1->hostOpen()) << c.name << ": a failed connect closes the port";
      EXPECT_FALSE(snmp::handles::find<snmp::SessionRecord>(s)->serialConnected) << c.name;
    }
    if (c.code != SNMPAPI_TL_UNDELIVERABLE && !c.faults.failRead) {
      EXPECT_EQ(com1->pendingToHost(), 0u) << c.name << ": the next reply would start mid-frame";
    }
    com1->setFaults({});
    SnmpClose(s);
  }
}

TEST_F(SerialTransportTest, SendFailuresGetTheirCodes) {
  SerialCable::Faults failWrite, shortWrite;
  failWrite.failWrite = true;
  shortWrite.writeLimit = 10;  // the header and four bytes of the message
  struct Case {
    const char* name;
    SerialCable::Faults faults;
    bool answerBreak;
    smiUINT32 code;
  };
  const Case cases[] = {
      {"write failure", failWrite, true, SNMPAPI_TL_OTHER},
      {"short write", shortWrite, true, SNMPAPI_TL_OTHER},
      {"no answering break", {}, false, SNMPAPI_TL_UNDELIVERABLE},
  };
  for (const Case& c : cases) {
    auto cable = SerialCable::create();
    FakePrintServer server(cable);
    server.answerBreak = c.answerBreak;
    snmp::serial::setLineFactory([&](const char*) { return cable->hostLine(); });
    cable->setFaults(c.faults);
    const HSNMP_SESSION s = SnmpOpen(&target, kArrived);
    const HSNMP_ENTITY e = SnmpStrToEntity(s, "COM3");
    const HSNMP_PDU pdu = SnmpCreatePdu(s, SNMP_PDU_GET, 7, 0, 0, vbl);
    EXPECT_EQ(SnmpSendMsg(s, 0, e, context, pdu), 0u) << c.name;
    EXPECT_EQ(SnmpGetLastError(s), c.code) << c.name;
    cable->setFaults({});
    SnmpClose(s);
  }
  EXPECT_FALSE(awaitArrival(std::chrono::milliseconds(0))) << "a failed send announces nothing";
}

TEST_F(SerialTransportTest, CloseSendsTheDisconnectFrame) {
  ASSERT_EQ(exchange(live, port1), SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpClose(live), SNMPAPI_SUCCESS);
  live = 0;
  ASSERT_EQ(server1.frames.size(), 2u);
  EXPECT_EQ(server1.frames[1].type, snmp::serial::kFrameDisconnect);
  EXPECT_TRUE(server1.frames[1].payload.empty());
  EXPECT_FALSE(com1->hostOpen());
}

TEST_F(SerialTransportTest, AFailedCloseIsNotAvailableAndStillClosesThePort) {
  SerialCable::Faults failWrite, failClose;
  failWrite.failWrite = true;
  failClose.failClose = true;
  for (const SerialCable::Faults& faults : {failWrite, failClose}) {
    const HSNMP_SESSION s = SnmpOpen(&target, kArrived);
    ASSERT_EQ(exchange(s, SnmpStrToEntity(s, "COM1")), SNMPAPI_SUCCESS);
    com1->setFaults(faults);
    EXPECT_EQ(SnmpClose(s), 0u);
    EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_TL_NOT_AVAILABLE);
    EXPECT_FALSE(com1->hostOpen());
    com1->setFaults({});
  }
}

TEST_F(SerialTransportTest, SwitchingPortsDisconnectsTheFirstWithoutTheFrame) {
  ASSERT_EQ(exchange(live, port1), SNMPAPI_SUCCESS);
  const HSNMP_ENTITY port2 = SnmpStrToEntity(live, "COM2:");
  ASSERT_EQ(exchange(live, port2), SNMPAPI_SUCCESS);
  EXPECT_FALSE(com1->hostOpen());
  ASSERT_EQ(server1.frames.size(), 1u) << "no disconnect frame on the first port";
  EXPECT_TRUE(com2->hostOpen());
  EXPECT_EQ(com2->hostOpens(), 2);
  EXPECT_STREQ(record()->serialPort, "COM2");
}

TEST_F(SerialTransportTest, SerialPortsTakeNoTraps) {
  EXPECT_EQ(SnmpRegister(live, port1, 0, 0, nullptr, SNMPAPI_ON), 0u);
  EXPECT_EQ(SnmpGetLastError(live), SNMPAPI_TL_NOT_SUPPORTED);
}

}  // namespace
