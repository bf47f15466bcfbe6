// Sessions of several threads at once, as a multi-unit run uses them: each thread fails its own
// way and must read its own code back (from its session and from the task), and each exchanges
// GETs with one agent on loopback and gets its own replies. Also built with ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <string>
#include <thread>
#include <vector>

#include "test_transport_fixture.h"

namespace {

constexpr int kRounds = 12;

// Answers every GET with a response of the same request id until told to stop.
class EchoAgent {
 public:
  EchoAgent() : thread_([this] { run(); }) {}
  ~EchoAgent() {
    stop_ = true;
    thread_.join();
  }
  std::uint16_t port() const { return responder_.port(); }

 private:
  void run() {
    // Bounded: each wait is short and the test stops the agent when its threads are done.
    for (int idle = 0; !stop_ && idle < 600;) {
      platform::SocketAddress from;
      const std::vector<smiBYTE> request = responder_.take(&from, std::chrono::milliseconds(50));
      if (request.empty()) {
        ++idle;
        continue;
      }
      const smiINT32 id = requestIdOf(request.data(), request.size());
      if (id > 0) responder_.send(encodeMessage(SNMP_PDU_RESPONSE, id), from);
    }
  }

  Responder responder_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// How one thread makes the engine fail, with the code it must then read back.
struct Failure {
  const char* name;
  smiUINT32 code;
  void (*provoke)(HSNMP_SESSION);
};

const Failure kFailures[] = {
    {"empty community", SNMPAPI_CONTEXT_INVALID, [](HSNMP_SESSION s) { SnmpStrToContext(s, nullptr); }},
    {"no address text", SNMPAPI_ENTITY_UNKNOWN, [](HSNMP_SESSION s) { SnmpStrToEntity(s, nullptr); }},
    {"no such list", SNMPAPI_VBL_INVALID, [](HSNMP_SESSION s) { SnmpDuplicateVbl(s, 0); }},
    {"community too long",
     SNMPAPI_OUTPUT_TRUNCATED,
     [](HSNMP_SESSION s) {
       static smiBYTE bytes[snmp::kMaxCommunity + 1] = {};
       const smiOCTETS longer{snmp::kMaxCommunity + 1, bytes};
       SnmpStrToContext(s, &longer);
     }},
};
constexpr int kThreads = static_cast<int>(std::size(kFailures));

// What one thread saw, checked on the main thread.
struct Seen {
  int ownSessionError = 0;  // rounds whose session reported the thread's own code
  int ownTaskError = 0;     // rounds whose task-wide query did
  int replies = 0;          // rounds whose GET was answered with its own request id
  std::string trouble;      // the first thing that went wrong
  void note(const std::string& what) {
    if (trouble.empty()) trouble = what;
  }
};

void runThread(const Failure& failure, std::barrier<>& together, Seen& seen) {
  snmp::ScopedThreadSocketWatch watch(&snmp::headlessWatch());
  platform::HeadlessTarget target;
  target.setSocketWatch(&snmp::headlessWatch());
  const HSNMP_SESSION session = SnmpOpen(&target, kArrived);
  // As every device session does when it opens, on whichever thread.
  if (SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1) == SNMPAPI_FAILURE) seen.note("translate mode refused");
  const HSNMP_ENTITY agent = session ? SnmpStrToEntity(session, "127.0.0.1") : 0;
  static const smiOCTETS community{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
  const HSNMP_CONTEXT context = agent ? SnmpStrToContext(session, &community) : 0;
  const TestOid sysName{1, 3, 6, 1, 2, 1, 1, 5, 0};
  const smiVALUE null = nullValue();
  const HSNMP_VBL vbl = context ? SnmpCreateVbl(session, sysName.get(), &null) : 0;
  if (!vbl) seen.note("set-up failed");

  for (int round = 0; round < kRounds; ++round) {
    // Every thread posts its failure before any reads: one shared last error would hold only
    // the last poster's code here.
    if (vbl) failure.provoke(session);
    together.arrive_and_wait();
    if (vbl && SnmpGetLastError(session) == failure.code) ++seen.ownSessionError;
    if (vbl && SnmpGetLastError(0) == failure.code) ++seen.ownTaskError;
    together.arrive_and_wait();
    if (!vbl) continue;

    const HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, vbl);
    const SNMPAPI_STATUS sent = SnmpSendMsg(session, 0, agent, context, pdu);
    SnmpFreePdu(pdu);
    const std::string where = "round " + std::to_string(round) + ": ";
    if (sent == SNMPAPI_FAILURE) {
      seen.note(where + "send failed with " + std::to_string(SnmpGetLastError(session)));
      continue;
    }
    // A notification may have nothing behind it (another thread's poll saw the socket ready
    // before this one read it): like the device session, keep waiting for the answer.
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    smiUINT32 lastSeen = 0;
    bool answered = false;
    while (!answered && std::chrono::steady_clock::now() < deadline) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (target.waitFor(kArrived, left).status != platform::WaitStatus::Arrived) break;
      HSNMP_ENTITY src = 0, dst = 0;
      HSNMP_CONTEXT c = 0;
      HSNMP_PDU reply = 0;
      const SNMPAPI_STATUS id = SnmpRecvMsg(session, &src, &dst, &c, &reply);
      if (id == SNMPAPI_FAILURE) {
        lastSeen = SnmpGetLastError(session);
        if (lastSeen != SNMPAPI_NOOP) break;
        continue;
      }
      answered = id == sent;
      lastSeen = static_cast<smiUINT32>(id);
      HSNMP_VBL list = 0;
      SnmpGetPduData(reply, nullptr, nullptr, nullptr, nullptr, &list);
      SnmpFreeVbl(list);
      SnmpFreePdu(reply);
      SnmpFreeContext(c);
      SnmpFreeEntity(src);
      SnmpFreeEntity(dst);
    }
    if (answered) {
      ++seen.replies;
    } else {
      seen.note(where + "no answer to " + std::to_string(sent) + ", last seen " + std::to_string(lastSeen));
    }
  }
  SnmpClose(session);  // frees what the session still owns
}

