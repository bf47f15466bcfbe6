// Engine start-up and clean-up, the two modes and the last-error query.
#include "snmp/handle_table.h"
#include "snmp/object_lifetime.h"
#include "snmp/post_error.h"
#include "snmp/task_table.h"
#include "snmp/transport.h"
#include "snmp/winsnmp.h"

using namespace snmp;

namespace {

void put(smiLPUINT32 out, smiUINT32 value) {
  if (out) *out = value;
}

}  // namespace

SNMPAPI_STATUS SnmpStartup(smiLPUINT32 nMajorVersion, smiLPUINT32 nMinorVersion, smiLPUINT32 nLevel,
                           smiLPUINT32 nTranslateMode, smiLPUINT32 nRetransmitMode) {
  tasks::TaskEntry* task = tasks::acquire();
  if (!task) return SNMPAPI_FAILURE;
  put(nMajorVersion, 1);
  put(nMinorVersion, 1);
  put(nLevel, SNMPAPI_V1_SUPPORT);
  put(nTranslateMode, task->translateMode);
  put(nRetransmitMode, task->retransmitMode);
  // Start afresh: this process's objects and the slots of dead processes go; other live
  // processes keep their entries and handles.
  destroyAllOwned();
  transport::clearReady();
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpCleanup() {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  destroyAllOwned();
  tasks::release(*task);
  transport::stopReady();
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpGetTranslateMode(smiLPUINT32 nTranslateMode) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  put(nTranslateMode, task->translateMode);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetTranslateMode(smiUINT32 nTranslateMode) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  if (nTranslateMode != SNMPAPI_UNTRANSLATED_V1) {
    postError(SNMPAPI_MODE_INVALID);
    return SNMPAPI_FAILURE;
  }
  task->translateMode = nTranslateMode;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpGetRetransmitMode(smiLPUINT32 nRetransmitMode) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  put(nRetransmitMode, task->retransmitMode);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetRetransmitMode(smiUINT32 nRetransmitMode) {
  tasks::TaskEntry* task = tasks::current();
  if (!task) return SNMPAPI_FAILURE;
  if (nRetransmitMode != SNMPAPI_OFF) {
    postError(SNMPAPI_MODE_INVALID);
    return SNMPAPI_FAILURE;
  }
  task->retransmitMode = nRetransmitMode;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpGetLastError(HSNMP_SESSION session) {
  if (session == 0) {
    tasks::TaskEntry* task = tasks::current();
    return task ? tasks::lastError(*task) : SNMPAPI_NOT_INITIALIZED;
  }
  auto* s = handles::find<SessionRecord>(session);
  return s ? sessionLastError(*s).load(std::memory_order_relaxed) : 0;
}
