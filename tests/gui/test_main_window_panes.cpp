// The main window's panes under QtTest, offscreen: the panes exist, a search on a worker fills
// the list as devices arrive, sort and filter, view-by-printer rows, selection kept across a
// refresh, and General\Flags and the tree width kept across a restart.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QStackedWidget>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/command_router.h"
#include "app/gui/device_list_view.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/main_frame.h"
#include "app/gui/search_animation.h"
#include "app/gui/view_tree_pane.h"
#include "devices/discovery.h"
#include "platform/registry.h"

namespace {

struct FleetUnit {
  std::string name;
  std::string ip;
  std::string hw;
  int ports = 1;
  std::uint32_t deviceBits = 0;
};

// A discovery whose search posts a fixed fleet from its worker thread.
class FleetDiscovery : public devices::CDiscovery {
 public:
  FleetDiscovery() : CDiscovery(devices::kProtocolTcpIp, nullptr, nullptr) {}
  std::vector<FleetUnit> fleet;
  // When set, the search holds after posting the fleet until `release` (at most 10 s).
  std::atomic<bool> hold{false};
  std::atomic<bool> posted{false};
  std::atomic<bool> release{false};

 protected:
  int runSearch(const devices::SearchRequest&, bool) override {
    for (const auto& u : fleet) {
      if (stopRequested()) return 2;
      auto d = std::make_unique<devices::CIpDevice>(u.ip);
      d->systemName.assign(u.name);
      d->hardwareAddress.assign(u.hw);
      d->setPortCount(u.ports);
      d->deviceBits = u.deviceBits;
      d->configured = true;
      d->answered = true;
      for (int p = 0; p < devices::kMaxPorts; ++p) d->portNumbers[static_cast<std::size_t>(p)].assign(std::to_string(p + 1));
      d->updateStatusTexts(devices::StatusMasks{});
      post(std::move(d));
    }
    posted.store(true);
    for (int i = 0; hold.load() && i < 1000 && !release.load() && !stopRequested(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return 0;
  }
};

const std::vector<FleetUnit> kFleet = {
    {"Lobby", "10.0.0.10", "0000AA000001", 1, 0},
    {"Stores", "10.0.0.9", "0000AA000002", 3, 0},
    {"Lab", "2.0.0.1", "0000AA000003", 1, devices::kBitNoResponse},
};

// A window over a discovery of the fixed fleet, with `view` open and not yet searched.
struct FleetWindow {
  FleetWindow(const std::string& path, const OpenViewSettings& view) : reg(path), frame(reg) {
    discovery.fleet = kFleet;
    frame.setOpenView(view, &discovery);
  }
  platform::Registry reg;
  FleetDiscovery discovery;  // outlives the window, as a view's discovery does
  CMainFrame frame;
};

OpenViewSettings viewWith(std::vector<int> columns) {
  OpenViewSettings view;
  view.name = "All Print Servers";
  view.columns = std::move(columns);
  return view;
}

std::vector<std::string> columnTexts(CMainFrame& frame, int shown) {
  std::vector<std::string> out;
  for (int r = 0; r < frame.deviceList().rowCount(); ++r) out.push_back(frame.deviceList().text(r, shown));
  return out;
}

}  // namespace

class TestMainWindowPanes : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    path_ = dir_->filePath("Trellan.reg").toStdString();
  }

  void panesExist() {
    platform::Registry reg(path_);
    CMainFrame frame(reg);
    QVERIFY(frame.splitter());
    QCOMPARE(frame.splitter()->count(), 2);
    QCOMPARE(frame.splitter()->widget(0), static_cast<QWidget*>(frame.treePane()));
    auto* stack = qobject_cast<QStackedWidget*>(frame.splitter()->widget(1));
    QVERIFY(stack);
    QCOMPARE(stack->currentWidget(), static_cast<QWidget*>(frame.listView()));
    QCOMPARE(frame.activeListView(), static_cast<QAbstractItemView*>(frame.listView()));
    QVERIFY(frame.findChild<SearchAnimation*>("searchAnimation"));
    QCOMPARE(frame.viewSelect()->itemText(frame.viewSelect()->count() - 1), QString("<<Create New View>>"));
    QCOMPARE(frame.statusPaneText(1), QString("Count: 0"));
    QCOMPARE(frame.statusPaneText(2), QString("Protocol:  Unknown"));
    QCOMPARE(frame.statusPaneText(4), QString());
  }

