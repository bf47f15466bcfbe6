// Entities: transport addresses of agents, plus the timeout and retry policy queries.
#include <cstring>

#include "snmp/handle_table.h"
#include "snmp/object_lifetime.h"
#include "snmp/post_error.h"
#include "snmp/task_table.h"
#include "snmp/transport.h"
#include "snmp/winsnmp.h"

using namespace snmp;

namespace {

// The transport an address text names: "." means UDP, a leading "COM" serial, else IPX.
smiUINT32 transportOfText(const char* text) {
  if (std::strchr(text, '.')) return kTransportUdp;
  if (std::strncmp(text, "COM", 3) == 0) return kTransportSerial;
  return kTransportIpx;
}

}  // namespace

HSNMP_ENTITY SnmpStrToEntity(HSNMP_SESSION session, const char* string) {
  if (!tasks::current()) return 0;
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session)) return 0;
  if (!string) {
    postError(SNMPAPI_ENTITY_UNKNOWN, session);
    return 0;
  }
  HSNMP_ENTITY h = 0;
  auto* entity = handles::create<EntityRecord>(session & 0xFFFFu, session, &h);
  if (!entity) return 0;
  const transport::Operations* ops = nullptr;
  smiUINT32 rc = transport::makeReady(transportOfText(string), &ops);
  if (rc == kOk) rc = ops->textToAddress(string, *entity);
  if (rc != kOk) {
    destroyObject(h);
    postError(SNMPAPI_ENTITY_UNKNOWN, session);
    return 0;
  }
  return h;
}

SNMPAPI_STATUS SnmpEntityToStr(HSNMP_ENTITY entity, smiUINT32 size, char* string) {
  const auto* e = handles::resolve<EntityRecord>(entity, SNMPAPI_ENTITY_INVALID, 0);
  if (!e) return SNMPAPI_FAILURE;
  const transport::Operations* ops = transport::operationsFor(e->transport);
  if (!ops) return SNMPAPI_SUCCESS;  // an unknown transport has no text
  const smiUINT32 rc = ops->addressToText(*e, size, string);
  if (rc != kOk) {
    postError(rc);
    return SNMPAPI_FAILURE;
  }
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpFreeEntity(HSNMP_ENTITY entity) {
  if (!handles::resolve<EntityRecord>(entity, SNMPAPI_ENTITY_INVALID, 0)) return SNMPAPI_FAILURE;
  destroyObject(entity);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpGetTimeout(HSNMP_ENTITY entity, smiLPTIMETICKS policyTimeout, smiLPTIMETICKS actualTimeout) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  if (!handles::resolve<EntityRecord>(entity, SNMPAPI_ENTITY_INVALID, 0)) return SNMPAPI_FAILURE;
  if (policyTimeout) *policyTimeout = task->policyTimeout / 10000;
  if (actualTimeout) *actualTimeout = 0;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetTimeout(HSNMP_ENTITY entity, smiTIMETICKS) {
  // The engine never retransmits: the caller times its own waits.
  if (!handles::resolve<EntityRecord>(entity, SNMPAPI_ENTITY_INVALID, 0)) return SNMPAPI_FAILURE;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpGetRetry(HSNMP_ENTITY, smiLPUINT32 policyRetry, smiLPUINT32 actualRetry) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  const auto retry = static_cast<smiUINT32>(task->policyRetry / 10000);
  if (policyRetry) *policyRetry = retry;
  if (actualRetry) *actualRetry = retry;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetRetry(HSNMP_ENTITY, smiUINT32 policyRetry) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  task->policyRetry = static_cast<std::uint64_t>(policyRetry) * 10000;
  return SNMPAPI_SUCCESS;
}
