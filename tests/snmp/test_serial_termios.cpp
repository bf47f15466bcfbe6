// The termios line on a pseudo-terminal: bytes both ways within the time-outs, the PARMRK
// escape of a data byte FF, and devices that are no serial port. (No break crosses a
// pseudo-terminal; the handshake is tested on the in-process cable.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "snmp/serial_line_termios.h"

namespace {

using snmp::serial::LineEvent;
using snmp::serial::OpenMode;
using snmp::serial::TermiosSerialLine;

class TermiosLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    path = name;
    settings.timeouts.readInterval = std::chrono::milliseconds(50);
    settings.timeouts.readTotalPerByte = std::chrono::milliseconds(0);
    settings.timeouts.readTotalConstant = std::chrono::milliseconds(100);
    settings.timeouts.writeTotalConstant = std::chrono::milliseconds(100);
  }
  void TearDown() override {
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }

  std::string fromMaster(std::size_t n) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (out.size() < n && std::chrono::steady_clock::now() < deadline) {
      char buf[64];
      const ssize_t got = ::read(master, buf, sizeof buf);
      if (got > 0) out.append(buf, static_cast<std::size_t>(got));
    }
    return out;
  }

  int master = -1;
  int slave = -1;
  std::string path;
  snmp::serial::Settings settings;
};

TEST_F(TermiosLineTest, CarriesBytesBothWaysAndEndsShortReadsOnTime) {
  TermiosSerialLine line(path);
  ASSERT_TRUE(line.open(OpenMode::Plain));
  ASSERT_TRUE(line.configure(settings));
  const std::uint8_t hello[] = {0x2E, 0x2C, 0x3A, 0xFF, 0x00, 0x00};
  const snmp::serial::LineIo w = line.write(hello, sizeof hello);
  EXPECT_TRUE(w.ok);
  EXPECT_EQ(w.bytes, sizeof hello);
  EXPECT_EQ(fromMaster(6), std::string(reinterpret_cast<const char*>(hello), 6));

  ASSERT_EQ(::write(master, "\x01\xFF\x03", 3), 3);
  std::uint8_t in[8] = {};
  const snmp::serial::LineIo r = line.read(in, 8);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.bytes, 3u) << "a plain line passes FF through as one byte and stops when the time is up";
  EXPECT_EQ(in[1], 0xFF);

  ASSERT_EQ(::write(master, "zz", 2), 2);
  EXPECT_TRUE(line.purgeReceive());
  EXPECT_EQ(line.read(in, 2).bytes, 0u);
  EXPECT_TRUE(line.close());
  EXPECT_FALSE(line.isOpen());
}

TEST_F(TermiosLineTest, ADataByteFFIsNoBreakOnAWatchedLine) {
  TermiosSerialLine line(path);
  ASSERT_TRUE(line.open(OpenMode::Events));
  ASSERT_TRUE(line.configure(settings));
  // As data, FF 00 00 arrives escaped (FF FF 00 00); only a real break reads as FF 00 00.
  ASSERT_EQ(::write(master, "\xFF\x00\x00", 3), 3);
  EXPECT_EQ(line.waitEvent(std::chrono::milliseconds(100)), LineEvent::None);
  EXPECT_EQ(line.waitEvent(std::chrono::milliseconds(0)), LineEvent::None);
}

TEST_F(TermiosLineTest, WhatIsNoSerialPortDoesNotOpen) {
  for (const char* device : {"/dev/null", "/nonexistent/ttyS0"}) {
    TermiosSerialLine line(device);
    EXPECT_FALSE(line.open(OpenMode::Plain)) << device;
    EXPECT_FALSE(line.configure(settings)) << device;
    EXPECT_FALSE(line.write(reinterpret_cast<const std::uint8_t*>("x"), 1).ok) << device;
  }
  TermiosSerialLine line(path);
  ASSERT_TRUE(line.open(OpenMode::Plain));
  settings.baud = 12345;
  EXPECT_FALSE(line.configure(settings)) << "a speed the port has no setting for";
}

}  // namespace
