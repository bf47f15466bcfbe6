// The view editor's sheet and pages without a display: modes, the new-view wizard, the checks of
// each page, storing through the view manager, and the small dialogs around it.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/netware_device_entry.h"
#include "app/settings.h"
#include "app/view_editor.h"
#include "app/view_manager.h"
#include "view_test_support.h"

namespace {

using app::CCustomizeViewPropSheet;
using app::CViewManager;
using Page = CCustomizeViewPropSheet::Page;
using namespace devices;

struct NoUi final : app::ViewTreeUi {
  app::CViewNode* createFirstView(CViewManager&) override { return nullptr; }
  bool askYesNo(const std::string&) override { return false; }
};

class ViewEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& r = store.reg;
    r.setDword("Views\\Lab", "Type", 2);
    r.setDword("Views\\Lab", "Icons", 4);
    r.setDword("Views\\Lab\\Printers", "Type", 6);
    r.setDword("Views\\Lab\\Printers", "Icons", 16);
    r.setString("Views\\Lab\\Printers", "Columns", "System Name,IP Address");
    r.setDword("Views\\All Print Servers", "Type", 6);
    r.setDword("Views\\All Print Servers", "Icons", 16);
    r.setString(app::kGeneralKey, "CurrentView", "All Print Servers");
    ASSERT_EQ(views.start(ui, app::kProbeTcpIp | app::kProbeSerial), 0);
  }
  app::CViewNode* n(const char* name) { return views.find(name); }

  ViewStore store;
  FakeDiscoveryFactory factory;
  NoUi ui;
  CViewManager views{store.reg, factory};
};

}  // namespace

TEST_F(ViewEditorTest, ModesChooseThePagesAndTheFirstPage) {
  struct Case {
    int mode;
    Page first;
    std::size_t pages;
  };
  const Case cases[] = {{0, Page::Welcome, 5}, {1, Page::NewView, 4}, {2, Page::General, 3},
                        {3, Page::Filters, 3}, {4, Page::Columns, 3}, {7, Page::Columns, 3}};
  for (const auto& c : cases) {
    CCustomizeViewPropSheet sheet(views, c.mode);
    EXPECT_EQ(sheet.firstPage(), c.first) << "mode " << c.mode;
    EXPECT_EQ(sheet.pages().size(), c.pages) << "mode " << c.mode;
    EXPECT_EQ(sheet.pages().back(), Page::General) << "mode " << c.mode;
  }
}

TEST_F(ViewEditorTest, NewViewChecks) {
  struct Case {
    const char* what;
    std::string name;
    int protocol;
    int code;
  };
  const Case cases[] = {
      {"empty name", "", 0, app::kViewNeedsName},
      {"backslash", "A\\B", 0, app::kViewNeedsName},
      {"a folder's name in another case", "LAB", 0, app::kViewNameExists},
      {"no protocol", "Fresh", -1, app::kViewNoProtocol},
      {"fine", "Fresh", 0, app::kViewOk},
  };
  for (const auto& c : cases) {
    CCustomizeViewPropSheet sheet(views, app::kEditorNewView);
    sheet.newView().name = c.name;
    sheet.newView().protocol = c.protocol;
    EXPECT_EQ(sheet.newView().check(views), c.code) << c.what;
  }
}

TEST_F(ViewEditorTest, NextCreatesTheViewUnderTheChosenFolderAndTheEditPagesFollow) {
  {
    CCustomizeViewPropSheet sheet(views, app::kEditorNewView, nullptr, n("Lab"));
    sheet.newView().name = "Floor 2";
    ASSERT_EQ(sheet.next(), 0);
    ASSERT_NE(sheet.editedNode(), nullptr);
    EXPECT_TRUE(store.reg.keyExists("Views\\Lab\\Floor 2")) << "stored at Next, before OK";
    sheet.filters().localSearch = false;
    sheet.filters().listSearch = true;
    EXPECT_EQ(sheet.apply(), 5512) << "list search with an empty list";
    sheet.filters().addEntry("10.1.2.*");
    EXPECT_EQ(sheet.apply(), app::kSaveNeedsSearch);
    EXPECT_EQ(sheet.savedResult(), app::kSaveNeedsSearch);
  }
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Floor 2", "dev0", ""), "10.1.2.*");
  EXPECT_EQ(views.viewDef().node(), views.openNode()) << "the open view's settings are back after the sheet";
}

