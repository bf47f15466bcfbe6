// CMibGroup against trellan-sim over loopback: what crosses the wire (from the simulator's
// request log), every group at its levels, and save/restore through backup files.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "access/group_classes.h"
#include "access/group_queries.h"
#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "access/result_codes.h"
#include "platform/profile.h"
#include "snmp/engine_watch.h"
#include "test_mib_group_sim.h"

using namespace snmpaccess;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

// Event-mask columns 7..17 of destination 1, so a row with 13 ports has 15 variables.
std::string portColumns() {
  std::string s;
  for (int c = 7; c <= 17; ++c)
    s += std::string(s.empty() ? "" : ",") + "{\"oid\":\".6.3.1.4.10.1." + std::to_string(c) +
         ".1\",\"type\":\"int\",\"value\":1}";
  return s;
}

class GroupWire : public ::testing::Test {
 protected:
  void SetUp() override {
    SnmpCleanup();
    ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    target.setAddress("127.0.1.1");
    target.setGetCommunity("vorlak");
    target.setSetCommunity("vorlak");
    target.progress = &progress;
    setGroupTimeouts(100, 100);
  }
  void TearDown() override { SnmpCleanup(); }

  std::unique_ptr<CSnmpSession> open() {
    int rc = -1;
    auto s = std::make_unique<CSnmpSession>(&target, rc);
    EXPECT_EQ(rc, 0);
    return s;
  }

  HeadlessProgress progress{&snmp::headlessWatch()};
  SnmpTarget target;
};

// Every top-level group as a page would build it; rows with row 0, tables with two entries.
std::vector<std::unique_ptr<CMibGroup>> everyGroup(const std::vector<std::pair<std::int32_t, std::string>>& protocols) {
  std::vector<std::unique_ptr<CMibGroup>> out;
  for (const mib::GroupDef* g : mib::allGroups()) {
    GroupParams p;
    p.prefix = E;
    if (g->kind == mib::GroupKind::Row) p.row = 0;
    if (g->kind == mib::GroupKind::Table) p.entries = 2;
    if (g->kind == mib::GroupKind::Protocols) p.protocols = protocols;
    if (g->id == mib::GroupId::IpTrapRow2 || g->id == mib::GroupId::EmailTrapRow2) p.ports = 2;
    if (g->id == mib::GroupId::TrapEvent) p.ports = 2, p.gpioGroups = 2;
    out.push_back(makeGroup(g->id, p));
  }
  return out;
}

TEST_F(GroupWire, BatchesAndTooBigSplitOnTheWire) {
  struct Case {
    const char* name;
    int level;
    mib::GroupId id;
    std::string agent;
    std::vector<std::size_t> gets;  // GET sizes, probe included
    int rc;
  } cases[] = {
      {"18 variables in one request", 2, mib::GroupId::Wireless, "", {1, 18}, 0},
      {"19 variables in two", 5, mib::GroupId::TcpIp, "", {1, 18, 1}, 0},
      {"tooBig index 10 of 15 gives 9 then 6", 8, mib::GroupId::IpTrapRow2, R"("agent":{"max_vars":9})", {15, 9, 6}, 0},
      {"tooBig index 0 ends the read", 8, mib::GroupId::IpTrapRow2,
       R"("agent":{"max_vars":9,"too_big_index":"zero"})", {15}, result::kTooBig},
      {"tooBig index 1 ends the read", 8, mib::GroupId::IpTrapRow2,
       R"("agent":{"max_vars":9,"too_big_index":"one"})", {15}, result::kTooBig},
      {"a tooBig remainder is split again", 8, mib::GroupId::IpTrapRow2, R"("agent":{"max_vars":4})",
       {15, 4, 11, 4, 7, 4, 3}, 0},
      {"a tooBig answer to the first 18 is split with its own index", 8, mib::GroupId::TcpIp,
       R"("agent":{"max_vars":9})", {1, 18, 9, 16, 9, 7}, 0},
      {"the split ends after nine rounds (the cut at 18 is the first)", 8, mib::GroupId::TcpIp,
       R"("agent":{"max_vars":1})", {1, 18, 1, 18, 1, 18, 1, 18, 1, 18, 1, 18, 1, 18, 1, 18, 1, 17}, result::kTooBig},
  };
  for (const auto& c : cases) {
    simproc::Sim sim(c.level, c.agent, portColumns());
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    auto session = open();
    auto g = makeGroup(c.id, rowParams(E, 0, -1, 13));
    EXPECT_EQ(g->read(*session), c.rc) << c.name;
    EXPECT_EQ(sim.sizesSince(0, "get"), c.gets) << c.name;
    if (c.rc == 0) {
      std::string text;
      EXPECT_EQ(g->getDisplayText(g->count() - 1, text) == 0 || g->binding(g->count() - 1)->syntax() != SNMP_SYNTAX_NULL,
                true)
          << c.name << ": the last variable holds a value";
    } else {
      EXPECT_EQ(g->mibVersion(), kVersionUnknown) << c.name;
    }
  }
}

