// The command line of trellan-sim.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "sim/options.h"

namespace sim {
namespace {

TEST(SimOptions, AcceptedTable) {
  CliOptions o;
  std::string error;
  ASSERT_TRUE(parseCommandLine({"--data", "f.json", "--count=5", "--first", "127.0.2.1", "--snmp-port", "16161",
                                "--log", "l.jsonl", "--ready-file=r.json", "--get-community", "pub",
                                "--set-community", "priv", "--max-vars", "9", "--too-big-index", "zero",
                                "--set-mode", "immediate", "--reset-silence-ms", "250", "--check", "--exit-with-parent"},
                               o, error))
      << error;
  EXPECT_EQ(o.fleet.dataFile, "f.json");
  EXPECT_EQ(o.fleet.generateCount, 5u);
  EXPECT_EQ(o.fleet.generateFirst, "127.0.2.1");
  EXPECT_EQ(o.port, 16161);
  EXPECT_EQ(o.logPath, "l.jsonl");
  EXPECT_EQ(o.readyFile, "r.json");
  EXPECT_TRUE(o.check);
  EXPECT_TRUE(o.exitWithParent);
  auto j = nlohmann::json::parse(o.fleet.overridesJson);
  EXPECT_EQ(j["get_community"], "pub");
  EXPECT_EQ(j["set_community"], "priv");
  EXPECT_EQ(j["agent"]["max_vars"], 9);
  EXPECT_EQ(j["agent"]["too_big_index"], "zero");
  EXPECT_EQ(j["agent"]["set_mode"], "immediate");
  EXPECT_EQ(j["agent"]["reset_silence_ms"], 250);
}

TEST(SimOptions, RefusedTable) {
  struct Case { std::vector<std::string> args; const char* expect; };
  const Case cases[] = {
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"extra"}, "unknown option 'extra'"},
      {{"--count"}, "needs a value"},
      {{"--count", "0"}, "--count"},
      {{"--count", "16385"}, "--count"},
      {{"--count", "12x"}, "--count"},
      {{"--count", "3", "--first", "127.0.1"}, "--first"},
      {{"--first", "127.0.1.1"}, "needs '--count'"},
      {{"--snmp-port", "65536"}, "--snmp-port"},
      {{"--get-community", std::string(33, 'a')}, "1 to 32"},
      {{"--set-community", ""}, "1 to 32"},
      {{"--too-big-index", "two"}, "unknown mode"},
      {{"--help=yes"}, "takes no value"},
  };
  for (const auto& c : cases) {
    CliOptions o;
    std::string error;
    EXPECT_FALSE(parseCommandLine(c.args, o, error)) << c.args.front();
    EXPECT_NE(error.find(c.expect), std::string::npos) << c.args.front() << ": " << error;
  }
}

TEST(SimOptions, PortResolution) {
  struct Case { std::optional<std::uint16_t> option; const char* env; bool ok; std::uint16_t port; };
  const Case cases[] = {
      {std::nullopt, nullptr, true, 161},
      {std::nullopt, "", true, 161},
      {std::nullopt, "16200", true, 16200},
      {std::uint16_t(16300), "16200", true, 16300},
      {std::nullopt, "high", false, 0},
      {std::nullopt, "70000", false, 0},
  };
  for (const auto& c : cases) {
    CliOptions o;
    o.port = c.option;
    std::uint16_t port = 0;
    std::string error;
    EXPECT_EQ(resolvePort(o, c.env, port, error), c.ok) << (c.env ? c.env : "(unset)");
    if (c.ok) {
      EXPECT_EQ(port, c.port);
    }
  }
}

TEST(SimOptions, ListenerPorts) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* env;
    bool ok;
    ListenerPorts expect;
  };
  const Case cases[] = {
      {"defaults", {}, nullptr, true, {4201, 16897, 36879, 19541, 1106}},
      {"second family from the environment", {}, "29541", true, {4201, 16897, 36879, 29541, 1106}},
      {"options win", {"--discovery-port", "24201", "--second-family-port=29999", "--sap-port", "21106"}, "29541", true,
       {24201, 16897, 36879, 29999, 21106}},
      {"0 switches off", {"--discovery-port", "0", "--ipx-discovery-port", "0", "--ipx-snmp-port", "0",
                          "--second-family-port", "0", "--sap-port", "0"}, nullptr, true, {}},
      {"bad environment", {}, "port", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CliOptions o;
    std::string error;
    ASSERT_TRUE(parseCommandLine(c.args, o, error)) << error;
    ListenerPorts got;
    ASSERT_EQ(resolveListenerPorts(o, c.env, got, error), c.ok) << error;
    if (!c.ok) continue;
    EXPECT_EQ(got.discovery, c.expect.discovery);
    EXPECT_EQ(got.ipxDiscovery, c.expect.ipxDiscovery);
    EXPECT_EQ(got.ipxSnmp, c.expect.ipxSnmp);
    EXPECT_EQ(got.secondFamily, c.expect.secondFamily);
    EXPECT_EQ(got.sap, c.expect.sap);
  }
  CliOptions o;
  std::string error;
  EXPECT_FALSE(parseCommandLine({"--discovery-port", "65536"}, o, error));
  EXPECT_FALSE(parseCommandLine({"--ipx-snmp-port"}, o, error));
}

}  // namespace
}  // namespace sim
