// Every TCP/IP search method of CTcpIpDiscovery against a responder on loopback.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "devices/device_column.h"
#include "devices/device_snmp_reads.h"
#include "devices/discovery_headless.h"
#include "devices/discovery_tcpip.h"
#include "discovery_responder.h"

using namespace devices;
using testing_devices::addr;
using testing_devices::Responder;
using testing_devices::Unit;

namespace {

Unit unit(const char* address, std::uint8_t a, std::uint8_t b, std::uint8_t c, const char* family = "KDV") {
  Unit u;
  u.address = addr(address);
  u.hw = {0x02, 0x00, 0x00, a, b, c};
  u.family = family;
  u.systemName = address;
  return u;
}

DiscoverySettings settingsFor(const Responder& r, int broadcastMs = 400) {
  DiscoverySettings s;
  s.discoveryPort = r.port();
  s.secondFamilyPort = r.secondFamilyPort();
  s.broadcastTimeoutMs = broadcastMs;
  s.scanBatchWaitMs = 5;
  s.scanFinalWaitMs = 300;
  s.secondFamilyWaitMs = 100;
  return s;
}

SearchRequest listOnly(std::vector<std::string> entries) {
  SearchRequest r;
  r.localSearch = false;
  r.listSearch = true;
  r.entries = std::move(entries);
  return r;
}

// Runs one search and returns the devices by system name (IP address for nameless ones).
struct Search {
  CTcpIpDiscovery discovery;
  HeadlessDiscoveryRun run{discovery};
  std::vector<std::string> texts;
  explicit Search(const DiscoverySettings& s) {
    discovery.setSettings(s);
    run.onText([this](const std::string& t) { texts.push_back(t); });
  }
  int go(const SearchRequest& request, const std::atomic<bool>* stop = nullptr) { return run.run(request, stop, 60000); }
  std::map<std::string, CDevice*> byIp() {
    std::map<std::string, CDevice*> out;
    for (const auto& d : discovery.devices()) out[static_cast<CIpDevice&>(*d).ipAddress.c_str()] = d.get();
    return out;
  }
};

}  // namespace

TEST(Discovery, LocalBroadcastTakesKnownFamiliesOnly) {
  Unit withLast = unit("127.0.50.1", 0x12, 0x34, 0x56);
  Unit format3 = unit("127.0.50.2", 1, 1, 2);
  format3.format = 3;
  Unit zbn = unit("127.0.50.3", 1, 1, 3, "ZBN");
  Unit foreign = unit("127.0.50.4", 1, 1, 4, "XYZ");
  Unit factory = unit("127.0.50.5", 1, 1, 5);
  factory.replyIp = {192, 0, 0, 192};
  factory.replyIpSet = true;
  Responder responder({withLast, format3, zbn, foreign, factory});

  struct Case {
    const char* name;
    std::vector<std::string> oem;
    std::set<std::string> want;
  } cases[] = {
      {"KDV only", {}, {"127.0.50.1", "127.0.50.2", "192.0.0.192"}},
      {"ZBN through the family table", {"ZBN"}, {"127.0.50.1", "127.0.50.2", "127.0.50.3", "192.0.0.192"}},
      {"a table entry naming KDV adds no copy", {"KDV", "ZBN"}, {"127.0.50.1", "127.0.50.2", "127.0.50.3", "192.0.0.192"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DiscoverySettings s = settingsFor(responder);
    s.oemFamilies = c.oem;
    Search search(s);
    SearchRequest request;
    EXPECT_EQ(search.go(request), 0);
    std::set<std::string> got;
    for (const auto& [ip, d] : search.byIp()) got.insert(ip);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(search.discovery.deviceCount(), c.want.size());
    auto devices = search.byIp();
    ASSERT_TRUE(devices.count("127.0.50.1"));
    EXPECT_EQ(devices["127.0.50.1"]->serialNumber.view(), "1193046");
    EXPECT_TRUE(devices["127.0.50.1"]->configured);
    EXPECT_FALSE(devices["192.0.0.192"]->configured);
    EXPECT_EQ(search.texts.front(), "Searching the local network...");
  }
}

TEST(Discovery, SameLastThreeBytesCountOnceAndRoundsRepeatUntilQuiet) {
  Unit a = unit("127.0.51.1", 0xAA, 0xBB, 0xCC);
  Unit b = unit("127.0.51.2", 0xAA, 0xBB, 0xCC);
  b.hw[0] = 0x04;
  Responder responder({a, b, unit("127.0.51.3", 0, 0, 3)});
  Search search(settingsFor(responder));
  EXPECT_EQ(search.go({}), 0);
  EXPECT_EQ(search.discovery.deviceCount(), 2u);
  // The first round found new responders, so a second went out with them listed; that one was
  // answered by nobody and ended the search.
  EXPECT_EQ(responder.requests(), 2);
}

TEST(Discovery, MoreThanTheSeenListHoldsAreAllFound) {
  std::vector<Unit> units;
  for (int i = 0; i < 200; ++i) {
    const std::string a = "127.0." + std::to_string(52 + i / 250) + "." + std::to_string(1 + i % 250);
    units.push_back(unit(a.c_str(), 0x10, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)));
  }
  Responder responder(units);
  Search search(settingsFor(responder, 800));
  EXPECT_EQ(search.go({}), 0);
  EXPECT_EQ(search.discovery.deviceCount(), 200u);
  EXPECT_GE(responder.requests(), 2);
}

// The quick search ends each round on a quiet spell: with a Broadcast wait of a minute it ends
// only through that. The rounds and the seen list stay those of the full search.
TEST(Discovery, QuickSearchEndsRoundsOnAQuietSpell) {
  std::vector<Unit> units;
  for (int i = 0; i < 200; ++i) {
    const std::string a = "127.0.60." + std::to_string(1 + i);
    units.push_back(unit(a.c_str(), 0x60, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)));
  }
  Responder responder(units);
  DiscoverySettings s = settingsFor(responder, 60000);
  s.quickQuietMs = kQuickQuietMs;
  Search search(s);
  EXPECT_EQ(search.run.run({}, nullptr, 45000), 0);
  EXPECT_EQ(search.discovery.deviceCount(), 200u);
  // 179 listed in the second request; the 21 left out answer it again but are not new.
  EXPECT_EQ(responder.requests(), 2);
}