// Event names of output port 3 (columns 13..28), which the two-port unit of the fixture lacks.
std::string thirdPortEventNames() {
  std::string s;
  for (int c = 13; c <= 28; ++c)
    s += std::string(s.empty() ? "" : ",") + "{\"oid\":\"1.3.6.1.4.1.1240.2.3.4.3.2.1." + std::to_string(c) +
         ".3\",\"type\":\"text\",\"value\":\"port 3 event " + std::to_string(c) + "\"}";
  return s;
}

TEST_F(GroupWire, LargeGroupsGoOutInBatchesOfAtMost18) {
  struct Case {
    const char* name;
    int ports;
    std::vector<std::size_t> gets;
  } cases[] = {
      {"two ports: 36 variables", 2, {18, 18}},
      {"three ports: 52 variables", 3, {18, 18, 16}},
  };
  for (const auto& c : cases) {
    simproc::Sim sim(8, "", thirdPortEventNames());
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    auto session = open();
    GroupParams p = rowParams(E, -1);
    p.ports = c.ports;
    p.gpioGroups = 2;
    CTrapEventGroup g(p);
    ASSERT_EQ(g.count(), 4 + 16 * c.ports) << c.name;
    EXPECT_EQ(g.read(*session), 0) << c.name;
    EXPECT_EQ(sim.sizesSince(0, "get"), c.gets) << c.name;
    EXPECT_NE(g.binding(g.count() - 1)->syntax(), SNMP_SYNTAX_NULL) << c.name << ": the last variable holds a value";
  }
}

