// The bindery setup of a print server written through libfennick.so to the stand-in client,
// read back by a second program run, and a failure part way that must leave the files alone.
#include <gtest/gtest.h>

#include "netware/bindery_name.h"
#include "netware/nw_config.h"
#include "netware/nw_records.h"
#include "standin_fixture.h"

using namespace netware;

namespace {

class BinderySetupTest : public StandInTest {
 protected:
  // A configuration as the NetWare page would hold it for print server PS_LOBBY on FS1.
  std::unique_ptr<CNetWareConfig> config(int mode = CNetWareConfig::kModePServer) {
    auto c = std::make_unique<CNetWareConfig>(fnk_, vols_);
    c->showMessage = [this](const std::string& m) { messages_.push_back(m); };
    c->attachServers();
    c->mode = mode;
    c->defaultFileServer = "FS1";
    c->printServerName = "PS_LOBBY";
    c->printerNumbers = {0, 1, 255};
    return c;
  }
  std::uint32_t conn(const char* server) {
    std::uint32_t c = 0;
    EXPECT_EQ(fnk_.GetConnectionByName(server, &c), 0u) << server;
    return c;
  }
  std::string psDir(const char* server) {
    std::uint32_t id = 0;
    EXPECT_EQ(fnk_.GetObjectId(conn(server), "PS_LOBBY", kTypePrintServer, &id), 0u);
    return objectDirectoryName(id);
  }
  std::string file(const char* server, const std::string& name) {
    return vols_.readFile(server, psDir(server), name).value_or("<missing>");
  }
  // The model as a comparable text: server, attached, then each entry.
  static std::string describe(const CNetWareConfig& c) {
    std::string out;
    for (const auto& fs : c.servers) {
      out += fs.name + (fs.attached ? "+" : "-") + ":";
      for (const auto& e : fs.entries) out += " " + e.queue + "@" + std::to_string(e.port) + (e.assigned ? "" : "(off)");
      out += ";";
    }
    return out;
  }

  void SetUp() override { seed(kTwoServers); }

