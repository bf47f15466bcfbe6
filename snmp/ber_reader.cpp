#include "snmp/ber_reader.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace snmp::ber {

bool Reader::enterSlow(smiBYTE& tag) noexcept {
  if (pos_ >= end_) return fail(SNMPAPI_OUTPUT_TRUNCATED);
  tag = data_[pos_++];
  if ((tag & 0x1F) == 0x1F) return fail(SNMPAPI_MESSAGE_INVALID);
  if (pos_ >= end_) return fail(SNMPAPI_OUTPUT_TRUNCATED);
  const smiBYTE first = data_[pos_++];
  if (depth_ >= kMaxDepth) return fail(SNMPAPI_OTHER_ERROR);
  if (first == 0x80) {
    // Indefinite: the element runs to its end-of-contents inside the enclosing bounds.
    stack_[depth_++] = {end_, indefinite_};
    indefinite_ = true;
    return true;
  }
  std::size_t length = first;
  if (first & 0x80) {
    std::size_t count = first & 0x7F;
    if (count > end_ - pos_) return fail(SNMPAPI_OUTPUT_TRUNCATED);
    length = 0;
    for (; count; --count) {
      length = (length << 8) | data_[pos_++];
      // Lengths only grow byte by byte, so one beyond what is left can stop the read early.
      if (length > end_ - pos_ + count) return fail(SNMPAPI_OUTPUT_TRUNCATED);
    }
  }
  if (length > end_ - pos_) return fail(SNMPAPI_OUTPUT_TRUNCATED);
  stack_[depth_++] = {end_, indefinite_};
  end_ = pos_ + length;
  indefinite_ = false;
  return true;
}

bool Reader::contentUntilEnd(Span& span) noexcept {
  span.data = data_ + pos_;
  const void* hit = nullptr;
  for (std::size_t i = pos_; i + 1 < end_; i = static_cast<const smiBYTE*>(hit) - data_ + 1) {
    hit = std::memchr(data_ + i, 0, end_ - 1 - i);
    if (!hit) break;
    const std::size_t at = static_cast<const smiBYTE*>(hit) - data_;
    if (data_[at + 1] == 0) {
      span.size = at - pos_;
      pos_ = at;
      return true;
    }
  }
  return fail(SNMPAPI_OUTPUT_TRUNCATED);
}

bool Reader::endOfContents() noexcept {
  if (pos_ >= end_) return fail(SNMPAPI_OUTPUT_TRUNCATED);
  if (data_[pos_] != 0) return fail(SNMPAPI_MESSAGE_INVALID);
  if (pos_ + 1 >= end_) return fail(SNMPAPI_OUTPUT_TRUNCATED);
  if (data_[pos_ + 1] != 0) return fail(SNMPAPI_MESSAGE_INVALID);
  pos_ += 2;
  return true;
}

smiUINT32 readSigned(Span s, smiINT32& out) noexcept {
  if (s.size == 0) return SNMPAPI_MESSAGE_INVALID;
  // Five bytes: a leading 00, or one FF that only repeats the sign of a negative 32-bit value
  // (agents built on pyasn1 send -2^31 as FF 80 00 00 00); anything longer is an overflow.
  const bool redundantSign = s.size == 5 && s.data[0] == 0xFF && (s.data[1] & 0x80);
  if (s.size > 5 || (s.size == 5 && s.data[0] != 0x00 && !redundantSign)) return SNMPAPI_OUTPUT_TRUNCATED;
  // Built in unsigned arithmetic: a five-byte value keeps its low 32 bits.
  std::uint32_t v = static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(s.data[0])));
  for (std::size_t i = 1; i < s.size; ++i) v = (v << 8) | s.data[i];
  out = static_cast<smiINT32>(v);
  return 0;
}

smiUINT32 readUnsigned(Span s, smiUINT32& out) noexcept {
  if (s.size == 0) return SNMPAPI_MESSAGE_INVALID;
  if (s.size > 5 || (s.size == 5 && s.data[0] != 0x00)) return SNMPAPI_OUTPUT_TRUNCATED;
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < s.size; ++i) v = (v << 8) | s.data[i];
  out = v;
  return 0;
}