TEST_F(ViewEditorTest, FinishForSerialMakesTheSerialFolderAndCom1) {
  CCustomizeViewPropSheet sheet(views, app::kEditorNewView);
  sheet.newView().name = "Cable";
  sheet.newView().protocol = 1;  // TCP/IP, Serial Port
  ASSERT_STREQ(sheet.newView().protocols()[1].name, "Serial Port");
  ASSERT_EQ(sheet.finishWithDefaults(), 0);
  const std::string key = "Views\\Serial\\Cable";
  EXPECT_EQ(store.reg.getDword("Views\\Serial", "Icons", 0), 5u);
  EXPECT_EQ(store.reg.getString(key, "dev0", ""), "COM1");
  EXPECT_EQ(store.reg.getDword(key, "ListBuild", 0), 1u);
  EXPECT_EQ(store.reg.getDword(key, "NetSearchBuild", 1), 0u);
}

TEST_F(ViewEditorTest, FiltersPageRules) {
  CCustomizeViewPropSheet special(views, app::kEditorFilters, n("All Print Servers"));
  EXPECT_TRUE(special.filters().localLocked());
  EXPECT_TRUE(special.filters().localSearch);
  EXPECT_FALSE(special.filters().filterEnabled());
  special.close();

  CCustomizeViewPropSheet sheet(views, app::kEditorFilters, n("Printers"));
  app::CFiltersPage& f = sheet.filters();
  EXPECT_FALSE(f.localLocked());
  EXPECT_EQ(f.deleteEntry(-1), 5504);
  struct Case {
    bool local, list, entries;
    int code;
  };
  const Case cases[] = {{true, false, false, 0}, {false, true, false, 5512}, {false, true, true, 0}, {false, false, true, 5513}};
  for (const auto& c : cases) {
    f.localSearch = c.local;
    f.listSearch = c.list;
    while (!f.entries().empty()) f.deleteEntry(0);
    if (c.entries) f.addEntry("10.0.0.1");
    EXPECT_EQ(f.leaveCheck(), c.code) << c.local << c.list << c.entries;
  }
  // A free-text column starts at "*"; a fixed-list column offers its values.
  f.setFilterColumn(kColSystemName);
  EXPECT_EQ(f.valueText(), "*");
  f.setFilterColumn(kColStatus);
  EXPECT_EQ(f.valueChoices(), (std::vector<std::string>{"Good", "Warning", "Error"}));
  f.setSelectedValues({"Error", "Bogus"});
  EXPECT_EQ(f.selectedValues(), (std::vector<std::string>{"Error"}));
  f.setFilterColumn(kColProductType);
  EXPECT_EQ(f.note(), devices::kValueListEmpty) << "no devices found yet";
  f.setFilterColumn(kColStatus);
  f.setSelectedValues({"Warning", "Error"});
  f.localSearch = true;
  EXPECT_EQ(sheet.apply(), app::kSaveNeedsSearch) << "the search list changed too";
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "Filter", ""), "Status");
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "FilterValue", ""), "Warning,Error");
  f.setFilterColumn(kNoColumn);
  sheet.apply();
  EXPECT_FALSE(store.reg.value("Views\\Lab\\Printers", "Filter").has_value());
}

