#pragma once
// The serial line under the serial transport: a COM port that can be opened, configured,
// written, read within the port time-outs, held in break, and watched for a break from the
// other end. Two forms: TermiosSerialLine on a device path (serial_line_termios.h) and the
// in-process cable of tests and the simulator (serial_line_double.h). The transport gets its
// lines from a replaceable factory, and all its waits come from one replaceable Timings.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {
class Registry;
}

namespace snmp::serial {

using Millis = std::chrono::milliseconds;

// Port time-outs, in the manner of COMMTIMEOUTS: a read ends when the gap between two bytes
// exceeds the interval or the total (per byte times bytes asked, plus constant) is used up;
// a write likewise within its total.
struct Timeouts {
  Millis readInterval{4000};
  Millis readTotalPerByte{2};
  Millis readTotalConstant{4000};
  Millis writeTotalPerByte{2};
  Millis writeTotalConstant{400};

  Millis readTotal(std::size_t bytes) const { return readTotalPerByte * static_cast<long>(bytes) + readTotalConstant; }
  Millis writeTotal(std::size_t bytes) const {
    return writeTotalPerByte * static_cast<long>(bytes) + writeTotalConstant;
  }
};

// What the transport sets on a port: 57600 8N1, binary, CTS output flow control, RTS
// handshake, DTR off, no DSR/XON/XOFF, no error or null-character handling.
struct Settings {
  std::uint32_t baud = 57600;
  int dataBits = 8;
  bool parity = false;
  int stopBits = 1;
  bool ctsFlow = true;
  bool rtsHandshake = true;
  bool dtr = false;
  std::size_t inQueue = 600;
  std::size_t outQueue = 600;
  Timeouts timeouts;
};

// Every wait of the transport: the wake-up breaks, the wait for the answering break, the pause
// before the line is taken over, and the port time-outs.
struct Timings {
  int wakeBreaks = 3;
  Millis breakHold{20};
  Millis breakGap{20};
  int answerPolls = 60;
  Millis answerPollInterval{100};
  Millis settle{200};
  Timeouts port;
};

enum class OpenMode {
  Events,  // watched for break and line-error events (during the wake-up)
  Plain,   // ordinary reads and writes
};

enum class LineEvent { None, Break, LineError, Failed };

struct LineIo {
  bool ok = false;        // false: the call failed (as opposed to running out of time)
  std::size_t bytes = 0;  // bytes moved; fewer than asked when the time-outs ran out
};

class SerialLine {
 public:
  virtual ~SerialLine() = default;
  // Opens the port for reading and writing, exclusively. False when it cannot.
  virtual bool open(OpenMode mode) = 0;
  // False when closing failed; the line is closed all the same.
  virtual bool close() = 0;
  virtual bool isOpen() const = 0;
  virtual bool configure(const Settings& settings) = 0;
  virtual LineIo write(const std::uint8_t* data, std::size_t size) = 0;
  // Reads until `size` bytes arrived or the configured time-outs end the read.
  virtual LineIo read(std::uint8_t* buffer, std::size_t size) = 0;
  virtual bool setBreak(bool on) = 0;
  // Waits up to `wait` for an event of an Events-mode line; None when nothing happened.
  virtual LineEvent waitEvent(Millis wait) = 0;
  // Drops whatever the receive queue holds.
  virtual bool purgeReceive() = 0;
};

// Makes the line of a port name ("COM1".."COM9"); null when there is no such port.
using LineFactory = std::function<std::unique_ptr<SerialLine>(const char* portName)>;

// Replaces the factory (tests, the simulator); an empty one restores the default, which opens
// the device that platform::serialDevicePath names (with `registry`, see below).
void setLineFactory(LineFactory factory);
std::unique_ptr<SerialLine> makeLine(const char* portName);

// The settings store the default factory reads Serial\COMn from (not owned; null: none).
void setPortRegistry(const platform::Registry* registry);

void setTimings(const Timings& timings);
Timings timings();
// The settings of a port with the current time-outs.
Settings portSettings();

}  // namespace snmp::serial
