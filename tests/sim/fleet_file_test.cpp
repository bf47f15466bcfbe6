// The fleet data file: a complete example, generated ranges, and every kind of bad input.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "sim/fleet_file.h"
#include "sim_test_support.h"

namespace sim {
namespace {

using namespace sim::test;

bool parse(const std::string& text, std::vector<DeviceModel>& out, std::string& error, FleetRequest r = {}) {
  return parseFleetText(text, ".", r, out, error);
}

TEST(SimFleetFile, FullDeviceDescription) {
  const std::string text = R"({
    "defaults": {"get_community": "pub", "agent": {"reset_silence_ms": 100}},
    "devices": [{
      "address": "127.0.3.7", "name": "LAB-{index}", "family": "HLQ", "mib_level": 5,
      "set_community": "priv", "hardware_address": "00:40:8C:01:02:03",
      "system": {"descr": "Box at {address}", "contact": "ops", "location": "rack 2"},
      "if_speed": 10000000,
      "ports": [{"name": "LPT1", "status": 32, "display": "PAPER OUT"}, {"name": "COM1"}],
      "variables": [
        {"oid": ".1.3.0", "type": "text", "value": "Server of {name}", "writable": false},
        {"oid": ".1.6.0", "type": "hex", "value": "00408C010203"},
        {"oid": ".6.3.1.4.1.0", "type": "ip", "value": "127.0.3.7"},
        {"oid": ".6.3.1.4.4.0", "type": "int", "value": -5, "min": -10, "max": 10},
        {"oid": ".4.2.0", "type": "counter", "value": 4294967295},
        {"oid": "1.3.6.1.2.1.1.2.0", "type": "oid", "value": ".1.99"}
      ],
      "agent": {"max_vars": 9, "too_big_index": "one", "set_with_get_community": "silence", "set_mode": "immediate"},
      "faults": {"drop_every": 4, "delay_ms": 10}
    }]})";
  std::vector<DeviceModel> fleet;
  std::string error;
  ASSERT_TRUE(parse(text, fleet, error)) << error;
  ASSERT_EQ(fleet.size(), 1u);
  const DeviceModel& d = fleet[0];
  const Oid hlq = O("1.3.6.1.4.1.683");
  EXPECT_EQ(d.address, 0x7F000307u);
  EXPECT_EQ(d.name, "LAB-1");
  EXPECT_EQ(d.enterprise, hlq) << "family HLQ brings its own prefix";
  EXPECT_EQ(d.getCommunity, "pub");
  EXPECT_EQ(d.setCommunity, "priv");
  EXPECT_EQ(d.agent.resetSilenceMs, 100u) << "from the defaults";
  EXPECT_EQ(d.agent.maxVarsPerReply, 9u);
  EXPECT_EQ(d.agent.tooBigIndex, TooBigIndex::One);
  EXPECT_EQ(d.agent.setWithGetCommunity, ReadOnlyCommunity::Silence);
  EXPECT_EQ(d.agent.setMode, SetMode::Immediate);
  EXPECT_EQ(d.faults.dropEvery, 4u);
  EXPECT_EQ(d.faults.delayMs, 10u);