TEST_F(ViewEditorTest, ColumnsPageRules) {
  CCustomizeViewPropSheet sheet(views, app::kEditorColumns, n("Printers"));
  app::CColumnsPage& c = sheet.columns();
  EXPECT_EQ(c.displayed(), (std::vector<int>{kColSystemName, kColIpAddress}));
  EXPECT_EQ(std::count(c.available().begin(), c.available().end(), kColNwName), 0) << "not offered for TCP/IP";
  EXPECT_EQ(c.moveIn(app::CColumnsPage::Source::Available, -1, -1), 5502);
  EXPECT_EQ(c.moveOut(-1), 5502);
  ASSERT_TRUE(c.setSortColumn(kColIpAddress));
  EXPECT_EQ(c.moveOut(1), 0);
  EXPECT_EQ(c.sortColumn(), kColSystemName) << "removing the sort column sorts by the first";
  EXPECT_EQ(c.moveOut(0), 5503);
  const auto port = std::find(c.printer().begin(), c.printer().end(), kColPortStatus) - c.printer().begin();
  EXPECT_EQ(c.moveIn(app::CColumnsPage::Source::Printer, static_cast<int>(port), 0), 0);
  EXPECT_EQ(c.displayed(), (std::vector<int>{kColPortStatus, kColSystemName}));
  EXPECT_TRUE(c.moveDown(0));
  EXPECT_FALSE(c.moveDown(1));
  c.autoWidths = false;
  sheet.apply();
  EXPECT_TRUE(sheet.wantsRefresh());
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "Columns", ""), "System Name,Port Status");
}

TEST_F(ViewEditorTest, GeneralPageMovesAndRefreshes) {
  CCustomizeViewPropSheet sheet(views, app::kEditorGeneral, n("Printers"));
  app::CGeneralPage& g = sheet.general();
  EXPECT_EQ(g.protocolText(), "TCP/IP");
  g.parent = views.root();
  g.icons = 18;
  g.refreshOn = true;
  g.setMinutes(5);
  EXPECT_NE(sheet.apply(), app::kSaveFailed);
  EXPECT_TRUE(store.reg.keyExists("Views\\Printers"));
  EXPECT_FALSE(store.reg.keyExists("Views\\Lab\\Printers"));
  EXPECT_EQ(store.reg.getDword("Views\\Printers", "Icons", 0), 18u);
  EXPECT_EQ(store.reg.getDword("Views\\Printers", "Refresh", 0), 300u);
  // An unchanged page writes nothing more.
  const int again = sheet.apply();
  EXPECT_EQ(again, app::kSaveNothing);
}

TEST_F(ViewEditorTest, SwitchingViewsAsksToSaveChanges) {
  CCustomizeViewPropSheet sheet(views, app::kEditorGeneral, n("Printers"));
  int asked = 0;
  sheet.general().setMinutes(0);
  EXPECT_TRUE(sheet.switchTo(n("All Print Servers"), [&](const std::string&) { return ++asked, true; }));
  EXPECT_EQ(asked, 0) << "nothing changed, nothing asked";
  sheet.general().refreshOn = true;
  sheet.general().setMinutes(2);
  EXPECT_TRUE(sheet.switchTo(n("Printers"), [&](const std::string& q) {
    EXPECT_EQ(q, app::kSaveSettingsQuestion);
    return ++asked, false;
  }));
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(store.reg.value("Views\\All Print Servers", "Refresh").has_value()) << "No saves nothing";
  EXPECT_EQ(sheet.editedNode(), n("Printers"));
}

