#include "snmp/serial_line_termios.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace snmp::serial {
namespace {

using Clock = std::chrono::steady_clock;

speed_t speedOf(std::uint32_t baud) {
  switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}

// Waits for `events` until `deadline`: 1 ready, 0 time up, -1 failure.
int waitUntil(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) return 0;
    if (p.revents & (POLLERR | POLLNVAL)) return -1;
    return 1;
  }
}

}  // namespace

TermiosSerialLine::TermiosSerialLine(std::string devicePath) : path_(std::move(devicePath)) {}

TermiosSerialLine::~TermiosSerialLine() { close(); }

bool TermiosSerialLine::open(OpenMode mode) {
  close();
  const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  if (!::isatty(fd) || ::ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  mode_ = mode;
  markState_ = 0;
  return true;
}

bool TermiosSerialLine::close() {
  if (fd_ < 0) return true;
  ::ioctl(fd_, TIOCNXCL);
  const bool ok = ::close(fd_) == 0;
  fd_ = -1;
  return ok;
}

bool TermiosSerialLine::configure(const Settings& settings) {
  if (fd_ < 0) return false;
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) return false;
  ::cfmakeraw(&t);
  const speed_t speed = speedOf(settings.baud);
  if (speed == B0 || ::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0) return false;
  t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  t.c_cflag |= CREAD | CLOCAL;
  t.c_cflag |= settings.dataBits == 7 ? CS7 : CS8;
  if (settings.parity) t.c_cflag |= PARENB;
  if (settings.stopBits == 2) t.c_cflag |= CSTOPB;
  if (settings.ctsFlow || settings.rtsHandshake) t.c_cflag |= CRTSCTS;
  t.c_iflag &= ~(IXON | IXOFF | IXANY | ISTRIP | INLCR | ICRNL | IGNCR | BRKINT | IGNBRK | IGNPAR | PARMRK | INPCK);
  if (mode_ == OpenMode::Events) {
    // Breaks and line errors become marked sequences in the byte stream.
    t.c_iflag |= PARMRK | INPCK;
  } else {
    t.c_iflag |= IGNBRK;
  }
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;
  // DTR is a modem line; a port without modem control (a pseudo-terminal) just has none.
  int dtr = TIOCM_DTR;
  ::ioctl(fd_, settings.dtr ? TIOCMBIS : TIOCMBIC, &dtr);
  timeouts_ = settings.timeouts;
  return true;
}

LineIo TermiosSerialLine::write(const std::uint8_t* data, std::size_t size) {
  LineIo io;
  if (fd_ < 0) return io;
  const auto deadline = Clock::now() + timeouts_.writeTotal(size);
  while (io.bytes < size) {
    const ssize_t n = ::write(fd_, data + io.bytes, size - io.bytes);
    if (n > 0) {
      io.bytes += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return io;
    const int r = waitUntil(fd_, POLLOUT, deadline);
    if (r < 0) return io;
    if (r == 0) break;
  }
  io.ok = true;
  return io;
}

LineIo TermiosSerialLine::read(std::uint8_t* buffer, std::size_t size) {
  LineIo io;
  if (fd_ < 0) return io;
  const auto total = Clock::now() + timeouts_.readTotal(size);
  auto deadline = total;
  while (io.bytes < size) {
    const ssize_t n = ::read(fd_, buffer + io.bytes, size - io.bytes);
    if (n > 0) {
      io.bytes += static_cast<std::size_t>(n);
      // After the first byte, each next one must come within the interval.
      deadline = std::min(total, Clock::now() + timeouts_.readInterval);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return io;
    const int r = waitUntil(fd_, POLLIN, deadline);
    if (r < 0) return io;
    if (r == 0) break;
  }
  io.ok = true;
  return io;
}

bool TermiosSerialLine::setBreak(bool on) {
  if (fd_ < 0) return false;
  return ::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) == 0;
}

LineEvent TermiosSerialLine::waitEvent(Millis wait) {
  if (fd_ < 0 || mode_ != OpenMode::Events) return LineEvent::Failed;
  const auto deadline = Clock::now() + wait;
  for (;;) {
    std::uint8_t chunk[64];
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return LineEvent::Failed;
    for (ssize_t i = 0; i < n; ++i) {
      const std::uint8_t b = chunk[i];
      if (markState_ == 0) {
        if (b == 0xFF) markState_ = 1;
      } else if (markState_ == 1) {
        markState_ = b == 0x00 ? 2 : 0;  // FF FF is a data byte FF
      } else {
        markState_ = 0;
        return b == 0x00 ? LineEvent::Break : LineEvent::LineError;
      }
    }
    if (n > 0) continue;
    const int r = waitUntil(fd_, POLLIN, deadline);
    if (r < 0) return LineEvent::Failed;
    if (r == 0) return LineEvent::None;
  }
}

bool TermiosSerialLine::purgeReceive() {
  if (fd_ < 0) return false;
  markState_ = 0;
  return ::tcflush(fd_, TCIFLUSH) == 0;
}

}  // namespace snmp::serial
