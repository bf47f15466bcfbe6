// What the tree pane decides without widgets: the questions, when a drop beeps, the pop-up's
// enabled and default items, and the move, rename and delete flows against a real view manager
// in a scratch store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/settings.h"
#include "app/view_manager.h"
#include "app/view_tree_actions.h"
#include "view_test_support.h"

namespace {

using app::CViewNode;
using app::TreeOutcome;
namespace cmd = app::cmd;

// Records what a flow asked, said and beeped; answers Yes or No as told.
struct FakeDialogs {
  bool answer = false;
  std::vector<std::string> asked;
  std::vector<std::string> shown;
  int beeps = 0;

  app::TreeDialogs dialogs() {
    return {[this](const std::string& q) {
              asked.push_back(q);
              return answer;
            },
            [this](const std::string& m) { shown.push_back(m); }, [this] { ++beeps; }};
  }
};

class ViewTreeActionsTest : public ::testing::Test {
 protected:
  // Views: Lab (folder) { Printers (view), Sub (folder) { Deep (view), Inner (folder) } },
  // Empty (folder),
  // Office (view), Serial (view). Office is open (so it has been searched).
  void SetUp() override {
    auto& r = store.reg;
    auto node = [&r](const std::string& key, int type, int icons) {
      r.setDword(key, "Type", static_cast<std::uint32_t>(type));
      r.setDword(key, "Icons", static_cast<std::uint32_t>(icons));
    };
    node("Views\\Lab", 2, 4);
    node("Views\\Lab\\Printers", 6, 16);
    r.setString("Views\\Lab\\Printers", "dev0", "10.1.2.3");
    node("Views\\Lab\\Sub", 2, 0);
    node("Views\\Lab\\Sub\\Deep", 6, 16);
    node("Views\\Lab\\Sub\\Inner", 2, 0);
    node("Views\\Empty", 2, 2);
    node("Views\\Office", 6, 16);
    node("Views\\Serial", 8, 16);
    views.loadTree();
    ASSERT_TRUE(views.openView(views.find("Office"), false).ok);
  }
  CViewNode* n(const char* name) { return views.find(name); }

