// The simulator over real loopback sockets: an in-process server on its own thread, requests
// sent with the engine's codec, and the request log read back.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "sim/server.h"
#include "sim_test_support.h"

namespace sim {
namespace {

using namespace sim::test;
using nlohmann::json;

// Every unit gets a free port of its own (port 0), so tests running in parallel never collide.
class RunningServer {
 public:
  explicit RunningServer(std::vector<DeviceModel> units, std::string logName = {}) {
    if (!logName.empty()) {
      logPath_ = ::testing::TempDir() + "/" + logName + "_" + std::to_string(::getpid()) + ".jsonl";
      std::remove(logPath_.c_str());
    }
    server_ = std::make_unique<Server>(std::move(units), [&] {
      ServerOptions o;
      o.port = 0;
      o.logPath = logPath_;
      return o;
    }());
    std::string error;
    opened_ = server_->open(&error);
    EXPECT_TRUE(opened_) << error;
    if (opened_) thread_ = std::thread([this] { server_->run(); });
  }
  ~RunningServer() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
    if (!logPath_.empty()) std::remove(logPath_.c_str());
  }
  std::uint16_t port(std::size_t unit = 0) const { return server_->boundPort(unit); }
  std::vector<json> log() const {
    std::vector<json> lines;
    std::ifstream in(logPath_);
    std::string line;
    while (std::getline(in, line)) lines.push_back(json::parse(line));
    return lines;
  }
  // Log lines of one kind, waiting (bounded) until at least `count` are there.
  std::vector<json> logOf(const std::string& kind, std::size_t count) const {
    std::vector<json> found;
    for (int round = 0; round < 100; ++round) {
      found.clear();
      for (auto& j : log())
        if (j["kind"] == kind) found.push_back(j);
      if (found.size() >= count) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return found;
  }

 private:
  std::unique_ptr<Server> server_;
  std::thread thread_;
  std::string logPath_;
  bool opened_ = false;
};

constexpr std::uint32_t kUnitA = 0x7F00C801u;  // 127.0.200.1
constexpr std::uint32_t kUnitB = 0x7F00C802u;

TEST(SimServer, AnswersFromTheUnitsOwnAddress) {
  RunningServer s({smallUnit(kUnitA), smallUnit(kUnitB)});
  UdpClient c;
  for (auto [unit, addr] : {std::pair{0, kUnitA}, {1, kUnitB}}) {
    auto reply = c.ask(addr, s.port(std::size_t(unit)), req(kPduGet, {std_oids::kSysName}));
    ASSERT_TRUE(reply) << formatIpv4(addr);
    EXPECT_EQ(c.lastFrom(), addr);
    EXPECT_EQ(reply->pdu.pduType, kPduResponse);
    EXPECT_EQ(reply->pdu.requestId, 77);
    EXPECT_EQ(reply->pdu.bindings.at(0).value, Value::octets("UNIT"));
  }
}

TEST(SimServer, WrongCommunityIsSilenceAndLogged) {
  RunningServer s({smallUnit(kUnitA)}, "sim_e2e_community");
  UdpClient c;
  EXPECT_FALSE(c.ask(kUnitA, s.port(), req(kPduGet, {std_oids::kSysName}, "guess"), 300));
  auto silent = s.logOf("silent", 1);
  ASSERT_EQ(silent.size(), 1u);
  EXPECT_EQ(silent[0]["reason"], "wrong community");
  EXPECT_EQ(silent[0]["device"], "127.0.200.1");
  auto requests = s.logOf("request", 1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["community"], "guess");
  EXPECT_EQ(requests[0]["pdu"], "get");
  // The unit still answers the right community afterwards.
  EXPECT_TRUE(c.ask(kUnitA, s.port(), req(kPduGet, {std_oids::kSysName})));
}

TEST(SimServer, TooBigSplitSeenOnTheWire) {
  DeviceModel d = smallUnit(kUnitA);
  d.agent.maxVarsPerReply = 9;
  RunningServer s({std::move(d)}, "sim_e2e_toobig");
  UdpClient c;
  // A client that relies on the error index: 15 asked, tooBig with 10, then 9 and the last 6.
  std::vector<Oid> oids(15, E(".1.3.0"));
  auto first = c.ask(kUnitA, s.port(), req(kPduGet, oids));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->errorStatus, kTooBig);
  EXPECT_EQ(first->errorIndex, 10);
  auto part = c.ask(kUnitA, s.port(), req(kPduGet, std::vector<Oid>(9, E(".1.3.0"))));
  ASSERT_TRUE(part);
  EXPECT_EQ(part->errorStatus, kNoError);
  EXPECT_EQ(part->pdu.bindings.size(), 9u);
  auto rest = c.ask(kUnitA, s.port(), req(kPduGet, std::vector<Oid>(6, E(".1.3.0"))));
  ASSERT_TRUE(rest);
  EXPECT_EQ(rest->pdu.bindings.size(), 6u);

