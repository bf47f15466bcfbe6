#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/device_list_model.h"
#include "app/view_manager.h"

using namespace devices;
using app::DeviceListModel;

namespace {

using Devices = std::vector<std::unique_ptr<CDevice>>;

struct Spec {
  const char* name;
  const char* ip;
  const char* hw;
  int ports = 1;
  std::uint32_t deviceBits = 0;
  std::uint32_t port1Bits = 0;  // bits of port index 1
  bool configured = true;
  int kind = kKindNative;
};

std::unique_ptr<CDevice> makeDevice(const Spec& s) {
  auto d = std::make_unique<CIpDevice>(s.ip);
  d->systemName.assign(s.name);
  d->hardwareAddress.assign(s.hw);
  d->setPortCount(s.ports);
  d->deviceBits = s.deviceBits;
  d->portBits[1] = s.port1Bits;
  d->configured = s.configured;
  d->kind = s.kind;
  for (int p = 0; p < kMaxPorts; ++p) d->portNumbers[static_cast<std::size_t>(p)].assign(std::to_string(p + 1));
  d->updateStatusTexts(StatusMasks{});
  return d;
}

Devices makeDevices(const std::vector<Spec>& specs) {
  Devices out;
  for (const auto& s : specs) out.push_back(makeDevice(s));
  return out;
}

std::vector<std::string> column(const DeviceListModel& m, int shown) {
  std::vector<std::string> out;
  for (int r = 0; r < m.rowCount(); ++r) out.push_back(m.text(r, shown));
  return out;
}

}  // namespace

TEST(DeviceListModel, RowsPerDeviceOrPerExistingPort) {
  struct Case {
    const char* what;
    int ports;
    bool byPrinter;
    int rows;
  };
  const Case cases[] = {
      {"device row", 3, false, 1},       {"no ports, device row", 0, false, 1},
      {"no ports, no port row", 0, true, 0}, {"one port", 1, true, 1},
      {"three ports", 3, true, 3},       {"six ports", 6, true, 6},
  };
  for (const auto& c : cases) {
    Devices devs = makeDevices({{"A", "10.0.0.1", "0000AA000001", c.ports}});
    DeviceListModel m;
    m.setDevices(&devs);
    m.setViewColumns({kColSystemName, kColPortNumber});
    m.setByPrinter(c.byPrinter);
    m.clearRows();
    EXPECT_EQ(m.addDevice(0), c.rows) << c.what;
    EXPECT_EQ(m.rowCount(), c.rows) << c.what;
    EXPECT_EQ(m.columnCount(), c.byPrinter ? 2 : 1) << c.what << ": per-port columns only by printer";
  }
}