  ViewStore store;
  FakeDiscoveryFactory factory;
  app::CViewManager views{store.reg, factory};
  FakeDialogs ui;
};

TEST_F(ViewTreeActionsTest, QuestionsNameTheKindAndKeepNamesAsTheyAre) {
  EXPECT_EQ(app::moveQuestion(*n("Office"), *n("Lab")), "Move the view \"Office\" to the group \"Lab\"?");
  EXPECT_EQ(app::moveQuestion(*n("Sub"), *views.root()), "Move the group \"Sub\" to the group \"Views\"?");
  EXPECT_EQ(app::deleteQuestion(*n("Empty")), "Delete the group \"Empty\"?");
  EXPECT_EQ(app::deleteQuestion(*n("Serial")), "Delete the view \"Serial\"?");
  // A name with format characters is text, not a format.
  ASSERT_EQ(views.renameNode(n("Serial"), "100% %s \"COM\""), app::kViewOk);
  EXPECT_EQ(app::deleteQuestion(*n("100% %s \"COM\"")), "Delete the view \"100% %s \"COM\"\"?");
}

TEST_F(ViewTreeActionsTest, DropRules) {
  struct Case {
    const char* name;
    const CViewNode* node;
    const CViewNode* target;
    bool beeps;
  };
  const Case cases[] = {
      {"no node", nullptr, n("Lab"), true},
      {"no target", n("Office"), nullptr, true},
      {"the root dragged", views.root(), n("Lab"), true},
      {"onto itself", n("Lab"), n("Lab"), true},
      {"onto its child", n("Lab"), n("Sub"), true},
      {"onto a grandchild", n("Lab"), n("Inner"), true},
      {"onto its parent", n("Printers"), n("Lab"), true},
      {"view onto the root it sits in", n("Office"), views.root(), true},
      {"onto a view", n("Office"), n("Printers"), true},
      {"folder onto a view", n("Empty"), n("Serial"), true},
      {"view into a folder", n("Office"), n("Lab"), false},
      {"view up to the root", n("Printers"), views.root(), false},
      {"view two levels up", n("Deep"), n("Lab"), false},
      {"folder into a sibling folder", n("Empty"), n("Sub"), false},
      {"folder up to the root", n("Sub"), views.root(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(app::dropBeeps(c.node, c.target), c.beeps) << c.name;
}

TEST_F(ViewTreeActionsTest, PopupEnablingAndDefault) {
  // Serial was never opened: no discovery yet.
  ASSERT_EQ(n("Serial")->discovery(), nullptr);
  ASSERT_NE(n("Office")->discovery(), nullptr);
  const std::vector<cmd::CommandId> ids = {cmd::kTreeOpen,   cmd::kTreeOpenRefresh, cmd::kTreeOpenNewWindow,
                                           cmd::kTreeModify, cmd::kTreeRename,      cmd::kTreeDelete,
                                           cmd::kTreeNewView, cmd::kTreeNewFolder};
  struct Case {
    const char* name;
    const CViewNode* node;
    bool refreshAlways;
    // Enabled per id in the order above, then the default item.
    std::vector<bool> enabled;
    cmd::CommandId defaultId;
  };
  const Case cases[] = {
      {"no item", nullptr, false, {false, false, false, false, false, false, true, true}, 0},
      {"root", views.root(), false, {false, false, false, false, false, false, true, true}, 0},
      {"folder with members", n("Lab"), false, {false, false, false, false, true, false, true, true}, 0},
      {"empty folder", n("Empty"), true, {false, false, false, false, true, true, true, true}, 0},
      {"view never searched", n("Serial"), false, {false, true, true, true, true, true, true, true},
       cmd::kTreeOpenRefresh},
      {"view searched", n("Office"), false, {true, true, true, true, true, true, true, true}, cmd::kTreeOpen},
      {"view searched, refresh always", n("Office"), true, {true, true, true, true, true, true, true, true},
       cmd::kTreeOpenRefresh},
  };
  for (const auto& c : cases) {
    for (std::size_t i = 0; i < ids.size(); ++i) {
      EXPECT_EQ(app::treePopupEnabled(ids[i], c.node, c.refreshAlways, true), c.enabled[i])
          << c.name << ", command " << ids[i];
      // Without a view manager the pop-up offers nothing.
      EXPECT_FALSE(app::treePopupEnabled(ids[i], c.node, c.refreshAlways, false)) << c.name << ", " << ids[i];
    }
    EXPECT_EQ(app::treePopupDefaultItem(c.node, c.refreshAlways), c.defaultId) << c.name;
  }
}

TEST_F(ViewTreeActionsTest, OwnedNodeKnowsOnlyTheManagersNodes) {
  EXPECT_EQ(app::ownedNode(views, views.root()), views.root());
  EXPECT_EQ(app::ownedNode(views, n("Deep")), n("Deep"));
  EXPECT_EQ(app::ownedNode(views, nullptr), nullptr);
  CViewNode stranger("Office", app::kNodeTcpIpView, app::kViewIcons);
  EXPECT_EQ(app::ownedNode(views, &stranger), nullptr);
}

TEST_F(ViewTreeActionsTest, MoveAsksAndMovesOnlyOnYes) {
  ui.answer = false;
  EXPECT_EQ(app::moveFlow(views, n("Office"), n("Lab"), ui.dialogs()), TreeOutcome::Declined);
  EXPECT_EQ(ui.asked, std::vector<std::string>{"Move the view \"Office\" to the group \"Lab\"?"});
  EXPECT_EQ(n("Office")->parent(), views.root());
  EXPECT_TRUE(store.reg.keyExists("Views\\Office"));

  ui.answer = true;
  EXPECT_EQ(app::moveFlow(views, n("Sub"), views.root(), ui.dialogs()), TreeOutcome::Done);
  EXPECT_EQ(n("Sub")->parent(), views.root());
  EXPECT_FALSE(store.reg.keyExists("Views\\Lab\\Sub"));
  EXPECT_EQ(store.reg.getDword("Views\\Sub\\Deep", "Type", 0), 6u);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(ui.beeps, 0);

  // A bad target beeps and asks nothing.
  ui.asked.clear();
  EXPECT_EQ(app::moveFlow(views, n("Lab"), n("Printers"), ui.dialogs()), TreeOutcome::Beeped);
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_TRUE(ui.asked.empty());
}

TEST_F(ViewTreeActionsTest, AFailedMoveIsReportedAndKeepsTheNode) {
  ui.answer = true;
  store.reg.setString("Views\\Lab\\Office", "Junk", "1");  // a leftover key in the way
  EXPECT_EQ(app::moveFlow(views, n("Office"), n("Lab"), ui.dialogs()), TreeOutcome::Failed);
  EXPECT_EQ(ui.shown, std::vector<std::string>{"There was an error writing information to the registry."});
  EXPECT_EQ(n("Office")->parent(), views.root());
  EXPECT_TRUE(store.reg.keyExists("Views\\Office"));
}

TEST_F(ViewTreeActionsTest, RenameOutcomes) {
  struct Case {
    const char* name;
    const char* newName;
    TreeOutcome outcome;
    const char* message;  // nullptr: none shown
    const char* nameAfter;
  };
  const Case cases[] = {
      {"duplicate", "office", TreeOutcome::Failed, "A view or group with that name already exists.", "Lab"},
      {"the root's name", "Views", TreeOutcome::Failed, "A view or group with that name already exists.", "Lab"},
      {"empty", "", TreeOutcome::Failed, "The view must have a name.", "Lab"},
      {"backslash", "a\\b", TreeOutcome::Failed, "A view or group name may not contain \"\\\".", "Lab"},
      {"unchanged", "Lab", TreeOutcome::Nothing, nullptr, "Lab"},
      {"case only", "LAB", TreeOutcome::Nothing, nullptr, "Lab"},
      {"new name", "Lab East", TreeOutcome::Done, nullptr, "Lab East"},
  };
  CViewNode* lab = n("Lab");
  for (const auto& c : cases) {
    ui.shown.clear();
    EXPECT_EQ(app::renameFlow(views, lab, c.newName, ui.dialogs()), c.outcome) << c.name;
    EXPECT_EQ(ui.shown, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{}) << c.name;
    EXPECT_EQ(lab->name(), c.nameAfter) << c.name;
  }
  EXPECT_FALSE(store.reg.keyExists("Views\\Lab"));
  EXPECT_EQ(store.reg.getString("Views\\Lab East\\Printers", "dev0", ""), "10.1.2.3");
  // The root is never renamed (it is not a key of its own), and says nothing about deleting.
  ui.shown.clear();
  EXPECT_EQ(app::renameFlow(views, views.root(), "Top", ui.dialogs()), TreeOutcome::Nothing);
  EXPECT_EQ(views.root()->name(), "Views");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ViewTreeActionsTest, DeleteOutcomes) {
  struct Case {
    const char* name;
    CViewNode* node;
    bool answer;
    TreeOutcome outcome;
    const char* message;   // shown, or nullptr
    const char* question;  // asked, or nullptr
  };
  const Case cases[] = {
      {"nothing selected", nullptr, true, TreeOutcome::Refused, "There is no view selected.", nullptr},
      {"the open view", n("Office"), true, TreeOutcome::Refused,
       "The selected view is currently open and cannot be deleted. First open a different view, then delete the view.",
       nullptr},
      {"the root", views.root(), true, TreeOutcome::Refused, "That view cannot be deleted.", nullptr},
      {"group with members", n("Lab"), true, TreeOutcome::Refused, "Delete sub-views before deleting group.", nullptr},
      {"declined", n("Serial"), false, TreeOutcome::Declined, nullptr, "Delete the view \"Serial\"?"},
      {"empty group", n("Empty"), true, TreeOutcome::Done, nullptr, "Delete the group \"Empty\"?"},
      {"a view", n("Deep"), true, TreeOutcome::Done, nullptr, "Delete the view \"Deep\"?"},
  };
  for (const auto& c : cases) {
    ui.asked.clear();
    ui.shown.clear();
    ui.answer = c.answer;
    EXPECT_EQ(app::deleteFlow(views, c.node, ui.dialogs()), c.outcome) << c.name;
    EXPECT_EQ(ui.shown, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{}) << c.name;
    EXPECT_EQ(ui.asked, c.question ? std::vector<std::string>{c.question} : std::vector<std::string>{}) << c.name;
  }
  EXPECT_TRUE(store.reg.keyExists("Views\\Serial"));
  EXPECT_FALSE(store.reg.keyExists("Views\\Empty"));
  EXPECT_FALSE(store.reg.keyExists("Views\\Lab\\Sub\\Deep"));
  EXPECT_TRUE(store.reg.keyExists("Views\\Lab\\Sub"));
  EXPECT_EQ(views.find("Empty"), nullptr);
  EXPECT_EQ(n("Sub")->children().size(), 1u);
}

TEST_F(ViewTreeActionsTest, TheOnlyViewCannotBeDeleted) {
  // Leave Office as the one view.
  ui.answer = true;
  for (const char* name : {"Printers", "Deep", "Serial"}) {
    ASSERT_EQ(app::deleteFlow(views, n(name), ui.dialogs()), TreeOutcome::Done) << name;
  }
  ui.shown.clear();
  EXPECT_EQ(app::deleteFlow(views, n("Office"), ui.dialogs()), TreeOutcome::Refused);
  EXPECT_EQ(ui.shown,
            std::vector<std::string>{"At least one view is required. Create a new view before deleting this one."});
}

TEST_F(ViewTreeActionsTest, AFailedDeleteIsReported) {
  ui.answer = true;
  {
    FailingWrites failing(store.file);
    EXPECT_EQ(app::deleteFlow(views, n("Serial"), ui.dialogs()), TreeOutcome::Failed);
  }
  EXPECT_EQ(ui.shown, std::vector<std::string>{"There was an error writing information to the registry."});
  ASSERT_NE(n("Serial"), nullptr);
  store.reg.reload();
  EXPECT_TRUE(store.reg.keyExists("Views\\Serial"));
}

TEST_F(ViewTreeActionsTest, FlowsWithoutDialogsAnswerNo) {
  const app::TreeDialogs none;
  EXPECT_EQ(app::moveFlow(views, n("Office"), n("Lab"), none), TreeOutcome::Declined);
  EXPECT_EQ(app::deleteFlow(views, n("Serial"), none), TreeOutcome::Declined);
  EXPECT_EQ(app::moveFlow(views, n("Lab"), n("Lab"), none), TreeOutcome::Beeped);
  EXPECT_EQ(n("Office")->parent(), views.root());
  EXPECT_NE(n("Serial"), nullptr);
}

}  // namespace
