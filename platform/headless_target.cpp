#include "platform/headless_target.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/socket_watch.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
// How often a cancel flag is looked at while nothing happens (the GUI wait polls as often).
constexpr std::chrono::milliseconds kCancelSlice{10};
// Without an eventfd (descriptor limit reached), posts from other threads are seen this late.
constexpr std::chrono::milliseconds kFallbackSlice{10};

}  // namespace

HeadlessTarget::HeadlessTarget(Handler handler)
    : handler_(std::move(handler)), wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

HeadlessTarget::~HeadlessTarget() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void HeadlessTarget::post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({msg, wParam, lParam});
  }
  wake();
}

void HeadlessTarget::wake() {
  if (wakeFd_ < 0) return;
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void HeadlessTarget::setHandler(Handler handler) {
  std::lock_guard lock(mutex_);
  handler_ = std::move(handler);
}

void HeadlessTarget::setSocketWatch(HeadlessSocketWatch* watch) {
  std::lock_guard lock(mutex_);
  watch_ = watch;
}

std::size_t HeadlessTarget::pendingCount() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

bool HeadlessTarget::take(Message& out) {
  std::lock_guard lock(mutex_);
  if (queue_.empty()) return false;
  out = queue_.front();
  queue_.pop_front();
  return true;
}

WaitResult HeadlessTarget::waitFor(std::uint32_t msg, std::chrono::milliseconds timeout,
                                   const std::atomic<bool>* cancel) {
  return waitFor([msg](const Message& m) { return m.msg == msg; }, timeout, cancel);
}

void HeadlessTarget::processPending() {
  waitFor([](const Message&) { return false; }, std::chrono::milliseconds(0));
}

WaitResult HeadlessTarget::waitFor(const Predicate& awaited, std::chrono::milliseconds timeout,
                                   const std::atomic<bool>* cancel) {
  const auto deadline = Clock::now() + std::max(timeout, std::chrono::milliseconds(0));
  auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_acquire); };
  HeadlessSocketWatch::PollSet set;
  bool polledAfterDeadline = false;

  for (;;) {
    if (cancelled()) return {WaitStatus::Stopped, {}};

    // One round handles what was queued when it began; what handlers post waits for the next
    // round, so that a handler that keeps posting cannot hold the loop past its time.
    std::size_t batch = pendingCount();
    Message m;
    while (batch-- > 0 && take(m)) {
      Handler handler;
      {
        std::lock_guard lock(mutex_);
        handler = handler_;
      }
      if (handler) handler(m);
      if (cancelled()) return {WaitStatus::Stopped, {}};
      if (awaited && awaited(m)) return {WaitStatus::Arrived, m};
    }
    if (polledAfterDeadline) return {WaitStatus::TimedOut, {}};

    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      left = std::chrono::milliseconds(0);
      polledAfterDeadline = true;
    }
    if (cancel) left = std::min(left, kCancelSlice);
    if (wakeFd_ < 0) left = std::min(left, kFallbackSlice);

    HeadlessSocketWatch* watch;
    {
      std::lock_guard lock(mutex_);
      watch = watch_;
    }
    set.fds.clear();
    set.fds.push_back({wakeFd_, POLLIN, 0});
    if (watch) watch->preparePoll(set);
    int n = ::poll(set.fds.data(), set.fds.size(), static_cast<int>(left.count()));
    // The wake-up count is reset only when a post raised it (no empty read per round), and before
    // the queue is looked at again: a post after this read is either seen then or wakes the poll.
    // A count left raised from before this wait only makes the first poll return at once.
    if (n > 0 && (set.fds[0].revents & POLLIN)) {
      std::uint64_t count;
      [[maybe_unused]] ssize_t r = ::read(wakeFd_, &count, sizeof count);
    }
    if (n > 0 && watch) watch->afterPoll(set);
    if (n < 0 && errno != EINTR) {
      // Only EINVAL/ENOMEM are possible here; wait out the slice instead of spinning.
      ::poll(nullptr, 0, static_cast<int>(std::min(left, kFallbackSlice).count()));
    }
  }
}

}  // namespace platform
