#include "platform/tcp_socket.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/net_config.h"
#include "platform/send_guard.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

SocketAddress nameOf(int fd, bool peer) {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  int r = peer ? ::getpeername(fd, reinterpret_cast<sockaddr*>(&sa), &len)
               : ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
  return (fd < 0 || r != 0) ? SocketAddress{} : SocketAddress::fromSockaddr(sa);
}

std::chrono::milliseconds leftUntil(Clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? std::chrono::milliseconds(0) : left;
}

}  // namespace

int TcpSocket::connect(SocketAddress to, std::chrono::milliseconds limit) {
  if (int e = checkConnection(to.address, netConfig())) return e;
  handle_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!handle_.valid()) return errno;
  sockaddr_in sa;
  to.toSockaddr(sa);
  if (::connect(fd(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) return 0;
  if (errno != EINPROGRESS && errno != EINTR) {
    int e = errno;
    handle_.reset();
    return e;
  }
  int e = waitForEvents(fd(), POLLOUT, limit);
  if (e == 0) {
    socklen_t len = sizeof e;
    if (::getsockopt(fd(), SOL_SOCKET, SO_ERROR, &e, &len) != 0) e = errno;
  }
  if (e != 0) handle_.reset();
  return e;
}

SocketAddress TcpSocket::localAddress() const { return nameOf(fd(), false); }
SocketAddress TcpSocket::peerAddress() const { return nameOf(fd(), true); }

IoResult TcpSocket::send(const void* data, std::size_t size, std::chrono::milliseconds limit) {
  if (!isOpen()) return {EBADF};
  const auto deadline = Clock::now() + limit;
  const char* p = static_cast<const char*>(data);
  std::size_t sent = 0;
  while (sent < size) {
    ssize_t n = ::send(fd(), p + sent, size - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return {errno, sent};
    if (int e = waitForEvents(fd(), POLLOUT, leftUntil(deadline))) return {e, sent};
  }
  return {0, sent};
}

IoResult TcpSocket::recv(void* buffer, std::size_t capacity, std::chrono::milliseconds limit) {
  if (!isOpen()) return {EBADF};
  const auto deadline = Clock::now() + limit;
  for (;;) {
    ssize_t n = ::recv(fd(), buffer, capacity, 0);
    if (n >= 0) return {0, static_cast<std::size_t>(n)};
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return {errno};
    if (int e = waitForEvents(fd(), POLLIN, leftUntil(deadline))) return {e};
  }
}

int TcpSocket::shutdownSend() {
  if (!isOpen()) return EBADF;
  return ::shutdown(fd(), SHUT_WR) == 0 ? 0 : errno;
}

void TcpSocket::close() { handle_.reset(); }

void TcpSocket::abort() {
  if (!isOpen()) return;
  linger l{1, 0};
  ::setsockopt(fd(), SOL_SOCKET, SO_LINGER, &l, sizeof l);
  handle_.reset();
}

int TcpListener::listen(SocketAddress local, int backlog) {
  handle_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!handle_.valid()) return errno;
  int one = 1;
  sockaddr_in sa;
  local.toSockaddr(sa);
  if (::setsockopt(fd(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
      ::bind(fd(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd(), backlog) != 0) {
    int e = errno;
    handle_.reset();
    return e;
  }
  return 0;
}

SocketAddress TcpListener::localAddress() const { return nameOf(fd(), false); }

TcpSocket TcpListener::accept(std::chrono::milliseconds limit, int& error, SocketAddress* peer) {
  if (!isOpen()) {
    error = EBADF;
    return {};
  }
  const auto deadline = Clock::now() + limit;
  for (;;) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    int fd = ::accept4(this->fd(), reinterpret_cast<sockaddr*>(&sa), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      if (peer) *peer = SocketAddress::fromSockaddr(sa);
      error = 0;
      return TcpSocket(fd);
    }
    if (errno == EINTR || errno == ECONNABORTED) continue;
    if (errno != EAGAIN) {
      error = errno;
      return {};
    }
    if (int e = waitForEvents(this->fd(), POLLIN, leftUntil(deadline))) {
      error = e;
      return {};
    }
  }
}

}  // namespace platform
