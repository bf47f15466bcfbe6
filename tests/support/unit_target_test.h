#pragma once
// The fixture of the page and sheet tests against one simulated unit on 127.0.1.1: the SNMP engine
// started afresh, a target with the simulator's community, short group time-outs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "access/test_mib_group_sim.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"

class UnitTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target.setAddress("127.0.1.1");
    target.setGetCommunity("vorlak");
    target.setSetCommunity("vorlak");
    target.progress = &progress;
    snmpaccess::setGroupTimeouts(30, 30);
  }
  void TearDown() override { SnmpCleanup(); }

  // The SET requests in the simulator's log, each as its object names.
  static std::vector<std::vector<std::string>> sets(const simproc::Sim& sim) {
    std::vector<std::vector<std::string>> out;
    for (const auto& r : sim.requests())
      if (r.pdu == "set") out.push_back(r.oids);
    return out;
  }

  snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target;
};
