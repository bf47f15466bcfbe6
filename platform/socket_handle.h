#pragma once
// The owned descriptor shared by the socket wrappers, and a bounded wait on it.
#include <chrono>

namespace platform {

class SocketHandle {
 public:
  SocketHandle() = default;
  explicit SocketHandle(int fd) : fd_(fd) {}
  ~SocketHandle() { reset(); }
  SocketHandle(SocketHandle&& other) noexcept : fd_(other.release()) {}
  SocketHandle& operator=(SocketHandle&& other) noexcept;
  SocketHandle(const SocketHandle&) = delete;
  SocketHandle& operator=(const SocketHandle&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();
  void reset(int fd = -1);

 private:
  int fd_ = -1;
};

// Waits until `fd` has any of `events` (poll flags) or the time is up. Interrupted waits
// continue with the time that is left. 0 when ready, ETIMEDOUT, or the errno of poll.
// A negative time waits without limit.
int waitForEvents(int fd, short events, std::chrono::milliseconds timeout);

// Sets O_NONBLOCK; 0 or errno.
int makeNonBlocking(int fd);

}  // namespace platform
