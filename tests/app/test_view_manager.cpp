// The view tree: loading, the first run, opening views, and rename, move, delete and create with
// their result codes, including failures of the store (nothing may be lost).
#include <gtest/gtest.h>

#include "app/settings.h"
#include "devices/device.h"
#include "app/view_manager.h"
#include "view_test_support.h"

namespace {

using app::CViewManager;
using app::CViewNode;

struct FakeTreeUi final : app::ViewTreeUi {
  // Each call of createFirstView runs the next script; a missing one cancels.
  std::vector<std::function<CViewNode*(CViewManager&)>> scripts;
  std::vector<bool> answers;  // askYesNo answers in order; missing ones are No
  std::vector<std::string> asked;
  int editorCalls = 0;

  CViewNode* createFirstView(CViewManager& views) override {
    const auto i = static_cast<std::size_t>(editorCalls++);
    return i < scripts.size() ? scripts[i](views) : nullptr;
  }
  bool askYesNo(const std::string& text) override {
    asked.push_back(text);
    return asked.size() <= answers.size() && answers[asked.size() - 1];
  }
};

class ViewManagerTest : public ::testing::Test {
 protected:
  // Views\Lab (folder) with Views\Lab\Printers (view), Views\Office (view), Views\Serial (view).
  void seedTree() {
    auto& r = store.reg;
    r.setDword("Views\\Lab", "Type", 2);
    r.setDword("Views\\Lab", "Icons", 4);
    r.setDword("Views\\Lab\\Printers", "Type", 6);
    r.setDword("Views\\Lab\\Printers", "Icons", 16);
    r.setString("Views\\Lab\\Printers", "Columns", "System Name,IP Address");
    r.setString("Views\\Lab\\Printers", "dev0", "10.1.2.3");
    r.setDword("Views\\Office", "Type", 6);
    r.setDword("Views\\Office", "Icons", 16);
    r.setDword("Views\\Serial", "Type", 8);
    r.setDword("Views\\Serial", "Icons", 16);
  }
  int startWith(const std::string& currentView) {
    if (!currentView.empty()) store.reg.setString(app::kGeneralKey, "CurrentView", currentView);
    return views.start(ui, app::kProbeTcpIp | app::kProbeSerial);
  }

