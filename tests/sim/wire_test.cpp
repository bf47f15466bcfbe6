// Requests and replies through the engine's codec, the fitting of a reply into one message, and
// the byte-level reply faults.
#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace sim {
namespace {

using namespace sim::test;
using Clock = SnmpAgent::Clock;

TEST(SimWire, RequestRoundTripKeepsEverySyntax) {
  Request r = setReq({{E(".1.0"), Value::integer(-129)},
                      {E(".2.0"), Value::octets(std::string("a\0b", 3))},
                      {E(".3.0"), Value::ip(127, 0, 0, 1)},
                      {E(".4.0"), Value::unsignedOf(Syntax::Counter, 4294967295u)},
                      {E(".5.0"), Value::unsignedOf(Syntax::Gauge, 7)},
                      {E(".6.0"), Value::unsignedOf(Syntax::TimeTicks, 100)},
                      {E(".7.0"), Value::objectId(O("1.3.6.1.4.1.1240"))},
                      {E(".8.0"), Value::null()},
                      {E(".9.0"), Value{Syntax::Counter64, std::int64_t(0x8000000000000001ull), {}, {}}}},
                     "priv");
  Bytes b;
  ASSERT_EQ(encodeRequest(r, b), 0u);
  std::uint32_t rc = 0;
  auto back = decodeRequest(b.data(), b.size(), &rc);
  ASSERT_TRUE(back) << rc;
  EXPECT_EQ(back->community, "priv");
  EXPECT_EQ(back->pduType, kPduSet);
  EXPECT_EQ(back->requestId, 78);
  EXPECT_EQ(back->bindings, r.bindings);
}

TEST(SimWire, ReplyThatDoesNotFitBecomesTooBigForWhatFitted) {
  DeviceModel d = smallUnit();
  for (std::uint32_t i = 1; i <= 10; ++i) d.store.define(E(".20." + std::to_string(i)), Value::octets(std::string(200, 'x')), false);
  const auto now = Clock::now();
  SnmpAgent agent(std::move(d), now);
  Request r;
  for (std::uint32_t i = 1; i <= 10; ++i) r.bindings.push_back({E(".20." + std::to_string(i)), Value::null()});
  r.community = kDefaultCommunity;
  Decision dec = agent.handle(r, now);
  ASSERT_EQ(dec.errorStatus, kNoError);
  Bytes out;
  ASSERT_EQ(encodeAnswer(agent, r, dec, out), 0u);
  EXPECT_EQ(dec.errorStatus, kTooBig);
  // Each binding takes about 216 bytes: six fit in 1408, so the index names the seventh.
  EXPECT_EQ(dec.errorIndex, 7);
  EXPECT_EQ(dec.bindings, r.bindings);
  auto reply = decodeReply(out.data(), out.size(), nullptr);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->errorStatus, kTooBig);
  EXPECT_EQ(reply->errorIndex, 7);
}

TEST(SimWire, DamagedRepliesDoNotDecode) {
  Request r = req(kPduGet, {E(".1.3.0")});
  Decision d;
  d.answer = true;
  d.bindings = {{E(".1.3.0"), Value::octets("Product")}};
  Bytes good;
  ASSERT_EQ(encodeResponse(r, d, good), 0u);
  ASSERT_TRUE(decodeReply(good.data(), good.size(), nullptr));
  for (ReplyFault f : {ReplyFault::Short, ReplyFault::Malformed}) {
    Bytes b = good;
    damageReply(b, f);
    std::uint32_t rc = 0;
    EXPECT_FALSE(decodeReply(b.data(), b.size(), &rc)) << int(f);
    EXPECT_NE(rc, 0u);
  }
}

}  // namespace
}  // namespace sim
