#pragma once
// Deep copies and frees of OIDs, values and bindings by value class, shared by the list
// functions, the OID utilities and the decoder glue. All memory is malloc'ed: per binding,
// or one block for all bindings of a decoded message.
#include "snmp/codec.h"
#include "snmp/records.h"

namespace snmp {

enum class ValueClass { Invalid, Signed, Unsigned, Bytes, Bits, Oid, Counter64, Empty };

// Inline: the decoded-list copy asks it for every binding.
constexpr ValueClass valueClassOf(smiUINT32 syntax) noexcept {
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

// Bytes held by a bit string of `bits` bits.
constexpr smiUINT32 bitStringBytes(smiUINT32 bits) noexcept { return bits / 8 + (bits % 8 != 0); }

// Copies a non-empty OID into `dst` (overwritten). Returns kOk, SNMPAPI_OID_INVALID or
// SNMPAPI_ALLOC_ERROR; `dst` is empty on failure.
smiUINT32 copyOid(const smiOID& src, smiOID& dst) noexcept;

// Copies a value into `dst` (overwritten). Returns kOk, SNMPAPI_SYNTAX_INVALID,
// SNMPAPI_OTHER_ERROR (a length without bytes) or SNMPAPI_ALLOC_ERROR.
smiUINT32 copyValue(const smiVALUE& src, smiVALUE& dst) noexcept;

// Frees what a value points at (by class) and leaves it empty.
void freeValueContents(smiVALUE& value) noexcept;

// A new engine-owned binding copied from name and value (the binding-copy rules: null name 9,
// null value 99, unknown syntax 14, allocation 2). `out` is untouched on failure.
smiUINT32 copyBinding(const smiOID* name, const smiVALUE* value, Binding& out) noexcept;

// Copies the `count` decoded bindings of one message into one shared block: names, values and
// their contents in a single allocation, each binding holding a share that freeBinding gives
// back. Returns kOk or SNMPAPI_ALLOC_ERROR (then `out` is untouched). `count` is at most 32.
smiUINT32 copyDecoded(const codec::DecodedBinding* in, smiUINT32 count, Binding* out) noexcept;

// The same for a whole decoded message (at most 32 bindings): when everything it decoded sits
// in its own storage, that storage is copied once and the pointers moved with it.
smiUINT32 copyDecoded(const codec::DecodeOutput& in, Binding* out) noexcept;

void freeBinding(Binding& binding) noexcept;

}  // namespace snmp
