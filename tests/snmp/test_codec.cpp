// The BER codec below the handle layer: exact bytes of what it writes, every refusal of what it
// reads, the v1 trap translation, and robustness against cut and damaged input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "snmp/ber_reader.h"
#include "snmp/ber_writer.h"
#include "snmp/codec.h"

namespace {

using snmp::codec::BindingRef;
using snmp::codec::DecodeOutput;
using snmp::codec::EncodeInput;
using Bytes = std::vector<smiBYTE>;

Bytes hex(const std::string& text) {
  Bytes out;
  int nibble = -1;
  for (char c : text) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else continue;
    if (nibble < 0) {
      nibble = v;
    } else {
      out.push_back(static_cast<smiBYTE>(nibble * 16 + v));
      nibble = -1;
    }
  }
  return out;
}

std::string toHex(const smiBYTE* p, std::size_t n) {
  static const char* d = "0123456789ABCDEF";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    if (i) s += ' ';
    s += d[p[i] >> 4];
    s += d[p[i] & 15];
  }
  return s;
}
std::string toHex(const Bytes& b) { return toHex(b.data(), b.size()); }

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// One definite-length TLV (lengths up to 65535).
Bytes tlv(smiBYTE tag, const Bytes& content) {
  Bytes out{tag};
  const std::size_t n = content.size();
  if (n < 128) {
    out.push_back(static_cast<smiBYTE>(n));
  } else if (n < 256) {
    out.insert(out.end(), {0x81, static_cast<smiBYTE>(n)});
  } else {
    out.insert(out.end(), {0x82, static_cast<smiBYTE>(n >> 8), static_cast<smiBYTE>(n)});
  }
  out.insert(out.end(), content.begin(), content.end());
  return out;
}

Bytes str(const std::string& s) { return Bytes(s.begin(), s.end()); }

const Bytes kSysName = hex("06 08 2B 06 01 02 01 01 05 00");  // 1.3.6.1.2.1.1.5.0

Bytes message(const Bytes& pdu, const Bytes& community = str("public"), const Bytes& version = hex("02 01 00")) {
  return tlv(0x30, cat({version, tlv(0x04, community), pdu}));
}

Bytes response(const Bytes& bindingList, smiBYTE type = 0xA2) {
  return tlv(type, cat({hex("02 01 07 02 01 00 02 01 00"), bindingList}));
}

Bytes binding(const Bytes& name, const Bytes& value) { return tlv(0x30, cat({name, value})); }

// Owns the OIDs and values an EncodeInput borrows.
struct Request {
  std::vector<std::vector<smiUINT32>> ids;
  std::vector<smiOID> names;
  std::vector<smiVALUE> values;
  std::vector<BindingRef> refs;
  std::string community = "public";

  void add(std::vector<smiUINT32> oid, smiVALUE value) {
    ids.push_back(std::move(oid));
    values.push_back(value);
  }
  EncodeInput input(smiINT type = SNMP_PDU_GET, smiINT32 requestId = 2) {
    names.clear();
    refs.clear();
    for (auto& v : ids) names.push_back({static_cast<smiUINT32>(v.size()), v.data()});
    for (std::size_t i = 0; i < ids.size(); ++i) refs.push_back({&names[i], &values[i]});
    EncodeInput in;
    in.pduType = type;
    in.requestId = requestId;
    in.community = reinterpret_cast<const smiBYTE*>(community.data());
    in.communityLength = static_cast<smiUINT32>(community.size());
    in.bindings = refs.data();
    in.count = static_cast<smiUINT32>(refs.size());
    return in;
  }
};

smiVALUE nullValue() {
  smiVALUE v{};
  v.syntax = SNMP_SYNTAX_NULL;
  return v;
}

Bytes encode(const EncodeInput& in, smiUINT32* code = nullptr) {
  smiOCTETS out{};
  const smiUINT32 rc = snmp::codec::encodeMessage(in, &out);
  if (code) *code = rc;
  Bytes b(out.ptr, out.ptr + out.len);
  std::free(out.ptr);
  return b;
}

// Decodes and frees at scope end.
struct Decoded {
  DecodeOutput out;
  smiUINT32 code;
  std::size_t consumed = 0;
  explicit Decoded(const Bytes& b) { code = snmp::codec::decodeMessage(b.data(), b.size(), out, &consumed); }
  ~Decoded() { snmp::codec::freeDecoded(out); }
  std::vector<smiUINT32> name(std::size_t i) const {
    return {out.bindings[i].name.ptr, out.bindings[i].name.ptr + out.bindings[i].name.len};
  }
  std::vector<smiUINT32> oidValue(std::size_t i) const {
    const smiOID& o = out.bindings[i].value.value.oid;
    return {o.ptr, o.ptr + o.len};
  }
};

// ---- encoding ----

TEST(CodecEncode, GetRequestMatchesTheWireLayoutForEveryCommunityLength) {
  for (std::size_t n : {1u, 6u, 32u, 95u}) {
    Request r;
    r.community.assign(n, 'c');
    r.add({1, 3, 6, 1, 2, 1, 1, 5, 0}, nullValue());
    const Bytes expected = cat({hex("30"), Bytes{static_cast<smiBYTE>(32 + n)}, hex("02 01 00 04"),
                                Bytes{static_cast<smiBYTE>(n)}, Bytes(n, 'c'),
                                hex("A0 19 02 01 02 02 01 00 02 01 00 30 0E 30 0C 06 08 2B 06 01 02 01 01 05 00 05 00")});
    smiUINT32 code = 1;
    EXPECT_EQ(toHex(encode(r.input(), &code)), toHex(expected)) << "community of " << n;
    EXPECT_EQ(code, 0u);
  }
}

struct ValueCase {
  const char* name;
  smiVALUE value;
  std::vector<smiBYTE> bytes;  // byte-string content, or bit-string bytes
  std::vector<smiUINT32> oid;
  const char* expected;
};

smiVALUE num(smiUINT32 syntax, std::uint64_t n) {
  smiVALUE v{};
  v.syntax = syntax;
  if (syntax == SNMP_SYNTAX_CNTR64) {
    v.value.hNumber.hipart = static_cast<smiUINT32>(n >> 32);
    v.value.hNumber.lopart = static_cast<smiUINT32>(n);
  } else {
    v.value.uNumber = static_cast<smiUINT32>(n);
  }
  return v;
}
smiVALUE sval(smiUINT32 syntax, smiUINT32 len = 0) {
  smiVALUE v{};
  v.syntax = syntax;
  v.value.string.len = len;
  return v;
}

