#pragma once
// The frame of the serial protocol: a 6-byte header (".,:" signature, type, little-endian
// payload length) in front of every transfer.
#include <cstddef>
#include <cstdint>

namespace snmp::serial {

inline constexpr std::size_t kFrameHeaderSize = 6;
inline constexpr std::uint8_t kFrameSignature[3] = {0x2E, 0x2C, 0x3A};
inline constexpr std::size_t kMaxFramePayload = 0xFFFF;

enum FrameType : std::uint8_t {
  kFrameSnmp = 0x00,
  kFrameIdentification = 0x01,
  kFrameError = 0xFE,
  kFrameDisconnect = 0xFF,
};

struct FrameHeader {
  std::uint8_t type = kFrameSnmp;
  std::uint16_t length = 0;
  bool signatureOk = true;
};

void encodeFrameHeader(std::uint8_t type, std::uint16_t length, std::uint8_t out[kFrameHeaderSize]) noexcept;
// Reads any 6 bytes; signatureOk tells whether they carry the signature.
FrameHeader parseFrameHeader(const std::uint8_t in[kFrameHeaderSize]) noexcept;

}  // namespace snmp::serial
