// Decisions of the simulated firmware, without sockets or codec.
#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace sim {
namespace {

using namespace sim::test;
using Clock = SnmpAgent::Clock;
using std::chrono::milliseconds;

const Clock::time_point T0 = Clock::time_point{} + std::chrono::hours(1);

TEST(SimAgent, CommunityTable) {
  struct Case {
    const char* name;
    std::string get, set;
    ReadOnlyCommunity policy;
    int pdu;
    std::string community;
    bool answered;
    int status;
  };
  const Oid writable = E(".6.3.1.4.4.0");
  const Case cases[] = {
      {"get with get community", "pub", "priv", ReadOnlyCommunity::ReadOnly, kPduGet, "pub", true, kNoError},
      {"get with set community", "pub", "priv", ReadOnlyCommunity::ReadOnly, kPduGet, "priv", true, kNoError},
      {"getnext with set community", "pub", "priv", ReadOnlyCommunity::ReadOnly, kPduGetNext, "priv", true, kNoError},
      {"get with wrong community", "pub", "priv", ReadOnlyCommunity::ReadOnly, kPduGet, "nope", false, 0},
      {"community is case sensitive", "pub", "priv", ReadOnlyCommunity::ReadOnly, kPduGet, "PUB", false, 0},
      {"set with set community", "pub", "priv", ReadOnlyCommunity::ReadOnly, kPduSet, "priv", true, kNoError},
      {"set with get community, readOnly unit", "pub", "priv", ReadOnlyCommunity::ReadOnly, kPduSet, "pub", true,
       kReadOnly},
      {"set with get community, silent unit", "pub", "priv", ReadOnlyCommunity::Silence, kPduSet, "pub", false, 0},
      {"set with wrong community", "pub", "priv", ReadOnlyCommunity::ReadOnly, kPduSet, "nope", false, 0},
      {"same community for both", "vorlak", "vorlak", ReadOnlyCommunity::Silence, kPduSet, "vorlak", true, kNoError},
  };
  for (const auto& c : cases) {
    DeviceModel d = smallUnit();
    d.getCommunity = c.get;
    d.setCommunity = c.set;
    d.agent.setWithGetCommunity = c.policy;
    SnmpAgent agent(std::move(d), T0);
    Request r = c.pdu == kPduSet ? setReq({{writable, Value::integer(4)}}, c.community)
                                 : req(c.pdu, {writable}, c.community);
    Decision out = agent.handle(r, T0);
    EXPECT_EQ(out.answer, c.answered) << c.name;
    if (out.answer) {
      EXPECT_EQ(out.errorStatus, c.status) << c.name;
      if (c.status == kReadOnly) {
        EXPECT_EQ(out.errorIndex, 1) << c.name;
      }
    } else {
      EXPECT_FALSE(out.reason.empty()) << c.name;
    }
  }
}

TEST(SimAgent, NoSuchNameGivesTheFirstAbsentBinding) {
  struct Case { const char* name; int pdu; std::vector<Oid> oids; int index; };
  const Case cases[] = {
      {"get, absent first", kPduGet, {E(".9.9.0"), E(".1.3.0")}, 1},
      {"get, absent third", kPduGet, {E(".1.3.0"), E(".1.1.0"), E(".9.9.0"), E(".9.8.0")}, 3},
      {"get, an area prefix is not a variable", kPduGet, {E(".1.3")}, 1},
      {"getnext past the end", kPduGetNext, {E(".1.3.0"), O("2.0")}, 2},
  };
  for (const auto& c : cases) {
    SnmpAgent agent(smallUnit(), T0);
    Request r = req(c.pdu, c.oids);
    Decision out = agent.handle(r, T0);
    ASSERT_TRUE(out.answer) << c.name;
    EXPECT_EQ(out.errorStatus, kNoSuchName) << c.name;
    EXPECT_EQ(out.errorIndex, c.index) << c.name;
    EXPECT_EQ(out.bindings, r.bindings) << c.name << ": an error reply echoes the request";
  }
}

TEST(SimAgent, GetAnswersValuesAndComputesUptime) {
  SnmpAgent agent(smallUnit(), T0);
  Decision out = agent.handle(req(kPduGet, {E(".1.3.0"), std_oids::kSysUpTime, std_oids::kIfSpeed1}), T0 + milliseconds(1234));
  ASSERT_TRUE(out.answer);
  ASSERT_EQ(out.errorStatus, kNoError);
  ASSERT_EQ(out.bindings.size(), 3u);
  EXPECT_EQ(out.bindings[0].value, Value::octets("Product"));
  EXPECT_EQ(out.bindings[1].value, Value::unsignedOf(Syntax::TimeTicks, 123));
  EXPECT_EQ(out.bindings[2].value, Value::unsignedOf(Syntax::Gauge, 100000000));
}

TEST(SimAgent, GetNextReturnsTheFollowingNames) {
  SnmpAgent agent(smallUnit(), T0);
  Decision out = agent.handle(req(kPduGetNext, {O("1.3.6.1.2.1.1"), std_oids::kSysLocation, O("1.3.6.1.2.1.43")}), T0);
  ASSERT_TRUE(out.answer);
  ASSERT_EQ(out.bindings.size(), 3u);
  EXPECT_EQ(out.bindings[0].oid, std_oids::kSysDescr);
  EXPECT_EQ(out.bindings[1].oid, std_oids::kIfSpeed1);
  EXPECT_EQ(out.bindings[2].oid, concat(std_oids::kPrtMediaPathStatus, {1, 1}));
}

TEST(SimAgent, TooBigIndexModes) {
  struct Case { const char* name; TooBigIndex mode; std::uint32_t limit; std::size_t count; int status; int index; };
  const Case cases[] = {
      {"15 over a limit of 9: index 10", TooBigIndex::PlusOne, 9, 15, kTooBig, 10},
      {"exactly the limit answers", TooBigIndex::PlusOne, 9, 9, kNoError, 0},
      {"one over the limit", TooBigIndex::PlusOne, 18, 19, kTooBig, 19},
      {"index-zero unit", TooBigIndex::Zero, 9, 15, kTooBig, 0},
      {"index-one unit", TooBigIndex::One, 9, 15, kTooBig, 1},
      {"no limit", TooBigIndex::PlusOne, 0, 30, kNoError, 0},
  };
  for (const auto& c : cases) {
    for (int pdu : {kPduGet, kPduGetNext}) {
      DeviceModel d = smallUnit();
      d.agent.maxVarsPerReply = c.limit;
      d.agent.tooBigIndex = c.mode;
      SnmpAgent agent(std::move(d), T0);
      std::vector<Oid> oids(c.count, E(".1.3.0"));
      Decision out = agent.handle(req(pdu, oids), T0);
      ASSERT_TRUE(out.answer) << c.name;
      EXPECT_EQ(out.errorStatus, c.status) << c.name << " pdu " << pdu;
      EXPECT_EQ(out.errorIndex, c.index) << c.name << " pdu " << pdu;
      if (c.status == kNoError) {
        EXPECT_EQ(out.bindings.size(), c.count) << c.name;
      }
    }
  }
}

TEST(SimAgent, BindingsAreServedInOrderSoTheFirstProblemDecides) {
  DeviceModel d = smallUnit();
  d.agent.maxVarsPerReply = 3;
  SnmpAgent agent(std::move(d), T0);
  // An absent name inside the buffer wins; one past the buffer is never looked at.
  Decision a = agent.handle(req(kPduGet, {E(".1.3.0"), E(".9.9.0"), E(".1.3.0"), E(".1.3.0")}), T0);
  EXPECT_EQ(a.errorStatus, kNoSuchName);
  EXPECT_EQ(a.errorIndex, 2);
  Decision b = agent.handle(req(kPduGet, {E(".1.3.0"), E(".1.3.0"), E(".1.3.0"), E(".9.9.0")}), T0);
  EXPECT_EQ(b.errorStatus, kTooBig);
  EXPECT_EQ(b.errorIndex, 4);
}

TEST(SimAgent, SetRulesTable) {
  const Oid intVar = E(".6.3.1.4.4.0"), textVar = E(".6.3.2.4.4.0"), roText = E(".1.3.0"), ipVar = E(".6.3.1.4.1.0"),
            counter = E(".4.2.0");
  struct Case { const char* name; std::vector<Binding> bindings; int status; int index; };
  const Case cases[] = {
      {"good integer and text", {{intVar, Value::integer(9)}, {textVar, Value::octets("NEW")}}, kNoError, 0},
      {"absent name", {{intVar, Value::integer(9)}, {E(".9.9.0"), Value::integer(1)}}, kNoSuchName, 2},
      {"read-only text", {{roText, Value::octets("x")}}, kReadOnly, 1},
      {"read-only counter", {{counter, Value::unsignedOf(Syntax::Counter, 1)}}, kReadOnly, 1},
      {"text into an integer", {{intVar, Value::octets("9")}}, kBadValue, 1},
      {"integer into a text", {{textVar, Value::octets("ok")}, {textVar, Value::integer(1)}}, kBadValue, 2},
      {"gauge into an integer", {{intVar, Value::unsignedOf(Syntax::Gauge, 9)}}, kBadValue, 1},
      {"null value", {{intVar, Value::null()}}, kBadValue, 1},
      {"address of 3 bytes", {{ipVar, Value{Syntax::IpAddress, 0, std::string(3, '\1'), {}}}}, kBadValue, 1},
      {"text over its length", {{textVar, Value::octets(std::string(256, 'a'))}}, kBadValue, 1},
      {"text at its length", {{textVar, Value::octets(std::string(255, 'a'))}}, kNoError, 0},
  };
  for (const auto& c : cases) {
    DeviceModel d = smallUnit();
    d.agent.setMode = SetMode::Immediate;
    SnmpAgent agent(std::move(d), T0);
    const auto before = agent.device().store.entries();
    Decision out = agent.handle(setReq(c.bindings), T0);
    ASSERT_TRUE(out.answer) << c.name;
    EXPECT_EQ(out.errorStatus, c.status) << c.name;
    EXPECT_EQ(out.errorIndex, c.index) << c.name;
    EXPECT_EQ(out.bindings, c.bindings) << c.name << ": a SET reply echoes the request";
    if (c.status != kNoError) {
      // All or nothing: a refused SET changes no variable.
      for (const auto& [oid, e] : agent.device().store.entries())
        EXPECT_EQ(e.value, before.at(oid).value) << c.name << " changed " << formatOid(oid);
    } else {
      for (const auto& b : c.bindings) EXPECT_EQ(agent.device().store.find(b.oid)->value, b.value) << c.name;
    }
  }
}

TEST(SimAgent, IntegerRangeOfAVariable) {
  DeviceModel d = smallUnit();
  d.agent.setMode = SetMode::Immediate;
  d.store.find(E(".6.3.1.4.4.0"))->minimum = 1;
  d.store.find(E(".6.3.1.4.4.0"))->maximum = 5;
  SnmpAgent agent(std::move(d), T0);
  for (auto [v, status] : {std::pair{0, kBadValue}, {1, kNoError}, {5, kNoError}, {6, kBadValue}})
    EXPECT_EQ(agent.handle(setReq({{E(".6.3.1.4.4.0"), Value::integer(v)}}), T0).errorStatus, status) << v;
}

TEST(SimAgent, SetWaitsForTheResetWhichSilencesTheUnit) {
  DeviceModel d = smallUnit();
  d.agent.resetSilenceMs = 3000;
  SnmpAgent agent(std::move(d), T0);
  const Oid var = E(".6.3.2.4.4.0");
  ASSERT_EQ(agent.handle(setReq({{var, Value::octets("NEXT")}}), T0).errorStatus, kNoError);
  Decision read = agent.handle(req(kPduGet, {var}), T0);
  EXPECT_EQ(read.bindings.at(0).value, Value::octets("PSERVER")) << "staged until the reset";

  Decision reset = agent.handle(setReq({{E(".2.2.0"), Value::integer(2)}}), T0 + milliseconds(10));
  EXPECT_TRUE(reset.answer) << "the unit answers the reset first";
  EXPECT_EQ(reset.errorStatus, kNoError);
  EXPECT_EQ(reset.event, "reset");
  ASSERT_TRUE(agent.restartEnds());

  struct Probe { int at; bool answered; };
  for (auto p : {Probe{20, false}, Probe{3009, false}}) {
    Decision out = agent.handle(req(kPduGet, {var}), T0 + milliseconds(p.at));
    EXPECT_EQ(out.answer, p.answered) << p.at;
    EXPECT_EQ(out.reason, "restarting") << p.at;
  }
  Decision back = agent.handle(req(kPduGet, {var, std_oids::kSysUpTime, E(".2.2.0")}), T0 + milliseconds(3010 + 500));
  ASSERT_TRUE(back.answer);
  EXPECT_EQ(back.bindings.at(0).value, Value::octets("NEXT")) << "staged change taken on";
  EXPECT_EQ(back.bindings.at(1).value, Value::unsignedOf(Syntax::TimeTicks, 50)) << "uptime restarts";
  EXPECT_EQ(back.bindings.at(2).value, Value::integer(1)) << "an action variable reads back 1";
}

TEST(SimAgent, TickBringsTheUnitBackWithoutARequest) {
  DeviceModel d = smallUnit();
  d.agent.resetSilenceMs = 100;
  SnmpAgent agent(std::move(d), T0);
  agent.handle(setReq({{E(".2.2.0"), Value::integer(2)}}), T0);
  EXPECT_FALSE(agent.tick(T0 + milliseconds(99)));
  EXPECT_TRUE(agent.tick(T0 + milliseconds(100)));
  EXPECT_FALSE(agent.restartEnds());
  EXPECT_FALSE(agent.tick(T0 + milliseconds(200)));
}

TEST(SimAgent, ResetValueOtherThanTheTriggerIsAPlainSet) {
  SnmpAgent agent(smallUnit(), T0);
  Decision out = agent.handle(setReq({{E(".2.2.0"), Value::integer(1)}}), T0);
  EXPECT_EQ(out.errorStatus, kNoError);
  EXPECT_TRUE(out.event.empty());
  EXPECT_FALSE(agent.restartEnds());
}

TEST(SimAgent, UnitThatRestartsBeforeAnswering) {
  DeviceModel d = smallUnit();
  for (auto& t : d.agent.triggers) t.answer = false;
  SnmpAgent agent(std::move(d), T0);
  Decision out = agent.handle(setReq({{E(".2.2.0"), Value::integer(2)}}), T0);
  EXPECT_FALSE(out.answer);
  EXPECT_EQ(out.event, "reset");
  EXPECT_TRUE(agent.restartEnds());
}

TEST(SimAgent, RestoreTriggersRestoreTheirPartOnly) {
  struct Case { const char* name; Oid trigger; bool tcpRestored; bool netwareRestored; };
  const Case cases[] = {
      {"restore all", E(".2.4.0"), true, true},
      {"restore TCP/IP", E(".6.3.1.3.1.0"), true, false},
      {"restore output ports", E(".6.2.2.1.0"), false, false},
  };
  for (const auto& c : cases) {
    DeviceModel d = smallUnit();
    d.agent.setMode = SetMode::Immediate;
    d.agent.resetSilenceMs = 0;
    SnmpAgent agent(std::move(d), T0);
    const Oid tcp = E(".6.3.1.4.4.0"), netware = E(".6.3.2.4.4.0");
    ASSERT_EQ(agent.handle(setReq({{tcp, Value::integer(8)}, {netware, Value::octets("CHANGED")}}), T0).errorStatus,
              kNoError);
    Decision out = agent.handle(setReq({{c.trigger, Value::integer(2)}}), T0);
    EXPECT_EQ(out.event, "restore") << c.name;
    Decision read = agent.handle(req(kPduGet, {tcp, netware}), T0 + milliseconds(1));
    ASSERT_TRUE(read.answer) << c.name;
    EXPECT_EQ(read.bindings[0].value, c.tcpRestored ? Value::integer(3) : Value::integer(8)) << c.name;
    EXPECT_EQ(read.bindings[1].value, c.netwareRestored ? Value::octets("PSERVER") : Value::octets("CHANGED")) << c.name;
  }
}

TEST(SimAgent, AddressChangeTakesEffectAtTheRestart) {
  struct Case { const char* name; std::optional<Oid> addressOid; Value newValue; std::optional<std::uint32_t> move; };
  const Case cases[] = {
      {"new address", std::nullopt, Value::ip(127, 0, 9, 9), 0x7F000909u},
      {"same address", std::nullopt, Value::ip(127, 0, 1, 1), std::nullopt},
      {"moving switched off", Oid{}, Value::ip(127, 0, 9, 9), std::nullopt},
  };
  for (const auto& c : cases) {
    DeviceModel d = smallUnit();  // its address variable E.6.3.1.4.1.0 holds 127.0.1.1
    if (c.addressOid) d.agent.addressOid = c.addressOid;
    d.agent.resetSilenceMs = 10;
    SnmpAgent agent(std::move(d), T0);
    ASSERT_EQ(agent.handle(setReq({{E(".6.3.1.4.1.0"), c.newValue}, {E(".2.2.0"), Value::integer(2)}}), T0).errorStatus,
              kNoError);
    EXPECT_FALSE(agent.takeMove()) << c.name << ": not before the restart";
    ASSERT_TRUE(agent.tick(T0 + milliseconds(10)));
    EXPECT_EQ(agent.takeMove(), c.move) << c.name;
    EXPECT_FALSE(agent.takeMove()) << c.name << ": taken once";
  }
}

TEST(SimAgent, FaultsTable) {
  struct Case { const char* name; Faults faults; std::vector<bool> answered; };
  Faults silent;
  silent.silent = true;
  Faults drop3;
  drop3.dropEvery = 3;
  const Case cases[] = {
      {"silent unit", silent, {false, false, false}},
      {"drop every third", drop3, {true, true, false, true, true, false}},
  };
  for (const auto& c : cases) {
    DeviceModel d = smallUnit();
    d.faults = c.faults;
    SnmpAgent agent(std::move(d), T0);
    for (std::size_t i = 0; i < c.answered.size(); ++i)
      EXPECT_EQ(agent.handle(req(kPduGet, {E(".1.3.0")}), T0).answer, c.answered[i]) << c.name << " request " << i + 1;
  }
}

TEST(SimAgent, ReplyFaultsCountReplies) {
  DeviceModel d = smallUnit();
  d.faults.missingBindingEvery = 2;
  d.faults.shortEvery = 3;
  d.faults.delayMs = 40;
  SnmpAgent agent(std::move(d), T0);
  std::vector<std::size_t> sizes;
  std::vector<ReplyFault> faults;
  for (int i = 0; i < 4; ++i) {
    Decision out = agent.handle(req(kPduGet, {E(".1.3.0"), E(".1.1.0")}), T0);
    sizes.push_back(out.bindings.size());
    faults.push_back(out.fault);
    EXPECT_EQ(out.delayMs, 40u);
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{2, 1, 2, 1}));
  EXPECT_EQ(faults, (std::vector<ReplyFault>{ReplyFault::None, ReplyFault::None, ReplyFault::Short, ReplyFault::None}));
}

TEST(SimAgent, IgnoresPdusThatAreNotRequests) {
  SnmpAgent agent(smallUnit(), T0);
  for (int type : {kPduResponse, 0xA4, 0xA5, 0xA7}) {
    Decision out = agent.handle(req(type, {E(".1.3.0")}), T0);
    EXPECT_FALSE(out.answer) << type;
  }
}

}  // namespace
}  // namespace sim