  NwVolumes vols_{dir_.file("volumes")};
  std::vector<std::string> messages_;
};

TEST_F(BinderySetupTest, AttachServersListsTheConnectedFileServers) {
  auto c = config();
  EXPECT_EQ(c->attachedServers, (std::vector<std::string>{"FS1", "FS2"}));
  EXPECT_TRUE(c->clientPresent);
  EXPECT_EQ(c->useCount, 1);
}

TEST_F(BinderySetupTest, PServerSetupWrittenAndReadBackGivesTheSameModel) {
  auto c = config();
  ASSERT_EQ(c->readQueueAssignments(), 0);
  EXPECT_EQ(describe(*c), "FS1+:;");
  int index = -1;
  ASSERT_EQ(c->addQueue("FS1", "Q1", &index), 0);
  c->servers[0].entries[static_cast<std::size_t>(index)].port = 0;
  ASSERT_EQ(c->addQueue("FS1", "Q1", &index), 0);  // the same queue on a second port
  c->servers[0].entries[static_cast<std::size_t>(index)].port = 2;
  ASSERT_EQ(c->addQueue("FS2", "Q3", &index), 0);
  c->servers[1].entries[static_cast<std::size_t>(index)].port = 1;
  ASSERT_EQ(c->applyBindery(), 0) << (messages_.empty() ? "" : messages_[0]);

  // SYS:SYSTEM/<dir> on FS1: ROUTING in list order, FILESERV without the default server.
  EXPECT_EQ(file("FS1", "ROUTING"), routingRecord({"FS1", "Q1", 1}) + routingRecord({"FS1", "Q1", 3}) +
                                        routingRecord({"FS2", "Q3", 2}));
  EXPECT_EQ(file("FS1", "FILESERV"), fileServRecord("FS2"));

  // The print server object with its properties on both servers, serviced queues attached.
  for (const char* server : {"FS1", "FS2"}) {
    SCOPED_TRACE(server);
    const std::uint32_t cn = conn(server);
    EXPECT_EQ(fnk_.ScanObject(cn, "PS_LOBBY", kTypePrintServer, nullptr, nullptr), 0u);
    for (const char* member : {"SUPERVISOR", "ADMIN"}) {
      if (std::string(server) == "FS2" && std::string(member) == "ADMIN") continue;  // FS2's user is SUPERVISOR
      EXPECT_EQ(fnk_.IsInSet(cn, "PS_LOBBY", kTypePrintServer, "PS_OPERATORS", member, kTypeUser), 0u) << member;
    }
    EXPECT_EQ(fnk_.IsInSet(cn, "PS_LOBBY", kTypePrintServer, "PS_USERS", "EVERYONE", kTypeGroup), 0u);
    std::uint8_t value[128] = {}, more = 0, flags = 0;
    ASSERT_EQ(fnk_.ReadPropertyValue(cn, "PS_LOBBY", kTypePrintServer, "ACCOUNT_BALANCE", 1, value, &more, &flags), 0u);
    EXPECT_EQ(value[4], 0x80);
    EXPECT_TRUE(vols_.directoryExists(server, psDir(server)));
  }
  EXPECT_EQ(fnk_.IsInSet(conn("FS1"), "Q1", kTypeQueue, "Q_SERVERS", "PS_LOBBY", kTypePrintServer), 0u);
  EXPECT_EQ(fnk_.IsInSet(conn("FS1"), "Q2", kTypeQueue, "Q_SERVERS", "PS_LOBBY", kTypePrintServer), kFnkNotInSet);
  EXPECT_EQ(fnk_.IsInSet(conn("FS2"), "Q3", kTypeQueue, "Q_SERVERS", "PS_LOBBY", kTypePrintServer), 0u);

  // A second run reads the same model from the client's state file and the files.
  restartClient();
  auto again = config();
  ASSERT_EQ(again->readQueueAssignments(), 0);
  EXPECT_EQ(describe(*again), "FS1+: Q1@0 Q1@2;FS2+: Q3@1;");
  std::string report;
  again->queueReport(report);
  EXPECT_EQ(report, "\r\nQueues On Server:  FS1\r\n\tPort 1: Q1\r\n\tPort 3: Q1\r\n"
                    "\r\nQueues On Server:  FS2\r\n\tPort 2: Q3\r\n");
}

TEST_F(BinderySetupTest, RemovingAReadQueueDetachesItOnTheNextApply) {
  auto c = config();
  c->readQueueAssignments();
  c->addQueue("FS1", "Q1");
  c->addQueue("FS1", "Q2");
  ASSERT_EQ(c->applyBindery(), 0);
  restartClient();
  auto again = config();
  ASSERT_EQ(again->readQueueAssignments(), 0);
  ASSERT_EQ(describe(*again), "FS1+: Q1@-1 Q2@-1;");
  again->removeQueue(0, 0);
  ASSERT_EQ(again->applyBindery(), 0);
  EXPECT_EQ(fnk_.IsInSet(conn("FS1"), "Q1", kTypeQueue, "Q_SERVERS", "PS_LOBBY", kTypePrintServer), kFnkNotInSet);
  EXPECT_EQ(file("FS1", "ROUTING"), routingRecord({"FS1", "Q2", 0}));
}

TEST_F(BinderySetupTest, RPrinterModeWritesQueueAndPrintFilesPerPrinterNumber) {
  auto c = config(CNetWareConfig::kModeRPrinter);
  c->readQueueAssignments();
  int i = 0;
  c->addQueue("FS1", "Q1", &i);
  c->servers[0].entries[0].port = 0;
  c->addQueue("FS1", "Q2", &i);
  c->servers[0].entries[1].port = 1;
  ASSERT_EQ(c->applyBindery(), 0);
  EXPECT_EQ(file("FS1", "QUEUE.000"), queueRecord("Q1"));
  EXPECT_EQ(file("FS1", "QUEUE.001"), queueRecord("Q2"));
  EXPECT_EQ(file("FS1", "PRINT.000"), printRecord(0, ""));
  EXPECT_EQ(file("FS1", "<none>"), "<missing>");
  EXPECT_EQ(file("FS1", "ROUTING"), "<missing>") << "no ROUTING in RPrinter mode";
  // A printer renamed on the server keeps its name when the files are written again.
  ASSERT_TRUE(vols_.writeFile("FS1", psDir("FS1"), "PRINT.001", printRecord(1, std::string("LASER\0", 6) + std::string(64, 'x'))));
  c->passwordChanged = true;
  ASSERT_EQ(c->applyBindery(), 0);
  EXPECT_EQ(file("FS1", "PRINT.001").substr(0, 6), std::string("LASER\0", 6));

  restartClient();
  auto again = config(CNetWareConfig::kModeRPrinter);
  ASSERT_EQ(again->readQueueAssignments(), 0);
  EXPECT_EQ(describe(*again), "FS1+: Q1@0 Q2@1;");
}

TEST_F(BinderySetupTest, RPrinterPortWithQueuesButNoPrinterNumberIsRefusedBeforeAnyFile) {
  auto c = config(CNetWareConfig::kModeRPrinter);
  c->readQueueAssignments();
  c->addQueue("FS1", "Q1");
  c->servers[0].entries[0].port = 2;  // printer number 255
  EXPECT_EQ(c->applyBindery(), kNwPrinterNumberMissing);
  EXPECT_EQ(file("FS1", "QUEUE.000"), "<missing>");
}

TEST_F(BinderySetupTest, AFailurePartWayLeavesThePreviousFilesIntact) {
  auto c = config();
  c->readQueueAssignments();
  c->addQueue("FS1", "Q1");
  c->addQueue("FS2", "Q3");
  ASSERT_EQ(c->applyBindery(), 0);
  const std::string routing = file("FS1", "ROUTING");
  const std::string fileserv = file("FS1", "FILESERV");
  ASSERT_EQ(routing.size(), 2 * kRoutingRecord);

  // Next run: the attach on FS2 fails (a client fault), after FS1 was already done.
  {
    std::ofstream(dir_.file("seed.json")) << R"({"faults": [{"function": "calwin32_23", "server": "FS2", "code": 35327}]})";
  }
  restartClient();
  auto again = config();
  ASSERT_EQ(again->readQueueAssignments(), 0);
  again->addQueue("FS1", "Q2");
  again->removeQueue(1, 0);
  again->addQueue("FS2", "Q3");
  EXPECT_EQ(again->applyBindery(), 35327);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "Error attaching Q3 on FS2.");
  EXPECT_EQ(file("FS1", "ROUTING"), routing);
  EXPECT_EQ(file("FS1", "FILESERV"), fileserv);
}

