#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fake_net_probe_hooks.h"
#include "tools/net_environment.h"
#include "tools/network_information.h"

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

Fields fieldsOf(const CNetEnvironment& env) {
  Fields out;
  const CNetworkInformation info(env);
  for (const auto& f : info.fields()) out.emplace_back(f.label, f.text);
  return out;
}

TEST(NetworkInformation, ShowsTheRecord) {
  struct Case {
    const char* name;
    void (*setup)(FakeWorkstation&);
    bool probe;
    Fields expected;
  };
  const Case cases[] = {
      {"before the probe: unknown texts, no support",
       [](FakeWorkstation&) {},
       false,
       {{"Winsock:", "Unknown"},
        {"Host Name:", "Unknown"},
        {"Host IP Address:", "Unknown"},
        {"IPX Subnet:", "Unknown"},
        {"Hardware Address:", "Unknown"},
        {"Operating System:", "Unknown"},
        {"IP Support:", "No"},
        {"IPX Support:", "No"},
        {"VINES Support:", "No"},
        {"Novell Support:", "No"}}},
      {"no IPX adapter answers: both IPX texts unknown",
       [](FakeWorkstation& w) { w.ipxAdapters = -1; },
       true,
       {{"Winsock:", CNetEnvironment::kSocketLayerDescription},
        {"Host Name:", "printhost"},
        {"Host IP Address:", "192.0.2.10"},
        {"IPX Subnet:", "Unknown"},
        {"Hardware Address:", "Unknown"},
        {"Operating System:", "TestOS 1.0 (test)"},
        {"IP Support:", "Yes"},
        {"IPX Support:", "Yes"},
        {"VINES Support:", "No"},
        {"Novell Support:", "No"}}},
      {"everything, NetWare and VINES",
       [](FakeWorkstation& w) { w.netware = w.vines = true; },
       true,
       {{"Winsock:", CNetEnvironment::kSocketLayerDescription},
        {"Host Name:", "printhost"},
        {"Host IP Address:", "192.0.2.10"},
        {"IPX Subnet:", "0000002A (1)"},
        {"Hardware Address:", "0000C000020A (1)"},
        {"Operating System:", "TestOS 1.0 (test)"},
        {"IP Support:", "Yes"},
        {"IPX Support:", "Yes"},
        {"VINES Support:", "Yes"},
        {"Novell Support:", "Yes"}}},
      {"no UDP: IP and IPX off, TCP alone does not count as IP",
       [](FakeWorkstation& w) { w.udp = false; },
       true,
       {{"Winsock:", CNetEnvironment::kSocketLayerDescription},
        {"Host Name:", "Unknown"},
        {"Host IP Address:", "Unknown"},
        {"IPX Subnet:", "Unknown"},
        {"Hardware Address:", "Unknown"},
        {"Operating System:", "TestOS 1.0 (test)"},
        {"IP Support:", "No"},
        {"IPX Support:", "No"},
        {"VINES Support:", "No"},
        {"Novell Support:", "No"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWorkstation w;
    c.setup(w);
    CNetEnvironment env(w.hooks());
    if (c.probe) env.probe();
    EXPECT_EQ(fieldsOf(env), c.expected);
    env.close();
  }
}

TEST(NetworkInformation, FindsFieldsByLabel) {
  FakeWorkstation w;
  CNetEnvironment env(w.hooks());
  env.probe();
  const CNetworkInformation info(env);
  ASSERT_NE(info.text("Host Name:"), nullptr);
  EXPECT_EQ(*info.text("Host Name:"), "printhost");
  EXPECT_EQ(info.text("Host Name"), nullptr);
  env.close();
}

}  // namespace
