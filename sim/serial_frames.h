#pragma once
// The host's frames out of the bytes a simulated serial unit has received so far: what the pty
// unit and the in-process cable unit both need.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "snmp/serial_frame.h"

namespace sim {

// Larger than any request the host sends; a longer declared length can only be noise.
inline constexpr std::size_t kMaxSerialInputFrame = 4096;

// Calls onFrame(type, data, size) for each whole frame at the front of `pending` and removes it. A
// byte that starts no signature is dropped so that the next signature is found; a declared length
// over the limit throws everything away. An incomplete frame stays for the next bytes.
template <class OnFrame>
void takeSerialFrames(std::vector<std::uint8_t>& pending, OnFrame&& onFrame) {
  namespace ser = snmp::serial;
  while (pending.size() >= ser::kFrameHeaderSize) {
    const ser::FrameHeader h = ser::parseFrameHeader(pending.data());
    if (!h.signatureOk) {
      pending.erase(pending.begin());
      continue;
    }
    if (h.length > kMaxSerialInputFrame) {
      pending.clear();
      break;
    }
    if (pending.size() < ser::kFrameHeaderSize + h.length) break;
    std::vector<std::uint8_t> payload(pending.begin() + ser::kFrameHeaderSize,
                                      pending.begin() + ser::kFrameHeaderSize + h.length);
    pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(ser::kFrameHeaderSize + h.length));
    onFrame(h.type, payload.data(), payload.size());
  }
}

}  // namespace sim
