// Found devices reach the list in batches: a batch of many devices shown at once gives exactly the
// rows, texts, check states and order that showing them one by one gives, through the table model
// the window uses (filters, view by printer, the "Unconfigured" view, refused messages, the sort).
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/device_list_model.h"
#include "app/gui/device_list_view.h"
#include "app/view_manager.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "devices/device_status.h"

namespace {

using Devices = std::vector<std::unique_ptr<devices::CDevice>>;

// A fleet with repeated and empty names, unordered addresses, 0-3 ports and mixed configuration,
// so that filters, ties and port rows all have something to do.
Devices makeFleet(int count) {
  Devices out;
  for (int i = 0; i < count; ++i) {
    const int scrambled = (i * 7919) % count;
    auto d = std::make_unique<devices::CIpDevice>("10." + std::to_string(scrambled % 7) + "." +
                                                  std::to_string(scrambled / 250 % 250) + "." +
                                                  std::to_string(scrambled % 250 + 1));
    if (i % 11 != 0) d->systemName.assign("Unit " + std::to_string(scrambled % 400));
    char hw[16];
    std::snprintf(hw, sizeof hw, "0000CC%06X", static_cast<unsigned>(scrambled) & 0xFFFFFFu);
    d->hardwareAddress.assign(hw);
    d->setPortCount(i % 4);
    for (int p = 0; p < devices::kMaxPorts; ++p)
      d->portNames[static_cast<std::size_t>(p)].assign("P" + std::to_string((scrambled + p) % 5));
    d->configured = i % 3 != 0;
    d->answered = true;
    d->updateStatusTexts(devices::StatusMasks{});
    out.push_back(std::move(d));
  }
  return out;
}

struct ListCase {
  const char* name;
  devices::DisplayFilter filter;
  bool byPrinter = false;
  const char* viewName = "All Print Servers";
};

// One list over the fleet with the case's settings; found-device messages carry the device index
// in lParam, and every seventh is refused, as a stale or duplicate reply would be.
struct List {
  List(const Devices& fleet, const ListCase& c) : table(model) {
    model.setDevices(&fleet);
    model.setViewName(c.viewName);
    model.setViewColumns({devices::kColSystemName, devices::kColIpAddress, devices::kColHwAddress,
                          devices::kColStatus, devices::kColPortName});
    model.setSort(devices::kColSystemName, false);
    model.setFilter(c.filter);
    model.setByPrinter(c.byPrinter);
    table.setFoundAccept([](const platform::Message& m) {
      const auto index = static_cast<int>(m.lParam);
      return index % 7 == 3 ? -1 : index;
    });
  }
  app::DeviceListModel model;
  DeviceListTableModel table;
};

platform::Message found(int index) { return {0x800F, 1, static_cast<std::intptr_t>(index)}; }

// Every row as text: data value, check state and each shown column's text.
std::vector<std::string> rowsOf(const app::DeviceListModel& model) {
  std::vector<std::string> out;
  for (int r = 0; r < model.rowCount(); ++r) {
    std::string line = std::to_string(model.dataValue(r)) + (model.row(r)->checked ? " [x]" : " [ ]");
    for (int c = 0; c < model.columnCount(); ++c) line += " | " + model.text(r, c);
    out.push_back(line);
  }
  return out;
}

// The first row where two lists differ, for a message that shows it.
QByteArray firstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) return QByteArray::fromStdString("row " + std::to_string(i) + ": " + a[i] + " / " + b[i]);
  return QByteArray::fromStdString("sizes " + std::to_string(a.size()) + " / " + std::to_string(b.size()));
}

const std::vector<ListCase> kCases = {
    {"device rows", {}},
    {"System Name filter", {devices::kColSystemName, {"Unit 1*", "Unit 3?"}}},
    {"view by printer", {}, true},
    {"view by printer, Port Name filter", {devices::kColPortName, {"P2"}}, true},
    {"Unconfigured view", {}, false, app::kUnconfiguredViewName},
};

constexpr int kFleetSize = 1500;

}  // namespace

