#pragma once
// Forward BER reader over an untrusted buffer. Every element entered pushes the enclosing end
// and length mode (definite, or indefinite ending in 00 00); every read is checked against the
// innermost end, so nothing is read past what the containers allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
  // The hot calls are forced inline: a message walks them a dozen times per binding.
  [[gnu::always_inline]] bool enter(smiBYTE& tag) noexcept {
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
  [[gnu::always_inline]] bool enter(smiBYTE expected, smiBYTE& tag) noexcept {
    if (!enter(tag)) return false;
    if (tag != expected) return fail(SNMPAPI_MESSAGE_INVALID);
    return true;
  }
  // Inside a primitive element just entered: its content, up to its end or (indefinite length)
  // up to the first pair of zero bytes. The read position moves past it.
  [[gnu::always_inline]] bool content(Span& span) noexcept {
    if (error_) return false;
    if (indefinite_) return contentUntilEnd(span);
    span.data = data_ + pos_;
    span.size = end_ - pos_;
    pos_ = end_;
    return true;
  }
  // Reads a whole primitive element of tag `expected` and gives its content: enter, content
  // and leave in one. A short definite length is taken without entering; every other form goes
  // the general way, which reports the same errors.
  [[gnu::always_inline]] bool primitive(smiBYTE expected, Span& span) noexcept {
    if (!error_ && end_ - pos_ >= 2 && data_[pos_] == expected && data_[pos_ + 1] < 0x80 && depth_ < kMaxDepth) {
      const std::size_t length = data_[pos_ + 1];
      if (length <= end_ - pos_ - 2) {
        span.data = data_ + pos_ + 2;
        span.size = length;
        pos_ += 2 + length;
        return true;
      }
    }
    smiBYTE tag;
    return enter(expected, tag) && content(span) && leave();
  }
  // True while a constructed element just entered has more elements before its end.
  [[gnu::always_inline]] bool more() const noexcept {
    if (error_ || pos_ >= end_) return false;
    return !(indefinite_ && data_[pos_] == 0x00);
  }
  // Leaves the innermost element: checks its end-of-contents or that it ended where its length
  // said, and restores the enclosing end.
  [[gnu::always_inline]] bool leave() noexcept {
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

  // The unread bytes up to the innermost end, for a caller that takes a simple element whole,
  // and the step past it (`n` at most left()).
  const smiBYTE* here() const noexcept { return data_ + pos_; }
  std::size_t left() const noexcept { return error_ ? 0 : end_ - pos_; }
  void skip(std::size_t n) noexcept { pos_ += n; }

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

// Storage for decoded OIDs and byte strings: pieces are cut from a caller's buffer (4-aligned)
// and come from malloc once it is full, so a message of any length still decodes. owns()
// tells the two apart; give() returns a piece either way.
struct Arena {
  smiBYTE* base = nullptr;
  std::size_t capacity = 0;
  std::size_t used = 0;
  bool spilled = false;  // some piece came from malloc

  void* take(std::size_t n) noexcept {
    const std::size_t at = (used + 3) & ~std::size_t{3};
    if (at <= capacity && n <= capacity - at) {
      used = at + n;
      return base + at;
    }
    spilled = true;
    return std::malloc(n);
  }
  // Gives back the tail of the piece taken last, keeping its first `keep` bytes: a reader
  // takes room for the longest content and returns what it did not fill.
  void trim(void* p, std::size_t keep) noexcept {
    if (owns(p)) used = static_cast<std::size_t>(static_cast<smiBYTE*>(p) - base) + keep;
  }
  bool owns(const void* p) const noexcept {
    const auto* b = static_cast<const smiBYTE*>(p);
    return b && base && b >= base && b < base + capacity;
  }
  void give(void* p) noexcept {
    if (!owns(p)) std::free(p);
  }
};

// Content decoders shared by the codec. Each returns 0 or an engine error code.
// INTEGER: at most 4 bytes, or 5 when the first is 0x00 or a sign-repeating 0xFF; the first byte
// carries the sign.
smiUINT32 readSigned(Span s, smiINT32& out) noexcept;
// Unsigned 32-bit syntaxes: as INTEGER with the first byte taken as unsigned.
smiUINT32 readUnsigned(Span s, smiUINT32& out) noexcept;
// Counter64: at most 8 bytes, or 9 when the first is 0x00.
smiUINT32 readUnsigned64(Span s, std::uint64_t& out) noexcept;
// OBJECT IDENTIFIER into an array from `arena` of exactly the sub-identifiers it holds.
smiUINT32 readOid(Span s, smiOID& out, Arena& arena) noexcept;
// A byte string into a piece of `arena` (none for length 0).
smiUINT32 readBytes(Span s, smiOCTETS& out, Arena& arena) noexcept;
// BIT STRING: unused-bits byte then the bytes; the stored length counts bits.
smiUINT32 readBits(Span s, smiOCTETS& out, Arena& arena) noexcept;

}  // namespace snmp::ber
