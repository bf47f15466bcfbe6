// Messages: encode and decode through handles, send, receive, trap registration and the
// serial identification exchange. The wire work belongs to the codec and the transports.
#include <cstdlib>

#include "snmp/handle_table.h"
#include "snmp/message_codec.h"
#include "snmp/object_lifetime.h"
#include "snmp/post_error.h"
#include "snmp/task_table.h"
#include "snmp/transport.h"
#include "snmp/winsnmp.h"

using namespace snmp;

namespace {

SNMPAPI_STATUS fail(smiUINT32 code, HSNMP_SESSION session) {
  postError(code, session);
  return SNMPAPI_FAILURE;
}

}  // namespace

SNMPAPI_STATUS SnmpEncodeMsg(HSNMP_SESSION session, HSNMP_ENTITY, HSNMP_ENTITY dstEntity, HSNMP_CONTEXT context,
                             HSNMP_PDU pdu, smiLPOCTETS msgBufDesc) {
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_ENTITY_INVALID, session)) return SNMPAPI_FAILURE;
  if (!handles::resolve<EntityRecord>(dstEntity, SNMPAPI_ENTITY_INVALID, session)) return SNMPAPI_FAILURE;
  const auto* c = handles::resolve<ContextRecord>(context, SNMPAPI_ENTITY_INVALID, session);
  if (!c) return SNMPAPI_FAILURE;
  const auto* p = handles::resolve<PduRecord>(pdu, SNMPAPI_ENTITY_INVALID, session);
  if (!p) return SNMPAPI_FAILURE;
  if (!msgBufDesc) return fail(SNMPAPI_OTHER_ERROR, session);
  *msgBufDesc = smiOCTETS{0, nullptr};
  const smiUINT32 rc = encodeRecords(*p, *c, msgBufDesc);
  if (rc != kOk) return fail(rc, session);
  return msgBufDesc->len;
}

SNMPAPI_STATUS SnmpDecodeMsg(HSNMP_SESSION session, LPHSNMP_ENTITY, LPHSNMP_ENTITY, LPHSNMP_CONTEXT context,
                             LPHSNMP_PDU pdu, smiLPCOCTETS msgBufDesc) {
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session)) return SNMPAPI_FAILURE;
  if (!context) return fail(SNMPAPI_CONTEXT_INVALID, session);
  if (!pdu) return fail(SNMPAPI_PDU_INVALID, session);
  std::size_t used = 0;
  const smiUINT32 rc = msgBufDesc ? decodeToHandles(session, msgBufDesc->ptr, msgBufDesc->len, context, pdu, &used)
                                  : SNMPAPI_OUTPUT_TRUNCATED;
  if (rc != kOk) return fail(rc, session);
  return static_cast<SNMPAPI_STATUS>(used);
}

SNMPAPI_STATUS SnmpSendMsg(HSNMP_SESSION session, HSNMP_ENTITY srcEntity, HSNMP_ENTITY dstEntity,
                           HSNMP_CONTEXT context, HSNMP_PDU pdu) {
  auto* s = handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session);
  if (!s) return SNMPAPI_FAILURE;
  if (srcEntity && !handles::resolve<EntityRecord>(srcEntity, SNMPAPI_ENTITY_INVALID, session)) {
    return SNMPAPI_FAILURE;
  }
  const auto* dst = handles::resolve<EntityRecord>(dstEntity, SNMPAPI_ENTITY_INVALID, session);
  if (!dst) return SNMPAPI_FAILURE;
  const auto* c = handles::resolve<ContextRecord>(context, SNMPAPI_CONTEXT_INVALID, session);
  if (!c) return SNMPAPI_FAILURE;
  const auto* p = handles::resolve<PduRecord>(pdu, SNMPAPI_PDU_INVALID, session);
  if (!p) return SNMPAPI_FAILURE;

  smiOCTETS message{0, nullptr};
  smiUINT32 rc = encodeRecords(*p, *c, &message);
  if (rc != kOk) return fail(rc, session);
  const transport::Operations* ops = nullptr;
  if (transport::operationsFor(dst->transport)) {
    rc = transport::makeReady(dst->transport, &ops);
    if (rc == kOk) rc = ops->send(*s, *dst, message.ptr, message.len);
  }
  std::free(message.ptr);
  if (rc != kOk) return fail(rc, session);
  return static_cast<SNMPAPI_STATUS>(p->requestId);
}

