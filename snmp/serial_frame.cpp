#include "snmp/serial_frame.h"

#include <cstring>

namespace snmp::serial {

void encodeFrameHeader(std::uint8_t type, std::uint16_t length, std::uint8_t out[kFrameHeaderSize]) noexcept {
  std::memcpy(out, kFrameSignature, sizeof kFrameSignature);
  out[3] = type;
  out[4] = static_cast<std::uint8_t>(length);
  out[5] = static_cast<std::uint8_t>(length >> 8);
}

FrameHeader parseFrameHeader(const std::uint8_t in[kFrameHeaderSize]) noexcept {
  FrameHeader h;
  h.signatureOk = std::memcmp(in, kFrameSignature, sizeof kFrameSignature) == 0;
  h.type = in[3];
  h.length = static_cast<std::uint16_t>(in[4] | in[5] << 8);
  return h;
}

}  // namespace snmp::serial