  ViewStore store;
  FakeDiscoveryFactory factory;
  FakeTreeUi ui;
  CViewManager views{store.reg, factory};
};

TEST_F(ViewManagerTest, FirstRunCreatesTheDefaultViewInItsProtocolFolder) {
  ui.scripts.push_back([](CViewManager& v) { return v.createDefaultView("All Print Servers", app::kNodeTcpIpView).node; });
  ASSERT_EQ(startWith(""), 0);
  ASSERT_NE(views.openNode(), nullptr);
  EXPECT_EQ(views.openNode()->name(), "All Print Servers");
  EXPECT_EQ(views.openNode()->parent()->name(), "TCP/IP");
  EXPECT_TRUE(ui.asked.empty());

  const auto& r = store.reg;
  EXPECT_EQ(r.getDword("Views\\TCP/IP", "Type", 0), 2u);
  EXPECT_EQ(r.getDword("Views\\TCP/IP", "Icons", 0), 7u);
  const std::string key = "Views\\TCP/IP\\All Print Servers";
  EXPECT_EQ(r.getDword(key, "Type", 0), 6u);
  EXPECT_EQ(r.getDword(key, "Icons", 0), 16u);
  EXPECT_EQ(r.getString(key, "Columns", ""), "System Name,IP Address,H/W Address,Port Status");
  EXPECT_EQ(r.getDword(key, "NetSearchBuild", 0), 1u);
  EXPECT_EQ(r.getDword(key, "ListBuild", 1), 0u);

  // The next start finds the same tree without asking.
  CViewManager again(store.reg, factory);
  FakeTreeUi quiet;
  EXPECT_EQ(again.start(quiet, 0), 0);
  EXPECT_EQ(quiet.editorCalls, 0);
  EXPECT_EQ(again.viewDef().columns().size(), 4u);
}

TEST_F(ViewManagerTest, FirstRunDeclinedEndsWithTenAndLeavesNoHalfMadeView) {
  // The editor creates a view (Next), then the user cancels; then says Yes, cancels at once, says No.
  ui.scripts.push_back([](CViewManager& v) {
    v.createView(v.root(), "Half", app::kNodeTcpIpView);
    return nullptr;
  });
  ui.answers = {true, false};
  EXPECT_EQ(startWith(""), app::kStartNoView);
  EXPECT_EQ(ui.editorCalls, 2);
  ASSERT_EQ(ui.asked.size(), 2u);
  EXPECT_EQ(ui.asked[0], app::kFirstViewQuestion);
  EXPECT_FALSE(store.reg.keyExists("Views\\Half"));
  EXPECT_EQ(views.viewCount(), 0u);
}

TEST_F(ViewManagerTest, LoadingSkipsIncompleteKeysAndConvertsOldFolderIcons) {
  seedTree();
  auto& r = store.reg;
  r.setDword("Views\\NoIcons", "Type", 6);
  r.setDword("Views\\NoIcons\\Inner", "Type", 6);
  r.setDword("Views\\NoIcons\\Inner", "Icons", 16);
  r.setDword("Views\\Old2", "Type", 2);
  r.setDword("Views\\Old2", "Icons", 0x20000);
  r.setDword("Views\\Old3", "Type", 2);
  r.setDword("Views\\Old3", "Icons", 0x30000);
  r.setDword("Views\\Old3\\office", "Type", 6);  // same name as Views\Office, case ignored
  r.setDword("Views\\Old3\\office", "Icons", 16);
  views.loadTree();

  EXPECT_EQ(views.find("NoIcons"), nullptr);
  EXPECT_EQ(views.find("Inner"), nullptr);
  ASSERT_NE(views.find("Old2"), nullptr);
  EXPECT_EQ(views.find("Old2")->icons(), 2);
  EXPECT_EQ(views.find("Old3")->icons(), 0);
  EXPECT_TRUE(views.find("Old3")->children().empty());
  EXPECT_EQ(views.find("OFFICE")->parent(), views.root());
  EXPECT_EQ(views.find("Printers")->key(), "Views\\Lab\\Printers");

  // Tree order: groups first, then views, each by name.
  std::vector<std::string> order;
  for (auto* n : views.root()->sortedChildren()) order.push_back(n->name());
  EXPECT_EQ(order, (std::vector<std::string>{"Lab", "Old2", "Old3", "Office", "Serial"}));
  int open = 0;
  EXPECT_EQ(views.viewNames(&open), (std::vector<std::string>{"Printers", "Office", "Serial"}));
  EXPECT_EQ(open, -1);
}

TEST_F(ViewManagerTest, CurrentViewOrTheFirstViewOpensAtStart) {
  seedTree();
  struct Case {
    const char* current;
    const char* opened;
  };
  const Case cases[] = {{"Office", "Office"}, {"Deleted Long Ago", "Printers"}, {"", "Printers"}};
  for (const auto& c : cases) {
    store.reg.deleteValue(app::kGeneralKey, "CurrentView");
    ASSERT_EQ(startWith(c.current), 0) << c.current;
    ASSERT_NE(views.openNode(), nullptr) << c.current;
    EXPECT_EQ(views.openNode()->name(), c.opened) << c.current;
    EXPECT_EQ(views.viewDef().node(), views.openNode()) << c.current;
  }
  EXPECT_EQ(ui.editorCalls, 0);
}

TEST_F(ViewManagerTest, OpeningKeepsOneDiscoveryPerViewAndWritesCurrentView) {
  seedTree();
  ASSERT_EQ(startWith("Office"), 0);
  EXPECT_EQ(factory.made, 1);
  auto r = views.openView(views.find("Printers"), false);
  EXPECT_TRUE(r.ok && r.changed && !r.hadDiscovery);
  EXPECT_EQ(store.reg.getString(app::kGeneralKey, "CurrentView", ""), "Printers");
  EXPECT_EQ(views.viewDef().searchList(), std::vector<std::string>{"10.1.2.3"});
  r = views.openView(views.find("Office"), false);
  EXPECT_TRUE(r.ok && r.changed && r.hadDiscovery);
  r = views.openView(views.find("Office"), false);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(factory.made, 2);
  EXPECT_EQ(factory.alive, 2);

  // An IPX view has no discovery method: it cannot be opened, its settings still load.
  store.reg.setDword("Views\\Ipx", "Type", 9);
  store.reg.setDword("Views\\Ipx", "Icons", 16);
  views.loadTree();
  EXPECT_EQ(factory.alive, 0);  // the old tree went with its discoveries
  EXPECT_FALSE(views.loadViewSettings(views.find("Ipx")));
  EXPECT_EQ(factory.requested.back(), 9);
}

TEST_F(ViewManagerTest, RenameChecksAndMovesTheWholeSubtree) {
  seedTree();
  ASSERT_EQ(startWith("Printers"), 0);
  CViewNode* lab = views.find("Lab");
  struct Case {
    const char* name;
    const char* newName;
    int code;
  };
  const Case cases[] = {
      {"empty", "", app::kViewNeedsName},
      {"backslash", "A\\B", app::kViewNameBackslash},
      {"existing other case", "OFFICE", app::kViewNameExists},
      {"the root's name", "views", app::kViewNameExists},
      {"same name other case", "LAB", app::kViewOk},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(views.renameNode(lab, c.newName), c.code) << c.name;
    EXPECT_EQ(lab->name(), "Lab") << c.name;
    EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "dev0", ""), "10.1.2.3") << c.name;
  }

  EXPECT_EQ(views.renameNode(lab, "Lab 2/East"), app::kViewOk);
  EXPECT_EQ(lab->name(), "Lab 2/East");
  EXPECT_FALSE(store.reg.keyExists("Views\\Lab"));
  EXPECT_EQ(store.reg.getString("Views\\Lab 2/East\\Printers", "dev0", ""), "10.1.2.3");
  EXPECT_EQ(views.openNode()->key(), "Views\\Lab 2/East\\Printers");

  // Renaming the open view follows it in General\CurrentView.
  EXPECT_EQ(views.renameNode(views.openNode(), "Printers East"), app::kViewOk);
  EXPECT_EQ(store.reg.getString(app::kGeneralKey, "CurrentView", ""), "Printers East");
  EXPECT_EQ(views.viewDef().name(), "Printers East");
}