TEST(Discovery, DirectedBroadcastAndMulticastEntries) {
  Responder responder({unit("127.0.53.1", 0, 0, 1), unit("127.0.53.2", 0, 0, 2)});
  {
    Search search(settingsFor(responder));
    EXPECT_EQ(search.go(listOnly({"127.255.255.255<DB>"})), 0);
    EXPECT_EQ(search.discovery.deviceCount(), 2u);
    EXPECT_EQ(search.texts.back(), "Searching specific devices...");
  }
  if (!responder.joinMulticast()) GTEST_SKIP() << "no multicast on loopback here";
  Search search(settingsFor(responder));
  EXPECT_EQ(search.go(listOnly({"Multicast<5>"})), 0);
  EXPECT_EQ(search.discovery.deviceCount(), 2u);
  const auto dest = responder.requestDestinations();
  EXPECT_NE(std::find(dest.begin(), dest.end(), 0xE0000137u), dest.end());
}

TEST(Discovery, SubnetScanAsksEveryHostNumber) {
  Responder responder({unit("127.0.54.3", 0, 0, 3), unit("127.0.54.255", 0, 0, 255), unit("127.0.55.9", 0, 0, 9)});
  Search search(settingsFor(responder));
  EXPECT_EQ(search.go(listOnly({"127.0.54.*"})), 0);
  auto devices = search.byIp();
  EXPECT_EQ(devices.size(), 2u);
  EXPECT_TRUE(devices.count("127.0.54.3"));
  EXPECT_TRUE(devices.count("127.0.54.255"));
  std::set<std::uint32_t> asked;
  for (std::uint32_t d : responder.requestDestinations()) asked.insert(d);
  EXPECT_EQ(asked.size(), 255u);
  EXPECT_TRUE(asked.count(addr("127.0.54.1")));
  EXPECT_TRUE(asked.count(addr("127.0.54.255")));
}

// A /24 whose every address answers: no batch wait and no final wait has anything left to wait
// for. With waits of a minute the scan finishes only if every wait ends on its batch's answers.
TEST(Discovery, SubnetScanOfAFullSubnetEndsOnItsAnswers) {
  std::vector<Unit> units;
  for (int host = 1; host <= 255; ++host) {
    const std::string a = "127.0.59." + std::to_string(host);
    units.push_back(unit(a.c_str(), 0, 59, static_cast<std::uint8_t>(host)));
  }
  Responder responder(units);
  DiscoverySettings s = settingsFor(responder);
  s.scanBatchWaitMs = 60000;
  s.scanFinalWaitMs = 60000;
  Search search(s);
  EXPECT_EQ(search.run.run(listOnly({"127.0.59.*"}), nullptr, 45000), 0);
  EXPECT_EQ(search.byIp().size(), 255u);
}

TEST(Discovery, ListedAddressesStayEvenWhenSilent) {
  Unit silent = unit("127.0.56.2", 0, 0, 2);
  silent.silent = true;
  Responder responder({unit("127.0.56.1", 0, 0, 1), silent});
  Search search(settingsFor(responder, 300));
  EXPECT_EQ(search.go(listOnly({"127.0.56.1", "127.0.56.2"})), 0);
  auto devices = search.byIp();
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_TRUE(devices["127.0.56.1"]->answered);
  CDevice* quiet = devices["127.0.56.2"];
  EXPECT_FALSE(quiet->answered);
  EXPECT_TRUE(quiet->statusBits(0) & kBitNoResponse);
  EXPECT_EQ(quiet->statusLevel(0, StatusMasks{}), kLevelError);
}

