// The command table against the fixed command numbers, and the enabling and check rules as a
// table of window states.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/command_state.h"
#include "app/command_table.h"

using namespace app;

namespace {

// Every command number with its menu text as the product names it.
const std::vector<std::pair<cmd::CommandId, std::string>> kExpectedTexts = {
    {32790, "Save &List to File..."},   {32863, "Save IP &Addresses..."},
    {57665, "E&xit"},                   {32772, "&Configuration"},
    {32774, "&Status"},                 {32804, "&What's Wrong"},
    {32780, "&Print Configuration Sheet"}, {32777, "&Reset"},
    {32799, "Configuration Wi&zard"},   {32841, "&Multiple Configuration"},
    {32813, "S&ave Configuration"},     {32796, "R&estore Configuration"},
    {32801, "&Create New View"},        {32785, "&Modify Current View"},
    {32803, "&Select/Delete Views"},    {32789, "&Refresh List"},
    {32869, "St&op"},                   {32873, "&Tools"},
    {32874, "&View Select"},            {59393, "&Status"},
    {32816, "Show View &Tree"},         {32812, "View by &Printer"},
    {32806, "M&ulti-Select Mode"},      {32809, "&Search"},
    {32810, "Setup &Unlisted IP Server"}, {32807, "&Map Network Drive"},
    {32859, "Online Product &Registration"}, {32887, "&Network Information"},
    {32793, "&Telnet Session"},         {32817, "&HTTP Session"},
    {32888, "&Vigilo 32"},              {32776, "&Options"},
    {32811, "&Contents"},               {32882, "E-Mail Support"},
    {57664, "&About Trellan"},          {32835, "&Open"},
    {32861, "Open and Re&fresh"},       {32862, "Open in New &Window"},
    {32826, "&Modify"},                 {32860, "&Rename"},
    {32827, "&Delete"},                 {32839, "&View"},
    {32838, "&Folder"},                 {32884, "Select &All"},
    {32885, "Select &None"},
    {59139, "Lar&ge Icons"},            {59138, "Small &Icons"},
    {59140, "&List"},                   {59141, "&Details"},
};

TEST(CommandTable, HoldsEveryCommandOnceWithItsText) {
  std::set<cmd::CommandId> seen;
  for (const CommandInfo& c : commandTable()) {
    EXPECT_TRUE(seen.insert(c.id).second) << "duplicate " << c.id;
  }
  EXPECT_EQ(seen.size(), kExpectedTexts.size());
  for (const auto& [id, text] : kExpectedTexts) {
    const CommandInfo* c = findCommand(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_EQ(std::string(c->text), text) << id;
  }
  EXPECT_EQ(findCommand(0), nullptr);
  EXPECT_EQ(findCommand(12345), nullptr);
}

TEST(CommandTable, AcceleratorsAsListed) {
  const std::vector<std::pair<cmd::CommandId, std::string>> accels = {
      {cmd::kConfiguration, "Alt+C"}, {cmd::kStatus, "Alt+S"}, {cmd::kWhatsWrong, "Alt+W"},
      {cmd::kReset, "Alt+R"},         {cmd::kWizard, "Alt+Z"}, {cmd::kRefresh, "F5"},
      {cmd::kStop, "Esc"},            {cmd::kHelpContents, "F1"},
  };
  std::set<cmd::CommandId> withAccel;
  for (const auto& [id, key] : accels) {
    withAccel.insert(id);
    ASSERT_NE(findCommand(id)->accelerator, nullptr) << id;
    EXPECT_EQ(std::string(findCommand(id)->accelerator), key) << id;
  }
  for (const CommandInfo& c : commandTable())
    if (!withAccel.count(c.id)) {
      EXPECT_EQ(c.accelerator, nullptr) << c.id;
    }
}

TEST(CommandTable, MenusReferToCommandsAndEveryCommandHasAPlace) {
  std::set<cmd::CommandId> placed;
  const MenuKind all[] = {MenuKind::File, MenuKind::Server, MenuKind::View, MenuKind::Tools, MenuKind::Help,
                          MenuKind::TreePopup, MenuKind::ServerPopup, MenuKind::MultiSelectPopup};
  for (MenuKind m : all) {
    const auto items = menuLayout(m);
    ASSERT_FALSE(items.empty());
    // Mnemonics are unique among the lines of one menu level.
    std::map<long, std::set<char>> mnemonics;
    long parent = -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
      const MenuItem& item = items[i];
      EXPECT_LE(item.depth, 1) << "menu " << int(m);
      if (item.depth == 0) parent = -1;
      const std::string text = menuItemText(item);
      const auto amp = text.find('&');
      if (amp != std::string::npos && amp + 1 < text.size()) {
        const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(text[amp + 1])));
        EXPECT_TRUE(mnemonics[parent].insert(key).second) << "menu " << int(m) << ": " << text;
      }
      if (item.kind == MenuItem::Submenu) parent = static_cast<long>(i);
      if (item.kind != MenuItem::Command) continue;
      ASSERT_NE(findCommand(item.id), nullptr) << item.id;
      placed.insert(item.id);
    }
  }
  for (const CommandInfo& c : commandTable()) {
    EXPECT_TRUE(placed.count(c.id)) << c.id << " is in no menu";
    const auto place = findMenuPlace(c.id);
    ASSERT_TRUE(place.has_value()) << c.id;
    // A command's home is where the menu layouts first put it.
    EXPECT_EQ(place->menu, c.home) << c.id;
  }
  EXPECT_EQ(mainMenuBar().size(), 5u);
}

