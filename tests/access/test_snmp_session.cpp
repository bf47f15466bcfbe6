// CSnmpSession against a scripted agent on loopback: values and syntaxes copied back, the three
// transmissions with one request id, every result code a request can end with, communities.
#include <gtest/gtest.h>

#include <thread>

#include "access/progress_headless.h"
#include "access/result_codes.h"
#include "access/snmp_session.h"
#include "snmp/engine_watch.h"
#include "test_snmp_session_agent.h"

using namespace snmpaccess;
using fakeagent::Agent;
using fakeagent::Reply;
using fakeagent::Request;

namespace {

const char* kSysName = "1.3.6.1.2.1.1.5.0";
const char* kSysDescr = "1.3.6.1.2.1.1.1.0";

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target.setAddress("127.0.0.1");
    target.setGetCommunity("public");
    target.setSetCommunity("private");
    target.progress = &progress;
  }
  void TearDown() override { SnmpCleanup(); }

  // A session with a short wait (5 = 50 ms per transmission) unless told otherwise.
  std::unique_ptr<CSnmpSession> open(std::uint32_t timeout = 5) {
    int rc = -1;
    auto s = std::make_unique<CSnmpSession>(&target, rc);
    EXPECT_EQ(rc, 0);
    s->setTimeout(timeout);
    return s;
  }

  HeadlessProgress progress{&snmp::headlessWatch()};
  SnmpTarget target;
};

Agent::Script answering(std::vector<const char*> specs) {
  return [specs](const Request& r, int) { return std::vector<Reply>{fakeagent::answer(r, specs)}; };
}

TEST_F(SessionTest, GetCopiesNamesValuesAndSyntaxesBack) {
  Agent agent(answering({"octets:printer-1", "gauge32:7"}));
  auto s = open(200);
  CVarBind name(kSysName), descr(kSysDescr);
  CVarBind* list[] = {&name, &descr};
  ASSERT_EQ(s->get(list, 2), 0);
  EXPECT_EQ(name.displayText(), "printer-1");
  EXPECT_EQ(name.name().text(), kSysName);
  EXPECT_EQ(descr.syntax(), SNMP_SYNTAX_GAUGE32);
  smiINT i = 0;
  EXPECT_EQ(descr.getInteger(i), result::kWrongType) << "a Gauge32 is not an integer";
  smiUINT32 u = 0;
  EXPECT_EQ(descr.getUnsigned(u), 0);
  EXPECT_EQ(u, 7u);
  EXPECT_EQ(s->lastTransmissions(), 1);
  EXPECT_EQ(progress.text(), "Reading server information...");
  const auto seen = agent.requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].type, SNMP_PDU_GET);
  EXPECT_EQ(seen[0].community, "public");
  EXPECT_EQ(seen[0].names.size(), 2u);
}

TEST_F(SessionTest, EmptyRequestSendsNothing) {
  Agent agent(answering({"int:1"}));
  auto s = open();
  CVarBind name(kSysName);
  CVarBind* list[] = {&name};
  EXPECT_EQ(s->get(list, 0), result::kEmptyRequest);
  EXPECT_EQ(s->get(nullptr, 1), result::kEmptyRequest);
  target.setAddress("");
  EXPECT_EQ(s->get(list, 1), result::kEmptyRequest);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(agent.requestCount(), 0u);
}

TEST_F(SessionTest, SilentAgentGetsThreeTransmissionsWithOneRequestId) {
  Agent agent([](const Request&, int) { return std::vector<Reply>{}; });
  auto s = open(5);
  CVarBind name(kSysName);
  CVarBind* list[] = {&name};
  EXPECT_EQ(s->get(list, 1), result::kNoReply);
  EXPECT_EQ(s->lastTransmissions(), 3);
  // The agent thread may still be taking the last datagram.
  for (int i = 0; i < 100 && agent.requestCount() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const auto seen = agent.requests();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].requestId, seen[1].requestId);
  EXPECT_EQ(seen[1].requestId, seen[2].requestId);
  EXPECT_EQ(name.syntax(), SNMP_SYNTAX_NULL);
}

TEST_F(SessionTest, AnswerToTheSecondTransmissionCounts) {
  Agent agent([](const Request& r, int index) {
    if (index == 0) return std::vector<Reply>{};
    return std::vector<Reply>{fakeagent::answer(r, {"int:42"})};
  });
  auto s = open(5);
  CVarBind name(kSysName);
  CVarBind* list[] = {&name};
  ASSERT_EQ(s->get(list, 1), 0);
  EXPECT_EQ(s->lastTransmissions(), 2);
  smiINT v = 0;
  EXPECT_EQ(name.getInteger(v), 0);
  EXPECT_EQ(v, 42);
}