TEST(DeviceListModel, PortRowsCarryPortTextsImagesAndDataValues) {
  // Port 1 has paper out (a Warning under the default masks).
  Devices devs = makeDevices({{"A", "10.0.0.1", "0000AA000001", 3, 0, kBitPaperOut}});
  DeviceListModel m;
  m.setDevices(&devs);
  m.setViewColumns({kColSystemName, kColPortNumber, kColStatus});
  m.setByPrinter(true);
  ASSERT_EQ(m.rowCount(), 3);
  EXPECT_EQ(column(m, 1), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(m.image(0), rowImage(kLevelGood, true));
  EXPECT_EQ(m.image(1), rowImage(kLevelWarning, true));
  EXPECT_EQ(m.dataValue(2), 0x20000u);
  m.setByPrinter(false);
  ASSERT_EQ(m.rowCount(), 1);
  EXPECT_EQ(m.image(0), rowImage(kLevelWarning, false));
  EXPECT_EQ(m.dataValue(0), 0xFFFF0000u);
}

TEST(DeviceListModel, ViewColumnsDropUnknownAndRepeated) {
  DeviceListModel m;
  m.setViewColumns({kColIpAddress, 99, -1, kColIpAddress, kColSystemName});
  EXPECT_EQ(m.shownColumns(), (std::vector<int>{kColIpAddress, kColSystemName}));
}

TEST(DeviceListModel, SortsAddressesNumericallyAndBreaksTiesByDataValue) {
  struct Case {
    const char* what;
    int column;
    bool descending;
    std::vector<std::string> want;  // system names in row order
  };
  // Names: IP order is c(2.0.0.1) a(10.0.0.9) b(10.0.0.10); d has no address.
  const Case cases[] = {
      {"IP ascending", kColIpAddress, false, {"d", "c", "a", "b"}},
      {"IP descending", kColIpAddress, true, {"b", "a", "c", "d"}},
      {"name ascending", kColSystemName, false, {"a", "b", "c", "d", "x1", "x2"}},
      {"name descending", kColSystemName, true, {"x2", "x1", "d", "c", "b", "a"}},
  };
  for (const auto& c : cases) {
    Devices devs = makeDevices({{"x1", "10.0.0.50", "1"}, {"b", "10.0.0.10", "2"}, {"a", "10.0.0.9", "3"},
                                {"x2", "10.0.0.51", "4"}, {"c", "2.0.0.1", "5"}, {"d", "", "6"}});
    if (c.column == kColIpAddress) {
      devs.erase(devs.begin() + 3);
      devs.erase(devs.begin());
    }
    DeviceListModel m;
    m.setDevices(&devs);
    m.setViewColumns({kColSystemName, kColIpAddress});
    m.redisplay();
    m.setSort(c.column, c.descending);
    m.sort();
    EXPECT_EQ(column(m, 0), c.want) << c.what;
  }
}

TEST(DeviceListModel, EqualNamesKeepIndexOrderInBothDirections) {
  Devices devs = makeDevices({{"same", "10.0.0.2", "1"}, {"same", "10.0.0.1", "2"}, {"other", "10.0.0.3", "3"}});
  for (bool descending : {false, true}) {
    DeviceListModel m;
    m.setDevices(&devs);
    m.setViewColumns({kColSystemName});
    m.redisplay();
    m.setSort(kColSystemName, descending);
    m.sort();
    std::vector<std::uint32_t> order;
    for (int r = 0; r < m.rowCount(); ++r) order.push_back(m.dataValue(r) & 0xFFFF);
    EXPECT_EQ(order, descending ? (std::vector<std::uint32_t>{0, 1, 2}) : (std::vector<std::uint32_t>{2, 0, 1}))
        << (descending ? "descending" : "ascending");
  }
}

TEST(DeviceListModel, HeaderClickTogglesOrKeepsDirection) {
  Devices devs = makeDevices({{"a", "10.0.0.2", "1"}, {"b", "10.0.0.1", "2"}});
  DeviceListModel m;
  m.setDevices(&devs);
  m.setViewColumns({kColSystemName, kColIpAddress});
  m.redisplay();
  auto s = m.headerClicked(0);  // same column: toggle
  ASSERT_TRUE(s);
  EXPECT_EQ(s->column, kColSystemName);
  EXPECT_TRUE(s->descending);
  EXPECT_EQ(column(m, 0), (std::vector<std::string>{"b", "a"}));
  s = m.headerClicked(1);  // another column: keep descending
  ASSERT_TRUE(s);
  EXPECT_EQ(s->column, kColIpAddress);
  EXPECT_TRUE(s->descending);
  EXPECT_EQ(column(m, 1), (std::vector<std::string>{"10.0.0.2", "10.0.0.1"}));
  EXPECT_FALSE(m.headerClicked(7));
}

TEST(DeviceListModel, DisplayFilterAndUnconfiguredView) {
  struct Case {
    const char* what;
    std::string view;
    DisplayFilter filter;
    bool bypass;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"no filter", "All", {}, false, {"good", "bad", "new"}},
      {"Status Error", "All", {kColStatus, {"Error"}}, false, {"bad"}},
      {"wildcard name", "All", {kColSystemName, {"g*", "n*"}}, false, {"good", "new"}},
      {"unconfigured view", app::kUnconfiguredViewName, {}, false, {"new"}},
      {"Search command bypasses", app::kUnconfiguredViewName, {kColStatus, {"Error"}}, true, {"good", "bad", "new"}},
  };
  for (const auto& c : cases) {
    Devices devs = makeDevices({{"good", "10.0.0.1", "1"},
                                {"bad", "10.0.0.2", "2", 1, kBitNoResponse},
                                {"new", "192.0.0.192", "3", 1, 0, 0, false}});
    DeviceListModel m;
    m.setDevices(&devs);
    m.setViewColumns({kColSystemName, kColStatus});
    m.setViewName(c.view);
    m.setFilter(c.filter);
    for (int i = 0; i < 3; ++i) m.addDevice(i, c.bypass);
    EXPECT_EQ(column(m, 0), c.want) << c.what;
  }
}