  auto replies = s.logOf("reply", 3);
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_EQ(replies[0]["error_status"], 1);
  EXPECT_EQ(replies[0]["error_index"], 10);
  EXPECT_EQ(replies[1]["bindings"].size(), 9u);
  EXPECT_EQ(replies[2]["bindings"].size(), 6u);
  EXPECT_EQ(replies[1]["bindings"][0]["syntax"], "octets");
  EXPECT_EQ(replies[1]["bindings"][0]["value"], "Product");
}

TEST(SimServer, WalkVisitsEveryVariableOnce) {
  DeviceModel d = smallUnit(kUnitA);
  const std::size_t total = d.store.size();
  RunningServer s({std::move(d)});
  UdpClient c;
  Oid cursor = O("1.3");
  std::size_t seen = 0;
  for (std::size_t round = 0; round <= total + 1; ++round) {
    auto reply = c.ask(kUnitA, s.port(), req(kPduGetNext, {cursor}));
    ASSERT_TRUE(reply);
    if (reply->errorStatus == kNoSuchName) break;
    ASSERT_GT(reply->pdu.bindings.at(0).oid, cursor) << "names must increase";
    cursor = reply->pdu.bindings[0].oid;
    ++seen;
  }
  EXPECT_EQ(seen, total);
}

TEST(SimServer, ResetSilenceWindowOverTheWire) {
  DeviceModel d = smallUnit(kUnitA);
  d.agent.resetSilenceMs = 1000;
  RunningServer s({std::move(d)}, "sim_e2e_reset");
  UdpClient c;
  const Oid var = E(".6.3.2.4.4.0");
  auto set = c.ask(kUnitA, s.port(), setReq({{var, Value::octets("AFTER")}, {E(".2.2.0"), Value::integer(2)}}));
  ASSERT_TRUE(set) << "the reset is answered";
  EXPECT_EQ(set->errorStatus, kNoError);
  EXPECT_FALSE(c.ask(kUnitA, s.port(), req(kPduGet, {var}), 150)) << "silent while restarting";
  std::optional<Reply> back;
  for (int i = 0; i < 60 && !back; ++i) back = c.ask(kUnitA, s.port(), req(kPduGet, {var}), 100);
  ASSERT_TRUE(back) << "back after the window";
  EXPECT_EQ(back->pdu.bindings.at(0).value, Value::octets("AFTER"));
  auto events = s.logOf("event", 1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0]["event"], "back");
  auto replies = s.logOf("reply", 2);
  EXPECT_EQ(replies.at(0)["event"], "reset");
}

TEST(SimServer, SetIsLoggedWithItsValues) {
  DeviceModel d = smallUnit(kUnitA);
  d.agent.setMode = SetMode::Immediate;
  RunningServer s({std::move(d)}, "sim_e2e_set");
  UdpClient c;
  auto reply = c.ask(kUnitA, s.port(),
                     setReq({{E(".6.3.1.4.4.0"), Value::integer(12)}, {E(".6.3.1.4.1.0"), Value::ip(127, 0, 9, 9)},
                             {E(".6.3.2.4.4.0"), Value::octets(std::string("\x01\x02", 2))}}));
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->errorStatus, kNoError);
  auto requests = s.logOf("request", 1);
  ASSERT_EQ(requests.size(), 1u);
  const json& b = requests[0]["bindings"];
  EXPECT_EQ(requests[0]["pdu"], "set");
  EXPECT_EQ(b[0]["syntax"], "int");
  EXPECT_EQ(b[0]["value"], 12);
  EXPECT_EQ(b[1]["syntax"], "ip");
  EXPECT_EQ(b[1]["value"], "127.0.9.9");
  EXPECT_EQ(b[2]["hex"], "0102");
  EXPECT_FALSE(b[2].contains("value")) << "unprintable bytes are logged as hex only";
  auto read = c.ask(kUnitA, s.port(), req(kPduGet, {E(".6.3.1.4.4.0")}));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->pdu.bindings.at(0).value, Value::integer(12));
}

