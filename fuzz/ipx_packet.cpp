// Feeds arbitrary datagrams to the IPX header reader (exact-size heap copy, so ASan sees any
// overread). An accepted packet must point inside the datagram and encode back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "snmp/ipx_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size]);
  if (size) std::memcpy(copy.get(), data, size);

  snmp::ipx::Header header;
  const std::uint8_t* payload = nullptr;
  std::size_t payloadLength = 0;
  if (!snmp::ipx::parse(copy.get(), size, &header, &payload, &payloadLength)) return 0;
  if (payload != copy.get() + snmp::ipx::kHeaderSize) std::abort();
  if (header.length != snmp::ipx::kHeaderSize + payloadLength || header.length > size) std::abort();

  // Checksum and length are computed or fixed on encoding; everything else must survive.
  std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[header.length]);
  const std::size_t written = snmp::ipx::encode(header, payload, payloadLength, out.get(), header.length);
  if (written != header.length) std::abort();
  snmp::ipx::Header back;
  const std::uint8_t* backPayload = nullptr;
  std::size_t backLength = 0;
  if (!snmp::ipx::parse(out.get(), written, &back, &backPayload, &backLength)) std::abort();
  if (!(back.destination == header.destination) || !(back.source == header.source) ||
      back.packetType != header.packetType || backLength != payloadLength ||
      (payloadLength && std::memcmp(backPayload, payload, payloadLength)))
    std::abort();

  snmp::ipx::isBroadcast(header.destination);
  snmp::ipx::udpDestination(header.destination);
  snmp::ipx::udpDestination(header.source, 0x7FFFFFFF);
  return 0;
}
