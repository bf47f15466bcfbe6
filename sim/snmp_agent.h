#pragma once
// The firmware behaviour of one simulated print server: which requests it answers, what it
// answers, and when it restarts. Works on decoded requests; the wire layer encodes the decision.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/device_model.h"

namespace sim {

inline constexpr int kPduGet = 0xA0;
inline constexpr int kPduGetNext = 0xA1;
inline constexpr int kPduResponse = 0xA2;
inline constexpr int kPduSet = 0xA3;

inline constexpr int kNoError = 0;
inline constexpr int kTooBig = 1;
inline constexpr int kNoSuchName = 2;
inline constexpr int kBadValue = 3;
inline constexpr int kReadOnly = 4;

struct Binding {
  Oid oid;
  Value value;
  bool operator==(const Binding&) const = default;
};

struct Request {
  std::string community;
  int pduType = kPduGet;
  std::int32_t requestId = 0;
  std::vector<Binding> bindings;
};

// Byte-level damage the wire layer does to an encoded reply.
enum class ReplyFault { None, Short, Malformed };

struct Decision {
  bool answer = false;
  std::string reason;  // why the unit stays silent (answer == false)
  int errorStatus = kNoError;
  int errorIndex = 0;
  std::vector<Binding> bindings;
  ReplyFault fault = ReplyFault::None;
  std::uint32_t delayMs = 0;
  std::string event;  // "reset" or "restore" when this request started a restart
};

class SnmpAgent {
 public:
  using Clock = std::chrono::steady_clock;

  SnmpAgent(DeviceModel device, Clock::time_point now);

  Decision handle(const Request& request, Clock::time_point now);

  // The answer for a request whose reply would not fit in one message: `fitted` bindings did.
  Decision tooBigFor(const Request& request, std::size_t fitted) const;

  // Brings the unit back once its restart window has passed (applying restores and staged
  // changes). Returns true when it came back just now.
  bool tick(Clock::time_point now);
  // End of the current restart window, if the unit is restarting.
  std::optional<Clock::time_point> restartEnds() const { return restartEnds_; }
  // The address the unit asked to move to when it last came back (cleared by the call).
  std::optional<std::uint32_t> takeMove();
  // What changed when it last came back besides the address, as (event, detail) for the log:
  // ("community", "get" or "set"). Cleared by the call.
  std::vector<std::pair<std::string, std::string>> takeEvents();

  std::uint32_t uptimeTicks(Clock::time_point now) const;
  const DeviceModel& device() const { return device_; }
  DeviceModel& device() { return device_; }

 private:
  Decision silent(std::string reason) const;
  Decision errorReply(const Request& r, int status, int index) const;
  int tooBigIndex(std::size_t fitted) const;
  Decision get(const Request& r, Clock::time_point now);
  Decision getNext(const Request& r, Clock::time_point now);
  Decision set(const Request& r, Clock::time_point now);
  Value readValue(const MibEntry& e, Clock::time_point now) const;
  void applyReplyFaults(Decision& d);

  DeviceModel device_;
  Clock::time_point bootTime_;
  std::optional<Clock::time_point> restartEnds_;
  std::vector<Oid> restoreOnRestart_;
  std::optional<std::uint32_t> move_;
  std::vector<std::pair<std::string, std::string>> events_;
  std::uint64_t requests_ = 0;
  std::uint64_t replies_ = 0;
};

}  // namespace sim