TEST(SimServer, GarbageAndOversizedDatagramsAreIgnored) {
  RunningServer s({smallUnit(kUnitA)}, "sim_e2e_garbage");
  UdpClient c;
  const Bytes garbage{0x30, 0x03, 0x02, 0x01};
  const Bytes oversized(2000, 0x30);
  ASSERT_TRUE(c.sendBytes(kUnitA, s.port(), garbage));
  ASSERT_TRUE(c.sendBytes(kUnitA, s.port(), oversized));
  EXPECT_FALSE(c.receiveBytes(200));
  auto silent = s.logOf("silent", 2);
  ASSERT_EQ(silent.size(), 2u);
  EXPECT_EQ(silent[0]["reason"], "undecodable");
  EXPECT_EQ(silent[1]["reason"], "oversized datagram");
  EXPECT_TRUE(c.ask(kUnitA, s.port(), req(kPduGet, {std_oids::kSysName})));
}

TEST(SimServer, DelayedAndDamagedReplies) {
  DeviceModel d = smallUnit(kUnitA);
  d.faults.delayMs = 300;
  d.faults.malformedEvery = 2;
  RunningServer s({std::move(d)});
  UdpClient c;
  ASSERT_TRUE(c.send(kUnitA, s.port(), req(kPduGet, {std_oids::kSysName})));
  EXPECT_FALSE(c.receiveBytes(100)) << "not yet";
  auto late = c.receive(2000);
  ASSERT_TRUE(late) << "arrives after the delay";
  ASSERT_TRUE(c.send(kUnitA, s.port(), req(kPduGet, {std_oids::kSysName})));
  auto damaged = c.receiveBytes(2000);
  ASSERT_TRUE(damaged);
  EXPECT_FALSE(decodeReply(damaged->data(), damaged->size(), nullptr));
}

TEST(SimServer, UnitMovesToItsNewAddressAfterTheReset) {
  DeviceModel d = smallUnit(kUnitA);
  d.agent.resetSilenceMs = 100;
  RunningServer s({std::move(d), smallUnit(kUnitB)}, "sim_e2e_move");
  UdpClient c;
  const std::uint32_t moved = 0x7F00C809u;  // 127.0.200.9
  auto set = c.ask(kUnitA, s.port(), setReq({{E(".6.3.1.4.1.0"), Value::ip(127, 0, 200, 9)}, {E(".2.2.0"), Value::integer(2)}}));
  ASSERT_TRUE(set);
  ASSERT_EQ(set->errorStatus, kNoError);
  std::optional<Reply> there;
  for (int i = 0; i < 30 && !there; ++i) there = c.ask(moved, s.port(), req(kPduGet, {E(".6.3.1.4.1.0")}), 100);
  ASSERT_TRUE(there) << "answers on the new address";
  EXPECT_EQ(c.lastFrom(), moved);
  EXPECT_EQ(there->pdu.bindings.at(0).value, Value::ip(127, 0, 200, 9));
  EXPECT_FALSE(c.ask(kUnitA, s.port(), req(kPduGet, {std_oids::kSysName}), 200)) << "the old address is gone";
  auto events = s.logOf("event", 2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1]["event"], "moved");
  EXPECT_EQ(events[1]["detail"], "127.0.200.9");

  // Moving onto another unit's address is refused; the unit stays.
  auto clash = c.ask(moved, s.port(), setReq({{E(".6.3.1.4.1.0"), Value::ip(127, 0, 200, 2)}, {E(".2.2.0"), Value::integer(2)}}));
  ASSERT_TRUE(clash);
  std::optional<Reply> stayed;
  for (int i = 0; i < 30 && !stayed; ++i) stayed = c.ask(moved, s.port(), req(kPduGet, {std_oids::kSysName}), 100);
  EXPECT_TRUE(stayed);
  auto later = s.logOf("event", 4);
  ASSERT_EQ(later.size(), 4u);
  EXPECT_EQ(later[3]["event"], "stays");
}

TEST(SimServer, BindFailureIsReported) {
  RunningServer first({smallUnit(kUnitA)});
  // A second server on the same address and port cannot bind.
  Server second({smallUnit(kUnitA)}, [&] {
    ServerOptions o;
    o.port = first.port();
    return o;
  }());
  std::string error;
  EXPECT_FALSE(second.open(&error));
  EXPECT_NE(error.find("cannot bind 127.0.200.1"), std::string::npos) << error;
}

}  // namespace
}  // namespace sim