TEST(Discovery, AddressFileTakesOnlyLinesThatStartWithAnAddress) {
  Unit silent = unit("127.0.57.2", 0, 0, 2);
  silent.silent = true;
  Responder responder({unit("127.0.57.1", 0, 0, 1), silent, unit("127.0.57.3", 0, 0, 3)});
  const std::string path = std::string(::testing::TempDir()) + "addresses_" + std::to_string(responder.port()) + ".txt";
  {
    std::ofstream f(path, std::ios::binary);
    f << "127.0.57.1\r\n"
      << "\n"
      << "printer-room\n"
      << "127.0.57.2   # silent one\n"
      << "999.1.1.1\n"
      << "127.0.57.3" << std::string(120, ' ') << "127.0.57.4\n";  // over 99 characters: refused whole
  }
  Search search(settingsFor(responder, 300));
  EXPECT_EQ(search.go(listOnly({"File<" + path + ">", "File<" + path + ".missing>"})), 0);
  auto devices = search.byIp();
  EXPECT_EQ(devices.size(), 2u);
  EXPECT_TRUE(devices.count("127.0.57.1") && devices["127.0.57.1"]->answered);
  EXPECT_TRUE(devices.count("127.0.57.2") && !devices["127.0.57.2"]->answered);
  std::remove(path.c_str());
}

TEST(Discovery, SecondFamilyProbeFollowsTheBroadcast) {
  Unit short72 = unit("127.0.58.1", 0, 0, 1);
  short72.secondFamilyForm = 0;
  Unit long166 = unit("127.0.58.2", 0, 0, 2);
  long166.secondFamilyForm = 1;
  Responder responder({short72, long166});
  std::vector<std::uint8_t> junk(100, 0);
  std::memcpy(junk.data(), kSecondFamilyMagic, 4);
  responder.addSecondFamilyJunk(junk);                          // neither 72 nor 166 bytes
  responder.addSecondFamilyJunk(std::vector<std::uint8_t>(72, 0x41));  // 72 bytes, wrong magic
  Search search(settingsFor(responder));
  EXPECT_EQ(search.go({}), 0);
  auto devices = search.byIp();
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices["127.0.58.1"]->kind, kKindSecondFamily);
  EXPECT_EQ(devices["127.0.58.1"]->secondFamilyReplyForm, 0);
  EXPECT_EQ(devices["127.0.58.2"]->secondFamilyReplyForm, 1);
  EXPECT_EQ(devices["127.0.58.2"]->firmwareVersion.view(), "2.1.0");
}

