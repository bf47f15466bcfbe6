#pragma once
// Value equality for the fuzz targets' round-trip checks: the same syntax and the same content.
#include <cstring>

#include "snmp/winsnmp.h"

namespace fuzzcheck {

inline bool sameValue(const smiVALUE& a, const smiVALUE& b) {
  if (a.syntax != b.syntax) return false;
  switch (a.syntax) {
    case SNMP_SYNTAX_INT:
      return a.value.sNumber == b.value.sNumber;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      return a.value.uNumber == b.value.uNumber;
    case SNMP_SYNTAX_CNTR64:
      return a.value.hNumber.hipart == b.value.hNumber.hipart && a.value.hNumber.lopart == b.value.hNumber.lopart;
    case SNMP_SYNTAX_OID:
      return a.value.oid.len == b.value.oid.len &&
             (a.value.oid.len == 0 || !std::memcmp(a.value.oid.ptr, b.value.oid.ptr, a.value.oid.len * 4));
    case SNMP_SYNTAX_BITS:
      return a.value.string.len == b.value.string.len &&
             (a.value.string.len == 0 ||
              !std::memcmp(a.value.string.ptr, b.value.string.ptr, (a.value.string.len + 7) / 8));
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      return a.value.string.len == b.value.string.len &&
             (a.value.string.len == 0 || !std::memcmp(a.value.string.ptr, b.value.string.ptr, a.value.string.len));
    default:
      return true;
  }
}

}  // namespace fuzzcheck
