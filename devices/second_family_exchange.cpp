#include "devices/second_family_exchange.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

#include "devices/device.h"
#include "devices/ipv4_text.h"
#include "platform/udp_socket.h"

namespace devices {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kCommandField = 80;
constexpr std::size_t kShortReply = 72;
constexpr std::size_t kLongReply = 520;
constexpr std::uint16_t kAskLength = 512;
// "Other replies repeat the request": a unit that keeps answering so gets this many tries per port.
constexpr int kMaxStatusRequests = 16;

// Image offsets.
constexpr std::size_t kFirmwareAt = 64, kFirmwareSize = 15;
constexpr std::size_t kMaskAt = 552, kGatewayAt = 556;
constexpr std::size_t kModeAt = 7680, kKeyInUseAt = 7683, kSecurityAt = 7684;
constexpr std::size_t kSsidAt = 7696, kSsidSize = 32;
constexpr std::size_t kKeysAt = 7744, kKeySize = 16;
constexpr std::size_t kPassphraseAt = 7808, kPassphraseSize = 16;

std::uint16_t be16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

// A NUL-terminated text inside [at, end) of a buffer; empty when `at` lies outside.
std::string_view textAt(const std::uint8_t* data, std::size_t at, std::size_t end) {
  if (at >= end) return {};
  const char* s = reinterpret_cast<const char*>(data + at);
  const std::size_t room = end - at;
  const void* nul = std::memchr(s, '\0', room);
  return std::string_view(s, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - s) : room);
}

struct Reply {
  std::uint8_t bytes[kLongReply] = {};
  std::size_t length = 0;
  std::uint8_t status() const { return bytes[0]; }
  std::uint8_t phase() const { return bytes[1]; }
  std::size_t dataLength() const { return be16(bytes + 6); }
  // Where the reply's data ends: the declared length, bounded by what arrived.
  std::size_t dataEnd() const { return std::min(length, kReplyHeader + dataLength()); }
};

}  // namespace

// One socket for one exchange: sends a frame, waits for the device's reply.
struct SecondFamilyExchange::Channel {
  platform::UdpSocket socket;
  bool open = false;

  explicit Channel() {
    open = socket.open() == 0 && socket.bind({0, 0}) == 0;
  }

  bool send(SecondFamilyExchange& x, const std::uint8_t* data, std::size_t size) {
    if (!open) return false;
    ++x.sent_;
    return socket.sendTo(data, size, {x.address_, x.port_}).ok();
  }

  // A reply from the device within the wait; datagrams from anyone else are dropped. Replies
  // shorter than their header do not count.
  bool receive(const SecondFamilyExchange& x, std::size_t capacity, Reply& out) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(x.replyMs_, 1));
    capacity = std::min(capacity, sizeof out.bytes);
    for (int spins = 0; spins < 256; ++spins) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return false;
      platform::SocketAddress from;
      const platform::IoResult r = socket.recvFrom(out.bytes, capacity, &from, left);
      if (!r.ok()) {
        if (r.error == EAGAIN || r.error == EINTR) continue;
        return false;
      }
      if (from.address != x.address_ || r.bytes < kReplyHeader) continue;
      out.length = r.bytes;
      return true;
    }
    return false;
  }

  bool ask(SecondFamilyExchange& x, SecondFamilyPhase phase, std::string_view command, std::uint16_t offset,
           std::uint16_t length, std::size_t capacity, Reply& out) {
    const auto frame = secondFamilyRequest(phase, command, offset, length);
    return send(x, frame.data(), frame.size()) && receive(x, capacity, out);
  }
};

std::array<std::uint8_t, 88> secondFamilyRequest(SecondFamilyPhase phase, std::string_view command,
                                                 std::uint16_t offset, std::uint16_t length) noexcept {
  std::array<std::uint8_t, 88> f{};
  f[1] = static_cast<std::uint8_t>(phase);
  f[3] = 1;
  // The command and its parameters, cut to leave the terminator inside the field.
  const std::size_t n = std::min(command.size(), kCommandField - 1);
  std::memcpy(f.data() + 4, command.data(), n);
  f[84] = static_cast<std::uint8_t>(offset >> 8);
  f[85] = static_cast<std::uint8_t>(offset);
  f[86] = static_cast<std::uint8_t>(length >> 8);
  f[87] = static_cast<std::uint8_t>(length);
  return f;
}

const char* secondFamilyStatusWord(std::uint8_t flags) noexcept {
  if (flags == 0) return "On-Line";
  static constexpr struct {
    std::uint8_t bit;
    const char* word;
  } kWords[] = {{0x01, "Printing"}, {0x02, "Dealing"},  {0x04, "Cannot print"},
                {0x08, "No paper"}, {0x10, "Off-Line"}, {0x20, "Fault"}};
  const char* word = "";
  for (const auto& w : kWords)
    if (flags & w.bit) word = w.word;
  return word;
}

