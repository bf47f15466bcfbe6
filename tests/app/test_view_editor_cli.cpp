// trellanctl views edit and the view editor's model make the same edit: the stores they write
// hold the same keys and values.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sys/wait.h>

#include "app/view_editor.h"
#include "app/view_manager.h"
#include "sim_child.h"
#include "view_test_support.h"

namespace {

void seed(platform::Registry& r) {
  r.setDword("Views\\Lab", "Type", 2);
  r.setDword("Views\\Lab", "Icons", 4);
  r.setDword("Views\\Lab\\Printers", "Type", 6);
  r.setDword("Views\\Lab\\Printers", "Icons", 16);
  r.setString("Views\\Lab\\Printers", "Columns", "System Name,IP Address");
  r.setString("Views\\Lab\\Printers", "dev0", "10.1.2.3");
  r.setString("Views\\Lab\\Printers", "dev1", "10.1.2.4");
  r.setDword("Views\\Office", "Type", 6);
  r.setDword("Views\\Office", "Icons", 16);
  r.setString("General", "CurrentView", "Office");
}

void dump(const platform::Registry& reg, const std::string& key, std::map<std::string, std::string>& out) {
  for (const auto& [name, v] : reg.values(key))
    out[key + "|" + name] = v.type == platform::RegValue::Type::Dword ? std::to_string(v.dword) : "\"" + v.text + "\"";
  for (const std::string& sub : reg.subKeys(key)) dump(reg, key.empty() ? sub : key + "\\" + sub, out);
}

std::map<std::string, std::string> contents(const std::string& file) {
  platform::Registry reg(file);
  std::map<std::string, std::string> out;
  dump(reg, "", out);
  return out;
}

struct CliResult {
  int status = -1;
  std::string output;
};

CliResult trellanctl(const std::string& store, const std::string& args) {
  const std::string tool = SimChild::binDir() + "/trellanctl";
  CliResult r;
  if (!std::filesystem::exists(tool)) {
    r.output = "trellanctl is missing: " + tool;
    return r;
  }
  FILE* p = popen(("TRELLAN_REGISTRY='" + store + "' '" + tool + "' " + args + " 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  std::size_t n = 0;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0 && r.output.size() < (1u << 20)) r.output.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

struct NoUi final : app::ViewTreeUi {
  app::CViewNode* createFirstView(app::CViewManager&) override { return nullptr; }
  bool askYesNo(const std::string&) override { return false; }
};

}  // namespace

TEST(ViewsEdit, CommandLineAndEditorWriteTheSameStore) {
  using namespace devices;
  struct Case {
    const char* what;
    std::string args;
    std::function<void(app::CCustomizeViewPropSheet&, app::CViewManager&)> edit;
  };
  const Case cases[] = {
      {"filter, columns, sort, refresh",
       "--filter 'Status=Warning,Error' --columns 'IP Address,System Name,Port Status' --sort 'System Name' "
       "--refresh 5 --fixed-widths",
       [](app::CCustomizeViewPropSheet& s, app::CViewManager&) {
         s.filters().setFilterColumn(kColStatus);
         s.filters().setSelectedValues({"Warning", "Error"});
         s.columns().moveIn(app::CColumnsPage::Source::Printer,
                            static_cast<int>(std::find(s.columns().printer().begin(), s.columns().printer().end(),
                                                       kColPortStatus) -
                                             s.columns().printer().begin()),
                            -1);
         s.columns().moveUp(1);
         s.columns().setSortColumn(kColSystemName);
         s.columns().autoWidths = false;
         s.general().refreshOn = true;
         s.general().setMinutes(5);
       }},
      {"search list and flags, a pattern filter",
       "--no-local --list --entry '10.9.9.*' --entry 'Multicast<3>' --filter 'System Name=LAB*'",
       [](app::CCustomizeViewPropSheet& s, app::CViewManager&) {
         s.filters().localSearch = false;
         s.filters().listSearch = true;
         s.filters().deleteEntry(0);
         s.filters().deleteEntry(0);
         s.filters().addEntry("10.9.9.*");
         s.filters().addEntry("Multicast<3>");
         s.filters().setFilterColumn(kColSystemName);
         s.filters().setValueText("LAB*");
       }},
      {"moved to the top with another icon", "--folder Views --icon 19",
       [](app::CCustomizeViewPropSheet& s, app::CViewManager& v) {
         s.general().parent = v.root();
         s.general().icons = 19;
       }},
  };
  for (const auto& c : cases) {
    ViewStore byModel, byCommand;
    seed(byModel.reg);
    seed(byCommand.reg);
    {
      FakeDiscoveryFactory factory;
      app::CViewManager views(byModel.reg, factory);
      NoUi ui;
      ASSERT_EQ(views.start(ui, app::kProbeTcpIp), 0);
      app::CCustomizeViewPropSheet sheet(views, app::kEditorGeneral, views.find("Printers"));
      c.edit(sheet, views);
      EXPECT_GT(sheet.apply(), 0) << c.what;
    }
    const CliResult r = trellanctl(byCommand.file, "views edit Printers " + c.args);
    ASSERT_EQ(r.status, 0) << c.what << ": " << r.output;
    const auto model = contents(byModel.file);
    EXPECT_EQ(model, contents(byCommand.file)) << c.what;
    EXPECT_NE(model, [] {
      ViewStore s;
      seed(s.reg);
      return contents(s.file);
    }()) << c.what << ": the edit changed something";
  }
}

TEST(ViewsEdit, RefusalsCarryTheEditorsMessages) {
  struct Case {
    const char* what;
    std::string args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"both searches off", "--no-local --no-list", 1, "No Search Filters were specified."},
      {"list search with an empty list", "--no-local --list --no-entries", 1, "No devices specified."},
      {"a column not offered", "--columns 'NW Name'", 2, "not offered"},
      {"sort by a hidden column", "--sort 'Serial #'", 2, "is not a displayed column"},
      {"a value not in the fixed list", "--filter 'Status=Bad'", 2, "is not a list of values"},
      {"an invalid entry", "--entry 10.1.2", 2, "The IP address is invalid."},
      {"a broken entry", "--entry 'Multicast<0>'", 2, "The IP address is invalid."},
      {"no such view", "", 1, "no view named"},
  };
  for (const auto& c : cases) {
    ViewStore s;
    seed(s.reg);
    const CliResult r = trellanctl(s.file, std::string("views edit ") + (c.message == "no view named" ? "Nowhere " : "Printers ") + c.args);
    EXPECT_EQ(r.status, c.status) << c.what << ": " << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.what << ": " << r.output;
  }
}
