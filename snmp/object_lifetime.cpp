#include "snmp/object_lifetime.h"

#include "snmp/binding_copy.h"
#include "snmp/handle_table.h"
#include "snmp/post_error.h"
#include "snmp/transport.h"

namespace snmp {

void destroyObject(smiUINT32 handle) noexcept {
  if (auto* vbl = handles::find<VblRecord>(handle)) {
    for (smiUINT32 i = 0; i < vbl->count && i < kMaxBindings; ++i) freeBinding(vbl->bindings[i]);
    vbl->count = 0;
  }
  handles::release(handle);
}

namespace {

smiUINT32 closeTransports(SessionRecord& s) noexcept {
  smiUINT32 first = kOk;
  auto closeWith = [&](smiUINT32 kind) {
    const transport::Operations* ops = transport::operationsFor(kind);
    const smiUINT32 rc = ops && ops->close ? ops->close(s) : kOk;
    if (rc != kOk && first == kOk) first = rc;
  };
  if (s.udpOpen) closeWith(kTransportUdp);
  if (s.ipxOpen) closeWith(kTransportIpx);
  if (s.serialConnected) closeWith(kTransportSerial);
  s.udpOpen = s.ipxOpen = s.serialConnected = false;
  return first;
}

}  // namespace

smiUINT32 closeSession(HSNMP_SESSION session) noexcept {
  auto* s = handles::find<SessionRecord>(session);
  if (!s) return SNMPAPI_SESSION_INVALID;
  const smiUINT32 rc = closeTransports(*s);
  smiUINT32 owned[handles::kSlots];
  const std::size_t n = handles::ownedHandles(owned);
  const HSNMP_SESSION self = session & 0xFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    if (owned[i] == self) continue;
    const RecordHeader* r = handles::recordAt(owned[i]);
    if (r && r->kind != Kind::Session && r->session == self) destroyObject(owned[i]);
  }
  destroyObject(self);
  return rc;
}

void destroyAllOwned() noexcept {
  smiUINT32 owned[handles::kSlots];
  std::size_t n = handles::ownedHandles(owned);
  for (std::size_t i = 0; i < n; ++i) {
    if (handles::find<SessionRecord>(owned[i])) closeSession(owned[i]);
  }
  n = handles::ownedHandles(owned);
  for (std::size_t i = 0; i < n; ++i) destroyObject(owned[i]);
  handles::forgetDeadOwners();
}

}  // namespace snmp
