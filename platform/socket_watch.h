#pragma once
// Readiness notification of sockets, as a window got it from its asynchronous select: a
// watched socket that becomes readable has `msg` posted to its target, with wParam = the socket
// and lParam = kSocketEventRead.
//
// Level-triggered and one-shot: after posting, the watch stays quiet for that socket until its
// owner has read and calls rearm(). Rearming a socket that still holds data posts again at once.
//
// Two forms share this interface: HeadlessSocketWatch (below), driven by the poll() of the
// headless wait loop, and platform::qt::QtSocketWatch on QSocketNotifier for the GUI.
#include <poll.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/message_target.h"

namespace platform {

class SocketWatch {
 public:
  virtual ~SocketWatch() = default;
  // Starts watching `fd` for reading (armed). Watching a socket again replaces target and
  // message. False for a negative fd or a null target.
  virtual bool watch(int fd, MessageTarget* target, std::uint32_t msg) = 0;
  // Stops watching. Once it returns, the watch never touches the target for this socket again
  // (a message posted earlier may still be queued). Call it before closing the socket.
  virtual void unwatch(int fd) = 0;
  // The owner has read: notify again when data is (still or newly) waiting.
  virtual void rearm(int fd) = 0;
};

// Thread-safe: sockets may be watched, unwatched and rearmed from any thread, also while a
// wait loop polls them (the loop is woken to pick up the change).
class HeadlessSocketWatch final : public SocketWatch {
 public:
  HeadlessSocketWatch();
  ~HeadlessSocketWatch() override;
  HeadlessSocketWatch(const HeadlessSocketWatch&) = delete;
  HeadlessSocketWatch& operator=(const HeadlessSocketWatch&) = delete;

  bool watch(int fd, MessageTarget* target, std::uint32_t msg) override;
  void unwatch(int fd) override;
  void rearm(int fd) override;

  // --- used by the wait loop ---
  // What one poll() covers: the caller may put descriptors of its own in front (`first`).
  struct PollSet {
    std::vector<pollfd> fds;
    std::size_t first = 0;                   // index of the watch's wake-up descriptor
    std::vector<std::uint64_t> generations;  // per watched socket, to tell a reused number apart
  };
  // Appends a wake-up descriptor, then every armed socket.
  void preparePoll(PollSet& set) const;
  // Takes the poll result: posts for each socket that turned readable and disarms it.
  void afterPoll(const PollSet& set);
  // Polls once for up to `timeoutMs` and posts what is ready; for callers without a loop.
  void pollOnce(int timeoutMs);

 private:
  struct Entry {
    int fd;
    MessageTarget* target;
    std::uint32_t msg;
    bool armed;
    std::uint64_t generation;
  };
  Entry* find(int fd);
  void wake() const;

  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  int wakeFd_ = -1;
  std::uint64_t nextGeneration_ = 1;
};

}  // namespace platform
