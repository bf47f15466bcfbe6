// Encode and decode of GET requests and responses with 1, 10, 18 and 32 bindings: our codec
// (snmp::codec, as SnmpEncodeMsg/SnmpDecodeMsg use it) against net-snmp's snmp_build and
// snmp_parse on the same messages.
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "snmp/binding_copy.h"
#include "snmp/codec.h"
#include "snmp/post_error.h"

namespace {

// One binding as a print server answers it: a 12-arc private OID and a typical value.
struct Binding {
  std::vector<smiUINT32> name;
  smiVALUE value{};
  std::string text;
};

std::vector<Binding> bindings(int count, bool response) {
  std::vector<Binding> list(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Binding& b = list[static_cast<std::size_t>(i)];
    b.name = {1, 3, 6, 1, 4, 1, 1240, 2, 3, static_cast<smiUINT32>(i % 7 + 1), static_cast<smiUINT32>(i + 1), 0};
    if (!response) {
      b.value.syntax = SNMP_SYNTAX_NULL;
    } else if (i % 3 == 0) {
      b.text = "Printer port " + std::to_string(i);
      b.value.syntax = SNMP_SYNTAX_OCTETS;
    } else if (i % 3 == 1) {
      b.value.syntax = SNMP_SYNTAX_INT;
      b.value.value.sNumber = 1000 * i;
    } else {
      b.value.syntax = SNMP_SYNTAX_CNTR32;
      b.value.value.uNumber = 3000000000u + static_cast<smiUINT32>(i);
    }
  }
  for (auto& b : list) {
    if (b.value.syntax == SNMP_SYNTAX_OCTETS) {
      b.value.value.string = {static_cast<smiUINT32>(b.text.size()), reinterpret_cast<smiBYTE*>(b.text.data())};
    }
  }
  return list;
}

const std::string kCommunity = "public";

struct Ours {
  std::vector<Binding> list;
  std::vector<smiOID> names;
  std::vector<snmp::codec::BindingRef> refs;
  snmp::codec::EncodeInput in;

  Ours(int count, bool response) : list(bindings(count, response)) {
    names.resize(list.size());
    refs.resize(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
      names[i] = {static_cast<smiUINT32>(list[i].name.size()), list[i].name.data()};
      refs[i] = {&names[i], &list[i].value};
    }
    in.pduType = response ? SNMP_PDU_RESPONSE : SNMP_PDU_GET;
    in.requestId = 0x1234;
    in.community = reinterpret_cast<const smiBYTE*>(kCommunity.data());
    in.communityLength = static_cast<smiUINT32>(kCommunity.size());
    in.bindings = refs.data();
    in.count = static_cast<smiUINT32>(refs.size());
  }
  std::vector<smiBYTE> wire() const {
    smiOCTETS out{};
    snmp::codec::encodeMessage(in, &out);
    std::vector<smiBYTE> bytes(out.ptr, out.ptr + out.len);
    std::free(out.ptr);
    return bytes;
  }
};

struct NetSnmp {
  netsnmp_session session;
  netsnmp_pdu* pdu;

  NetSnmp(int count, bool response) {
    static bool ready = [] {
      setenv("MIBS", "", 1);
      netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
      netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
      return true;
    }();
    (void)ready;
    snmp_sess_init(&session);
    session.version = SNMP_VERSION_1;
    session.community = reinterpret_cast<u_char*>(const_cast<char*>(kCommunity.data()));
    session.community_len = kCommunity.size();
    pdu = snmp_pdu_create(response ? SNMP_MSG_RESPONSE : SNMP_MSG_GET);
    pdu->version = SNMP_VERSION_1;
    pdu->reqid = 0x1234;
    pdu->community = static_cast<u_char*>(std::malloc(kCommunity.size()));
    std::memcpy(pdu->community, kCommunity.data(), kCommunity.size());
    pdu->community_len = kCommunity.size();
    for (const auto& b : bindings(count, response)) {
      std::vector<oid> name(b.name.begin(), b.name.end());
      long l = b.value.value.sNumber;
      u_long u = b.value.value.uNumber;
      switch (b.value.syntax) {
        case SNMP_SYNTAX_NULL: snmp_add_null_var(pdu, name.data(), name.size()); break;
        case SNMP_SYNTAX_INT: snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_INTEGER, &l, sizeof l); break;
        case SNMP_SYNTAX_CNTR32: snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_COUNTER, &u, sizeof u); break;
        default:
          snmp_pdu_add_variable(pdu, name.data(), name.size(), ASN_OCTET_STR, b.text.data(), b.text.size());
      }
    }
  }
  ~NetSnmp() { snmp_free_pdu(pdu); }
};

