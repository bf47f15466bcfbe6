#include "devices/second_family_exchange.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "devices/device.h"
#include "devices/ipv4_text.h"
#include "devices/second_family_channel.h"

namespace devices {
namespace {

constexpr std::size_t kCommandField = 80;
constexpr std::size_t kShortReply = 72;
constexpr std::size_t kLongReply = 520;
constexpr std::uint16_t kAskLength = 512;

// Image offsets.
constexpr std::size_t kFirmwareAt = 64, kFirmwareSize = 15;
constexpr std::size_t kMaskAt = 552, kGatewayAt = 556;
constexpr std::size_t kModeAt = 7680, kKeyInUseAt = 7683, kSecurityAt = 7684;
constexpr std::size_t kSsidAt = 7696, kSsidSize = 32;
constexpr std::size_t kKeysAt = 7744, kKeySize = 16;
constexpr std::size_t kPassphraseAt = 7808, kPassphraseSize = 16;

// A NUL-terminated text inside [at, end) of a buffer; empty when `at` lies outside.
std::string_view textAt(const std::uint8_t* data, std::size_t at, std::size_t end) {
  if (at >= end) return {};
  const char* s = reinterpret_cast<const char*>(data + at);
  const std::size_t room = end - at;
  const void* nul = std::memchr(s, '\0', room);
  return std::string_view(s, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - s) : room);
}

}  // namespace

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

int SecondFamilyExchange::fail(std::string why) {
  failure_ = std::move(why);
  return -1;
}

int SecondFamilyExchange::run(const std::function<int(SecondFamilyChannel&)>& body) {
  sent_ = 0;
  failure_.clear();
  if (!valid_) return fail("no address");
  SecondFamilyChannel ch(address_, port_, replyMs_);
  const int rc = body(ch);
  sent_ = ch.requestsSent();
  return rc;
}

int SecondFamilyExchange::readPortsAndStatus(CIpDevice& device) {
  return run([&](SecondFamilyChannel& ch) {
    CommandReply r;
    if (!ch.ask(SecondFamilyPhase::First, "GET PORT_NAME", 0, kAskLength, kShortReply, r))
      return fail("no answer to GET PORT_NAME");
    if (r.dataLength() == 0) return fail("no ports");
    // Data byte 0 is the port count plus one; the names follow, 16 bytes each, while they arrived.
    const std::size_t end = r.dataEnd();
    const int declared = end > kReplyHeader ? r.bytes[kReplyHeader] - 1 : 0;
    const int fit = end > kReplyHeader + 1 ? static_cast<int>((end - kReplyHeader - 1) / 16) : 0;
    const int ports = std::clamp(std::min(declared, fit), 0, kMaxPorts);
    device.setPortCount(ports);
    for (int p = 0; p < ports; ++p) {
      const std::size_t at = kReplyHeader + 1 + static_cast<std::size_t>(p) * 16;
      device.portNames[p].assign(textAt(r.bytes, at, at + 16));
      device.portNumbers[p].assign(std::to_string(p + 1));
    }
    if (!ch.ask(SecondFamilyPhase::Close, "GET PORT_NAME", 0, kAskLength, kShortReply, r))
      return fail("no answer to the closing request");

    for (int p = 0; p < ports; ++p) {
      const std::string command = "GET STATUS:" + std::string(device.portNames[p].view());
      SecondFamilyPhase phase = SecondFamilyPhase::First;
      std::uint16_t offset = 0;
      for (int tries = 0; tries < kMaxStatusRequests; ++tries) {
        if (!ch.ask(phase, command, offset, kAskLength, kLongReply, r)) return fail("no answer to GET STATUS:");
        const std::size_t dataEnd = r.dataEnd();
        if (r.status() != 0 || r.phase() != 1) {
          // An error text, or the end of the status; only a reply that carries data replaces the display.
          if (dataEnd > kReplyHeader) device.printerDisplays[p].assign(textAt(r.bytes, kReplyHeader, dataEnd));
        } else {
          if (dataEnd > kReplyHeader) device.portStatusTexts[p].assign(secondFamilyStatusWord(r.bytes[kReplyHeader]));
          device.printerDisplays[p].assign(textAt(r.bytes, kReplyHeader + 2, dataEnd));
        }
        if (r.status() == 0 && r.phase() == 0) break;
        if (r.status() == 0 && r.phase() == 1) {
          phase = SecondFamilyPhase::Next;
          offset = static_cast<std::uint16_t>(offset + r.dataLength());
        }
      }
    }
    if (!ch.ask(SecondFamilyPhase::Close, "GET STATUS:", 0, kAskLength, kLongReply, r))
      return fail("no answer to the closing request");
    return 0;
  });
}

int SecondFamilyExchange::readConfigurationImage(std::vector<std::uint8_t>& image) {
  image.assign(kImageSize, 0);
  return run([&](SecondFamilyChannel& ch) {
    CommandReply r;
    for (std::size_t offset = 0; offset < kImageSize; offset += kImageBlock) {
      const SecondFamilyPhase phase = offset == 0 ? SecondFamilyPhase::First : SecondFamilyPhase::Next;
      if (!ch.ask(phase, "GET EEP_DATA", static_cast<std::uint16_t>(offset), kImageBlock, kLongReply, r))
        return fail("no answer to GET EEP_DATA at offset " + std::to_string(offset));
      // Status first; then a block that did not arrive whole would leave stale bytes in the image.
      if (r.status() != 0) return fail("GET EEP_DATA refused with status " + std::to_string(r.status()));
      if (r.dataLength() < kImageBlock || !r.whole())
        return fail("short GET EEP_DATA reply at offset " + std::to_string(offset));
      std::memcpy(image.data() + offset, r.bytes + kReplyHeader, kImageBlock);
    }
    if (!ch.ask(SecondFamilyPhase::Close, "GET EEP_DATA", static_cast<std::uint16_t>(kImageSize), kImageBlock,
                kLongReply, r))
      return fail("no answer to the closing request");
    return 0;
  });
}

}  // namespace devices