TEST_F(GroupWire, WriteSendsOnlyChangedVariables) {
  simproc::Sim sim(8, R"("agent":{"set_mode":"immediate"})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto session = open();
  CTcpIpGroup g(rowParams(E, -1));
  ASSERT_EQ(g.read(*session), 0);
  ASSERT_EQ(g.count(), 25);

  const std::size_t before = sim.requests().size();
  EXPECT_EQ(g.writeChanged(*session), 0);
  EXPECT_EQ(sim.requests().size(), before) << "nothing changed: nothing sent";

  std::uint8_t ip[4];
  ASSERT_EQ(g.getIpAddress(0, ip), 0);
  EXPECT_EQ(g.setIpAddressIfChanged(0, ip), 0);
  EXPECT_EQ(g.setTextIfChanged(22, "lab.example"), 0);
  EXPECT_EQ(g.changedCount(), 0) << "same values mark nothing";
  EXPECT_EQ(g.setIntegerIfChanged(4, 1), 0);
  EXPECT_EQ(g.setTextIfChanged(22, "other.example"), 0);
  EXPECT_EQ(g.changedCount(), 2);
  ASSERT_EQ(g.writeChanged(*session), 0);
  const auto all = sim.requests();
  ASSERT_EQ(all.size(), before + 1);
  EXPECT_EQ(all.back().pdu, "set");
  EXPECT_EQ(all.back().oids, (std::vector<std::string>{E + ".6.3.1.4.8.0", E + ".6.3.1.4.39.0"}));

  CTcpIpGroup again(rowParams(E, -1));
  ASSERT_EQ(again.read(*session), 0);
  std::int32_t v = 0;
  EXPECT_EQ(again.getInteger(4, v), 0);
  EXPECT_EQ(v, 1);
  std::string text;
  EXPECT_EQ(again.getDisplayText(22, text), 0);
  EXPECT_EQ(text, "other.example");
}

TEST_F(GroupWire, SetIsSplitLikeGet) {
  simproc::Sim sim(8, R"("agent":{"max_vars":9,"set_mode":"immediate"})", portColumns());
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto session = open();
  CIpTrapRow2 row(rowParams(E, 0, -1, 13));
  ASSERT_EQ(row.read(*session), 0);
  const std::uint8_t ip[4] = {127, 0, 9, 9};
  EXPECT_EQ(row.setIpAddressIfChanged(0, ip), 0);
  for (int i = 1; i < row.count(); ++i) EXPECT_EQ(row.setIntegerIfChanged(i, 5), 0);
  const std::size_t before = sim.requests().size();
  ASSERT_EQ(row.writeChanged(*session), 0);
  EXPECT_EQ(sim.sizesSince(before, "set"), (std::vector<std::size_t>{15, 9, 6}));
  CIpTrapRow2 again(rowParams(E, 0, -1, 13));
  ASSERT_EQ(again.read(*session), 0);
  std::int32_t v = 0;
  EXPECT_EQ(again.getInteger(14, v), 0);
  EXPECT_EQ(v, 5);
}

TEST_F(GroupWire, WriteOfMoreThan32VariablesIsSplitIntoBindingLists) {
  struct Case {
    const char* name;
    std::string agent;
    std::vector<std::size_t> sets;
  } cases[] = {
      {"32 then the rest", R"("agent":{"set_mode":"immediate"})", {32, 3}},
      {"and smaller on tooBig", R"("agent":{"set_mode":"immediate","max_vars":20})", {32, 20, 15}},
  };
  for (const auto& c : cases) {
    simproc::Sim sim(8, c.agent);
    ASSERT_TRUE(sim.ready()) << c.name << sim.errors();
    auto session = open();
    CWirelessGroup g(rowParams(E, -1));
    ASSERT_EQ(g.read(*session), 0) << c.name;
    // Every writable variable changes, as a restore of the whole group would change it.
    for (int i = 0; i < g.count(); ++i) {
      const mib::VariableDef* d = g.variableDef(i);
      if (!d || d->access != mib::Access::ReadWrite || d->excluded) continue;
      std::int32_t v = 0;
      if (g.getInteger(i, v) == 0) {
        EXPECT_EQ(g.setIntegerIfChanged(i, v + 1), 0) << c.name << " variable " << i;
      } else {
        EXPECT_EQ(g.setTextIfChanged(i, "v" + std::to_string(i)), 0) << c.name << " variable " << i;
      }
    }
    ASSERT_EQ(g.changedCount(), 35) << c.name;
    const std::size_t before = sim.requests().size();
    ASSERT_EQ(g.writeChanged(*session), 0) << c.name;
    EXPECT_EQ(sim.sizesSince(before, "set"), c.sets) << c.name;

    CWirelessGroup again(rowParams(E, -1));
    ASSERT_EQ(again.read(*session), 0) << c.name;
    for (int i = 0; i < g.count(); ++i) {
      if (!g.changed(i)) continue;
      std::int32_t written = 0, read = 0;
      if (g.getInteger(i, written) == 0) {
        EXPECT_EQ(again.getInteger(i, read), 0) << c.name << " variable " << i;
        EXPECT_EQ(read, written) << c.name << " variable " << i;
      } else {
        EXPECT_EQ(again.binding(i)->displayText(), g.binding(i)->displayText()) << c.name << " variable " << i;
      }
    }
  }
}

TEST_F(GroupWire, ServerControlSendsTheTriggerEvenWhenItReadsTwo) {
  simproc::Sim sim(8, R"("agent":{"reset_silence_ms":50})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto session = open();
  CServerControlGroup control(rowParams(E, -1));
  ASSERT_EQ(control.read(*session), 0);
  const std::size_t before = sim.requests().size();
  EXPECT_EQ(control.printConfiguration(*session), 0);
  EXPECT_EQ(control.printConfiguration(*session), 0);
  const auto sets = sim.requests();
  ASSERT_EQ(sets.size(), before + 2) << "the same action twice is sent twice";
  EXPECT_EQ(sets.back().oids, std::vector<std::string>{E + ".2.3.0"});
}

TEST_F(GroupWire, EveryGroupAtItsLevels) {
  for (int level : {1, 2, 3, 4, 5, 7, 8, 0}) {
    simproc::Sim sim(level);
    ASSERT_TRUE(sim.ready()) << level << sim.errors();
    auto session = open();
    CProtocolListGroup list(rowParams(E, -1));
    ASSERT_EQ(list.read(*session), 0) << level;
    ASSERT_EQ(list.protocols().size(), 6u) << level;
    EXPECT_EQ(list.protocols()[5].first, 7);
    EXPECT_EQ(list.protocols()[5].second, "Wireless");
    for (auto& g : everyGroup(list.protocols())) {
      const mib::GroupDef& d = g->def();
      const std::string name = std::string(d.name) + " at level " + std::to_string(level);
      ASSERT_EQ(g->read(*session), 0) << name;
      const int expectedVersion = d.probeIndex >= 0 ? level : 1;
      EXPECT_EQ(g->mibVersion(), expectedVersion) << name;
      if (d.kind != mib::GroupKind::Protocols && d.kind != mib::GroupKind::Table && d.extensions.empty()) {
        EXPECT_EQ(static_cast<std::size_t>(g->count()), mib::variableCountAt(d, expectedVersion)) << name;
      }
      for (int i = 0; i < g->count(); ++i)
        EXPECT_NE(g->binding(i)->syntax(), static_cast<smiUINT32>(SNMP_SYNTAX_NULL)) << name << " variable " << i;
    }
  }
}

TEST_F(GroupWire, ContainersCreateTheirRows) {
  simproc::Sim sim(8);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto session = open();
  struct Case {
    mib::GroupId id;
    int rows;
    int children;
  } cases[] = {
      {mib::GroupId::OutputPort, 2, 2},  {mib::GroupId::IpTrap, 2, 2},   {mib::GroupId::IpTrap2, 2, 2},
      {mib::GroupId::EmailTrap, 2, 2},   {mib::GroupId::EmailTrap2, 2, 2}, {mib::GroupId::NetWarePort, 2, 2},
      {mib::GroupId::EtherTalk, 2, 2},   {mib::GroupId::NetWare, 0, 1},  {mib::GroupId::Vines, 2, 3},
  };
  for (const auto& c : cases) {
    auto g = makeGroup(c.id, rowParams(E, -1));
    const std::string name(g->def().name);
    ASSERT_EQ(g->read(*session), 0) << name;
    EXPECT_EQ(g->rowCount(), c.rows) << name;
    EXPECT_EQ(g->childCount(), c.children) << name;
    CMibGroup* row = nullptr;
    if (c.rows > 0) {
      EXPECT_EQ(g->row(c.rows - 1, row), 0) << name;
      EXPECT_EQ(g->row(c.rows, row), result::kRowRange) << name;
    }
  }

  COutputPortGroup ports(rowParams(E, -1));
  ASSERT_EQ(ports.read(*session), 0);
  CMibGroup* port2 = nullptr;
  ASSERT_EQ(ports.row(1, port2), 0);
  ASSERT_EQ(port2->count(), 30);
  auto* printer = dynamic_cast<CPrinterStatusGroup*>(port2->child(0));
  ASSERT_NE(printer, nullptr);
  std::string_view state;
  EXPECT_EQ(printer->printerStateText(state), 0);
  EXPECT_EQ(state, "Off-line") << "port 2 shows its own printer (status 32)";
  std::string console;
  EXPECT_EQ(printer->consoleText(console), 0);
  EXPECT_EQ(console, "PAPER OUT");

  CIpTrapGroup2 traps(rowParams(E, -1));
  ASSERT_EQ(traps.read(*session), 0);
  EXPECT_EQ(traps.count(), 5 + 2) << "one supported-events variable per port";
  EXPECT_EQ(traps.gpioGroupCount(), 2);

  CWirelessListGroup lists(rowParams(E, -1));
  ASSERT_EQ(lists.read(*session), 0);
  EXPECT_EQ(lists.entryCount(), 4) << "mask 13: highest bit is bit 3";
}

// Saves a group and its children, each under its class name and row.
void forEach(CMibGroup& g, const std::function<void(CMibGroup&, const std::string&)>& f, const std::string& path = "") {
  const std::string section = path + std::string(g.def().name) + std::to_string(g.params().row + 1);
  f(g, section);
  for (int i = 0; i < g.childCount(); ++i) forEach(*g.child(i), f, section + ".");
}

// Changes every saved variable in memory so that a restore has something to put back.
void disturb(CMibGroup& g) {
  for (int i = 0; i < g.count(); ++i) {
    if (g.excluded(i)) continue;
    const CVarBind* b = g.binding(i);
    if (b->syntax() == SNMP_SYNTAX_INT) {
      std::int32_t v = 0;
      g.getInteger(i, v);
      g.setIntegerIfChanged(i, v + 1);
    } else if (b->syntax() == SNMP_SYNTAX_IPADDR) {
      const std::uint8_t ip[4] = {192, 0, 2, 1};
      g.setIpAddressIfChanged(i, ip);
    } else if (b->syntax() == SNMP_SYNTAX_OCTETS) {
      g.setBytesIfChanged(i, "zz", 2);
    }
  }
}

TEST_F(GroupWire, SaveThenRestoreRoundTripsEveryGroup) {
  simproc::Sim sim(8);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto session = open();
  CProtocolListGroup list(rowParams(E, -1));
  ASSERT_EQ(list.read(*session), 0);
  auto original = everyGroup(list.protocols());
  auto restored = everyGroup(list.protocols());
  platform::Profile file;
  for (auto& g : original) {
    ASSERT_EQ(g->read(*session), 0) << g->def().name;
    forEach(*g, [&](CMibGroup& x, const std::string& s) { EXPECT_EQ(x.save(s, file), 0) << s; });
  }
  const std::string path = (sim.dir() / "backup.cfg").string();
  ASSERT_TRUE(file.save(path));
  platform::Profile loaded;
  ASSERT_TRUE(loaded.load(path));

  for (std::size_t k = 0; k < restored.size(); ++k) {
    CMibGroup& g = *restored[k];
    ASSERT_EQ(g.read(*session), 0) << g.def().name;
    forEach(g, [&](CMibGroup& x, const std::string&) { disturb(x); });
    forEach(g, [&](CMibGroup& x, const std::string& s) { EXPECT_EQ(x.restore(s, loaded), 0) << s; });
    // Walk both trees side by side and compare every saved value.
    std::vector<std::pair<std::string, std::string>> want, got;
    auto collect = [](std::vector<std::pair<std::string, std::string>>& out) {
      return [&out](CMibGroup& x, const std::string& s) {
        for (int i = 0; i < x.count(); ++i) {
          if (x.excluded(i)) continue;
          std::string v;
          backupValue(*x.binding(i), v);
          out.emplace_back(s + " " + x.oidText(i), v);
        }
      };
    };
    forEach(*original[k], collect(want));
    forEach(g, collect(got));
    ASSERT_EQ(got.size(), want.size()) << g.def().name;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], want[i]) << g.def().name;
  }
}

