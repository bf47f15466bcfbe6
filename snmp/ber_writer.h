#pragma once
// Backward BER writer: content goes in innermost first from the end of a fixed buffer, and a
// constructed element gets its length and tag once its content is complete, so no length is
// ever computed ahead and nothing is moved or reallocated.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "snmp/winsnmp.h"

namespace snmp::ber {

class Writer {
 public:
  static constexpr std::size_t kMaxDepth = 32;

  Writer(smiBYTE* buffer, std::size_t capacity) noexcept : buf_(buffer), pos_(capacity), end_(capacity) {}

  // First error met (0 while all is well). Every call after an error does nothing.
  smiUINT32 error() const noexcept { return error_; }
  const smiBYTE* data() const noexcept { return buf_ + pos_; }
  std::size_t size() const noexcept { return end_ - pos_; }
  std::size_t depth() const noexcept { return depth_; }

  // Starts a constructed element (its content is written next, backwards).
  void open() noexcept {
    if (error_) return;
    if (depth_ >= kMaxDepth) {
      fail(SNMPAPI_OTHER_ERROR);
      return;
    }
    stack_[depth_++] = pos_;
  }

  // Ends the innermost open element: writes its length and `tag` in front of its content.
  void close(smiBYTE tag) noexcept {
    if (error_) return;
    if (depth_ == 0) {
      fail(SNMPAPI_OTHER_ERROR);
      return;
    }
    const std::size_t length = stack_[--depth_] - pos_;
    header(tag, length);
  }

  void putInteger(smiBYTE tag, std::int32_t value) noexcept {
    if (error_) return;
    std::size_t n = 1;
    for (std::int32_t v = value >> 7; n < 4 && v != 0 && v != -1; v >>= 8) ++n;
    if (pos_ < n) {
      fail(SNMPAPI_OUTPUT_TRUNCATED);
      return;
    }
    auto u = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < n; ++i, u >>= 8) buf_[--pos_] = static_cast<smiBYTE>(u & 0xFFu);
    header(tag, n);
  }

  // Unsigned rule (32 or 64 bits): minimal bytes, plus a leading 0x00 when the top one has its
  // high bit set.
  void putUnsigned(smiBYTE tag, std::uint64_t value) noexcept {
    if (error_) return;
    std::size_t n = 1;
    for (std::uint64_t v = value >> 8; v != 0; v >>= 8) ++n;
    const bool pad = (value >> (8 * (n - 1))) & 0x80;
    if (pos_ < n + pad) {
      fail(SNMPAPI_OUTPUT_TRUNCATED);
      return;
    }
    for (std::size_t i = 0; i < n; ++i, value >>= 8) buf_[--pos_] = static_cast<smiBYTE>(value & 0xFFu);
    if (pad) buf_[--pos_] = 0x00;
    header(tag, n + pad);
  }

  void putBytes(smiBYTE tag, const smiBYTE* bytes, std::size_t length) noexcept {
    if (error_) return;
    if (length > pos_) {
      fail(SNMPAPI_OUTPUT_TRUNCATED);
      return;
    }
    if (length) {
      if (!bytes) {
        fail(SNMPAPI_OTHER_ERROR);
        return;
      }
      pos_ -= length;
      std::memcpy(buf_ + pos_, bytes, length);
    }
    header(tag, length);
  }

  // BIT STRING from a length in bits and ceil(bits/8) bytes.
  void putBits(smiUINT32 bitCount, const smiBYTE* bytes) noexcept;

  // OBJECT IDENTIFIER (tag 0x06). Fewer than two sub-identifiers, or a first pair BER cannot
  // carry (first above 2, or second of 40 and more under 0 and 1): SNMPAPI_OID_INVALID.
  void putOid(const smiOID& oid) noexcept;

  // A value by its syntax code; an unknown syntax gives SNMPAPI_MESSAGE_INVALID.
  void putValue(const smiVALUE& value) noexcept;

  void fail(smiUINT32 code) noexcept {
    if (!error_) error_ = code;
  }

 private:
  void header(smiBYTE tag, std::size_t length) noexcept {
    if ((tag & 0x1F) == 0x1F) {
      fail(SNMPAPI_MESSAGE_INVALID);
      return;
    }
    if (length < 0x80) {
      if (pos_ < 2) {
        fail(SNMPAPI_OUTPUT_TRUNCATED);
        return;
      }
      buf_[--pos_] = static_cast<smiBYTE>(length);
    } else {
      smiBYTE count = 0;
      for (std::size_t l = length; l; l >>= 8) ++count;
      if (pos_ < static_cast<std::size_t>(count) + 2) {
        fail(SNMPAPI_OUTPUT_TRUNCATED);
        return;
      }
      for (std::size_t l = length; l; l >>= 8) buf_[--pos_] = static_cast<smiBYTE>(l & 0xFFu);
      buf_[--pos_] = static_cast<smiBYTE>(0x80 | count);
    }
    buf_[--pos_] = tag;
  }

  smiBYTE* buf_;
  std::size_t pos_;
  std::size_t end_;
  std::size_t stack_[kMaxDepth];
  std::size_t depth_ = 0;
  smiUINT32 error_ = 0;
};

}  // namespace snmp::ber
