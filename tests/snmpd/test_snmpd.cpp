// CSnmpSession and trellanctl against net-snmp's snmpd: MIB-II reads, a SET read back, v1
// noSuchName, a wrong community (snmpd stays silent) seen as three transmissions with one
// request id, Stop, and a v1 trap from snmptrap arriving through the engine as 0xA7.
#include <gtest/gtest.h>

#include <thread>

#include "access/progress_headless.h"
#include "access/result_codes.h"
#include "access/snmp_session.h"
#include "platform/registry.h"
#include "snmp/engine_watch.h"
#include "access/test_snmp_session_agent.h"
#include "snmpd_fixture.h"

using namespace snmpaccess;
using namespace snmpdtest;

namespace {

const char* kSysDescr = "1.3.6.1.2.1.1.1.0";
const char* kSysUpTime = "1.3.6.1.2.1.1.3.0";
const char* kSysContact = "1.3.6.1.2.1.1.4.0";
const char* kSysName = "1.3.6.1.2.1.1.5.0";
const char* kDescrText = "Trellan interop agent";

// Where trellanctl is: the test environment's folder, or the one it was built in.
std::string binDir() {
  const char* dir = std::getenv("TRELLAN_BIN_DIR");
  return dir && *dir ? dir : TRELLAN_BUILT_BIN_DIR;
}

class SnmpdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    snmpd_ = findProgram("snmpd");
    if (snmpd_.empty()) GTEST_FAIL() << "snmpd is not installed (scripts/install-deps.sh installs it)";
    ASSERT_FALSE(dir_.path().empty());
    agentPort_ = freeUdpPort();
    // sysName and sysContact have no line here, so snmpd lets the rw community write them.
    std::ofstream conf(dir_.path() / "snmpd.conf");
    conf << "agentAddress udp:127.0.0.1:" << agentPort_ << "\n"
         << "rocommunity public 127.0.0.1\n"
         << "rwcommunity private 127.0.0.1\n"
         << "sysDescr " << kDescrText << "\n";
    conf.close();
    std::filesystem::create_directories(dir_.path() / "persist");
    setenv("SNMPCONFPATH", dir_.path().c_str(), 1);
    setenv("MIBS", "", 1);  // numeric OIDs only: no MIB files are read
    setenv("SNMP_PERSISTENT_DIR", (dir_.path() / "persist").c_str(), 1);
    agent_ = std::make_unique<Child>(
        std::vector<std::string>{snmpd_, "-f", "-Lo", "-C", "-r", "-c", (dir_.path() / "snmpd.conf").string(),
                                 "-p", (dir_.path() / "snmpd.pid").string()},
        dir_.path() / "snmpd.log");
    ASSERT_TRUE(agent_->started());
    relay_ = std::make_unique<Relay>(agentPort_);

    saved_ = platform::netConfig();
    platform::NetConfig c = saved_;
    c.snmpPort = relay_->port();
    platform::setNetConfig(c);

    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target_.setAddress("127.0.0.1");
    target_.setGetCommunity("public");
    target_.setSetCommunity("private");
    target_.progress = &progress_;
    ASSERT_TRUE(waitForAgent()) << "snmpd did not answer; its log:\n" << readFile(dir_.path() / "snmpd.log");
    relay_->clear();
  }

  void TearDown() override {
    SnmpCleanup();
    relay_.reset();
    agent_.reset();  // kills snmpd
    if (!snmpd_.empty()) platform::setNetConfig(saved_);
  }

  // Asks for sysDescr until snmpd answers, for at most about ten seconds.
  bool waitForAgent() {
    int rc = -1;
    CSnmpSession s(&target_, rc);
    s.setTimeout(20);
    for (int i = 0; i < 15; ++i) {
      CVarBind d(kSysDescr);
      CVarBind* list[] = {&d};
      if (s.get(list, 1) == 0) return true;
    }
    return false;
  }

  std::unique_ptr<CSnmpSession> session(std::uint32_t timeout = 100) {
    int rc = -1;
    auto s = std::make_unique<CSnmpSession>(&target_, rc);
    EXPECT_EQ(rc, 0);
    s->setTimeout(timeout);
    return s;
  }

  std::string snmpd_;
  TempDir dir_;
  std::uint16_t agentPort_ = 0;
  std::unique_ptr<Child> agent_;
  std::unique_ptr<Relay> relay_;
  platform::NetConfig saved_;
  HeadlessProgress progress_{&snmp::headlessWatch()};
  SnmpTarget target_;
};