TEST_F(GroupWire, BackupSectionsAndBinaryValues) {
  simproc::Sim sim(8);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto session = open();
  COutputPortGroup ports(rowParams(E, -1));
  CTcpIpGroup tcp(rowParams(E, -1));
  CIpxTrapGroup ipx(rowParams(E, -1));
  CNdsGroup nds(rowParams(E, -1));
  platform::Profile file;
  for (CMibGroup* g : std::initializer_list<CMibGroup*>{&ports, &tcp, &ipx, &nds}) {
    ASSERT_EQ(g->read(*session), 0) << g->def().name;
    EXPECT_EQ(g->saveBackup(file), 0) << g->def().name;
  }
  EXPECT_EQ(file.get("Port1", E + ".6.2.3.2.1.2.1"), "<4>LPT1");
  EXPECT_EQ(file.get("Port2", E + ".6.2.3.2.1.2.2"), "<4>LPT2");
  EXPECT_EQ(file.get("Port2", E + ".6.2.3.2.1.9.2"), "<h>1B45") << "the pre-string keeps its escape byte";
  EXPECT_FALSE(file.get("Port1", E + ".6.2.1.0")) << "level is excluded";
  EXPECT_EQ(file.get("TCP/IP", E + ".6.3.1.4.1.0"), "<0>127.0.0.1");
  EXPECT_FALSE(file.get("TCP/IP", E + ".6.3.1.1.0"));
  EXPECT_EQ(file.get("NetWareTrapDest1", E + ".6.3.2.4.12.1.2.1"), "<h>0000000A");
  EXPECT_EQ(file.get("NDS", E + ".6.3.2.4.13.0"), "<4>PS200") << "the 16-bit name is saved as 8-bit text";

  const std::string path = (sim.dir() / "sections.cfg").string();
  ASSERT_TRUE(file.save(path));
  CIpxTrapGroup ipx2(rowParams(E, -1));
  CNdsGroup nds2(rowParams(E, -1));
  ASSERT_EQ(ipx2.read(*session), 0);
  ASSERT_EQ(nds2.read(*session), 0);
  EXPECT_EQ(ipx2.restoreBackupFile(path), 0);
  EXPECT_EQ(nds2.restoreBackupFile(path), 0);
  EXPECT_EQ(ipx2.changedCount() + nds2.changedCount(), 0) << "the same values change nothing";
  EXPECT_EQ(ipx2.saveBackupFile((sim.dir() / "no-such-dir" / "x.cfg").string()), result::kNotWritable);
}

