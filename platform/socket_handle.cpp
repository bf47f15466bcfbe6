#include "platform/socket_handle.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
  if (this != &other) reset(other.release());
  return *this;
}

int SocketHandle::release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

void SocketHandle::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

int waitForEvents(int fd, short events, std::chrono::milliseconds timeout) {
  using Clock = std::chrono::steady_clock;
  const bool forever = timeout.count() < 0;
  const auto deadline = Clock::now() + (forever ? std::chrono::milliseconds(0) : timeout);
  for (;;) {
    int waitMs = -1;
    if (!forever) {
      // Rounded up so that a wait never ends early; capped at what poll() takes.
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      waitMs = left <= 0 ? 0 : static_cast<int>(left > 0x7FFFFFFF ? 0x7FFFFFFF : left);
    }
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, waitMs);
    if (n > 0) return 0;
    if (n == 0) {
      if (forever || Clock::now() >= deadline) return ETIMEDOUT;
      continue;
    }
    if (errno != EINTR) return errno;
  }
}

int makeNonBlocking(int fd) {
  int flags = ::fcntl(fd, F_GETFL, 0);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) return errno;
  return 0;
}

}  // namespace platform
