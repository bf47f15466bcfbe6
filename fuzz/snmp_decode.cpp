// Feeds arbitrary bytes to the message decoder, directly and through SnmpDecodeMsg. Whatever
// decodes must re-encode, and the re-encoded message must decode to the same fields.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/same_value.h"
#include "snmp/codec.h"
#include "snmp/winsnmp.h"

namespace {

HSNMP_SESSION session() {
  static HSNMP_SESSION s = [] {
    smiUINT32 major, minor, level, translate, retransmit;
    SnmpStartup(&major, &minor, &level, &translate, &retransmit);
    std::atexit([] {
      SnmpClose(session());
      SnmpCleanup();
    });
    return SnmpOpen(nullptr, 0);
  }();
  return s;
}

void roundTrip(const snmp::codec::DecodeOutput& first) {
  snmp::codec::BindingRef refs[snmp::codec::kMaxBindings];
  for (smiUINT32 i = 0; i < first.count; ++i) refs[i] = {&first.bindings[i].name, &first.bindings[i].value};
  snmp::codec::EncodeInput in;
  in.pduType = first.pduType;
  in.requestId = first.requestId;
  in.errorStatus = first.errorStatus;
  in.errorIndex = first.errorIndex;
  in.community = first.community;
  in.communityLength = first.communityLength;
  in.bindings = refs;
  in.count = first.count;
  smiBYTE work[snmp::codec::kMaxMessage];
  const smiBYTE* start = nullptr;
  std::size_t length = 0;
  const smiUINT32 code = snmp::codec::encodeInto(in, work, sizeof work, &start, &length);
  if (code == SNMPAPI_OUTPUT_TRUNCATED) return;  // a translated trap can outgrow the work area
  if (code != 0) std::abort();

  static snmp::codec::DecodeOutput second;
  if (snmp::codec::decodeMessage(start, length, second) != 0) std::abort();
  bool same = second.pduType == first.pduType && second.requestId == first.requestId &&
              second.errorStatus == first.errorStatus && second.errorIndex == first.errorIndex &&
              second.communityLength == first.communityLength &&
              !std::memcmp(second.community, first.community, first.communityLength) && second.count == first.count;
  for (smiUINT32 i = 0; same && i < first.count; ++i) {
    const auto& a = first.bindings[i];
    const auto& b = second.bindings[i];
    same = a.name.len == b.name.len && !std::memcmp(a.name.ptr, b.name.ptr, a.name.len * 4) && fuzzcheck::sameValue(a.value, b.value);
  }
  snmp::codec::freeDecoded(second);
  if (!same) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static snmp::codec::DecodeOutput out;
  std::size_t consumed = 0;
  const bool decoded = snmp::codec::decodeMessage(data, size, out, &consumed) == 0;
  if (decoded) {
    if (consumed > size || out.count > snmp::codec::kMaxBindings) std::abort();
    roundTrip(out);
  } else if (out.count != 0) {
    std::abort();
  }

  // The same bytes through the API, releasing every handle it hands out.
  const HSNMP_SESSION s = session();
  if (!s) return 0;
  smiOCTETS message{static_cast<smiUINT32>(size), const_cast<smiBYTE*>(data)};
  HSNMP_ENTITY src = 0, dst = 0;
  HSNMP_CONTEXT context = 0;
  HSNMP_PDU pdu = 0;
  SnmpDecodeMsg(s, &src, &dst, &context, &pdu, &message);
  if (pdu) {
    HSNMP_VBL vbl = 0;
    if (SnmpGetPduData(pdu, nullptr, nullptr, nullptr, nullptr, &vbl) && vbl) {
      const SNMPAPI_STATUS count = SnmpCountVbl(vbl);
      for (smiUINT32 i = 1; i <= count; ++i) {
        smiOID name{};
        smiVALUE value{};
        if (!SnmpGetVb(vbl, i, &name, &value)) continue;
        // The list holds a copy of exactly what the codec decoded.
        if (decoded && i <= out.count) {
          const auto& b = out.bindings[i - 1];
          if (b.name.len != name.len || std::memcmp(b.name.ptr, name.ptr, name.len * 4) ||
              !fuzzcheck::sameValue(b.value, value))
            std::abort();
        }
        SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
        if (value.syntax == SNMP_SYNTAX_OID) {
          SnmpFreeDescriptor(SNMP_SYNTAX_OID, &value.value.oid);
        } else {
          SnmpFreeDescriptor(value.syntax, &value.value.string);
        }
      }
      SnmpFreeVbl(vbl);
    }
    SnmpFreePdu(pdu);
  }
  if (context) SnmpFreeContext(context);
  if (decoded) snmp::codec::freeDecoded(out);
  return 0;
}