TEST_F(ViewManagerTest, AFailedRenameLosesNothing) {
  seedTree();
  ASSERT_EQ(startWith("Office"), 0);
  CViewNode* lab = views.find("Lab");
  {
    FailingWrites failing(store.file);
    EXPECT_EQ(views.renameNode(lab, "Lab East"), app::kViewRegistryError);
  }
  // A name the store cannot hold fails the same way.
  EXPECT_EQ(views.renameNode(lab, std::string(300, 'x')), app::kViewRegistryError);
  // A leftover key of the new name is never merged into.
  store.reg.setString("Views\\Leftover", "Junk", "1");
  EXPECT_EQ(views.renameNode(lab, "Leftover"), app::kViewRegistryError);
  EXPECT_EQ(store.reg.getString("Views\\Leftover", "Junk", ""), "1");

  EXPECT_EQ(lab->name(), "Lab");
  store.reg.reload();
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "dev0", ""), "10.1.2.3");
  EXPECT_EQ(store.reg.getDword("Views\\Lab", "Type", 0), 2u);
}

TEST_F(ViewManagerTest, MoveRulesAndFailures) {
  seedTree();
  ASSERT_EQ(startWith("Office"), 0);
  CViewNode* lab = views.find("Lab");
  CViewNode* printers = views.find("Printers");
  CViewNode* office = views.find("Office");

  // Onto its own parent: no move, and the key is still there (no copy onto itself, no delete).
  EXPECT_EQ(views.moveNode(printers, lab), app::kViewOk);
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "dev0", ""), "10.1.2.3");

  EXPECT_EQ(views.moveNode(lab, lab), app::kViewBadTarget);
  EXPECT_EQ(views.moveNode(printers, office), app::kViewBadTarget);
  auto sub = views.createFolder(lab, "Sub", 2);
  ASSERT_EQ(sub.code, app::kViewOk);
  EXPECT_EQ(views.moveNode(lab, sub.node), app::kViewBadTarget);

  {
    FailingWrites failing(store.file);
    EXPECT_EQ(views.moveNode(office, lab), app::kKeyCopyFailed);
  }
  EXPECT_EQ(office->parent(), views.root());
  store.reg.reload();
  EXPECT_TRUE(store.reg.keyExists("Views\\Office"));

  // A key of that name already under the target: nothing copied, source kept.
  store.reg.setString("Views\\Lab\\Office", "Junk", "1");
  EXPECT_EQ(views.moveNode(office, lab), app::kKeyCopyTargetExists);
  EXPECT_TRUE(store.reg.keyExists("Views\\Office"));
  store.reg.deleteTree("Views\\Lab\\Office");

  EXPECT_EQ(views.moveNode(office, lab), app::kViewOk);
  EXPECT_EQ(office->parent(), lab);
  EXPECT_FALSE(store.reg.keyExists("Views\\Office"));
  EXPECT_EQ(store.reg.getDword("Views\\Lab\\Office", "Type", 0), 6u);
  EXPECT_EQ(views.viewDef().node(), office);
}

