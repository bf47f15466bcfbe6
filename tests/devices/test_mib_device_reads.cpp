// The SNMP reads after a discovery reply, against trellan-sim over loopback: printer state per
// port, the extra list columns, OEM prefixes, failures that keep the reply's data, Stop, and the
// second family's text commands; plus the second-family helpers on their own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "access/progress_headless.h"
#include "access/result_codes.h"
#include "devices/device.h"
#include "devices/mib_device_reads.h"
#include "devices/second_family_exchange.h"
#include "discovery_responder.h"
#include "platform/net_config.h"
#include "platform/udp_socket.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"

using namespace devices;

namespace {

namespace result = snmpaccess::result;

// Units of the fleet, one idea each.
constexpr const char* kWired = "127.0.95.1";      // two ports, printer ids, no wireless
constexpr const char* kWireless = "127.0.95.2";   // wireless listed and enabled
constexpr const char* kWlNoSignal = "127.0.95.3"; // wireless with signal 0
constexpr const char* kNoPortCols = "127.0.95.4"; // lacks the per-port columns: the read ends there
constexpr const char* kHlq = "127.0.95.5";        // family HLQ, its variables under 1.3.6.1.4.1.683
constexpr const char* kTelnet = "127.0.95.6";     // reply format 2: no SNMP agent
constexpr const char* kDeaf = "127.0.95.7";       // answers discovery, drops every SNMP request
constexpr const char* kSf72 = "127.0.95.8";       // second family, 72-byte reply
constexpr const char* kSf166 = "127.0.95.9";      // second family, 166-byte reply

const char* const kFleet = R"({"devices":[
 {"address":"127.0.95.1","name":"WIRED","system":{"location":"rack 2"},
  "ports":[{"name":"LPT1","status":0,"display":"READY"},{"name":"LPT2","status":32,"display":"PAPER OUT"}],
  "variables":[{"oid":".1.9.0","type":"text","value":"V5.41"},
   {"oid":".1.15.1.0","type":"int","value":2},
   {"oid":".1.15.2.1.2.1","type":"int","value":1},{"oid":".1.15.2.1.3.1","type":"text","value":"TCP/IP"},
   {"oid":".1.15.2.1.2.2","type":"int","value":2},{"oid":".1.15.2.1.3.2","type":"text","value":"NetWare"},
   {"oid":".6.2.3.2.1.15.1","type":"text","value":"LaserJet 4"},{"oid":".6.2.3.2.1.16.1","type":"int","value":1},
   {"oid":".6.2.3.2.1.15.2","type":"text","value":"DeskJet\u0001890"},{"oid":".6.2.3.2.1.16.2","type":"int","value":1}]},
 {"address":"127.0.95.2","name":"WL","system":{"location":"lab"},
  "ports":[{"name":"P1","status":64,"display":"WARMING UP"}],
  "variables":[{"oid":".1.9.0","type":"text","value":"W2.00"},
   {"oid":".1.15.1.0","type":"int","value":2},
   {"oid":".1.15.2.1.2.1","type":"int","value":1},{"oid":".1.15.2.1.2.2","type":"int","value":7},
   {"oid":".6.2.3.2.1.15.1","type":"int","value":3},{"oid":".6.2.3.2.1.16.1","type":"int","value":1},
   {"oid":".8.3.18.0","type":"int","value":2},{"oid":".8.3.16.0","type":"text","value":"Excellent"},
   {"oid":".8.3.4.0","type":"text","value":"office"},{"oid":".8.3.10.0","type":"text","value":"office-ap2"},
   {"oid":".8.3.3.0","type":"int","value":2},{"oid":".8.3.1.0","type":"int","value":3},
   {"oid":".8.3.12.0","type":"int","value":87},{"oid":".8.3.17.0","type":"text","value":"WPA"}]},
 {"address":"127.0.95.3","name":"WL0",
  "variables":[{"oid":".1.9.0","type":"text","value":"W2.00"},
   {"oid":".1.15.1.0","type":"int","value":1},{"oid":".1.15.2.1.2.1","type":"int","value":7},
   {"oid":".6.2.3.2.1.15.1","type":"text","value":"X"},{"oid":".6.2.3.2.1.16.1","type":"int","value":1},
   {"oid":".8.3.18.0","type":"int","value":2},{"oid":".8.3.16.0","type":"text","value":"None"},
   {"oid":".8.3.4.0","type":"text","value":"home"},{"oid":".8.3.10.0","type":"text","value":""},
   {"oid":".8.3.3.0","type":"int","value":9},{"oid":".8.3.1.0","type":"int","value":1},
   {"oid":".8.3.12.0","type":"int","value":0},{"oid":".8.3.17.0","type":"text","value":""}]},
 {"address":"127.0.95.4","name":"OLD","system":{"location":"basement"},"catalogue":false,
  "variables":[{"oid":".1.9.0","type":"text","value":"V1.00"},{"oid":".1.15.1.0","type":"int","value":0}]},
 {"address":"127.0.95.5","name":"OEM","family":"HLQ",
  "variables":[{"oid":".1.9.0","type":"text","value":"H3.1"},{"oid":".1.15.1.0","type":"int","value":0},
   {"oid":".6.2.3.2.1.15.1","type":"text","value":"Oem Printer"},{"oid":".6.2.3.2.1.16.1","type":"int","value":1}]},
 {"address":"127.0.95.6","name":"TELNET","discovery":{"format":2}},
 {"address":"127.0.95.7","name":"DEAF","ports":[{"name":"LPT1","status":0,"display":"READY"}],
  "faults":{"drop_every":1}},
 {"address":"127.0.95.8","name":"SF72",
  "ports":[{"name":"PORT1","status":8,"display":"LOAD PAPER"},{"name":"PORT2","status":0,"display":"IDLE"}],
  "second_family":{"size":72,"model":"SX-2000WG","firmware":"1.00","ssid":"sf-net","wireless_mode":1,
                   "security":0,"key":"wepkey-one"}},
 {"address":"127.0.95.9","name":"SF166",
  "second_family":{"size":166,"model":"C-6400W","firmware":"2.1.7","ssid":"cafe","wireless_mode":0,
                   "security":2,"key":"let-me-in"}}
]})";