SNMPAPI_STATUS SnmpRecvMsg(HSNMP_SESSION session, LPHSNMP_ENTITY srcEntity, LPHSNMP_ENTITY dstEntity,
                           LPHSNMP_CONTEXT context, LPHSNMP_PDU pdu) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  auto* s = handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session);
  if (!s) return SNMPAPI_FAILURE;
  if (!srcEntity) return fail(SNMPAPI_ENTITY_INVALID, session);
  if (!context) return fail(SNMPAPI_CONTEXT_INVALID, session);
  if (!pdu) return fail(SNMPAPI_PDU_INVALID, session);
  *srcEntity = 0;
  if (dstEntity) *dstEntity = 0;

  const HSNMP_SESSION owner = session & 0xFFFFu;
  HSNMP_ENTITY hs = 0;
  HSNMP_ENTITY hd = 0;
  auto* src = handles::create<EntityRecord>(owner, session, &hs);
  auto* dst = src ? handles::create<EntityRecord>(owner, session, &hd) : nullptr;
  auto dropEntities = [&] {
    if (hs) destroyObject(hs);
    if (hd) destroyObject(hd);
  };
  if (!dst) {
    dropEntities();
    return fail(SNMPAPI_ALLOC_ERROR, session);
  }

  // UDP first, then IPX, then the serial port; the last transport's code stands.
  smiUINT32 rc = SNMPAPI_NOOP;
  std::size_t length = 0;
  // One buffer per thread: sessions of several threads (a multi-unit run, a search beside a
  // command) receive at the same time, and one shared buffer would mix their datagrams.
  thread_local smiBYTE buffer[tasks::kReceiveCapacity];
  auto tryReceive = [&](bool open, smiUINT32 kind) {
    if (rc == kOk || !open) return;
    const transport::Operations* ops = transport::operationsFor(kind);
    length = tasks::kReceiveCapacity;
    rc = ops->receive(*s, buffer, &length, *src, *dst);
  };
  tryReceive(s->udpOpen, kTransportUdp);
  tryReceive(s->ipxOpen, kTransportIpx);
  tryReceive(s->serialConnected, kTransportSerial);
  if (rc != kOk) {
    dropEntities();
    return fail(rc, session);
  }

  std::size_t used = 0;
  const smiUINT32 decoded = length > tasks::kReceiveCapacity
                                ? SNMPAPI_OUTPUT_TRUNCATED
                                : decodeToHandles(session, buffer, length, context, pdu, &used);
  if (decoded != kOk) {
    dropEntities();
    // A v1 trap whose translation failed says so (2); anything else did not decode (11).
    return fail(decoded == SNMPAPI_ALLOC_ERROR ? SNMPAPI_ALLOC_ERROR : SNMPAPI_OUTPUT_TRUNCATED, session);
  }
  if (used != length) {
    // Trailing bytes: not one whole message.
    const HSNMP_PDU hp = *pdu;
    HSNMP_VBL hv = 0;
    SnmpGetPduData(hp, nullptr, nullptr, nullptr, nullptr, &hv);
    destroyObject(hv);
    destroyObject(hp);
    destroyObject(*context);
    *context = 0;
    *pdu = 0;
    dropEntities();
    return fail(SNMPAPI_OUTPUT_TRUNCATED, session);
  }
  *srcEntity = hs;
  if (dstEntity) {
    *dstEntity = hd;
  } else {
    destroyObject(hd);
  }
  smiINT32 requestId = 0;
  SnmpGetPduData(*pdu, nullptr, &requestId, nullptr, nullptr, nullptr);
  return static_cast<SNMPAPI_STATUS>(requestId);
}

SNMPAPI_STATUS SnmpRegister(HSNMP_SESSION session, HSNMP_ENTITY srcEntity, HSNMP_ENTITY, HSNMP_CONTEXT, smiLPCOID,
                            smiUINT32 state) {
  auto* s = handles::find<SessionRecord>(session);
  if (!s) return fail(SNMPAPI_FAILURE, 0);
  smiUINT32 kind = kTransportUdp;
  if (srcEntity) {
    const auto* e = handles::resolve<EntityRecord>(srcEntity, SNMPAPI_ENTITY_INVALID, session);
    if (!e) return SNMPAPI_FAILURE;
    if (e->transport != kTransportUdp && e->transport != kTransportIpx) {
      return fail(SNMPAPI_TL_NOT_SUPPORTED, session);
    }
    kind = e->transport;
  } else if (s->udpOpen) {
    kind = kTransportUdp;
  } else if (s->ipxOpen) {
    kind = kTransportIpx;
  } else if (!transport::isReady(kTransportUdp) && transport::isReady(kTransportIpx)) {
    kind = kTransportIpx;
  }
  const transport::Operations* ops = nullptr;
  smiUINT32 rc = transport::makeReady(kind, &ops);
  if (rc == kOk) rc = ops->registerTraps(*s, state != SNMPAPI_OFF);
  if (rc != kOk) return fail(rc, session);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSerialExchange(HSNMP_SESSION session, HSNMP_ENTITY entity, smiUINT32 capacity, smiLPBYTE reply) {
  auto* s = handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session);
  if (!s) return SNMPAPI_FAILURE;
  const auto* e = handles::resolve<EntityRecord>(entity, SNMPAPI_ENTITY_INVALID, session);
  if (!e) return SNMPAPI_FAILURE;
  const transport::Operations* ops = nullptr;
  smiUINT32 rc = e->transport == kTransportSerial ? transport::makeReady(kTransportSerial, &ops)
                                                  : SNMPAPI_TL_NOT_SUPPORTED;
  std::size_t got = 0;
  if (rc == kOk) rc = ops->exchange(*s, *e, reply ? capacity : 0, reply, &got);
  if (rc != kOk) postError(rc, session);
  return rc;  // 1, or the transport's code
}