TEST_F(ViewManagerTest, NodeChangeOntoTheSameParentKeepsTheView) {
  seedTree();
  ASSERT_EQ(startWith("Printers"), 0);
  CViewNode* printers = views.openNode();
  views.viewDef().setNodeChange(18, printers->parent());
  EXPECT_EQ(views.saveViewSettings(), app::kSaveColumnsOnly);
  EXPECT_EQ(store.reg.getDword("Views\\Lab\\Printers", "Icons", 0), 18u);
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "dev0", ""), "10.1.2.3");

  views.viewDef().setNodeChange(18, printers->parent());  // nothing new
  EXPECT_EQ(views.saveViewSettings(), app::kSaveNothing);

  views.viewDef().setNodeChange(18, views.root());
  views.viewDef().setRefresh(120);
  EXPECT_EQ(views.saveViewSettings(), app::kSaveColumnsOnly);
  EXPECT_EQ(printers->parent(), views.root());
  EXPECT_EQ(store.reg.getDword("Views\\Printers", "Refresh", 0), 120u);
  EXPECT_FALSE(store.reg.keyExists("Views\\Lab\\Printers"));
}

TEST_F(ViewManagerTest, DeleteChecksAndFailures) {
  seedTree();
  ASSERT_EQ(startWith("Office"), 0);
  EXPECT_EQ(views.deleteCheck(views.root()), app::kViewCannotDelete);
  EXPECT_EQ(views.deleteCheck(views.find("Office")), app::kViewIsOpen);
  EXPECT_EQ(views.deleteCheck(views.find("Lab")), app::kViewFolderNotEmpty);
  EXPECT_EQ(views.deleteCheck(views.find("Serial")), app::kViewOk);
  EXPECT_EQ(views.deleteNode(views.find("Lab")), app::kViewFolderNotEmpty);
  EXPECT_EQ(views.deleteNode(views.find("Office")), app::kViewIsOpen);

  {
    FailingWrites failing(store.file);
    EXPECT_EQ(views.deleteNode(views.find("Serial")), app::kViewRegistryError);
  }
  ASSERT_NE(views.find("Serial"), nullptr);
  views.openView(views.find("Serial"), false);
  EXPECT_EQ(factory.alive, 2);
  views.openView(views.find("Office"), false);
  EXPECT_EQ(views.deleteNode(views.find("Serial")), app::kViewOk);
  EXPECT_EQ(views.find("Serial"), nullptr);
  EXPECT_FALSE(store.reg.keyExists("Views\\Serial"));
  EXPECT_EQ(factory.alive, 1);  // its discovery went with it

  EXPECT_EQ(views.deleteNode(views.find("Printers")), app::kViewOk);
  EXPECT_EQ(views.deleteNode(views.find("Lab")), app::kViewOk);
  EXPECT_EQ(views.deleteCheck(views.find("Office")), app::kViewIsOnlyView);
  EXPECT_EQ(views.nodes().size(), 1u);
}

TEST_F(ViewManagerTest, CreateChecksNamesAndPlacesNodes) {
  seedTree();
  ASSERT_EQ(startWith("Office"), 0);
  struct Case {
    const char* name;
    const char* newName;
    int type;
    int code;
  };
  const Case cases[] = {
      {"empty", "", 6, app::kViewNeedsName},
      {"backslash", "a\\b", 6, app::kViewNameBackslash},
      {"folder name other case", "lab", 6, app::kViewNameExists},
      {"no protocol", "New", 3, app::kViewNoProtocol},
  };
  for (const auto& c : cases) EXPECT_EQ(views.createView(views.root(), c.newName, c.type).code, c.code) << c.name;
  EXPECT_EQ(views.createFolder(views.root(), "office", 2).code, app::kViewNameExists);
  EXPECT_EQ(views.createFolder(views.find("Office"), "In A View", 2).code, app::kViewBadTarget);

  auto folder = views.createFolder(views.find("Lab"), "Floor 2", 40);  // beyond the folder images
  ASSERT_EQ(folder.code, app::kViewOk);
  EXPECT_EQ(folder.node->icons(), 15);
  EXPECT_EQ(views.nodes()[1], folder.node);  // right after its parent
  EXPECT_EQ(store.reg.getDword("Views\\Lab\\Floor 2", "Icons", 0), 15u);

  auto serial = views.createDefaultView("Bench", app::kNodeSerialView);
  ASSERT_EQ(serial.code, app::kViewOk);
  EXPECT_EQ(serial.node->parent(), views.root()) << "a view named Serial is no folder: the root is used";
  const std::string key = serial.node->key();
  EXPECT_EQ(store.reg.getString(key, "dev0", ""), "COM1");
  EXPECT_EQ(store.reg.getDword(key, "ListBuild", 0), 1u);
  EXPECT_EQ(store.reg.getDword(key, "NetSearchBuild", 1), 0u);
  EXPECT_EQ(store.reg.getString(key, "Columns", ""), "System Name,H/W Address,Serial Port,Port Status");

  auto nw = views.createDefaultView("Novell", app::kNodeNetWareView);
  ASSERT_EQ(nw.code, app::kViewOk);
  EXPECT_EQ(nw.node->parent()->name(), "NetWare");
  EXPECT_EQ(views.nodes()[0]->name(), "NetWare");  // a new protocol folder comes first
  EXPECT_EQ(store.reg.getString(nw.node->key(), "Sort", ""), ">NW Name");

  {
    FailingWrites failing(store.file);
    EXPECT_EQ(views.createFolder(views.root(), "Never", 0).code, app::kViewRegistryError);
  }
  EXPECT_EQ(views.find("Never"), nullptr);
}

