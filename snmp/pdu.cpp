// PDUs: type, request id, error status and index, and the (not owned) binding list.
#include "snmp/handle_table.h"
#include "snmp/object_lifetime.h"
#include "snmp/post_error.h"
#include "snmp/task_table.h"
#include "snmp/winsnmp.h"

using namespace snmp;

namespace {

void setFields(PduRecord& pdu, tasks::TaskEntry& task, const smiINT* type, const smiINT32* requestId,
               const HSNMP_VBL* vbl) {
  if (type) pdu.type = *type == 0 ? SNMP_PDU_GETNEXT : *type;
  if (requestId) pdu.requestId = *requestId == 0 ? tasks::drawRequestId(task) : *requestId;
  if (vbl) pdu.vbl = *vbl;
}

}  // namespace

HSNMP_PDU SnmpCreatePdu(HSNMP_SESSION session, smiINT pduType, smiINT32 requestId, smiINT errorStatus,
                        smiINT errorIndex, HSNMP_VBL vbl) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return 0;
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session)) return 0;
  HSNMP_PDU h = 0;
  auto* pdu = handles::create<PduRecord>(session & 0xFFFFu, session, &h);
  if (!pdu) return 0;
  setFields(*pdu, *task, &pduType, &requestId, &vbl);
  pdu->errorStatus = errorStatus;
  pdu->errorIndex = errorIndex;
  return h;
}

SNMPAPI_STATUS SnmpGetPduData(HSNMP_PDU pdu, smiLPINT pduType, smiLPINT32 requestId, smiLPINT errorStatus,
                              smiLPINT errorIndex, LPHSNMP_VBL vbl) {
  const auto* p = handles::resolve<PduRecord>(pdu, SNMPAPI_PDU_INVALID, 0);
  if (!p) return SNMPAPI_FAILURE;
  if (pduType) *pduType = p->type;
  if (requestId) *requestId = p->requestId;
  if (errorStatus) *errorStatus = p->errorStatus;
  if (errorIndex) *errorIndex = p->errorIndex;
  if (vbl) *vbl = p->vbl;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetPduData(HSNMP_PDU pdu, const smiINT* pduType, const smiINT32* requestId,
                              const smiINT* nonRepeaters, const smiINT* maxRepetitions, const HSNMP_VBL* vbl) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  auto* p = handles::resolve<PduRecord>(pdu, SNMPAPI_PDU_INVALID, 0);
  if (!p) return SNMPAPI_FAILURE;
  setFields(*p, *task, pduType, requestId, vbl);  // the GetBulk fields have no place in v1
  return SNMPAPI_SUCCESS;
}

HSNMP_PDU SnmpDuplicatePdu(HSNMP_SESSION session, HSNMP_PDU pdu) {
  if (!tasks::current()) return 0;
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session)) return 0;
  if (!handles::resolve<PduRecord>(pdu, SNMPAPI_PDU_INVALID, session)) return 0;
  HSNMP_PDU h = 0;
  auto* copy = handles::create<PduRecord>(session & 0xFFFFu, session, &h);
  if (!copy) return 0;
  const auto* p = handles::find<PduRecord>(pdu);  // re-resolved: the table is fixed, records never move
  copy->type = p->type;
  copy->requestId = p->requestId;
  copy->vbl = p->vbl;
  return h;
}

SNMPAPI_STATUS SnmpFreePdu(HSNMP_PDU pdu) {
  if (!handles::resolve<PduRecord>(pdu, SNMPAPI_PDU_INVALID, 0)) return SNMPAPI_FAILURE;
  destroyObject(pdu);
  return SNMPAPI_SUCCESS;
}