  auto value = [&](const Oid& oid) { return d.store.find(oid) ? d.store.find(oid)->value : Value{}; };
  EXPECT_EQ(value(concat(hlq, {1, 3, 0})), Value::octets("Server of LAB-1"));
  EXPECT_FALSE(d.store.find(concat(hlq, {1, 3, 0}))->writable);
  EXPECT_EQ(value(concat(hlq, {1, 6, 0})), Value::octets(std::string("\x00\x40\x8c\x01\x02\x03", 6)));
  EXPECT_TRUE(d.store.find(concat(hlq, {1, 6, 0}))->writable) << "octet strings default to writable";
  EXPECT_EQ(value(concat(hlq, {6, 3, 1, 4, 1, 0})), Value::ip(127, 0, 3, 7));
  EXPECT_EQ(value(concat(hlq, {6, 3, 1, 4, 4, 0})), Value::integer(-5));
  EXPECT_EQ(d.store.find(concat(hlq, {6, 3, 1, 4, 4, 0}))->maximum, 10);
  EXPECT_EQ(value(concat(hlq, {4, 2, 0})), Value::unsignedOf(Syntax::Counter, 4294967295u));
  EXPECT_FALSE(d.store.find(concat(hlq, {4, 2, 0}))->writable) << "counters default to read-only";
  EXPECT_EQ(value(std_oids::kSysObjectId), Value::objectId(concat(hlq, {1, 99}))) << "the file overrides derived objects";
  EXPECT_EQ(value(std_oids::kSysDescr), Value::octets("Box at 127.0.3.7"));
  EXPECT_EQ(value(std_oids::kSysName), Value::octets("LAB-1"));
  EXPECT_EQ(value(std_oids::kIfSpeed1), Value::unsignedOf(Syntax::Gauge, 10000000));
  EXPECT_EQ(value(concat(std_oids::kPrtMediaPathStatus, {1, 1})), Value::integer(32));
  EXPECT_EQ(value(concat(std_oids::kPrtConsoleDisplayText, {1, 1})), Value::octets("PAPER OUT"));
  EXPECT_EQ(value(concat(std_oids::kPrtConsoleDisplayText, {2, 1})), Value::octets("READY"));
  EXPECT_EQ(value(concat(hlq, {6, 2, 3, 1, 0})), Value::integer(2)) << "port count";
  EXPECT_EQ(value(concat(hlq, {6, 2, 3, 2, 1, 2, 2})), Value::octets("COM1"));
  EXPECT_EQ(value(concat(hlq, {1, 1, 0})), Value::integer(5)) << "MIB level";
  EXPECT_EQ(value(concat(hlq, {2, 2, 0})), Value::integer(1)) << "reset variable exists";
}

TEST(SimFleetFile, DefaultTriggersFollowTheAreasPresent) {
  std::vector<DeviceModel> fleet;
  std::string error;
  ASSERT_TRUE(parse(R"({"devices": [
      {"address": "127.0.3.1", "protocols": [1]},
      {"address": "127.0.3.2", "protocols": [1], "variables": [{"oid": ".6.3.2.4.4.0", "type": "text", "value": "PS"}]},
      {"address": "127.0.3.3", "protocols": [1, 2]}]})",
                    fleet, error))
      << error;
  auto has = [](const DeviceModel& d, const Oid& oid) {
    for (const auto& t : d.agent.triggers)
      if (t.oid == oid) return true;
    return false;
  };
  EXPECT_TRUE(has(fleet[0], E(".2.2.0")));
  EXPECT_TRUE(has(fleet[0], E(".2.4.0")));
  EXPECT_FALSE(has(fleet[0], E(".6.3.2.3.1.0"))) << "no NetWare area";
  EXPECT_FALSE(fleet[0].store.find(E(".6.3.2.3.1.0")));
  EXPECT_TRUE(has(fleet[1], E(".6.3.2.3.1.0")));
  EXPECT_TRUE(fleet[1].store.find(E(".6.3.2.3.1.0")));
  EXPECT_TRUE(has(fleet[2], E(".6.3.2.3.1.0"))) << "NetWare listed: its area comes with the catalogue";
  EXPECT_FALSE(has(fleet[2], E(".8.3.19.0"))) << "no wireless listed";
}

TEST(SimFleetFile, ExplicitTriggers) {
  std::vector<DeviceModel> fleet;
  std::string error;
  ASSERT_TRUE(parse(R"({"devices": [{"address": "127.0.3.1", "agent": {"triggers": [
      {"oid": ".7.1.0", "value": 3},
      {"oid": ".7.2.0", "action": "restore", "scope": [".6.3", "*"], "answer": false}]}}]})",
                    fleet, error))
      << error;
  const auto& t = fleet[0].agent.triggers;
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].oid, E(".7.1.0"));
  EXPECT_EQ(t[0].value, 3);
  EXPECT_FALSE(t[0].restore);
  EXPECT_TRUE(t[1].restore);
  EXPECT_FALSE(t[1].answer);
  EXPECT_EQ(t[1].scope, (std::vector<Oid>{E(".6.3"), Oid{}}));
  EXPECT_TRUE(fleet[0].store.find(E(".7.1.0"))) << "trigger variables exist";
}