std::vector<ValueCase> valueCases() {
  const Bytes two00(200, 'x');
  return {
      {"INTEGER 0", num(SNMP_SYNTAX_INT, 0), {}, {}, "02 01 00"},
      {"INTEGER -1", num(SNMP_SYNTAX_INT, static_cast<smiUINT32>(-1)), {}, {}, "02 01 FF"},
      {"INTEGER 127", num(SNMP_SYNTAX_INT, 127), {}, {}, "02 01 7F"},
      {"INTEGER 128", num(SNMP_SYNTAX_INT, 128), {}, {}, "02 02 00 80"},
      {"INTEGER 255", num(SNMP_SYNTAX_INT, 255), {}, {}, "02 02 00 FF"},
      {"INTEGER -128", num(SNMP_SYNTAX_INT, static_cast<smiUINT32>(-128)), {}, {}, "02 01 80"},
      {"INTEGER -129", num(SNMP_SYNTAX_INT, static_cast<smiUINT32>(-129)), {}, {}, "02 02 FF 7F"},
      {"INTEGER 32768", num(SNMP_SYNTAX_INT, 32768), {}, {}, "02 03 00 80 00"},
      {"INTEGER max", num(SNMP_SYNTAX_INT, 0x7FFFFFFF), {}, {}, "02 04 7F FF FF FF"},
      {"INTEGER min", num(SNMP_SYNTAX_INT, 0x80000000u), {}, {}, "02 04 80 00 00 00"},
      {"Counter32 0", num(SNMP_SYNTAX_CNTR32, 0), {}, {}, "41 01 00"},
      {"Gauge32 4294967295", num(SNMP_SYNTAX_GAUGE32, 4294967295u), {}, {}, "42 05 00 FF FF FF FF"},
      {"TimeTicks 2^31", num(SNMP_SYNTAX_TIMETICKS, 0x80000000u), {}, {}, "43 05 00 80 00 00 00"},
      {"Unsigned32 127", num(SNMP_SYNTAX_UINT32, 127), {}, {}, "47 01 7F"},
      {"Unsigned32 128", num(SNMP_SYNTAX_UINT32, 128), {}, {}, "47 02 00 80"},
      {"Counter64 0", num(SNMP_SYNTAX_CNTR64, 0), {}, {}, "46 01 00"},
      {"Counter64 2^32", num(SNMP_SYNTAX_CNTR64, 0x100000000ull), {}, {}, "46 05 01 00 00 00 00"},
      {"Counter64 max", num(SNMP_SYNTAX_CNTR64, ~0ull), {}, {}, "46 09 00 FF FF FF FF FF FF FF FF"},
      {"OCTET STRING empty", sval(SNMP_SYNTAX_OCTETS), {}, {}, "04 00"},
      {"OCTET STRING 200 bytes", sval(SNMP_SYNTAX_OCTETS, 200), two00, {}, nullptr},
      {"IpAddress", sval(SNMP_SYNTAX_IPADDR, 4), {10, 1, 2, 3}, {}, "40 04 0A 01 02 03"},
      {"Opaque", sval(SNMP_SYNTAX_OPAQUE, 2), {0x9F, 0x78}, {}, "44 02 9F 78"},
      {"NsapAddress", sval(SNMP_SYNTAX_NSAPADDR, 3), {1, 2, 3}, {}, "45 03 01 02 03"},
      {"BIT STRING 12 bits", sval(SNMP_SYNTAX_BITS, 12), {0xA5, 0xF0}, {}, "03 03 04 A5 F0"},
      {"BIT STRING 16 bits", sval(SNMP_SYNTAX_BITS, 16), {0xA5, 0xF0}, {}, "03 03 00 A5 F0"},
      {"BIT STRING 1 bit", sval(SNMP_SYNTAX_BITS, 1), {0x80}, {}, "03 02 07 80"},
      {"BIT STRING empty", sval(SNMP_SYNTAX_BITS, 0), {}, {}, "03 01 00"},
      {"NULL", sval(SNMP_SYNTAX_NULL), {}, {}, "05 00"},
      {"noSuchObject", sval(SNMP_SYNTAX_NOSUCHOBJECT), {}, {}, "80 00"},
      {"noSuchInstance", sval(SNMP_SYNTAX_NOSUCHINSTANCE), {}, {}, "81 00"},
      {"endOfMibView", sval(SNMP_SYNTAX_ENDOFMIBVIEW), {}, {}, "82 00"},
      {"OID 1.3.6.1", sval(SNMP_SYNTAX_OID), {}, {1, 3, 6, 1}, "06 03 2B 06 01"},
      {"OID 0.0", sval(SNMP_SYNTAX_OID), {}, {0, 0}, "06 01 00"},
      {"OID with 128 and 16383", sval(SNMP_SYNTAX_OID), {}, {1, 3, 128, 16383, 16384},
       "06 08 2B 81 00 FF 7F 81 80 00"},
      {"OID 2.999", sval(SNMP_SYNTAX_OID), {}, {2, 999}, "06 02 88 37"},
      {"OID largest sub-identifier", sval(SNMP_SYNTAX_OID), {}, {1, 3, 4294967295u}, "06 06 2B 8F FF FF FF 7F"},
      {"OID 2.4294967295", sval(SNMP_SYNTAX_OID), {}, {2, 4294967295u}, "06 05 90 80 80 80 4F"},
  };
}

void bind(ValueCase& c) {
  if (c.value.syntax == SNMP_SYNTAX_OID) {
    c.value.value.oid = {static_cast<smiUINT32>(c.oid.size()), c.oid.data()};
  } else if (!c.bytes.empty()) {
    c.value.value.string.ptr = c.bytes.data();
  }
}

TEST(CodecEncode, ValuesTakeTheirMinimalForms) {
  auto cases = valueCases();
  for (auto& c : cases) {
    bind(c);
    smiBYTE buf[512];
    snmp::ber::Writer w(buf, sizeof buf);
    w.putValue(c.value);
    ASSERT_EQ(w.error(), 0u) << c.name;
    if (c.expected) {
      EXPECT_EQ(toHex(w.data(), w.size()), toHex(hex(c.expected))) << c.name;
    } else {
      ASSERT_EQ(w.size(), 203u) << c.name;
      EXPECT_EQ(toHex(w.data(), 3), "04 81 C8") << c.name;
    }
  }
}

