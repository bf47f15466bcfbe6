// Feeds arbitrary text to the value, OID and hex readers that trellanctl encode and set use.
// A value that parses must print as text that parses back to the same value.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "snmp/value_text.h"

namespace {

bool sameValue(const smiVALUE& a, const smiVALUE& b) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  snmp::text::OwnedValue value;
  std::string error;
  if (snmp::text::parseValueSpec(text, value, error)) {
    const std::string printed = snmp::text::formatValueSpec(value.value());
    snmp::text::OwnedValue back;
    if (!snmp::text::parseValueSpec(printed, back, error)) std::abort();
    if (!sameValue(back.value(), value.value())) std::abort();
    // A copy owns its own storage.
    const snmp::text::OwnedValue copy = value;
    if (!sameValue(copy.value(), value.value())) std::abort();
  } else if (error.empty()) {
    std::abort();
  }

  std::vector<smiUINT32> ids;
  if (snmp::text::parseOid(text, ids)) {
    std::vector<smiUINT32> back;
    if (!snmp::text::parseOid(snmp::text::oidToText(ids), back) || back != ids) std::abort();
  }
  std::vector<smiBYTE> bytes;
  if (snmp::text::parseHex(text, bytes)) {
    std::vector<smiBYTE> back;
    const std::string hex = snmp::text::toHex(bytes.data(), bytes.size(), true);
    if (!snmp::text::parseHex(hex, back) || back != bytes) std::abort();
  }
  smiINT type = 0;
  if (snmp::text::parsePduType(text, type) && text != snmp::text::pduTypeName(type)) std::abort();
  return 0;
}