void applyConfigurationImage(CIpDevice& device, const std::vector<std::uint8_t>& image) noexcept {
  if (image.size() < kImageSize) return;
  const std::uint8_t* m = image.data();
  device.subnetMask = formatIpv4(m + kMaskAt);
  device.defaultGateway = formatIpv4(m + kGatewayAt);
  // The device's field holds 14 of the 15 characters.
  const std::string_view firmware = textAt(m, kFirmwareAt, kFirmwareAt + kFirmwareSize);
  if (!firmware.empty()) device.firmwareVersion.assign(firmware);
  const std::string_view model = device.productType.view();
  switch (m[kModeAt]) {
    case 1:
      device.wirelessMode.assign("802.11 Ad Hoc");
      break;
    case 2:
      device.wirelessMode.assign("Infrastructure");
      break;
    case 0:
      if (model == "SX-2000WG" || model == "C-6400W" || model == "SX-3700WB") device.wirelessMode.assign("Ad Hoc");
      break;
    default:
      break;
  }
  const std::string_view ssid = textAt(m, kSsidAt, kSsidAt + kSsidSize);
  device.ssid.assign(ssid);
  device.currentSsid.assign(ssid);
  if (m[kSecurityAt] == 0) {
    const int key = m[kKeyInUseAt];
    if (key >= 1 && key <= 4) {
      const std::size_t at = kKeysAt + static_cast<std::size_t>(key - 1) * kKeySize;
      device.security.assign(textAt(m, at, at + kKeySize));
    }
  } else if (m[kSecurityAt] == 2) {
    device.security.assign(textAt(m, kPassphraseAt, kPassphraseAt + kPassphraseSize));
  }
}

SecondFamilyExchange::SecondFamilyExchange(std::string_view address, std::uint16_t port, int replyMs) noexcept
    : port_(port), replyMs_(replyMs) {
  if (const auto a = parseIpv4(address)) {
    address_ = *a;
    valid_ = port != 0;
  }
}

int SecondFamilyExchange::readPortsAndStatus(CIpDevice& device) {
  sent_ = 0;
  if (!valid_) return -1;
  Channel ch;
  Reply r;
  if (!ch.ask(*this, SecondFamilyPhase::First, "GET PORT_NAME", 0, kAskLength, kShortReply, r)) return -1;
  if (r.dataLength() == 0) return -1;
  // Data byte 0 is the port count plus one; the names follow, 16 bytes each, while they arrived.
  const int declared = r.length > kReplyHeader ? r.bytes[kReplyHeader] - 1 : 0;
  const int fit = r.length > kReplyHeader + 1 ? static_cast<int>((r.length - kReplyHeader - 1) / 16) : 0;
  const int ports = std::clamp(std::min(declared, fit), 0, kMaxPorts);
  device.setPortCount(ports);
  for (int p = 0; p < ports; ++p) {
    const std::size_t at = kReplyHeader + 1 + static_cast<std::size_t>(p) * 16;
    device.portNames[p].assign(textAt(r.bytes, at, at + 16));
    device.portNumbers[p].assign(std::to_string(p + 1));
  }
  if (!ch.ask(*this, SecondFamilyPhase::Close, "GET PORT_NAME", 0, kAskLength, kShortReply, r)) return -1;

  for (int p = 0; p < ports; ++p) {
    const std::string command = "GET STATUS:" + std::string(device.portNames[p].view());
    SecondFamilyPhase phase = SecondFamilyPhase::First;
    std::uint16_t offset = 0;
    for (int tries = 0; tries < kMaxStatusRequests; ++tries) {
      if (!ch.ask(*this, phase, command, offset, kAskLength, kLongReply, r)) return -1;
      const std::size_t end = r.dataEnd();
      if (r.status() != 0 || r.phase() != 1) {
        // An error text, or the end of the status; only a reply that carries data replaces the display.
        if (end > kReplyHeader) device.printerDisplays[p].assign(textAt(r.bytes, kReplyHeader, end));
      } else {
        if (end > kReplyHeader) device.portStatusTexts[p].assign(secondFamilyStatusWord(r.bytes[kReplyHeader]));
        device.printerDisplays[p].assign(textAt(r.bytes, kReplyHeader + 2, end));
      }
      if (r.status() == 0 && r.phase() == 0) break;
      if (r.status() == 0 && r.phase() == 1) {
        phase = SecondFamilyPhase::Next;
        offset = static_cast<std::uint16_t>(offset + r.dataLength());
      }
    }
  }
  if (!ch.ask(*this, SecondFamilyPhase::Close, "GET STATUS:", 0, kAskLength, kLongReply, r)) return -1;
  return 0;
}

int SecondFamilyExchange::readConfigurationImage(std::vector<std::uint8_t>& image) {
  sent_ = 0;
  image.assign(kImageSize, 0);
  if (!valid_) return -1;
  Channel ch;
  Reply r;
  for (std::size_t offset = 0; offset < kImageSize; offset += kImageBlock) {
    const SecondFamilyPhase phase = offset == 0 ? SecondFamilyPhase::First : SecondFamilyPhase::Next;
    if (!ch.ask(*this, phase, "GET EEP_DATA", static_cast<std::uint16_t>(offset), kImageBlock, kLongReply, r)) return -1;
    // A block that did not arrive whole would leave stale bytes in the image.
    if (r.status() != 0 || r.dataEnd() < kReplyHeader + kImageBlock) return -1;
    std::memcpy(image.data() + offset, r.bytes + kReplyHeader, kImageBlock);
  }
  if (!ch.ask(*this, SecondFamilyPhase::Close, "GET EEP_DATA", static_cast<std::uint16_t>(kImageSize), kImageBlock,
              kLongReply, r))
    return -1;
  return 0;
}

}  // namespace devices
