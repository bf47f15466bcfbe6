// Sessions: the owners of every other object and of the transport state.
#include "snmp/handle_table.h"
#include "snmp/object_lifetime.h"
#include "snmp/post_error.h"
#include "snmp/task_table.h"
#include "snmp/winsnmp.h"

using namespace snmp;

HSNMP_SESSION SnmpOpen(HWND hWnd, smiUINT32 wMsg) {
  if (!tasks::current()) return 0;
  HSNMP_SESSION h = 0;
  auto* s = handles::create<SessionRecord>(0, 0, &h);
  if (!s) return 0;
  s->window = hWnd;
  s->message = wMsg;
  s->owner = platform::currentProcessId();
  s->serialHandle = kNoSocket;
  s->socket = kNoSocket;
  s->trapSocket = kNoSocket;
  postError(SNMPAPI_SUCCESS, h);
  return h;
}

SNMPAPI_STATUS SnmpClose(HSNMP_SESSION session) {
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session)) return SNMPAPI_FAILURE;
  const smiUINT32 rc = closeSession(session);
  if (rc != kOk) {
    postError(rc);  // the session is gone: only the task hears of it
    return SNMPAPI_FAILURE;
  }
  return SNMPAPI_SUCCESS;
}