TEST(CodecRoundTrip, EveryValueSyntaxDecodesToWhatWasEncoded) {
  auto cases = valueCases();
  for (auto& c : cases) {
    bind(c);
    Request r;
    r.add({1, 3, 6, 1, 4, 1, 1240, 1}, c.value);
    const Bytes wire = encode(r.input(SNMP_PDU_RESPONSE, 77));
    Decoded d(wire);
    ASSERT_EQ(d.code, 0u) << c.name;
    ASSERT_EQ(d.out.count, 1u) << c.name;
    const smiVALUE& v = d.out.bindings[0].value;
    ASSERT_EQ(v.syntax, c.value.syntax) << c.name;
    switch (v.syntax) {
      case SNMP_SYNTAX_INT:
        EXPECT_EQ(v.value.sNumber, c.value.value.sNumber) << c.name;
        break;
      case SNMP_SYNTAX_CNTR64:
        EXPECT_EQ(v.value.hNumber.hipart, c.value.value.hNumber.hipart) << c.name;
        EXPECT_EQ(v.value.hNumber.lopart, c.value.value.hNumber.lopart) << c.name;
        break;
      case SNMP_SYNTAX_OID:
        EXPECT_EQ(d.oidValue(0), c.oid) << c.name;
        break;
      case SNMP_SYNTAX_OCTETS:
      case SNMP_SYNTAX_IPADDR:
      case SNMP_SYNTAX_OPAQUE:
      case SNMP_SYNTAX_NSAPADDR:
      case SNMP_SYNTAX_BITS: {
        EXPECT_EQ(v.value.string.len, c.value.value.string.len) << c.name;
        const std::size_t n = v.syntax == SNMP_SYNTAX_BITS ? (v.value.string.len + 7) / 8 : v.value.string.len;
        EXPECT_EQ(Bytes(v.value.string.ptr, v.value.string.ptr + n), c.bytes) << c.name;
        if (n == 0) {
          EXPECT_EQ(v.value.string.ptr, nullptr) << c.name;
        }
        break;
      }
      case SNMP_SYNTAX_NULL:
      case SNMP_SYNTAX_NOSUCHOBJECT:
      case SNMP_SYNTAX_NOSUCHINSTANCE:
      case SNMP_SYNTAX_ENDOFMIBVIEW:
        break;
      default:
        EXPECT_EQ(v.value.uNumber, c.value.value.uNumber) << c.name;
    }
    EXPECT_EQ(d.name(0), (std::vector<smiUINT32>{1, 3, 6, 1, 4, 1, 1240, 1})) << c.name;
  }
}

TEST(CodecRoundTrip, EveryPduTypeKeepsItsHeader) {
  for (smiINT type : {SNMP_PDU_GET, SNMP_PDU_GETNEXT, SNMP_PDU_RESPONSE, SNMP_PDU_SET, SNMP_PDU_GETBULK,
                      SNMP_PDU_INFORM, SNMP_PDU_TRAP}) {
    Request r;
    r.community = "private";
    r.add({1, 3, 6, 1, 2, 1, 1, 5, 0}, nullValue());
    r.add({1, 3, 6, 1, 2, 1, 1, 3, 0}, num(SNMP_SYNTAX_TIMETICKS, 12345));
    EncodeInput in = r.input(type, -559038737);
    in.errorStatus = 5;
    in.errorIndex = 2;
    const Bytes wire = encode(in);
    Decoded d(wire);
    ASSERT_EQ(d.code, 0u) << type;
    EXPECT_EQ(d.consumed, wire.size());
    EXPECT_EQ(d.out.pduType, type);
    EXPECT_EQ(d.out.requestId, -559038737);
    EXPECT_EQ(d.out.errorStatus, 5);
    EXPECT_EQ(d.out.errorIndex, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(d.out.community), d.out.communityLength), "private");
    ASSERT_EQ(d.out.count, 2u);
    EXPECT_EQ(d.out.bindings[1].value.value.uNumber, 12345u);
  }
}

TEST(CodecEncode, V1TrapWritesItsFiveFields) {
  Request r;
  r.add({1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 3}, num(SNMP_SYNTAX_INT, 3));
  EncodeInput in = r.input(SNMP_PDU_V1TRAP, 0);
  smiUINT32 ent[] = {1, 3, 6, 1, 4, 1, 1240};
  smiOID enterprise{7, ent};
  smiBYTE addr[] = {192, 168, 1, 9};
  smiOCTETS agent{4, addr};
  in.enterprise = &enterprise;
  in.agentAddress = &agent;
  in.genericTrap = 2;
  in.specificTrap = 0;
  in.timeStamp = 200;
  EXPECT_EQ(toHex(encode(in)),
            toHex(hex("30 39 02 01 00 04 06 70 75 62 6C 69 63 A4 2C 06 07 2B 06 01 04 01 89 58 40 04 C0 A8 01 09"
                      "02 01 02 02 01 00 43 02 00 C8 30 11 30 0F 06 0A 2B 06 01 02 01 02 02 01 01 03 02 01 03")));
}

TEST(CodecEncode, FailuresCarryTheirCodes) {
  smiUINT32 shortOid[] = {1};
  smiUINT32 ambiguous[] = {1, 40};
  smiUINT32 badFirst[] = {3, 1};
  smiUINT32 good[] = {1, 3, 6};
  struct Case {
    const char* name;
    smiOID name_;
    smiVALUE value;
    smiINT type;
    smiUINT32 code;
  } cases[] = {
      {"name of one sub-identifier", {1, shortOid}, nullValue(), SNMP_PDU_GET, SNMPAPI_OID_INVALID},
      {"empty name", {0, nullptr}, nullValue(), SNMP_PDU_GET, SNMPAPI_OID_INVALID},
      {"second arc 40 under 1", {2, ambiguous}, nullValue(), SNMP_PDU_GET, SNMPAPI_OID_INVALID},
      {"first arc 3", {2, badFirst}, nullValue(), SNMP_PDU_GET, SNMPAPI_OID_INVALID},
      {"unknown syntax", {3, good}, num(0x07, 0), SNMP_PDU_GET, SNMPAPI_MESSAGE_INVALID},
      {"unknown PDU type", {0, nullptr}, nullValue(), 0x9F, SNMPAPI_MESSAGE_INVALID},
      {"PDU type A8", {0, nullptr}, nullValue(), 0xA8, SNMPAPI_MESSAGE_INVALID},
  };
  for (auto& c : cases) {
    BindingRef ref{&c.name_, &c.value};
    EncodeInput in;
    in.pduType = c.type;
    in.bindings = &ref;
    in.count = 1;
    EXPECT_EQ(encode(in).size(), 0u) << c.name;
    smiOCTETS out{};
    EXPECT_EQ(snmp::codec::encodeMessage(in, &out), c.code) << c.name;
    EXPECT_EQ(out.ptr, nullptr) << c.name;
  }

  EncodeInput trap;
  trap.pduType = SNMP_PDU_V1TRAP;
  smiOCTETS out{};
  EXPECT_EQ(snmp::codec::encodeMessage(trap, &out), SNMPAPI_OID_INVALID) << "trap without enterprise";
}

