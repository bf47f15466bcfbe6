// Our side of the comparison: the message model through snmp::codec and through the WinSNMP API.
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <memory>
#include <sstream>

#include "interop/message_model.h"
#include "snmp/codec.h"
#include "snmp/winsnmp.h"

namespace interop {

std::string toHex(const Bytes& b) {
  std::ostringstream os;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (i) os << ' ';
    os << std::hex << std::uppercase << std::setw(2) << std::setfill('0') << int{b[i]};
  }
  return os.str();
}

std::string toText(const Oid& oid) {
  std::string s;
  for (std::size_t i = 0; i < oid.size(); ++i) s += (i ? "." : "") + std::to_string(oid[i]);
  return s;
}

std::ostream& operator<<(std::ostream& os, const Var& v) {
  os << toText(v.name) << " syntax 0x" << std::hex << int{v.syntax} << std::dec << " number " << v.number;
  if (!v.bytes.empty()) os << " bytes [" << toHex(v.bytes) << "]";
  if (v.bits) os << " bits " << v.bits;
  if (!v.oid.empty()) os << " oid " << toText(v.oid);
  return os;
}

std::ostream& operator<<(std::ostream& os, const Message& m) {
  os << "{type 0x" << std::hex << m.type << std::dec << " id " << m.requestId << " status " << m.errorStatus
     << " index " << m.errorIndex << " community '" << m.community << "'";
  if (m.type == 0xA4) {
    os << " enterprise " << toText(m.enterprise) << " agent [" << toHex(m.agentAddress) << "] generic "
       << m.generic << " specific " << m.specific << " time " << m.timeStamp;
  }
  for (const auto& v : m.vars) os << "\n  " << v;
  return os << "}";
}

namespace {

bool isBytes(std::uint8_t s) { return s == 0x04 || s == 0x40 || s == 0x44 || s == 0x45; }

// Borrowed WinSNMP views of a Var.
struct VarView {
  smiOID name{};
  smiVALUE value{};
};

VarView view(const Var& v) {
  VarView w;
  w.name = {static_cast<smiUINT32>(v.name.size()), const_cast<smiUINT32*>(v.name.data())};
  w.value.syntax = v.syntax;
  if (isBytes(v.syntax)) {
    w.value.value.string = {static_cast<smiUINT32>(v.bytes.size()), const_cast<smiBYTE*>(v.bytes.data())};
  } else if (v.syntax == 0x03) {
    w.value.value.string = {v.bits, const_cast<smiBYTE*>(v.bytes.data())};
  } else if (v.syntax == 0x06) {
    w.value.value.oid = {static_cast<smiUINT32>(v.oid.size()), const_cast<smiUINT32*>(v.oid.data())};
  } else if (v.syntax == 0x46) {
    w.value.value.hNumber = {static_cast<smiUINT32>(v.number >> 32), static_cast<smiUINT32>(v.number)};
  } else if (v.syntax == 0x02) {
    w.value.value.sNumber = static_cast<smiINT>(static_cast<std::uint32_t>(v.number));
  } else if (v.syntax == 0x41 || v.syntax == 0x42 || v.syntax == 0x43 || v.syntax == 0x47) {
    w.value.value.uNumber = static_cast<smiUINT32>(v.number);
  }
  return w;
}

Var fromValue(const smiOID& name, const smiVALUE& value) {
  Var v;
  v.name.assign(name.ptr, name.ptr + name.len);
  v.syntax = static_cast<std::uint8_t>(value.syntax);
  if (isBytes(v.syntax)) {
    if (value.value.string.len) v.bytes.assign(value.value.string.ptr, value.value.string.ptr + value.value.string.len);
  } else if (v.syntax == 0x03) {
    v.bits = value.value.string.len;
    const std::size_t n = (v.bits + 7) / 8;
    if (n) v.bytes.assign(value.value.string.ptr, value.value.string.ptr + n);
  } else if (v.syntax == 0x06) {
    v.oid.assign(value.value.oid.ptr, value.value.oid.ptr + value.value.oid.len);
  } else if (v.syntax == 0x46) {
    v.number = (std::uint64_t{value.value.hNumber.hipart} << 32) | value.value.hNumber.lopart;
  } else if (v.syntax == 0x02) {
    v.number = static_cast<std::uint32_t>(value.value.sNumber);
  } else if (v.syntax == 0x41 || v.syntax == 0x42 || v.syntax == 0x43 || v.syntax == 0x47) {
    v.number = value.value.uNumber;
  }
  return v;
}

}  // namespace

Bytes oursEncode(const Message& m, std::uint32_t* code) {
  std::vector<VarView> views;
  for (const auto& v : m.vars) views.push_back(view(v));
  std::vector<snmp::codec::BindingRef> refs;
  for (const auto& w : views) refs.push_back({&w.name, &w.value});
  snmp::codec::EncodeInput in;
  in.pduType = m.type;
  in.requestId = m.requestId;
  in.errorStatus = m.errorStatus;
  in.errorIndex = m.errorIndex;
  smiOID enterprise{static_cast<smiUINT32>(m.enterprise.size()), const_cast<smiUINT32*>(m.enterprise.data())};
  smiOCTETS agent{static_cast<smiUINT32>(m.agentAddress.size()), const_cast<smiBYTE*>(m.agentAddress.data())};
  in.enterprise = &enterprise;
  in.agentAddress = &agent;
  in.genericTrap = m.generic;
  in.specificTrap = m.specific;
  in.timeStamp = m.timeStamp;
  in.community = reinterpret_cast<const smiBYTE*>(m.community.data());
  in.communityLength = static_cast<smiUINT32>(m.community.size());
  in.bindings = refs.data();
  in.count = static_cast<smiUINT32>(refs.size());
  smiOCTETS out{};
  const smiUINT32 rc = snmp::codec::encodeMessage(in, &out);
  if (code) *code = rc;
  Bytes wire(out.ptr, out.ptr + out.len);
  std::free(out.ptr);
  return wire;
}

