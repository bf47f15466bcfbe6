// The printer-MIB probe as steps, and many probes at once on one socket: against a scripted agent
// on loopback (resends with the same request id, a unit that never answers, replies from an
// address that was not asked), and a large simulated fleet found by broadcast whose every unit
// must carry the values a probe asked alone gives it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <poll.h>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "access/oid.h"
#include "access/progress_headless.h"
#include "access/result_codes.h"
#include "devices/device.h"
#include "devices/discovery_headless.h"
#include "devices/discovery_tcpip.h"
#include "devices/mib_device_reads.h"
#include "devices/printer_probe.h"
#include "devices/printer_probe_batch.h"
#include "discovery_responder.h"
#include "platform/net_config.h"
#include "platform/udp_socket.h"
#include "snmp/codec.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"

extern char** environ;

using namespace devices;
namespace result = snmpaccess::result;
using Clock = std::chrono::steady_clock;

namespace {

// ---------------------------------------------------------------- the steps, without a network

struct Answer {
  int rc;            // 0: the bindings below
  int status;        // < 0: the status comes as a text, not a number
  const char* console;
};

void bindingsOf(const Answer& a, snmpaccess::CVarBind (&b)[2]) {
  b[0] = snmpaccess::CVarBind();
  b[1] = snmpaccess::CVarBind();
  if (a.status >= 0) {
    b[0].setInteger(a.status);
  } else {
    b[0].setText("busy");
  }
  b[1].setText(a.console);
}

TEST(PrinterProbe, StepsFollowEachAnswer) {
  struct Case {
    const char* name;
    int ports;
    std::vector<Answer> answers;  // one per port asked, in order
    int asked;                    // ports asked in all
    bool answered;
    int result;
    std::vector<std::string> state, display;
  } cases[] = {
      {"one port on-line", 1, {{0, 0, "READY"}}, 1, true, 0, {"On-line"}, {"READY"}},
      {"port 1 silent: nothing more asked", 3, {{result::kNoReply, 0, ""}}, 1, false, result::kNoReply, {"", "", ""}, {"", "", ""}},
      {"port 1 refused", 2, {{result::kNoSuchName, 0, ""}}, 1, false, result::kNoSuchName, {"", ""}, {"", ""}},
      {"port 2 without an entry, port 3 read", 3,
       {{0, 32, "OFF"}, {result::kNoSuchName, 0, ""}, {0, 64, "WARM"}}, 3, true, 0,
       {"Off-line", "", "Transitioning"}, {"OFF", "", "WARM"}},
      {"port 2 silent ends the probe", 3, {{0, 0, "A"}, {result::kNoReply, 0, ""}}, 2, true, result::kNoReply,
       {"On-line", "", ""}, {"A", "", ""}},
      {"stop on port 2", 2, {{0, 0, "A"}, {result::kStopped, 0, ""}}, 2, true, result::kStopped, {"On-line", ""}, {"A", ""}},
      // A status that is no number leaves the port's state empty, not the previous port's.
      {"port 2 status not a number", 2, {{0, 0, "A"}, {0, -1, "B"}}, 2, true, 0, {"On-line", ""}, {"A", "B"}},
      {"no ports: port 1 decides only", 0, {{0, 0, "A"}}, 1, true, 0, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CIpDevice device("127.0.0.1");
    device.setPortCount(c.ports);
    PrinterProbe probe(device);
    int asked = 0;
    for (int port = probe.nextPort(); port != 0 && asked < 8; port = probe.nextPort()) {
      ASSERT_LT(static_cast<std::size_t>(asked), c.answers.size());
      EXPECT_EQ(port, asked + 1);
      snmpaccess::CVarBind b[2];
      bindingsOf(c.answers[static_cast<std::size_t>(asked)], b);
      probe.take(c.answers[static_cast<std::size_t>(asked)].rc, b);
      ++asked;
    }
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(probe.answered(), c.answered);
    EXPECT_EQ(probe.result(), c.result);
    for (std::size_t p = 0; p < c.state.size(); ++p) {
      EXPECT_EQ(device.portStatusTexts[p].view(), c.state[p]) << "port " << p + 1;
      EXPECT_EQ(device.printerDisplays[p].view(), c.display[p]) << "port " << p + 1;
    }
  }
}

// ---------------------------------------------------------------- a scripted agent on loopback

// Answers GETs of the two printer objects on 127.0.0.1; what it does with each datagram is up to
// the test. It can also answer from 127.0.0.2, an address that was never asked.
class ScriptedAgent {
 public:
  enum class Act { Answer, Drop, StrangerThenAnswer, GarbageThenAnswer };
  std::function<Act(std::int32_t requestId, int transmission)> script = [](std::int32_t, int) { return Act::Answer; };
  int status = 0;
  std::string console = "READY";

  ScriptedAgent() {
    ok = agent_.open() == 0 && agent_.bind({testing_devices::addr("127.0.0.1"), 0}) == 0 &&
         stranger_.open() == 0 && stranger_.bind({testing_devices::addr("127.0.0.2"), 0}) == 0;
    port = agent_.localAddress().port;
  }

  // Serves what has arrived; returns the datagrams read.
  int serve() {
    int n = 0;
    std::uint8_t buffer[snmp::codec::kMaxMessage];
    for (int i = 0; i < 256; ++i) {
      platform::SocketAddress from;
      const platform::IoResult r = agent_.recvFrom(buffer, sizeof buffer, &from);
      if (!r.ok()) break;
      ++n;
      auto out = std::make_unique<snmp::codec::DecodeOutput>();
      if (snmp::codec::decodeMessage(buffer, r.bytes, *out) != 0) continue;
      const std::int32_t id = out->requestId;
      const int transmission = ++transmissions[id];
      requestNames.push_back(snmpaccess::COid(out->bindings[0].name).text());
      const Act act = script(id, transmission);
      if (act == Act::Drop) {
        snmp::codec::freeDecoded(*out);
        continue;
      }
      if (act == Act::StrangerThenAnswer) reply(stranger_, from, *out, 99, "FROM A STRANGER");
      if (act == Act::GarbageThenAnswer) {
        const std::uint8_t garbage[] = {0x30, 0x03, 0x02, 0x01};
        agent_.sendTo(garbage, sizeof garbage, from);
      }
      reply(agent_, from, *out, status, console);
      snmp::codec::freeDecoded(*out);
    }
    return n;
  }

  bool ok = false;
  std::uint16_t port = 0;
  std::map<std::int32_t, int> transmissions;  // per request id
  std::vector<std::string> requestNames;      // first binding of each datagram

 private:
  void reply(platform::UdpSocket& via, const platform::SocketAddress& to, const snmp::codec::DecodeOutput& in,
             int statusValue, const std::string& text) {
    smiVALUE values[2] = {};
    values[0].syntax = SNMP_SYNTAX_INT;
    values[0].value.sNumber = statusValue;
    values[1].syntax = SNMP_SYNTAX_OCTETS;
    values[1].value.string.len = static_cast<smiUINT32>(text.size());
    values[1].value.string.ptr = reinterpret_cast<smiLPBYTE>(const_cast<char*>(text.data()));
    const snmp::codec::BindingRef bindings[2] = {{&in.bindings[0].name, &values[0]}, {&in.bindings[1].name, &values[1]}};
    snmp::codec::EncodeInput e;
    e.pduType = SNMP_PDU_RESPONSE;
    e.requestId = in.requestId;
    e.community = in.community;
    e.communityLength = in.communityLength;
    e.bindings = bindings;
    e.count = 2;
    smiBYTE buffer[snmp::codec::kMaxMessage];
    const smiBYTE* start = nullptr;
    std::size_t length = 0;
    if (snmp::codec::encodeInto(e, buffer, sizeof buffer, &start, &length) == 0) via.sendTo(start, length, to);
  }

  platform::UdpSocket agent_;
  platform::UdpSocket stranger_;
};

ProbeBatchSettings scriptedSettings(std::uint16_t port) {
  ProbeBatchSettings s;
  s.getTimeout = 5;  // 50 ms per transmission
  s.agentPort = port;
  s.maxOutstanding = 4;
  s.community = [](const CIpDevice&) { return std::string("public"); };
  return s;
}

std::unique_ptr<CIpDevice> unitAt(const char* address, int ports) {
  auto d = std::make_unique<CIpDevice>(address);
  d->setPortCount(ports);
  return d;
}

// Runs the batch and the agent in turn until the batch is idle (5 s at most).
std::vector<std::unique_ptr<CIpDevice>> runBatch(PrinterProbeBatch& batch, ScriptedAgent& agent) {
  std::vector<std::unique_ptr<CIpDevice>> done;
  const auto finished = [&](std::unique_ptr<CIpDevice> d) { done.push_back(std::move(d)); };
  const auto until = Clock::now() + std::chrono::seconds(5);
  while (Clock::now() < until) {
    batch.service(finished);
    agent.serve();
    batch.service(finished);
    if (batch.idle()) break;
    pollfd fds[1] = {{batch.fd(), POLLIN, 0}};
    ::poll(fds, 1, 2);
  }
  return done;
}

TEST(PrinterProbeBatch, ResendsWithTheSameIdAndGivesUpAfterThreeTransmissions) {
  testing_devices::useLoopbackNetConfig();
  struct Case {
    const char* name;
    std::function<ScriptedAgent::Act(std::int32_t, int)> script;
    bool answered;
    int transmissionsOfFirst;  // of the first request id
    const char* state;
  } cases[] = {
      {"answered at once", [](std::int32_t, int) { return ScriptedAgent::Act::Answer; }, true, 1, "On-line"},
      {"first transmission lost", [](std::int32_t, int t) { return t == 1 ? ScriptedAgent::Act::Drop : ScriptedAgent::Act::Answer; },
       true, 2, "On-line"},
      {"never answers", [](std::int32_t, int) { return ScriptedAgent::Act::Drop; }, false, 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedAgent agent;
    ASSERT_TRUE(agent.ok);
    agent.script = c.script;
    std::vector<int> probed;
    ProbeBatchSettings s = scriptedSettings(agent.port);
    s.probed = [&](const CIpDevice&, const PrinterProbe& p) { probed.push_back(p.result()); };
    PrinterProbeBatch batch(s);
    ASSERT_TRUE(batch.open());
    batch.add(unitAt("127.0.0.1", 1));
    auto done = runBatch(batch, agent);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0]->printerMibAnswered, c.answered);
    EXPECT_EQ(done[0]->portStatusTexts[0].view(), c.state);
    ASSERT_FALSE(agent.transmissions.empty());
    EXPECT_EQ(agent.transmissions.begin()->second, c.transmissionsOfFirst);
    EXPECT_EQ(agent.transmissions.size(), 1u) << "every transmission carries the same request id";
    ASSERT_EQ(probed.size(), 1u);
    EXPECT_EQ(probed[0], c.answered ? 0 : result::kNoReply);
  }
}

TEST(PrinterProbeBatch, IgnoresRepliesFromAnAddressNotAskedAndMalformedDatagrams) {
  testing_devices::useLoopbackNetConfig();
  struct Case {
    const char* name;
    ScriptedAgent::Act act;
  } cases[] = {
      {"same request id from 127.0.0.2 first", ScriptedAgent::Act::StrangerThenAnswer},
      {"an undecodable datagram first", ScriptedAgent::Act::GarbageThenAnswer},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedAgent agent;
    ASSERT_TRUE(agent.ok);
    const ScriptedAgent::Act act = c.act;
    agent.script = [act](std::int32_t, int) { return act; };
    agent.status = 32;
    agent.console = "OFF LINE";
    PrinterProbeBatch batch(scriptedSettings(agent.port));
    ASSERT_TRUE(batch.open());
    batch.add(unitAt("127.0.0.1", 1));
    auto done = runBatch(batch, agent);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_TRUE(done[0]->printerMibAnswered);
    EXPECT_EQ(done[0]->portStatusTexts[0].view(), "Off-line");
    EXPECT_EQ(done[0]->printerDisplays[0].view(), "OFF LINE");
    EXPECT_GE(batch.ignoredDatagrams(), 1u);
  }
}

TEST(PrinterProbeBatch, KeepsTheBoundAndAsksEveryPortOfEveryUnit) {
  testing_devices::useLoopbackNetConfig();
  ScriptedAgent agent;
  ASSERT_TRUE(agent.ok);
  ProbeBatchSettings s = scriptedSettings(agent.port);
  s.maxOutstanding = 3;
  PrinterProbeBatch batch(s);
  ASSERT_TRUE(batch.open());
  constexpr int kUnits = 10;
  for (int i = 0; i < kUnits; ++i) batch.add(unitAt("127.0.0.1", 1 + i % 3));
  std::size_t most = 0;
  std::vector<std::unique_ptr<CIpDevice>> done;
  const auto finished = [&](std::unique_ptr<CIpDevice> d) { done.push_back(std::move(d)); };
  const auto until = Clock::now() + std::chrono::seconds(5);
  while (!batch.idle() && Clock::now() < until) {
    batch.service(finished);
    most = std::max(most, batch.outstanding());
    agent.serve();
    pollfd fds[1] = {{batch.fd(), POLLIN, 0}};
    ::poll(fds, 1, 2);
  }
  EXPECT_TRUE(batch.idle());
  EXPECT_EQ(done.size(), static_cast<std::size_t>(kUnits));
  EXPECT_LE(most, 3u);
  // 1 + 2 + 3 ports over the ten units (four with one port, three with two, three with three).
  EXPECT_EQ(agent.requestNames.size(), 4u * 1 + 3u * 2 + 3u * 3);
  for (const auto& d : done) {
    EXPECT_TRUE(d->printerMibAnswered);
    for (int p = 0; p < d->portCount(); ++p) EXPECT_EQ(d->portStatusTexts[p].view(), "On-line");
  }
}

TEST(PrinterProbeBatch, EndsWithoutAskingWhatCannotBeAsked) {
  struct Case {
    const char* name;
    const char* address;
    std::string community;
    int precheck;
    int result;
  } cases[] = {
      {"no community", "127.0.0.1", "", 0, result::kNoContext},
      {"no address", "", "public", 0, result::kNoContext},
      {"no agent to ask", "127.0.0.1", "public", result::kNoSession, result::kNoSession},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedAgent agent;
    ASSERT_TRUE(agent.ok);
    ProbeBatchSettings s = scriptedSettings(agent.port);
    const std::string community = c.community;
    const int precheck = c.precheck;
    s.community = [community](const CIpDevice&) { return community; };
    s.precheck = [precheck](const CIpDevice&) { return precheck; };
    int seen = -1;
    s.probed = [&](const CIpDevice&, const PrinterProbe& p) { seen = p.result(); };
    PrinterProbeBatch batch(s);
    ASSERT_TRUE(batch.open());
    batch.add(unitAt(c.address, 1));
    auto done = runBatch(batch, agent);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_FALSE(done[0]->printerMibAnswered);
    EXPECT_EQ(seen, c.result);
    EXPECT_TRUE(agent.requestNames.empty());
  }
}

TEST(PrinterProbeBatch, StopHandsEveryDeviceBack) {
  testing_devices::useLoopbackNetConfig();
  ScriptedAgent agent;
  ASSERT_TRUE(agent.ok);
  agent.script = [](std::int32_t, int) { return ScriptedAgent::Act::Drop; };
  PrinterProbeBatch batch(scriptedSettings(agent.port));
  ASSERT_TRUE(batch.open());
  for (int i = 0; i < 6; ++i) batch.add(unitAt("127.0.0.1", 1));
  std::vector<std::unique_ptr<CIpDevice>> done;
  const auto finished = [&](std::unique_ptr<CIpDevice> d) { done.push_back(std::move(d)); };
  batch.service(finished);
  EXPECT_EQ(batch.outstanding(), 4u);
  batch.stopAll(finished);
  EXPECT_TRUE(batch.idle());
  ASSERT_EQ(done.size(), 6u);
  for (const auto& d : done) EXPECT_FALSE(d->printerMibAnswered);
}

// ---------------------------------------------------------------- a large simulated fleet

// The fleet: units with one to three ports in varied states, one that drops every SNMP request
// and one whose replies lack a binding. All on one SNMP port, addresses 127.6.x.y.
struct FleetUnit {
  std::string address;
  int ports;
  int status[3];
  bool deaf = false;
  bool shortReplies = false;
};

std::vector<FleetUnit> makeFleet(int count) {
  static constexpr int kStates[] = {0, 32, 64, 8};
  std::vector<FleetUnit> units;
  for (int i = 0; i < count; ++i) {
    FleetUnit u;
    u.address = "127.6." + std::to_string(i / 250) + "." + std::to_string(1 + i % 250);
    u.ports = 1 + i % 3;
    for (int p = 0; p < 3; ++p) u.status[p] = kStates[(i + p) % 4];
    u.deaf = i == 7;
    u.shortReplies = i == 11;
    units.push_back(u);
  }
  return units;
}

std::string fleetJson(const std::vector<FleetUnit>& units) {
  std::string j = "{\"devices\":[";
  for (std::size_t i = 0; i < units.size(); ++i) {
    const FleetUnit& u = units[i];
    if (i) j += ",";
    // Without the private catalogue: the simulator builds it at a unit's first request, one unit
    // after the other, and the printer objects do not need it.
    j += "{\"address\":\"" + u.address + "\",\"name\":\"U" + std::to_string(i) + "\",\"catalogue\":false,\"ports\":[";
    for (int p = 0; p < u.ports; ++p) {
      if (p) j += ",";
      j += "{\"name\":\"P" + std::to_string(p + 1) + "\",\"status\":" + std::to_string(u.status[p]) +
           ",\"display\":\"D" + std::to_string(i) + "-" + std::to_string(p + 1) + "\"}";
    }
    j += "]";
    if (u.deaf) j += ",\"faults\":{\"drop_every\":1}";
    if (u.shortReplies) j += ",\"faults\":{\"missing_binding_every\":1}";
    j += "}";
  }
  return j + "]}";
}

std::string binDir() {
  if (const char* d = std::getenv("TRELLAN_BIN_DIR"); d && *d) return d;
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? "." : self.parent_path().string();
}

class FleetSim {
 public:
  explicit FleetSim(const std::vector<FleetUnit>& units) {
    testing_devices::useLoopbackNetConfig();
    dir_ = std::filesystem::temp_directory_path() / ("probe-batch-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "fleet.json") << fleetJson(units);
    const std::string bin = binDir() + "/trellan-sim";
    if (::access(bin.c_str(), X_OK) != 0) return;
    // Ports from the process id; another test's simulator may hold them, so a simulator that could
    // not bind is tried again elsewhere.
    for (int attempt = 0; attempt < 4 && !ready_; ++attempt) start(bin, 24000 + ((::getpid() + attempt * 733) % 2000) * 4);
    if (!ready_) return;
    saved_ = platform::netConfig();
    configured_ = true;
    platform::NetConfig c = saved_;
    c.snmpPort = snmpPort;
    platform::setNetConfig(c);
  }
  void start(const std::string& bin, int base) {
    snmpPort = static_cast<std::uint16_t>(base);
    discoveryPort = static_cast<std::uint16_t>(base + 1);
    const std::string data = (dir_ / "fleet.json").string(), ready = (dir_ / "ready.json").string();
    std::filesystem::remove(ready);
    std::vector<std::string> args = {bin, "--data", data, "--snmp-port", std::to_string(snmpPort),
                                     "--discovery-port", std::to_string(discoveryPort), "--ipx-discovery-port", "0",
                                     "--ipx-snmp-port", "0", "--second-family-port", std::to_string(base + 2),
                                     "--ready-file", ready, "--exit-with-parent"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, bin.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      pid_ = 0;
      return;
    }
    for (int i = 0; i < 600 && !ready_; ++i) {
      ready_ = std::filesystem::exists(ready);
      int status = 0;
      if (!ready_ && ::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return;
      }
      if (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!ready_) {
      ::kill(pid_, SIGKILL);
      int status = 0;
      ::waitpid(pid_, &status, 0);
      pid_ = 0;
    }
  }
  ~FleetSim() {
    if (configured_) platform::setNetConfig(saved_);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  bool ready() const { return ready_; }
  std::uint16_t snmpPort = 0, discoveryPort = 0;

 private:
  std::filesystem::path dir_;
  pid_t pid_ = 0;
  bool ready_ = false;
  bool configured_ = false;
  platform::NetConfig saved_;
};

const char* stateOf(int status) {
  switch (status) {
    case 0: return "On-line";
    case 32: return "Off-line";
    case 64: return "Transitioning";
    default: return "Printer Error";
  }
}

TEST(PrinterProbeBatchSim, BroadcastProbesEveryUnitAsAProbeAskedAloneWould) {
  const std::vector<FleetUnit> units = makeFleet(1200);
  FleetSim sim(units);
  ASSERT_TRUE(sim.ready()) << "trellan-sim is missing or did not start";
  SnmpCleanup();
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  MibReadSettings rs;
  rs.getTimeout = 100;  // 1 s per transmission: the fleet's burst must not look like silence
  MibDeviceReads reads(rs);
  setDeviceSnmpReads(&reads);

  CTcpIpDiscovery discovery;
  DiscoverySettings ds;
  ds.discoveryPort = sim.discoveryPort;
  ds.broadcastTimeoutMs = 1500;
  discovery.setSettings(ds);
  HeadlessDiscoveryRun run(discovery);
  std::size_t reported = 0;
  run.onFound([&](CDevice&, int) { ++reported; });
  EXPECT_EQ(run.run({true, false, {}, 0}, nullptr, 300000), 0);

  std::map<std::string, const CIpDevice*> found;
  for (const auto& d : discovery.devices()) found[static_cast<const CIpDevice&>(*d).ipAddress.c_str()] = static_cast<const CIpDevice*>(d.get());
  EXPECT_EQ(discovery.deviceCount(), units.size());
  EXPECT_EQ(found.size(), units.size());
  EXPECT_EQ(reported, units.size()) << "every unit reaches the owner as it is found";

  snmpaccess::HeadlessProgress progress(&snmp::headlessWatch());
  snmp::ScopedThreadSocketWatch watch(&snmp::headlessWatch());
  int compared = 0;
  for (const FleetUnit& u : units) {
    SCOPED_TRACE(u.address);
    auto it = found.find(u.address);
    if (it == found.end()) {
      ADD_FAILURE() << "not found";
      continue;
    }
    const CIpDevice& got = *it->second;
    // The same unit probed alone, one request after the other.
    CIpDevice alone(u.address);
    alone.getCommunity.assign(got.getCommunity.view());
    alone.replyFormat = got.replyFormat;
    alone.familyCode.assign(got.familyCode.view());
    alone.setPortCount(got.portCount());
    alone.progress = &progress;
    const bool answered = reads.probePrinterMib(alone);
    EXPECT_EQ(got.printerMibAnswered, answered);
    EXPECT_EQ(got.portCount(), u.ports);
    for (int p = 0; p < kMaxPorts; ++p) {
      EXPECT_EQ(got.portStatusTexts[p].view(), alone.portStatusTexts[p].view()) << "port " << p + 1;
      EXPECT_EQ(got.printerDisplays[p].view(), alone.printerDisplays[p].view()) << "port " << p + 1;
    }
    // And what the fleet says.
    const bool asked = !u.deaf && !u.shortReplies;
    EXPECT_EQ(got.printerMibAnswered, asked);
    for (int p = 0; p < u.ports; ++p) {
      EXPECT_EQ(got.portStatusTexts[p].view(), asked ? stateOf(u.status[p]) : "") << "port " << p + 1;
      const std::string display = "D" + std::to_string(&u - units.data()) + "-" + std::to_string(p + 1);
      EXPECT_EQ(got.printerDisplays[p].view(), asked ? display : "") << "port " << p + 1;
    }
    ++compared;
  }
  EXPECT_EQ(compared, static_cast<int>(units.size()));
  setDeviceSnmpReads(nullptr);
  SnmpCleanup();
}

}  // namespace
