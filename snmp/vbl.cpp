// Variable-binding lists: up to 32 engine-owned bindings, copied in and out by value class.
#include <cstdlib>

#include "snmp/binding_copy.h"
#include "snmp/handle_table.h"
#include "snmp/object_lifetime.h"
#include "snmp/post_error.h"
#include "snmp/task_table.h"
#include "snmp/winsnmp.h"

using namespace snmp;

HSNMP_VBL SnmpCreateVbl(HSNMP_SESSION session, smiLPCOID name, smiLPCVALUE value) {
  if (!tasks::current()) return 0;
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session)) return 0;
  HSNMP_VBL h = 0;
  auto* vbl = handles::create<VblRecord>(session & 0xFFFFu, session, &h);
  if (!vbl) return 0;
  if (name && value) {
    const smiUINT32 rc = copyBinding(name, value, vbl->bindings[0]);
    if (rc != kOk) {
      destroyObject(h);
      postError(rc, session);
      return 0;
    }
    vbl->count = 1;
  }
  return h;
}

HSNMP_VBL SnmpDuplicateVbl(HSNMP_SESSION session, HSNMP_VBL vbl) {
  if (!tasks::current()) return 0;
  if (!handles::resolve<SessionRecord>(session, SNMPAPI_SESSION_INVALID, session)) return 0;
  if (!handles::resolve<VblRecord>(vbl, SNMPAPI_VBL_INVALID, session)) return 0;
  HSNMP_VBL h = 0;
  auto* copy = handles::create<VblRecord>(session & 0xFFFFu, session, &h);
  if (!copy) return 0;
  const auto* src = handles::find<VblRecord>(vbl);
  for (smiUINT32 i = 0; i < src->count && i < kMaxBindings; ++i) {
    const smiUINT32 rc = copyBinding(src->bindings[i].name, src->bindings[i].value, copy->bindings[i]);
    if (rc != kOk) {
      destroyObject(h);  // frees the bindings copied so far
      postError(rc, session);
      return 0;
    }
    copy->count = i + 1;
  }
  return h;
}

SNMPAPI_STATUS SnmpFreeVbl(HSNMP_VBL vbl) {
  if (!handles::resolve<VblRecord>(vbl, SNMPAPI_VBL_INVALID, 0)) return SNMPAPI_FAILURE;
  destroyObject(vbl);
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpCountVbl(HSNMP_VBL vbl) {
  const auto* v = handles::resolve<VblRecord>(vbl, SNMPAPI_VBL_INVALID, 0);
  return v ? v->count : 0;
}

SNMPAPI_STATUS SnmpGetVb(HSNMP_VBL vbl, smiUINT32 index, smiLPOID name, smiLPVALUE value) {
  const auto* v = handles::resolve<VblRecord>(vbl, SNMPAPI_VBL_INVALID, 0);
  if (!v) return SNMPAPI_FAILURE;
  if (index == 0 || index > v->count) {
    postError(SNMPAPI_INDEX_INVALID);
    return SNMPAPI_FAILURE;
  }
  if (!name || !value) {
    postError(SNMPAPI_OTHER_ERROR);
    return SNMPAPI_FAILURE;
  }
  const Binding& b = v->bindings[index - 1];
  smiOID n{};
  smiUINT32 rc = copyOid(*b.name, n);
  if (rc == kOk) {
    rc = copyValue(*b.value, *value);
    if (rc != kOk) std::free(n.ptr);
  }
  if (rc != kOk) {
    postError(rc);
    return SNMPAPI_FAILURE;
  }
  *name = n;
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpSetVb(HSNMP_VBL vbl, smiUINT32 index, smiLPCOID name, smiLPCVALUE value) {
  auto* v = handles::resolve<VblRecord>(vbl, SNMPAPI_VBL_INVALID, 0);
  if (!v) return SNMPAPI_FAILURE;
  if (index > v->count) {
    postError(SNMPAPI_INDEX_INVALID);
    return SNMPAPI_FAILURE;
  }
  // The list holds 32: a 33rd binding is refused rather than written past the end.
  if (index == 0 && v->count >= kMaxBindings) {
    postError(SNMPAPI_OUTPUT_TRUNCATED);
    return SNMPAPI_FAILURE;
  }
  Binding fresh{};
  const smiUINT32 rc = copyBinding(name, value, fresh);
  if (rc != kOk) {
    postError(rc);
    return SNMPAPI_FAILURE;
  }
  if (index == 0) {
    v->bindings[v->count++] = fresh;
    return v->count;
  }
  freeBinding(v->bindings[index - 1]);  // only once the new copy exists
  v->bindings[index - 1] = fresh;
  return index;
}

SNMPAPI_STATUS SnmpDeleteVb(HSNMP_VBL vbl, smiUINT32 index) {
  auto* v = handles::resolve<VblRecord>(vbl, SNMPAPI_VBL_INVALID, 0);
  if (!v) return SNMPAPI_FAILURE;
  if (index == 0 || index > v->count) {
    postError(SNMPAPI_INDEX_INVALID);
    return SNMPAPI_FAILURE;
  }
  freeBinding(v->bindings[index - 1]);
  for (smiUINT32 i = index; i < v->count; ++i) v->bindings[i - 1] = v->bindings[i];
  --v->count;
  v->bindings[v->count] = Binding{nullptr, nullptr};
  return SNMPAPI_SUCCESS;
}