bool oursDecode(const Bytes& wire, Message& m, std::uint32_t* code) {
  auto out = std::make_unique<snmp::codec::DecodeOutput>();
  std::size_t consumed = 0;
  const smiUINT32 rc = snmp::codec::decodeMessage(wire.data(), wire.size(), *out, &consumed);
  if (code) *code = rc;
  if (rc) return false;
  m = Message{};
  m.type = out->pduType;
  m.requestId = out->requestId;
  m.errorStatus = out->errorStatus;
  m.errorIndex = out->errorIndex;
  m.community.assign(reinterpret_cast<const char*>(out->community), out->communityLength);
  for (smiUINT32 i = 0; i < out->count; ++i) m.vars.push_back(fromValue(out->bindings[i].name, out->bindings[i].value));
  snmp::codec::freeDecoded(*out);
  return consumed == wire.size();
}

// ---- the WinSNMP API path ----

namespace {

struct Session {
  HSNMP_SESSION handle = 0;
  HSNMP_ENTITY entity = 0;
  Session() {
    smiUINT32 major, minor, level, translate, retransmit;
    if (!SnmpStartup(&major, &minor, &level, &translate, &retransmit)) return;
    handle = SnmpOpen(nullptr, 0);
    if (handle) entity = SnmpStrToEntity(handle, "127.0.0.1");
  }
  ~Session() {
    if (handle) SnmpClose(handle);
    SnmpCleanup();
  }
};

}  // namespace

Bytes apiEncode(const Message& m, std::uint32_t* code) {
  Session s;
  if (code) *code = SNMPAPI_OTHER_ERROR;
  if (!s.handle) return {};
  smiOCTETS community{static_cast<smiUINT32>(m.community.size()),
                      reinterpret_cast<smiBYTE*>(const_cast<char*>(m.community.data()))};
  const HSNMP_CONTEXT context = SnmpStrToContext(s.handle, &community);
  const HSNMP_VBL vbl = SnmpCreateVbl(s.handle, nullptr, nullptr);
  for (const auto& v : m.vars) {
    VarView w = view(v);
    SnmpSetVb(vbl, 0, &w.name, &w.value);
  }
  const HSNMP_PDU pdu = SnmpCreatePdu(s.handle, m.type, m.requestId, m.errorStatus, m.errorIndex, vbl);
  smiOCTETS out{};
  Bytes wire;
  if (SnmpEncodeMsg(s.handle, 0, s.entity, context, pdu, &out)) {
    wire.assign(out.ptr, out.ptr + out.len);
    SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &out);
    if (code) *code = 0;
  } else if (code) {
    *code = SnmpGetLastError(s.handle);
  }
  return wire;
}

bool apiDecode(const Bytes& wire, Message& m, std::uint32_t* code) {
  Session s;
  if (code) *code = SNMPAPI_OTHER_ERROR;
  if (!s.handle) return false;
  smiOCTETS in{static_cast<smiUINT32>(wire.size()), const_cast<smiBYTE*>(wire.data())};
  HSNMP_ENTITY src = 0, dst = 0;
  HSNMP_CONTEXT context = 0;
  HSNMP_PDU pdu = 0;
  const SNMPAPI_STATUS length = SnmpDecodeMsg(s.handle, &src, &dst, &context, &pdu, &in);
  if (!length) {
    if (code) *code = SnmpGetLastError(s.handle);
    return false;
  }
  m = Message{};
  smiOCTETS community{};
  SnmpContextToStr(context, &community);
  m.community.assign(reinterpret_cast<char*>(community.ptr), community.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &community);
  HSNMP_VBL vbl = 0;
  smiINT type = 0, status = 0, index = 0;
  smiINT32 id = 0;
  SnmpGetPduData(pdu, &type, &id, &status, &index, &vbl);
  m.type = type;
  m.requestId = id;
  m.errorStatus = status;
  m.errorIndex = index;
  const SNMPAPI_STATUS count = SnmpCountVbl(vbl);
  for (smiUINT32 i = 1; i <= count; ++i) {
    smiOID name{};
    smiVALUE value{};
    if (!SnmpGetVb(vbl, i, &name, &value)) continue;
    m.vars.push_back(fromValue(name, value));
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
    if (value.syntax == SNMP_SYNTAX_OID) {
      SnmpFreeDescriptor(SNMP_SYNTAX_OID, &value.value.oid);
    } else if (isBytes(static_cast<std::uint8_t>(value.syntax)) || value.syntax == SNMP_SYNTAX_BITS) {
      SnmpFreeDescriptor(value.syntax, &value.value.string);
    }
  }
  if (code) *code = 0;
  return length == wire.size();
}

}  // namespace interop