TEST(DeviceListModel, FilterOnAPortColumnAppliesPerPortRow) {
  Devices devs = makeDevices({{"a", "10.0.0.1", "1", 3, 0, kBitPaperOut}});
  DeviceListModel m;
  m.setDevices(&devs);
  m.setViewColumns({kColSystemName, kColPortNumber});
  m.setFilter({kColPortNumber, {"2"}});
  m.setByPrinter(true);
  ASSERT_EQ(m.rowCount(), 1);
  EXPECT_EQ(m.text(0, 1), "2");
}

TEST(DeviceListModel, SelectionFollowsTheDeviceAcrossARefresh) {
  Devices first = makeDevices({{"a", "10.0.0.1", "0000AA000001"}, {"b", "10.0.0.2", "0000AA000002"}});
  DeviceListModel m;
  m.setDevices(&first);
  m.setViewColumns({kColSystemName});
  m.redisplay();
  m.setSelectedRow(1);  // "b"
  m.rememberSelection();

  // The next search finds new objects in another order, plus one more.
  Devices second = makeDevices(
      {{"c", "10.0.0.3", "0000AA000003"}, {"b", "10.0.0.2", "0000AA000002"}, {"a", "10.0.0.1", "0000AA000001"}});
  m.clearRows();
  m.setDevices(&second);
  for (int i = 0; i < 3; ++i) m.addDevice(i);
  m.sort();
  ASSERT_EQ(m.selectedRow(), 1);
  EXPECT_EQ(m.text(m.selectedRow(), 0), "b");

  // Gone: row 0.
  Devices third = makeDevices({{"c", "10.0.0.3", "0000AA000003"}});
  m.clearRows();
  m.setDevices(&third);
  m.addDevice(0);
  EXPECT_EQ(m.restoreSelection(), 0);
  m.clearRows();
  EXPECT_EQ(m.restoreSelection(), -1);
}

TEST(DeviceListModel, SelectionKeepsThePortRow) {
  Devices devs = makeDevices({{"a", "10.0.0.1", "1", 3}, {"b", "10.0.0.2", "2", 3}});
  DeviceListModel m;
  m.setDevices(&devs);
  m.setViewColumns({kColSystemName, kColPortNumber});
  m.setByPrinter(true);
  m.setSelectedRow(4);  // b, port 2
  m.setSort(kColSystemName, true);
  m.sort();
  ASSERT_GE(m.selectedRow(), 0);
  EXPECT_EQ(m.text(m.selectedRow(), 0), "b");
  EXPECT_EQ(m.text(m.selectedRow(), 1), "2");
}

TEST(DeviceListModel, CheckBoxesRefuseSecondFamilyAndSurviveRedisplay) {
  Devices devs = makeDevices({{"a", "10.0.0.1", "1"}, {"second", "10.0.0.2", "2", 1, 0, 0, true, kKindSecondFamily},
                              {"c", "10.0.0.3", "3"}});
  DeviceListModel m;
  m.setDevices(&devs);
  m.setViewColumns({kColSystemName});
  m.setMultiSelect(true);
  m.redisplay();
  EXPECT_FALSE(m.setChecked(1, true));
  m.checkAll();
  EXPECT_EQ(m.checkedDevices(), (std::vector<int>{0, 2}));
  m.checkNone();
  EXPECT_TRUE(m.checkedDevices().empty());
  EXPECT_TRUE(m.toggleChecked(2));
  m.redisplay();
  EXPECT_EQ(m.checkedDevices(), (std::vector<int>{2}));
  EXPECT_FALSE(m.toggleChecked(99));
}

