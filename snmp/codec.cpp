#include "snmp/codec.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "snmp/ber_reader.h"
#include "snmp/ber_writer.h"

namespace snmp::codec {

namespace {

constexpr smiBYTE kSequence = 0x30;

bool isPduType(smiINT type) noexcept { return type >= SNMP_PDU_GET && type <= SNMP_PDU_TRAP; }

bool isByteString(smiUINT32 syntax) noexcept {
  return syntax == SNMP_SYNTAX_OCTETS || syntax == SNMP_SYNTAX_IPADDR || syntax == SNMP_SYNTAX_OPAQUE ||
         syntax == SNMP_SYNTAX_NSAPADDR || syntax == SNMP_SYNTAX_BITS;
}

void freeBinding(DecodedBinding& b, ber::Arena& arena) noexcept {
  arena.give(b.name.ptr);
  b.name = {0, nullptr};
  if (isByteString(b.value.syntax)) {
    arena.give(b.value.value.string.ptr);
  } else if (b.value.syntax == SNMP_SYNTAX_OID) {
    arena.give(b.value.value.oid.ptr);
  }
  b.value = {};
}

ber::Arena arenaOf(DecodeOutput& out) noexcept {
  return ber::Arena{out.storage, sizeof out.storage, out.storageUsed, out.spilled};
}

// A value of syntax `tag` from the content of its element.
inline __attribute__((always_inline)) smiUINT32 readValue(smiBYTE tag, ber::Span s, smiVALUE& v,
                                                          ber::Arena& arena) noexcept {
  v.syntax = tag;
  switch (tag) {
    case SNMP_SYNTAX_INT:
      return ber::readSigned(s, v.value.sNumber);
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      return ber::readUnsigned(s, v.value.uNumber);
    case SNMP_SYNTAX_CNTR64: {
      std::uint64_t n = 0;
      const smiUINT32 code = ber::readUnsigned64(s, n);
      v.value.hNumber.hipart = static_cast<smiUINT32>(n >> 32);
      v.value.hNumber.lopart = static_cast<smiUINT32>(n);
      return code;
    }
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      return ber::readBytes(s, v.value.string, arena);
    case SNMP_SYNTAX_BITS:
      return ber::readBits(s, v.value.string, arena);
    case SNMP_SYNTAX_OID:
      return ber::readOid(s, v.value.oid, arena);
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      v.value.empty = 0;
      return s.size == 0 ? 0 : SNMPAPI_MESSAGE_INVALID;
    default:
      v.syntax = 0;
      return SNMPAPI_MESSAGE_INVALID;
  }
}

inline __attribute__((always_inline)) bool readInteger(ber::Reader& r, smiINT32& out) noexcept {
  ber::Span s;
  if (!r.primitive(SNMP_SYNTAX_INT, s)) return false;
  const smiUINT32 code = ber::readSigned(s, out);
  return code ? r.fail(code) : true;
}

// The fields of a received v1 trap until it is translated.
struct TrapFields {
  smiOID enterprise{0, nullptr};
  smiINT32 generic = 0;
  smiINT32 specific = 0;
  smiUINT32 timeStamp = 0;
};

smiOID* allocOid(smiOID& oid, std::initializer_list<smiUINT32> prefix, std::size_t extra,
                 ber::Arena& arena) noexcept {
  oid.ptr = static_cast<smiUINT32*>(arena.take((prefix.size() + extra) * sizeof(smiUINT32)));
  if (!oid.ptr) {
    oid.len = 0;
    return nullptr;
  }
  std::size_t n = 0;
  for (smiUINT32 id : prefix) oid.ptr[n++] = id;
  oid.len = static_cast<smiUINT32>(prefix.size() + extra);
  return &oid;
}

// Turns the decoded v1 trap into the SNMPv2 form: sysUpTime.0, snmpTrapOID.0, the received
// bindings, snmpTrapEnterprise.0. Takes ownership of the enterprise OID in every case.
smiUINT32 translateTrap(DecodeOutput& out, TrapFields& trap, ber::Arena& arena) noexcept {
  const smiUINT32 received = out.count;
  if (received > kMaxBindings - 3) {
    // The translated list would not fit one binding list: the translation fails like an
    // allocation and the trap is not delivered (the caller frees the received bindings).
    arena.give(trap.enterprise.ptr);
    trap.enterprise = {0, nullptr};
    return SNMPAPI_ALLOC_ERROR;
  }
  std::memmove(&out.bindings[2], &out.bindings[0], received * sizeof(DecodedBinding));
  out.count = received + 3;
  DecodedBinding& upTime = out.bindings[0];
  DecodedBinding& trapOid = out.bindings[1];
  DecodedBinding& enterprise = out.bindings[received + 2];
  upTime = {};
  trapOid = {};
  enterprise = {};

  bool ok = allocOid(upTime.name, {1, 3, 6, 1, 2, 1, 1, 3, 0}, 0, arena) != nullptr;
  upTime.value.syntax = SNMP_SYNTAX_TIMETICKS;
  upTime.value.value.uNumber = trap.timeStamp;

  ok = ok && allocOid(trapOid.name, {1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0}, 0, arena);
  trapOid.value.syntax = SNMP_SYNTAX_OID;
  if (ok && trap.generic == 6) {
    const smiUINT32 n = trap.enterprise.len;
    if (allocOid(trapOid.value.value.oid, {}, n + 2, arena)) {
      std::memcpy(trapOid.value.value.oid.ptr, trap.enterprise.ptr, n * sizeof(smiUINT32));
      trapOid.value.value.oid.ptr[n] = 0;
      trapOid.value.value.oid.ptr[n + 1] = static_cast<smiUINT32>(trap.specific);
    } else {
      ok = false;
    }
  } else if (ok) {
    const smiUINT32 last = trap.generic >= 0 && trap.generic <= 5 ? static_cast<smiUINT32>(trap.generic) + 1 : 0;
    ok = allocOid(trapOid.value.value.oid, {1, 3, 6, 1, 6, 3, 1, 1, 5, last}, 0, arena) != nullptr;
  }

  ok = ok && allocOid(enterprise.name, {1, 3, 6, 1, 6, 3, 1, 1, 4, 3, 0}, 0, arena);
  enterprise.value.syntax = SNMP_SYNTAX_OID;
  if (ok) {
    enterprise.value.value.oid = trap.enterprise;  // handed over, not copied
    trap.enterprise = {0, nullptr};
  } else {
    arena.give(trap.enterprise.ptr);
    trap.enterprise = {0, nullptr};
  }

  out.pduType = SNMP_PDU_TRAP;
  out.requestId = 1;
  out.errorStatus = 0;
  out.errorIndex = 0;
  return ok ? 0 : SNMPAPI_ALLOC_ERROR;
}

smiUINT32 decode(ber::Reader& r, DecodeOutput& out, TrapFields& trap, ber::Arena& arena) noexcept {
  smiBYTE tag;
  ber::Span s;
  if (!r.enter(kSequence, tag)) return r.error();

  // Version: an INTEGER 0 and nothing else.
  if (!r.primitive(SNMP_SYNTAX_INT, s)) return r.error();
  smiINT32 version = -1;
  if (ber::readSigned(s, version) || version != 0) return SNMPAPI_MESSAGE_INVALID;

  // Community: refused rather than cut when it would not fit a context, so a reply is never
  // attributed to a community that differs from the one it carried.
  if (!r.primitive(SNMP_SYNTAX_OCTETS, s)) return r.error();
  if (s.size > kMaxCommunity) return SNMPAPI_MESSAGE_INVALID;
  if (s.size) std::memcpy(out.community, s.data, s.size);
  out.communityLength = static_cast<smiUINT32>(s.size);

  if (!r.enter(tag)) return r.error();
  if (!isPduType(tag)) return SNMPAPI_MESSAGE_INVALID;
  out.pduType = tag;

  if (tag == SNMP_PDU_V1TRAP) {
    if (!r.primitive(SNMP_SYNTAX_OID, s)) return r.error();
    if (smiUINT32 code = ber::readOid(s, trap.enterprise, arena)) return code;
    if (!r.primitive(SNMP_SYNTAX_IPADDR, s)) return r.error();  // not kept
    if (!readInteger(r, trap.generic) || !readInteger(r, trap.specific)) return r.error();
    if (!r.primitive(SNMP_SYNTAX_TIMETICKS, s)) return r.error();
    if (smiUINT32 code = ber::readUnsigned(s, trap.timeStamp)) return code;
  } else {
    if (!readInteger(r, out.requestId) || !readInteger(r, out.errorStatus) || !readInteger(r, out.errorIndex))
      return r.error();
  }

  if (!r.enter(kSequence, tag)) return r.error();
  while (r.more()) {
    if (out.count >= kMaxBindings) return SNMPAPI_OUTPUT_TRUNCATED;
    DecodedBinding& b = out.bindings[out.count];
    // Field by field: a whole-struct clear here became a string instruction that cost more
    // than the rest of the binding. The string member spans the whole value union.
    b.name = smiOID{0, nullptr};
    b.value.syntax = 0;
    b.value.value.string = smiOCTETS{0, nullptr};
    // The usual binding, 30 L 06 n <name> T m <value> with short lengths that add up exactly,
    // is taken in one step; anything else goes the general way below, which reads the same
    // bytes and reports the same errors.
    const std::size_t left = r.left();
    const smiBYTE* p = r.here();
    if (left >= 6 && p[0] == kSequence && p[1] < 0x80 && p[1] + 2u <= left && p[2] == SNMP_SYNTAX_OID &&
        p[3] < 0x80 && p[3] + 6u <= p[1] + 2u) {
      const std::size_t whole = p[1] + 2u;
      const std::size_t n = p[3];
      const smiBYTE valueTag = p[4 + n];
      const std::size_t m = p[5 + n];
      if ((valueTag & 0x1F) != 0x1F && m < 0x80 && n + m + 6 == whole) {
        if (smiUINT32 code = ber::readOid({p + 4, n}, b.name, arena)) return code;
        ++out.count;
        if (smiUINT32 code = readValue(valueTag, {p + 6 + n, m}, b.value, arena)) return code;
        r.skip(whole);
        continue;
      }
    }
    if (!r.enter(kSequence, tag)) return r.error();
    if (!r.primitive(SNMP_SYNTAX_OID, s)) return r.error();
    if (smiUINT32 code = ber::readOid(s, b.name, arena)) return code;
    ++out.count;  // from here the binding is freed with the others on any failure
    if (!r.enter(tag) || !r.content(s)) return r.error();
    if (smiUINT32 code = readValue(tag, s, b.value, arena)) return code;
    if (!r.leave() || !r.leave()) return r.error();
  }
  if (!r.leave() || !r.leave() || !r.leave()) return r.error();

  if (out.pduType == SNMP_PDU_V1TRAP) return translateTrap(out, trap, arena);
  return 0;
}

}  // namespace

smiUINT32 encodeInto(const EncodeInput& in, smiBYTE* buffer, std::size_t capacity, const smiBYTE** start,
                     std::size_t* length) noexcept {
  if (start) *start = nullptr;
  if (length) *length = 0;
  if (!buffer || (in.count && !in.bindings) || (in.communityLength && !in.community)) return SNMPAPI_OTHER_ERROR;
  if (!isPduType(in.pduType)) return SNMPAPI_MESSAGE_INVALID;

  ber::Writer w(buffer, capacity);
  w.open();  // message
  w.open();  // PDU
  w.open();  // variable bindings
  for (smiUINT32 i = in.count; i-- > 0;) {
    const BindingRef& b = in.bindings[i];
    if (!b.name || !b.value) return SNMPAPI_OTHER_ERROR;
    w.open();
    w.putValue(*b.value);
    w.putOid(*b.name);
    w.close(kSequence);
    if (w.error()) return w.error();
  }
  w.close(kSequence);

  if (in.pduType == SNMP_PDU_V1TRAP) {
    static const smiBYTE kNoAddress[4] = {0, 0, 0, 0};
    w.putUnsigned(SNMP_SYNTAX_TIMETICKS, in.timeStamp);
    w.putInteger(SNMP_SYNTAX_INT, in.specificTrap);
    w.putInteger(SNMP_SYNTAX_INT, in.genericTrap);
    if (in.agentAddress) {
      w.putBytes(SNMP_SYNTAX_IPADDR, in.agentAddress->ptr, in.agentAddress->len);
    } else {
      w.putBytes(SNMP_SYNTAX_IPADDR, kNoAddress, sizeof kNoAddress);
    }
    if (!in.enterprise) return w.error() ? w.error() : SNMPAPI_OID_INVALID;
    w.putOid(*in.enterprise);
  } else {
    w.putInteger(SNMP_SYNTAX_INT, in.errorIndex);
    w.putInteger(SNMP_SYNTAX_INT, in.errorStatus);
    w.putInteger(SNMP_SYNTAX_INT, in.requestId);
  }
  w.close(static_cast<smiBYTE>(in.pduType));
  w.putBytes(SNMP_SYNTAX_OCTETS, in.community, in.communityLength);
  w.putUnsigned(SNMP_SYNTAX_INT, 0);  // version 1 is 0 on the wire
  w.close(kSequence);
  if (w.error()) return w.error();
  if (w.depth() != 0) return SNMPAPI_OTHER_ERROR;
  if (start) *start = w.data();
  if (length) *length = w.size();
  return 0;
}

smiUINT32 encodeMessage(const EncodeInput& in, smiOCTETS* out) noexcept {
  if (!out) return SNMPAPI_OTHER_ERROR;
  out->len = 0;
  out->ptr = nullptr;
  smiBYTE work[kMaxMessage];
  const smiBYTE* start = nullptr;
  std::size_t length = 0;
  if (smiUINT32 code = encodeInto(in, work, sizeof work, &start, &length)) return code;
  auto* bytes = static_cast<smiBYTE*>(std::malloc(length));
  if (!bytes) return SNMPAPI_ALLOC_ERROR;
  std::memcpy(bytes, start, length);
  out->len = static_cast<smiUINT32>(length);
  out->ptr = bytes;
  return 0;
}

smiUINT32 decodeMessage(const smiBYTE* data, std::size_t length, DecodeOutput& out, std::size_t* consumed) noexcept {
  out.communityLength = 0;
  out.pduType = 0;
  out.requestId = 0;
  out.errorStatus = 0;
  out.errorIndex = 0;
  out.count = 0;
  out.storageUsed = 0;
  out.spilled = false;
  if (consumed) *consumed = 0;

  ber::Reader r(data, data ? length : 0);
  TrapFields trap;
  ber::Arena arena = arenaOf(out);
  const smiUINT32 code = decode(r, out, trap, arena);
  out.storageUsed = arena.used;
  out.spilled = arena.spilled;
  arena.give(trap.enterprise.ptr);  // still here only when decoding stopped before translation
  if (code) {
    freeDecoded(out);
    return code;
  }
  if (consumed) *consumed = r.position();
  return 0;
}

void freeDecoded(DecodeOutput& out) noexcept {
  // Pieces inside the storage need nothing; only a spill-over has blocks to free.
  ber::Arena arena = arenaOf(out);
  if (out.spilled) {
    for (smiUINT32 i = 0; i < out.count && i < kMaxBindings; ++i) freeBinding(out.bindings[i], arena);
  }
  out.count = 0;
  out.storageUsed = 0;
  out.spilled = false;
  out.communityLength = 0;
}

}  // namespace snmp::codec