void encodeOurs(benchmark::State& state, bool response) {
  Ours m(static_cast<int>(state.range(0)), response);
  for (auto _ : state) {
    smiOCTETS out{};
    if (snmp::codec::encodeMessage(m.in, &out) != 0) state.SkipWithError("encode failed");
    benchmark::DoNotOptimize(out.ptr);
    std::free(out.ptr);
  }
  state.SetLabel(std::to_string(m.wire().size()) + " bytes");
}

void encodeNetSnmp(benchmark::State& state, bool response) {
  NetSnmp m(static_cast<int>(state.range(0)), response);
  size_t capacity = 2048;
  u_char* pkt = static_cast<u_char*>(std::malloc(capacity));
  for (auto _ : state) {
    size_t length = capacity, offset = 0;
    if (snmp_build(&pkt, &length, &offset, &m.session, m.pdu) != 0) state.SkipWithError("snmp_build failed");
    capacity = length;
    benchmark::DoNotOptimize(pkt);
  }
  std::free(pkt);
}

// Decoding as the engine does it for SnmpDecodeMsg, short of the handle slots: the message
// into the codec's output, its bindings copied into the list's own storage, then all freed.
void decodeOurs(benchmark::State& state, bool response) {
  const auto wire = Ours(static_cast<int>(state.range(0)), response).wire();
  auto out = std::make_unique<snmp::codec::DecodeOutput>();
  snmp::Binding kept[snmp::kMaxBindings] = {};
  for (auto _ : state) {
    if (snmp::codec::decodeMessage(wire.data(), wire.size(), *out) != 0) state.SkipWithError("decode failed");
    const smiUINT32 count = out->count;
    if (snmp::copyDecoded(*out, kept) != snmp::kOk) state.SkipWithError("copy failed");
    snmp::codec::freeDecoded(*out);
    benchmark::DoNotOptimize(kept[0].value);
    for (smiUINT32 i = 0; i < count; ++i) snmp::freeBinding(kept[i]);
  }
}

void decodeNetSnmp(benchmark::State& state, bool response) {
  auto wire = Ours(static_cast<int>(state.range(0)), response).wire();
  NetSnmp m(1, response);  // for its session
  for (auto _ : state) {
    auto* pdu = static_cast<netsnmp_pdu*>(std::calloc(1, sizeof(netsnmp_pdu)));
    if (snmp_parse(nullptr, &m.session, pdu, wire.data(), wire.size()) != 0) state.SkipWithError("snmp_parse failed");
    benchmark::DoNotOptimize(pdu->variables);
    snmp_free_pdu(pdu);
  }
}

void Args(benchmark::internal::Benchmark* b) { b->ArgName("bindings")->Arg(1)->Arg(10)->Arg(18)->Arg(32); }

BENCHMARK_CAPTURE(encodeOurs, get, false)->Apply(Args);
BENCHMARK_CAPTURE(encodeNetSnmp, get, false)->Apply(Args);
BENCHMARK_CAPTURE(encodeOurs, response, true)->Apply(Args);
BENCHMARK_CAPTURE(encodeNetSnmp, response, true)->Apply(Args);
BENCHMARK_CAPTURE(decodeOurs, get, false)->Apply(Args);
BENCHMARK_CAPTURE(decodeNetSnmp, get, false)->Apply(Args);
BENCHMARK_CAPTURE(decodeOurs, response, true)->Apply(Args);
BENCHMARK_CAPTURE(decodeNetSnmp, response, true)->Apply(Args);

}  // namespace

BENCHMARK_MAIN();