TEST(DeviceListModel, ReinsertKeepsPlaceAndLetsTheFilterRemove) {
  Devices devs = makeDevices({{"a", "10.0.0.1", "1"}, {"b", "10.0.0.2", "2"}, {"c", "10.0.0.3", "3"}});
  DeviceListModel m;
  m.setDevices(&devs);
  m.setViewColumns({kColSystemName, kColStatus});
  m.setFilter({kColStatus, {"Good"}});
  m.redisplay();
  m.setSelectedRow(2);
  devs[1]->systemName.assign("b2");
  m.reinsertDevice(1);
  EXPECT_EQ(column(m, 0), (std::vector<std::string>{"a", "b2", "c"}));
  devs[1]->deviceBits = kBitNoResponse;
  devs[1]->updateStatusTexts(StatusMasks{});
  m.reinsertDevice(1);
  EXPECT_EQ(column(m, 0), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(m.text(m.selectedRow(), 0), "c");
}

TEST(DeviceListModel, WorstLevelOnlyWithTheStatusColumn) {
  struct Case {
    const char* what;
    std::vector<int> columns;
    std::vector<Spec> specs;
    int want;
  };
  const Case cases[] = {
      {"empty list", {kColStatus}, {}, kLevelGood},
      {"error wins", {kColStatus}, {{"a", "1.1.1.1", "1", 1, kBitNoResponse}, {"b", "1.1.1.2", "2", 1, kBitDownloadMode}}, kLevelError},
      {"warning", {kColStatus}, {{"a", "1.1.1.1", "1", 2, 0, kBitPaperOut}}, kLevelWarning},
      {"no Status column", {kColSystemName}, {{"a", "1.1.1.1", "1", 1, kBitNoResponse}}, kLevelGood},
  };
  for (const auto& c : cases) {
    Devices devs = makeDevices(c.specs);
    DeviceListModel m;
    m.setDevices(&devs);
    m.setViewColumns(c.columns);
    m.redisplay();
    EXPECT_EQ(m.worstLevel(), c.want) << c.what;
  }
}

TEST(DeviceListModel, RowsWithoutDevicesAreHarmless) {
  DeviceListModel m;
  m.setViewColumns({kColSystemName});
  EXPECT_EQ(m.addDevice(0), 0);
  m.redisplay();
  EXPECT_EQ(m.rowCount(), 0);
  EXPECT_EQ(m.text(0, 0), "");
  EXPECT_EQ(m.image(-1), 0);
}

TEST(DeviceListModel, SelectionMovesToTheDevicesFirstPortRowWhenTheModeChanges) {
  Devices devs = makeDevices({{"a", "10.0.0.1", "1", 2}, {"b", "10.0.0.2", "2", 3}});
  DeviceListModel m;
  m.setDevices(&devs);
  m.setViewColumns({kColSystemName, kColPortNumber});
  m.redisplay();
  m.setSelectedRow(1);  // "b"
  m.setByPrinter(true);
  ASSERT_EQ(m.selectedRow(), 2);
  EXPECT_EQ(m.text(2, 0), "b");
  EXPECT_EQ(m.text(2, 1), "1");
  m.setSelectedRow(4);  // b, port 3
  m.setByPrinter(false);
  EXPECT_EQ(m.text(m.selectedRow(), 0), "b");
}

// A device asked again in the foreground is cleared before its answer comes: its rows keep what
// they showed until the model is told the query is over; other devices stay live.
TEST(DeviceListModel, FrozenDeviceKeepsItsRowsWhileItIsAskedAgain) {
  Devices devs = makeDevices({{"Alpha", "10.0.0.1", "0000AA000001", 2, 0, kBitPaperOut},
                              {"Beta", "10.0.0.2", "0000AA000002", 2}});
  DeviceListModel m;
  m.setDevices(&devs);
  m.setViewColumns({kColSystemName, kColHwAddress, kColPortNumber});
  m.setByPrinter(true);
  ASSERT_EQ(m.rowCount(), 4);
  const std::vector<std::string> names = column(m, 0);
  const std::vector<std::string> addresses = column(m, 1);
  const int alphaPortImage = m.image(1);

  m.freezeDevice(0);
  devs[0]->clear();
  devs[0]->updateStatusTexts(StatusMasks{});
  devs[1]->systemName.assign("Beta renamed");
  EXPECT_EQ(column(m, 0), (std::vector<std::string>{"Alpha", "Alpha", "Beta renamed", "Beta renamed"}));
  EXPECT_EQ(column(m, 1), addresses);
  EXPECT_EQ(column(m, 2), (std::vector<std::string>{"1", "2", "1", "2"}));
  EXPECT_EQ(m.image(1), alphaPortImage);

  m.thawDevice();
  EXPECT_EQ(m.text(0, 0), "");
  EXPECT_EQ(m.text(0, 1), "");
  EXPECT_NE(names, column(m, 0));
}