smiUINT32 readUnsigned64(Span s, std::uint64_t& out) noexcept {
  if (s.size == 0) return SNMPAPI_MESSAGE_INVALID;
  if (s.size > 9 || (s.size == 9 && s.data[0] != 0x00)) return SNMPAPI_OUTPUT_TRUNCATED;
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < s.size; ++i) v = (v << 8) | s.data[i];
  out = v;
  return 0;
}

smiUINT32 readOid(Span s, smiOID& out, Arena& arena) noexcept {
  out.len = 0;
  out.ptr = nullptr;
  // An empty OID, or one whose last group is unfinished, is malformed.
  if (s.size == 0 || (s.data[s.size - 1] & 0x80)) return SNMPAPI_MESSAGE_INVALID;
  // Room for the most sub-identifiers the content can hold (one per byte, two for the first
  // group), so the bytes are walked once; what stays unfilled goes back to the arena.
  auto* ids = static_cast<smiUINT32*>(arena.take((s.size + 1) * sizeof(smiUINT32)));
  if (!ids) return SNMPAPI_ALLOC_ERROR;

  // Groups run to a byte without the continuation bit, and the last byte is one, so no group
  // reads past the end. A value beyond `limit` is refused: sub-identifiers are 32 bits, the
  // first group 32 bits plus 80 (it holds two).
  const smiBYTE* p = s.data;
  const smiBYTE* const end = s.data + s.size;
  auto group = [&p](std::uint64_t limit, std::uint64_t& v) {
    smiBYTE b = *p++;
    v = b & 0x7F;
    while (b & 0x80) {
      b = *p++;
      v = (v << 7) | (b & 0x7F);
      if (v > limit) return false;
    }
    return true;
  };
  std::uint64_t v = 0;
  bool fits = group(0xFFFFFFFFull + 80, v);
  const smiUINT32 first = v < 40 ? 0 : v < 80 ? 1 : 2;
  ids[0] = first;
  ids[1] = static_cast<smiUINT32>(v - 40ull * first);
  fits = fits && v - 40ull * first <= 0xFFFFFFFFull;
  smiUINT32* o = ids + 2;
  // `o` stays at most one entry ahead of `p`, so eight entries written while eight bytes are
  // left stay inside the room taken above.
  while (fits && p < end) {
    if constexpr (std::endian::native == std::endian::little) {
      if (end - p >= 8) {
        // Eight bytes at once: every one before the first continuation bit is a whole
        // sub-identifier (the common case, arcs below 128).
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t high = word & 0x8080808080808080ull;
        for (int k = 0; k < 8; ++k) o[k] = p[k];
        const int n = high ? std::countr_zero(high) / 8 : 8;
        p += n;
        o += n;
        if (n == 8) continue;
        fits = group(0xFFFFFFFFull, v);
        *o++ = static_cast<smiUINT32>(v);
        continue;
      }
    }
    if (*p < 0x80) {  // the common one-byte sub-identifier
      *o++ = *p++;
      continue;
    }
    fits = group(0xFFFFFFFFull, v);
    *o++ = static_cast<smiUINT32>(v);
  }
  if (!fits) {
    arena.trim(ids, 0);
    arena.give(ids);
    return SNMPAPI_OUTPUT_TRUNCATED;
  }
  out.len = static_cast<smiUINT32>(o - ids);
  out.ptr = ids;
  arena.trim(ids, out.len * sizeof(smiUINT32));
  return 0;
}

smiUINT32 readBytes(Span s, smiOCTETS& out, Arena& arena) noexcept {
  out.len = 0;
  out.ptr = nullptr;
  if (s.size == 0) return 0;
  auto* bytes = static_cast<smiBYTE*>(arena.take(s.size));
  if (!bytes) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(bytes, s.data, s.size);
  out.len = static_cast<smiUINT32>(s.size);
  out.ptr = bytes;
  return 0;
}

smiUINT32 readBits(Span s, smiOCTETS& out, Arena& arena) noexcept {
  out.len = 0;
  out.ptr = nullptr;
  // The unused-bits byte must be there, below 8, and 0 when no byte follows.
  if (s.size == 0 || s.data[0] > 7 || (s.size == 1 && s.data[0] != 0)) return SNMPAPI_MESSAGE_INVALID;
  const smiUINT32 unused = s.data[0];
  const smiUINT32 code = readBytes({s.data + 1, s.size - 1}, out, arena);
  if (code) return code;
  out.len = out.len * 8 - unused;
  return 0;
}

}  // namespace snmp::ber
