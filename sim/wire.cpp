// Conversion between the codec's records and the simulator's plain values.
#include "sim/wire.h"

#include <memory>

#include "snmp/codec.h"

namespace sim {

namespace codec = snmp::codec;

namespace {

Value fromSmi(const smiVALUE& v) {
  Value out;
  switch (v.syntax) {
    case SNMP_SYNTAX_INT:
      out.syntax = Syntax::Integer;
      out.number = v.value.sNumber;
      break;
    case SNMP_SYNTAX_CNTR32: case SNMP_SYNTAX_GAUGE32: case SNMP_SYNTAX_TIMETICKS: case SNMP_SYNTAX_UINT32:
      out.syntax = Syntax(v.syntax);
      out.number = v.value.uNumber;
      break;
    case SNMP_SYNTAX_CNTR64:
      out.syntax = Syntax::Counter64;
      out.number = std::int64_t((std::uint64_t(v.value.hNumber.hipart) << 32) | v.value.hNumber.lopart);
      break;
    case SNMP_SYNTAX_OCTETS: case SNMP_SYNTAX_IPADDR: case SNMP_SYNTAX_OPAQUE:
      out.syntax = Syntax(v.syntax);
      if (v.value.string.ptr && v.value.string.len)
        out.bytes.assign(reinterpret_cast<const char*>(v.value.string.ptr), v.value.string.len);
      break;
    case SNMP_SYNTAX_OID:
      out.syntax = Syntax::ObjectId;
      if (v.value.oid.ptr) out.oid.assign(v.value.oid.ptr, v.value.oid.ptr + v.value.oid.len);
      break;
    default:  // NULL, and syntaxes a v1 unit does not store (bit strings, exceptions)
      out.syntax = Syntax::Null;
      break;
  }
  return out;
}

// Borrowed codec views of a binding list; lives as long as the bindings it points into.
struct SmiBindings {
  std::vector<smiOID> names;
  std::vector<smiVALUE> values;
  std::vector<codec::BindingRef> refs;

  SmiBindings(const std::vector<Binding>& bindings, std::size_t count) {
    names.resize(count);
    values.resize(count);
    refs.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      const Binding& b = bindings[i];
      names[i].len = smiUINT32(b.oid.size());
      names[i].ptr = const_cast<smiUINT32*>(b.oid.data());
      smiVALUE& v = values[i];
      v = smiVALUE{};
      v.syntax = smiUINT32(b.value.syntax);
      switch (b.value.syntax) {
        case Syntax::Integer: v.value.sNumber = smiINT(b.value.number); break;
        case Syntax::Counter: case Syntax::Gauge: case Syntax::TimeTicks: case Syntax::Unsigned32:
          v.value.uNumber = smiUINT32(b.value.number);
          break;
        case Syntax::Counter64:
          v.value.hNumber.hipart = smiUINT32(std::uint64_t(b.value.number) >> 32);
          v.value.hNumber.lopart = smiUINT32(std::uint64_t(b.value.number));
          break;
        case Syntax::Octets: case Syntax::IpAddress: case Syntax::Opaque:
          v.value.string.len = smiUINT32(b.value.bytes.size());
          v.value.string.ptr = reinterpret_cast<smiBYTE*>(const_cast<char*>(b.value.bytes.data()));
          break;
        case Syntax::ObjectId:
          v.value.oid.len = smiUINT32(b.value.oid.size());
          v.value.oid.ptr = const_cast<smiUINT32*>(b.value.oid.data());
          break;
        case Syntax::Null: break;
      }
      refs[i] = {&names[i], &values[i]};
    }
  }
};

std::uint32_t encodePdu(const std::string& community, int type, std::int32_t id, int status, int index,
                        const std::vector<Binding>& bindings, std::size_t count, Bytes& out) {
  SmiBindings smi(bindings, count);
  codec::EncodeInput in;
  in.pduType = type;
  in.requestId = id;
  in.errorStatus = status;
  in.errorIndex = index;
  in.community = reinterpret_cast<const smiBYTE*>(community.data());
  in.communityLength = smiUINT32(community.size());
  in.bindings = smi.refs.data();
  in.count = smiUINT32(count);
  smiBYTE buffer[codec::kMaxMessage];
  const smiBYTE* start = nullptr;
  std::size_t length = 0;
  std::uint32_t rc = codec::encodeInto(in, buffer, sizeof buffer, &start, &length);
  if (rc != 0) return rc;
  out.assign(start, start + length);
  return 0;
}

struct DecodedGuard {
  codec::DecodeOutput out;
  ~DecodedGuard() { codec::freeDecoded(out); }
};

std::optional<Reply> decodeAny(const std::uint8_t* data, std::size_t length, std::uint32_t* codecError) {
  auto guard = std::make_unique<DecodedGuard>();
  std::uint32_t rc = codec::decodeMessage(data, length, guard->out);
  if (codecError) *codecError = rc;
  if (rc != 0) return std::nullopt;
  const auto& d = guard->out;
  Reply r;
  std::size_t clen = d.communityLength < codec::kMaxCommunity ? d.communityLength : codec::kMaxCommunity;
  r.pdu.community.assign(reinterpret_cast<const char*>(d.community), clen);
  r.pdu.pduType = d.pduType;
  r.pdu.requestId = d.requestId;
  r.errorStatus = d.errorStatus;
  r.errorIndex = d.errorIndex;
  std::size_t count = d.count < codec::kMaxBindings ? d.count : codec::kMaxBindings;
  for (std::size_t i = 0; i < count; ++i) {
    Binding b;
    const smiOID& n = d.bindings[i].name;
    if (n.ptr) b.oid.assign(n.ptr, n.ptr + n.len);
    b.value = fromSmi(d.bindings[i].value);
    r.pdu.bindings.push_back(std::move(b));
  }
  return r;
}

}  // namespace