TEST(Discovery, StopDuringTheWaitEndsAtOnceAndKeepsWhatWasFound) {
  Responder responder({unit("127.0.59.1", 0, 0, 1)});
  Search search(settingsFor(responder, 60000));
  std::atomic<bool> stop{false};
  search.run.onFound([&](CDevice&, int) { stop = true; });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(search.go({}, &stop), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_EQ(search.discovery.deviceCount(), 1u);
  EXPECT_FALSE(search.discovery.busy());
}

TEST(Discovery, MessagesOfAnEarlierSearchAreRefused) {
  Responder responder({unit("127.0.60.1", 0, 0, 1), unit("127.0.60.2", 0, 0, 2)});
  platform::HeadlessTarget owner;  // nobody handles messages until told to
  std::vector<platform::Message> seen;
  owner.setHandler([&](const platform::Message& m) { seen.push_back(m); });
  CTcpIpDiscovery discovery(&owner);
  discovery.setSettings(settingsFor(responder, 300));
  auto waitIdle = [&] {
    for (int i = 0; i < 500 && discovery.busy(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  };
  discovery.startSearch(listOnly({"127.0.60.1"}));
  waitIdle();  // the first search ends; its device and end messages wait in the queue
  discovery.startSearch(listOnly({"127.0.60.2"}));
  waitIdle();
  owner.processPending();
  int accepted = 0, refused = 0;
  for (const auto& m : seen) {
    if (m.msg != kMsgDeviceFound) continue;
    (discovery.acceptFound(m) >= 0 ? accepted : refused)++;
  }
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(refused, 1);
  ASSERT_EQ(discovery.deviceCount(), 1u);
  EXPECT_EQ(static_cast<CIpDevice&>(*discovery.device(0)).ipAddress.view(), "127.0.60.2");
  for (const auto& m : seen)
    if (m.msg == kMsgSearchDone) {
      EXPECT_EQ(discovery.isCurrent(m), m.wParam == discovery.searchNumber());
    }
}

TEST(Discovery, UnclaimedDevicesAndARunningWorkerGoWithTheDiscovery) {
  Responder responder({unit("127.0.61.1", 0, 0, 1), unit("127.0.61.2", 0, 0, 2)});
  int found = 0;
  platform::HeadlessTarget owner([&](const platform::Message& m) { found += m.msg == kMsgDeviceFound; });
  {
    CTcpIpDiscovery discovery(&owner);
    discovery.setSettings(settingsFor(responder, 60000));
    discovery.startSearch({});
    for (int i = 0; i < 2; ++i)
      if (owner.waitFor(kMsgDeviceFound, std::chrono::seconds(10)).status != platform::WaitStatus::Arrived) break;
    // Both units were posted and nobody took them, while the search still waits for more.
    EXPECT_EQ(found, 2);
    EXPECT_TRUE(discovery.busy());
    EXPECT_EQ(discovery.deviceCount(), 0u);
  }  // destroyed mid-search: the worker is joined, the posted devices are freed (the sanitizer build checks)
  {
    CTcpIpDiscovery discovery(nullptr);  // posted with nobody listening
    discovery.setSettings(settingsFor(responder, 60000));
    discovery.startSearch({});
    EXPECT_TRUE(discovery.busy());
    discovery.stopAndWait();
    EXPECT_FALSE(discovery.busy());
    EXPECT_EQ(discovery.lastResult(), 2);  // it was stopped, not finished
    EXPECT_EQ(discovery.deviceCount(), 0u);
  }
}

std::uint32_t columnBitsOf(std::initializer_list<int> columns) {
  const std::vector<int> list(columns);
  return columnBits(list.data(), list.size());
}

// The SNMP reads after a reply, counted instead of sent.
struct CountingReads : DeviceSnmpReads {
  std::vector<std::string> extraColumnsOf;
  bool probePrinterMib(CIpDevice&) override { return false; }
  int readExtraColumns(CIpDevice& device) override {
    extraColumnsOf.emplace_back(device.ipAddress.view());
    device.location.assign("Room 4");
    return 0;
  }
  int readSecondFamily(CIpDevice&) override { return 0; }
};

// The Search tool adds a unit with the extra columns the view shows, as the search did.
TEST(Discovery, FindOrAddReadsTheExtraColumnsTheViewShows) {
  Responder responder({unit("127.0.63.1", 0, 0, 1), unit("127.0.63.2", 0, 0, 2)});
  CountingReads reads;
  setDeviceSnmpReads(&reads);
  struct Case {
    const char* what;
    const char* address;
    std::uint32_t columns;
    bool extra;
  };
  const Case cases[] = {
      {"name and address only", "127.0.63.1", columnBitsOf({kColSystemName, kColIpAddress, kColHwAddress}), false},
      {"location shown", "127.0.63.2", columnBitsOf({kColSystemName, kColLocation}), true},
  };
  for (const Case& c : cases) {
    CTcpIpDiscovery discovery;
    discovery.setSettings(settingsFor(responder, 300));
    discovery.setShownColumns(c.columns);
    reads.extraColumnsOf.clear();
    const int index = discovery.findOrAdd(c.address);
    ASSERT_EQ(index, 0) << c.what;
    EXPECT_EQ(reads.extraColumnsOf.size(), c.extra ? 1u : 0u) << c.what;
    EXPECT_STREQ(discovery.device(0)->columnText(kColLocation), c.extra ? "Room 4" : "") << c.what;
  }
  setDeviceSnmpReads(nullptr);
}

TEST(Discovery, SearchNowAddsDirectlyAndFindOrAddAsksOnce) {
  Unit twin = unit("127.0.62.2", 0, 0, 1);
  twin.hw[0] = 0x04;  // different first bytes: two responders, one hardware text each
  Responder responder({unit("127.0.62.1", 0, 0, 1), unit("127.0.62.3", 0, 0, 3)});
  CTcpIpDiscovery discovery;
  discovery.setSettings(settingsFor(responder, 300));
  // A listed address asked twice is one print server.
  EXPECT_EQ(discovery.searchNow(listOnly({"127.0.62.1", "127.0.62.1"})), 0);
  EXPECT_EQ(discovery.deviceCount(), 1u);
  EXPECT_EQ(discovery.findOrAdd("127.0.62.1"), 0);
  EXPECT_EQ(discovery.findOrAdd("020000000001"), 0);
  EXPECT_EQ(discovery.findOrAdd("127.0.62.3"), 1);
  EXPECT_EQ(discovery.deviceCount(), 2u);
  EXPECT_EQ(discovery.findOrAdd("127.0.62.9"), -1);
  EXPECT_EQ(discovery.findOrAdd("no such name"), -1);
  EXPECT_EQ(discovery.deviceCount(), 2u);
}
