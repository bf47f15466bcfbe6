#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/device_list_model.h"
#include "app/list_export.h"
#include "devices/device.h"
#include "scratch_dir.h"

using namespace devices;
using app::DeviceListModel;

namespace {

using Devices = std::vector<std::unique_ptr<CDevice>>;

struct Unit {
  const char* name;
  const char* ip;
  int ports = 1;
};

Devices makeDevices(const std::vector<Unit>& units) {
  Devices out;
  int n = 0;
  for (const auto& u : units) {
    auto d = std::make_unique<CIpDevice>(u.ip);
    d->systemName.assign(u.name);
    d->hardwareAddress.assign("0000AA00000" + std::to_string(++n));
    d->setPortCount(u.ports);
    for (int p = 0; p < kMaxPorts; ++p) d->portNumbers[static_cast<std::size_t>(p)].assign(std::to_string(p + 1));
    d->updateStatusTexts(StatusMasks{});
    out.push_back(std::move(d));
  }
  return out;
}

// The list as the window shows it after a search: every device's rows, sorted.
void fillList(DeviceListModel& m, Devices& devs, const std::vector<int>& columns, bool byPrinter, int sortColumn) {
  m.setDevices(&devs);
  m.setViewColumns(columns);
  m.setByPrinter(byPrinter);
  m.setSort(sortColumn, false);
  m.clearRows();
  for (int i = 0; i < static_cast<int>(devs.size()); ++i) m.addDevice(i);
  m.sort();
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(ListExport, CellsAreCutAndQuotedAsCsv) {
  struct Case {
    const char* what;
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"plain", "Lab printer", "Lab printer"},
      {"empty", "", ""},
      {"comma", "Smith, J.", "\"Smith, J.\""},
      {"quote", "the \"big\" one", "\"the \"\"big\"\" one\""},
      {"line end", "a\r\nb", "\"a\r\nb\""},
      {"32 characters cut to 31", std::string(32, 'x'), std::string(31, 'x')},
      {"cut before quoting", std::string(30, 'x') + ",yz", "\"" + std::string(30, 'x') + ",\""},
      {"a two-byte character is not split", std::string(30, 'x') + "\xC3\xA9", std::string(30, 'x')},
  };
  for (const auto& c : cases) EXPECT_EQ(app::exportCell(c.in), c.out) << c.what;
}

TEST(ListExport, ListFileLines) {
  struct Case {
    const char* what;
    std::vector<Unit> units;
    std::string text;
  };
  const Case cases[] = {
      {"empty list: the header line with its line end", {}, "System Name,IP Address,\r\n"},
      {"one row: no final comma, no line end", {{"Lab", "127.0.0.5"}}, "System Name,IP Address,\r\nLab,127.0.0.5"},
      {"rows in sort order, a comma in a name quoted",
       {{"Zeta", "127.0.0.9"}, {"Acme, Inc", "127.0.0.7"}},
       "System Name,IP Address,\r\n\"Acme, Inc\",127.0.0.7,\r\nZeta,127.0.0.9"},
  };
  for (const auto& c : cases) {
    Devices devs = makeDevices(c.units);
    DeviceListModel m;
    fillList(m, devs, {kColSystemName, kColIpAddress}, false, kColSystemName);
    EXPECT_EQ(app::listFileText(m), c.text) << c.what;
  }
}

TEST(ListExport, AddressFileTakesEachServerOnce) {
  struct Case {
    const char* what;
    std::vector<Unit> units;
    bool byPrinter;
    int sortColumn;
    std::string text;
  };
  const Case cases[] = {
      {"empty list", {}, false, kColSystemName, ""},
      {"one per line", {{"A", "127.0.0.2"}, {"B", "127.0.0.3"}}, false, kColSystemName, "127.0.0.2\r\n127.0.0.3\r\n"},
      {"four-port server by printer", {{"A", "127.0.0.2", 4}}, true, kColSystemName, "127.0.0.2\r\n"},
      // Sorted by port number the rows of two servers alternate: A1 B1 A2 B2 ...; each address
      // still appears once.
      {"ports of two servers interleaved",
       {{"A", "127.0.0.2", 4}, {"B", "127.0.0.3", 4}},
       true,
       kColPortNumber,
       "127.0.0.2\r\n127.0.0.3\r\n"},
      {"unconfigured defaults left out",
       {{"A", "192.0.0.192"}, {"B", "127.0.0.3"}, {"C", "198.102.102.254"}, {"D", "0.0.0.0"}},
       false,
       kColSystemName,
       "127.0.0.3\r\n"},
  };
  for (const auto& c : cases) {
    Devices devs = makeDevices(c.units);
    DeviceListModel m;
    fillList(m, devs, {kColSystemName, kColIpAddress, kColPortNumber}, c.byPrinter, c.sortColumn);
    EXPECT_EQ(app::addressFileText(m), c.text) << c.what;
  }
}

TEST(ListExport, UnconfiguredServerStaysInTheListFile) {
  Devices devs = makeDevices({{"New", "192.0.0.192"}});
  DeviceListModel m;
  fillList(m, devs, {kColSystemName, kColIpAddress}, false, kColSystemName);
  EXPECT_EQ(app::listFileText(m), "System Name,IP Address,\r\nNew,192.0.0.192");
  EXPECT_EQ(app::addressFileText(m), "");
}

TEST(ListExport, WritesFilesAndReportsWhatCannotBeCreated) {
  ScratchDir dir;
  Devices devs = makeDevices({{"A", "127.0.0.2"}});
  DeviceListModel m;
  fillList(m, devs, {kColSystemName, kColIpAddress}, false, kColSystemName);

  const std::string list = dir.file("Lab.txt");
  { std::ofstream(list) << "an older, longer file that must not leave a tail behind\n"; }
  EXPECT_EQ(app::saveList(m, list), app::kExportOk);
  EXPECT_EQ(readFile(list), "System Name,IP Address,\r\nA,127.0.0.2");
  EXPECT_EQ(app::saveIpAddresses(m, dir.file("kdv_addr.txt")), app::kExportOk);
  EXPECT_EQ(readFile(dir.file("kdv_addr.txt")), "127.0.0.2\r\n");

  const std::string missingFolder = dir.file("no-such-folder/list.txt");
  EXPECT_EQ(app::saveList(m, missingFolder), app::kExportCannotCreate);
  EXPECT_EQ(app::saveIpAddresses(m, missingFolder), app::kExportCannotCreate);
  EXPECT_FALSE(std::filesystem::exists(missingFolder));
  EXPECT_EQ(app::defaultListFileName("All Print Servers"), "All Print Servers.txt");
}
