// OID utilities and descriptor release; they need no SnmpStartup.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "snmp/binding_copy.h"
#include "snmp/post_error.h"
#include "snmp/winsnmp.h"

using namespace snmp;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

SNMPAPI_STATUS fail(smiUINT32 code) {
  postError(code);
  return SNMPAPI_FAILURE;
}

bool isEmpty(smiLPCOID oid) { return !oid || oid->len == 0 || !oid->ptr; }

}  // namespace

SNMPAPI_STATUS SnmpStrToOid(const char* string, smiLPOID dstOID) {
  if (!dstOID) return fail(SNMPAPI_OID_INVALID);
  *dstOID = smiOID{0, nullptr};
  if (!string) return fail(SNMPAPI_OID_INVALID);
  const char* p = string;
  if (*p == '.') ++p;  // the leading-dot notation ".1.3.6"
  smiUINT32 components = 1;
  for (const char* q = p; *q; ++q) components += *q == '.';
  auto* ids = static_cast<smiUINT32*>(std::malloc(sizeof(smiUINT32) * components));
  if (!ids) return fail(SNMPAPI_ALLOC_ERROR);
  smiUINT32 parsed = 0;
  while (parsed < components) {
    // Every component has digits and fits 32 bits; a wrapped or empty one would name another object.
    if (!isDigit(*p)) break;
    std::uint64_t v = 0;
    while (isDigit(*p) && v <= 0xFFFFFFFFu) v = v * 10 + static_cast<std::uint64_t>(*p++ - '0');
    if (v > 0xFFFFFFFFu) break;
    ids[parsed++] = static_cast<smiUINT32>(v);
    if (*p == '\0') break;
    if (*p != '.') break;
    ++p;
  }
  if (parsed != components || *p != '\0') {
    std::free(ids);  // nothing to hand back: the caller gets an empty OID and no allocation
    return fail(SNMPAPI_OID_INVALID);
  }
  *dstOID = smiOID{parsed, ids};
  return parsed;
}

SNMPAPI_STATUS SnmpOidToStr(smiLPCOID srcOID, smiUINT32 size, char* string) {
  if (isEmpty(srcOID)) return fail(SNMPAPI_OID_INVALID);
  if (!string || size == 0) return fail(SNMPAPI_OUTPUT_TRUNCATED);
  std::size_t written = 0;
  string[0] = '\0';
  for (smiUINT32 i = 0; i < srcOID->len; ++i) {
    char digits[12];
    const int n = std::snprintf(digits, sizeof digits, "%s%u", i ? "." : "", srcOID->ptr[i]);
    // The separator, the digits and the terminator must all fit.
    if (written + static_cast<std::size_t>(n) + 1 > size) return fail(SNMPAPI_OUTPUT_TRUNCATED);
    std::memcpy(string + written, digits, static_cast<std::size_t>(n) + 1);
    written += static_cast<std::size_t>(n);
  }
  return static_cast<SNMPAPI_STATUS>(written + 1);
}

SNMPAPI_STATUS SnmpOidCopy(smiLPCOID srcOID, smiLPOID dstOID) {
  if (isEmpty(srcOID)) return fail(SNMPAPI_OID_INVALID);
  if (!dstOID) return fail(SNMPAPI_OTHER_ERROR);
  const smiUINT32 rc = copyOid(*srcOID, *dstOID);
  if (rc != kOk) return fail(rc);
  return dstOID->len;
}

SNMPAPI_STATUS SnmpOidCompare(smiLPCOID xOID, smiLPCOID yOID, smiUINT32 maxlen, smiLPINT result) {
  if (isEmpty(xOID) || isEmpty(yOID)) return fail(SNMPAPI_OID_INVALID);
  if (!result) return fail(SNMPAPI_OTHER_ERROR);
  const smiUINT32 shorter = xOID->len < yOID->len ? xOID->len : yOID->len;
  const smiUINT32 limit = maxlen != 0 && maxlen < shorter ? maxlen : shorter;
  for (smiUINT32 i = 0; i < limit; ++i) {
    if (xOID->ptr[i] != yOID->ptr[i]) {
      *result = xOID->ptr[i] < yOID->ptr[i] ? -1 : 1;
      return SNMPAPI_SUCCESS;
    }
  }
  if (maxlen != 0 && limit == maxlen) {
    *result = 0;
  } else {
    *result = xOID->len < yOID->len ? -1 : xOID->len > yOID->len ? 1 : 0;
  }
  return SNMPAPI_SUCCESS;
}

SNMPAPI_STATUS SnmpFreeDescriptor(smiUINT32 syntax, smiLPOPAQUE descriptor) {
  if (!descriptor) return SNMPAPI_SUCCESS;
  switch (syntax) {
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR: {
      auto* d = static_cast<smiOCTETS*>(descriptor);
      std::free(d->ptr);
      *d = smiOCTETS{0, nullptr};
      break;
    }
    case SNMP_SYNTAX_OID: {
      auto* d = static_cast<smiOID*>(descriptor);
      std::free(d->ptr);
      *d = smiOID{0, nullptr};
      break;
    }
    default:
      break;
  }
  return SNMPAPI_SUCCESS;
}
