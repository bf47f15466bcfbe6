// trellanctl views against a scratch store: what it writes is what the view manager reads, and
// refusals carry the dialogs' messages. Also the TCP/IP search-entry check it uses.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <nlohmann/json.hpp>

#include "app/view_entry.h"
#include "app/view_manager.h"
#include "view_test_support.h"

extern char** environ;

namespace {

struct CliRun {
  int status = -1;
  std::string output;  // stdout and stderr
};

class ViewCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The tools are built next to the test programs.
    const char* bin = std::getenv("TRELLAN_BIN_DIR");
    std::error_code ec;
    const auto here = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
    tool = ((bin && *bin) ? std::filesystem::path(bin) : here) / "trellanctl";
    ASSERT_TRUE(std::filesystem::exists(tool)) << "trellanctl not built: " << tool;
  }
  CliRun run(const std::string& args) {
    const std::string command = "TRELLAN_REGISTRY='" + store.file + "' '" + tool + "' " + args + " 2>&1";
    CliRun r;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0 && r.output.size() < (1u << 20)) r.output.append(buf.data(), n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
  }
  std::string tool;
  ViewStore store;
};

TEST_F(ViewCliTest, ViewsMadeHereAreTheProgramsViews) {
  ASSERT_EQ(run("views create 'All Print Servers' --protocol tcpip").status, 0);
  ASSERT_EQ(run("views create Lab --protocol tcpip --folder Views --entry '10.1.2.*' --entry 10.9.9.9 "
                "--columns 'IP Address,System Name'").status, 0);
  store.reg.reload();
  FakeDiscoveryFactory factory;
  app::CViewManager views(store.reg, factory);
  views.loadTree();
  ASSERT_NE(views.find("Lab"), nullptr);
  ASSERT_TRUE(views.loadViewSettings(views.find("Lab")));
  EXPECT_EQ(views.viewDef().columns(), (std::vector<int>{devices::kColIpAddress, devices::kColSystemName}));
  EXPECT_EQ(views.viewDef().searchList(), (std::vector<std::string>{"10.1.2.*", "10.9.9.9"}));
  EXPECT_TRUE(views.viewDef().listSearch());
  EXPECT_FALSE(views.viewDef().localSearch());
  EXPECT_EQ(views.viewDef().sortColumn(), devices::kColIpAddress);
  EXPECT_EQ(views.find("All Print Servers")->parent()->name(), "TCP/IP");

  const CliRun show = run("--json views show lab");
  ASSERT_EQ(show.status, 0) << show.output;
  const auto j = nlohmann::json::parse(show.output, nullptr, false);
  ASSERT_FALSE(j.is_discarded()) << show.output;
  EXPECT_EQ(j["key"], "Views\\Lab");
  EXPECT_EQ(j["searchList"].size(), 2u);
}

TEST_F(ViewCliTest, RefusalsUseTheDialogMessagesAndChangeNothing) {
  ASSERT_EQ(run("views create Office --protocol tcpip").status, 0);
  ASSERT_EQ(run("views create Bench --protocol serial").status, 0);
  const std::string before = [&] {
    store.reg.reload();
    return store.reg.getString("Views\\TCP/IP\\Office", "Columns", "");
  }();
  struct Case {
    const char* args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"views create office --protocol tcpip", 1, "A view or group with that name already exists."},
      {"views create 'A\\B' --protocol tcpip", 1, "may not contain"},
      {"views create X --protocol tcpip --columns 'System Name,System Name'", 1, "listed twice"},
      {"views create X --protocol serial --columns 'NW Name'", 1, "not offered"},
      {"views create X --protocol tcpip --entry 10.1.2", 2, "The IP address is invalid."},
      {"views create X --protocol carrier-pigeon", 2, "--protocol: carrier-pigeon not in {tcpip,netware,serial,ipx}"},
      {"views rename Office Bench", 1, "A view or group with that name already exists."},
      {"views rename Office ''", 1, "The view must have a name."},
      {"views move Office Bench", 1, "cannot be moved"},
      {"views delete Office", 1, "currently open"},
      {"views delete Serial", 1, "Delete sub-views before deleting group."},
      {"views delete Views", 1, "That view cannot be deleted."},
  };
  for (const auto& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << "\n" << r.output;
  }
  store.reg.reload();
  EXPECT_EQ(store.reg.getString("Views\\TCP/IP\\Office", "Columns", ""), before);
  EXPECT_FALSE(store.reg.keyExists("Views\\X"));
  EXPECT_EQ(run("views move Bench TCP/IP").status, 0);
  EXPECT_EQ(run("views delete Serial").status, 0);
  store.reg.reload();
  EXPECT_EQ(store.reg.getString("Views\\TCP/IP\\Bench", "dev0", ""), "COM1");
}

