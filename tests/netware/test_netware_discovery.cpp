// A NetWare view's search against trellan-sim (print servers over IPX, SAP answers) and the
// stand-in client's bindery: bindery scan first, SAP only when the bindery lists no print
// server, then the view's entries by serial number and by network.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "../devices/discovery_responder.h"
#include "devices/discovery_headless.h"
#include "netware/netware_discovery.h"
#include "standin_fixture.h"

extern char** environ;

using namespace netware;

namespace {

// trellan-sim with three units on 127.0.94.1-3, IPX discovery and SAP on ports of its own.
class Sim {
 public:
  explicit Sim(const std::string& dir) {
    const char* bin = std::getenv("TRELLAN_BIN_DIR");
    const std::string exe = std::string(bin ? bin : ".") + "/trellan-sim";
    if (::access(exe.c_str(), X_OK) != 0) return;
    const int base = 24000 + (::getpid() % 2000) * 4;
    ipxPort = static_cast<std::uint16_t>(base);
    sapPort = static_cast<std::uint16_t>(base + 1);
    ready_ = dir + "/ready.json";
    log = dir + "/sim.log";
    std::vector<std::string> args = {exe, "--count", "3", "--first", "127.0.94.1", "--snmp-port", "0",
                                     "--discovery-port", "0", "--ipx-discovery-port", std::to_string(ipxPort),
                                     "--ipx-snmp-port", "0", "--second-family-port", "0", "--sap-port",
                                     std::to_string(sapPort), "--log", log, "--ready-file", ready_};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      pid_ = 0;
      return;
    }
    for (int i = 0; i < 600; ++i) {
      std::ifstream f(ready_);
      if (f && f.peek() != std::ifstream::traits_type::eof()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~Sim() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  bool running() const { return pid_ > 0; }
  // Request-log lines of SAP queries the simulator received.
  int sapRequests() const {
    std::ifstream f(log);
    std::string line;
    int n = 0;
    while (std::getline(f, line))
      if (line.find("\"transport\":\"sap\"") != std::string::npos && line.find("\"request\"") != std::string::npos) ++n;
    return n;
  }
  std::uint16_t ipxPort = 0, sapPort = 0;
  std::string log;

 private:
  pid_t pid_ = 0;
  std::string ready_;
};

class NetWareDiscoveryTest : public StandInTest {
 protected:
  void SetUp() override { testing_devices::useLoopbackNetConfig(); }

  std::vector<std::string> search(const Sim& sim, const devices::SearchRequest& request, int* sapSent = nullptr) {
    CIpxDiscovery discovery(fnk_);
    devices::DiscoverySettings s;
    s.ipxDiscoverySocket = sim.ipxPort;
    s.broadcastTimeoutMs = 800;
    discovery.setSettings(s);
    discovery.setSapSocket(sim.sapPort);
    std::vector<std::string> messages;
    discovery.showMessage = [&](const std::string& m) { messages.push_back(m); };
    devices::HeadlessDiscoveryRun run(discovery);
    EXPECT_EQ(run.run(request, nullptr, 60000), 0);
    EXPECT_TRUE(messages.empty()) << messages.front();
    if (sapSent) *sapSent = discovery.sapQueriesSent();
    std::vector<std::string> found;
    for (const auto& d : discovery.devices()) {
      const auto& nw = static_cast<const devices::CNetWareDevice&>(*d);
      found.push_back(std::string(nw.hardwareAddress.view()) + (nw.answered ? "" : "(silent)"));
    }
    std::sort(found.begin(), found.end());
    return found;
  }
};

// FS1 lists two of the three simulated units as print-server objects, one of each type.
constexpr const char* kBinderyWithUnits = R"({
  "servers": [
    {"name": "FS1", "objects": [
      {"name": "KDV000001", "type": 867, "net_address": "00000000-00007F005E01"},
      {"name": "ZBN000002", "type": 2343, "net_address": "00000000-00007F005E02"},
      {"name": "NOTAPS", "type": 867, "net_address": "00000000-00007F005E03"}]},
    {"name": "FS2", "objects": [{"name": "HLQ000009", "type": 867, "net_address": "00000001-00007F005E03"}]}
  ]
})";

TEST_F(NetWareDiscoveryTest, BinderyPrintServersAreFoundWithoutAnySapQuery) {
  Sim sim(dir_.path().string());
  ASSERT_TRUE(sim.running()) << "trellan-sim is missing or did not start";
  seed(kBinderyWithUnits);
  int sap = -1;
  const auto found = search(sim, {true, false, {}, 0}, &sap);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(sap, 0);
  EXPECT_EQ(sim.sapRequests(), 0);
  for (const auto& f : found) EXPECT_EQ(f.find("(silent)"), std::string::npos) << f;
}

TEST_F(NetWareDiscoveryTest, AnEmptyBinderyFallsBackToSap) {
  Sim sim(dir_.path().string());
  ASSERT_TRUE(sim.running()) << "trellan-sim is missing or did not start";
  seed(R"({"servers": [{"name": "FS1"}, {"name": "FS2"}]})");
  int sap = -1;
  const auto found = search(sim, {true, false, {}, 0}, &sap);
  EXPECT_EQ(found.size(), 3u);
  EXPECT_EQ(sap, 6);
  EXPECT_EQ(sim.sapRequests(), 6);
  for (const auto& f : found) EXPECT_EQ(f.find("(silent)"), std::string::npos) << f;
}

TEST_F(NetWareDiscoveryTest, ListEntriesFindWhatTheyName) {
  Sim sim(dir_.path().string());
  ASSERT_TRUE(sim.running()) << "trellan-sim is missing or did not start";
  seed(kBinderyWithUnits);
  const struct {
    const char* name;
    std::vector<std::string> entries;
    std::size_t count;
    std::size_t silent;
  } cases[] = {
      {"serial number of each type", {"000001", "000002"}, 2, 0},
      {"unknown serial number listed silent", {"999999"}, 1, 1},
      {"network of the listed units", {"LAN>00000000"}, 2, 0},
      {"another network", {"LAN>0000ABCD"}, 0, 0},
      {"entry too short for a network", {">12"}, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto found = search(sim, {false, true, c.entries, 0});
    EXPECT_EQ(found.size(), c.count);
    EXPECT_EQ(std::count_if(found.begin(), found.end(), [](const auto& f) { return f.find("(silent)") != std::string::npos; }),
              static_cast<long>(c.silent));
  }
  EXPECT_EQ(sim.sapRequests(), 0);
}

TEST(SapReplies, EntriesOfThePrintServerTypesGiveTheirAddresses) {
  std::uint8_t reply[2 + 3 * 64] = {0, 2};
  const std::uint16_t types[] = {0x0363, 0x0004, 0x0927};
  for (int i = 0; i < 3; ++i) {
    std::uint8_t* e = reply + 2 + 64 * i;
    e[0] = static_cast<std::uint8_t>(types[i] >> 8);
    e[1] = static_cast<std::uint8_t>(types[i]);
    e[53] = static_cast<std::uint8_t>(i + 1);
    e[59] = 0xAB;
  }
  EXPECT_EQ(sapReplyAddresses(reply, sizeof reply),
            (std::vector<std::string>{"00000001-0000000000AB", "00000003-0000000000AB"}));
  EXPECT_EQ(sapReplyAddresses(reply, 2 + 64 + 10).size(), 1u) << "a partial entry is not read";
  EXPECT_TRUE(sapReplyAddresses(reply, 1).empty());
}

}  // namespace