TEST_F(GroupWire, BadBackupFilesRestoreWhatTheyCan) {
  simproc::Sim sim(8);
  ASSERT_TRUE(sim.ready()) << sim.errors();
  auto session = open();
  const std::string ip = E + ".6.3.1.4.1.0", resolution = E + ".6.3.1.4.4.0", mask = E + ".6.3.1.4.3.0",
                    gateway = E + ".6.3.1.4.2.0", domain = E + ".6.3.1.4.39.0", timeout = E + ".6.3.1.4.8.0";
  struct Case {
    const char* name;
    std::string text;
    int rc;
    std::vector<int> changed;
  } cases[] = {
      {"unknown tag stops the group", "[TCP/IP]\n" + resolution + "=<2>2\n" + mask + "=<7>x\n" + gateway + "=<0>10.0.0.1\n",
       result::kBadTag, {1}},
      {"empty value is an unknown tag", "[TCP/IP]\n" + resolution + "=\n" + gateway + "=<0>10.0.0.1\n", result::kBadTag, {}},
      {"over-long value is skipped", "[TCP/IP]\n" + resolution + "=<2>2\n" + domain + "=<4>" + std::string(300, 'a') + "\n",
       result::kDoesNotFit, {1}},
      {"missing section", "[Other]\n" + resolution + "=<2>2\n", 0, {}},
      {"missing keys and <*>", "[TCP/IP]\n" + resolution + "=<*>\n", 0, {}},
      {"three parts", "[TCP/IP]\n" + gateway + "=<0>10.1.2\n" + timeout + "=<2>1\n", result::kIpDots, {4}},
      {"part above 255", "[TCP/IP]\n" + gateway + "=<0>10.1.2.300\n", result::kIpTooLong, {}},
      {"letter in address", "[TCP/IP]\n" + gateway + "=<0>10.1.2.x\n", result::kBadDigit, {}},
      {"bad hex", "[TCP/IP]\n" + domain + "=<h>zz\n", result::kBadDigit, {}},
      {"lenient number", "[TCP/IP]\n" + resolution + "=<2>12abc\n", 0, {1}},
      {"ip into an integer", "[TCP/IP]\n" + resolution + "=<0>1.2.3.4\n", result::kWrongType, {}},
      {"hex text", "[TCP/IP]\n" + domain + "=<h>410042\n", 0, {22}},
      {"same values", "[TCP/IP]\n" + ip + "=<0>127.0.0.1\n" + domain + "=<4>lab.example\n", 0, {}},
  };
  for (const auto& c : cases) {
    CTcpIpGroup g(rowParams(E, -1));
    ASSERT_EQ(g.read(*session), 0) << c.name;
    platform::Profile file;
    file.parse(c.text);
    EXPECT_EQ(g.restoreBackup(file), c.rc) << c.name;
    std::vector<int> changed;
    for (int i = 0; i < g.count(); ++i)
      if (g.changed(i)) changed.push_back(i);
    EXPECT_EQ(changed, c.changed) << c.name;
  }

  // Junk: random bytes around real keys never crash and never touch excluded variables.
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    std::string junk = "[TCP/IP]\n";
    for (int i = 0; i < 40; ++i) {
      junk += (i % 3 == 0 ? ip : i % 3 == 1 ? domain : E + ".6.3.1.1.0") + "=";
      const int n = static_cast<int>(rng() % 600);
      for (int k = 0; k < n; ++k) junk += static_cast<char>(rng() % 256);
      junk += '\n';
    }
    CTcpIpGroup g(rowParams(E, -1));
    ASSERT_EQ(g.read(*session), 0);
    platform::Profile file;
    file.parse(junk);
    g.restoreBackup(file);
    EXPECT_FALSE(g.changed(5)) << "the level is excluded";
  }
}

