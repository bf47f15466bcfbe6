#include "snmp/ber_writer.h"

namespace snmp::ber {

namespace {

// Bytes of one sub-identifier in base 128.
inline std::size_t base128Size(std::uint64_t v) noexcept {
  std::size_t n = 1;
  while (v >>= 7) ++n;
  return n;
}

}  // namespace

void Writer::putBits(smiUINT32 bitCount, const smiBYTE* bytes) noexcept {
  if (error_) return;
  const std::size_t byteCount = (static_cast<std::size_t>(bitCount) + 7) / 8;
  if (byteCount + 1 > pos_) {
    fail(SNMPAPI_OUTPUT_TRUNCATED);
    return;
  }
  if (byteCount && !bytes) {
    fail(SNMPAPI_OTHER_ERROR);
    return;
  }
  pos_ -= byteCount;
  if (byteCount) std::memcpy(buf_ + pos_, bytes, byteCount);
  buf_[--pos_] = static_cast<smiBYTE>((8 - bitCount % 8) % 8);
  header(SNMP_SYNTAX_BITS, byteCount + 1);
}

void Writer::putOid(const smiOID& oid) noexcept {
  if (error_) return;
  if (oid.len < 2 || !oid.ptr || oid.ptr[0] > 2 || (oid.ptr[0] < 2 && oid.ptr[1] >= 40)) {
    fail(SNMPAPI_OID_INVALID);
    return;
  }
  const std::size_t contentEnd = pos_;
  // Room for the longest form of every sub-identifier (5 bytes each, 10 for the first pair): no
  // check per byte, and the usual sub-identifier below 128 is one store.
  if (pos_ >= std::size_t{oid.len} * 5 + 10) {
    for (std::size_t i = oid.len; i-- > 2;) {
      smiUINT32 v = oid.ptr[i];
      buf_[--pos_] = static_cast<smiBYTE>(v & 0x7F);
      while (v >>= 7) buf_[--pos_] = static_cast<smiBYTE>(0x80 | (v & 0x7F));
    }
    std::uint64_t v = std::uint64_t{oid.ptr[0]} * 40 + oid.ptr[1];
    buf_[--pos_] = static_cast<smiBYTE>(v & 0x7F);
    while (v >>= 7) buf_[--pos_] = static_cast<smiBYTE>(0x80 | (v & 0x7F));
    header(SNMP_SYNTAX_OID, contentEnd - pos_);
    return;
  }
  for (std::size_t i = oid.len; i-- > 1;) {
    // The first two share one group: first * 40 + second (64-bit, as 2.x may exceed 32 bits).
    std::uint64_t v = i == 1 ? std::uint64_t{oid.ptr[0]} * 40 + oid.ptr[1] : oid.ptr[i];
    const std::size_t n = base128Size(v);
    if (pos_ < n) {
      fail(SNMPAPI_OUTPUT_TRUNCATED);
      return;
    }
    buf_[--pos_] = static_cast<smiBYTE>(v & 0x7F);
    while (v >>= 7) buf_[--pos_] = static_cast<smiBYTE>(0x80 | (v & 0x7F));
  }
  header(SNMP_SYNTAX_OID, contentEnd - pos_);
}

void Writer::putValue(const smiVALUE& value) noexcept {
  if (error_) return;
  const smiUINT32 syntax = value.syntax;
  switch (syntax) {
    case SNMP_SYNTAX_INT:
      putInteger(SNMP_SYNTAX_INT, value.value.sNumber);
      return;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      putUnsigned(static_cast<smiBYTE>(syntax), value.value.uNumber);
      return;
    case SNMP_SYNTAX_CNTR64:
      putUnsigned(SNMP_SYNTAX_CNTR64,
                  (std::uint64_t{value.value.hNumber.hipart} << 32) | value.value.hNumber.lopart);
      return;
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      putBytes(static_cast<smiBYTE>(syntax), value.value.string.ptr, value.value.string.len);
      return;
    case SNMP_SYNTAX_BITS:
      putBits(value.value.string.len, value.value.string.ptr);
      return;
    case SNMP_SYNTAX_OID:
      putOid(value.value.oid);
      return;
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      header(static_cast<smiBYTE>(syntax), 0);
      return;
    default:
      fail(SNMPAPI_MESSAGE_INVALID);
      return;
  }
}

}  // namespace snmp::ber
