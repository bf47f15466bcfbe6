#include "snmp/transport.h"

namespace snmp::transport {
namespace {

// Process-local: each process starts and stops its own sockets library.
bool gReady[3] = {false, false, false};

}  // namespace

const Operations* operationsFor(smiUINT32 kind) noexcept {
  switch (kind) {
    case kTransportUdp:
      return &udpOperations();
    case kTransportIpx:
      return &ipxOperations();
    case kTransportSerial:
      return &serialOperations();
    default:
      return nullptr;
  }
}

smiUINT32 makeReady(smiUINT32 kind, const Operations** ops) noexcept {
  const Operations* table = operationsFor(kind);
  if (ops) *ops = table;
  if (!table) return SNMPAPI_TL_NOT_SUPPORTED;
  if (gReady[kind]) return SNMPAPI_SUCCESS;
  const smiUINT32 rc = table->start ? table->start() : SNMPAPI_SUCCESS;
  if (rc == SNMPAPI_SUCCESS) gReady[kind] = true;
  return rc;
}

bool isReady(smiUINT32 kind) noexcept { return kind < 3 && gReady[kind]; }

void clearReady() noexcept {
  for (bool& r : gReady) r = false;
}

void stopReady() noexcept {
  for (smiUINT32 kind = 0; kind < 3; ++kind) {
    if (!gReady[kind]) continue;
    const Operations* table = operationsFor(kind);
    if (table && table->stop) table->stop();
    gReady[kind] = false;
  }
}

}  // namespace snmp::transport