TEST(SimFleetFile, GeneratedRangeSkipsNetworkAndBroadcastOctets) {
  std::vector<DeviceModel> fleet;
  std::string error;
  FleetRequest r;
  r.generateCount = 4;
  r.generateFirst = "127.0.4.254";
  r.overridesJson = R"({"get_community": "cli", "agent": {"max_vars": 5}})";
  ASSERT_TRUE(parse(R"({"defaults": {"agent": {"reset_silence_ms": 7}},
                        "devices": [{"address": "127.0.9.9", "get_community": "own"}]})",
                    fleet, error, r))
      << error;
  ASSERT_EQ(fleet.size(), 5u);
  EXPECT_EQ(fleet[0].getCommunity, "own") << "a unit's own setting beats the command line";
  EXPECT_EQ(fleet[0].agent.maxVarsPerReply, 5u);
  const char* expected[] = {"127.0.4.254", "127.0.5.1", "127.0.5.2", "127.0.5.3"};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(formatIpv4(fleet[i + 1].address), expected[i]);
    EXPECT_EQ(fleet[i + 1].getCommunity, "cli");
    EXPECT_EQ(fleet[i + 1].agent.resetSilenceMs, 7u);
  }
  EXPECT_EQ(fleet[2].name, "SIM00003");
}

TEST(SimFleetFile, CommandLineFleetWithoutFile) {
  std::vector<DeviceModel> fleet;
  std::string error;
  FleetRequest r;
  r.generateCount = 3;
  ASSERT_TRUE(loadFleet(r, fleet, error)) << error;
  ASSERT_EQ(fleet.size(), 3u);
  EXPECT_EQ(formatIpv4(fleet[0].address), kDefaultFirstAddress);
  EXPECT_EQ(fleet[0].getCommunity, "vorlak");
  EXPECT_EQ(fleet[0].setCommunity, "vorlak");
}

TEST(SimFleetFile, VariableFilesAreSharedAndResolvedBesideTheDataFile) {
  const std::string dir = ::testing::TempDir();
  const std::string varsPath = dir + "/sim_fleet_vars.json";
  const std::string dataPath = dir + "/sim_fleet_data.json";
  std::ofstream(varsPath) << R"({"variables": [{"oid": ".1.9.0", "type": "text", "value": "fw {index}"}]})";
  std::ofstream(dataPath) << R"({"defaults": {"variable_files": ["sim_fleet_vars.json"]}, "generate": {"count": 2, "first": "127.0.6.1"}})";
  std::vector<DeviceModel> fleet;
  std::string error;
  FleetRequest r;
  r.dataFile = dataPath;
  ASSERT_TRUE(loadFleet(r, fleet, error)) << error;
  ASSERT_EQ(fleet.size(), 2u);
  EXPECT_EQ(fleet[1].store.find(E(".1.9.0"))->value, Value::octets("fw 2"));
  std::remove(varsPath.c_str());
  std::remove(dataPath.c_str());
}