// A view searched from the command line shows the rows its list would: its columns, only the
// devices its filter lets through, in its sort order (addresses as addresses), found with the
// discovery port of the settings store.
TEST_F(ViewCliTest, DiscoverRunsTheViewsSearch) {
  const std::filesystem::path sim = std::filesystem::path(tool).parent_path() / "trellan-sim";
  ASSERT_TRUE(std::filesystem::exists(sim)) << "trellan-sim not built";
  const int base = 36000 + (::getpid() % 1000) * 8;
  const std::string ready = store.dir.file("sim_ready.json");
  std::vector<std::string> args = {sim.string(), "--count", "10", "--first", "127.0.95.1", "--snmp-port", "0",
                                   "--discovery-port", std::to_string(base), "--ipx-discovery-port",
                                   std::to_string(base + 1), "--ipx-snmp-port", "0", "--second-family-port",
                                   std::to_string(base + 2), "--ready-file", ready};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, sim.c_str(), nullptr, nullptr, argv.data(), environ), 0);
  struct Reap {
    pid_t pid;
    ~Reap() {
      ::kill(pid, SIGTERM);
      int status = 0;
      ::waitpid(pid, &status, 0);
    }
  } reap{pid};
  for (int i = 0; i < 100; ++i) {
    std::ifstream f(ready);
    if (f && f.peek() != std::ifstream::traits_type::eof()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }

  ASSERT_EQ(run("views create Lab --protocol tcpip --entry 127.0.95.1 --entry 127.0.95.2 --entry 127.0.95.3 "
                "--entry 127.0.95.10 --columns 'IP Address,System Name'").status, 0);
  ASSERT_EQ(run("views create Bench --protocol serial").status, 0);
  store.reg.reload();
  {
    FakeDiscoveryFactory factory;
    app::CViewManager views(store.reg, factory);
    views.loadTree();
    ASSERT_NE(views.find("Lab"), nullptr);
    views.loadViewSettings(views.find("Lab"));
    views.viewDef().setSort(devices::kColIpAddress, true);
    views.viewDef().setFilter(devices::kColIpAddress, {"127.0.95.1", "127.0.95.3", "127.0.95.10"});
    ASSERT_NE(views.saveViewSettings(), app::kSaveFailed);
  }
  ASSERT_TRUE(store.reg.setDword("Access\\IP", "DiscoveryPort", static_cast<std::uint32_t>(base)));
  ASSERT_TRUE(store.reg.setDword("Timeouts", "Broadcast", 1000));
  // Each found unit is asked for its printer status over SNMP, where these units do not answer.
  ASSERT_TRUE(store.reg.setDword("Timeouts", "GetTimeout", 10));

  const CliRun csv = run("discover --view lab --csv");
  ASSERT_EQ(csv.status, 0) << csv.output;
  const std::size_t header = csv.output.find("IP Address,System Name\r\n");
  ASSERT_NE(header, std::string::npos) << csv.output;
  std::vector<std::string> order;
  for (std::size_t at = header; (at = csv.output.find("\r\n127.0.95.", at)) != std::string::npos; ++at)
    order.push_back(csv.output.substr(at + 2, csv.output.find(',', at) - at - 2));
  EXPECT_EQ(order, (std::vector<std::string>{"127.0.95.10", "127.0.95.3", "127.0.95.1"})) << csv.output;

  const CliRun json = run("--json discover --view Lab");
  ASSERT_EQ(json.status, 0) << json.output;
  const auto j = nlohmann::json::parse(json.output.substr(json.output.find("{\n")), nullptr, false);
  ASSERT_FALSE(j.is_discarded()) << json.output;
  ASSERT_EQ(j["devices"].size(), 3u) << json.output;
  EXPECT_EQ(j["devices"][0]["ipAddress"], "127.0.95.10");
  EXPECT_FALSE(j["devices"][0].contains("hwAddress"));

  struct Case {
    const char* args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"discover --view Nowhere", 2, "no view named"},
      {"discover --view TCP/IP", 2, "no view named"},
      {"discover --view Bench", 1, "only TCP/IP views"},
      {"discover --view Lab --columns 'System Name'", 2, "--view"},
  };
  for (const auto& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << "\n" << r.output;
  }
}

TEST(ViewEntryTest, TcpIpEntryForms) {
  const std::pair<const char*, bool> cases[] = {
      {"10.1.2.3", true},          {"10.1.2.255<DB>", true},   {"10.1.2.*", true},
      {"Multicast<5>", true},      {"File</tmp/a b.txt>", true}, {"10.1.2", false},
      {"10.1.2.*<DB>", true},      {"10.*.*.1", false},        {"Multicast<0>", false},
      {"Multicast<>", false},      {"Multicast<1000>", false}, {"File<>", false},
      {"", false},                 {"<DB>", false},            {"printer.example", false},
  };
  for (const auto& [entry, valid] : cases) EXPECT_EQ(app::validTcpIpEntry(entry), valid) << entry;
}

}  // namespace
