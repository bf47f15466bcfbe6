#pragma once
// The message target of tests and trellanctl, and the wait loop that stands where the GUI's
// nested event loop stands: it hands each posted message to the handler, polls the watched
// sockets, and ends on the awaited message, on the cancel flag, or when the time is up.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/message.h"
#include "platform/message_target.h"

namespace platform {

class HeadlessSocketWatch;

enum class WaitStatus { Arrived, Stopped, TimedOut };

struct WaitResult {
  WaitStatus status = WaitStatus::TimedOut;
  Message message;  // the awaited message when it arrived
};

class HeadlessTarget final : public MessageTarget {
 public:
  using Handler = std::function<void(const Message&)>;
  using Predicate = std::function<bool(const Message&)>;

  explicit HeadlessTarget(Handler handler = {});
  ~HeadlessTarget() override;
  HeadlessTarget(const HeadlessTarget&) = delete;
  HeadlessTarget& operator=(const HeadlessTarget&) = delete;

  // Thread-safe; wakes a waiting loop.
  void post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

  // Receives every message the loop takes from the queue, the awaited one included; it runs on
  // the waiting thread, and may post or wait again (nested). Set it before waiting.
  void setHandler(Handler handler);
  // Sockets of this watch are polled while this target waits (null: none). Not owned.
  void setSocketWatch(HeadlessSocketWatch* watch);

  // Runs the loop until a message matching `awaited` has been handled (Arrived, with that
  // message), `cancel` is set (Stopped; checked first, so a cancel wins over an arrival), or
  // `timeout` has passed (TimedOut). Messages behind the awaited one stay queued. A zero timeout
  // handles what is queued and what the sockets have ready, then returns.
  // A cancel flag set by another thread is seen within 10 ms; wake() makes it immediate.
  WaitResult waitFor(const Predicate& awaited, std::chrono::milliseconds timeout,
                     const std::atomic<bool>* cancel = nullptr);
  WaitResult waitFor(std::uint32_t msg, std::chrono::milliseconds timeout, const std::atomic<bool>* cancel = nullptr);

  // Handles everything that is ready now (queue and sockets) without waiting.
  void processPending();
  // Interrupts a waiting loop so that it looks at its cancel flag.
  void wake();
  std::size_t pendingCount() const;

 private:
  bool take(Message& out);

  mutable std::mutex mutex_;
  std::deque<Message> queue_;
  Handler handler_;
  HeadlessSocketWatch* watch_ = nullptr;
  int wakeFd_ = -1;
};

}  // namespace platform