TEST_F(SnmpdTest, ReadsTheSystemGroup) {
  auto s = session();
  CVarBind descr(kSysDescr), upTime(kSysUpTime), name(kSysName);
  CVarBind* list[] = {&descr, &upTime, &name};
  ASSERT_EQ(s->get(list, 3), 0);
  EXPECT_EQ(descr.displayText(), kDescrText);
  EXPECT_EQ(upTime.syntax(), SNMP_SYNTAX_TIMETICKS);
  smiUINT32 ticks = 0;
  EXPECT_EQ(upTime.getUnsigned(ticks), 0);
  EXPECT_EQ(name.syntax(), SNMP_SYNTAX_OCTETS);
  EXPECT_FALSE(name.displayText().empty()) << "snmpd reports the host name";
  EXPECT_EQ(s->lastTransmissions(), 1);
}

TEST_F(SnmpdTest, GetNextFollowsTheMib) {
  auto s = session();
  CVarBind b("1.3.6.1.2.1.1");
  CVarBind* list[] = {&b};
  ASSERT_EQ(s->getNext(list, 1), 0);
  EXPECT_EQ(b.name().text(), kSysDescr);
  EXPECT_EQ(b.displayText(), kDescrText);
}

TEST_F(SnmpdTest, SetWithTheSetCommunityAndReadBack) {
  auto s = session();
  CVarBind contact(kSysContact);
  contact.setText("trellan-test@example.invalid");
  CVarBind* list[] = {&contact};
  ASSERT_EQ(s->set(list, 1), 0);

  CVarBind back(kSysContact);
  CVarBind* readList[] = {&back};
  ASSERT_EQ(s->get(readList, 1), 0);
  EXPECT_EQ(back.displayText(), "trellan-test@example.invalid");
  back.setName(kSysUpTime);  // GETNEXT goes back to the GET community
  ASSERT_EQ(s->getNext(readList, 1), 0);
  EXPECT_EQ(back.name().text(), kSysContact);
  EXPECT_EQ(back.displayText(), "trellan-test@example.invalid");
}

TEST_F(SnmpdTest, SetWithTheGetCommunityIsRefused) {
  target_.setSetCommunity("public");
  auto s = session();
  CVarBind contact(kSysContact);
  contact.setText("nobody");
  CVarBind* list[] = {&contact};
  int status = 0, index = 0;
  const int rc = s->set(list, 1, &status, &index);
  // A v1 agent refuses a write through a read-only community with noSuchName (the RFC 2576
  // mapping of noAccess), pointing at the binding.
  EXPECT_EQ(rc, result::kNoSuchName);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(index, 1);
}

TEST_F(SnmpdTest, MissingObjectIsNoSuchName) {
  auto s = session();
  CVarBind descr(kSysDescr), missing("1.3.6.1.2.1.1.99.0");
  CVarBind* list[] = {&descr, &missing};
  int status = 0, index = 0;
  EXPECT_EQ(s->get(list, 2, &status, &index), result::kNoSuchName);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(descr.syntax(), SNMP_SYNTAX_NULL) << "a failed request changes no binding";
}

