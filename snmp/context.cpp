// Contexts: the community string of a message, up to 256 bytes.
#include <cstdlib>
#include <cstring>

#include "snmp/handle_table.h"
#include "snmp/object_lifetime.h"
#include "snmp/post_error.h"
#include "snmp/task_table.h"
#include "snmp/winsnmp.h"

using namespace snmp;

HSNMP_CONTEXT SnmpStrToContext(HSNMP_SESSION session, smiLPCOCTETS string) {
  if (!tasks::current()) return 0;
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session)) return 0;
  if (!string || string->len == 0 || !string->ptr) {
    postError(SNMPAPI_CONTEXT_INVALID, session);
    return 0;
  }
  if (string->len > kMaxCommunity) {
    postError(SNMPAPI_OUTPUT_TRUNCATED, session);
    return 0;
  }
  HSNMP_CONTEXT h = 0;
  auto* c = handles::create<ContextRecord>(session & 0xFFFFu, session, &h);
  if (!c) return 0;
  c->length = string->len;
  std::memcpy(c->community, string->ptr, string->len);
  return h;
}

SNMPAPI_STATUS SnmpContextToStr(HSNMP_CONTEXT context, smiLPOCTETS string) {
  const auto* c = handles::resolve<ContextRecord>(context, SNMPAPI_CONTEXT_INVALID, 0);
  if (!c) return SNMPAPI_FAILURE;
  if (!string) {
    postError(SNMPAPI_OTHER_ERROR);
    return SNMPAPI_FAILURE;
  }
  const smiUINT32 n = c->length <= kMaxCommunity ? c->length : kMaxCommunity;
  auto* bytes = static_cast<smiBYTE*>(std::malloc(n ? n : 1));
  if (!bytes) {
    postError(SNMPAPI_ALLOC_ERROR);
    return SNMPAPI_FAILURE;
  }
  std::memcpy(bytes, c->community, n);
  string->len = n;
  string->ptr = bytes;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpFreeContext(HSNMP_CONTEXT context) {
  if (!handles::resolve<ContextRecord>(context, SNMPAPI_CONTEXT_INVALID, 0)) return SNMPAPI_FAILURE;
  destroyObject(context);
  return SNMPAPI_SUCCESS;
}