  void searchFillsSortsAndFilters() {
    struct Case {
      const char* what;
      int sortColumn;
      bool descending;
      devices::DisplayFilter filter;
      std::vector<std::string> names;
      const char* filt;
    };
    const Case cases[] = {
        {"by IP, numerically", devices::kColIpAddress, false, {}, {"Lab", "Stores", "Lobby"}, ""},
        {"by name, descending", devices::kColSystemName, true, {}, {"Stores", "Lobby", "Lab"}, ""},
        {"Status Error only", devices::kColSystemName, false, {devices::kColStatus, {"Error"}}, {"Lab"}, "FILT"},
    };
    for (const auto& c : cases) {
      OpenViewSettings view = viewWith({devices::kColSystemName, devices::kColIpAddress, devices::kColStatus});
      view.protocolName = "TCP/IP";
      view.sortColumn = c.sortColumn;
      view.sortDescending = c.descending;
      view.filter = c.filter;
      FleetWindow w(path_, view);
      CMainFrame& frame = w.frame;
      frame.startSearch({});
      QVERIFY2(frame.searching(), c.what);
      QTRY_VERIFY2(!frame.searching(), c.what);
      QCOMPARE(columnTexts(frame, 0), c.names);
      QCOMPARE(frame.listView()->model()->rowCount(), static_cast<int>(c.names.size()));
      QCOMPARE(frame.statusPaneText(1), QString("Count: %1").arg(c.names.size()));
      QCOMPARE(frame.statusPaneText(2), QString("Protocol: TCP/IP"));
      QCOMPARE(frame.statusPaneText(4), QString(c.filt));
      QCOMPARE(frame.iconLevel(), devices::kLevelError);  // Lab has no response, Status is shown
    }
  }

  void viewByPrinterGivesPortRows() {
    FleetWindow w(path_, viewWith({devices::kColSystemName, devices::kColPortNumber}));
    w.frame.startSearch({});
    QTRY_VERIFY(!w.frame.searching());
    QCOMPARE(w.frame.deviceList().rowCount(), 3);
    QCOMPARE(w.frame.listView()->model()->columnCount(), 1);  // Port # only by printer
    w.frame.listView()->setCurrentIndex(w.frame.listView()->model()->index(1, 0));  // "Lobby"
    w.frame.messageTarget().post(kMsgViewByPrinterOn, 0, 0);
    QTRY_VERIFY(w.frame.byPrinter());
    QCOMPARE(w.frame.deviceList().rowCount(), 5);
    QCOMPARE(w.frame.listView()->model()->columnCount(), 2);
    QCOMPARE(columnTexts(w.frame, 1), (std::vector<std::string>{"1", "1", "1", "2", "3"}));
    // The selected device stays selected, on its first port row.
    QCOMPARE(w.frame.deviceList().text(w.frame.listView()->currentIndex().row(), 0), std::string("Lobby"));
    w.frame.setByPrinter(false);
    QCOMPARE(w.frame.deviceList().text(w.frame.listView()->currentIndex().row(), 0), std::string("Lobby"));
  }

