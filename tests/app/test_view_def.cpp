// A view's settings in the registry: round trips, defaults, untrusted column and width lists,
// sort and filter texts, the search list, and saving when the store cannot be written.
#include <gtest/gtest.h>

#include "app/view_def.h"
#include "devices/device.h"
#include "view_test_support.h"

namespace {

using namespace devices;
const std::string kKey = "Views\\TCP/IP\\Lab";

class ViewDefTest : public ::testing::Test {
 protected:
  app::CViewDef loaded() {
    app::CViewDef d;
    d.load(store.reg, kKey);
    return d;
  }
  ViewStore store;
};

TEST_F(ViewDefTest, MissingValuesGiveTheDefaults) {
  const app::CViewDef d = loaded();
  EXPECT_EQ(d.columns(), std::vector<int>{kColSystemName});
  EXPECT_TRUE(d.autoWidths());
  EXPECT_TRUE(d.localSearch());
  EXPECT_FALSE(d.listSearch());
  EXPECT_TRUE(d.searchList().empty());
  EXPECT_EQ(d.refresh(), 0);
  EXPECT_EQ(d.sortColumn(), kColSystemName);
  EXPECT_FALSE(d.sortDescending());
  EXPECT_EQ(d.filterColumn(), kNoColumn);
  EXPECT_FALSE(d.changed());
}

TEST_F(ViewDefTest, EverySettingSurvivesSaveAndLoad) {
  app::CViewDef d = loaded();
  ASSERT_TRUE(d.setColumns({kColIpAddress, kColSystemName, kColPortStatus, kColLocation}));
  d.setAutoWidths(false);
  d.setColumnWidth(kColIpAddress, 150);
  d.setColumnWidth(kColSystemName, 120);
  d.setLocalSearch(false);
  d.setListSearch(true);
  d.setSearchList({"10.1.2.3", "10.1.3.*", "Multicast<5>", "File</tmp/a b.txt>"});
  d.setRefresh(600);
  d.setSort(kColIpAddress, true);
  d.setFilter(kColProductType, {"PS-1*", "LAB"});
  EXPECT_EQ(d.save(store.reg, kKey), app::kSaveNeedsSearch);
  EXPECT_FALSE(d.changed());

  const app::CViewDef r = loaded();
  EXPECT_EQ(r.columns(), d.columns());
  EXPECT_FALSE(r.autoWidths());
  EXPECT_EQ(r.widths().width(kColIpAddress), 150);
  EXPECT_EQ(r.widths().width(kColSystemName), 120);
  EXPECT_FALSE(r.localSearch());
  EXPECT_TRUE(r.listSearch());
  EXPECT_EQ(r.searchList(), d.searchList());
  EXPECT_EQ(r.refresh(), 600);
  EXPECT_EQ(r.sortColumn(), kColIpAddress);
  EXPECT_TRUE(r.sortDescending());
  EXPECT_EQ(r.filterColumn(), kColProductType);
  EXPECT_EQ(r.filterValues(), (std::vector<std::string>{"PS-1*", "LAB"}));

  // The layout is the one the GUI and older data use.
  EXPECT_EQ(store.reg.getString(kKey, "Columns", ""), "IP Address,System Name,Port Status,Location");
  EXPECT_EQ(store.reg.getString(kKey, "Sort", ""), "<IP Address");
  EXPECT_EQ(store.reg.getString(kKey, "Filter", ""), "Product Type");
  EXPECT_EQ(store.reg.getString(kKey, "FilterValue", ""), "PS-1*,LAB");
  EXPECT_EQ(store.reg.getString(kKey, "dev0", ""), "10.1.2.3");
  EXPECT_EQ(store.reg.getDword(kKey, "NetSearchBuild", 9), 0u);
  EXPECT_EQ(store.reg.getDword(kKey, "ListBuild", 9), 1u);
}

TEST_F(ViewDefTest, SaveResultTellsWhetherASearchIsNeeded) {
  struct Case {
    const char* name;
    void (*change)(app::CViewDef&);
    int expected;
  };
  const Case cases[] = {
      {"nothing", [](app::CViewDef&) {}, app::kSaveNothing},
      {"columns", [](app::CViewDef& d) { d.setColumns({kColSystemName, kColIpAddress}); }, app::kSaveColumnsOnly},
      {"sort", [](app::CViewDef& d) { d.setSort(kColIpAddress, false); }, app::kSaveColumnsOnly},
      {"filter", [](app::CViewDef& d) { d.setFilter(kColStatus, {"Error"}); }, app::kSaveColumnsOnly},
      {"local search", [](app::CViewDef& d) { d.setLocalSearch(false); }, app::kSaveNeedsSearch},
      {"search list", [](app::CViewDef& d) { d.setSearchList({"10.0.0.1"}); }, app::kSaveNeedsSearch},
      // Location texts are read only while searching.
      {"location column", [](app::CViewDef& d) { d.setColumns({kColSystemName, kColLocation}); },
       app::kSaveNeedsSearch},
      {"same value again", [](app::CViewDef& d) { d.setSort(kColSystemName, false); }, app::kSaveNothing},
  };
  for (const auto& c : cases) {
    store.reg.deleteTree(kKey);
    app::CViewDef d = loaded();
    c.change(d);
    EXPECT_EQ(d.save(store.reg, kKey), c.expected) << c.name;
    EXPECT_EQ(d.save(store.reg, kKey), app::kSaveNothing) << c.name << " (second save)";
  }
}

TEST_F(ViewDefTest, UntrustedColumnAndWidthLists) {
  std::string thirtyFive;
  for (int i = 0; i < 35; ++i) thirtyFive += std::string(i ? "," : "") + columnTitle(i % kColumnCount);
  struct Case {
    const char* name;
    std::string columns;
    std::string widths;
    std::vector<int> expectColumns;
    bool expectAuto;
    std::vector<std::pair<int, int>> expectWidths;  // column, width
  };
  const Case cases[] = {
      {"two fixed widths", "System Name,IP Address", "150,120", {0, 2}, false, {{0, 150}, {2, 120}}},
      {"auto widths", "System Name,IP Address", "Auto", {0, 2}, true, {{0, 140}, {2, 100}}},
      {"empty means auto", "System Name", "", {0}, true, {{0, 140}}},
      {"widths shorter than columns", "System Name,IP Address,Serial #", "150", {0, 2, 4}, false,
       {{0, 150}, {2, 100}, {4, 70}}},
      {"fixed without sizes", "System Name,IP Address", "0", {0, 2}, false, {{0, 140}, {2, 100}}},
      {"widths of 1 and junk ignored", "System Name,IP Address,Serial #", "1,abc,-5", {0, 2, 4}, false,
       {{0, 140}, {2, 100}, {4, 70}}},
      {"huge width clamped", "System Name", "99999999999999", {0}, false, {{0, app::kMaxColumnWidth}}},
      {"duplicates skipped, widths stay with their titles", "IP Address,System Name,IP Address,Serial #",
       "101,102,103,104", {2, 0, 4}, false, {{2, 101}, {0, 102}, {4, 104}}},
      {"unknown title ends the list", "System Name,Nonsense,IP Address", "", {0}, true, {}},
      {"unknown first title gives System Name", "Nonsense", "", {0}, true, {}},
      {"empty titles", ",,", "", {0}, true, {}},
      {"more than 29 titles", thirtyFive, "", [] {
         std::vector<int> all;
         for (int i = 0; i < kColumnCount; ++i) all.push_back(i);
         return all;
       }(), true, {}},
  };
  for (const auto& c : cases) {
    store.reg.deleteTree(kKey);
    store.reg.setString(kKey, "Columns", c.columns);
    store.reg.setString(kKey, "ColWidths", c.widths);
    const app::CViewDef d = loaded();
    EXPECT_EQ(d.columns(), c.expectColumns) << c.name;
    EXPECT_EQ(d.autoWidths(), c.expectAuto) << c.name;
    for (auto [column, width] : c.expectWidths) EXPECT_EQ(d.widths().width(column), width) << c.name;
  }
}

TEST_F(ViewDefTest, ColumnListsFromUsersAreCheckedStrictly) {
  struct Case {
    const char* name;
    std::vector<std::string> titles;
    app::ColumnListError error;
  };
  const Case cases[] = {
      {"good", {"System Name", "IP Address"}, app::ColumnListError::None},
      {"empty", {}, app::ColumnListError::Empty},
      {"unknown", {"System Name", "Colour"}, app::ColumnListError::Unknown},
      {"duplicate", {"System Name", "IP Address", "System Name"}, app::ColumnListError::Duplicate},
      {"case differs", {"system name"}, app::ColumnListError::Unknown},
  };
  for (const auto& c : cases) EXPECT_EQ(app::checkColumnTitles(c.titles).error, c.error) << c.name;

  app::CViewDef d;
  std::vector<int> thirty(30, 0);
  for (int i = 0; i < 30; ++i) thirty[i] = i % kColumnCount;
  EXPECT_FALSE(d.setColumns(thirty));
  EXPECT_FALSE(d.setColumns({0, 2, 0}));
  EXPECT_FALSE(d.setColumns({0, 29}));
  EXPECT_FALSE(d.setColumns({}));
  EXPECT_EQ(d.columns(), std::vector<int>{0});
  EXPECT_FALSE(d.changed());
}

TEST_F(ViewDefTest, WidthsDoNotGrowAcrossSaveAndLoad) {
  store.reg.setString(kKey, "Columns", "System Name,IP Address");
  store.reg.setString(kKey, "ColWidths", "150,120");
  for (int round = 0; round < 5; ++round) {
    app::CViewDef d = loaded();
    const std::vector<int> widths = {d.widths().width(kColSystemName), d.widths().width(kColIpAddress)};
    ASSERT_TRUE(d.writeColumnLayout(store.reg, kKey, d.columns(), &widths)) << round;
    d.setColumns({kColIpAddress, kColSystemName});  // a reorder saves the widths in the new order
    d.save(store.reg, kKey);
  }
  const app::CViewDef d = loaded();
  EXPECT_EQ(d.widths().width(kColSystemName), 150);
  EXPECT_EQ(d.widths().width(kColIpAddress), 120);
  EXPECT_EQ(store.reg.getString(kKey, "Columns", ""), "IP Address,System Name");
  EXPECT_EQ(store.reg.getString(kKey, "ColWidths", ""), "120,150");
}

TEST_F(ViewDefTest, SortTexts) {
  struct Case {
    const char* text;
    int column;
    bool descending;
  };
  const Case cases[] = {
      {"<IP Address", kColIpAddress, true}, {">IP Address", kColIpAddress, false},
      {"xSerial #", kColSerialNumber, false}, {"<Nonsense", kColSystemName, true},
      {"", kColSystemName, false},           {"<", kColSystemName, true},
  };
  for (const auto& c : cases) {
    store.reg.setString(kKey, "Sort", c.text);
    const app::CViewDef d = loaded();
    EXPECT_EQ(d.sortColumn(), c.column) << c.text;
    EXPECT_EQ(d.sortDescending(), c.descending) << c.text;
  }
}

TEST_F(ViewDefTest, FilterFromTheStoreDrivesTheDisplayFilter) {
  store.reg.setString(kKey, "Filter", "IP Address");
  store.reg.setString(kKey, "FilterValue", "10.1.*");
  app::CViewDef d = loaded();
  EXPECT_TRUE(filterAccepts(CIpDevice("10.1.2.3"), d.displayFilter()));
  EXPECT_FALSE(filterAccepts(CIpDevice("10.2.1.1"), d.displayFilter()));

  // A title not in the catalogue means no filter; removing the filter deletes both values.
  store.reg.setString(kKey, "Filter", "Colour");
  EXPECT_EQ(loaded().filterColumn(), kNoColumn);
  d.setFilter(kNoColumn, {"ignored"});
  EXPECT_TRUE(d.filterValues().empty());
  EXPECT_EQ(d.save(store.reg, kKey), app::kSaveColumnsOnly);
  EXPECT_FALSE(store.reg.getString(kKey, "Filter").has_value());
  EXPECT_FALSE(store.reg.getString(kKey, "FilterValue").has_value());
  EXPECT_TRUE(filterAccepts(CIpDevice("10.2.1.1"), loaded().displayFilter()));
}

TEST_F(ViewDefTest, SearchListEndsAtTheFirstGapAndShrinks) {
  for (int i = 0; i < 5; ++i) store.reg.setString(kKey, app::searchEntryName(i), "10.0.0." + std::to_string(i));
  store.reg.setString(kKey, "dev7", "10.0.0.7");  // after a gap: not part of the list
  app::CViewDef d = loaded();
  EXPECT_EQ(d.searchList().size(), 5u);

  d.setSearchList({"10.9.9.9", "", "10.8.8.8"});  // empty entries would cut the list short
  EXPECT_EQ(d.save(store.reg, kKey), app::kSaveNeedsSearch);
  EXPECT_EQ(loaded().searchList(), (std::vector<std::string>{"10.9.9.9", "10.8.8.8"}));
  for (int i = 2; i < 5; ++i) EXPECT_FALSE(store.reg.value(kKey, app::searchEntryName(i))) << i;
  EXPECT_TRUE(store.reg.value(kKey, "dev7"));  // beyond the gap: left alone
  // The registry compares names without case: older "Dev%i" names are the same values.
  store.reg.setString(kKey, "Dev2", "10.7.7.7");
  EXPECT_EQ(loaded().searchList().size(), 3u);
}

TEST_F(ViewDefTest, AFailedSaveKeepsTheChangesPending) {
  app::CViewDef d = loaded();
  d.setSearchList({"10.1.1.1"});
  d.setSort(kColIpAddress, true);
  {
    FailingWrites failing(store.file);
    EXPECT_EQ(d.save(store.reg, kKey), app::kSaveFailed);
    EXPECT_TRUE(d.changed());
    const std::vector<int> widths = {200};
    EXPECT_FALSE(d.writeColumnLayout(store.reg, kKey, {kColIpAddress}, &widths));
    EXPECT_EQ(d.columns(), std::vector<int>{kColSystemName});
    EXPECT_TRUE(d.autoWidths());
  }
  EXPECT_FALSE(store.reg.keyExists(kKey));
  EXPECT_EQ(d.save(store.reg, kKey), app::kSaveNeedsSearch);
  EXPECT_EQ(loaded().searchList(), std::vector<std::string>{"10.1.1.1"});
  EXPECT_EQ(loaded().sortColumn(), kColIpAddress);
}

}  // namespace