TEST_F(BinderySetupTest, QueueAndFileServerLimits) {
  auto c = config();
  for (int s = 0; s < 8; ++s) ASSERT_EQ(c->addQueue("S" + std::to_string(s), "Q"), 0);
  EXPECT_EQ(c->addQueue("S8", "Q"), kNwTooManyServers);
  EXPECT_EQ(c->addQueue("S7", "Q2"), 0) << "a server that already has queues takes more";
  for (int q = 0; q < 23; ++q) ASSERT_EQ(c->addQueue("S0", "Q" + std::to_string(q)), 0) << q;
  EXPECT_EQ(c->addQueue("S0", "ONE_TOO_MANY"), kNwTooManyQueues);
  EXPECT_EQ(messages_, (std::vector<std::string>{kTextTooManyServers, kTextTooManyQueues}));
}

TEST_F(BinderySetupTest, NamesLongerThan47CharactersAreRefusedBeforeTheClient) {
  auto c = config();
  const std::string longName(48, 'P');
  EXPECT_EQ(c->createPrintServer(longName, conn("FS1")), kFnkInvalidName);
  EXPECT_EQ(c->createQueue(longName, conn("FS1")), kFnkInvalidName);
  EXPECT_EQ(c->createQueue("Q1", conn("FS1")), kFnkObjectExists);
  ASSERT_EQ(c->createQueue("NEWQ", conn("FS1")), 0u);
  EXPECT_EQ(fnk_.IsInSet(conn("FS1"), "NEWQ", kTypeQueue, "Q_OPERATORS", "ADMIN", kTypeUser), 0u);
  EXPECT_EQ(fnk_.IsInSet(conn("FS1"), "NEWQ", kTypeQueue, "Q_USERS", "EVERYONE", kTypeGroup), 0u);
}

TEST_F(BinderySetupTest, AFontQueueThatIsAlsoAPrintQueueStopsTheApply) {
  auto c = config();
  c->addQueue("FS1", "Q1");
  c->fontQueues = {"Q1"};
  EXPECT_EQ(c->applyBindery(), kNwFontQueueConflict);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0],
            "Q1 is selected as both a font queue and a print queue, it needs to be removed from one of the settings.");
}

TEST_F(BinderySetupTest, NothingChangedOrNoQueuesWritesNothing) {
  auto c = config();
  EXPECT_EQ(c->applyBindery(), 0);
  c->printServerNameChanged = true;
  EXPECT_EQ(c->applyBindery(), 0);
  EXPECT_NE(fnk_.ScanObject(conn("FS1"), "PS_LOBBY", kTypePrintServer, nullptr, nullptr), 0u);
}

}  // namespace