TEST_F(GroupWire, WirelessAndPrinterQueries) {
  for (int level : {2, 3}) {
    simproc::Sim sim(level);
    ASSERT_TRUE(sim.ready()) << sim.errors();
    auto session = open();
    WirelessReading w;
    ASSERT_EQ(readWireless(*session, E, w), 0) << level;
    EXPECT_EQ(w.level(), level);
    EXPECT_EQ(w.lists != nullptr, level >= 3) << level;
    if (level >= 3) {
      EXPECT_EQ(w.lists->entryCount(), 4);
      EXPECT_EQ(w.countries->count(), 1 + 3);
      std::string code;
      EXPECT_EQ(w.countries->getDisplayText(3, code), 0);
      EXPECT_EQ(code, "JPO");
    }
    PrinterStatusReading p;
    EXPECT_EQ(probePrinterStatus(*session, 2, p), 0);
    EXPECT_TRUE(p.read);
    EXPECT_EQ(p.stateText, "Off-line");
    EXPECT_EQ(p.console, "PAPER OUT");
    EXPECT_EQ(probePrinterStatus(*session, 3, p), result::kNoSuchName) << "no third printer";
    EXPECT_FALSE(p.read);
    EXPECT_EQ(probePrinterStatus(*session, 0, p), result::kIndexRange);
  }
}

