// The serial unit on a pseudo-terminal: a client opens the pty's path as a serial port would be
// opened and exchanges identification and SNMP frames with it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <thread>

#include "devices/discovery_reply.h"
#include "sim/serial_pty.h"
#include "sim_test_support.h"
#include "snmp/serial_frame.h"

namespace sim {
namespace {

using namespace sim::test;
namespace ser = snmp::serial;

// Reads one frame (bounded in time); nullopt when none arrives.
std::optional<std::pair<std::uint8_t, Bytes>> readFrame(int fd) {
  Bytes got;
  for (int round = 0; round < 100; ++round) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 50) > 0) {
      std::uint8_t b[512];
      const ssize_t n = ::read(fd, b, sizeof b);
      if (n > 0) got.insert(got.end(), b, b + n);
    }
    if (got.size() >= ser::kFrameHeaderSize) {
      const auto h = ser::parseFrameHeader(got.data());
      if (!h.signatureOk) return std::nullopt;
      if (got.size() >= ser::kFrameHeaderSize + h.length)
        return std::pair{h.type, Bytes(got.begin() + ser::kFrameHeaderSize, got.begin() + ser::kFrameHeaderSize + h.length)};
    }
  }
  return std::nullopt;
}

void writeFrame(int fd, std::uint8_t type, const Bytes& payload) {
  std::uint8_t header[ser::kFrameHeaderSize];
  ser::encodeFrameHeader(type, std::uint16_t(payload.size()), header);
  Bytes frame(header, header + sizeof header);
  frame.insert(frame.end(), payload.begin(), payload.end());
  ASSERT_EQ(::write(fd, frame.data(), frame.size()), ssize_t(frame.size()));
}

TEST(SimSerialPty, AnswersIdentificationAndSnmpFrames) {
  DeviceModel d = smallUnit();
  d.name = "SERIAL-1";
  SerialPtyUnit unit(d, nullptr);
  std::string error;
  ASSERT_TRUE(unit.open(&error)) << error;
  ASSERT_EQ(unit.path().rfind("/dev/pts/", 0), 0u) << unit.path();
  std::atomic<bool> stop{false};
  std::thread serving([&] { unit.run(stop); });

  const int fd = ::open(unit.path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios t{};
  ::tcgetattr(fd, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(fd, TCSANOW, &t);

  writeFrame(fd, ser::kFrameIdentification, {});
  auto id = readFrame(fd);
  ASSERT_TRUE(id);
  EXPECT_EQ(id->first, ser::kFrameIdentification);
  devices::DiscoveryReply r;
  ASSERT_EQ(devices::parseDiscoveryReply(id->second.data(), id->second.size(), r), devices::ReplyStatus::Ok);
  EXPECT_EQ(std::string(r.systemName.c_str()), "SERIAL-1");

  Bytes get;
  ASSERT_EQ(encodeRequest(req(kPduGet, {std_oids::kSysName}), get), 0u);
  writeFrame(fd, ser::kFrameSnmp, get);
  auto answer = readFrame(fd);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->first, ser::kFrameSnmp);
  auto reply = decodeReply(answer->second.data(), answer->second.size(), nullptr);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->pdu.bindings.at(0).value, Value::octets("UNIT"));

  writeFrame(fd, 0x42, {});  // an unknown frame type
  auto err = readFrame(fd);
  ASSERT_TRUE(err);
  EXPECT_EQ(err->first, ser::kFrameError);

  ::close(fd);
  stop.store(true);
  serving.join();
}

}  // namespace
}  // namespace sim
