// The simulator's serial print server on a pseudo-terminal.
#include "sim/serial_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "sim/discovery_reply_builder.h"
#include "sim/serial_frames.h"
#include "sim/wire.h"
#include "snmp/serial_frame.h"

namespace sim {

namespace ser = snmp::serial;

namespace {
void makeRaw(int fd) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) return;
  ::cfmakeraw(&t);
  ::tcsetattr(fd, TCSANOW, &t);
}
}  // namespace

SerialPtyUnit::SerialPtyUnit(DeviceModel device, RequestLog* log)
    : agent_(std::move(device), SnmpAgent::Clock::now()), log_(log) {}

SerialPtyUnit::~SerialPtyUnit() {
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

bool SerialPtyUnit::open(std::string* error) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    if (error) *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  const char* name = ::ptsname(master_);
  if (!name) {
    if (error) *error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  path_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY);
  if (slave_ >= 0) makeRaw(slave_);
  makeRaw(master_);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  return true;
}

void SerialPtyUnit::run(const std::atomic<bool>& stop) {
  std::uint8_t buffer[1024];
  while (!stop.load()) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0) handleBytes(buffer, std::size_t(n));
  }
}

void SerialPtyUnit::handleBytes(const std::uint8_t* data, std::size_t size) {
  pending_.insert(pending_.end(), data, data + size);
  takeSerialFrames(pending_, [this](std::uint8_t type, const std::uint8_t* bytes, std::size_t n) {
    handleFrame(type, bytes, n);
  });
}

void SerialPtyUnit::sendFrame(std::uint8_t type, const std::vector<std::uint8_t>& payload) {
  std::uint8_t header[ser::kFrameHeaderSize];
  ser::encodeFrameHeader(type, std::uint16_t(payload.size()), header);
  std::vector<std::uint8_t> frame(header, header + sizeof header);
  frame.insert(frame.end(), payload.begin(), payload.end());
  std::size_t sent = 0;
  for (int tries = 0; sent < frame.size() && tries < 100; ++tries) {
    const ssize_t n = ::write(master_, frame.data() + sent, frame.size() - sent);
    if (n > 0) {
      sent += std::size_t(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return;
    } else {
      pollfd p{master_, POLLOUT, 0};
      ::poll(&p, 1, 50);
    }
  }
}

void SerialPtyUnit::handleFrame(std::uint8_t type, const std::uint8_t* payload, std::size_t length) {
  const DeviceModel& d = agent_.device();
  const Endpoint peer{0, 0};
  if (type == ser::kFrameDisconnect) return;
  if (type == ser::kFrameIdentification) {
    if (log_) log_->discovery(d.address, &peer, {"serial", "request", 0, length, -1, -1, 0, {}});
    if (d.faults.silent || !d.discovery.answer) return;
    const auto reply = buildDiscoveryReply(d);
    sendFrame(ser::kFrameIdentification, reply);
    if (log_) log_->discovery(d.address, &peer, {"serial", "reply", 0, reply.size(), -1, d.discovery.format, 0, {}});
    return;
  }
  if (type != ser::kFrameSnmp) {
    sendFrame(ser::kFrameError, {});
    return;
  }
  std::uint32_t codecError = 0;
  auto request = decodeRequest(payload, length, &codecError);
  if (!request) {
    if (log_) log_->undecodable(d.address, peer, length, codecError);
    return;
  }
  if (log_) log_->request(d.address, peer, *request);
  const auto now = SnmpAgent::Clock::now();
  if (agent_.restartEnds()) agent_.tick(now);
  Decision decision = agent_.handle(*request, now);
  if (!decision.answer) {
    if (log_) log_->silent(d.address, peer, request->requestId, decision.reason, decision.event);
    return;
  }
  Bytes message;
  if (encodeAnswer(agent_, *request, decision, message) != 0) return;
  if (log_) log_->reply(d.address, peer, *request, decision, message.size());
  sendFrame(ser::kFrameSnmp, message);
}

}  // namespace sim
