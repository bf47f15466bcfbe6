#include "snmp/binding_copy.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "snmp/post_error.h"

namespace snmp {

smiUINT32 copyOid(const smiOID& src, smiOID& dst) noexcept {
  dst = smiOID{0, nullptr};
  if (src.len == 0 || !src.ptr) return SNMPAPI_OID_INVALID;
  auto* ids = static_cast<smiUINT32*>(std::malloc(sizeof(smiUINT32) * src.len));
  if (!ids) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(ids, src.ptr, sizeof(smiUINT32) * src.len);
  dst = smiOID{src.len, ids};
  return kOk;
}

namespace {

// Copies `n` bytes; a zero length allocates nothing.
smiUINT32 copyBytes(const smiBYTE* src, smiUINT32 n, smiBYTE** dst) {
  *dst = nullptr;
  if (n == 0) return kOk;
  if (!src) return SNMPAPI_OTHER_ERROR;
  *dst = static_cast<smiBYTE*>(std::malloc(n));
  if (!*dst) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(*dst, src, n);
  return kOk;
}

}  // namespace

smiUINT32 copyValue(const smiVALUE& src, smiVALUE& dst) noexcept {
  smiVALUE out{};
  out.syntax = src.syntax;
  smiUINT32 rc = kOk;
  switch (valueClassOf(src.syntax)) {
    case ValueClass::Invalid:
      return SNMPAPI_SYNTAX_INVALID;
    case ValueClass::Signed:
      out.value.sNumber = src.value.sNumber;
      break;
    case ValueClass::Unsigned:
      out.value.uNumber = src.value.uNumber;
      break;
    case ValueClass::Counter64:
      out.value.hNumber = src.value.hNumber;
      break;
    case ValueClass::Empty:
      out.value.empty = src.value.empty;
      break;
    case ValueClass::Bytes:
      out.value.string.len = src.value.string.len;
      rc = copyBytes(src.value.string.ptr, src.value.string.len, &out.value.string.ptr);
      break;
    case ValueClass::Bits:
      // The length counts bits; the bytes held are that many bits rounded up.
      out.value.string.len = src.value.string.len;
      rc = copyBytes(src.value.string.ptr, bitStringBytes(src.value.string.len), &out.value.string.ptr);
      break;
    case ValueClass::Oid:
      if (src.value.oid.len == 0) {
        out.value.oid = smiOID{0, nullptr};
      } else if (!src.value.oid.ptr) {
        rc = SNMPAPI_OTHER_ERROR;
      } else {
        rc = copyOid(src.value.oid, out.value.oid);
      }
      break;
  }
  if (rc != kOk) return rc;
  dst = out;
  return kOk;
}

void freeValueContents(smiVALUE& value) noexcept {
  switch (valueClassOf(value.syntax)) {
    case ValueClass::Bytes:
    case ValueClass::Bits:
      std::free(value.value.string.ptr);
      value.value.string = smiOCTETS{0, nullptr};
      break;
    case ValueClass::Oid:
      std::free(value.value.oid.ptr);
      value.value.oid = smiOID{0, nullptr};
      break;
    default:
      break;
  }
}

smiUINT32 copyBinding(const smiOID* name, const smiVALUE* value, Binding& out) noexcept {
  if (!name) return SNMPAPI_OID_INVALID;
  if (!value) return SNMPAPI_OTHER_ERROR;
  auto* n = static_cast<smiOID*>(std::malloc(sizeof(smiOID)));
  auto* v = static_cast<smiVALUE*>(std::malloc(sizeof(smiVALUE)));
  if (!n || !v) {
    std::free(n);
    std::free(v);
    return SNMPAPI_ALLOC_ERROR;
  }
  smiUINT32 rc = copyOid(*name, *n);
  if (rc == kOk) {
    rc = copyValue(*value, *v);
    if (rc != kOk) std::free(n->ptr);
  }
  if (rc != kOk) {
    std::free(n);
    std::free(v);
    return rc;
  }
  out = Binding{n, v, nullptr};
  return kOk;
}

namespace {

// The head of a decoded message's shared block: how many bindings still hold a share. The
// shares all sit in one list and change only through that list's handle, as its count does,
// so a plain counter is enough.
struct SharedHead {
  smiUINT32 shares;
};
constexpr std::size_t kHeadSize =
    (sizeof(SharedHead) + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);

// Pieces stay 4-aligned so every OID array that follows is.
constexpr std::size_t round4(std::size_t n) noexcept { return (n + 3) & ~std::size_t{3}; }

std::size_t contentBytes(const smiVALUE& v, ValueClass kind) noexcept {
  switch (kind) {
    case ValueClass::Bytes:
      return v.value.string.ptr ? v.value.string.len : 0;
    case ValueClass::Bits:
      return v.value.string.ptr ? bitStringBytes(v.value.string.len) : 0;
    case ValueClass::Oid:
      return v.value.oid.ptr ? std::size_t{v.value.oid.len} * sizeof(smiUINT32) : 0;
    default:
      return 0;
  }
}

void releaseShare(void* block) noexcept {
  auto* head = static_cast<SharedHead*>(block);
  if (--head->shares == 0) std::free(block);
}

}  // namespace

smiUINT32 copyDecoded(const codec::DecodedBinding* in, smiUINT32 count, Binding* out) noexcept {
  if (count == 0) return kOk;
  if (count > kMaxBindings) count = kMaxBindings;
  ValueClass kinds[kMaxBindings];
  std::size_t data = 0;
  for (smiUINT32 i = 0; i < count; ++i) {
    kinds[i] = valueClassOf(in[i].value.syntax);
    data += round4(in[i].name.ptr ? std::size_t{in[i].name.len} * sizeof(smiUINT32) : 0);
    data += round4(contentBytes(in[i].value, kinds[i]));
  }
  const std::size_t total = kHeadSize + count * (sizeof(smiOID) + sizeof(smiVALUE)) + data;
  auto* base = static_cast<smiBYTE*>(std::malloc(total));
  if (!base) return SNMPAPI_ALLOC_ERROR;
  new (base) SharedHead{count};
  auto* names = reinterpret_cast<smiOID*>(base + kHeadSize);
  auto* values = reinterpret_cast<smiVALUE*>(names + count);
  auto* next = reinterpret_cast<smiBYTE*>(values + count);
  for (smiUINT32 i = 0; i < count; ++i) {
    const codec::DecodedBinding& b = in[i];
    const std::size_t nameBytes = b.name.ptr ? std::size_t{b.name.len} * sizeof(smiUINT32) : 0;
    names[i] = smiOID{nameBytes ? b.name.len : 0, nameBytes ? reinterpret_cast<smiUINT32*>(next) : nullptr};
    if (nameBytes) std::memcpy(next, b.name.ptr, nameBytes);
    next += round4(nameBytes);

    values[i] = b.value;
    const ValueClass kind = kinds[i];
    const std::size_t n = contentBytes(b.value, kind);
    if (kind == ValueClass::Bytes || kind == ValueClass::Bits) {
      values[i].value.string.ptr = n ? next : nullptr;
    } else if (kind == ValueClass::Oid) {
      values[i].value.oid.ptr = n ? reinterpret_cast<smiUINT32*>(next) : nullptr;
    }
    if (n) std::memcpy(next, kind == ValueClass::Oid ? static_cast<const void*>(b.value.value.oid.ptr)
                                                     : static_cast<const void*>(b.value.value.string.ptr), n);
    next += round4(n);
    out[i] = Binding{&names[i], &values[i], base};
  }
  return kOk;
}

smiUINT32 copyDecoded(const codec::DecodeOutput& in, Binding* out) noexcept {
  const smiUINT32 count = in.count <= kMaxBindings ? in.count : kMaxBindings;
  if (count == 0) return kOk;
  if (in.spilled) return copyDecoded(in.bindings, count, out);
  const std::size_t stored = in.storageUsed <= sizeof in.storage ? in.storageUsed : sizeof in.storage;
  const std::size_t total = kHeadSize + count * (sizeof(smiOID) + sizeof(smiVALUE)) + round4(stored);
  auto* base = static_cast<smiBYTE*>(std::malloc(total));
  if (!base) return SNMPAPI_ALLOC_ERROR;
  auto* names = reinterpret_cast<smiOID*>(base + kHeadSize);
  auto* values = reinterpret_cast<smiVALUE*>(names + count);
  auto* copy = reinterpret_cast<smiBYTE*>(values + count);
  std::memcpy(copy, in.storage, stored);
  // A piece moves by the storage's distance; one that is not inside the used storage (an
  // output filled some other way) sends the whole list the piece-by-piece way.
  bool inside = true;
  auto moved = [&](const void* p, std::size_t bytes) -> smiBYTE* {
    const auto* b = static_cast<const smiBYTE*>(p);
    if (b < in.storage || static_cast<std::size_t>(b - in.storage) > stored ||
        bytes > stored - static_cast<std::size_t>(b - in.storage)) {
      inside = false;
      return nullptr;
    }
    return copy + (b - in.storage);
  };
  for (smiUINT32 i = 0; i < count && inside; ++i) {
    const codec::DecodedBinding& b = in.bindings[i];
    const std::size_t nameBytes = b.name.ptr ? std::size_t{b.name.len} * sizeof(smiUINT32) : 0;
    names[i] = smiOID{nameBytes ? b.name.len : 0,
                      nameBytes ? reinterpret_cast<smiUINT32*>(moved(b.name.ptr, nameBytes)) : nullptr};
    values[i] = b.value;
    const ValueClass kind = valueClassOf(b.value.syntax);
    const std::size_t n = contentBytes(b.value, kind);
    if (kind == ValueClass::Bytes || kind == ValueClass::Bits) {
      values[i].value.string.ptr = n ? moved(b.value.value.string.ptr, n) : nullptr;
    } else if (kind == ValueClass::Oid) {
      values[i].value.oid.ptr = n ? reinterpret_cast<smiUINT32*>(moved(b.value.value.oid.ptr, n)) : nullptr;
    }
  }
  if (!inside) {
    std::free(base);
    return copyDecoded(in.bindings, count, out);
  }
  new (base) SharedHead{count};
  for (smiUINT32 i = 0; i < count; ++i) out[i] = Binding{&names[i], &values[i], base};
  return kOk;
}

void freeBinding(Binding& binding) noexcept {
  if (binding.block) {
    releaseShare(binding.block);
    binding = Binding{nullptr, nullptr, nullptr};
    return;
  }
  if (binding.name) std::free(binding.name->ptr);
  if (binding.value) freeValueContents(*binding.value);
  std::free(binding.name);
  std::free(binding.value);
  binding = Binding{nullptr, nullptr, nullptr};
}

}  // namespace snmp
