// net-snmp's side of the comparison: its own PDU builder and parser over the message model.
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdlib>
#include <cstring>

#include "interop/message_model.h"

namespace interop {

namespace {

int command(int type) {
  switch (type) {
    case 0xA0: return SNMP_MSG_GET;
    case 0xA1: return SNMP_MSG_GETNEXT;
    case 0xA2: return SNMP_MSG_RESPONSE;
    case 0xA3: return SNMP_MSG_SET;
    case 0xA4: return SNMP_MSG_TRAP;
    case 0xA5: return SNMP_MSG_GETBULK;
    case 0xA6: return SNMP_MSG_INFORM;
    default: return SNMP_MSG_TRAP2;
  }
}

// net-snmp refuses SNMPv2 PDU types on a version-1 session, so those are built as version 2c
// and the version byte is set to 0 afterwards; every other byte is net-snmp's.
bool v2Only(int type) { return type >= 0xA5; }

// Offset of the version INTEGER's value byte in a message (after the outer header and 02 01).
std::size_t versionOffset(const Bytes& wire) {
  if (wire.size() < 2) return 0;
  std::size_t pos = 2;
  if (wire[1] & 0x80) pos += wire[1] & 0x7F;
  return pos + 2;
}

struct Session {
  netsnmp_session s;
  explicit Session(long version, const std::string& community) {
    snmp_sess_init(&s);
    s.version = version;
    s.community = reinterpret_cast<u_char*>(const_cast<char*>(community.data()));
    s.community_len = community.size();
  }
};

std::vector<oid> toNet(const Oid& o) { return std::vector<oid>(o.begin(), o.end()); }
Oid fromNet(const oid* o, std::size_t n) { return Oid(o, o + n); }

}  // namespace

void netsnmpInit() {
  static bool done = false;
  if (done) return;
  done = true;
  setenv("MIBS", "", 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
  // Back-to-front encoding gives minimal lengths, which is what BER leaves no choice about.
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_REVERSE_ENCODE, 1);
}

Bytes netsnmpBuild(const Message& m, std::string* error) {
  netsnmpInit();
  const long version = v2Only(m.type) ? SNMP_VERSION_2c : SNMP_VERSION_1;
  Session session(version, m.community);
  netsnmp_pdu* pdu = snmp_pdu_create(command(m.type));
  pdu->version = version;
  // Set on the PDU itself: net-snmp takes the session's community only for requests.
  pdu->community = static_cast<u_char*>(std::malloc(m.community.size() + 1));
  std::memcpy(pdu->community, m.community.data(), m.community.size());
  pdu->community_len = m.community.size();
  if (m.type == 0xA4) {
    auto ent = toNet(m.enterprise);
    pdu->enterprise = static_cast<oid*>(std::malloc(ent.size() * sizeof(oid)));
    std::memcpy(pdu->enterprise, ent.data(), ent.size() * sizeof(oid));
    pdu->enterprise_length = ent.size();
    std::memcpy(pdu->agent_addr, m.agentAddress.data(), std::min<std::size_t>(4, m.agentAddress.size()));
    pdu->trap_type = m.generic;
    pdu->specific_type = m.specific;
    pdu->time = m.timeStamp;
  } else {
    pdu->reqid = m.requestId;
    pdu->errstat = m.errorStatus;
    pdu->errindex = m.errorIndex;
  }
  for (const auto& v : m.vars) {
    auto name = toNet(v.name);
    long l = static_cast<std::int32_t>(static_cast<std::uint32_t>(v.number));
    u_long u = static_cast<std::uint32_t>(v.number);
    counter64 c64{static_cast<u_long>(v.number >> 32), static_cast<u_long>(v.number & 0xFFFFFFFFu)};
    Bytes bits;
    auto objid = toNet(v.oid);
    const void* value = nullptr;
    std::size_t len = 0;
    switch (v.syntax) {
      case 0x02: value = &l; len = sizeof l; break;
      case 0x41: case 0x42: case 0x43: case 0x47: value = &u; len = sizeof u; break;
      case 0x46: value = &c64; len = sizeof c64; break;
      case 0x04: case 0x40: case 0x44: case 0x45: value = v.bytes.data(); len = v.bytes.size(); break;
      case 0x03:
        // net-snmp keeps the unused-bits byte as the first byte of the value.
        bits.push_back(static_cast<std::uint8_t>((8 - v.bits % 8) % 8));
        bits.insert(bits.end(), v.bytes.begin(), v.bytes.end());
        value = bits.data();
        len = bits.size();
        break;
      case 0x06: value = objid.data(); len = objid.size() * sizeof(oid); break;
      default: break;
    }
    snmp_pdu_add_variable(pdu, name.data(), name.size(), v.syntax, value, len);
  }
  u_char* pkt = static_cast<u_char*>(std::malloc(2048));
  size_t pktLen = 2048, offset = 0;
  Bytes wire;
  if (snmp_build(&pkt, &pktLen, &offset, &session.s, pdu) == 0) {
    const u_char* start = pkt + pktLen - offset;
    wire.assign(start, start + offset);
    if (v2Only(m.type)) wire[versionOffset(wire)] = 0;
  } else if (error) {
    *error = snmp_api_errstring(session.s.s_snmp_errno);
  }
  std::free(pkt);
  snmp_free_pdu(pdu);
  return wire;
}

bool netsnmpParse(const Bytes& input, Message& m, std::string* error) {
  netsnmpInit();
  Bytes wire = input;
  // Our version-0 messages may carry SNMPv2 PDU types, which net-snmp parses only in a v2c
  // message: the version byte is the one thing changed for those.
  const std::size_t at = versionOffset(wire);
  const std::size_t pduAt = at + 1 < wire.size() ? at + 1 + 2 + wire[at + 2] : wire.size();
  const bool v2 = pduAt < wire.size() && v2Only(wire[pduAt]);
  if (v2) wire[at] = 1;
  const long version = v2 ? SNMP_VERSION_2c : SNMP_VERSION_1;
  Session session(version, "");
  netsnmp_pdu* pdu = static_cast<netsnmp_pdu*>(std::calloc(1, sizeof(netsnmp_pdu)));
  const int rc = snmp_parse(nullptr, &session.s, pdu, wire.data(), wire.size());
  if (rc != 0) {
    if (error) *error = snmp_api_errstring(session.s.s_snmp_errno);
    snmp_free_pdu(pdu);
    return false;
  }
  m = Message{};
  m.type = pdu->command;
  m.community.assign(reinterpret_cast<char*>(pdu->community), pdu->community_len);
  if (pdu->command == SNMP_MSG_TRAP) {
    m.enterprise = fromNet(pdu->enterprise, pdu->enterprise_length);
    m.agentAddress.assign(pdu->agent_addr, pdu->agent_addr + 4);
    m.generic = static_cast<std::int32_t>(pdu->trap_type);
    m.specific = static_cast<std::int32_t>(pdu->specific_type);
    m.timeStamp = static_cast<std::uint32_t>(pdu->time);
  } else {
    m.requestId = static_cast<std::int32_t>(pdu->reqid);
    m.errorStatus = static_cast<std::int32_t>(pdu->errstat);
    m.errorIndex = static_cast<std::int32_t>(pdu->errindex);
  }
  for (netsnmp_variable_list* v = pdu->variables; v; v = v->next_variable) {
    Var var;
    var.name = fromNet(v->name, v->name_length);
    var.syntax = v->type;
    switch (v->type) {
      case 0x02: var.number = static_cast<std::uint32_t>(static_cast<std::int32_t>(*v->val.integer)); break;
      case 0x41: case 0x42: case 0x43: case 0x47:
        var.number = static_cast<std::uint32_t>(*reinterpret_cast<u_long*>(v->val.integer));
        break;
      case 0x46: var.number = (std::uint64_t{v->val.counter64->high} << 32) | v->val.counter64->low; break;
      case 0x04: case 0x40: case 0x44: case 0x45:
        var.bytes.assign(v->val.string, v->val.string + v->val_len);
        break;
      case 0x03:
        if (v->val_len >= 1) {
          var.bytes.assign(v->val.bitstring + 1, v->val.bitstring + v->val_len);
          var.bits = static_cast<std::uint32_t>(8 * (v->val_len - 1) - v->val.bitstring[0]);
        }
        break;
      case 0x06: var.oid = fromNet(v->val.objid, v->val_len / sizeof(oid)); break;
      default: break;
    }
    m.vars.push_back(var);
  }
  snmp_free_pdu(pdu);
  return true;
}

}  // namespace interop