TEST(CommandTable, PopupTextsOfTheMultiSelectMenu) {
  std::vector<std::string> texts;
  for (const MenuItem& item : menuLayout(MenuKind::MultiSelectPopup))
    if (item.kind == MenuItem::Command) texts.push_back(menuItemText(item));
  const std::vector<std::string> expected = {"Configure Selected Devices", "Select &All", "Select &None",
                                             "Reset Selected Devices", "Return to &Standard Mode"};
  EXPECT_EQ(texts, expected);
}

TEST(CommandTable, ToolBarPositionsAreDistinct) {
  std::set<int> positions;
  for (const CommandInfo& c : commandTable())
    if (c.toolBarPosition >= 0) {
      EXPECT_TRUE(positions.insert(c.toolBarPosition).second) << c.id;
    }
  EXPECT_TRUE(positions.count(findCommand(cmd::kRefresh)->toolBarPosition));
}

TEST(CommandTable, NotAvailableMessageNamesTheCommand) {
  EXPECT_EQ(notAvailableMessage(cmd::kWizard), "Configuration Wizard: not available in this build.");
  EXPECT_EQ(notAvailableMessage(cmd::kMultipleConfiguration), "Multiple Configuration: not available in this build.");
  EXPECT_EQ(notAvailableMessage(cmd::kSaveList), "Save List to File: not available in this build.");
  EXPECT_EQ(notAvailableMessage(4242), "Command 4242: not available in this build.");
  EXPECT_EQ(plainMenuText("Fish && &Chips..."), "Fish & Chips");
}

TEST(CommandTable, FeaturesOfLaterIssuesAreNotInThisBuild) {
  for (cmd::CommandId id : {cmd::kMapNetworkDrive})
    EXPECT_FALSE(featureInBuild(findCommand(id)->feature)) << id;
  for (cmd::CommandId id : {cmd::kConfiguration, cmd::kStatus, cmd::kRefresh, cmd::kStop, cmd::kRegistration, cmd::kEmailSupport,
                            cmd::kHelpContents, cmd::kVigilo, cmd::kTelnet, cmd::kHttp, cmd::kNetworkInformation,
                            cmd::kReset, cmd::kSaveConfiguration, cmd::kRestoreConfiguration, cmd::kUnlistedIpServer,
                            cmd::kCreateView, cmd::kModifyView, cmd::kSelectViews, cmd::kOptions, cmd::kSaveList,
                            cmd::kSaveIpAddresses, cmd::kWizard, cmd::kMultipleConfiguration})
    EXPECT_TRUE(featureInBuild(findCommand(id)->feature)) << id;
}

// --- enabling rules ---

CommandState focusedRow() {
  CommandState s;
  s.viewProtocol = 6;
  s.listHasFocus = true;
  s.selectedCount = 1;
  s.focusedAnswered = true;
  s.focusedConfigured = true;
  s.focusedReplyFormat = 1;
  return s;
}

const std::vector<cmd::CommandId> kServerCommands = {
    cmd::kConfiguration, cmd::kStatus,    cmd::kWhatsWrong, cmd::kPrintConfigSheet,     cmd::kReset,
    cmd::kWizard,        cmd::kSaveConfiguration, cmd::kRestoreConfiguration, cmd::kMultipleConfiguration};

struct RuleCase {
  const char* name;
  CommandState state;
  std::set<cmd::CommandId> enabled;  // of the commands in `ids`
  std::vector<cmd::CommandId> ids;
};

