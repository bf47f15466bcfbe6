// Searches against trellan-sim: a fleet on loopback answering over UDP and IPX.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "devices/discovery_headless.h"
#include "devices/discovery_ipx.h"
#include "devices/discovery_tcpip.h"
#include "discovery_responder.h"

extern char** environ;

using namespace devices;

namespace {

// One simulator process for a test, on ports of its own.
class Sim {
 public:
  Sim(int count, const std::string& first) {
    testing_devices::useLoopbackNetConfig();
    // The simulator sits next to this test program unless TRELLAN_BIN_DIR says otherwise.
    std::string dir;
    if (const char* env = std::getenv("TRELLAN_BIN_DIR")) {
      dir = env;
    } else {
      char self[4096];
      const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
      if (n <= 0) return;
      dir.assign(self, static_cast<std::size_t>(n));
      dir = dir.substr(0, dir.rfind('/'));
    }
    const std::string bin = dir + "/trellan-sim";
    if (::access(bin.c_str(), X_OK) != 0) return;
    const int base = 20000 + (::getpid() % 2000) * 8;
    udpPort = static_cast<std::uint16_t>(base);
    ipxPort = static_cast<std::uint16_t>(base + 1);
    secondPort = static_cast<std::uint16_t>(base + 2);
    ready_ = std::string(::testing::TempDir()) + "sim_ready_" + std::to_string(::getpid()) + ".json";
    std::remove(ready_.c_str());
    std::vector<std::string> args = {bin, "--count", std::to_string(count), "--first", first, "--snmp-port", "0",
                                     "--discovery-port", std::to_string(udpPort), "--ipx-discovery-port",
                                     std::to_string(ipxPort), "--ipx-snmp-port", "0", "--second-family-port",
                                     std::to_string(secondPort), "--ready-file", ready_};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, bin.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      pid_ = 0;
      return;
    }
    // A large fleet takes a while to set up under the sanitizers.
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
    std::remove(ready_.c_str());
  }
  bool running() const { return pid_ > 0; }
  DiscoverySettings settings() const {
    DiscoverySettings s;
    s.discoveryPort = udpPort;
    s.ipxDiscoverySocket = ipxPort;
    s.secondFamilyPort = secondPort;
    s.broadcastTimeoutMs = 600;
    s.scanBatchWaitMs = 5;
    s.scanFinalWaitMs = 400;
    return s;
  }
  std::uint16_t udpPort = 0, ipxPort = 0, secondPort = 0;

 private:
  pid_t pid_ = 0;
  std::string ready_;
};

std::set<std::string> addresses(const CDiscovery& d) {
  std::set<std::string> out;
  for (const auto& dev : d.devices()) out.insert(static_cast<const CIpDevice&>(*dev).ipAddress.c_str());
  return out;
}

}  // namespace

TEST(DiscoverySim, EveryTcpIpMethodFindsTheFleet) {
  Sim sim(12, "127.0.93.1");
  ASSERT_TRUE(sim.running()) << "trellan-sim is missing or did not start";
  struct Case {
    const char* name;
    SearchRequest request;
    std::size_t want;
  } cases[] = {
      {"local broadcast", {true, false, {}, 0}, 12},
      {"directed broadcast", {false, true, {"127.255.255.255<DB>"}, 0}, 12},
      {"subnet scan", {false, true, {"127.0.93.*"}, 0}, 12},
      {"single addresses, one silent", {false, true, {"127.0.93.2", "127.0.93.200"}, 0}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTcpIpDiscovery discovery;
    discovery.setSettings(sim.settings());
    HeadlessDiscoveryRun run(discovery);
    EXPECT_EQ(run.run(c.request, nullptr, 60000), 0);
    EXPECT_EQ(discovery.deviceCount(), c.want);
    EXPECT_TRUE(addresses(discovery).count("127.0.93.2"));
  }
}

TEST(DiscoverySim, IpxVariantFindsTheFleet) {
  Sim sim(6, "127.0.94.1");
  ASSERT_TRUE(sim.running()) << "trellan-sim is missing or did not start";
  CIpxSearchDiscovery discovery;
  discovery.setSettings(sim.settings());
  HeadlessDiscoveryRun run(discovery);
  EXPECT_EQ(run.run({true, false, {}, 0}, nullptr, 60000), 0);
  EXPECT_EQ(discovery.deviceCount(), 6u);
  for (const auto& d : discovery.devices()) {
    EXPECT_TRUE(d->answered);
    EXPECT_EQ(d->deviceClass(), DeviceClass::Ipx);
  }
  // A listed device by network and node, and one that is silent.
  const auto& first = static_cast<const CIpxDevice&>(*discovery.device(0));
  const std::string listed(first.ipxAddressText().view());
  CIpxSearchDiscovery again;
  again.setSettings(sim.settings());
  HeadlessDiscoveryRun run2(again);
  EXPECT_EQ(run2.run({false, true, {listed, "00000000-00007F005EFA"}, 0}, nullptr, 60000), 0);
  ASSERT_EQ(again.deviceCount(), 2u);
  EXPECT_TRUE(again.device(0)->answered);
  EXPECT_FALSE(again.device(1)->answered);
}

// A large fleet answers one broadcast in a burst far beyond the socket's buffer unless replies are
// taken off it as they come: every unit must be found. (bench/limits.sh runs the simulator's
// largest fleet, 16,384 units, against an optimised build.)
TEST(DiscoverySim, BroadcastFindsEveryUnitOfALargeFleet) {
  constexpr std::size_t kFleet = 5000;
  Sim sim(static_cast<int>(kFleet), "127.2.0.1");
  ASSERT_TRUE(sim.running()) << "trellan-sim is missing or did not start";
  struct Case {
    const char* name;
    SearchRequest request;
  } cases[] = {
      {"local broadcast", {true, false, {}, 0}},
      {"directed broadcast", {false, true, {"127.255.255.255<DB>"}, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTcpIpDiscovery discovery;
    DiscoverySettings s = sim.settings();
    s.broadcastTimeoutMs = 1500;
    discovery.setSettings(s);
    HeadlessDiscoveryRun run(discovery);
    EXPECT_EQ(run.run(c.request, nullptr, 120000), 0);
    EXPECT_EQ(discovery.deviceCount(), kFleet);
    EXPECT_EQ(addresses(discovery).size(), kFleet);
  }
}
