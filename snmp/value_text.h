#pragma once
// SNMP values as text, for people and scripts: OIDs in dotted form, PDU types and value syntaxes
// by short names, and values as "SYNTAX:VALUE" (the form trellanctl reads and prints).
//
// Syntax names: null, int, octets (printable text), hex (an OCTET STRING as hex digits), ipaddr,
// oid, counter32, gauge32, timeticks, uint32, counter64, opaque, nsap, bits, nosuchobject,
// nosuchinstance, endofmibview. Byte values (hex, opaque, nsap) are hex digits; bits are hex
// digits, optionally followed by "/" and the length in bits when it is not a whole byte count.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "snmp/winsnmp.h"

namespace snmp::text {

// A value together with the storage its pointers refer to.
class OwnedValue {
 public:
  OwnedValue() { value_.syntax = SNMP_SYNTAX_NULL; }
  OwnedValue(const OwnedValue& other) { *this = other; }
  OwnedValue& operator=(const OwnedValue& other);

  const smiVALUE& value() const { return value_; }
  smiVALUE& raw() { return value_; }
  std::vector<smiBYTE>& bytes() { return bytes_; }
  std::vector<smiUINT32>& ids() { return ids_; }
  // Points the value at the owned storage (after bytes() or ids() changed).
  void attach();

 private:
  smiVALUE value_{};
  std::vector<smiBYTE> bytes_;
  std::vector<smiUINT32> ids_;
};

std::string oidToText(const smiOID& oid);
std::string oidToText(const std::vector<smiUINT32>& ids);
// Dotted decimal ("1.3.6.1.2.1.1.5.0", a leading "." allowed); each sub-identifier fits 32 bits.
bool parseOid(std::string_view text, std::vector<smiUINT32>& ids);

std::string toHex(const smiBYTE* bytes, std::size_t length, bool spaced = false);
// Hex digits; spaces, tabs, ':' and '-' between bytes are ignored, and so is a leading "0x".
bool parseHex(std::string_view text, std::vector<smiBYTE>& bytes);

// "get", "getnext", "response", "set", "trap" (v1), "getbulk", "inform", "trap2"; "" if unknown.
const char* pduTypeName(smiINT type);
bool parsePduType(std::string_view name, smiINT& type);

// "noError", "tooBig", "noSuchName", "badValue", "readOnly", "genErr"; "" beyond.
const char* errorStatusName(smiINT status);

// The syntax name a value prints with (an OCTET STRING that is not printable text prints as
// "hex"), and its text.
struct ValueText {
  std::string syntax;
  std::string text;
};
ValueText formatValue(const smiVALUE& value);
// "SYNTAX:VALUE", or just "SYNTAX" for the empty syntaxes.
std::string formatValueSpec(const smiVALUE& value);

// Parses a value of the named syntax. On failure returns false and explains in `error`.
bool parseValue(std::string_view syntax, std::string_view text, OwnedValue& out, std::string& error);
// Parses "SYNTAX:VALUE" (or a bare empty syntax such as "null").
bool parseValueSpec(std::string_view spec, OwnedValue& out, std::string& error);

// True when every byte is printable ASCII (an empty string counts as text).
bool isPrintable(const smiBYTE* bytes, std::size_t length);

}  // namespace snmp::text
