// IPX transport (SNMP over IPX, agent socket 0x900F). Address texts are handled here already;
// the socket operations report that the transport is not available yet.
#include <cstring>

#include "snmp/address_text.h"
#include "snmp/transport.h"

namespace snmp::transport {
namespace {

constexpr smiBYTE kAgentSocket[2] = {0x90, 0x0F};

smiUINT32 start() { return SNMPAPI_SUCCESS; }
void stop() {}
smiUINT32 open(SessionRecord&) { return SNMPAPI_TL_NOT_INITIALIZED; }
smiUINT32 close(SessionRecord&) { return SNMPAPI_SUCCESS; }
smiUINT32 send(SessionRecord&, const EntityRecord&, const smiBYTE*, std::size_t) { return SNMPAPI_TL_NOT_INITIALIZED; }
smiUINT32 receive(SessionRecord&, smiBYTE*, std::size_t* length, EntityRecord&, EntityRecord&) {
  if (length) *length = 0;
  return SNMPAPI_NOOP;
}
smiUINT32 registerTraps(SessionRecord&, bool) { return SNMPAPI_TL_NOT_INITIALIZED; }

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