TEST(CodecEncode, WorkAreaLimitIsExactly1408Bytes) {
  // A GET with community "public" and one OCTET STRING value around 1360 bytes.
  for (std::size_t size : {1300u, 1361u, 1362u, 1363u, 1400u, 5000u}) {
    Bytes payload(size, 'p');
    Request r;
    smiVALUE v = sval(SNMP_SYNTAX_OCTETS, static_cast<smiUINT32>(size));
    v.value.string.ptr = payload.data();
    r.add({1, 3, 6, 1, 2, 1, 1, 5, 0}, v);
    // Overhead: 4 (message) + 3 + 8 + 4 (PDU) + 9 + 4 (list) + 4 (binding) + 10 + 4 (value) = 50 bytes.
    const std::size_t total = size + 50;
    smiUINT32 code = 1;
    const Bytes wire = encode(r.input(), &code);
    if (total <= snmp::codec::kMaxMessage) {
      EXPECT_EQ(code, 0u) << size;
      EXPECT_EQ(wire.size(), total) << size;
    } else {
      EXPECT_EQ(code, SNMPAPI_OUTPUT_TRUNCATED) << size;
    }
  }
}

TEST(CodecEncode, EncodeIntoWritesAtTheEndOfTheBuffer) {
  Request r;
  r.add({1, 3, 6, 1, 2, 1, 1, 5, 0}, nullValue());
  smiBYTE buf[snmp::codec::kMaxMessage];
  const smiBYTE* start = nullptr;
  std::size_t length = 0;
  ASSERT_EQ(snmp::codec::encodeInto(r.input(), buf, sizeof buf, &start, &length), 0u);
  EXPECT_EQ(start + length, buf + sizeof buf);
  EXPECT_EQ(length, 40u);
  // A buffer one byte short of the message is refused, never overrun.
  smiBYTE small[39];
  EXPECT_EQ(snmp::codec::encodeInto(r.input(), small, sizeof small, &start, &length), SNMPAPI_OUTPUT_TRUNCATED);
  EXPECT_EQ(start, nullptr);
}

TEST(BerWriter, StackAndTagMisuseIsRefused) {
  smiBYTE buf[256];
  {
    snmp::ber::Writer w(buf, sizeof buf);
    for (int i = 0; i < 32; ++i) w.open();
    EXPECT_EQ(w.error(), 0u);
    w.open();
    EXPECT_EQ(w.error(), SNMPAPI_OTHER_ERROR) << "33rd open element";
  }
  {
    snmp::ber::Writer w(buf, sizeof buf);
    w.close(0x30);
    EXPECT_EQ(w.error(), SNMPAPI_OTHER_ERROR) << "close without open";
  }
  {
    snmp::ber::Writer w(buf, sizeof buf);
    w.putBytes(0x1F, nullptr, 0);
    EXPECT_EQ(w.error(), SNMPAPI_MESSAGE_INVALID) << "high-tag-number form";
  }
}

TEST(BerReader, StackAndBalanceMisuseIsRefused) {
  Bytes nested;
  for (int i = 0; i < 33; ++i) nested.insert(nested.end(), {0x30, 0x80});
  snmp::ber::Reader r(nested.data(), nested.size());
  smiBYTE tag;
  for (int i = 0; i < 32; ++i) ASSERT_TRUE(r.enter(tag)) << i;
  EXPECT_FALSE(r.enter(tag));
  EXPECT_EQ(r.error(), SNMPAPI_OTHER_ERROR);

  const Bytes empty = hex("05 00");
  snmp::ber::Reader r2(empty.data(), empty.size());
  EXPECT_FALSE(r2.leave());
  EXPECT_EQ(r2.error(), SNMPAPI_OTHER_ERROR);
}

// ---- decoding ----

