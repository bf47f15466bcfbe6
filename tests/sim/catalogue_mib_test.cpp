// Units built from the fleet file carry the program's private MIB catalogue at their levels: what
// the catalogue puts at or below a level answers, what lies above it does not, a walk climbs
// strictly through all of it, and the answers agree with the unit's discovery reply.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "access/mib_catalogue.h"
#include "access/oid_text.h"
#include "devices/discovery_reply.h"
#include "sim/discovery_reply_builder.h"
#include "sim/fleet_file.h"
#include "sim_test_support.h"

namespace sim {
namespace {

using namespace sim::test;

DeviceModel unitFrom(const std::string& unitKeys) {
  std::vector<DeviceModel> fleet;
  std::string error;
  const std::string text = R"({"devices":[{"address":"127.0.1.1")" + (unitKeys.empty() ? "" : "," + unitKeys) + "}]}";
  EXPECT_TRUE(parseFleetText(text, ".", {}, fleet, error)) << error;
  return fleet.empty() ? DeviceModel{} : fleet[0];
}

std::optional<Value> getOne(SnmpAgent& agent, const Oid& oid) {
  auto d = agent.handle(req(kPduGet, {oid}), SnmpAgent::Clock::now());
  if (!d.answer || d.errorStatus != kNoError || d.bindings.size() != 1) return std::nullopt;
  return d.bindings[0].value;
}

// Each scalar and first-row instance of the catalogue with whether a unit whose areas are all at
// `level` has it. A name several groups list is present when any of them has it at its level.
std::map<Oid, bool> expectedAt(int level, const Oid& enterprise) {
  std::map<Oid, bool> out;
  const std::string prefix = formatOid(enterprise);
  for (const mib::GroupDef* g : mib::allGroups()) {
    // The wireless list and country groups exist from wireless level 3 only.
    const bool fromThree = g->id == mib::GroupId::WirelessList || g->id == mib::GroupId::WirelessCountry;
    if (fromThree && !mib::levelAtLeast(level, 3)) continue;
    const bool probes = g->probeIndex >= 0;
    for (const mib::VariableDef& v : g->variables) {
      if (v.suffix == mib::Suffix::DeviceRow) continue;  // Printer MIB: derived, not catalogue
      if (!mib::isRelativeOidText(v.oid) && !std::string_view(v.oid).starts_with(mib::kSiblingPrefix)) continue;
      const auto text = mib::variableOidString(prefix, v, 0);
      if (text.empty()) continue;
      const bool present = mib::levelAtLeast(probes ? level : 1, v.minLevel);
      out[*parseOid(text)] |= present;
    }
  }
  return out;
}

TEST(SimCatalogue, EveryVariableAtOrBelowTheLevelAnswersAndNoneAbove) {
  for (int level : {1, 2, 3, 4, 5, 6, 7, 8, 0}) {
    SCOPED_TRACE("level " + std::to_string(level));
    SnmpAgent agent(unitFrom(R"("mib_level":)" + std::to_string(level) + R"(,"token_ring":true,"ports":2)"),
                    SnmpAgent::Clock::now());
    const Oid e = agent.device().enterprise;
    int present = 0, absent = 0;
    for (const auto& [oid, expected] : expectedAt(level, e)) {
      EXPECT_EQ(getOne(agent, oid).has_value(), expected) << formatOid(oid);
      ++(expected ? present : absent);
    }
    EXPECT_GT(present, 150);
    if (level != 0 && level < 8) {
      EXPECT_GT(absent, 0) << "something of the catalogue lies above level " << level;
    }
  }
}

TEST(SimCatalogue, WalkClimbsStrictlyThroughThePrivateMibAndEnds) {
  for (int level : {1, 3, 8}) {
    SCOPED_TRACE("level " + std::to_string(level));
    SnmpAgent agent(unitFrom(R"("mib_level":)" + std::to_string(level) + R"(,"token_ring":true,"ports":3)"), SnmpAgent::Clock::now());
    const Oid e = agent.device().enterprise;
    const auto expected = expectedAt(level, e);
    Oid at = e;
    std::size_t seen = 0, expectedSeen = 0;
    bool ended = false;
    for (int step = 0; step < 5000 && !ended; ++step) {
      auto d = agent.handle(req(kPduGetNext, {at}), SnmpAgent::Clock::now());
      ASSERT_TRUE(d.answer);
      if (d.errorStatus == kNoSuchName) {
        ended = true;
        break;
      }
      ASSERT_EQ(d.errorStatus, kNoError);
      const Oid next = d.bindings.at(0).oid;
      ASSERT_GT(next, at) << "GETNEXT must climb: " << formatOid(next) << " after " << formatOid(at);
      if (!startsWith(next, e)) break;  // past the private MIB
      auto it = expected.find(next);
      if (it != expected.end()) {
        EXPECT_TRUE(it->second) << formatOid(next) << " lies above level " << level;
        ++expectedSeen;
      }
      at = next;
      ++seen;
    }
    std::size_t wanted = 0;
    for (const auto& [oid, present] : expected)
      if (present && startsWith(oid, e)) ++wanted;
    EXPECT_EQ(expectedSeen, wanted) << "the walk meets every catalogue variable of the level";
    EXPECT_GT(seen, wanted) << "and the further rows and entries";
  }
}

TEST(SimCatalogue, AreaLevelsAndAbsentAreas) {
  struct Case {
    const char* name;
    std::string keys;
    const char* oid;
    bool present;
  };
  const Case cases[] = {
      {"TCP/IP at 3: no capability flags", R"("levels":{"tcpip":3})", ".6.3.1.6.0", false},
      {"TCP/IP at 3: WINS", R"("levels":{"tcpip":3})", ".6.3.1.4.12.0", true},
      {"TCP/IP at 3, ports at 8: serial mode", R"("levels":{"tcpip":3})", ".6.2.3.2.1.24.1", true},
      {"TCP/IP at 8: GPIO mask", R"("levels":{"netware":3})", "1.3.6.1.4.1.1240.2.3.4.9.1.0", true},
      {"NetWare at 8: GPIO mask", R"("levels":{"tcpip":3})", "1.3.6.1.4.1.1240.2.3.4.9.1.0", true},
      {"TCP/IP and NetWare at 3: no GPIO mask", R"("levels":{"tcpip":3,"netware":3})",
       "1.3.6.1.4.1.1240.2.3.4.9.1.0", false},
      {"TCP/IP at 4: GPIO mask", R"("levels":{"tcpip":4})", "1.3.6.1.4.1.1240.2.3.4.9.1.0", true},
      {"TCP/IP at 0: SLP", R"("levels":{"tcpip":0})", ".6.3.1.4.45.0", true},
      {"ports at 5: no serial settings", R"("levels":{"ports":5})", ".6.2.3.2.1.18.1", false},
      {"ports at 6: serial settings", R"("levels":{"ports":6})", ".6.2.3.2.1.18.1", true},
      {"wireless at 2: no country list", R"("levels":{"wireless":2})", ".8.3.42.1.2.1", false},
      {"wireless at 3: country list", R"("levels":{"wireless":3})", ".8.3.42.1.2.1", true},
      {"NetWare not installed", R"("protocols":[1,3])", ".6.3.2.1.0", false},
      {"NetWare not installed: no IPX trap", R"("protocols":[1,3])", ".6.3.2.4.12.1.2.1", false},
      {"NetWare not installed: VINES is", R"("protocols":[1,3])", ".6.3.3.1.0", true},
      {"wireless not installed", R"("protocols":[1])", ".8.2.0", false},
      {"Ethernet unit: no Token Ring", "", ".5.1.0", false},
      {"Token Ring unit", R"("token_ring":true)", ".5.3.5.0", true},
      {"catalogue off", R"("catalogue":false)", ".6.3.1.4.4.0", false},
      {"catalogue off keeps the derived objects", R"("catalogue":false)", ".6.3.1.1.0", true},
      {"second family: no private MIB", R"("second_family":{"size":72})", ".6.3.1.4.4.0", false},
      {"reply format 2: no private MIB", R"("discovery":{"format":2})", ".1.3.0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SnmpAgent agent(unitFrom(c.keys), SnmpAgent::Clock::now());
    const std::string text = c.oid;
    const Oid oid = text[0] == '.' ? E(text) : O(text);
    EXPECT_EQ(getOne(agent, oid).has_value(), c.present);
  }
}

TEST(SimCatalogue, RowsFollowTheUnitsCounts) {
  SnmpAgent agent(unitFrom(R"("ports":3,"protocols":[1,2,7])"), SnmpAgent::Clock::now());
  struct Case {
    const char* oid;
    std::optional<Value> value;  // nullopt: absent
  };
  const Case cases[] = {
      {".6.2.3.1.0", Value::integer(3)},
      {".6.2.3.2.1.2.3", Value::octets("PORT3")},
      {".6.2.3.2.1.2.4", std::nullopt},
      {".1.15.1.0", Value::integer(3)},
      {".1.15.2.1.2.3", Value::integer(7)},
      {".1.15.2.1.3.2", Value::octets("NetWare")},
      {".1.15.2.1.2.4", std::nullopt},
      {".6.3.1.4.9.0", Value::integer(4)},
      {".6.3.1.4.10.1.2.1", Value::ip(127, 0, 9, 1)},
      {".6.3.1.4.10.1.2.4", Value::ip(0, 0, 0, 0)},  // a free slot
      {".6.3.1.4.10.1.2.5", std::nullopt},
      {".6.3.1.4.10.1.7.1", Value::integer(0x7F)},  // second-form column of port 3
      {".6.3.1.4.25.1.2.2", Value::octets("")},
      {".6.3.2.4.12.1.8.1", Value::integer(0x7F)},  // IPX destination, port 3
      {".6.3.2.4.10.1.9.3", Value::integer(1)},     // NetWare port row 3
      {".8.3.29.1.2.4", Value::integer(3)},         // mask 13: four list entries
      {".8.3.29.1.2.5", std::nullopt},
      {".8.3.7.1.2.4", Value::octets("*")},
      {".6.3.2.1.0", Value::integer(8)},
      {".6.3.3.1.0", std::nullopt},  // VINES not installed
      {"1.3.6.1.4.1.1240.2.3.4.3.2.1.12.3", Value::integer(0x7F)},
      {"1.3.6.1.4.1.1240.2.3.4.3.2.1.28.3", Value::octets("Power Saving")},
      {"1.3.6.1.4.1.1240.2.3.4.9.5.1.2.4", Value::octets("Input 2 High")},
      {"1.3.6.1.4.1.1240.2.3.4.9.5.1.2.5", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.oid);
    const std::string text = c.oid;
    EXPECT_EQ(getOne(agent, text[0] == '.' ? E(text) : O(text)), c.value);
  }
}

TEST(SimCatalogue, TrapFormsAndWritability) {
  SnmpAgent first(unitFrom(""), SnmpAgent::Clock::now());
  SnmpAgent second(unitFrom(R"("trap_form":2)"), SnmpAgent::Clock::now());
  EXPECT_EQ(getOne(first, E(".6.2.5.0")), Value::integer(255));
  EXPECT_EQ(getOne(second, E(".6.2.5.0")), Value::integer(0)) << "0: the unit describes its trap events";
  EXPECT_EQ(getOne(first, E(".6.3.1.4.10.1.4.1")), Value::integer(0x807F)) << "printer-event mask";
  EXPECT_EQ(getOne(second, E(".6.3.1.4.10.1.4.1")), Value::integer(0x7F)) << "events of port 1";

  // Read-write variables take a SET; read-only ones and over-long texts do not.
  struct Case {
    const char* oid;
    Value value;
    int status;
  };
  const Case cases[] = {
      {".6.3.1.4.2.0", Value::ip(127, 0, 0, 2), kNoError},
      {".6.3.1.2.0", Value::integer(1), kNoError},  // TCP/IP enable: written by the Protocols page
      {".1.3.0", Value::octets("x"), kReadOnly},
      {".6.3.1.4.9.0", Value::integer(9), kReadOnly},
      {".6.2.3.2.1.2.1", Value::octets("NAME-OF-15-CHAR"), kNoError},
      {".6.2.3.2.1.2.1", Value::octets("NAME-OF-16-CHARS"), kBadValue},  // the catalogue's limit
      {".6.3.1.4.2.0", Value::integer(1), kBadValue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.oid);
    auto d = first.handle(setReq({{E(c.oid), c.value}}), SnmpAgent::Clock::now());
    ASSERT_TRUE(d.answer);
    EXPECT_EQ(d.errorStatus, c.status);
  }
}

TEST(SimCatalogue, AnswersAgreeWithTheDiscoveryReply) {
  SnmpAgent agent(unitFrom(R"("name":"LAB-7","hardware_address":"00408C0A0B0C","get_community":"pub",
      "ports":[{"name":"LPT1"},{"name":"LPT2","status":32,"input_state":2,"status_code":4}],
      "discovery":{"product_number":"PN-1","product_type":"Box","datecode":"9912","subnet_mask":"255.255.0.0",
                   "gateway":"127.0.0.254"})"),
                  SnmpAgent::Clock::now());
  const auto bytes = buildDiscoveryReply(agent.device());
  devices::DiscoveryReply r;
  ASSERT_EQ(devices::parseDiscoveryReply(bytes.data(), bytes.size(), r), devices::ReplyStatus::Ok);
  auto text = [](const auto& fixed) { return Value::octets(std::string(fixed.c_str())); };
  auto ip = [](const std::array<std::uint8_t, 4>& a) { return Value::ip(a[0], a[1], a[2], a[3]); };
  EXPECT_EQ(getOne(agent, std_oids::kSysName), text(r.systemName));
  EXPECT_EQ(getOne(agent, E(".1.3.0")), text(r.productType));
  EXPECT_EQ(getOne(agent, E(".1.4.0")), text(r.productNumber));
  EXPECT_EQ(getOne(agent, E(".1.5.0")), text(r.serialNumber));
  EXPECT_EQ(getOne(agent, E(".1.8.0")), text(r.datecode));
  EXPECT_EQ(getOne(agent, E(".1.6.0")),
            Value::octets(std::string(reinterpret_cast<const char*>(r.hardwareAddress.data()), 6)));
  EXPECT_EQ(getOne(agent, E(".6.3.1.4.1.0")), ip(r.ip));
  EXPECT_EQ(getOne(agent, E(".6.3.1.4.3.0")), ip(r.mask));
  EXPECT_EQ(getOne(agent, E(".6.3.1.4.2.0")), ip(r.gateway));
  EXPECT_EQ(getOne(agent, E(".3.3.0")), text(r.getCommunity));
  EXPECT_EQ(getOne(agent, E(".6.2.3.1.0")), Value::integer(r.portCount));
  for (int p = 0; p < r.portCount; ++p) {
    SCOPED_TRACE("port " + std::to_string(p + 1));
    const auto n = std::to_string(p + 1);
    EXPECT_EQ(getOne(agent, E(".6.2.3.2.1.2." + n)), text(r.ports[std::size_t(p)].name));
    EXPECT_EQ(getOne(agent, E(".6.2.3.2.1.4." + n)), Value::integer(r.ports[std::size_t(p)].inputState == 2 ? 2 : 1));
    EXPECT_EQ(getOne(agent, E(".6.2.3.2.1.5." + n)), Value::integer(r.ports[std::size_t(p)].statusCode));
  }
}

TEST(SimCatalogue, FamilyPrefixCarriesTheWholeMib) {
  SnmpAgent agent(unitFrom(R"("family":"HLQ")"), SnmpAgent::Clock::now());
  EXPECT_EQ(getOne(agent, O("1.3.6.1.4.1.683.6.3.1.4.1.0")), Value::ip(127, 0, 1, 1));
  EXPECT_EQ(getOne(agent, O("1.3.6.1.4.1.683.8.3.4.0")), Value::octets("trellan-lab"));
  auto d = agent.handle(req(kPduGetNext, {O("1.3.6.1.4.1.1240.2.3.5")}), SnmpAgent::Clock::now());
  EXPECT_EQ(d.errorStatus, kNoSuchName) << "nothing under the native prefix";
  EXPECT_TRUE(getOne(agent, O("1.3.6.1.4.1.1240.2.3.4.9.1.0"))) << "the sibling branch is always written out";
}

}  // namespace
}  // namespace sim

namespace sim {
namespace {

using namespace sim::test;

// The configuration sheet's fleet: a unit at every TCP/IP level, in both trap forms, one that
// restarts before it answers the reset, one with a request limit, all from the fleet file.
TEST(SimConfigurationFleet, UnitsAtEveryTcpIpLevelAndBothTrapForms) {
  for (int level = 0; level <= 8; ++level) {
    for (int form : {1, 2}) {
      SCOPED_TRACE("TCP/IP level " + std::to_string(level) + ", trap form " + std::to_string(form));
      SnmpAgent agent(unitFrom(R"("levels":{"tcpip":)" + std::to_string(level) + R"(},"trap_form":)" +
                               std::to_string(form)),
                      SnmpAgent::Clock::now());
      const mib::GroupDef& tcpip = mib::group(mib::GroupId::TcpIp);
      std::size_t answered = 0;
      for (const mib::VariableDef& v : tcpip.variables)
        if (getOne(agent, E(std::string(v.oid)))) ++answered;
      EXPECT_EQ(answered, mib::variableCountAt(tcpip, level));
      EXPECT_EQ(getOne(agent, E(".6.3.1.1.0")), Value::integer(level));
      EXPECT_EQ(getOne(agent, E(".6.2.5.0")), Value::integer(form == 2 ? 0 : 255));
    }
  }
}

TEST(SimConfigurationFleet, ResetWithoutAnswerAndRequestLimitFromTheFleetFile) {
  SnmpAgent silent(unitFrom(R"("agent":{"triggers":[{"oid":".2.2.0","value":2,"answer":false}]})"),
                   SnmpAgent::Clock::now());
  auto d = silent.handle(setReq({{E(".2.2.0"), Value::integer(2)}}), SnmpAgent::Clock::now());
  EXPECT_FALSE(d.answer) << "restarts before it answers";
  EXPECT_EQ(d.event, "reset");
  EXPECT_TRUE(silent.restartEnds());

  SnmpAgent limited(unitFrom(R"("agent":{"max_vars":4})"), SnmpAgent::Clock::now());
  std::vector<Oid> five;
  for (const char* o : {".6.3.1.4.1.0", ".6.3.1.4.2.0", ".6.3.1.4.3.0", ".6.3.1.4.4.0", ".6.3.1.4.5.0"})
    five.push_back(E(o));
  auto big = limited.handle(req(kPduGet, five), SnmpAgent::Clock::now());
  EXPECT_EQ(big.errorStatus, kTooBig);
  EXPECT_EQ(big.errorIndex, 5) << "one more than it could answer";
  five.pop_back();
  EXPECT_EQ(limited.handle(req(kPduGet, five), SnmpAgent::Clock::now()).errorStatus, kNoError);
}

TEST(SimConfigurationFleet, ChangedCommunitiesTakeEffectAtTheReset) {
  SnmpAgent agent(unitFrom(R"("get_community":"pub","set_community":"priv","agent":{"reset_silence_ms":0})"),
                  SnmpAgent::Clock::now());
  auto now = SnmpAgent::Clock::now();
  auto set = agent.handle(setReq({{E(".3.3.0"), Value::octets("newget")}, {E(".3.4.0"), Value::octets("newset")}}, "priv"), now);
  ASSERT_EQ(set.errorStatus, kNoError);
  EXPECT_TRUE(agent.handle(req(kPduGet, {E(".3.3.0")}, "pub"), now).answer) << "staged until the reset";
  EXPECT_EQ(agent.handle(setReq({{E(".2.2.0"), Value::integer(2)}}, "priv"), now).errorStatus, kNoError);
  agent.tick(now + std::chrono::milliseconds(1));
  EXPECT_EQ(agent.device().getCommunity, "newget");
  EXPECT_EQ(agent.device().setCommunity, "newset");
  const auto events = agent.takeEvents();
  EXPECT_EQ(events.size(), 2u);

  now += std::chrono::milliseconds(2);
  EXPECT_FALSE(agent.handle(req(kPduGet, {E(".3.3.0")}, "pub"), now).answer) << "the old community is gone";
  auto read = agent.handle(req(kPduGet, {E(".3.3.0"), E(".3.4.0")}, "newget"), now);
  ASSERT_TRUE(read.answer);
  EXPECT_EQ(read.bindings.at(0).value, Value::octets("newget"));
  EXPECT_EQ(read.bindings.at(1).value, Value::octets("")) << "the SET community stays write-only";
  EXPECT_EQ(agent.handle(setReq({{E(".6.3.1.4.2.0"), Value::ip(127, 0, 0, 9)}}, "newset"), now).errorStatus, kNoError);
}

}  // namespace
}  // namespace sim
