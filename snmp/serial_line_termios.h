#pragma once
// A serial line on a tty device through termios. Break detection uses PARMRK: with it, a
// received break reads as FF 00 00 and a framing or parity error as FF 00 xx, while a data
// byte FF reads doubled. Reads and writes are non-blocking with poll(), timed by the port
// time-outs. A pseudo-terminal works for bytes but carries no break.
#include <string>

#include "snmp/serial_line.h"

namespace snmp::serial {

class TermiosSerialLine final : public SerialLine {
 public:
  explicit TermiosSerialLine(std::string devicePath);
  ~TermiosSerialLine() override;
  TermiosSerialLine(const TermiosSerialLine&) = delete;
  TermiosSerialLine& operator=(const TermiosSerialLine&) = delete;

  bool open(OpenMode mode) override;
  bool close() override;
  bool isOpen() const override { return fd_ >= 0; }
  bool configure(const Settings& settings) override;
  LineIo write(const std::uint8_t* data, std::size_t size) override;
  LineIo read(std::uint8_t* buffer, std::size_t size) override;
  bool setBreak(bool on) override;
  LineEvent waitEvent(Millis wait) override;
  bool purgeReceive() override;

  const std::string& devicePath() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  OpenMode mode_ = OpenMode::Plain;
  Timeouts timeouts_;
  int markState_ = 0;  // PARMRK scanner: bytes of FF 00 seen so far
};

}  // namespace snmp::serial
