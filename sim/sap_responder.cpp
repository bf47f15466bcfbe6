// Service Advertising Protocol over the IPX layer: units that answer over IPX advertise
// themselves as print servers (service 0x0363, or 0x0927 for the "ZBN" family) under their
// family code and serial number. A general query (1) gets every matching unit, seven entries per
// reply (type 2); a nearest-server query (3) gets the first one (type 4).
#include <algorithm>
#include <cstring>

#include "sim/discovery_reply_builder.h"
#include "sim/server.h"
#include "snmp/ipx_packet.h"

namespace sim {

namespace {

constexpr std::uint16_t kSapSocket = 0x0452;
constexpr std::size_t kEntrySize = 64;
constexpr std::size_t kEntriesPerReply = 7;

std::uint16_t serviceTypeOf(const DeviceModel& d) { return d.family == "ZBN" ? 0x0927 : 0x0363; }

void putEntry(std::uint8_t* e, const DeviceModel& d) {
  const std::uint16_t type = serviceTypeOf(d);
  e[0] = static_cast<std::uint8_t>(type >> 8);
  e[1] = static_cast<std::uint8_t>(type);
  const std::string serial =
      d.discovery.serialNumber.empty() ? std::to_string(responderId(d)) : d.discovery.serialNumber;
  const std::string name = (d.family + serial).substr(0, 47);
  std::memcpy(e + 2, name.data(), name.size());
  for (int i = 0; i < 4; ++i) e[50 + i] = static_cast<std::uint8_t>(d.discovery.ipxNetwork >> (24 - 8 * i));
  snmp::ipx::nodeOfHost(d.discovery.replyFrom.value_or(d.address), e + 54);
  e[60] = 0x40;  // the units' IPX discovery socket 0x400B
  e[61] = 0x0B;
  e[63] = 1;  // hops
}

}  // namespace

void Server::answerSap(SharedListener& l, const Endpoint& peer, const std::uint8_t* data, std::size_t length) {
  snmp::ipx::Header header;
  const std::uint8_t* payload = nullptr;
  std::size_t payloadLength = 0;
  DiscoveryLogEntry in{"sap", "request", 0, length, -1, -1, 0, {}};
  if (!snmp::ipx::parse(data, length, &header, &payload, &payloadLength) || payloadLength < 4) {
    in.reason = "not a SAP query";
    log_.discovery(0, &peer, in);
    return;
  }
  const std::uint16_t queryType = static_cast<std::uint16_t>((payload[0] << 8) | payload[1]);
  const std::uint16_t service = static_cast<std::uint16_t>((payload[2] << 8) | payload[3]);
  if (queryType != 1 && queryType != 3) {
    in.reason = "not a SAP query";
    log_.discovery(0, &peer, in);
    return;
  }
  in.format = queryType;
  log_.discovery(0xFFFFFFFFu, &peer, in);

  std::vector<std::size_t> units;
  for (std::size_t unit = 0; unit < agents_.size(); ++unit) {
    const DeviceModel& d = agents_[unit]->device();
    if (!d.discovery.ipx || !d.discovery.answer || d.secondFamily) continue;
    if (service != 0xFFFF && service != serviceTypeOf(d)) continue;
    units.push_back(unit);
    if (queryType == 3) break;
  }
  for (std::size_t first = 0; first < units.size(); first += kEntriesPerReply) {
    const std::size_t n = std::min(kEntriesPerReply, units.size() - first);
    std::uint8_t reply[2 + kEntriesPerReply * kEntrySize] = {};
    reply[1] = queryType == 1 ? 2 : 4;
    for (std::size_t i = 0; i < n; ++i) putEntry(reply + 2 + i * kEntrySize, agents_[units[first + i]]->device());
    const DeviceModel& sender = agents_[units[first]]->device();
    snmp::ipx::Header out;
    out.destination = header.source;
    for (int i = 0; i < 4; ++i)
      out.source.network[i] = static_cast<std::uint8_t>(sender.discovery.ipxNetwork >> (24 - 8 * i));
    snmp::ipx::nodeOfHost(sender.address, out.source.node);
    out.source.socket = kSapSocket;
    std::uint8_t packet[snmp::ipx::kHeaderSize + sizeof reply];
    const std::size_t size = snmp::ipx::encode(out, reply, 2 + n * kEntrySize, packet, sizeof packet);
    if (size == 0) continue;
    std::uint32_t from = 0;
    sendShared(l, units[first], peer, packet, size, &from);
    log_.discovery(sender.address, &peer, {"sap", "reply", 0, 2 + n * kEntrySize, -1, queryType, from, {}});
  }
}

}  // namespace sim