TEST_F(ViewManagerTest, CopyKeyResults) {
  auto& r = store.reg;
  r.setString("Views\\A", "x", "1");
  r.setString("Views\\A\\Deep", "y", "2");
  r.setString("Views\\B", "z", "3");
  EXPECT_EQ(CViewManager::copyKey(r, "Views\\Missing", "Views\\C", true), app::kKeyCopyFailed);
  EXPECT_EQ(CViewManager::copyKey(r, "Views\\A", "Views\\B", true), app::kKeyCopyTargetExists);
  EXPECT_FALSE(r.value("Views\\B", "x"));
  EXPECT_EQ(CViewManager::copyKey(r, "Views\\A", "Views\\A\\Deep\\Inside", true), app::kKeyCopyIncomplete);
  EXPECT_EQ(r.getString("Views\\A\\Deep", "y", ""), "2");
  EXPECT_EQ(CViewManager::copyKey(r, "Views\\A", "Views\\C", false), app::kViewOk);
  EXPECT_EQ(r.getString("Views\\A\\Deep", "y", ""), "2");
  EXPECT_EQ(r.getString("Views\\C\\Deep", "y", ""), "2");
}

TEST_F(ViewManagerTest, ColumnLayoutAndSortAreWrittenAtOnce) {
  seedTree();
  ASSERT_EQ(startWith("Printers"), 0);
  const std::vector<int> widths = {210, 90};
  EXPECT_TRUE(views.saveColumnLayout({2, 0}, &widths));
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "Columns", ""), "IP Address,System Name");
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "ColWidths", ""), "210,90");
  EXPECT_FALSE(views.saveColumnLayout({2, 2}, &widths));
  EXPECT_TRUE(views.saveColumnLayout({2, 0}, nullptr));
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "ColWidths", ""), "Auto");
  EXPECT_TRUE(views.setSort(2, true, true));
  EXPECT_EQ(store.reg.getString("Views\\Lab\\Printers", "Sort", ""), "<IP Address");
  EXPECT_EQ(views.saveViewSettings(), app::kSaveNothing);
}

}  // namespace

namespace {

TEST_F(ViewManagerTest, FilterChoicesComeFromTheOpenViewsLastSearch) {
  seedTree();
  ASSERT_EQ(startWith("Office"), 0);
  EXPECT_TRUE(views.filterValueChoices(devices::kColProductType).empty());
  devices::CIpDevice a("10.0.0.1"), b("10.0.0.2"), c("10.0.0.3");
  a.productType.assign("PS-100");
  b.productType.assign("PS-200");
  c.productType.assign("PS-100");
  auto* fake = dynamic_cast<FakeDiscoveryFactory::Fake*>(views.openNode()->discovery());
  ASSERT_NE(fake, nullptr);
  fake->found = {&a, &b, &c};
  EXPECT_EQ(views.filterValueChoices(devices::kColProductType), (std::vector<std::string>{"PS-100", "PS-200"}));
  EXPECT_TRUE(app::isSpecialView("All Print Servers"));
  EXPECT_TRUE(app::isSpecialView("Unconfigured Print Servers"));
  EXPECT_FALSE(app::isSpecialView("Office"));
}

}  // namespace