TEST(CommandRules, ServerCommands) {
  CommandState noFocus = focusedRow();
  noFocus.listHasFocus = false;
  CommandState noRow = focusedRow();
  noRow.selectedCount = 0;
  CommandState second = focusedRow();
  second.focusedSecondFamily = true;
  CommandState multi = focusedRow();
  multi.multiSelect = true;
  CommandState multiNoRow = multi;
  multiNoRow.selectedCount = 0;
  CommandState multiSecond = multi;
  multiSecond.focusedSecondFamily = true;
  CommandState multiNoFocus = multi;
  multiNoFocus.listHasFocus = false;
  CommandState notAnswered = focusedRow();
  notAnswered.focusedAnswered = false;
  notAnswered.focusedConfigured = false;

  const std::set<cmd::CommandId> all(kServerCommands.begin(), kServerCommands.end());
  const std::vector<RuleCase> cases = {
      {"list without focus", noFocus, {}, kServerCommands},
      {"focused list, no row", noRow, {}, kServerCommands},
      {"native device", focusedRow(), all, kServerCommands},
      {"device that has not answered (queried again by the command)", notAnswered, all, kServerCommands},
      {"second family",
       second,
       {cmd::kConfiguration, cmd::kStatus, cmd::kWhatsWrong, cmd::kWizard, cmd::kMultipleConfiguration},
       kServerCommands},
      {"multi-select", multi, {cmd::kMultipleConfiguration, cmd::kReset}, kServerCommands},
      {"multi-select without a selected row", multiNoRow, {cmd::kMultipleConfiguration, cmd::kReset},
       kServerCommands},
      {"multi-select, second family focused", multiSecond, {cmd::kMultipleConfiguration, cmd::kReset},
       kServerCommands},
      {"multi-select, list without focus", multiNoFocus, {}, kServerCommands},
  };
  for (const RuleCase& c : cases)
    for (cmd::CommandId id : c.ids)
      EXPECT_EQ(commandEnabled(id, c.state), c.enabled.count(id) != 0) << c.name << ": command " << id;
}

TEST(CommandRules, SearchAndProtocolRules) {
  const std::vector<cmd::CommandId> ids = {cmd::kRefresh, cmd::kStop,  cmd::kTelnet,
                                           cmd::kHttp,    cmd::kSaveIpAddresses, cmd::kSearch};
  auto view = [](int protocol, bool searching) {
    CommandState s;
    s.viewProtocol = protocol;
    s.searching = searching;
    return s;
  };
  const std::vector<RuleCase> cases = {
      {"TCP/IP idle", view(6, false), {cmd::kRefresh, cmd::kTelnet, cmd::kHttp, cmd::kSaveIpAddresses, cmd::kSearch}, ids},
      {"TCP/IP searching", view(6, true), {cmd::kStop, cmd::kTelnet, cmd::kHttp, cmd::kSaveIpAddresses, cmd::kSearch}, ids},
      {"NetWare", view(7, false), {cmd::kRefresh, cmd::kSearch}, ids},
      {"serial (8 & 7 is 0)", view(8, false), {cmd::kRefresh}, ids},
      {"IPX (9 & 7 is 1)", view(9, true), {cmd::kStop, cmd::kSearch}, ids},
      {"no open view", view(0, false), {cmd::kRefresh}, ids},
  };
  for (const RuleCase& c : cases)
    for (cmd::CommandId id : c.ids)
      EXPECT_EQ(commandEnabled(id, c.state), c.enabled.count(id) != 0) << c.name << ": command " << id;
}

TEST(CommandRules, AlwaysAndNeverEnabled) {
  CommandState s;  // nothing open, nothing focused
  for (cmd::CommandId id : {cmd::kExit, cmd::kSaveList, cmd::kCreateView, cmd::kModifyView, cmd::kSelectViews,
                            cmd::kToolBar, cmd::kViewSelectBar, cmd::kStatusBar, cmd::kShowViewTree,
                            cmd::kViewByPrinter, cmd::kMultiSelectMode, cmd::kUnlistedIpServer,
                            cmd::kNetworkInformation, cmd::kVigilo, cmd::kOptions, cmd::kHelpContents,
                            cmd::kRegistration, cmd::kEmailSupport, cmd::kAbout})
    EXPECT_TRUE(commandEnabled(id, s)) << id;
  // No connect-network-drive dialog exists here: the command stays, disabled.
  CommandState busy = focusedRow();
  EXPECT_FALSE(commandEnabled(cmd::kMapNetworkDrive, s));
  EXPECT_FALSE(commandEnabled(cmd::kMapNetworkDrive, busy));
  EXPECT_NE(findCommand(cmd::kMapNetworkDrive)->statusTip, nullptr);
  EXPECT_FALSE(commandEnabled(99999, s));
}