TEST_F(SessionTest, StopEndsTheWaitAtOnce) {
  Agent agent([](const Request&, int) { return std::vector<Reply>{}; });
  auto s = open(3000);  // 30 s: only Stop can end this in time
  std::thread stopper([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    progress.stop();
  });
  CVarBind name(kSysName);
  CVarBind* list[] = {&name};
  EXPECT_EQ(s->get(list, 1), result::kStopped);
  stopper.join();
  EXPECT_EQ(s->lastTransmissions(), 1);
  EXPECT_TRUE(progress.isStopped());
}

TEST_F(SessionTest, ErrorStatusesMapToCodesWithTheIndex) {
  struct Case {
    smiINT status;
    int expected;
  };
  const Case cases[] = {{1, result::kTooBig},   {2, result::kNoSuchName}, {3, result::kBadValue},
                        {4, result::kReadOnly}, {5, result::kGenErr},     {6, 6},
                        {18, 18}};
  for (const Case& c : cases) {
    Agent agent([&c](const Request& r, int) {
      Reply reply = fakeagent::answer(r, {"null"});
      reply.errorStatus = c.status;
      reply.errorIndex = 2;
      return std::vector<Reply>{reply};
    });
    auto s = open(200);
    CVarBind a(kSysName), b(kSysDescr);
    a.setInteger(5);
    CVarBind* list[] = {&a, &b};
    int status = -1, index = -1;
    EXPECT_EQ(s->get(list, 2, &status, &index), c.expected) << "error status " << c.status;
    EXPECT_EQ(status, c.status) << "error status " << c.status;
    EXPECT_EQ(index, 2) << "error status " << c.status;
    smiINT v = 0;
    EXPECT_EQ(a.getInteger(v), 0) << "bindings stay as they were";
    EXPECT_EQ(v, 5);
  }
}

TEST_F(SessionTest, ReplyWithOneBindingFewerLeavesBindingsUnchanged) {
  Agent agent([](const Request& r, int) {
    Reply reply = fakeagent::answer(r, {"octets:x"});
    reply.bindings.pop_back();
    return std::vector<Reply>{reply};
  });
  auto s = open(200);
  CVarBind a(kSysName), b(kSysDescr);
  a.setText("before");
  CVarBind* list[] = {&a, &b};
  EXPECT_EQ(s->get(list, 2), result::kCountMismatch);
  EXPECT_EQ(a.displayText(), "before");
  EXPECT_EQ(b.syntax(), SNMP_SYNTAX_NULL);
}

TEST_F(SessionTest, RepliesThatAreNotTheAnswer) {
  struct Case {
    const char* name;
    std::function<std::vector<Reply>(const Request&)> replies;
    int expected;
  };
  const Case cases[] = {
      {"not a Response PDU",
       [](const Request& r) {
         Reply reply = fakeagent::answer(r, {"int:1"});
         reply.type = SNMP_PDU_GET;
         return std::vector<Reply>{reply};
       },
       result::kNotResponse},
      {"undecodable datagram",
       [](const Request&) {
         Reply reply;
         reply.raw = {0x30, 0x03, 0x02, 0x01};
         return std::vector<Reply>{reply};
       },
       result::kReceiveFailed},
      {"another request id first, then the answer",
       [](const Request& r) {
         Reply stale = fakeagent::answer(r, {"int:666"});
         stale.ownRequestId = true;
         stale.requestId = r.requestId + 1;
         return std::vector<Reply>{stale, fakeagent::answer(r, {"int:9"})};
       },
       0},
      {"another host first, then the answer",
       [](const Request& r) {
         Reply foreign = fakeagent::answer(r, {"int:666"});
         foreign.fromAddress = 0x7F000002;  // 127.0.0.2
         return std::vector<Reply>{foreign, fakeagent::answer(r, {"int:9"})};
       },
       0},
      {"only a stale request id: no answer",
       [](const Request& r) {
         Reply stale = fakeagent::answer(r, {"int:666"});
         stale.ownRequestId = true;
         stale.requestId = r.requestId ^ 0x5A5A;
         return std::vector<Reply>{stale};
       },
       result::kNoReply},
  };
  for (const Case& c : cases) {
    Agent agent([&c](const Request& r, int) { return c.replies(r); });
    auto s = open(20);
    CVarBind a(kSysName);
    CVarBind* list[] = {&a};
    EXPECT_EQ(s->get(list, 1), c.expected) << c.name;
    smiINT v = 0;
    if (c.expected == 0) {
      EXPECT_EQ(a.getInteger(v), 0) << c.name;
      EXPECT_EQ(v, 9) << c.name;
    } else {
      EXPECT_EQ(a.syntax(), SNMP_SYNTAX_NULL) << c.name << ": nothing reaches the binding";
    }
  }
}

