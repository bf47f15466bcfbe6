// UDP/IP transport: one datagram socket per session on an ephemeral port, requests to the
// agent port (161, or TRELLAN_SNMP_PORT), traps on their own socket (162, or TRELLAN_TRAP_PORT).
#include <cstring>

#include "platform/net_config.h"
#include "snmp/address_text.h"
#include "snmp/datagram_sockets.h"
#include "snmp/post_error.h"
#include "snmp/transport.h"

namespace snmp::transport {
namespace {

std::uint32_t hostOrder(const smiBYTE a[4]) {
  return std::uint32_t{a[0]} << 24 | std::uint32_t{a[1]} << 16 | std::uint32_t{a[2]} << 8 | a[3];
}

void networkOrder(std::uint32_t v, smiBYTE out[4]) {
  out[0] = static_cast<smiBYTE>(v >> 24);
  out[1] = static_cast<smiBYTE>(v >> 16);
  out[2] = static_cast<smiBYTE>(v >> 8);
  out[3] = static_cast<smiBYTE>(v);
}

// POSIX sockets need no library start.
smiUINT32 start() { return kOk; }
void stop() {}

smiUINT32 open(SessionRecord& session) {
  const smiUINT32 rc = datagram::openMain(session, false);
  if (rc == kOk) session.udpOpen = true;
  return rc;
}

smiUINT32 close(SessionRecord& session) {
  datagram::closeAll(session);
  return kOk;
}

smiUINT32 send(SessionRecord& session, const EntityRecord& destination, const smiBYTE* data, std::size_t length) {
  if (!session.udpOpen) {
    if (const smiUINT32 rc = open(session); rc != kOk) return rc;
  }
  datagram::discardStale(session);
  const platform::SocketAddress to{hostOrder(destination.ipv4), platform::netConfig().snmpPort};
  const platform::IoResult r = datagram::mainSocket(session).sendTo(data, length, to);
  return r.ok() ? kOk : SNMPAPI_NOOP;
}

smiUINT32 receive(SessionRecord& session, smiBYTE* buffer, std::size_t* length, EntityRecord& source,
                  EntityRecord& destination) {
  const std::size_t capacity = *length;
  return datagram::receive(session, buffer, capacity, length,
                           [&](std::size_t, const platform::SocketAddress& from) {
                             source.transport = kTransportUdp;
                             networkOrder(from.address, source.ipv4);
                             destination.transport = kTransportUdp;
                             std::memset(destination.ipv4, 0, sizeof destination.ipv4);
                             return kOk;
                           });
}

smiUINT32 registerTraps(SessionRecord& session, bool on) {
  if (!on) {
    datagram::closeTrap(session);
    return kOk;
  }
  if (!session.udpOpen) {
    if (const smiUINT32 rc = open(session); rc != kOk) return rc;
  }
  return datagram::openTrap(session, platform::netConfig().trapPort);
}

smiUINT32 textToAddress(const char* text, EntityRecord& entity) {
  std::uint8_t a[4];
  if (!address::parseIpv4(text, a)) return SNMPAPI_ENTITY_UNKNOWN;
  entity.transport = kTransportUdp;
  std::memcpy(entity.ipv4, a, sizeof a);
  return SNMPAPI_SUCCESS;
}

smiUINT32 addressToText(const EntityRecord& entity, smiUINT32 size, char* text) {
  return address::formatIpv4(entity.ipv4, size, text);
}

constexpr Operations kUdp = {start, stop, open, close, send, receive, registerTraps, textToAddress, addressToText,
                             nullptr};

}  // namespace

const Operations& udpOperations() noexcept { return kUdp; }

}  // namespace snmp::transport
