#pragma once
// An in-process serial cable: the host end is a SerialLine for the serial transport, the device
// end is driven by a test or by the simulator's serial print server. It carries bytes both
// ways and breaks (which no pseudo-terminal carries), and injects faults on the host end.
//
// The device end is served either by a listener, called on the host's thread after every host
// action (open, a completed break, a write), or by a thread of its own that waits in
// readFromHost / waitForHost. Thread-safe. Host reads wait up to the configured time-outs
// (use short ones in tests, see snmp::serial::setTimings).
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "snmp/serial_line.h"

namespace snmp::serial {

class SerialCable : public std::enable_shared_from_this<SerialCable> {
 public:
  // Faults of the host end.
  struct Faults {
    bool failOpen = false;
    bool failConfigure = false;
    bool failWrite = false;
    bool failRead = false;
    bool failClose = false;
    bool failBreak = false;
    // A write stops after this many bytes of the host's total (a short write).
    std::size_t writeLimit = std::numeric_limits<std::size_t>::max();
  };
  using Listener = std::function<void(SerialCable& cable)>;

  static std::shared_ptr<SerialCable> create();

  // A new host-end line on this cable (the transport opens, closes and reopens it).
  std::unique_ptr<SerialLine> hostLine();

  // --- device end ---
  void setListener(Listener listener);
  // Everything the host wrote that the device has not taken yet.
  std::vector<std::uint8_t> takeFromHost();
  // Waits up to `wait` for `size` bytes from the host; returns how many were stored.
  std::size_t readFromHost(std::uint8_t* buffer, std::size_t size, Millis wait);
  void sendToHost(const std::uint8_t* data, std::size_t size);
  void sendToHost(const std::vector<std::uint8_t>& data) { sendToHost(data.data(), data.size()); }
  // A break (or a framing error) as the host's port sees it.
  void sendBreak();
  void sendLineError();

  // --- state, for the device and for tests ---
  int breaksFromHost() const;     // completed break conditions since the host last opened
  bool hostBreakOn() const;
  bool hostOpen() const;
  OpenMode hostMode() const;
  int hostOpens() const;          // opens since the cable was made
  std::size_t pendingToHost() const;  // bytes in the host's receive queue
  int purges() const;
  Settings lastSettings() const;
  void setFaults(const Faults& faults);
  Faults faults() const;

 private:
  friend class CableLine;
  SerialCable() = default;
  void notify();

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  Listener listener_;
  std::deque<std::uint8_t> toHost_;
  std::deque<std::uint8_t> toDevice_;
  std::deque<LineEvent> events_;
  std::size_t hostWritten_ = 0;
  int breaks_ = 0;
  bool breakOn_ = false;
  bool open_ = false;
  OpenMode mode_ = OpenMode::Plain;
  int opens_ = 0;
  int purges_ = 0;
  Settings settings_;
  Faults faults_;
};

}  // namespace snmp::serial
