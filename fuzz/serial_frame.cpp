// Feeds arbitrary 6-byte frame headers to the serial frame reader: a header with the signature
// must encode back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "snmp/serial_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < snmp::serial::kFrameHeaderSize) return 0;
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[snmp::serial::kFrameHeaderSize]);
  std::memcpy(copy.get(), data, snmp::serial::kFrameHeaderSize);
  const snmp::serial::FrameHeader header = snmp::serial::parseFrameHeader(copy.get());
  const bool signature = !std::memcmp(copy.get(), snmp::serial::kFrameSignature, 3);
  if (header.signatureOk != signature) std::abort();
  if (!signature) return 0;
  std::uint8_t again[snmp::serial::kFrameHeaderSize];
  snmp::serial::encodeFrameHeader(header.type, header.length, again);
  if (std::memcmp(again, copy.get(), sizeof again)) std::abort();
  return 0;
}