// trellanctl read and write against the same simulator.
std::string run(const std::string& command, int& status) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    status = ::pclose(p);
  }
  return out;
}

TEST_F(GroupWire, CommandLineReadAndWrite) {
  simproc::Sim sim(8, R"("agent":{"set_mode":"immediate"})");
  ASSERT_TRUE(sim.ready()) << sim.errors();
  const std::string ctl = (std::filesystem::path(simproc::simBinary()).parent_path() / "trellanctl").string();
  ASSERT_TRUE(std::filesystem::exists(ctl)) << "trellanctl is not built: " << ctl;
  const std::string env = "TRELLAN_SNMP_PORT=" + std::to_string(platform::netConfig().snmpPort) + " ";
  int status = -1;
  const std::string json = run(env + ctl + " read 127.0.1.1 COutputPortRow 2 --json --timeout 50", status);
  EXPECT_EQ(status, 0) << json;
  const auto j = nlohmann::json::parse(json, nullptr, false);
  ASSERT_FALSE(j.is_discarded()) << json;
  EXPECT_EQ(j["group"], "COutputPortRow");
  EXPECT_EQ(j["variables"][1]["oid"], E + ".6.2.3.2.1.2.2");
  EXPECT_EQ(j["variables"][1]["value"], "LPT2");

  const std::size_t before = sim.requests().size();
  std::string text = run(env + ctl + " write 127.0.1.1 CTcpIpGroup 'domain name=x.example' 4=1 --timeout 50 2>&1", status);
  EXPECT_EQ(status, 0) << text;
  EXPECT_EQ(sim.sizesSince(before, "set"), std::vector<std::size_t>{2}) << text;
  text = run(env + ctl + " write 127.0.1.1 CTcpIpGroup 'domain name=x.example' --timeout 50 2>&1", status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(text.find("nothing changed"), std::string::npos) << text;
  text = run(env + ctl + " write 127.0.1.1 CTcpIpGroup 5=3 --timeout 50 2>&1", status);
  EXPECT_NE(status, 0) << "the level is read-only: " << text;
  text = run(env + ctl + " read 127.0.1.1 CNoSuchGroup --timeout 50 2>&1", status);
  EXPECT_NE(status, 0) << text;
}

}  // namespace
