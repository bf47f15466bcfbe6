#pragma once
// The discovery reply of the native print servers and the probe reply of the second family, as
// pure parsers over (bytes, received length). They never read past the received length, bound every
// text to its field and clamp the port count; a datagram too short for its format is refused
// whole, never filled in from whatever the buffer held before.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "devices/fixed_text.h"

namespace devices {

inline constexpr int kMaxPorts = 6;

// Native discovery protocol.
inline constexpr std::size_t kMaxReplySize = 548;
inline constexpr std::uint8_t kReplyMagic[3] = {':', ',', '.'};
inline constexpr std::uint8_t kRequestMagic[3] = {'.', ',', ':'};
inline constexpr std::size_t kMaxSeenResponders = 179;
inline constexpr std::size_t kStatusBlockHeader = 81;  // general status text and port count
inline constexpr std::size_t kStatusBlockPort = 18;    // input state, status code, port name

// Smallest reply of a format with no port entry; each port adds kStatusBlockPort bytes.
inline constexpr std::size_t kMinReplyFormat12 = 266 + kStatusBlockHeader;
inline constexpr std::size_t kMinReplyFormat3 = 276 + kStatusBlockHeader;

enum class ReplyStatus {
  Ok,
  TooShort,       // shorter than its format needs (or than its declared ports need)
  TooLong,        // longer than any reply of its kind
  BadMagic,       // not a reply of this protocol
  UnknownFormat,  // native reply of format 0 or above 3: "Bad Format", report 5306
};
const char* replyStatusName(ReplyStatus status) noexcept;

struct ReplyPort {
  std::uint8_t inputState = 0;  // 2: printer off-line
  std::uint8_t statusCode = 0;
  FixedText<16> name;
};

struct DiscoveryReply {
  int format = 0;
  std::array<std::uint8_t, 6> hardwareAddress = {};
  std::array<std::uint8_t, 4> ip = {}, mask = {}, gateway = {};
  FixedText<10> productNumber;
  FixedText<21> productType;
  FixedText<7> datecode;
  FixedText<4> familyCode;
  FixedText<9> serialNumber;
  FixedText<128> systemName;
  FixedText<32> getCommunity;  // descrambled
  FixedText<32> setCommunity;  // descrambled
  FixedText<81> generalStatus;
  int portCount = 0;  // 0-6
  std::array<ReplyPort, kMaxPorts> ports = {};
};

// Parses a native reply. On UnknownFormat only `format` is set; on other failures `out` is
// left as it was.
ReplyStatus parseDiscoveryReply(const std::uint8_t* data, std::size_t length, DiscoveryReply& out) noexcept;

// The responder identification (bytes 57-59, the last three bytes of the hardware address) as a
// 24-bit number; nothing when the datagram is too short to hold it.
bool replyResponderId(const std::uint8_t* data, std::size_t length, std::uint32_t& id) noexcept;

// The request ".,:" 0x01, a little-endian count and the identifications already seen (at most
// kMaxSeenResponders are sent; the rest are left out).
std::vector<std::uint8_t> buildDiscoveryRequest(std::span<const std::uint32_t> seen);

// Community scrambling: each byte is XORed with the key and with the previous scrambled byte + 5.
// descramble undoes scramble; scramble exists for tests and the simulator.
void descramble(std::uint8_t (&buffer)[32], std::uint8_t key) noexcept;
void scramble(std::uint8_t (&buffer)[32], std::uint8_t key) noexcept;

// --- Second family ----------------------------------------------------------------------------
inline constexpr std::uint16_t kSecondFamilyPort = 19541;
inline constexpr std::size_t kSecondFamilyFrameSize = 88;
inline constexpr std::size_t kSecondFamilyShortReply = 72;  // reply form 0
inline constexpr std::size_t kSecondFamilyLongReply = 166;  // reply form 1
// First four bytes of the probe. Replies to the probe start with the same four bytes: that is how
// a datagram on this port is told from another protocol's.
inline constexpr std::uint8_t kSecondFamilyMagic[4] = {0x00, 0x04, 0x95, 0x06};

struct SecondFamilyReply {
  int form = 0;  // 0 for 72 bytes, 1 for 166
  std::array<std::uint8_t, 4> ip = {};
  std::array<std::uint8_t, 6> hardwareAddress = {};
  FixedText<17> model;
  FixedText<128> systemName;
  FixedText<11> firmwareVersion;  // 166-byte form only
};

// Only replies of exactly 72 or 166 bytes that start with kSecondFamilyMagic are accepted.
ReplyStatus parseSecondFamilyReply(const std::uint8_t* data, std::size_t length, SecondFamilyReply& out) noexcept;

std::array<std::uint8_t, kSecondFamilyFrameSize> secondFamilyProbe() noexcept;

}  // namespace devices