TEST_F(SessionTest, CommunitiesOfGetGetNextAndSet) {
  Agent agent(answering({"int:1"}));
  auto s = open(200);
  CVarBind a(kSysName);
  CVarBind* list[] = {&a};
  ASSERT_EQ(s->get(list, 1), 0);
  a.setText("new name");
  ASSERT_EQ(s->set(list, 1), 0);
  EXPECT_EQ(progress.text(), "Updating server information...");
  ASSERT_EQ(s->get(list, 1), 0);
  ASSERT_EQ(s->getNext(list, 1), 0);
  ASSERT_EQ(s->get(list, 1), 0);
  const auto seen = agent.requests();
  ASSERT_EQ(seen.size(), 5u);
  const std::pair<smiINT, const char*> expected[] = {{SNMP_PDU_GET, "public"},
                                                     {SNMP_PDU_SET, "private"},
                                                     {SNMP_PDU_GET, "private"},  // a GET after a SET keeps the SET community
                                                     {SNMP_PDU_GETNEXT, "public"},
                                                     {SNMP_PDU_GET, "public"}};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(seen[i].type, expected[i].first) << "request " << i;
    EXPECT_EQ(seen[i].community, expected[i].second) << "request " << i;
  }
  EXPECT_EQ(seen[1].values[0].value().syntax, SNMP_SYNTAX_OCTETS);
}

TEST_F(SessionTest, RequestsThatFailBeforeSending) {
  Agent agent(answering({"int:1"}));
  CVarBind a(kSysName);
  CVarBind* list[] = {&a};
  {
    target.setSetCommunity("");
    auto s = open();
    EXPECT_EQ(s->set(list, 1), result::kNoContext) << "no SET community";
    target.setSetCommunity("private");
  }
  {
    target.setAddress("300.1.2.3");
    auto s = open();
    EXPECT_EQ(s->get(list, 1), result::kBadAddress);
    target.setAddress("127.0.0.1");
  }
  {
    auto s = open();
    CVarBind unnamed;
    CVarBind* bad[] = {&unnamed};
    EXPECT_EQ(s->get(bad, 1), result::kVblFailed) << "a binding without a name";
    std::vector<CVarBind> many(33, CVarBind(kSysName));
    std::vector<CVarBind*> pointers;
    for (auto& b : many) pointers.push_back(&b);
    EXPECT_EQ(s->get(pointers), result::kVblFailed) << "more bindings than a list holds";
  }
  {
    // The loopback guard refuses to send anywhere else: a send failure.
    target.setAddress("10.1.2.3");
    auto s = open();
    EXPECT_EQ(s->get(list, 1), result::kSendFailed);
    target.setAddress("127.0.0.1");
  }
  {
    SnmpTarget noWindow = target;
    noWindow.progress = nullptr;
    int rc = 0;
    CSnmpSession s(&noWindow, rc);
    EXPECT_EQ(rc, result::kNoSession);
    EXPECT_EQ(s.get(list, 1), result::kNoSession);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(agent.requestCount(), 0u);
}

TEST_F(SessionTest, OidAndAddressValuesComeBackTyped) {
  Agent agent(answering({"oid:1.3.6.1.4.1.1240", "ipaddr:10.0.0.5", "counter64:4294967297", "hex:414200"}));
  auto s = open(200);
  CVarBind a(kSysName), b(kSysName), c(kSysName), d(kSysName);
  CVarBind* list[] = {&a, &b, &c, &d};
  ASSERT_EQ(s->get(list, 4), 0);
  COid oid;
  EXPECT_EQ(a.getOid(oid), 0);
  EXPECT_EQ(oid.text(), "1.3.6.1.4.1.1240");
  smiBYTE ip[4] = {};
  EXPECT_EQ(b.getIpAddress(ip), 0);
  EXPECT_EQ(ip[0], 10);
  EXPECT_EQ(ip[3], 5);
  smiUINT32 hi = 0, lo = 0;
  EXPECT_EQ(c.getCounter64(hi, lo), 0);
  EXPECT_EQ(hi, 1u);
  EXPECT_EQ(lo, 1u);
  EXPECT_EQ(d.displayText(), "41 42 00");
}

}  // namespace