TEST_F(SnmpdTest, WrongCommunityGetsThreeTransmissionsThenNoReply) {
  target_.setGetCommunity("not-the-community");
  auto s = session(20);
  CVarBind descr(kSysDescr);
  CVarBind* list[] = {&descr};
  EXPECT_EQ(s->get(list, 1), result::kNoReply);
  EXPECT_EQ(s->lastTransmissions(), 3);
  std::vector<smiINT32> ids;
  for (int i = 0; i < 100; ++i) {
    ids = relay_->requestIds();
    if (ids.size() >= 3) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_EQ(ids[0], ids[1]);
  EXPECT_EQ(ids[1], ids[2]);
}

TEST_F(SnmpdTest, StopDuringTheWait) {
  target_.setGetCommunity("not-the-community");
  auto s = session(3000);
  std::thread stopper([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    progress_.stop();
  });
  CVarBind descr(kSysDescr);
  CVarBind* list[] = {&descr};
  EXPECT_EQ(s->get(list, 1), result::kStopped);
  stopper.join();
}

TEST_F(SnmpdTest, V1TrapFromSnmptrapArrivesTranslated) {
  const std::string snmptrap = findProgram("snmptrap");
  if (snmptrap.empty()) GTEST_FAIL() << "snmptrap is not installed";
  platform::NetConfig c = platform::netConfig();
  c.trapPort = freeUdpPort();
  platform::setNetConfig(c);

  const HSNMP_SESSION listener = SnmpOpen(progress_.target(), kSnmpNotifyMessage);
  ASSERT_NE(listener, 0u);
  ASSERT_NE(SnmpRegister(listener, 0, 0, 0, nullptr, SNMPAPI_ON), SNMPAPI_FAILURE);

  const RunResult sent = run({snmptrap, "-v", "1", "-c", "public", "127.0.0.1:" + std::to_string(c.trapPort),
                              "1.3.6.1.4.1.1240.2.3.5", "127.0.0.1", "6", "17", "", kSysName, "s", "lobby printer"},
                             dir_.path());
  ASSERT_EQ(sent.status, 0) << sent.output;

  ASSERT_EQ(progress_.waitFor(kSnmpNotifyMessage, 5000).status, WaitStatus::Arrived);
  HSNMP_ENTITY src = 0, dst = 0;
  HSNMP_CONTEXT ctx = 0;
  HSNMP_PDU pdu = 0;
  SnmpRecvMsg(listener, &src, &dst, &ctx, &pdu);
  ASSERT_NE(pdu, 0u);
  smiINT type = 0;
  HSNMP_VBL vbl = 0;
  ASSERT_NE(SnmpGetPduData(pdu, &type, nullptr, nullptr, nullptr, &vbl), SNMPAPI_FAILURE);
  EXPECT_EQ(type, SNMP_PDU_TRAP);
  std::vector<std::string> lines;
  for (smiUINT32 i = 1; i <= SnmpCountVbl(vbl); ++i) {
    smiOID name{};
    smiVALUE value{};
    ASSERT_NE(SnmpGetVb(vbl, i, &name, &value), SNMPAPI_FAILURE);
    CVarBind b{COid(name)};
    b.assignValue(value);
    COid oidValue;
    lines.push_back(b.name().text() + "=" + (b.getOid(oidValue) == 0 ? oidValue.text() : b.displayText()));
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
    if (value.syntax == SNMP_SYNTAX_OID) SnmpFreeDescriptor(SNMP_SYNTAX_OID, &value.value.oid);
    else SnmpFreeDescriptor(value.syntax, &value.value.string);
  }
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "1.3.6.1.6.3.1.1.4.1.0=1.3.6.1.4.1.1240.2.3.5.0.17") << "snmpTrapOID.0";
  EXPECT_EQ(lines[2], std::string(kSysName) + "=lobby printer");
  SnmpFreeVbl(vbl);
  SnmpFreePdu(pdu);
  SnmpFreeContext(ctx);
  SnmpFreeEntity(src);
  SnmpFreeEntity(dst);
  SnmpRegister(listener, 0, 0, 0, nullptr, SNMPAPI_OFF);
  SnmpClose(listener);
}