TEST(CommandRules, MultiSelectPopupTicking) {
  CommandState s = focusedRow();
  EXPECT_FALSE(commandEnabled(cmd::kSelectAll, s));
  EXPECT_FALSE(commandEnabled(cmd::kSelectNone, s));
  s.multiSelect = true;
  EXPECT_TRUE(commandEnabled(cmd::kSelectAll, s));
  EXPECT_TRUE(commandEnabled(cmd::kSelectNone, s));
}

TEST(CommandRules, TreePopup) {
  auto node = [](bool isView, bool hasChildren, bool searched, bool refreshAlways) {
    CommandState s;
    s.treeNode.present = true;
    s.treeNode.isView = isView;
    s.treeNode.hasChildren = hasChildren;
    s.treeNode.searched = searched;
    s.refreshAlways = refreshAlways;
    return s;
  };
  const std::vector<cmd::CommandId> ids = {cmd::kTreeOpen,   cmd::kTreeOpenRefresh, cmd::kTreeOpenNewWindow,
                                           cmd::kTreeModify, cmd::kTreeRename,      cmd::kTreeDelete,
                                           cmd::kTreeNewView, cmd::kTreeNewFolder};
  const std::set<cmd::CommandId> always = {cmd::kTreeRename, cmd::kTreeNewView, cmd::kTreeNewFolder};
  struct TreeCase {
    const char* name;
    CommandState state;
    std::set<cmd::CommandId> enabled;
    cmd::CommandId defaultItem;
  };
  auto with = [&](std::set<cmd::CommandId> extra) {
    extra.insert(always.begin(), always.end());
    return extra;
  };
  const std::vector<TreeCase> cases = {
      {"searched view", node(true, false, true, false),
       with({cmd::kTreeOpen, cmd::kTreeOpenRefresh, cmd::kTreeOpenNewWindow, cmd::kTreeModify, cmd::kTreeDelete}),
       cmd::kTreeOpen},
      {"searched view, RefreshAlways", node(true, false, true, true),
       with({cmd::kTreeOpen, cmd::kTreeOpenRefresh, cmd::kTreeOpenNewWindow, cmd::kTreeModify, cmd::kTreeDelete}),
       cmd::kTreeOpenRefresh},
      {"view never searched", node(true, false, false, false),
       with({cmd::kTreeOpenRefresh, cmd::kTreeOpenNewWindow, cmd::kTreeModify, cmd::kTreeDelete}),
       cmd::kTreeOpenRefresh},
      {"empty folder", node(false, false, false, false), with({cmd::kTreeDelete}), 0},
      {"folder with children", node(false, true, false, false), with({}), 0},
  };
  for (const TreeCase& c : cases) {
    for (cmd::CommandId id : ids)
      EXPECT_EQ(commandEnabled(id, c.state), c.enabled.count(id) != 0) << c.name << ": command " << id;
    EXPECT_EQ(treePopupDefault(c.state), c.defaultItem) << c.name;
  }
  CommandState s;
  EXPECT_EQ(viewSelectionCommand(s), cmd::kTreeOpen);
  s.refreshAlways = true;
  EXPECT_EQ(viewSelectionCommand(s), cmd::kTreeOpenRefresh);
}

TEST(CommandRules, CheckMarksFollowPanesAndModes) {
  struct CheckCase {
    cmd::CommandId id;
    bool CommandState::*field;
  };
  const CheckCase cases[] = {
      {cmd::kShowViewTree, &CommandState::treeShown},     {cmd::kViewByPrinter, &CommandState::viewByPrinter},
      {cmd::kMultiSelectMode, &CommandState::multiSelect}, {cmd::kToolBar, &CommandState::toolBarVisible},
      {cmd::kViewSelectBar, &CommandState::viewSelectBarVisible},
      {cmd::kStatusBar, &CommandState::statusBarVisible},
  };
  for (const CheckCase& c : cases) {
    EXPECT_TRUE(commandCheckable(c.id)) << c.id;
    for (bool on : {false, true}) {
      CommandState s;
      s.treeShown = s.viewByPrinter = s.multiSelect = s.toolBarVisible = s.viewSelectBarVisible =
          s.statusBarVisible = !on;
      s.*(c.field) = on;
      EXPECT_EQ(commandChecked(c.id, s), on) << "command " << c.id;
    }
  }
  CommandState s;
  s.multiSelect = s.viewByPrinter = true;
  for (const CommandInfo& c : commandTable())
    if (!commandCheckable(c.id)) {
      EXPECT_FALSE(commandChecked(c.id, s)) << c.id;
    }
}

}  // namespace
