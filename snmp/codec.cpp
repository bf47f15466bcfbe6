// Placeholder until the real BER codec lands: every entry point fails cleanly.
#include "snmp/codec.h"

#include <cstring>

namespace snmp::codec {

smiUINT32 encodeInto(const EncodeInput&, smiBYTE*, std::size_t, const smiBYTE** start, std::size_t* length) noexcept {
  if (start) *start = nullptr;
  if (length) *length = 0;
  return SNMPAPI_OTHER_ERROR;
}

smiUINT32 encodeMessage(const EncodeInput&, smiOCTETS* out) noexcept {
  if (out) {
    out->len = 0;
    out->ptr = nullptr;
  }
  return SNMPAPI_OTHER_ERROR;
}

smiUINT32 decodeMessage(const smiBYTE*, std::size_t, DecodeOutput& out, std::size_t* consumed) noexcept {
  out.communityLength = 0;
  out.count = 0;
  if (consumed) *consumed = 0;
  return SNMPAPI_OTHER_ERROR;
}

void freeDecoded(DecodeOutput& out) noexcept {
  out.communityLength = 0;
  out.count = 0;
}

}  // namespace snmp::codec
