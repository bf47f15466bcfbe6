// IPX transport (SNMP over IPX: agent socket 0x900F, traps on 0x9010), carried one IPX packet
// per UDP datagram. The session's datagram socket is its dynamic IPX socket.
#include <cstring>

#include "platform/net_config.h"
#include "snmp/address_text.h"
#include "snmp/datagram_sockets.h"
#include "snmp/ipx_packet.h"
#include "snmp/post_error.h"
#include "snmp/transport.h"

namespace snmp::transport {
namespace {

constexpr smiBYTE kAgentSocket[2] = {0x90, 0x0F};
// Header, a whole message, and one byte more to tell an oversized packet.
constexpr std::size_t kPacketCapacity = ipx::kHeaderSize + 1408 + 1;

ipx::Address addressOf(const EntityRecord& entity) {
  ipx::Address a;
  std::memcpy(a.network, entity.ipxNetwork, sizeof a.network);
  std::memcpy(a.node, entity.ipxNode, sizeof a.node);
  a.socket = static_cast<std::uint16_t>(entity.ipxSocket[0] << 8 | entity.ipxSocket[1]);
  return a;
}

void fill(EntityRecord& entity, const ipx::Address& a) {
  entity.transport = kTransportIpx;
  std::memcpy(entity.ipxNetwork, a.network, sizeof a.network);
  std::memcpy(entity.ipxNode, a.node, sizeof a.node);
  entity.ipxSocket[0] = static_cast<smiBYTE>(a.socket >> 8);
  entity.ipxSocket[1] = static_cast<smiBYTE>(a.socket);
}

smiUINT32 start() { return kOk; }
void stop() {}

smiUINT32 open(SessionRecord& session) {
  // Broadcast on: a packet for network FFFFFFFF goes to the IPv4 broadcast address.
  const smiUINT32 rc = datagram::openMain(session, true);
  if (rc == kOk) session.ipxOpen = true;
  return rc;
}

smiUINT32 close(SessionRecord& session) {
  datagram::closeAll(session);
  return kOk;
}

smiUINT32 send(SessionRecord& session, const EntityRecord& destination, const smiBYTE* data, std::size_t length) {
  if (!session.ipxOpen) {
    if (const smiUINT32 rc = open(session); rc != kOk) return rc;
  }
  datagram::discardStale(session);
  const platform::NetConfig config = platform::netConfig();
  ipx::Header header;
  header.destination = addressOf(destination);
  const auto to = ipx::udpDestination(header.destination, platform::kLimitedBroadcast);
  if (!to) return SNMPAPI_NOOP;  // a node that names no host of the tunnel
  platform::UdpSocket& socket = datagram::mainSocket(session);
  std::uint32_t toward = to->address;
  if (toward == platform::kLimitedBroadcast) toward = config.broadcastAddress;
  const platform::SocketAddress local{ipx::localAddressToward(toward), socket.localAddress().port};
  header.source = ipx::addressOf(local, config.ipxLocalNetwork);

  smiBYTE packet[ipx::kHeaderSize + ipx::kMaxPayload];
  const std::size_t size = ipx::encode(header, data, length, packet, sizeof packet);
  if (size == 0) return SNMPAPI_NOOP;
  return socket.sendTo(packet, size, *to).ok() ? kOk : SNMPAPI_NOOP;
}

smiUINT32 receive(SessionRecord& session, smiBYTE* buffer, std::size_t* length, EntityRecord& source,
                  EntityRecord& destination) {
  const std::size_t capacity = *length;
  smiBYTE packet[kPacketCapacity];
  std::size_t got = 0;
  const smiUINT32 rc = datagram::receive(
      session, packet, sizeof packet, &got, [&](std::size_t size, const platform::SocketAddress&) -> smiUINT32 {
        ipx::Header header;
        const smiBYTE* payload = nullptr;
        std::size_t payloadLength = 0;
        if (!ipx::parse(packet, size, &header, &payload, &payloadLength)) return SNMPAPI_OUTPUT_TRUNCATED;
        if (payloadLength > capacity) return SNMPAPI_OUTPUT_TRUNCATED;
        std::memcpy(buffer, payload, payloadLength);
        *length = payloadLength;
        fill(source, header.source);
        fill(destination, ipx::Address{});
        return kOk;
      });
  if (rc != kOk) *length = 0;
  return rc;
}

smiUINT32 registerTraps(SessionRecord& session, bool on) {
  if (!on) {
    datagram::closeTrap(session);
    return kOk;
  }
  if (!session.ipxOpen) {
    if (const smiUINT32 rc = open(session); rc != kOk) return rc;
  }
  return datagram::openTrap(session, platform::ipxSocketToUdpPort(platform::kIpxSocketSnmpTrap));
}

smiUINT32 textToAddress(const char* text, EntityRecord& entity) {
  std::uint8_t network[4];
  std::uint8_t node[6];
  if (!address::parseIpx(text, network, node)) return SNMPAPI_ENTITY_UNKNOWN;
  entity.transport = kTransportIpx;
  std::memcpy(entity.ipxNetwork, network, sizeof network);
  std::memcpy(entity.ipxNode, node, sizeof node);
  std::memcpy(entity.ipxSocket, kAgentSocket, sizeof kAgentSocket);
  return SNMPAPI_SUCCESS;
}

smiUINT32 addressToText(const EntityRecord& entity, smiUINT32 size, char* text) {
  return address::formatIpx(entity.ipxNetwork, entity.ipxNode, size, text);
}

constexpr Operations kIpx = {start, stop, open, close, send, receive, registerTraps, textToAddress, addressToText,
                             nullptr};

}  // namespace

const Operations& ipxOperations() noexcept { return kIpx; }

}  // namespace snmp::transport
