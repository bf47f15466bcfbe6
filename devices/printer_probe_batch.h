#pragma once
// Printer-MIB probes of many print servers at once, on one UDP socket: a search's burst of
// replies is probed with a bounded number of requests outstanding instead of one round trip
// after the other. Replies are matched by request id and sender address; each request has the
// probe's own time-out per transmission and is sent up to three times with the same request id,
// as a probe asked alone is. Every probe walks the steps of PrinterProbe, so a device leaves the
// batch with the values a probe asked alone would have given it.
//
// Not thread-safe: one thread adds devices, services the batch and receives the finished ones.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/printer_probe.h"
#include "platform/udp_socket.h"
#include "snmp/codec.h"

namespace devices {

class CIpDevice;

struct ProbeBatchSettings {
  std::uint32_t getTimeout = 500;  // per transmission, in 10 ms units (GetTimeout)
  int transmissions = 3;           // the first and two resends
  std::size_t maxOutstanding = 128;
  std::uint16_t agentPort = 161;   // where the requests go (the SNMP port)
  // The GET community to ask a device with; empty: the device is not asked.
  std::function<std::string(const CIpDevice&)> community;
  // 0, or the result every probe ends with before asking anything (no agent to ask).
  std::function<int(const CIpDevice&)> precheck;
  // Told each probe's outcome just before its device is handed back (same thread).
  std::function<void(const CIpDevice&, const PrinterProbe&)> probed;
};

class PrinterProbeBatch {
 public:
  using Finished = std::function<void(std::unique_ptr<CIpDevice>)>;

  explicit PrinterProbeBatch(ProbeBatchSettings settings);
  ~PrinterProbeBatch();
  PrinterProbeBatch(const PrinterProbeBatch&) = delete;
  PrinterProbeBatch& operator=(const PrinterProbeBatch&) = delete;

  // The shared socket. False when it cannot be set up (then probe one device at a time).
  bool open();
  int fd() const { return socket_.fd(); }

  // Queues a device whose reply has been parsed; its probe starts when there is room.
  void add(std::unique_ptr<CIpDevice> device);
  // Nothing queued and nothing outstanding.
  bool idle() const noexcept { return waiting_.empty() && active_ == 0; }
  std::size_t outstanding() const noexcept { return active_; }

  // One pass, never blocking: reads every pending reply, resends or gives up what timed out,
  // starts queued probes up to the bound. Devices whose probe ended go to `finished`, in the
  // order they ended.
  void service(const Finished& finished);
  // Milliseconds until the earliest time-out of an outstanding request; -1 when none.
  int msUntilNextTimeout() const;
  // Ends every probe as stopped (as a Stop ends a probe asked alone) and hands the devices back.
  void stopAll(const Finished& finished);

  // Datagrams read that belonged to no outstanding request (late, foreign or malformed).
  std::size_t ignoredDatagrams() const noexcept { return ignored_; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Slot {
    std::unique_ptr<CIpDevice> device;
    std::unique_ptr<PrinterProbe> probe;
    std::uint32_t address = 0;  // host order
    std::string community;
    std::int32_t requestId = 0;
    int sent = 0;  // transmissions of the current request
    Clock::time_point deadline;
  };

  void start(Slot& slot, std::unique_ptr<CIpDevice> device, const Finished& finished);
  // Sends the request for the probe's next port with a new request id, or ends the probe.
  void askNext(Slot& slot, const Finished& finished);
  bool transmit(Slot& slot);
  void finish(Slot& slot, const Finished& finished);
  void receiveAll(const Finished& finished);
  void handleDatagram(const std::uint8_t* data, std::size_t length, std::uint32_t sender, const Finished& finished);
  std::int32_t nextRequestId() noexcept;

  ProbeBatchSettings settings_;
  platform::UdpSocket socket_;
  std::vector<Slot> slots_;
  std::size_t active_ = 0;
  std::deque<std::unique_ptr<CIpDevice>> waiting_;
  std::int32_t lastRequestId_;
  std::size_t ignored_ = 0;
  std::unique_ptr<snmp::codec::DecodeOutput> decoded_;
};

}  // namespace devices
