// The second family's writing exchanges: the configuration image written back, "POLLING", the
// reboot, and the address-assignment sequence built on them.
#include "devices/second_family_setup.h"

#include <algorithm>
#include <cstring>

#include "devices/device.h"
#include "devices/discovery_reply.h"
#include "devices/second_family_channel.h"
#include "devices/second_family_exchange.h"
#include "platform/net_config.h"

namespace devices {
namespace {

constexpr std::uint16_t kAskLength = 512;
constexpr std::size_t kShortReply = 72;
constexpr std::size_t kPollReply = 166;
constexpr std::size_t kLastChunk = kImageSize % kImageWriteChunk;  // 174
constexpr std::size_t kAddressModeAt = 546, kAddressAt = 548;
constexpr int kSetAddressAttempts = 4;
// Probe replies counted before the address is announced; a flood cannot hold the sequence.
constexpr int kMaxResponders = 4096;

// The probe's replies until the wait runs out: how many units of the family listen.
int countResponders(std::uint16_t port, int replyMs) {
  SecondFamilyChannel ch(platform::kLimitedBroadcast, port, replyMs);
  if (!ch.allowBroadcast()) return 0;
  const auto probe = secondFamilyProbe();
  if (!ch.send(probe.data(), probe.size())) return 0;
  int n = 0;
  CommandReply r;
  while (n < kMaxResponders && ch.receive(kSecondFamilyLongReply, r)) ++n;
  return n;
}

Ipv4Text hostAddressText(std::uint32_t address) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
                             static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)};
  return formatIpv4(b);
}

}  // namespace

std::string withAddressBlock(std::string_view command, const std::array<std::uint8_t, 6>& hw, std::uint32_t address) {
  std::string s(command);
  s.push_back('\x01');
  s.push_back('\x06');
  s.append(reinterpret_cast<const char*>(hw.data()), hw.size());
  for (int shift = 24; shift >= 0; shift -= 8) s.push_back(static_cast<char>((address >> shift) & 0xFF));
  return s;
}

std::optional<std::array<std::uint8_t, 6>> parseHardwareAddress(std::string_view text) noexcept {
  if (text.size() != 12) return std::nullopt;
  std::array<std::uint8_t, 6> out{};
  for (std::size_t i = 0; i < 12; ++i) {
    const char c = text[i];
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (v < 0) return std::nullopt;
    out[i / 2] = static_cast<std::uint8_t>((out[i / 2] << 4) | v);
  }
  return out;
}

int SecondFamilyExchange::writeConfigurationImage(const std::vector<std::uint8_t>& image) {
  return run([&](SecondFamilyChannel& ch) {
    if (image.size() != kImageSize) return fail("the image is not " + std::to_string(kImageSize) + " bytes");
    CommandReply r;
    std::vector<std::uint8_t> frame;
    for (std::size_t offset = 0; offset < kImageSize; offset += kImageWriteChunk) {
      const std::size_t n = std::min(kImageWriteChunk, kImageSize - offset);
      const auto head =
          secondFamilyRequest(offset == 0 ? SecondFamilyPhase::First : SecondFamilyPhase::Next, "SAVE EEP_DATA",
                              static_cast<std::uint16_t>(offset), static_cast<std::uint16_t>(n));
      frame.assign(head.begin(), head.end());
      frame.insert(frame.end(), image.begin() + static_cast<std::ptrdiff_t>(offset),
                   image.begin() + static_cast<std::ptrdiff_t>(offset + n));
      if (!ch.send(frame.data(), frame.size()) || !ch.receive(kShortReply, r))
        return fail("no acknowledgement of SAVE EEP_DATA at offset " + std::to_string(offset));
      if (r.status() != 0) return fail("SAVE EEP_DATA refused with status " + std::to_string(r.status()));
    }
    static_assert(kLastChunk == 174, "the image ends in a chunk of 174 bytes");
    if (!ch.ask(SecondFamilyPhase::Close, "SAVE EEP_DATA", static_cast<std::uint16_t>(kImageSize), 0, kShortReply, r))
      return fail("no answer to the closing request");
    if (r.status() != 0) return fail("SAVE EEP_DATA refused with status " + std::to_string(r.status()));
    return 0;
  });
}

