// The multi-unit configuration and reset against ten simulated units on one port (the request log
// is the oracle): one unit has another SET community, one never answers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "access/mib_catalogue.h"
#include "access/oid_text.h"
#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "multi/multi_config_fields.h"
#include "multi/multi_config_run.h"
#include "multi/multi_reset.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "support/sim_child.h"

using namespace multi;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);
const std::string kContact = "1.3.6.1.2.1.1.4.0";

std::string fleet() {
  std::string devices;
  for (int i = 1; i <= 10; ++i) {
    std::string unit = R"({"address":"127.0.1.)" + std::to_string(i) + R"(","name":"UNIT-)" + std::to_string(i) + "\"";
    if (i == 3) unit += R"(,"set_community":"other")";
    if (i == 7) unit += R"(,"faults":{"silent":true})";
    devices += (devices.empty() ? "" : ",") + unit + "}";
  }
  return R"({"defaults":{"agent":{"reset_silence_ms":200}},"devices":[)" + devices + "]}";
}

std::string freePort() { return std::to_string(20000 + ::getpid() % 20000); }

struct LogLine {
  std::string device, pdu;
  std::vector<std::string> oids;
  long long requestId = 0;
};

std::vector<LogLine> requests(const simproc::SimChild& sim) {
  std::vector<LogLine> out;
  std::ifstream in(sim.logPath());
  std::string line;
  while (std::getline(in, line)) {
    const auto j = nlohmann::json::parse(line, nullptr, false);
    if (j.is_discarded() || j.value("kind", "") != "request") continue;
    LogLine l{j.value("device", ""), j.value("pdu", ""), {}, j.value("request_id", 0LL)};
    if (j.contains("bindings"))
      for (const auto& b : j["bindings"]) l.oids.push_back(b.value("oid", ""));
    out.push_back(std::move(l));
  }
  return out;
}

class MultiRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    // Generous for a loaded machine: only the silent unit ever waits them out.
    snmpaccess::setGroupTimeouts(100, 100);
    for (int i = 1; i <= 10; ++i) {
      MultiUnit u;
      u.name = "UNIT-" + std::to_string(i);
      u.address = "127.0.1." + std::to_string(i);
      u.getCommunity = u.setCommunity = "vorlak";
      units.push_back(u);
    }
    options.getTimeout = options.setTimeout = 100;
  }
  void TearDown() override { SnmpCleanup(); }

  // GET of one OID from a unit, asked again while it restarts (bounded).
  std::string valueAfterReset(const std::string& address, const std::string& oid) {
    snmpaccess::HeadlessProgress progress(&snmp::headlessWatch());
    snmpaccess::SnmpTarget t;
    t.setAddress(address);
    t.setGetCommunity("vorlak");
    t.progress = &progress;
    int rc = 0;
    snmpaccess::CSnmpSession s(&t, rc);
    s.setTimeout(30);
    for (int attempt = 0; attempt < 20; ++attempt) {
      snmpaccess::CVarBind b(oid.c_str());
      snmpaccess::CVarBind* list[] = {&b};
      if (s.get(list, 1) == 0) return b.displayText();
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "(no answer)";
  }

  std::vector<MultiUnit> units;
  MultiRunOptions options;
};

TEST_F(MultiRunTest, TenUnitsAreWrittenResetAndListedInRowOrder) {
  simproc::SimChild sim(fleet(), {"--snmp-port", freePort()});
  ASSERT_TRUE(sim.ready()) << sim.error();
  CMultiConfigSettings settings;
  ASSERT_EQ(buildMultiSettings({{"system-contact", "lab 4"}, {"language-switching", "PCL"}}, settings), "");

  std::set<std::size_t> progressRows;
  std::mutex m;
  options.progress = [&](std::size_t row, const std::string& text) {
    std::lock_guard lock(m);
    EXPECT_EQ(text, "Setting " + units[row].name);
    progressRows.insert(row);
  };
  const MultiRunReport report = runMultiConfig(units, settings, options);
  EXPECT_EQ(progressRows.size(), 10u);
  EXPECT_FALSE(report.stopped);
  EXPECT_EQ(report.errors, 2);
  std::string outcome;
  for (const MultiUnitOutcome& o : report.units) outcome += std::to_string(o.code) + (o.reset ? "R " : " ");
  EXPECT_EQ(report.resets, 9) << "every answering unit is reset, the silent one is skipped: " << outcome;

  std::tm when{};
  when.tm_year = 126, when.tm_mon = 11, when.tm_mday = 1, when.tm_wday = 2, when.tm_hour = 9, when.tm_min = 5, when.tm_sec = 7;
  const std::string text = multiConfigLog(units, report, true, when).text();
  std::string expected = "Mulit-unit Configuration Results:\r\nTue Dec  1 09:05:07 2026\r\n\r\n";
  for (int i = 1; i <= 10; ++i) {
    char line[128];
    const char* result = i == 3 ? "Internal Error (3159)" : i == 7 ? "Operation Timed Out (3094)" : "Success (0)";
    std::snprintf(line, sizeof line, "  %-18s %s\r\n", ("127.0.1." + std::to_string(i)).c_str(), result);
    expected += line;
  }
  expected += "\r\nTotal:  10 unit configured,  2 error(s) reported.";
  EXPECT_EQ(text, expected);

  // Only the chosen settings and the reset went out.
  const std::string language = E + ".6.2.3.2.1.7.";
  for (const LogLine& l : requests(sim)) {
    if (l.pdu != "set") continue;
    for (const std::string& oid : l.oids)
      EXPECT_TRUE(oid == kContact || oid.rfind(language, 0) == 0 || oid == E + ".2.2.0") << l.device << " " << oid;
  }
  // The silent unit costs one request's time-outs: no second binding, no reset pass.
  std::set<long long> silentRequests;
  for (const LogLine& l : requests(sim))
    if (l.device == "127.0.1.7") silentRequests.insert(l.requestId);
  EXPECT_EQ(silentRequests.size(), 1u);
  for (const char* address : {"127.0.1.1", "127.0.1.10"})
    EXPECT_EQ(valueAfterReset(address, kContact), "lab 4") << address;
  EXPECT_NE(valueAfterReset("127.0.1.3", kContact), "lab 4") << "the refused unit kept its contact";
}