TEST(SpecifyDevice, EntriesAndTheirChecks) {
  using K = app::DeviceEntryKind;
  struct Case {
    K kind;
    const char* text;
    const char* entry;  // nullptr: refused with 5003
  };
  const Case cases[] = {
      {K::Address, "10.1.2.3", "10.1.2.3"},
      {K::Address, "10.1.2", nullptr},
      {K::Address, "printer", nullptr},
      {K::Address, "10.1.2.*", nullptr},
      {K::Address, "10.1.2.3<DB>", nullptr},
      {K::DirectedBroadcast, "10.1.2.255", "10.1.2.255<DB>"},
      {K::DirectedBroadcast, "", nullptr},
      {K::Subnet, "10.1.2.*", "10.1.2.*"},
      {K::Subnet, "10.1.2.5", nullptr},
      {K::Subnet, "10.*.2.*", nullptr},
      {K::Multicast, "5", "Multicast<5>"},
      {K::Multicast, "0", nullptr},
      {K::Multicast, "256", nullptr},
      {K::File, "/tmp/kdv_addr.txt", "File</tmp/kdv_addr.txt>"},
      {K::File, "", nullptr},
  };
  for (const auto& c : cases) {
    const app::DeviceEntry e = app::buildDeviceEntry(c.kind, c.text);
    if (c.entry) {
      EXPECT_EQ(e.code, 0) << c.text;
      EXPECT_EQ(e.entry, c.entry) << c.text;
    } else {
      EXPECT_EQ(e.code, 5003) << c.text;
    }
  }
  EXPECT_EQ(app::deviceEntryDefault(K::Multicast, "/opt/trellan"), "5");
  EXPECT_EQ(app::deviceEntryDefault(K::File, "/opt/trellan"), "/opt/trellan/kdv_addr.txt");
}

TEST_F(ViewEditorTest, SelectViewNotesAndButtons) {
  struct Case {
    const char* what;
    const app::CViewNode* node;
    std::string note;
    bool canDelete, canRename;
  };
  const Case cases[] = {
      {"the root", views.root(), "That view cannot be deleted.", false, false},
      {"the open view", n("All Print Servers"),
       "The selected view is currently open and cannot be deleted. First open a different view, then delete the view.",
       false, true},
      {"a folder with a view", n("Lab"), "Delete sub-views before deleting group.", false, true},
      {"another view", n("Printers"), "", true, true},
  };
  for (const auto& c : cases) {
    const app::SelectViewState s = app::selectViewState(views, c.node);
    EXPECT_EQ(s.note, c.note) << c.what;
    EXPECT_EQ(s.deleteEnabled, c.canDelete) << c.what;
    EXPECT_EQ(s.renameEnabled, c.canRename) << c.what;
  }
  EXPECT_EQ(app::renamePrompt(*n("Lab")), "Rename the group \"Lab\" to:");
}

// "&Add..." asks with the dialog of the view's protocol: NetWare views for serial numbers or a
// network, and an entry already listed is not listed twice.
TEST_F(ViewEditorTest, NetWareViewsAddTheirOwnEntriesOnce) {
  struct Case {
    const char* view;
    int type;
    bool netware, serial;
  } cases[] = {{"Printers", 6, false, false}, {"NW Lab", 7, true, false}, {"Cable Bench", 8, false, true}};
  for (const auto& c : cases) {
    if (!n(c.view)) {
      ASSERT_TRUE(views.createDefaultView(c.view, c.type).node) << c.view;
    }
    CCustomizeViewPropSheet sheet(views, app::kEditorFilters, n(c.view));
    EXPECT_EQ(sheet.filters().netware(), c.netware) << c.view;
    EXPECT_EQ(sheet.filters().serial(), c.serial) << c.view;
    sheet.close();
  }
  CCustomizeViewPropSheet sheet(views, app::kEditorFilters, n("NW Lab"));
  app::CFiltersPage& f = sheet.filters();
  while (!f.entries().empty()) f.deleteEntry(0);
  for (const std::string& e : app::buildNetWareEntries(app::NetWareEntryKind::SerialNumbers, "S1, S2").entries)
    EXPECT_TRUE(f.addEntry(e)) << e;
  for (const std::string& e : app::buildNetWareEntries(app::NetWareEntryKind::SerialNumbers, "S2 S3").entries)
    f.addEntry(e);
  EXPECT_EQ(f.entries(), (std::vector<std::string>{"S1", "S2", "S3"}));
  sheet.close();
}
