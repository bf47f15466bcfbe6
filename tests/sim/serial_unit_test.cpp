// A simulated unit on the in-process serial cable: the wake-up break, the identification record
// (read with the program's parser) and SNMP frames through the agent.
#include <gtest/gtest.h>

#include "devices/discovery_reply.h"
#include "sim/serial_unit.h"
#include "sim_test_support.h"
#include "snmp/serial_frame.h"
#include "snmp/winsnmp.h"

namespace sim {
namespace {

using namespace sim::test;
namespace ser = snmp::serial;

class SerialUnitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.timeouts.readInterval = std::chrono::milliseconds(50);
    settings_.timeouts.readTotalPerByte = std::chrono::milliseconds(0);
    settings_.timeouts.readTotalConstant = std::chrono::milliseconds(200);
  }

  // The host's wake-up as the transport does it: breaks on an event-watched line, then a wait.
  ser::LineEvent wake(ser::SerialLine& line) {
    EXPECT_TRUE(line.open(ser::OpenMode::Events));
    line.configure(settings_);
    for (int i = 0; i < ser::timings().wakeBreaks; ++i) {
      line.setBreak(true);
      line.setBreak(false);
    }
    const auto event = line.waitEvent(std::chrono::milliseconds(200));
    line.close();
    return event;
  }

  std::optional<std::pair<std::uint8_t, Bytes>> exchange(ser::SerialLine& line, std::uint8_t type, const Bytes& payload) {
    std::uint8_t header[ser::kFrameHeaderSize];
    ser::encodeFrameHeader(type, std::uint16_t(payload.size()), header);
    Bytes frame(header, header + sizeof header);
    frame.insert(frame.end(), payload.begin(), payload.end());
    if (line.write(frame.data(), frame.size()).bytes != frame.size()) return std::nullopt;
    std::uint8_t in[ser::kFrameHeaderSize];
    if (line.read(in, sizeof in).bytes != sizeof in) return std::nullopt;
    const auto h = ser::parseFrameHeader(in);
    if (!h.signatureOk) return std::nullopt;
    Bytes body(h.length);
    if (h.length && line.read(body.data(), body.size()).bytes != body.size()) return std::nullopt;
    return std::pair{h.type, body};
  }

  ser::Settings settings_;
  std::shared_ptr<ser::SerialCable> cable_ = ser::SerialCable::create();
};

TEST_F(SerialUnitTest, AnswersTheWakeUpIdentificationAndSnmp) {
  DeviceModel d = smallUnit();
  d.discovery.format = 3;
  d.discovery.serialNumber = "SER-77";
  SerialUnit unit(cable_, d);
  auto line = cable_->hostLine();
  EXPECT_EQ(wake(*line), ser::LineEvent::Break);
  EXPECT_EQ(unit.breaksAnswered(), 1);

  ASSERT_TRUE(line->open(ser::OpenMode::Plain));
  line->configure(settings_);
  auto id = exchange(*line, ser::kFrameIdentification, {});
  ASSERT_TRUE(id);
  EXPECT_EQ(id->first, ser::kFrameIdentification);
  devices::DiscoveryReply parsed;
  ASSERT_EQ(devices::parseDiscoveryReply(id->second.data(), id->second.size(), parsed), devices::ReplyStatus::Ok);
  EXPECT_EQ(std::string(parsed.serialNumber.c_str()), "SER-77");
  EXPECT_EQ(parsed.portCount, 2);

  Bytes get;
  ASSERT_EQ(encodeRequest(req(kPduGet, {std_oids::kSysName}), get), 0u);
  auto answer = exchange(*line, ser::kFrameSnmp, get);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->first, ser::kFrameSnmp);
  std::uint32_t rc = 0;
  auto reply = decodeReply(answer->second.data(), answer->second.size(), &rc);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->pdu.bindings.at(0).value, Value::octets("UNIT"));

  std::uint8_t bye[ser::kFrameHeaderSize];
  ser::encodeFrameHeader(ser::kFrameDisconnect, 0, bye);
  line->write(bye, sizeof bye);
  EXPECT_EQ(unit.disconnects(), 1);
  EXPECT_EQ(unit.identifications(), 1);
  EXPECT_EQ(unit.snmpFrames(), 1);
}

TEST_F(SerialUnitTest, SilenceNoBreakAndErrorFrames) {
  struct Case {
    const char* name;
    bool answerBreak;
    bool errorFrames;
    bool answerOff;
    ser::LineEvent wakeEvent;
    std::optional<std::uint8_t> identificationType;  // nullopt: nothing comes back
  };
  const Case cases[] = {
      {"no answering break", false, false, false, ser::LineEvent::None, ser::kFrameIdentification},
      {"error frames", true, true, false, ser::LineEvent::Break, ser::kFrameError},
      {"discovery answer off", true, false, true, ser::LineEvent::Break, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto cable = ser::SerialCable::create();
    DeviceModel d = smallUnit();
    d.discovery.answer = !c.answerOff;
    SerialUnitOptions o;
    o.answerBreak = c.answerBreak;
    o.errorFrames = c.errorFrames;
    SerialUnit unit(cable, d, o);
    auto line = cable->hostLine();
    EXPECT_EQ(wake(*line), c.wakeEvent);
    ASSERT_TRUE(line->open(ser::OpenMode::Plain));
    line->configure(settings_);
    auto id = exchange(*line, ser::kFrameIdentification, {});
    ASSERT_EQ(id.has_value(), c.identificationType.has_value());
    if (id) {
      EXPECT_EQ(id->first, *c.identificationType);
    }
    line->close();
  }
}

// The engine's serial exchange against the unit: what the program's serial device does.
TEST_F(SerialUnitTest, EngineSerialExchangeReadsTheIdentification) {
  ser::Timings quick;
  quick.breakHold = quick.breakGap = std::chrono::milliseconds(1);
  quick.answerPolls = 20;
  quick.answerPollInterval = std::chrono::milliseconds(5);
  quick.settle = std::chrono::milliseconds(1);
  quick.port = settings_.timeouts;
  ser::setTimings(quick);
  ser::setLineFactory([this](const char*) { return cable_->hostLine(); });
  DeviceModel d = smallUnit();
  d.name = "SERIAL-PS";
  SerialUnit unit(cable_, d);

  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  const HSNMP_SESSION session = SnmpOpen(nullptr, 2561);
  ASSERT_NE(session, 0u);
  const HSNMP_ENTITY com = SnmpStrToEntity(session, "COM1");
  ASSERT_NE(com, 0u);
  std::vector<smiBYTE> reply(devices::kMaxReplySize, 0);
  EXPECT_EQ(SnmpSerialExchange(session, com, smiUINT32(reply.size()), reply.data()), SNMPAPI_SUCCESS);
  devices::DiscoveryReply parsed;
  ASSERT_EQ(devices::parseDiscoveryReply(reply.data(), reply.size(), parsed), devices::ReplyStatus::Ok);
  EXPECT_EQ(std::string(parsed.systemName.c_str()), "SERIAL-PS");
  EXPECT_EQ(unit.breaksAnswered(), 1);
  SnmpFreeEntity(com);
  SnmpClose(session);
  SnmpCleanup();
  ser::setLineFactory({});
  ser::setTimings({});
  EXPECT_EQ(unit.disconnects(), 1);  // closing the session says goodbye on the line
}

}  // namespace
}  // namespace sim