class TestDeviceListBatches : public QObject {
  Q_OBJECT

 private slots:
  void oneBatchEqualsOneByOne() {
    const Devices fleet = makeFleet(kFleetSize);
    for (const ListCase& c : kCases) {
      List batch(fleet, c);
      List single(fleet, c);
      QSignalSpy batchInserts(&batch.table, &QAbstractItemModel::rowsInserted);
      for (int i = 0; i < kFleetSize; ++i) batch.table.queueFound(found(i));
      batch.table.flushQueued();
      for (int i = 0; i < kFleetSize; ++i) {
        single.table.queueFound(found(i));
        single.table.flushQueued();
      }
      const auto a = rowsOf(batch.model);
      const auto b = rowsOf(single.model);
      QVERIFY2(!b.empty(), c.name);
      QVERIFY2(a == b, (QByteArray(c.name) + ", arrival order: " + firstDifference(a, b)).constData());
      QVERIFY2(batchInserts.count() == 1, c.name);
      QVERIFY2(batch.table.rowCount() == batch.model.rowCount(), c.name);

      batch.model.sort();
      single.model.sort();
      const auto sortedA = rowsOf(batch.model);
      const auto sortedB = rowsOf(single.model);
      QVERIFY2(sortedA == sortedB, (QByteArray(c.name) + ", sorted: " + firstDifference(sortedA, sortedB)).constData());
    }
  }

  void slicesOnTheEventLoopEqualOneByOne() {
    // Left to the event loop, the messages are accepted in slices and shown in batches: the same
    // rows in the same order as one by one, none lost, none doubled.
    const Devices fleet = makeFleet(kFleetSize);
    for (const ListCase& c : kCases) {
      List sliced(fleet, c);
      List single(fleet, c);
      for (int i = 0; i < kFleetSize; ++i) sliced.table.queueFound(found(i));
      for (int i = 0; i < kFleetSize; ++i) {
        single.table.queueFound(found(i));
        single.table.flushQueued();
      }
      QTRY_VERIFY_WITH_TIMEOUT(!sliced.table.hasQueued(), 20000);
      const auto a = rowsOf(sliced.model);
      const auto b = rowsOf(single.model);
      QVERIFY2(a == b, (QByteArray(c.name) + ": " + firstDifference(a, b)).constData());
      QVERIFY2(sliced.table.rowCount() == sliced.model.rowCount(), c.name);
    }
  }

  void checkStatesSurviveABatchAndARedisplay() {
    // Ticks made on rows already shown stay on the same devices when a batch arrives and when
    // the rows are built again from every device.
    const Devices fleet = makeFleet(kFleetSize);
    List list(fleet, kCases[0]);
    list.model.setMultiSelect(true);
    for (int i = 0; i < kFleetSize / 2; ++i) list.table.queueFound(found(i));
    list.table.flushQueued();
    for (int r = 0; r < list.model.rowCount(); r += 5) QVERIFY(list.model.setChecked(r, true));
    const std::vector<int> ticked = list.model.checkedDevices();
    for (int i = kFleetSize / 2; i < kFleetSize; ++i) list.table.queueFound(found(i));
    list.table.flushQueued();
    QCOMPARE(list.model.checkedDevices(), ticked);
    list.table.change([&] { list.model.redisplay(); });
    std::vector<int> after = list.model.checkedDevices();
    std::vector<int> before = ticked;
    std::sort(after.begin(), after.end());
    std::sort(before.begin(), before.end());
    QCOMPARE(after, before);
  }

  void droppedMessagesNeverBecomeRows() {
    const Devices fleet = makeFleet(50);
    List list(fleet, kCases[0]);
    for (int i = 0; i < 50; ++i) list.table.queueFound(found(i));
    list.table.dropQueued();
    QVERIFY(!list.table.hasQueued());
    QTest::qWait(100);  // a pending slice or batch would have run by now
    QCOMPARE(list.model.rowCount(), 0);
    QCOMPARE(list.table.rowCount(), 0);
  }
};

QTEST_MAIN(TestDeviceListBatches)
#include "test_device_list_batches.moc"