// trellanctl against the same agent: values, a failure's code and meaning, a walk.
TEST_F(SnmpdTest, TrellanctlGetSetWalk) {
  const std::string ctl = binDir() + "/trellanctl";
  if (!haveProgram(ctl.c_str())) GTEST_FAIL() << ctl << " is not built";
  // The child finds the relay through the environment, as a user would point it at an agent.
  setenv("TRELLAN_SNMP_PORT", std::to_string(relay_->port()).c_str(), 1);
  // Without --community trellanctl takes the communities of the device access list, as the
  // program does: give the default entry this agent's.
  const std::string settings = (dir_.path() / "settings.reg").string();
  {
    platform::Registry registry(settings);
    ASSERT_TRUE(registry.setString("Access\\IP", "<Default>Get", "public"));
    ASSERT_TRUE(registry.setString("Access\\IP", "<Default>Set", "private"));
  }
  setenv("TRELLAN_REGISTRY", settings.c_str(), 1);

  RunResult r = run({ctl, "get", "--timeout", "100", "127.0.0.1", kSysDescr}, dir_.path());
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find(std::string(kSysDescr) + " = octets:" + kDescrText), std::string::npos) << r.output;

  r = run({ctl, "set", "--set-community", "private", "--timeout", "100", "127.0.0.1",
           std::string(kSysName) + "=octets:from-trellanctl"},
          dir_.path());
  EXPECT_EQ(r.status, 0) << r.output;
  r = run({ctl, "--json", "get", "127.0.0.1", kSysName}, dir_.path());
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("\"from-trellanctl\""), std::string::npos) << r.output;

  r = run({ctl, "get", "127.0.0.1", "1.3.6.1.2.1.1.99.0"}, dir_.path());
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("3157 noSuchName"), std::string::npos) << r.output;

  r = run({ctl, "get", "--community", "wrong", "--timeout", "10", "127.0.0.1", kSysDescr}, dir_.path());
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("3094"), std::string::npos) << r.output;

  r = run({ctl, "walk", "127.0.0.1", "1.3.6.1.2.1.1"}, dir_.path());
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find(std::string(kSysDescr) + " = "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find(std::string(kSysName) + " = octets:from-trellanctl"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("1.3.6.1.2.1.2."), std::string::npos) << "the walk stays in its subtree";

  r = run({ctl, "walk", "--max", "2", "127.0.0.1", "1.3.6.1.2.1.1"}, dir_.path());
  EXPECT_EQ(r.status, 1) << r.output;
  unsetenv("TRELLAN_SNMP_PORT");
}

// trellanctl traps prints a trap that snmptrap sends, then stops at --count.
TEST_F(SnmpdTest, TrellanctlTraps) {
  const std::string ctl = binDir() + "/trellanctl";
  const std::string snmptrap = findProgram("snmptrap");
  if (!haveProgram(ctl.c_str()) || snmptrap.empty()) GTEST_FAIL() << "needs trellanctl and snmptrap";
  const std::uint16_t port = freeUdpPort();
  setenv("TRELLAN_TRAP_PORT", std::to_string(port).c_str(), 1);
  const auto log = dir_.path() / "traps.out";
  Child listener({ctl, "traps", "--count", "1", "--seconds", "20"}, log);
  unsetenv("TRELLAN_TRAP_PORT");
  ASSERT_TRUE(listener.started());
  for (int i = 0; i < 500 && readFile(log).find("listening") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_NE(readFile(log).find("listening"), std::string::npos) << readFile(log);
  const RunResult sent = run({snmptrap, "-v", "1", "-c", "public", "127.0.0.1:" + std::to_string(port),
                              "1.3.6.1.4.1.1240.2.3.5", "127.0.0.1", "6", "4", "", kSysName, "s", "paper out"},
                             dir_.path());
  ASSERT_EQ(sent.status, 0) << sent.output;
  EXPECT_EQ(listener.join(std::chrono::seconds(20)), 0);
  const std::string out = readFile(log);
  EXPECT_NE(out.find("trap from 127.0.0.1 type 0xA7"), std::string::npos) << out;
  EXPECT_NE(out.find("1.3.6.1.6.3.1.1.4.1.0 = oid:1.3.6.1.4.1.1240.2.3.5.0.4"), std::string::npos) << out;
  EXPECT_NE(out.find(std::string(kSysName) + " = octets:paper out"), std::string::npos) << out;
}

// An agent that answers every GETNEXT with the same OID must not keep a walk going.
TEST(TrellanctlWalk, StopsOnAnAgentThatDoesNotMoveOn) {
  const std::string ctl = binDir() + "/trellanctl";
  if (!haveProgram(ctl.c_str())) GTEST_FAIL() << ctl << " is not built";
  fakeagent::Agent agent([](const fakeagent::Request&, int) {
    fakeagent::Reply reply;
    reply.bindings.push_back({{1, 3, 6, 1, 2, 1, 1, 1, 0}, fakeagent::valueOf("octets:again")});
    return std::vector<fakeagent::Reply>{reply};
  });
  setenv("TRELLAN_SNMP_PORT", std::to_string(platform::netConfig().snmpPort).c_str(), 1);
  TempDir dir;
  const RunResult r = run({ctl, "walk", "--timeout", "100", "127.0.0.1", "1.3.6.1.2.1.1"}, dir.path());
  unsetenv("TRELLAN_SNMP_PORT");
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("does not follow"), std::string::npos) << r.output;
  EXPECT_LT(agent.requestCount(), 5u);
}

}  // namespace
