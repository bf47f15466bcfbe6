#include "devices/second_family_channel.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "devices/second_family_exchange.h"

namespace devices {
namespace {
using Clock = std::chrono::steady_clock;
// Foreign datagrams read during one wait; the wait's deadline bounds it as well.
constexpr int kMaxDatagramsPerWait = 256;
}  // namespace

SecondFamilyChannel::SecondFamilyChannel(std::uint32_t address, std::uint16_t port, int replyMs)
    : address_(address), port_(port), replyMs_(std::max(replyMs, 1)) {
  open_ = port != 0 && socket_.open() == 0 && socket_.bind({0, 0}) == 0;
}

bool SecondFamilyChannel::allowBroadcast() {
  if (!open_ || socket_.setBroadcast(true) != 0) return false;
  anySender_ = true;
  return true;
}

bool SecondFamilyChannel::send(const std::uint8_t* data, std::size_t size) {
  if (!open_) return false;
  ++sent_;
  return socket_.sendTo(data, size, {address_, port_}).ok();
}

bool SecondFamilyChannel::receive(std::size_t capacity, CommandReply& out) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(replyMs_);
  capacity = std::min(capacity, sizeof out.bytes);
  out.length = 0;
  for (int spins = 0; spins < kMaxDatagramsPerWait; ++spins) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    platform::SocketAddress from;
    const platform::IoResult r = socket_.recvFrom(out.bytes, capacity, &from, left);
    if (!r.ok()) {
      if (r.error == EAGAIN || r.error == EINTR) continue;
      return false;
    }
    if ((!anySender_ && from.address != address_) || r.bytes < kCommandReplyHeader) continue;
    out.length = r.bytes;
    out.sender = from.address;
    return true;
  }
  return false;
}

bool SecondFamilyChannel::ask(SecondFamilyPhase phase, std::string_view command, std::uint16_t offset,
                              std::uint16_t length, std::size_t capacity, CommandReply& out) {
  const auto frame = secondFamilyRequest(phase, command, offset, length);
  return send(frame.data(), frame.size()) && receive(capacity, out);
}

}  // namespace devices
