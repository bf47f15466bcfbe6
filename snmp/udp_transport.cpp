// UDP/IP transport. Address texts are handled here already; the socket operations report that
// the transport is not available yet.
#include <cstring>

#include "snmp/address_text.h"
#include "snmp/transport.h"

namespace snmp::transport {
namespace {

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