std::string binDir() {
  if (const char* d = std::getenv("TRELLAN_BIN_DIR"); d && *d) return d;
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? "." : self.parent_path().string();
}

// The fleet above on ports of this process's own; the engine's SNMP port points at it.
class Fleet {
 public:
  Fleet() {
    testing_devices::useLoopbackNetConfig();
    dir_ = std::filesystem::temp_directory_path() / ("mib-reads-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "fleet.json") << kFleet;
    const std::string bin = binDir() + "/trellan-sim";
    if (::access(bin.c_str(), X_OK) != 0) return;
    // Ports from the process id; another test's simulator may hold them, so a simulator that
    // could not bind is tried again elsewhere.
    for (int attempt = 0; attempt < 5 && !ready_; ++attempt) start(bin, 40000 + ((::getpid() + attempt * 997) % 4000) * 4);
    saved_ = platform::netConfig();
    platform::NetConfig c = saved_;
    c.snmpPort = snmpPort;
    platform::setNetConfig(c);
  }

  void start(const std::string& bin, int base) {
    snmpPort = static_cast<std::uint16_t>(base);
    discoveryPort = static_cast<std::uint16_t>(base + 1);
    secondPort = static_cast<std::uint16_t>(base + 2);
    const std::string data = (dir_ / "fleet.json").string(), ready = (dir_ / "ready.json").string();
    log_ = (dir_ / "log.jsonl").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      // Dies with the test (an aborted test runs no destructor) and leaves its pipes alone.
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      std::FILE* err = std::freopen((dir_ / "stderr.txt").c_str(), "w", stderr);
      std::FILE* out = std::freopen("/dev/null", "w", stdout);
      (void)err;
      (void)out;
      ::execl(bin.c_str(), "trellan-sim", "--data", data.c_str(), "--snmp-port", std::to_string(snmpPort).c_str(),
              "--discovery-port", std::to_string(discoveryPort).c_str(), "--ipx-discovery-port", "0",
              "--ipx-snmp-port", "0", "--second-family-port", std::to_string(secondPort).c_str(), "--ready-file",
              ready.c_str(), "--log", log_.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int i = 0; i < 300 && !ready_; ++i) {
      ready_ = std::filesystem::exists(ready);
      int status = 0;
      if (!ready_ && ::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      if (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!ready_ && pid_ > 0) {
      ::kill(pid_, SIGKILL);
      int status = 0;
      ::waitpid(pid_, &status, 0);
      pid_ = -1;
    }
  }
  ~Fleet() {
    if (ready_) platform::setNetConfig(saved_);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  bool ready() const { return ready_; }
  std::string errors() const {
    std::ifstream in(dir_ / "stderr.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Log lines of one unit that contain every one of `parts`.
  int count(const std::string& unit, std::initializer_list<const char*> parts) const {
    std::ifstream in(log_);
    std::string line;
    int n = 0;
    const std::string device = "\"device\":\"" + unit + "\"";
    while (std::getline(in, line)) {
      if (line.find(device) == std::string::npos) continue;
      bool all = true;
      for (const char* p : parts) all = all && line.find(p) != std::string::npos;
      n += all;
    }
    return n;
  }
  int snmpRequests(const std::string& unit) const { return count(unit, {"\"kind\":\"request\""}); }

  std::uint16_t snmpPort = 0, discoveryPort = 0, secondPort = 0;

 private:
  std::filesystem::path dir_;
  std::string log_;
  pid_t pid_ = -1;
  bool ready_ = false;
  platform::NetConfig saved_;
};

Fleet* gFleet = nullptr;

class MibReads : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gFleet = new Fleet; }
  static void TearDownTestSuite() {
    delete gFleet;
    gFleet = nullptr;
  }
  void SetUp() override {
    // A missing or failing simulator is a failure, never a skip.
    ASSERT_TRUE(gFleet->ready()) << "trellan-sim did not start: " << gFleet->errors();
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    settings.getTimeout = 20;  // 200 ms per transmission
    // One send per request and no retry: under a loaded machine the default 100 ms is too short.
    settings.secondFamilyReplyMs = 2000;
    settings.families = {{"HLQ", "1.3.6.1.4.1.683"}};
  }
  void TearDown() override {
    setDeviceSnmpReads(nullptr);
    SnmpCleanup();
  }

  // A query of `address` with these reads installed.
  std::unique_ptr<CIpDevice> query(MibDeviceReads& reads, const char* address, bool extra, int kind = kKindNative) {
    setDeviceSnmpReads(&reads);
    auto d = std::make_unique<CIpDevice>(address);
    d->kind = kind;
    d->progress = &progress;
    d->querySettings.discoveryPort = gFleet->discoveryPort;
    d->querySettings.secondFamilyPort = gFleet->secondPort;
    d->querySettings.replyTimeoutMs = 3000;
    d->querySettings.extraColumns = extra;
    // The second family's probe goes out once; on a loaded machine the simulator may not have it in
    // time, so a second-family query is asked once more before the reads are judged.
    int rc = d->query();
    if (rc != 0 && kind == kKindSecondFamily) rc = d->query();
    EXPECT_EQ(rc, 0) << address;
    return d;
  }

  MibReadSettings settings;
  snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
};

struct Expected {
  const char* name;
  const char* address;
  bool extra;
  bool printerMib;
  std::vector<std::string> portStatus, display, printerId;
  const char* location;
  const char* firmware;
  const char* mode;
  const char* ssid;
  const char* currentSsid;
  const char* security;
  const char* signal;
  const char* percent;
  const char* rate;
};

TEST_F(MibReads, QueryFillsThePortAndExtraColumns) {
  const Expected cases[] = {
      {"wired unit, extra columns", kWired, true, true, {"On-line", "Off-line"}, {"READY", "PAPER OUT"},
       {"LaserJet 4", "DeskJet 890"}, "rack 2", "V5.41", "Wired Only", "", "", "", "", "", ""},
      {"wired unit, no extra columns: only the printer MIB", kWired, false, true, {"On-line", "Off-line"},
       {"READY", "PAPER OUT"}, {"", ""}, "", "", "", "", "", "", "", "", ""},
      {"wireless unit", kWireless, true, true, {"Transitioning"}, {"WARMING UP"}, {"3"}, "lab", "W2.00",
       "Infrastructure", "office", "office-ap2", "WPA", "Excellent", "87", "5.5"},
      {"wireless without signal shows Wired; unknown rate stays empty", kWlNoSignal, true, true, {"On-line"},
       {"READY"}, {"X"}, "", "W2.00", "Wired", "home", "", "", "None", "0", ""},
      {"missing per-port columns end the read, firmware stays", kNoPortCols, true, true, {"On-line"}, {"READY"},
       {""}, "", "V1.00", "Wired Only", "", "", "", "", "", ""},
      {"OEM family reads under its own prefix", kHlq, true, true, {"On-line"}, {"READY"}, {"Oem Printer"}, "",
       "H3.1", "Wired Only", "", "", "", "", "", ""},
      {"format 2 has no agent: nothing asked", kTelnet, true, false, {""}, {""}, {""}, "", "", "", "", "", "", "",
       "", ""},
  };
  for (const Expected& c : cases) {
    SCOPED_TRACE(c.name);
    MibDeviceReads reads(settings);
    auto d = query(reads, c.address, c.extra);
    EXPECT_EQ(d->printerMibAnswered, c.printerMib);
    ASSERT_EQ(d->portCount(), static_cast<int>(c.portStatus.size()));
    for (int p = 0; p < d->portCount(); ++p) {
      EXPECT_EQ(d->portStatusTexts[p].view(), c.portStatus[p]) << p;
      EXPECT_EQ(d->printerDisplays[p].view(), c.display[p]) << p;
      EXPECT_EQ(d->printerIds[p].view(), c.printerId[p]) << p;
    }
    EXPECT_EQ(d->location.view(), c.location);
    EXPECT_EQ(d->firmwareVersion.view(), c.firmware);
    EXPECT_EQ(d->wirelessMode.view(), c.mode);
    EXPECT_EQ(d->ssid.view(), c.ssid);
    EXPECT_EQ(d->currentSsid.view(), c.currentSsid);
    EXPECT_EQ(d->security.view(), c.security);
    EXPECT_EQ(d->signalDescription.view(), c.signal);
    EXPECT_EQ(d->signalPercentage.view(), c.percent);
    EXPECT_EQ(d->dataRate.view(), c.rate);
    // The reply's own data is there whatever SNMP gave.
    EXPECT_TRUE(d->answered);
    EXPECT_FALSE(d->systemName.empty());
  }
  EXPECT_EQ(gFleet->snmpRequests(kTelnet), 0);
}

TEST_F(MibReads, WirelessTestAsksTheProtocolIdColumn) {
  MibDeviceReads reads(settings);
  query(reads, kWired, true);
  EXPECT_GT(gFleet->count(kWired, {"\"kind\":\"request\"", "1.3.6.1.4.1.1240.2.3.5.1.15.2.1.2.2\""}), 0);
  EXPECT_EQ(gFleet->count(kWired, {"\"kind\":\"request\"", "1.3.6.1.4.1.1240.2.3.5.1.15.2.1.3."}), 0);
}

TEST_F(MibReads, UnknownFamilyFallsBackToTheNativePrefix) {
  settings.families.clear();
  MibDeviceReads reads(settings);
  EXPECT_EQ(reads.enterprisePrefix("HLQ"), kNativePrefix);
  EXPECT_EQ(reads.enterprisePrefix("KDV"), kNativePrefix);
  auto d = query(reads, kHlq, true);
  // The native OIDs are not the unit's: the read ends at the firmware, the reply's data stays.
  EXPECT_TRUE(d->firmwareVersion.empty());
  EXPECT_EQ(d->systemName.view(), "OEM");
}

TEST_F(MibReads, SilentAgentKeepsTheReplyAndSkipsTheExtraReads) {
  MibDeviceReads reads(settings);
  const int before = gFleet->snmpRequests(kDeaf);
  auto d = query(reads, kDeaf, true);
  EXPECT_FALSE(d->printerMibAnswered);
  EXPECT_EQ(d->systemName.view(), "DEAF");
  EXPECT_EQ(d->portNames[0].view(), "LPT1");
  EXPECT_TRUE(d->portStatusTexts[0].empty());
  EXPECT_EQ(d->statusWordText.view(), "Good");
  // Three transmissions of the probe, then nothing more for a unit that never answers.
  EXPECT_EQ(gFleet->snmpRequests(kDeaf) - before, 3);
}

TEST_F(MibReads, WrongCommunityKeepsWhatWasRead) {
  MibDeviceReads reads(settings);
  auto d = query(reads, kWired, true);
  ASSERT_EQ(d->firmwareVersion.view(), "V5.41");
  d->getCommunity.assign("not-the-one");
  EXPECT_FALSE(reads.probePrinterMib(*d));
  EXPECT_EQ(reads.readExtraColumns(*d), result::kNoReply);
  EXPECT_EQ(d->portStatusTexts[1].view(), "Off-line");
  EXPECT_EQ(d->firmwareVersion.view(), "V5.41");
  EXPECT_EQ(d->location.view(), "rack 2");
  EXPECT_EQ(d->printerIds[0].view(), "LaserJet 4");
}

TEST_F(MibReads, MissingCommunityTakesTheFallback) {
  std::atomic<int> asked{0};
  settings.fallbackCommunity = [&](std::uint16_t family, std::string_view address) {
    ++asked;
    EXPECT_EQ(family, 2);
    EXPECT_EQ(address, kWired);
    return std::string("vorlak");
  };
  MibDeviceReads reads(settings);
  CIpDevice d(kWired);
  d.progress = &progress;
  d.setPortCount(1);
  EXPECT_TRUE(reads.probePrinterMib(d));
  EXPECT_EQ(asked.load(), 1);
  EXPECT_EQ(d.portStatusTexts[0].view(), "On-line");
  settings.fallbackCommunity = nullptr;
  MibDeviceReads without(settings);
  CIpDevice e(kWired);
  e.progress = &progress;
  EXPECT_FALSE(without.probePrinterMib(e));
  EXPECT_EQ(without.readExtraColumns(e), result::kNoContext);
}

TEST_F(MibReads, StopDuringTheProbeEndsTheReads) {
  settings.getTimeout = 500;  // long waits: the stop must end them, not the time-out
  MibDeviceReads reads(settings);
  const int before = gFleet->snmpRequests(kDeaf);
  // Stop once the probe's first request reached the unit (a stop before it would end the
  // discovery wait instead).
  std::atomic<bool> done{false};
  std::thread stopper([&] {
    for (int i = 0; i < 500 && !done; ++i) {
      if (gFleet->snmpRequests(kDeaf) > before) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        progress.stop();
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  auto d = query(reads, kDeaf, true);
  done = true;
  stopper.join();
  EXPECT_FALSE(d->printerMibAnswered);
  EXPECT_EQ(d->systemName.view(), "DEAF");
  EXPECT_EQ(gFleet->snmpRequests(kDeaf) - before, 1);
}

TEST_F(MibReads, EngineNotStartedMeansNoReads) {
  SnmpCleanup();
  MibDeviceReads reads(settings);
  CIpDevice d(kWired);
  d.progress = &progress;
  d.getCommunity.assign("vorlak");
  EXPECT_FALSE(reads.probePrinterMib(d));
  settings.startEngine = true;
  {
    MibDeviceReads starting(settings);
    d.setPortCount(1);
    EXPECT_TRUE(starting.probePrinterMib(d));
  }
  // The reads that started the engine cleaned it up again.
  smiUINT32 mode = 0;
  EXPECT_EQ(SnmpGetTranslateMode(&mode), SNMPAPI_FAILURE);
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
}

TEST_F(MibReads, SecondFamilyUnitsReadPortsAndImage) {
  MibDeviceReads reads(settings);
  auto d72 = query(reads, kSf72, true, kKindSecondFamily);
  EXPECT_EQ(d72->secondFamilyReplyForm, 0);
  ASSERT_EQ(d72->portCount(), 2);
  EXPECT_EQ(d72->portNames[0].view(), "PORT1");
  EXPECT_EQ(d72->portNames[1].view(), "PORT2");
  EXPECT_EQ(d72->portNumbers[1].view(), "2");
  EXPECT_EQ(d72->portStatusTexts[0].view(), "No paper");
  EXPECT_EQ(d72->printerDisplays[0].view(), "LOAD PAPER");
  EXPECT_EQ(d72->portStatusTexts[1].view(), "On-Line");
  EXPECT_EQ(d72->printerDisplays[1].view(), "IDLE");
  EXPECT_EQ(d72->subnetMask.view(), "255.0.0.0");
  EXPECT_EQ(d72->defaultGateway.view(), "127.0.0.1");
  EXPECT_EQ(d72->firmwareVersion.view(), "1.00");
  EXPECT_EQ(d72->wirelessMode.view(), "802.11 Ad Hoc");
  EXPECT_EQ(d72->ssid.view(), "sf-net");
  EXPECT_EQ(d72->currentSsid.view(), "sf-net");
  EXPECT_EQ(d72->security.view(), "wepkey-one");
  EXPECT_EQ(gFleet->snmpRequests(kSf72), 0);

  auto d166 = query(reads, kSf166, true, kKindSecondFamily);
  EXPECT_EQ(d166->secondFamilyReplyForm, 1);
  EXPECT_EQ(d166->firmwareVersion.view(), "2.1.7");
  EXPECT_EQ(d166->wirelessMode.view(), "Ad Hoc");
  EXPECT_EQ(d166->ssid.view(), "cafe");
  EXPECT_EQ(d166->security.view(), "let-me-in");
  // The 166-byte form skips the port commands.
  EXPECT_EQ(gFleet->count(kSf166, {"\"command\"", "GET PORT_NAME"}), 0);
  EXPECT_EQ(gFleet->count(kSf166, {"\"command\"", "GET EEP_DATA"}), 17);
}

TEST_F(MibReads, SecondFamilyWithoutAnswerFails) {
  MibDeviceReads reads(settings);
  CIpDevice d("127.0.95.200");
  d.kind = kKindSecondFamily;
  d.querySettings.secondFamilyPort = gFleet->secondPort;
  d.systemName.assign("kept");
  EXPECT_EQ(reads.readSecondFamily(d), -1);
  EXPECT_EQ(d.systemName.view(), "kept");
  EXPECT_EQ(d.portCount(), 1);
}

// ---- The second-family helpers without a unit ----

TEST(SecondFamilyExchange, RequestFrame) {
  const auto f = secondFamilyRequest(SecondFamilyPhase::Next, "GET EEP_DATA", 7680, 512);
  EXPECT_EQ(f[0], 0);
  EXPECT_EQ(f[1], 2);
  EXPECT_EQ(f[3], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.data() + 4)), "GET EEP_DATA");
  EXPECT_EQ(f[84], 0x1E);
  EXPECT_EQ(f[85], 0x00);
  EXPECT_EQ(f[86], 0x02);
  EXPECT_EQ(f[87], 0x00);
  // A command longer than its field is cut and stays terminated before the offset.
  const auto cut = secondFamilyRequest(SecondFamilyPhase::First, std::string(200, 'A'), 0, 0);
  EXPECT_EQ(cut[4 + 78], 'A');
  EXPECT_EQ(cut[4 + 79], 0);
  EXPECT_EQ(cut[84], 0);
}

TEST(SecondFamilyExchange, StatusWords) {
  const struct {
    std::uint8_t flags;
    const char* word;
  } cases[] = {{0x00, "On-Line"},      {0x01, "Printing"}, {0x02, "Dealing"}, {0x04, "Cannot print"},
               {0x08, "No paper"},     {0x10, "Off-Line"}, {0x20, "Fault"},   {0x09, "No paper"},
               {0x31, "Fault"},        {0xC0, ""}};
  for (const auto& c : cases) EXPECT_STREQ(secondFamilyStatusWord(c.flags), c.word) << int(c.flags);
}

TEST(SecondFamilyExchange, ImageFields) {
  struct Case {
    const char* name;
    const char* model;
    std::uint8_t mode, security, keyInUse;
    const char* wantMode;
    const char* wantSecurity;
  } cases[] = {
      {"WEP key 3 in use", "SX-2000WG", 2, 0, 3, "Infrastructure", "key-three"},
      {"WEP key out of range leaves the text", "SX-2000WG", 1, 0, 5, "802.11 Ad Hoc", "before"},
      {"pass-phrase", "C-6400W", 0, 2, 1, "Ad Hoc", "phrase"},
      {"security 1 shows nothing new", "SX-3700WB", 0, 1, 1, "Ad Hoc", "before"},
      {"mode 0 on another model stays", "WL-54G", 0, 1, 1, "before", "before"},
      {"unknown mode stays", "SX-2000WG", 7, 1, 1, "before", "before"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> m(kImageSize, 0);
    std::memcpy(&m[64], "FW-0123456789ABCDEF", 15);  // no terminator inside its field
    const std::uint8_t mask[4] = {255, 255, 0, 0}, gw[4] = {10, 0, 0, 1};
    std::memcpy(&m[552], mask, 4);
    std::memcpy(&m[556], gw, 4);
    m[7680] = c.mode;
    m[7683] = c.keyInUse;
    m[7684] = c.security;
    std::memset(&m[7696], 'S', 32);  // an SSID filling its field
    const char* keys[] = {"key-one", "key-two", "key-three", "key-four"};
    for (int k = 0; k < 4; ++k) std::memcpy(&m[7744 + 16 * k], keys[k], std::strlen(keys[k]));
    std::memcpy(&m[7808], "phrase", 6);
    CIpDevice d;
    d.productType.assign(c.model);
    d.wirelessMode.assign("before");
    d.security.assign("before");
    applyConfigurationImage(d, m);
    EXPECT_EQ(d.subnetMask.view(), "255.255.0.0");
    EXPECT_EQ(d.defaultGateway.view(), "10.0.0.1");
    EXPECT_EQ(d.firmwareVersion.view(), "FW-0123456789A");
    EXPECT_EQ(d.wirelessMode.view(), c.wantMode);
    EXPECT_EQ(d.security.view(), c.wantSecurity);
    EXPECT_EQ(d.ssid.view(), std::string(31, 'S'));
    EXPECT_EQ(d.currentSsid.view(), std::string(31, 'S'));
  }
  CIpDevice d;
  d.subnetMask.assign("1.2.3.4");
  applyConfigurationImage(d, std::vector<std::uint8_t>(100, 0xFF));
  EXPECT_EQ(d.subnetMask.view(), "1.2.3.4") << "a short image changes nothing";
}

// A peer that answers every image request with a short block: the read fails instead of
// copying stale bytes.
TEST(SecondFamilyExchange, ShortImageBlockFails) {
  testing_devices::useLoopbackNetConfig();
  platform::UdpSocket peer;
  ASSERT_EQ(peer.open(), 0);
  ASSERT_EQ(peer.bind({testing_devices::addr("127.0.96.1"), 0}), 0);
  const std::uint16_t port = peer.localAddress().port;
  std::atomic<bool> done{false};
  std::thread responder([&] {
    for (int i = 0; i < 200 && !done; ++i) {
      std::uint8_t in[600];
      platform::SocketAddress from;
      const auto r = peer.recvFrom(in, sizeof in, &from, std::chrono::milliseconds(20));
      if (!r.ok()) continue;
      std::uint8_t out[8 + 100] = {0, in[1], 0, 0, 0, 0, 0, 100};
      peer.sendTo(out, sizeof out, from);
    }
  });
  SecondFamilyExchange x("127.0.96.1", port, 300);
  std::vector<std::uint8_t> image;
  EXPECT_EQ(x.readConfigurationImage(image), -1);
  EXPECT_EQ(x.requestsSent(), 1);
  done = true;
  responder.join();
}

}  // namespace