TEST(SimFleetFile, RefusedInputTable) {
  struct Case { const char* name; std::string text; const char* expect; };
  const std::string big(300, 'x');
  const Case cases[] = {
      {"not JSON", "{\"devices\": [", "not valid JSON"},
      {"binary junk", std::string("\x00\xff\xfe", 3), "not valid JSON"},
      {"number beyond a double", "5.888000e8000", "not valid JSON"},
      {"top level array", "[]", "must be an object"},
      {"unknown top key", R"({"devicez": []})", "unknown key 'devicez'"},
      {"no devices", R"({"devices": []})", "no devices"},
      {"missing address", R"({"devices": [{}]})", "devices[0]: missing 'address'"},
      {"address outside loopback", R"({"devices": [{"address": "10.0.0.1"}]})", "devices[0].address"},
      {"loopback broadcast", R"({"devices": [{"address": "127.255.255.255"}]})", "not a loopback unit address"},
      {"bad address", R"({"devices": [{"address": "127.0.0.300"}]})", "not a dotted IPv4 address"},
      {"duplicate address", R"({"devices": [{"address": "127.0.3.1"}, {"address": "127.0.3.1"}]})", "used twice"},
      {"unknown device key", R"({"devices": [{"address": "127.0.3.1", "colour": 1}]})", "unknown key 'colour'"},
      {"long community", R"({"devices": [{"address": "127.0.3.1", "get_community": ")" + std::string(33, 'c') + "\"}]}",
       "get_community: longer than 32"},
      {"empty community", R"({"devices": [{"address": "127.0.3.1", "set_community": ""}]})", "must not be empty"},
      {"unknown family", R"({"devices": [{"address": "127.0.3.1", "family": "XYZ"}]})", "give 'enterprise'"},
      {"level out of range", R"({"devices": [{"address": "127.0.3.1", "mib_level": 256}]})", "between 0 and 255"},
      {"too many ports", R"({"devices": [{"address": "127.0.3.1", "ports": 17}]})", "between 0 and 16"},
      {"long descr", R"({"devices": [{"address": "127.0.3.1", "system": {"descr": ")" + big + "\"}}]}",
       "longer than 255"},
      {"bad variable type", R"({"devices": [{"address": "127.0.3.1", "variables": [{"oid": ".1.0", "type": "float", "value": 1}]}]})",
       "variables[0].type: unknown type 'float'"},
      {"integer too large", R"({"devices": [{"address": "127.0.3.1", "variables": [{"oid": ".1.0", "type": "int", "value": 2147483648}]}]})",
       "does not fit an INTEGER"},
      {"negative counter", R"({"devices": [{"address": "127.0.3.1", "variables": [{"oid": ".1.0", "type": "gauge", "value": -1}]}]})",
       "unsigned"},
      {"bad hex", R"({"devices": [{"address": "127.0.3.1", "variables": [{"oid": ".1.0", "type": "hex", "value": "0g"}]}]})",
       "not hexadecimal"},
      {"bad oid", R"({"devices": [{"address": "127.0.3.1", "variables": [{"oid": "1..2", "type": "int", "value": 1}]}]})",
       "variables[0].oid"},
      {"value too long",
       R"({"devices": [{"address": "127.0.3.1", "variables": [{"oid": ".1.0", "type": "text", "value": ")" +
           std::string(1025, 'v') + "\"}]}]}",
       "longer than 1024"},
      {"bad mode", R"({"devices": [{"address": "127.0.3.1", "agent": {"too_big_index": "two"}}]})", "too_big_index"},
      {"silence too long", R"({"devices": [{"address": "127.0.3.1", "agent": {"reset_silence_ms": 600001}}]})",
       "reset_silence_ms"},
      {"generated past the range", R"({"generate": {"count": 3, "first": "127.255.255.253"}})", "runs past"},
      {"too many generated", R"({"generate": {"count": 16385}})", "between 0 and 16384"},
      {"missing variable file", R"({"devices": [{"address": "127.0.3.1", "variable_files": ["/nonexistent/vars.json"]}]})",
       "cannot open"},
      {"scope on a reset", R"({"devices": [{"address": "127.0.3.1", "agent": {"triggers": [{"oid": ".2.2.0", "scope": [".6"]}]}}]})",
       "only a restore has a scope"},
  };
  for (const auto& c : cases) {
    std::vector<DeviceModel> fleet;
    std::string error;
    EXPECT_FALSE(parse(c.text, fleet, error)) << c.name;
    EXPECT_NE(error.find(c.expect), std::string::npos) << c.name << ": " << error;
  }
}

TEST(SimFleetFile, OversizedFileIsRefusedBeforeParsing) {
  const std::string path = ::testing::TempDir() + "/sim_fleet_big.json";
  {
    std::ofstream out(path, std::ios::binary);
    std::string chunk(1 << 20, ' ');
    for (std::size_t i = 0; i <= kMaxDataFileBytes / chunk.size(); ++i) out << chunk;
  }
  std::vector<DeviceModel> fleet;
  std::string error;
  FleetRequest r;
  r.dataFile = path;
  EXPECT_FALSE(loadFleet(r, fleet, error));
  EXPECT_NE(error.find("larger than"), std::string::npos) << error;
  std::remove(path.c_str());
}

}  // namespace
}  // namespace sim
