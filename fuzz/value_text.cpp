// Feeds arbitrary text to the value, OID and hex readers that trellanctl encode and set use.
// A value that parses must print as text that parses back to the same value.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/same_value.h"
#include "snmp/value_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  snmp::text::OwnedValue value;
  std::string error;
  if (snmp::text::parseValueSpec(text, value, error)) {
    const std::string printed = snmp::text::formatValueSpec(value.value());
    snmp::text::OwnedValue back;
    if (!snmp::text::parseValueSpec(printed, back, error)) std::abort();
    if (!fuzzcheck::sameValue(back.value(), value.value())) std::abort();
    // A copy owns its own storage.
    const snmp::text::OwnedValue copy = value;
    if (!fuzzcheck::sameValue(copy.value(), value.value())) std::abort();
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