int SecondFamilyExchange::poll() {
  return run([&](SecondFamilyChannel& ch) {
    CommandReply r;
    if (!ch.ask(SecondFamilyPhase::First, "POLLING", 0, kAskLength, kPollReply, r)) return fail("no answer to POLLING");
    if (!ch.ask(SecondFamilyPhase::Close, "POLLING", 0, kAskLength, kShortReply, r))
      return fail("no answer to the closing request");
    return 0;
  });
}

int SecondFamilyExchange::rebootServer(const std::array<std::uint8_t, 6>& hw, bool needFinalReply) {
  return run([&](SecondFamilyChannel& ch) {
    CommandReply r;
    const std::string command = withAddressBlock("EXEC REBOOT SYSTEM:", hw, address_);
    if (!ch.ask(SecondFamilyPhase::First, command, 0, kAskLength, kShortReply, r))
      return fail("no answer to EXEC REBOOT SYSTEM:");
    if (r.status() != 0) return fail("EXEC REBOOT SYSTEM: refused with status " + std::to_string(r.status()));
    if (!ch.ask(SecondFamilyPhase::Close, command, 0, kAskLength, kShortReply, r) && needFinalReply)
      return fail("no answer to the closing request of EXEC REBOOT SYSTEM:");
    return 0;
  });
}

int assignSecondFamilyAddress(const CIpDevice& device, std::string_view newAddress, const SecondFamilyLink& link,
                              std::string* failure) {
  auto fail = [&](std::string why) {
    if (failure) *failure = std::move(why);
    return -1;
  };
  if (failure) failure->clear();
  const auto hw = parseHardwareAddress(device.hardwareAddress.view());
  if (!hw) return fail("the hardware address is invalid");
  const auto target = parseIpv4(newAddress);
  if (!target) return fail("the IP address is invalid");
  // No address, or one that is no address, counts as the factory's 0.0.0.0.
  const std::uint32_t current = parseIpv4(device.ipAddress.view()).value_or(0);

  countResponders(link.port, link.replyMs);

  // Announce the address to the unit with this hardware address, by broadcast.
  {
    SecondFamilyChannel ch(platform::kLimitedBroadcast, link.port, link.replyMs);
    if (!ch.allowBroadcast()) return fail("cannot broadcast");
    const std::string command = withAddressBlock("SET IP_ADDR:", *hw, *target);
    CommandReply r;
    bool answered = false;
    for (int attempt = 0; attempt < kSetAddressAttempts && !answered; ++attempt) {
      answered = ch.ask(SecondFamilyPhase::First, command, 0, kAskLength, kShortReply, r);
      // A unit without an address can only be reached through this answer.
      if (!answered && current == 0) return fail("no answer to SET IP_ADDR:");
    }
    if (answered) {
      if (r.status() != 0) return fail("SET IP_ADDR: refused with status " + std::to_string(r.status()));
      if (!ch.ask(SecondFamilyPhase::Close, command, 0, kAskLength, kShortReply, r))
        return fail("no answer to the closing request of SET IP_ADDR:");
    }
  }

  const std::uint32_t working = current != 0 ? current : *target;
  const std::string workingText(hostAddressText(working).view());
  SecondFamilyExchange x(workingText, link.port, link.replyMs);
  std::vector<std::uint8_t> image;
  if (x.readConfigurationImage(image) != 0) return fail(x.failure());
  image[kAddressModeAt] = 1;
  for (int i = 0; i < 4; ++i) image[kAddressAt + i] = static_cast<std::uint8_t>(*target >> (24 - 8 * i));
  if (x.writeConfigurationImage(image) != 0) return fail(x.failure());
  if (x.poll() != 0) return fail(x.failure());
  if (x.rebootServer(*hw, true) != 0) return fail(x.failure());
  return 0;
}

}  // namespace devices
