#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "fake_net_probe_hooks.h"
#include "platform/dynamic_library.h"
#include "platform/report_error.h"
#include "platform/socket_address.h"
#include "tools/net_environment.h"

namespace {

// Collects what the probe reports instead of printing it.
class ReportedErrors {
 public:
  ReportedErrors() {
    platform::setErrorPresenter([this](const platform::ErrorMessage& m) {
      texts.push_back(m.text);
      return 1;
    });
  }
  ~ReportedErrors() { platform::setErrorPresenter(nullptr); }
  std::vector<std::string> texts;
};

constexpr std::uint32_t kIpFlags = CNetEnvironment::kUdp | CNetEnvironment::kTcp | CNetEnvironment::kIpx;
constexpr std::uint32_t kAllUp = CNetEnvironment::kSerial | kIpFlags;

IpxAdapterAddress adapter(std::uint8_t net, std::uint8_t nodeLast) {
  return {{0x00, 0x00, 0x00, net}, {0x00, 0x00, 0x7F, 0x00, 0x00, nodeLast}};
}

struct ProbeCase {
  const char* name;
  std::function<void(FakeWorkstation&)> setup;
  int result;
  std::uint32_t flags;
  const char* hostName;
  const char* hostAddress;
  const char* ipxNetworks;
  const char* hardwareAddresses;
  // The one message reported (class SNMP: the class text and the tag), or nullptr for none.
  const char* error;
};

const std::string kLongName(70, 'h');

const ProbeCase kProbeCases[] = {
    {"everything there", [](FakeWorkstation&) {}, static_cast<int>(kAllUp), kAllUp, "printhost", "192.0.2.10",
     "0000002A (1)", "0000C000020A (1)", nullptr},
    {"no UDP: no host texts, no IPX", [](FakeWorkstation& w) { w.udp = false; }, 0x8002, 0x8002, "", "", "", "",
     nullptr},
    {"no TCP", [](FakeWorkstation& w) { w.tcp = false; }, 0x8011, 0x8011, "printhost", "192.0.2.10", "0000002A (1)",
     "0000C000020A (1)", nullptr},
    {"no socket at all: serial only", [](FakeWorkstation& w) { w.udp = w.tcp = false; }, 0x8000, 0x8000, "", "", "", "",
     nullptr},
    {"IPX layer cannot be opened: texts empty, flag kept, no message", [](FakeWorkstation& w) { w.ipxAdapters = -1; },
     static_cast<int>(kAllUp), kAllUp, "printhost", "192.0.2.10", "", "", nullptr},
    {"two IPX adapters, highest first, run together",
     [](FakeWorkstation& w) {
       w.ipxAdapters = 2;
       w.ipxAddresses = {{0, adapter(0x01, 0x01)}, {1, adapter(0x02, 0x02)}};
     },
     static_cast<int>(kAllUp), kAllUp, "printhost", "192.0.2.10", "00000002 (1)00000001 (2)",
     "00007F000002 (1)00007F000001 (2)", nullptr},
    {"an adapter that does not answer gets no number",
     [](FakeWorkstation& w) {
       w.ipxAdapters = 3;
       w.ipxAddresses = {{0, adapter(0x01, 0x01)}, {2, adapter(0x03, 0x03)}};
     },
     static_cast<int>(kAllUp), kAllUp, "printhost", "192.0.2.10", "00000003 (1)00000001 (2)",
     "00007F000003 (1)00007F000001 (2)", nullptr},
    {"host name does not resolve", [](FakeWorkstation& w) { w.hosts.clear(); }, static_cast<int>(kAllUp), kAllUp,
     "printhost", "", "0000002A (1)", "0000C000020A (1)", nullptr},
    {"resolver answer that is no address is dropped",
     [](FakeWorkstation& w) { w.hosts["printhost"] = "1.2.3.4; rm -rf /"; }, static_cast<int>(kAllUp), kAllUp,
     "printhost", "", "0000002A (1)", "0000C000020A (1)", nullptr},
    {"no host name", [](FakeWorkstation& w) { w.hostName.clear(); }, static_cast<int>(kAllUp), kAllUp, "", "",
     "0000002A (1)", "0000C000020A (1)", nullptr},
    {"NetWare and VINES clients", [](FakeWorkstation& w) { w.netware = w.vines = true; },
     static_cast<int>(kAllUp | 0x0300), kAllUp | 0x0300, "printhost", "192.0.2.10", "0000002A (1)", "0000C000020A (1)",
     nullptr},
    {"SNMP engine does not start: 2, flags kept",
     [](FakeWorkstation& w) {
       w.netware = true;
       w.startupResult = SNMPAPI_FAILURE;
     },
     CNetEnvironment::kSnmpFailed, kAllUp | 0x0100, "printhost", "192.0.2.10", "0000002A (1)", "0000C000020A (1)",
     "SNMP Error. (SN5021)"},
    {"SNMP engine version 1.0", [](FakeWorkstation& w) { w.minor = 0; }, CNetEnvironment::kSnmpFailed, kAllUp,
     "printhost", "192.0.2.10", "0000002A (1)", "0000C000020A (1)", "SNMP Error. (SN5022)"},
    {"SNMP engine version 0.9",
     [](FakeWorkstation& w) {
       w.major = 0;
       w.minor = 9;
     },
     CNetEnvironment::kSnmpFailed, kAllUp, "printhost", "192.0.2.10", "0000002A (1)", "0000C000020A (1)",
     "SNMP Error. (SN5022)"},
    {"SNMP engine version 2.0 is newer, accepted",
     [](FakeWorkstation& w) {
       w.major = 2;
       w.minor = 0;
     },
     static_cast<int>(kAllUp), kAllUp, "printhost", "192.0.2.10", "0000002A (1)", "0000C000020A (1)", nullptr},
    {"translate mode refused", [](FakeWorkstation& w) { w.translateResult = SNMPAPI_FAILURE; },
     CNetEnvironment::kSnmpFailed, kAllUp, "printhost", "192.0.2.10", "0000002A (1)", "0000C000020A (1)",
     "SNMP Error. (SN5023)"},
};

TEST(NetEnvironmentProbe, Cases) {
  for (const auto& c : kProbeCases) {
    SCOPED_TRACE(c.name);
    FakeWorkstation w;
    c.setup(w);
    ReportedErrors errors;
    CNetEnvironment env(w.hooks());
    EXPECT_EQ(env.probe(), c.result);
    EXPECT_EQ(env.flags(), c.flags);
    EXPECT_EQ(env.operatingSystem(), "TestOS 1.0 (test)");
    EXPECT_EQ(env.winsockDescription(), CNetEnvironment::kSocketLayerDescription);
    EXPECT_EQ(env.hostName(), c.hostName);
    EXPECT_EQ(env.hostAddress(), c.hostAddress);
    EXPECT_EQ(env.ipxNetworks(), c.ipxNetworks);
    EXPECT_EQ(env.hardwareAddresses(), c.hardwareAddresses);
    if (c.error) {
      ASSERT_EQ(errors.texts.size(), 1u);
      EXPECT_EQ(errors.texts[0], c.error);
    } else {
      EXPECT_TRUE(errors.texts.empty()) << errors.texts.front();
    }
    EXPECT_EQ(CNetEnvironment::probeSucceeded(env.probe()), c.error == nullptr);
    env.close();
  }
}

TEST(NetEnvironmentProbe, LongHostNameIsCutButResolvedWhole) {
  FakeWorkstation w;
  w.hostName = kLongName;
  w.hosts = {{kLongName, "192.0.2.77"}};
  CNetEnvironment env(w.hooks());
  env.probe();
  EXPECT_EQ(env.hostName(), kLongName.substr(0, CNetEnvironment::kHostNameMax));
  EXPECT_EQ(w.resolvedName, kLongName);
  EXPECT_EQ(env.hostAddress(), "192.0.2.77");
  EXPECT_EQ(w.ipxHostAddress, "192.0.2.77");
  env.close();
}

TEST(NetEnvironmentProbe, AdapterCountIsClamped) {
  FakeWorkstation w;
  w.ipxAdapters = 1 << 30;
  w.ipxAddresses.clear();
  for (int i = 0; i < 64; ++i) w.ipxAddresses[(1 << 30) - 1 - i] = adapter(1, 1);
  for (int i = 0; i < CNetEnvironment::kMaxIpxAdapters; ++i) w.ipxAddresses[i] = adapter(2, 2);
  CNetEnvironment env(w.hooks());
  env.probe();
  // Only adapters 15..0 are asked.
  EXPECT_EQ(env.ipxNetworks().find("00000001"), std::string::npos);
  EXPECT_NE(env.ipxNetworks().find("(16)"), std::string::npos);
  EXPECT_EQ(env.ipxNetworks().find("(17)"), std::string::npos);
  env.close();
}

TEST(NetEnvironmentProbe, ProbeAgainStartsFromAnEmptyRecord) {
  FakeWorkstation w;
  CNetEnvironment env(w.hooks());
  env.probe();
  w.udp = false;
  env.probe();
  EXPECT_EQ(env.flags(), 0x8002u);
  EXPECT_EQ(env.hostName(), "");
  EXPECT_EQ(env.ipxNetworks(), "");
  env.close();
}

TEST(NetEnvironmentClose, CleansUpOnlyAStartedEngineOnce) {
  struct Case {
    const char* name;
    std::function<void(FakeWorkstation&)> setup;
    int cleanups;
  };
  const Case cases[] = {
      {"started", [](FakeWorkstation&) {}, 1},
      {"start failed: nothing to clean", [](FakeWorkstation& w) { w.startupResult = SNMPAPI_FAILURE; }, 0},
      {"wrong version: the engine was started", [](FakeWorkstation& w) { w.minor = 0; }, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWorkstation w;
    c.setup(w);
    ReportedErrors quiet;
    CNetEnvironment env(w.hooks());
    env.close();
    EXPECT_EQ(w.cleanupCalls, 0);
    env.probe();
    env.close();
    env.close();
    EXPECT_EQ(w.cleanupCalls, c.cleanups);
  }
}

TEST(NetEnvironmentProbe, MissingHooksCountAsAbsent) {
  ReportedErrors errors;
  CNetEnvironment env{NetProbeHooks{}};
  EXPECT_EQ(env.probe(), CNetEnvironment::kSnmpFailed);
  EXPECT_EQ(env.flags(), CNetEnvironment::kSerial);
  EXPECT_EQ(errors.texts.size(), 1u);
  env.close();
}

// This machine, with the real engine: sockets of both kinds open, the serial flag is on.
TEST(NetEnvironmentProbe, RealWorkstation) {
  CNetEnvironment env;
  const int result = env.probe();
  ASSERT_TRUE(CNetEnvironment::probeSucceeded(result)) << result;
  EXPECT_EQ(static_cast<std::uint32_t>(result), env.flags());
  const std::uint32_t expected = CNetEnvironment::kSerial | kIpFlags;
  EXPECT_EQ(env.flags() & expected, expected);
  EXPECT_EQ(env.flags() & (CNetEnvironment::kSpxStream | CNetEnvironment::kSpxSeqPacket), 0u);
  // No fennick beside the program: no NetWare.
  if (!std::filesystem::exists(platform::besideProgram("libfennick.so"))) {
    EXPECT_EQ(env.flags() & CNetEnvironment::kNetWareClient, 0u);
  }
  EXPECT_EQ(env.operatingSystem().rfind("Linux ", 0), 0u) << env.operatingSystem();
  EXPECT_FALSE(env.hostName().empty());
  EXPECT_LE(env.hostName().size(), CNetEnvironment::kHostNameMax);
  if (!env.hostAddress().empty()) {
    const auto ip = platform::parseIpv4(env.hostAddress());
    ASSERT_TRUE(ip);
    char node[32];
    std::snprintf(node, sizeof node, "0000%08X (1)", *ip);
    EXPECT_EQ(env.hardwareAddresses(), node);
    EXPECT_EQ(env.ipxNetworks(), "00000000 (1)");
  } else {
    EXPECT_EQ(env.hardwareAddresses(), "");
  }
  env.close();
}

TEST(HostsFile, LooksUpIPv4Names) {
  const std::string path = ::testing::TempDir() + "/trellan-hosts-test";
  {
    std::ofstream out(path);
    out << "# a comment line\n"
           "127.0.0.1\tlocalhost\n"
           "::1 printhost6 ip6-localhost\n"
           "not-an-address printhost\n"
           "192.0.2.5  PrintHost   alias  # trailing comment\n"
           "192.0.2.6 printhost\n"
        << std::string(5000, 'x') << " 192.0.2.9 huge\n"
        << "192.0.2.7 #commented-out\n";
  }
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"printhost", "192.0.2.5"},
      {"PRINTHOST", "192.0.2.5"},
      {"alias", "192.0.2.5"},
      {"localhost", "127.0.0.1"},
      {"printhost6", ""},
      {"huge", ""},
      {"commented-out", ""},
      {"missing", ""},
      {"", ""},
      {"print", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resolveIPv4FromHostsFile(path, c.name), c.expected) << "name '" << c.name << "'";
  }
  EXPECT_EQ(resolveIPv4FromHostsFile(path + "-missing", "printhost"), "");
  std::remove(path.c_str());
}

}  // namespace