TEST_F(MultiRunTest, AnUntouchedDialogWithoutCertificateSendsNothing) {
  simproc::SimChild sim(fleet(), {"--snmp-port", freePort()});
  ASSERT_TRUE(sim.ready()) << sim.error();
  CMultiConfigSettings settings;
  ASSERT_EQ(buildMultiSettings({}, settings), "");
  EXPECT_TRUE(multiRunIsEmpty(settings, options));
  const MultiRunReport report = runMultiConfig(units, settings, options);
  EXPECT_EQ(report.errors, 0);
  EXPECT_EQ(report.resets, 0);
  EXPECT_TRUE(requests(sim).empty());
}

TEST_F(MultiRunTest, CommunityMismatchAndNoSnmpAreNotSentTo) {
  simproc::SimChild sim(fleet(), {"--snmp-port", freePort()});
  ASSERT_TRUE(sim.ready()) << sim.error();
  units.resize(3);
  units[0].reportedSet = "else";  // 3325
  units[1].noSnmp = true;         // 3326
  units[2].present = false;       // no line
  CMultiConfigSettings settings;
  ASSERT_EQ(buildMultiSettings({{"tcpip", "on"}}, settings), "");
  const MultiRunReport report = runMultiConfig(units, settings, options);
  EXPECT_EQ(report.units[0].code, kBadCommunity);
  EXPECT_EQ(report.units[1].code, kNoSnmpSupport);
  EXPECT_FALSE(report.units[2].ran);
  EXPECT_TRUE(requests(sim).empty());
  std::tm when{};
  const std::string text = multiConfigLog(units, report, false, when).text();
  EXPECT_NE(text.find("\r\n" + std::string(17, ' ') + "127.0.1.1 Bad Community Name (3325)\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Total:  3 unit configured,  2 error(s) reported."), std::string::npos);
}

TEST_F(MultiRunTest, ResetSelectedDevicesCountsSentAndErrors) {
  simproc::SimChild sim(fleet(), {"--snmp-port", freePort()});
  ASSERT_TRUE(sim.ready()) << sim.error();
  units[4].noSnmp = true;
  const MultiResetCounts c = runMultiReset(units, options);
  EXPECT_EQ(c.selected, 10);
  EXPECT_EQ(c.sent, 9);
  EXPECT_EQ(c.errors, 1) << "the silent unit; the refused SET community is no error";
  std::set<std::string> reset;
  for (const LogLine& l : requests(sim))
    if (l.pdu == "set" && l.oids == std::vector<std::string>{E + ".2.2.0"}) reset.insert(l.device);
  EXPECT_EQ(reset.size(), 8u);  // the refused one logged its SET too: the others plus unit 3
  EXPECT_EQ(multiResetSummary(c),
            "Reset Summary:\n\n\t10 list items selected.\n\t9 devices received reset commands.\n\t1 errors detected.\n\n"
            "Resetting devices will be unreachable until reinitialization is complete.");
}

TEST_F(MultiRunTest, StopBeforeTheRunLeavesEveryUnitAlone) {
  simproc::SimChild sim(fleet(), {"--snmp-port", freePort()});
  ASSERT_TRUE(sim.ready()) << sim.error();
  std::atomic<bool> stop{true};
  options.stop = &stop;
  CMultiConfigSettings settings;
  settings.addInteger(".6.1.2.0", 2);
  const MultiRunReport report = runMultiConfig(units, settings, options);
  EXPECT_TRUE(report.stopped);
  EXPECT_TRUE(requests(sim).empty());
}

}  // namespace