TEST(CodecDecode, EveryRefusalHasItsCode) {
  const Bytes okBinding = binding(kSysName, hex("05 00"));
  const Bytes okList = tlv(0x30, okBinding);
  Bytes thirtyThree;
  for (int i = 0; i < 33; ++i) thirtyThree = cat({thirtyThree, okBinding});
  struct Case {
    const char* name;
    Bytes wire;
    smiUINT32 code;
  } cases[] = {
      {"empty input", {}, SNMPAPI_OUTPUT_TRUNCATED},
      {"tag only", hex("30"), SNMPAPI_OUTPUT_TRUNCATED},
      {"message not a SEQUENCE", hex("31 03 02 01 00"), SNMPAPI_MESSAGE_INVALID},
      {"high-tag-number form", hex("3F 03 02 01 00"), SNMPAPI_MESSAGE_INVALID},
      {"version 1", message(response(okList), str("public"), hex("02 01 01")), SNMPAPI_MESSAGE_INVALID},
      {"version 3", message(response(okList), str("public"), hex("02 01 03")), SNMPAPI_MESSAGE_INVALID},
      {"version not an INTEGER", message(response(okList), str("public"), hex("04 01 00")), SNMPAPI_MESSAGE_INVALID},
      {"community not an OCTET STRING", tlv(0x30, cat({hex("02 01 00 06 01 00"), response(okList)})),
       SNMPAPI_MESSAGE_INVALID},
      {"community of 257 bytes", message(response(okList), Bytes(257, 'c')), SNMPAPI_MESSAGE_INVALID},
      {"PDU type A8", message(response(okList, 0xA8)), SNMPAPI_MESSAGE_INVALID},
      {"PDU type 30", message(response(okList, 0x30)), SNMPAPI_MESSAGE_INVALID},
      {"request id not an INTEGER", message(tlv(0xA2, cat({hex("04 01 07 02 01 00 02 01 00"), okList}))),
       SNMPAPI_MESSAGE_INVALID},
      {"request id of 6 bytes", message(tlv(0xA2, cat({hex("02 06 00 00 00 00 00 07 02 01 00 02 01 00"), okList}))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"request id of 5 bytes not led by 00",
       message(tlv(0xA2, cat({hex("02 05 01 00 00 00 07 02 01 00 02 01 00"), okList}))), SNMPAPI_OUTPUT_TRUNCATED},
      {"empty INTEGER", message(tlv(0xA2, cat({hex("02 00 02 01 00 02 01 00"), okList}))), SNMPAPI_MESSAGE_INVALID},
      {"binding list not a SEQUENCE", message(response(tlv(0x31, okBinding))), SNMPAPI_MESSAGE_INVALID},
      {"binding not a SEQUENCE", message(response(tlv(0x30, tlv(0x31, cat({kSysName, hex("05 00")}))))),
       SNMPAPI_MESSAGE_INVALID},
      {"name not an OID", message(response(tlv(0x30, binding(hex("04 01 2B"), hex("05 00"))))), SNMPAPI_MESSAGE_INVALID},
      {"empty name", message(response(tlv(0x30, binding(hex("06 00"), hex("05 00"))))), SNMPAPI_MESSAGE_INVALID},
      {"name ending inside a sub-identifier", message(response(tlv(0x30, binding(hex("06 02 2B 86"), hex("05 00"))))),
       SNMPAPI_MESSAGE_INVALID},
      {"sub-identifier beyond 32 bits",
       message(response(tlv(0x30, binding(hex("06 07 2B 90 80 80 80 80 00"), hex("05 00"))))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"value syntax 07", message(response(tlv(0x30, binding(kSysName, hex("07 00"))))), SNMPAPI_MESSAGE_INVALID},
      {"value syntax 48", message(response(tlv(0x30, binding(kSysName, hex("48 00"))))), SNMPAPI_MESSAGE_INVALID},
      {"value syntax 83", message(response(tlv(0x30, binding(kSysName, hex("83 00"))))), SNMPAPI_MESSAGE_INVALID},
      {"constructed OCTET STRING", message(response(tlv(0x30, binding(kSysName, hex("24 03 04 01 41"))))),
       SNMPAPI_MESSAGE_INVALID},
      {"NULL with content", message(response(tlv(0x30, binding(kSysName, hex("05 01 00"))))), SNMPAPI_MESSAGE_INVALID},
      {"noSuchObject with content", message(response(tlv(0x30, binding(kSysName, hex("80 01 00"))))),
       SNMPAPI_MESSAGE_INVALID},
      {"INTEGER of 6 bytes, two redundant sign bytes",
       message(response(tlv(0x30, binding(kSysName, hex("02 06 FF FF 80 00 00 00"))))), SNMPAPI_OUTPUT_TRUNCATED},
      {"INTEGER of 5 bytes below -2^31", message(response(tlv(0x30, binding(kSysName, hex("02 05 FF 7F FF FF FF"))))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"INTEGER of 5 bytes led by 01", message(response(tlv(0x30, binding(kSysName, hex("02 05 01 00 00 00 00"))))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"INTEGER of 5 bytes led by 80", message(response(tlv(0x30, binding(kSysName, hex("02 05 80 00 00 00 00"))))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"Counter32 of 6 bytes", message(response(tlv(0x30, binding(kSysName, hex("41 06 00 00 00 00 00 01"))))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"Counter64 of 10 bytes",
       message(response(tlv(0x30, binding(kSysName, hex("46 0A 00 00 00 00 00 00 00 00 00 01"))))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"Counter64 of 9 bytes not led by 00",
       message(response(tlv(0x30, binding(kSysName, hex("46 09 01 00 00 00 00 00 00 00 00"))))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"BIT STRING without unused-bits byte", message(response(tlv(0x30, binding(kSysName, hex("03 00"))))),
       SNMPAPI_MESSAGE_INVALID},
      {"BIT STRING with 8 unused bits", message(response(tlv(0x30, binding(kSysName, hex("03 02 08 FF"))))),
       SNMPAPI_MESSAGE_INVALID},
      {"BIT STRING with unused bits and no byte", message(response(tlv(0x30, binding(kSysName, hex("03 01 03"))))),
       SNMPAPI_MESSAGE_INVALID},
      {"binding with a third element", message(response(tlv(0x30, tlv(0x30, cat({kSysName, hex("05 00 05 00")}))))),
       SNMPAPI_MESSAGE_INVALID},
      {"33 bindings", message(response(tlv(0x30, thirtyThree))), SNMPAPI_OUTPUT_TRUNCATED},
      // The binding's length runs one byte past its list into the PDU's last byte (which would
      // complete it as NULL with content): the list ends first.
      {"binding one byte longer than its list",
       message(tlv(0xA2, cat({hex("02 01 07 02 01 00 02 01 00 30 0E 30 0D"), kSysName, hex("05 01 00")}))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"binding one byte longer than its list, INTEGER",
       message(tlv(0xA2, cat({hex("02 01 07 02 01 00 02 01 00 30 0E 30 0D"), kSysName, hex("02 01 05")}))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"element longer than its container", hex("30 05 02 01 00 04 05 61 61"), SNMPAPI_OUTPUT_TRUNCATED},
      {"message longer than the input", cat({hex("30 82 01 00"), hex("02 01 00")}), SNMPAPI_OUTPUT_TRUNCATED},
      {"length of five length bytes", hex("30 85 00 00 00 00 03 02 01 00"), SNMPAPI_OUTPUT_TRUNCATED},
      {"length of 127 length bytes", cat({hex("30 FF"), Bytes(20, 0)}), SNMPAPI_OUTPUT_TRUNCATED},
      {"input ending in a length", hex("30 82 01"), SNMPAPI_OUTPUT_TRUNCATED},
      {"indefinite message without end-of-contents", cat({hex("30 80 02 01 00 04 01 61"), response(okList)}),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"indefinite message with one end byte", cat({hex("30 80 02 01 00 04 01 61"), response(okList), hex("00")}),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"indefinite message ending 01 00", cat({hex("30 80 02 01 00 04 01 61"), response(okList), hex("01 00")}),
       SNMPAPI_MESSAGE_INVALID},
      {"indefinite message ending 00 01", cat({hex("30 80 02 01 00 04 01 61"), response(okList), hex("00 01")}),
       SNMPAPI_MESSAGE_INVALID},
      {"indefinite string without end", message(response(tlv(0x30, binding(kSysName, hex("04 80 41 42"))))),
       SNMPAPI_OUTPUT_TRUNCATED},
      {"trap with a non-OID enterprise",
       message(tlv(0xA4, cat({hex("04 01 2B 40 04 00 00 00 00 02 01 00 02 01 00 43 01 00"), okList}))),
       SNMPAPI_MESSAGE_INVALID},
      {"trap with agent address as OCTET STRING",
       message(tlv(0xA4, cat({hex("06 01 2B 04 04 00 00 00 00 02 01 00 02 01 00 43 01 00"), okList}))),
       SNMPAPI_MESSAGE_INVALID},
      {"trap with time stamp as INTEGER",
       message(tlv(0xA4, cat({hex("06 01 2B 40 04 00 00 00 00 02 01 00 02 01 00 02 01 00"), okList}))),
       SNMPAPI_MESSAGE_INVALID},
  };
  for (const auto& c : cases) {
    DecodeOutput out;
    std::size_t consumed = 99;
    EXPECT_EQ(snmp::codec::decodeMessage(c.wire.data(), c.wire.size(), out, &consumed), c.code) << c.name;
    EXPECT_EQ(out.count, 0u) << c.name;  // nothing left allocated (the sanitizer build checks for leaks)
    EXPECT_EQ(consumed, 0u) << c.name;
  }
}

TEST(CodecDecode, ElementNotEndingWhereItsLengthSaysIsRefused) {
  // A PDU whose declared length is longer than its content: the message's end comes first.
  const Bytes okList = tlv(0x30, binding(kSysName, hex("05 00")));
  Bytes pdu = response(okList);
  Bytes wire = message(cat({pdu, hex("05 00")}));  // junk after the PDU, inside the message
  Decoded d(wire);
  EXPECT_EQ(d.code, SNMPAPI_MESSAGE_INVALID);
}

TEST(CodecDecode, ThirtyTwoBindingsAndACommunityOf256BytesAreAccepted) {
  Bytes list;
  for (int i = 0; i < 32; ++i) list = cat({list, binding(kSysName, cat({hex("02 01"), Bytes{static_cast<smiBYTE>(i)}}))});
  Decoded d(message(response(tlv(0x30, list)), Bytes(256, 'k')));
  ASSERT_EQ(d.code, 0u);
  EXPECT_EQ(d.out.count, 32u);
  EXPECT_EQ(d.out.communityLength, 256u);
  EXPECT_EQ(d.out.bindings[31].value.value.sNumber, 31);
}

TEST(CodecDecode, IndefiniteLengthsDecode) {
  const Bytes b1 = binding(kSysName, hex("04 03 61 62 63"));
  const Bytes b2 = binding(kSysName, hex("02 01 05"));
  struct Case {
    const char* name;
    Bytes wire;
  } cases[] = {
      {"binding list", message(tlv(0xA2, cat({hex("02 01 07 02 01 00 02 01 00 30 80"), b1, b2, hex("00 00")})))},
      {"every level", cat({hex("30 80 02 01 00 04 06"), str("public"), hex("A2 80 02 01 07 02 01 00 02 01 00 30 80"),
                            hex("30 80"), kSysName, hex("04 80 61 62 63 00 00 00 00"), b2, hex("00 00 00 00 00 00")})},
  };
  for (const auto& c : cases) {
    Decoded d(c.wire);
    ASSERT_EQ(d.code, 0u) << c.name;
    EXPECT_EQ(d.consumed, c.wire.size()) << c.name;
    EXPECT_EQ(d.out.requestId, 7) << c.name;
    ASSERT_EQ(d.out.count, 2u) << c.name;
    const smiOCTETS& s = d.out.bindings[0].value.value.string;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.ptr), s.len), "abc") << c.name;
    EXPECT_EQ(d.out.bindings[1].value.value.sNumber, 5) << c.name;
  }
}

TEST(CodecDecode, LenientNumberFormsFollowTheReadingRules) {
  struct Case {
    const char* name;
    Bytes value;
    smiUINT32 syntax;
    std::uint64_t expected;
  } cases[] = {
      {"Gauge32 4294967295 with leading 00", hex("42 05 00 FF FF FF FF"), SNMP_SYNTAX_GAUGE32, 4294967295u},
      {"Counter32 of four bytes, top bit set", hex("41 04 FF FF FF FE"), SNMP_SYNTAX_CNTR32, 4294967294u},
      {"INTEGER non-minimal 1", hex("02 04 00 00 00 01"), SNMP_SYNTAX_INT, 1},
      {"INTEGER FF FF", hex("02 02 FF FF"), SNMP_SYNTAX_INT, 0xFFFFFFFFu},
      {"INTEGER five bytes keeps 32 bits", hex("02 05 00 FF FF FF FE"), SNMP_SYNTAX_INT, 0xFFFFFFFEu},
      {"INTEGER -2^31 with a redundant FF", hex("02 05 FF 80 00 00 00"), SNMP_SYNTAX_INT, 0x80000000u},
      {"INTEGER -1 with a redundant FF", hex("02 05 FF FF FF FF FF"), SNMP_SYNTAX_INT, 0xFFFFFFFFu},
      {"INTEGER 1 with a redundant 00", hex("02 05 00 00 00 00 01"), SNMP_SYNTAX_INT, 1},
      {"Counter64 nine bytes", hex("46 09 00 80 00 00 00 00 00 00 01"), SNMP_SYNTAX_CNTR64, 0x8000000000000001ull},
      {"long-form length", hex("43 81 01 2A"), SNMP_SYNTAX_TIMETICKS, 42},
  };
  for (const auto& c : cases) {
    Decoded d(message(response(tlv(0x30, binding(kSysName, c.value)))));
    ASSERT_EQ(d.code, 0u) << c.name;
    const smiVALUE& v = d.out.bindings[0].value;
    EXPECT_EQ(v.syntax, c.syntax) << c.name;
    const std::uint64_t got = v.syntax == SNMP_SYNTAX_CNTR64
                                  ? (std::uint64_t{v.value.hNumber.hipart} << 32 | v.value.hNumber.lopart)
                                  : v.value.uNumber;
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(CodecDecode, OidOfSeventySubIdentifiersDecodesCompletely) {
  std::vector<smiUINT32> ids{1, 3, 6, 1, 4, 1};
  while (ids.size() < 70) ids.push_back(static_cast<smiUINT32>(ids.size() * 1000));
  Request r;
  r.add(ids, nullValue());
  smiVALUE v = sval(SNMP_SYNTAX_OID);
  v.value.oid = {static_cast<smiUINT32>(ids.size()), ids.data()};
  r.add({1, 3, 6, 1, 2, 1, 1, 2, 0}, v);
  Decoded d(encode(r.input(SNMP_PDU_RESPONSE, 3)));
  ASSERT_EQ(d.code, 0u);
  EXPECT_EQ(d.name(0), ids);
  EXPECT_EQ(d.oidValue(1), ids);
}

TEST(CodecDecode, FirstArcsSplitByTheFirstGroup) {
  struct Case {
    const char* name;
    const char* oid;
    std::vector<smiUINT32> expected;
  } cases[] = {
      {"0.39", "06 01 27", {0, 39}},
      {"1.0", "06 01 28", {1, 0}},
      {"1.39", "06 01 4F", {1, 39}},
      {"2.0", "06 01 50", {2, 0}},
      {"2.100", "06 02 81 34", {2, 100}},
  };
  for (const auto& c : cases) {
    Decoded d(message(response(tlv(0x30, binding(hex(c.oid), hex("05 00"))))));
    ASSERT_EQ(d.code, 0u) << c.name;
    EXPECT_EQ(d.name(0), c.expected) << c.name;
  }
}

// The reader takes runs of one-byte sub-identifiers eight bytes at a time: a multi-byte one (or
// one too large) must be found wherever it sits against those eight bytes, and the bytes after
// it read on.
TEST(CodecDecode, MultiByteSubIdentifiersAreFoundAtEveryPosition) {
  struct Arc {
    const char* name;
    const char* bytes;
    smiUINT32 value;
    smiUINT32 code;
  } arcs[] = {
      {"128", "81 00", 128, 0},
      {"1240", "89 58", 1240, 0},
      {"2^32-1", "8F FF FF FF 7F", 0xFFFFFFFFu, 0},
      {"2^32", "90 80 80 80 00", 0, SNMPAPI_OUTPUT_TRUNCATED},
  };
  for (const auto& arc : arcs) {
    for (std::size_t before = 0; before <= 17; ++before) {
      for (std::size_t after : {0, 1, 7, 8, 9}) {
        Bytes content{0x2B};
        std::vector<smiUINT32> expected{1, 3};
        for (std::size_t i = 0; i < before; ++i) {
          content.push_back(static_cast<smiBYTE>(i % 127 + 1));
          expected.push_back(static_cast<smiUINT32>(i % 127 + 1));
        }
        const Bytes big = hex(arc.bytes);
        content.insert(content.end(), big.begin(), big.end());
        expected.push_back(arc.value);
        for (std::size_t i = 0; i < after; ++i) {
          content.push_back(0x7F);
          expected.push_back(127);
        }
        const std::string what = std::string(arc.name) + " after " + std::to_string(before) + ", then " +
                                 std::to_string(after) + " one-byte arcs";
        Decoded d(message(response(tlv(0x30, binding(tlv(0x06, content), hex("05 00"))))));
        ASSERT_EQ(d.code, arc.code) << what;
        if (arc.code == 0) {
          EXPECT_EQ(d.name(0), expected) << what;
        }
      }
    }
  }
}

TEST(CodecDecode, ConsumedStopsAtTheEndOfTheMessage) {
  const Bytes wire = message(response(tlv(0x30, binding(kSysName, hex("05 00")))));
  Decoded d(cat({wire, hex("DE AD")}));
  ASSERT_EQ(d.code, 0u);
  EXPECT_EQ(d.consumed, wire.size());
}

// ---- v1 trap translation ----

Bytes v1Trap(const Bytes& enterprise, int generic, int specific, const Bytes& bindings) {
  return message(tlv(0xA4, cat({enterprise, hex("40 04 0A 00 00 05 02 01"), Bytes{static_cast<smiBYTE>(generic)},
                                hex("02 01"), Bytes{static_cast<smiBYTE>(specific)}, hex("43 02 30 39"),
                                tlv(0x30, bindings)})));
}

const Bytes kEnterprise = hex("06 0A 2B 06 01 04 01 89 58 02 03 05");  // 1.3.6.1.4.1.1240.2.3.5
const std::vector<smiUINT32> kEnterpriseIds{1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
const std::vector<smiUINT32> kSysUpTime{1, 3, 6, 1, 2, 1, 1, 3, 0};
const std::vector<smiUINT32> kTrapOid{1, 3, 6, 1, 6, 3, 1, 1, 4, 1, 0};
const std::vector<smiUINT32> kTrapEnterprise{1, 3, 6, 1, 6, 3, 1, 1, 4, 3, 0};

TEST(CodecTrap, GenericTrapsBecomeSnmpV2Traps) {
  struct Case {
    const char* name;
    int generic;
    int specific;
    std::vector<smiUINT32> trapOid;
  } cases[] = {
      {"coldStart", 0, 0, {1, 3, 6, 1, 6, 3, 1, 1, 5, 1}},
      {"linkDown", 2, 0, {1, 3, 6, 1, 6, 3, 1, 1, 5, 3}},
      {"egpNeighborLoss", 5, 0, {1, 3, 6, 1, 6, 3, 1, 1, 5, 6}},
      {"enterprise specific 17", 6, 17, {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5, 0, 17}},
      {"generic 7", 7, 0, {1, 3, 6, 1, 6, 3, 1, 1, 5, 0}},
      {"generic -1", -1, 0, {1, 3, 6, 1, 6, 3, 1, 1, 5, 0}},
  };
  const Bytes ifIndex = binding(hex("06 0A 2B 06 01 02 01 02 02 01 01 03"), hex("02 01 03"));
  for (const auto& c : cases) {
    Decoded d(v1Trap(kEnterprise, c.generic, c.specific, ifIndex));
    ASSERT_EQ(d.code, 0u) << c.name;
    EXPECT_EQ(d.out.pduType, SNMP_PDU_TRAP) << c.name;
    EXPECT_EQ(d.out.requestId, 1) << c.name;
    EXPECT_EQ(d.out.errorStatus, 0) << c.name;
    EXPECT_EQ(d.out.errorIndex, 0) << c.name;
    ASSERT_EQ(d.out.count, 4u) << c.name;
    EXPECT_EQ(d.name(0), kSysUpTime) << c.name;
    EXPECT_EQ(d.out.bindings[0].value.syntax, SNMP_SYNTAX_TIMETICKS) << c.name;
    EXPECT_EQ(d.out.bindings[0].value.value.uNumber, 12345u) << c.name;
    EXPECT_EQ(d.name(1), kTrapOid) << c.name;
    EXPECT_EQ(d.out.bindings[1].value.syntax, SNMP_SYNTAX_OID) << c.name;
    EXPECT_EQ(d.oidValue(1), c.trapOid) << c.name;
    EXPECT_EQ(d.name(2), (std::vector<smiUINT32>{1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 3})) << c.name;
    EXPECT_EQ(d.out.bindings[2].value.value.sNumber, 3) << c.name;
    EXPECT_EQ(d.name(3), kTrapEnterprise) << c.name;
    EXPECT_EQ(d.oidValue(3), kEnterpriseIds) << c.name;
  }
}

TEST(CodecTrap, ATranslationBeyond32BindingsFailsAsTheTranslation) {
  const Bytes one = binding(kSysName, hex("05 00"));
  struct Case {
    int received;
    smiUINT32 code;
  } cases[] = {{0, 0}, {29, 0}, {30, SNMPAPI_ALLOC_ERROR}, {32, SNMPAPI_ALLOC_ERROR}, {33, SNMPAPI_OUTPUT_TRUNCATED}};
  for (const Case& c : cases) {
    Bytes list;
    for (int i = 0; i < c.received; ++i) list = cat({list, one});
    Decoded d(v1Trap(kEnterprise, 6, 1, list));
    EXPECT_EQ(d.code, c.code) << c.received << " bindings";
    if (c.code == 0) {
      EXPECT_EQ(d.out.count, static_cast<smiUINT32>(c.received + 3)) << c.received;
      EXPECT_EQ(d.name(c.received + 2), kTrapEnterprise) << c.received;
    } else {
      EXPECT_EQ(d.out.count, 0u) << c.received << ": nothing left allocated";
    }
  }
}

TEST(CodecTrap, EncodedTrapDecodesTranslated) {
  Request r;
  r.add({1, 3, 6, 1, 2, 1, 1, 5, 0}, nullValue());
  EncodeInput in = r.input(SNMP_PDU_V1TRAP, 0);
  smiOID enterprise{static_cast<smiUINT32>(kEnterpriseIds.size()), const_cast<smiUINT32*>(kEnterpriseIds.data())};
  in.enterprise = &enterprise;
  in.genericTrap = 6;
  in.specificTrap = 17;
  in.timeStamp = 0x80000000u;
  Decoded d(encode(in));
  ASSERT_EQ(d.code, 0u);
  ASSERT_EQ(d.out.count, 4u);
  EXPECT_EQ(d.out.bindings[0].value.value.uNumber, 0x80000000u);
  auto expected = kEnterpriseIds;
  expected.insert(expected.end(), {0, 17});
  EXPECT_EQ(d.oidValue(1), expected);
}

// ---- robustness ----

// A response of more than 128 bytes: the message, the PDU, the list and one string take
// long-form lengths.
const Bytes kLongString = hex("04 81 96");
Bytes longSample() {
  return message(response(tlv(0x30, cat({binding(kSysName, cat({kLongString, Bytes(150, 'x')})),
                                          binding(kSysName, hex("02 01 07"))}))));
}

std::vector<Bytes> sampleMessages() {
  const Bytes ifIndex = binding(hex("06 0A 2B 06 01 02 01 02 02 01 01 03"), hex("02 01 03"));
  return {
      message(response(tlv(0x30, cat({binding(kSysName, hex("04 05 68 65 6C 6C 6F")),
                                      binding(kSysName, hex("46 09 00 FF FF FF FF FF FF FF FF")),
                                      binding(kSysName, hex("03 03 04 A5 F0")),
                                      binding(kSysName, hex("06 03 2B 06 01"))})))),
      v1Trap(kEnterprise, 6, 17, ifIndex),
      cat({hex("30 80 02 01 00 04 06"), str("public"), hex("A2 80 02 01 07 02 01 00 02 01 00 30 80 30 80"), kSysName,
           hex("04 80 61 62 00 00 00 00 00 00 00 00 00 00")}),
      longSample(),
  };
}

TEST(CodecRobustness, LongFormLengthsCutShortAreRefused) {
  const Bytes full = longSample();
  ASSERT_GE(full.size(), 128u);
  ASSERT_EQ(full[1], 0x81) << "the message length takes the long form";
  // The input ends one byte early, while the byte after it is still readable memory: a reader
  // that let a length run one byte past its input would read it and accept the message.
  for (std::size_t cut : {std::size_t{1}, std::size_t{2}}) {
    DecodeOutput out;
    std::size_t consumed = 99;
    EXPECT_EQ(snmp::codec::decodeMessage(full.data(), full.size() - cut, out, &consumed), SNMPAPI_OUTPUT_TRUNCATED)
        << cut << " byte(s) short";
    EXPECT_EQ(out.count, 0u);
    EXPECT_EQ(consumed, 0u);
  }
  // The same for the long-form length of the string inside it, with the message length kept
  // consistent: the string runs one byte past its binding.
  Bytes inner = full;
  const std::size_t at = std::search(inner.begin(), inner.end(), kLongString.begin(), kLongString.end()) - inner.begin();
  ASSERT_LT(at, inner.size());
  inner[at + 2] = static_cast<smiBYTE>(inner[at + 2] + 1);
  DecodeOutput out;
  EXPECT_EQ(snmp::codec::decodeMessage(inner.data(), inner.size(), out), SNMPAPI_OUTPUT_TRUNCATED);
  EXPECT_EQ(out.count, 0u);
}

TEST(CodecRobustness, EveryPrefixIsRefusedWithoutCrashOrLeak) {
  for (const Bytes& full : sampleMessages()) {
    {
      Decoded whole(full);
      ASSERT_EQ(whole.code, 0u);
    }
    for (std::size_t n = 0; n < full.size(); ++n) {
      // An exact-size heap copy so the sanitizer sees any read past the prefix.
      std::unique_ptr<smiBYTE[]> cut(new smiBYTE[n ? n : 1]);
      std::memcpy(cut.get(), full.data(), n);
      DecodeOutput out;
      const smiUINT32 code = snmp::codec::decodeMessage(n ? cut.get() : nullptr, n, out);
      EXPECT_NE(code, 0u) << "prefix of " << n << " bytes";
      EXPECT_EQ(out.count, 0u);
    }
  }
}

TEST(CodecRobustness, EverySingleByteChangeDecodesOrFailsCleanly) {
  static const smiBYTE kProbes[] = {0x00, 0x01, 0x05, 0x30, 0x7F, 0x80, 0x81, 0x82, 0x84, 0xA4, 0xFF};
  for (const Bytes& full : sampleMessages()) {
    for (std::size_t i = 0; i < full.size(); ++i) {
      for (smiBYTE probe : kProbes) {
        Bytes changed = full;
        changed[i] = probe;
        std::unique_ptr<smiBYTE[]> copy(new smiBYTE[changed.size()]);
        std::memcpy(copy.get(), changed.data(), changed.size());
        DecodeOutput out;
        std::size_t consumed = 0;
        const smiUINT32 code = snmp::codec::decodeMessage(copy.get(), changed.size(), out, &consumed);
        if (code == 0) {
          EXPECT_LE(consumed, changed.size());
          EXPECT_LE(out.count, snmp::codec::kMaxBindings);
        }
        snmp::codec::freeDecoded(out);
      }
    }
  }
}

}  // namespace