  void multiSelectShowsCheckBoxes() {
    FleetWindow w(path_, viewWith({devices::kColSystemName}));
    w.frame.startSearch({});
    QTRY_VERIFY(!w.frame.searching());
    auto* model = w.frame.listView()->model();
    QVERIFY(!model->data(model->index(0, 0), Qt::CheckStateRole).isValid());
    w.frame.setMultiSelect(true);
    QCOMPARE(model->data(model->index(0, 0), Qt::CheckStateRole).toInt(), static_cast<int>(Qt::Unchecked));
    QVERIFY(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(w.frame.deviceList().checkedDevices().size(), 1u);
  }

  void rowsArrivingInABurstAreNeitherLostNorDoubled() {
    // Found devices become rows in batches; a change of the list while some are still queued
    // (here multi-select switched on mid-search) must show each exactly once.
    FleetWindow w(path_, viewWith({devices::kColSystemName}));
    w.discovery.fleet.clear();
    for (int i = 0; i < 300; ++i) {
      char hw[13];
      std::snprintf(hw, sizeof hw, "0000BB%06X", i);
      w.discovery.fleet.push_back({"Unit " + std::to_string(i), "10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1), hw});
    }
    w.discovery.hold.store(true);
    w.frame.startSearch({});
    // No event loop runs while the worker posts, so the batch timer cannot fire in between.
    for (int i = 0; i < 1000 && !w.discovery.posted.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    QVERIFY(w.discovery.posted.load());
    QCoreApplication::sendPostedEvents();  // every found message
    QVERIFY(w.frame.searching());
    QVERIFY(static_cast<DeviceListTableModel*>(w.frame.listView()->model())->hasQueued());
    w.frame.setMultiSelect(true);
    QCOMPARE(w.frame.deviceList().rowCount(), 300);
    QCOMPARE(w.frame.statusPaneText(1), QString("Count: 300"));
    w.discovery.release.store(true);
    QTRY_VERIFY(!w.frame.searching());
    QCOMPARE(w.frame.deviceList().rowCount(), 300);
    QCOMPARE(w.frame.listView()->model()->rowCount(), 300);

    // A new search drops what the old one had queued: only the new fleet is listed.
    w.discovery.hold.store(false);
    w.discovery.fleet = kFleet;
    w.frame.startSearch({});
    QTRY_VERIFY(!w.frame.searching());
    QCOMPARE(w.frame.deviceList().rowCount(), 3);
  }

  void selectionKeptAcrossARefresh() {
    FleetWindow w(path_, viewWith({devices::kColSystemName}));
    w.frame.startSearch({});
    QTRY_VERIFY(!w.frame.searching());
    w.frame.listView()->setCurrentIndex(w.frame.listView()->model()->index(2, 0));  // "Stores"
    QCOMPARE(w.frame.deviceList().text(2, 0), std::string("Stores"));

    // The next search finds them in another order, with one more that sorts first.
    w.discovery.fleet = {kFleet[2], kFleet[1], {"Annex", "10.0.0.20", "0000AA000009"}, kFleet[0]};
    w.frame.startSearch({});
    QTRY_VERIFY(!w.frame.searching());
    QCOMPARE(w.frame.listView()->currentIndex().row(), 3);
    QCOMPARE(w.frame.deviceList().text(w.frame.listView()->currentIndex().row(), 0), std::string("Stores"));
  }

  void stopKeepsRowsAndLateDevicesAreNotListed() {
    FleetWindow w(path_, viewWith({devices::kColSystemName}));
    w.frame.startSearch({});
    w.frame.stopSearch();  // before the event loop delivered anything
    QVERIFY(!w.frame.searching());
    QTest::qWait(50);  // the posted devices arrive after the search was marked ended
    QCOMPARE(w.frame.deviceList().rowCount(), 0);
  }

  void flagsAndTreeWidthSurviveRestarts() {
    {
      platform::Registry reg(path_);
      CMainFrame frame(reg);
      frame.resize(800, 500);
      frame.show();
      QSplitter* splitter = frame.splitter();
      splitter->setSizes({170, splitter->width() - splitter->handleWidth() - 170});
      QCOMPARE(splitter->sizes().front(), 170);
      frame.setByPrinter(true);
      frame.setMultiSelect(true);
      frame.close();
    }
    for (int restart = 0; restart < 3; ++restart) {
      platform::Registry reg(path_);
      // Multi-select is written, not restored.
      const std::uint32_t want = kFlagByPrinter | kFlagDetails | (restart == 0 ? kFlagMultiSelect : 0u);
      QCOMPARE(reg.getDword("General", "Flags").value_or(0), want);
      QCOMPARE(reg.getDword("General", "Splitter").value_or(0), 170u);  // never grows per save
      CMainFrame frame(reg);
      frame.resize(800, 500);
      frame.show();
      QVERIFY(frame.byPrinter());
      QVERIFY(frame.treeShown());
      frame.close();
    }
    {
      platform::Registry reg(path_);
      CMainFrame frame(reg);
      frame.setTreeShown(false);
      frame.close();
      platform::Registry saved(path_);
      QVERIFY(saved.getDword("General", "Flags").value_or(0) & kFlagTreeHidden);
    }
  }

  void listStyleShowsRowsAndSurvivesRestart() {
    struct Case {
      const char* name;
      app::ListStyle style;
      QListView::ViewMode mode;
      QListView::Flow flow;
      int iconSize;
    };
    const Case cases[] = {
        {"large icons", app::ListStyle::LargeIcons, QListView::IconMode, QListView::LeftToRight, 32},
        {"small icons", app::ListStyle::SmallIcons, QListView::ListMode, QListView::LeftToRight, 16},
        {"list", app::ListStyle::List, QListView::ListMode, QListView::TopToBottom, 16},
    };
    for (const Case& c : cases) {
      init();
      {
        FleetWindow w(path_, viewWith({devices::kColSystemName}));
        w.frame.resize(800, 500);
        w.frame.show();
        w.frame.startSearch({});
        QTRY_VERIFY(!w.frame.searching());
        QCOMPARE(w.frame.deviceList().rowCount(), 3);
        w.frame.listView()->setCurrentIndex(w.frame.listView()->model()->index(2, 0));
        const std::string focused = w.frame.deviceList().text(2, 0);
        QCOMPARE(w.frame.commands().router().dispatch(app::listStyleCommand(c.style)), app::DispatchResult::Handled);
        QListView* icons = w.frame.iconView();
        QVERIFY2(icons->isVisible(), c.name);
        QVERIFY2(!w.frame.listView()->isVisible(), c.name);
        QCOMPARE(w.frame.activeListView(), static_cast<QAbstractItemView*>(icons));
        QCOMPARE(icons->viewMode(), c.mode);
        QCOMPARE(icons->flow(), c.flow);
        QCOMPARE(icons->iconSize(), QSize(c.iconSize, c.iconSize));
        // The same rows, each with its name and status image, and the same focused device.
        QCOMPARE(icons->model()->rowCount(), 3);
        for (int r = 0; r < 3; ++r) {
          const QModelIndex index = icons->model()->index(r, icons->modelColumn());
          QCOMPARE(index.data().toString().toStdString(), w.frame.deviceList().text(r, 0));
          QVERIFY(!index.data(Qt::DecorationRole).value<QIcon>().isNull());
          QVERIFY2(!icons->visualRect(index).isEmpty(), c.name);
        }
        QCOMPARE(icons->currentIndex().row(), 2);
        QCOMPARE(std::string(w.frame.focusedDevice()->systemName.view()), focused);
        // Exactly one style is checked.
        for (app::ListStyle s : {app::ListStyle::LargeIcons, app::ListStyle::SmallIcons, app::ListStyle::List,
                                 app::ListStyle::Details})
          QCOMPARE(w.frame.commands().action(app::listStyleCommand(s))->isChecked(), s == c.style);
        w.frame.setByPrinter(true);
        w.frame.close();
      }
      {
        platform::Registry reg(path_);
        QCOMPARE(reg.getDword("General", "Flags").value_or(0), kFlagByPrinter | app::listStyleFlags(c.style));
        CMainFrame frame(reg);
        frame.show();
        QCOMPARE(frame.listStyle(), c.style);
        QCOMPARE(frame.activeListView(), static_cast<QAbstractItemView*>(frame.iconView()));
        QVERIFY(frame.iconView()->isVisible());
        QCOMPARE(frame.iconView()->viewMode(), c.mode);
        QVERIFY(frame.commands().action(app::listStyleCommand(c.style))->isChecked());
        // Back to details: the tree view shows again and details is what is stored.
        QCOMPARE(frame.commands().router().dispatch(app::cmd::kDetails), app::DispatchResult::Handled);
        QVERIFY(frame.listView()->isVisible());
        QVERIFY(!frame.iconView()->isVisible());
        frame.close();
        platform::Registry saved(path_);
        QCOMPARE(saved.getDword("General", "Flags").value_or(0), kFlagByPrinter | kFlagDetails);
      }
    }
  }

  void refreshTimerCountsTicks() {
    struct Case {
      int seconds;
      int refreshOnTick;
    };
    for (const Case c : {Case{25, 3}, Case{60, 6}, Case{5, 1}}) {
      platform::Registry reg(path_);
      CMainFrame frame(reg);
      OpenViewSettings view;
      view.refreshSeconds = c.seconds;
      frame.setOpenView(view, nullptr);
      frame.startSearch({});
      int refreshedAt = 0;
      for (int tick = 1; tick <= 10 && !refreshedAt; ++tick) {
        if (frame.refreshTick()) refreshedAt = tick;
      }
      QCOMPARE(refreshedAt, c.refreshOnTick);
    }
  }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::string path_;
};

QTEST_MAIN(TestMainWindowPanes)
#include "test_main_window_panes.moc"
