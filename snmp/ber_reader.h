#pragma once
// Forward BER reader over an untrusted buffer. Every element entered pushes the enclosing end
// and length mode (definite, or indefinite ending in 00 00); every read is checked against the
// innermost end, so nothing is read past what the containers allow.
#include <cstddef>
#include <cstdint>

#include "snmp/winsnmp.h"

namespace snmp::ber {

// The content bytes of a primitive element.
struct Span {
  const smiBYTE* data = nullptr;
  std::size_t size = 0;
};

class Reader {
 public:
  static constexpr std::size_t kMaxDepth = 32;

  Reader(const smiBYTE* data, std::size_t length) noexcept : data_(data), pos_(0), end_(data ? length : 0) {}

  smiUINT32 error() const noexcept { return error_; }
  std::size_t position() const noexcept { return pos_; }
  std::size_t depth() const noexcept { return depth_; }

  // Reads an element header and enters the element. Returns false on error (see error()).
  bool enter(smiBYTE& tag) noexcept {
    if (error_) return false;
    // The common case inline: a short definite length with room for the tag and length bytes.
    if (end_ - pos_ >= 2 && data_[pos_ + 1] < 0x80 && (data_[pos_] & 0x1F) != 0x1F && depth_ < kMaxDepth) {
      const std::size_t length = data_[pos_ + 1];
      if (length > end_ - pos_ - 2) return fail(SNMPAPI_OUTPUT_TRUNCATED);
      tag = data_[pos_];
      pos_ += 2;
      stack_[depth_++] = {end_, indefinite_};
      end_ = pos_ + length;
      indefinite_ = false;
      return true;
    }
    return enterSlow(tag);
  }
  // Enters an element that must carry `expected` (else SNMPAPI_MESSAGE_INVALID).
  bool enter(smiBYTE expected, smiBYTE& tag) noexcept {
    if (!enter(tag)) return false;
    if (tag != expected) return fail(SNMPAPI_MESSAGE_INVALID);
    return true;
  }
  // Inside a primitive element just entered: its content, up to its end or (indefinite length)
  // up to the first pair of zero bytes. The read position moves past it.
  bool content(Span& span) noexcept {
    if (error_) return false;
    if (indefinite_) return contentUntilEnd(span);
    span.data = data_ + pos_;
    span.size = end_ - pos_;
    pos_ = end_;
    return true;
  }
  // True while a constructed element just entered has more elements before its end.
  bool more() const noexcept {
    if (error_ || pos_ >= end_) return false;
    return !(indefinite_ && data_[pos_] == 0x00);
  }
  // Leaves the innermost element: checks its end-of-contents or that it ended where its length
  // said, and restores the enclosing end.
  bool leave() noexcept {
    if (error_) return false;
    if (depth_ == 0) return fail(SNMPAPI_OTHER_ERROR);
    if (indefinite_) {
      if (!endOfContents()) return false;
    } else if (pos_ != end_) {
      return fail(SNMPAPI_MESSAGE_INVALID);
    }
    const Frame& f = stack_[--depth_];
    end_ = f.end;
    indefinite_ = f.indefinite;
    return true;
  }

  bool fail(smiUINT32 code) noexcept {
    if (!error_) error_ = code;
    return false;
  }

 private:
  struct Frame {
    std::size_t end;
    bool indefinite;
  };

  bool enterSlow(smiBYTE& tag) noexcept;
  bool contentUntilEnd(Span& span) noexcept;
  bool endOfContents() noexcept;

  const smiBYTE* data_;
  std::size_t pos_;
  std::size_t end_;
  bool indefinite_ = false;
  Frame stack_[kMaxDepth];
  std::size_t depth_ = 0;
  smiUINT32 error_ = 0;
};

// Content decoders shared by the codec. Each returns 0 or an engine error code.
// INTEGER: at most 4 bytes, or 5 when the first is 0x00; the first byte carries the sign.
smiUINT32 readSigned(Span s, smiINT32& out) noexcept;
// Unsigned 32-bit syntaxes: as INTEGER with the first byte taken as unsigned.
smiUINT32 readUnsigned(Span s, smiUINT32& out) noexcept;
// Counter64: at most 8 bytes, or 9 when the first is 0x00.
smiUINT32 readUnsigned64(Span s, std::uint64_t& out) noexcept;
// OBJECT IDENTIFIER into a malloc'ed array of exactly the sub-identifiers it holds.
smiUINT32 readOid(Span s, smiOID& out) noexcept;
// A byte string into a malloc'ed buffer (none for length 0).
smiUINT32 readBytes(Span s, smiOCTETS& out) noexcept;
// BIT STRING: unused-bits byte then the bytes; the stored length counts bits.
smiUINT32 readBits(Span s, smiOCTETS& out) noexcept;

}  // namespace snmp::ber
