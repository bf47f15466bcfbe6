// Serial transport (framed SNMP over a COM port). Port names are handled here already; the
// port operations report that the transport is not available yet.
#include <cstring>

#include "snmp/address_text.h"
#include "snmp/transport.h"

namespace snmp::transport {
namespace {

smiUINT32 start() { return SNMPAPI_SUCCESS; }
void stop() {}

smiUINT32 open(SessionRecord& session) {
  session.serialPort[0] = '\0';
  session.serialHandle = kNoSocket;
  return SNMPAPI_SUCCESS;
}

smiUINT32 close(SessionRecord& session) {
  session.serialConnected = false;
  session.serialPort[0] = '\0';
  return SNMPAPI_SUCCESS;
}

smiUINT32 send(SessionRecord&, const EntityRecord&, const smiBYTE*, std::size_t) { return SNMPAPI_TL_NOT_INITIALIZED; }
smiUINT32 receive(SessionRecord&, smiBYTE*, std::size_t* length, EntityRecord&, EntityRecord&) {
  if (length) *length = 0;
  return SNMPAPI_NOOP;
}
smiUINT32 registerTraps(SessionRecord&, bool) { return SNMPAPI_TL_NOT_SUPPORTED; }

smiUINT32 textToAddress(const char* text, EntityRecord& entity) {
  char port[kSerialNameSize];
  if (!address::parseSerial(text, port)) return SNMPAPI_ENTITY_UNKNOWN;
  entity.transport = kTransportSerial;
  std::memcpy(entity.serialPort, port, sizeof port);
  return SNMPAPI_SUCCESS;
}

smiUINT32 addressToText(const EntityRecord& entity, smiUINT32 size, char* text) {
  return address::formatSerial(entity.serialPort, size, text);
}

smiUINT32 exchange(SessionRecord&, const EntityRecord&, smiUINT32, smiBYTE*, std::size_t* replyLength) {
  if (replyLength) *replyLength = 0;
  return SNMPAPI_TL_NOT_INITIALIZED;
}

constexpr Operations kSerial = {start, stop, open, close, send, receive, registerTraps, textToAddress, addressToText,
                                exchange};

}  // namespace

const Operations& serialOperations() noexcept { return kSerial; }

}  // namespace snmp::transport
