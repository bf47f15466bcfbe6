// Decodes arbitrary bytes as a message and takes every binding into the access layer the way a
// session copies a reply: the name through its text, the value through CVarBind. Then every
// getter, the display and plain text, and the value handed back to the engine, which must be
// the value that came in.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "access/oid.h"
#include "access/var_bind.h"
#include "fuzz/same_value.h"
#include "snmp/codec.h"
#include "snmp/winsnmp.h"

namespace {

void startEngine() {
  static const bool started = [] {
    smiUINT32 major, minor, level, translate, retransmit;
    SnmpStartup(&major, &minor, &level, &translate, &retransmit);
    std::atexit([] { SnmpCleanup(); });
    return true;
  }();
  (void)started;
}

void exercise(const smiOID& name, const smiVALUE& value) {
  using namespace snmpaccess;
  CVarBind b;
  b.setName(COid(name).text().c_str());
  b.assignValue(value);
  if (b.syntax() != value.syntax) std::abort();

  smiINT i = 0;
  smiUINT32 u = 0, high = 0, low = 0;
  COid oid;
  char bytes[512];
  std::size_t length = 0;
  smiBYTE address[4];
  b.getInteger(i);
  b.getUnsigned(u);
  b.getCounter64(high, low);
  b.getOid(oid);
  b.getBytes(bytes, sizeof bytes, length);
  b.getIpAddress(address);
  char display[kDisplayTextSize];
  if (b.getDisplayText(display, sizeof display) == 0 && b.displayText() != display) std::abort();
  (void)b.displayText();

  // Plain text rewrites the stored bytes, so it comes after the round trip.
  if (!fuzzcheck::sameValue(b.value(), value)) std::abort();
  CVarBind copy;
  copy.assignValue(b.value());
  if (!fuzzcheck::sameValue(copy.value(), value)) std::abort();
  char plain[kDisplayTextSize];
  b.getPlainText(plain, sizeof plain);
  char tiny[1];
  b.getPlainText(tiny, sizeof tiny);
  b.getDisplayText(tiny, sizeof tiny);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  startEngine();
  static snmp::codec::DecodeOutput out;
  if (snmp::codec::decodeMessage(data, size, out) != 0) return 0;
  for (smiUINT32 k = 0; k < out.count; ++k) exercise(out.bindings[k].name, out.bindings[k].value);
  snmp::codec::freeDecoded(out);
  return 0;
}