std::optional<Request> decodeRequest(const std::uint8_t* data, std::size_t length, std::uint32_t* codecError) {
  auto r = decodeAny(data, length, codecError);
  if (!r) return std::nullopt;
  return std::move(r->pdu);
}

std::optional<Reply> decodeReply(const std::uint8_t* data, std::size_t length, std::uint32_t* codecError) {
  return decodeAny(data, length, codecError);
}

std::uint32_t encodeRequest(const Request& r, Bytes& out) {
  return encodePdu(r.community, r.pduType, r.requestId, 0, 0, r.bindings, r.bindings.size(), out);
}

std::uint32_t encodeResponse(const Request& request, const Decision& d, Bytes& out) {
  return encodePdu(request.community, kPduResponse, request.requestId, d.errorStatus, d.errorIndex, d.bindings,
                   d.bindings.size(), out);
}

std::uint32_t encodeAnswer(const SnmpAgent& agent, const Request& request, Decision& d, Bytes& out) {
  std::uint32_t rc = encodeResponse(request, d, out);
  if (rc == SNMPAPI_OUTPUT_TRUNCATED && d.errorStatus == kNoError) {
    // Find how many leading bindings fit: the largest k whose reply encodes.
    std::size_t lo = 0, hi = d.bindings.size();
    Bytes probe;
    while (lo + 1 < hi) {
      std::size_t mid = (lo + hi) / 2;
      if (encodePdu(request.community, kPduResponse, request.requestId, 0, 0, d.bindings, mid, probe) == 0) lo = mid;
      else hi = mid;
    }
    Decision tooBig = agent.tooBigFor(request, lo);
    tooBig.fault = d.fault;
    tooBig.delayMs = d.delayMs;
    tooBig.event = d.event;
    d = std::move(tooBig);
    rc = encodeResponse(request, d, out);
  }
  if (rc == 0) damageReply(out, d.fault);
  return rc;
}

void damageReply(Bytes& message, ReplyFault fault) {
  switch (fault) {
    case ReplyFault::None: break;
    case ReplyFault::Short: message.resize(message.size() / 2); break;
    case ReplyFault::Malformed:
      if (!message.empty()) message[0] = 0x31;  // not a SEQUENCE: every decoder refuses it
      break;
  }
}

}  // namespace sim