class ConcurrentSessionsTest : public EngineTest {
 protected:
  NetConfigOverride net;
};

TEST_F(ConcurrentSessionsTest, EachThreadReadsItsOwnErrorAndItsOwnReplies) {
  EchoAgent agent;
  net.edit([&](platform::NetConfig& c) { c.snmpPort = agent.port(); });
  std::barrier<> together(kThreads);
  std::vector<Seen> seen(kThreads);
  {
    std::vector<std::jthread> threads;
    for (int k = 0; k < kThreads; ++k)
      threads.emplace_back([&, k] { runThread(kFailures[k], together, seen[k]); });
  }
  for (int k = 0; k < kThreads; ++k) {
    const char* name = kFailures[k].name;
    EXPECT_EQ(seen[k].trouble, "") << name;
    EXPECT_EQ(seen[k].ownSessionError, kRounds) << name;
    EXPECT_EQ(seen[k].ownTaskError, kRounds) << name;
    EXPECT_EQ(seen[k].replies, kRounds) << name;
  }
}

TEST_F(ConcurrentSessionsTest, AThreadThatPostedNothingReadsSuccessWhateverOthersPosted) {
  SnmpStrToContext(session, nullptr);
  ASSERT_EQ(SnmpGetLastError(0), SNMPAPI_CONTEXT_INVALID);
  smiUINT32 fresh = 0;
  std::thread([&] { fresh = SnmpGetLastError(0); }).join();
  EXPECT_EQ(fresh, SNMPAPI_SUCCESS);
  // And the poster still reads its own code afterwards.
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_CONTEXT_INVALID);
}

TEST_F(ConcurrentSessionsTest, AThreadsErrorDoesNotOutliveTheTask) {
  SnmpStrToContext(session, nullptr);
  ASSERT_EQ(SnmpGetLastError(0), SNMPAPI_CONTEXT_INVALID);
  ASSERT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_SUCCESS);
  session = SnmpOpen(nullptr, 2561);
  ASSERT_NE(session, 0u);
}

}  // namespace
