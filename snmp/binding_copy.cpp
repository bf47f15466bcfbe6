#include "snmp/binding_copy.h"

#include <cstdlib>
#include <cstring>

#include "snmp/post_error.h"

namespace snmp {

ValueClass valueClassOf(smiUINT32 syntax) noexcept {
  switch (syntax) {
    case SNMP_SYNTAX_INT:
      return ValueClass::Signed;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      return ValueClass::Unsigned;
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      return ValueClass::Bytes;
    case SNMP_SYNTAX_BITS:
      return ValueClass::Bits;
    case SNMP_SYNTAX_OID:
      return ValueClass::Oid;
    case SNMP_SYNTAX_CNTR64:
      return ValueClass::Counter64;
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      return ValueClass::Empty;
    default:
      return ValueClass::Invalid;
  }
}

smiUINT32 copyOid(const smiOID& src, smiOID& dst) noexcept {
  dst = smiOID{0, nullptr};
  if (src.len == 0 || !src.ptr) return SNMPAPI_OID_INVALID;
  auto* ids = static_cast<smiUINT32*>(std::malloc(sizeof(smiUINT32) * src.len));
  if (!ids) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(ids, src.ptr, sizeof(smiUINT32) * src.len);
  dst = smiOID{src.len, ids};
  return kOk;
}

namespace {

// Copies `n` bytes; a zero length allocates nothing.
smiUINT32 copyBytes(const smiBYTE* src, smiUINT32 n, smiBYTE** dst) {
  *dst = nullptr;
  if (n == 0) return kOk;
  if (!src) return SNMPAPI_OTHER_ERROR;
  *dst = static_cast<smiBYTE*>(std::malloc(n));
  if (!*dst) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(*dst, src, n);
  return kOk;
}

}  // namespace

smiUINT32 copyValue(const smiVALUE& src, smiVALUE& dst) noexcept {
  smiVALUE out{};
  out.syntax = src.syntax;
  smiUINT32 rc = kOk;
  switch (valueClassOf(src.syntax)) {
    case ValueClass::Invalid:
      return SNMPAPI_SYNTAX_INVALID;
    case ValueClass::Signed:
      out.value.sNumber = src.value.sNumber;
      break;
    case ValueClass::Unsigned:
      out.value.uNumber = src.value.uNumber;
      break;
    case ValueClass::Counter64:
      out.value.hNumber = src.value.hNumber;
      break;
    case ValueClass::Empty:
      out.value.empty = src.value.empty;
      break;
    case ValueClass::Bytes:
      out.value.string.len = src.value.string.len;
      rc = copyBytes(src.value.string.ptr, src.value.string.len, &out.value.string.ptr);
      break;
    case ValueClass::Bits:
      // The length counts bits; the bytes held are that many bits rounded up.
      out.value.string.len = src.value.string.len;
      rc = copyBytes(src.value.string.ptr, bitStringBytes(src.value.string.len), &out.value.string.ptr);
      break;
    case ValueClass::Oid:
      if (src.value.oid.len == 0) {
        out.value.oid = smiOID{0, nullptr};
      } else if (!src.value.oid.ptr) {
        rc = SNMPAPI_OTHER_ERROR;
      } else {
        rc = copyOid(src.value.oid, out.value.oid);
      }
      break;
  }
  if (rc != kOk) return rc;
  dst = out;
  return kOk;
}

void freeValueContents(smiVALUE& value) noexcept {
  switch (valueClassOf(value.syntax)) {
    case ValueClass::Bytes:
    case ValueClass::Bits:
      std::free(value.value.string.ptr);
      value.value.string = smiOCTETS{0, nullptr};
      break;
    case ValueClass::Oid:
      std::free(value.value.oid.ptr);
      value.value.oid = smiOID{0, nullptr};
      break;
    default:
      break;
  }
}

smiUINT32 copyBinding(const smiOID* name, const smiVALUE* value, Binding& out) noexcept {
  if (!name) return SNMPAPI_OID_INVALID;
  if (!value) return SNMPAPI_OTHER_ERROR;
  auto* n = static_cast<smiOID*>(std::malloc(sizeof(smiOID)));
  auto* v = static_cast<smiVALUE*>(std::malloc(sizeof(smiVALUE)));
  if (!n || !v) {
    std::free(n);
    std::free(v);
    return SNMPAPI_ALLOC_ERROR;
  }
  smiUINT32 rc = copyOid(*name, *n);
  if (rc == kOk) {
    rc = copyValue(*value, *v);
    if (rc != kOk) std::free(n->ptr);
  }
  if (rc != kOk) {
    std::free(n);
    std::free(v);
    return rc;
  }
  out = Binding{n, v};
  return kOk;
}

smiUINT32 adoptBinding(smiOID& name, smiVALUE& value, Binding& out) noexcept {
  auto* n = static_cast<smiOID*>(std::malloc(sizeof(smiOID)));
  auto* v = static_cast<smiVALUE*>(std::malloc(sizeof(smiVALUE)));
  if (!n || !v) {
    std::free(n);
    std::free(v);
    return SNMPAPI_ALLOC_ERROR;
  }
  *n = name;
  *v = value;
  name = smiOID{0, nullptr};
  value = smiVALUE{};
  out = Binding{n, v};
  return kOk;
}

void freeBinding(Binding& binding) noexcept {
  if (binding.name) std::free(binding.name->ptr);
  if (binding.value) freeValueContents(*binding.value);
  std::free(binding.name);
  std::free(binding.value);
  binding = Binding{nullptr, nullptr};
}

}  // namespace snmp
