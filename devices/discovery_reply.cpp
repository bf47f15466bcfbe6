#include "devices/discovery_reply.h"

#include <cstdio>
#include <cstring>

namespace devices {
namespace {

// Offsets that differ between formats 1/2 and format 3.
struct Layout {
  std::size_t ip, mask, gateway, systemName, getCommunity, setCommunity, statusBlock;
};
constexpr Layout kLayout12 = {62, 66, 70, 74, 202, 234, 266};
constexpr Layout kLayout3 = {72, 76, 80, 84, 212, 244, 276};

constexpr std::size_t kProductNumber = 4, kProductNumberSize = 8;
constexpr std::size_t kProductType = 12, kProductTypeSize = 20;
constexpr std::size_t kDatecode = 32, kDatecodeSize = 17;
constexpr std::size_t kFamily = 49, kFamilySize = 5;
constexpr std::size_t kHardware = 54;
constexpr std::size_t kSerialText = 60, kSerialTextSize = 12;
constexpr std::size_t kSystemNameSize = 128;
constexpr std::size_t kCommunitySize = 32;
constexpr std::size_t kGeneralStatusSize = 80;
constexpr std::size_t kPortNameSize = 16;

void copy4(std::array<std::uint8_t, 4>& to, const std::uint8_t* from) noexcept { std::memcpy(to.data(), from, 4); }

FixedText<32> community(const std::uint8_t* field, std::uint8_t key) noexcept {
  std::uint8_t buffer[kCommunitySize];
  std::memcpy(buffer, field, kCommunitySize);
  descramble(buffer, key);
  FixedText<32> text;
  text.assignField(buffer, kCommunitySize);
  return text;
}

}  // namespace

const char* replyStatusName(ReplyStatus status) noexcept {
  switch (status) {
    case ReplyStatus::Ok: return "ok";
    case ReplyStatus::TooShort: return "too short";
    case ReplyStatus::TooLong: return "too long";
    case ReplyStatus::BadMagic: return "bad magic";
    case ReplyStatus::UnknownFormat: return "unknown format";
  }
  return "?";
}

ReplyStatus parseDiscoveryReply(const std::uint8_t* data, std::size_t length, DiscoveryReply& out) noexcept {
  if (length > kMaxReplySize) return ReplyStatus::TooLong;
  if (data == nullptr || length < 4) return ReplyStatus::TooShort;
  if (std::memcmp(data, kReplyMagic, sizeof kReplyMagic) != 0) return ReplyStatus::BadMagic;
  const int format = data[3];
  if (format < 1 || format > 3) {
    out.format = format;
    return ReplyStatus::UnknownFormat;
  }
  const Layout& at = format == 3 ? kLayout3 : kLayout12;
  const std::size_t minimum = format == 3 ? kMinReplyFormat3 : kMinReplyFormat12;
  if (length < minimum) return ReplyStatus::TooShort;

  // A print server has at most six ports; a larger count is clamped, and the entries it keeps
  // must all have arrived.
  const std::size_t block = at.statusBlock;
  std::size_t ports = data[block + kGeneralStatusSize];
  if (ports > static_cast<std::size_t>(kMaxPorts)) ports = kMaxPorts;
  if (length < minimum + ports * kStatusBlockPort) return ReplyStatus::TooShort;

  DiscoveryReply r;
  r.format = format;
  std::memcpy(r.hardwareAddress.data(), data + kHardware, 6);
  copy4(r.ip, data + at.ip);
  copy4(r.mask, data + at.mask);
  copy4(r.gateway, data + at.gateway);
  r.productNumber.assignField(data + kProductNumber, kProductNumberSize);
  r.productType.assignField(data + kProductType, kProductTypeSize);
  r.datecode.assignField(data + kDatecode, kDatecodeSize);
  r.familyCode.assignField(data + kFamily, kFamilySize);
  if (format == 3) {
    r.serialNumber.assignField(data + kSerialText, kSerialTextSize);
  } else {
    const unsigned serial = (unsigned{data[57]} << 16) | (unsigned{data[58]} << 8) | data[59];
    char text[16];
    std::snprintf(text, sizeof text, "%u", serial);
    r.serialNumber.assign(text);
  }
  r.systemName.assignField(data + at.systemName, kSystemNameSize);
  r.getCommunity = community(data + at.getCommunity, r.ip[0]);
  r.setCommunity = community(data + at.setCommunity, r.ip[3]);
  r.generalStatus.assignField(data + block, kGeneralStatusSize);
  r.portCount = static_cast<int>(ports);
  for (std::size_t p = 0; p < ports; ++p) {
    const std::uint8_t* entry = data + minimum + p * kStatusBlockPort;
    r.ports[p].inputState = entry[0];
    r.ports[p].statusCode = entry[1];
    r.ports[p].name.assignField(entry + 2, kPortNameSize);
  }
  out = r;
  return ReplyStatus::Ok;
}

bool replyResponderId(const std::uint8_t* data, std::size_t length, std::uint32_t& id) noexcept {
  if (data == nullptr || length < 60) return false;
  id = (std::uint32_t{data[57]} << 16) | (std::uint32_t{data[58]} << 8) | data[59];
  return true;
}

std::vector<std::uint8_t> buildDiscoveryRequest(std::span<const std::uint32_t> seen) {
  const std::size_t n = seen.size() < kMaxSeenResponders ? seen.size() : kMaxSeenResponders;
  std::vector<std::uint8_t> request = {kRequestMagic[0], kRequestMagic[1], kRequestMagic[2], 0x01,
                                       static_cast<std::uint8_t>(n & 0xFF), static_cast<std::uint8_t>(n >> 8)};
  request.reserve(6 + 3 * n);
  for (std::size_t i = 0; i < n; ++i) {
    request.push_back(static_cast<std::uint8_t>(seen[i] >> 16));
    request.push_back(static_cast<std::uint8_t>(seen[i] >> 8));
    request.push_back(static_cast<std::uint8_t>(seen[i]));
  }
  return request;
}

void descramble(std::uint8_t (&buffer)[32], std::uint8_t key) noexcept {
  // Downwards, so that buffer[i - 1] is still the received byte when buffer[i] needs it.
  for (int i = 31; i >= 1; --i)
    buffer[i] = static_cast<std::uint8_t>(buffer[i] ^ static_cast<std::uint8_t>(buffer[i - 1] + 5) ^ key);
  buffer[0] ^= key;
}

void scramble(std::uint8_t (&buffer)[32], std::uint8_t key) noexcept {
  buffer[0] ^= key;
  for (int i = 1; i < 32; ++i)
    buffer[i] = static_cast<std::uint8_t>(buffer[i] ^ static_cast<std::uint8_t>(buffer[i - 1] + 5) ^ key);
}

ReplyStatus parseSecondFamilyReply(const std::uint8_t* data, std::size_t length, SecondFamilyReply& out) noexcept {
  if (data == nullptr || length < kSecondFamilyShortReply) return ReplyStatus::TooShort;
  if (length > kSecondFamilyLongReply) return ReplyStatus::TooLong;
  // Only the two sizes the family sends; anything in between is a cut or foreign datagram.
  if (length != kSecondFamilyShortReply && length != kSecondFamilyLongReply) return ReplyStatus::TooShort;
  if (std::memcmp(data, kSecondFamilyMagic, sizeof kSecondFamilyMagic) != 0) return ReplyStatus::BadMagic;

  SecondFamilyReply r;
  r.form = length == kSecondFamilyLongReply ? 1 : 0;
  copy4(r.ip, data + 66);
  std::memcpy(r.hardwareAddress.data(), data + 56, 6);
  r.model.assignField(data + 36, 16);
  if (r.form == 0) {
    r.systemName.assignField(data + 4, 32);  // up to the model name
  } else {
    r.systemName.assignField(data + 116, kSecondFamilyLongReply - 116);
    r.firmwareVersion.assignField(data + 72, 10);
  }
  out = r;
  return ReplyStatus::Ok;
}

std::array<std::uint8_t, kSecondFamilyFrameSize> secondFamilyProbe() noexcept {
  std::array<std::uint8_t, kSecondFamilyFrameSize> frame = {};
  std::memcpy(frame.data(), kSecondFamilyMagic, sizeof kSecondFamilyMagic);
  return frame;
}

}  // namespace devices
