// The main window's command set against trellan-sim on loopback: a real CMainFrame with the view
// tree, the discoveries the program uses and the command router. Menus complete from the command
// table, open without refresh shows the last devices without traffic, /ns skips only the first
// refresh, the multi-select enabling rule, double-click runs General\DoubleClick, What's Wrong and
// Print Configuration Sheet reach the unit, the Search tool, column layout and band settings.
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <optional>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/device_reads_install.h"
#include "app/gui/device_list_view.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/shell_dialog_commands.h"
#include "app/gui/view_editor_dialog.h"
#include "app/gui/view_tree_pane.h"
#include "app/settings.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "devices/device_status.h"
#include "platform/registry.h"
#include "snmp/winsnmp.h"
#include "tests/gui/all_view_window.h"
#include "tests/support/sim_process.h"
#include "wizard/gui/wizard_sheet_dialog.h"

namespace cmd = app::cmd;

namespace {

using guitest::kSearchDeadlineMs;

// Dialogs of the window replaced: answers given in advance, boxes recorded.
struct FakeDialogs {
  bool answer = true;
  std::vector<std::string> questions;
  std::vector<std::pair<std::string, std::string>> boxes;  // title, text
  std::optional<std::string> typed;
  std::vector<std::string> urls;  // what the window asked the desktop to open (nothing opens)

  void install(MainFrameCommands& commands) {
    MainFrameCommands::Dialogs d;
    d.askYesNo = [this](const std::string& text) {
      questions.push_back(text);
      return answer;
    };
    d.inform = [this](const std::string& title, const std::string& text) { boxes.emplace_back(title, text); };
    d.askText = [this](const std::string&, const std::string&) { return typed; };
    commands.setDialogs(d);
    commands.setLauncher([](const std::string&, const std::vector<std::string>&) { return false; },
                         [this](const std::string& url) {
                           urls.push_back(url);
                           return false;
                         });
  }
};

}  // namespace

class TestMainWindowCommands : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const QString data = QFINDTESTDATA("../../sim/data/demo-fleet.json");
    QVERIFY2(!data.isEmpty(), "demo-fleet.json not found");
    QVERIFY2(sim_.start(dir_.path(), data), qPrintable(sim_.error));
    // Before the first network use: the units' SNMP agents and the second family's probe port.
    qputenv("TRELLAN_SNMP_PORT", QByteArray::number(sim_.snmpPort));
    qputenv("TRELLAN_SECOND_FAMILY_PORT", QByteArray::number(sim_.secondFamilyPort));
    // The program starts the SNMP engine at start-up.
    QVERIFY(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE);
  }

  void cleanupTestCase() { SnmpCleanup(); }

  void init() {
    // A fresh store per test: the views, the wait and the simulator's discovery port.
    path_ = dir_.filePath(QStringLiteral("t%1.reg").arg(++counter_)).toStdString();
    QVERIFY(guitest::seedAllView(path_, sim_.discoveryPort, {"Second View"}));
  }

  void menusComeFromTheCommandTable() {
    Window w(path_);
    // Every command exists as an action, with its text and accelerator.
    for (const app::CommandInfo& info : app::commandTable()) {
      QAction* a = w.frame.commands().action(info.id);
      QVERIFY2(a, info.text);
      QCOMPARE(a->text(), QString::fromUtf8(info.text));
      if (info.accelerator) QCOMPARE(a->shortcut(), QKeySequence(QString::fromLatin1(info.accelerator)));
    }
    QStringList titles;
    for (QAction* a : w.frame.menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{"&File", "&Server", "&View", "&Tools", "&Help"}));
    auto* tools = w.frame.findChild<QToolBar*>("toolBar");
    QVERIFY(tools);
    QVERIFY(tools->actions().contains(w.frame.commands().action(cmd::kRefresh)));
    QVERIFY(tools->actions().contains(w.frame.commands().action(cmd::kStop)));
    // The connect-network-drive dialog has no counterpart here: disabled, with the reason.
    QAction* drive = w.frame.commands().action(cmd::kMapNetworkDrive);
    QVERIFY(!drive->isEnabled());
    QVERIFY(!drive->toolTip().isEmpty());
  }

  void openWithoutRefreshShowsTheLastDevicesWithoutTraffic() {
    Window w(path_);
    QVERIFY(w.frame.openViewNode(w.views.find(app::kAllViewName), true, false));
    QVERIFY(w.searchDone());
    const int rows = w.frame.deviceList().rowCount();
    QVERIFY2(rows >= 30, qPrintable(QString::number(rows)));
    const std::size_t before = discoveryRequests();

    QVERIFY(w.frame.openViewNode(w.views.find("Second View"), true, false));
    QVERIFY(w.searchDone());
    const std::size_t afterSecond = discoveryRequests();
    QVERIFY(afterSecond > before);  // never searched: searched now

    // Back to the first view with "&Open": its devices again, nothing sent.
    w.chooseInTree(app::kAllViewName);
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kTreeOpen), app::DispatchResult::Handled);
    QCOMPARE(w.frame.deviceList().rowCount(), rows);
    QVERIFY(!w.frame.searching());
    QCOMPARE(discoveryRequests(), afterSecond);

    // "Open and Re&fresh" searches again.
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kTreeOpenRefresh), app::DispatchResult::Handled);
    QVERIFY(w.searchDone());
    QVERIFY(discoveryRequests() > afterSecond);
    QCOMPARE(w.frame.deviceList().rowCount(), rows);
  }

  // A NetWare view has no search in this build: it says so once when opened, not at each refresh.
  void netWareViewSaysItIsNotAvailable() {
    {
      platform::Registry reg(path_);
      app::IdleViewDiscoveryFactory idle;
      app::CViewManager views(reg, idle);
      views.loadTree();
      QVERIFY(views.createDefaultView("Bindery", app::kNodeNetWareView).node);
    }
    Window w(path_);
    QVERIFY(w.frame.openViewNode(w.views.find("Bindery"), true, true));
    QVERIFY(w.searchDone());
    QCOMPARE(w.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(w.dialogs.boxes[0].second, std::string("NetWare views: not available in this build."));
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kRefresh), app::DispatchResult::Handled);
    QVERIFY(w.searchDone());
    QCOMPARE(w.dialogs.boxes.size(), std::size_t{1});
  }

  void choosingANeverSearchedViewSearchesIt() {
    Window w(path_);
    const std::size_t before = discoveryRequests();
    // In the view-select list, as a user picks it.
    QComboBox* list = w.frame.viewSelect();
    const int index = list->findText("Second View");
    QVERIFY(index >= 0);
    list->setCurrentIndex(index);
    emit list->activated(index);
    QVERIFY(w.frame.searching() || w.frame.deviceList().rowCount() > 0);
    QVERIFY(w.searchDone());
    QVERIFY(discoveryRequests() > before);
    QCOMPARE(w.frame.statusPaneText(3), QString("View: Second View"));
    QVERIFY(w.frame.deviceList().rowCount() > 0);
    // And in the tree: back to the first view, never searched in this window either.
    const std::size_t afterSecond = discoveryRequests();
    w.frame.treePane()->setCurrentIndex(w.frame.treePane()->indexOf(w.views.find(app::kAllViewName)));
    QVERIFY(w.searchDone());
    QCOMPARE(w.frame.statusPaneText(3), QString("View: All Print Servers"));
    QVERIFY(discoveryRequests() > afterSecond);
  }

  void noSearchOptionSkipsOnlyTheFirstRefresh() {
    Window w(path_);
    w.frame.commands().router().setSkipFirstRefresh(true);
    const std::size_t before = discoveryRequests();
    QCOMPARE(w.frame.commands().router().execute(cmd::kRefresh), app::DispatchResult::Handled);
    QVERIFY(!w.frame.searching());
    QTest::qWait(100);
    QCOMPARE(discoveryRequests(), before);
    QCOMPARE(w.frame.commands().router().execute(cmd::kRefresh), app::DispatchResult::Handled);
    QVERIFY(w.searchDone());
    QVERIFY(discoveryRequests() > before);
  }

  void serverCommandsFollowModeAndFocus() {
    Window w(path_);
    w.searchAll();
    w.selectRow(0);
    struct Case {
      cmd::CommandId id;
      bool standard;
      bool multi;
    };
    const Case cases[] = {
        {cmd::kConfiguration, true, false}, {cmd::kStatus, true, false},
        {cmd::kWhatsWrong, true, false},    {cmd::kWizard, true, false},
        {cmd::kMultipleConfiguration, true, true}, {cmd::kReset, true, true},
        {cmd::kRefresh, true, true},        {cmd::kStop, false, false},
    };
    for (bool multi : {false, true}) {
      w.frame.setMultiSelect(multi);
      w.frame.listView()->setFocus();
      w.frame.commands().updateStates();
      for (const Case& c : cases) {
        const bool expected = multi ? c.multi : c.standard;
        QVERIFY2(w.frame.commands().action(c.id)->isEnabled() == expected,
                 qPrintable(QStringLiteral("command %1, multi-select %2").arg(c.id).arg(multi)));
      }
    }
    QVERIFY(w.frame.commands().action(cmd::kMultiSelectMode)->isChecked());
    // Select All ticks every row but the second family's.
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kSelectAll), app::DispatchResult::Handled);
    int secondFamily = 0;
    for (int r = 0; r < w.frame.deviceList().rowCount(); ++r)
      if (w.frame.deviceList().rowDevice(r)->kind == devices::kKindSecondFamily) ++secondFamily;
    QVERIFY(secondFamily > 0);
    QCOMPARE(static_cast<int>(w.frame.deviceList().checkedDevices().size()),
             w.frame.deviceList().rowCount() - secondFamily);
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kSelectNone), app::DispatchResult::Handled);
    QVERIFY(w.frame.deviceList().checkedDevices().empty());
    // Away from the list the server commands are off.
    w.frame.treePane()->setFocus();
    w.frame.commands().updateStates();
    QVERIFY(!w.frame.commands().action(cmd::kReset)->isEnabled());
  }

  void viewByPrinterAsksForPrinterColumnsAndIconShowsTheWorstUnit() {
    {
      // Without the Status column the icon stays good, whatever the units say.
      Window w(path_);
      w.frame.setAppIconFollowsStatus(true);
      w.searchAll();
      QCOMPARE(w.frame.iconLevel(), static_cast<int>(devices::kLevelGood));
    }
    setAllViewColumns({devices::kColSystemName, devices::kColIpAddress, devices::kColStatus});
    Window w(path_);
    w.frame.setAppIconFollowsStatus(true);
    w.searchAll();
    // The demonstration fleet has units with warnings and none with errors.
    QCOMPARE(w.frame.iconLevel(), static_cast<int>(devices::kLevelWarning));
    w.dialogs.answer = true;
    const ShellDialogHooks hooks = shellDialogHooks();
    int editorPage = -1;
    shellDialogHooks().run = [&](QDialog& d) -> int {
      if (auto* editor = qobject_cast<CViewEditorDialog*>(&d)) editorPage = static_cast<int>(editor->currentPage());
      return QDialog::Rejected;
    };
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kViewByPrinter), app::DispatchResult::Handled);
    shellDialogHooks() = hooks;
    QVERIFY(w.frame.byPrinter());
    QVERIFY(w.frame.commands().action(cmd::kViewByPrinter)->isChecked());
    // The view shows no printer column: asked, and Yes goes on to the view editor.
    QCOMPARE(w.dialogs.questions.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(w.dialogs.questions[0]),
             QString("There are no printer columns included in the current view. Would you like to modify the columns?"));
    QCOMPARE(editorPage, static_cast<int>(app::CCustomizeViewPropSheet::Page::Columns));
    // Switching off asks nothing.
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kViewByPrinter), app::DispatchResult::Handled);
    QVERIFY(!w.frame.byPrinter());
    QCOMPARE(w.dialogs.questions.size(), std::size_t{1});
  }

  void helpAndMailGoToTheDesktop() {
    Window w(path_);
    // The help pages are installed beside the program.
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kHelpContents), app::DispatchResult::Handled);
    QCOMPARE(w.dialogs.urls.size(), std::size_t{1});
    QVERIFY2(QString::fromStdString(w.dialogs.urls[0]).endsWith("/help/index.html"), w.dialogs.urls[0].c_str());
    // Nothing could show the help: said as for the web links.
    QCOMPARE(w.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(w.dialogs.boxes[0].second, std::string(app::texts::kUnableToLaunchBrowser));
    // A mail client that cannot be launched: the box names the address.
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kEmailSupport), app::DispatchResult::Handled);
    QCOMPARE(w.dialogs.urls.size(), std::size_t{2});
    QVERIFY(QString::fromStdString(w.dialogs.urls[1]).startsWith("mailto:"));
    QCOMPARE(w.dialogs.boxes.size(), std::size_t{2});
    QVERIFY(QString::fromStdString(w.dialogs.boxes[1].second).contains(app::texts::kSupportAddress));
  }

  void doubleClickRunsTheStoredCommand() {
    Window w(path_);
    w.reg.setDword(app::kGeneralKey, "DoubleClick", cmd::kWizard);
    w.searchAll();
    const QModelIndex index = w.selectRow(0);
    // The wizard opens on the row: it is closed again at once.
    bool opened = false;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
      if (auto* sheet = qobject_cast<wizardgui::CWzWizardSheet*>(QApplication::activeModalWidget())) {
        opened = true;
        sheet->reject();
      }
    });
    poll.start();
    emit w.frame.listView()->doubleClicked(index);
    poll.stop();
    QVERIFY(opened);
  }

  void whatsWrongShowsTheUnitsStatus() {
    Window w(path_);
    w.searchAll();
    w.selectDevice("127.0.2.2");  // LAB-JAM
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kWhatsWrong), app::DispatchResult::Handled);
    QCOMPARE(w.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(w.dialogs.boxes[0].first), QString("LAB-JAM - 127.0.2.2"));
    QVERIFY2(!w.dialogs.boxes[0].second.empty(), "no status text");
    QVERIFY(w.dialogs.boxes[0].second != devices::kTextCannotCommunicate);
  }

  void printConfigurationSheetSetsThePrintAction() {
    Window w(path_);
    w.searchAll();
    w.selectDevice("127.0.2.1");
    w.dialogs.answer = false;
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kPrintConfigSheet), app::DispatchResult::Handled);
    QCOMPARE(w.dialogs.questions.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(w.dialogs.questions[0]), QString("Print a configuration sheet at the server?"));
    QCOMPARE(printActions(), 0);

    w.dialogs.answer = true;
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kPrintConfigSheet), app::DispatchResult::Handled);
    QCOMPARE(printActions(), 1);
    QVERIFY(!w.dialogs.boxes.empty());
    QCOMPARE(QString::fromStdString(w.dialogs.boxes.back().second), QString("Configuration Sheet printed."));
  }

  void searchToolFindsOrAddsOneAddress() {
    Window w(path_);
    w.frame.openViewNode(w.views.find(app::kAllViewName), false, false);
    QCOMPARE(w.frame.deviceList().rowCount(), 0);
    w.dialogs.typed = "127.0.2.3";
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kSearch), app::DispatchResult::Handled);
    QCOMPARE(w.frame.deviceList().rowCount(), 1);
    QVERIFY(w.frame.focusedDevice());
    QCOMPARE(QString(w.frame.focusedDevice()->columnText(devices::kColIpAddress)), QString("127.0.2.3"));
    QVERIFY(w.dialogs.boxes.empty());
    // A listed one is selected again, not added twice.
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kSearch), app::DispatchResult::Handled);
    QCOMPARE(w.frame.deviceList().rowCount(), 1);
    // Nobody there.
    w.dialogs.typed = "127.0.99.99";
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kSearch), app::DispatchResult::Handled);
    QCOMPARE(w.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(w.dialogs.boxes[0].second), QString("The server cannot be found."));
  }

  void columnLayoutAndSortAreWrittenToTheView() {
    std::string key;
    QStringList shown;
    {
      Window w(path_);
      w.searchAll();
      key = w.views.find(app::kAllViewName)->key();
      QHeaderView* header = w.frame.listView()->header();
      for (int i = 0; i < header->count(); ++i) shown << header->model()->headerData(i, Qt::Horizontal).toString();
      QVERIFY(shown.size() >= 3);
      // The user drags the first column to the third place, then sorts by what is now first.
      header->moveSection(0, 2);
      shown.move(0, 2);
      QCOMPARE(w.frame.deviceList().columnCount(), shown.size());
      QCOMPARE(QString(devices::columnTitle(w.frame.deviceList().catalogueColumn(0))), shown[0]);
      emit header->sectionClicked(0);
    }
    platform::Registry reg(path_);
    QCOMPARE(QString::fromStdString(reg.getString(key, "Columns", "")), shown.join(","));
    QVERIFY(QString::fromStdString(reg.getString(key, "Sort", "")).contains(shown[0]));
  }

  void bandsAreRestoredWithoutGrowing() {
    std::uint32_t widths[2] = {};
    for (int run = 0; run < 2; ++run) {
      Window w(path_);
      w.frame.resize(800, 500);
      w.frame.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w.frame));
      if (run == 0) w.frame.setBarVisible(CMainFrame::Bar::ViewSelect, false);
      QVERIFY(!w.frame.barVisible(CMainFrame::Bar::ViewSelect));
      w.frame.saveState();
      platform::Registry reg(path_);
      widths[run] = reg.getDword("General\\ControlBars\\Bar3", "Width", 0);
      QCOMPARE(reg.getDword("General\\ControlBars\\Bar0", "ID", 0), 128u);
    }
    QCOMPARE(widths[1], widths[0]);
  }

  // Pictures for the documentation, of the demonstration fleet: only when asked
  // (scripts/screenshots.sh).
  void screenshots() {
    const QString out = qEnvironmentVariable("TRELLAN_SCREENSHOT_DIR");
    if (out.isEmpty()) QSKIP("TRELLAN_SCREENSHOT_DIR not set");
    {
      // The fixture's second view is not a new user's.
      platform::Registry reg(path_);
      app::IdleViewDiscoveryFactory idle;
      app::CViewManager views(reg, idle);
      views.loadTree();
      QCOMPARE(views.deleteNode(views.find("Second View")), 0);
    }
    {
      // What a new user sees after the README's first command: fresh settings, the first view
      // with its default columns, the window at its default size.
      Window first(path_);
      const app::DeviceReadsInstall reads(first.reg, false);
      const app::WindowRect size = app::defaultWindowRect(1280, 800);
      first.frame.resize(size.width(), size.height());
      first.searchAll();
      first.selectRow(0);
      QVERIFY(first.frame.grab().save(out + "/main-window-first-start.png"));
    }
    setAllViewColumns({devices::kColSystemName, devices::kColIpAddress, devices::kColHwAddress, devices::kColStatus,
                       devices::kColPortNumber, devices::kColPortStatus, devices::kColPrinterId});
    {
      platform::Registry reg(path_);
      app::IdleViewDiscoveryFactory idle;
      app::CViewManager views(reg, idle);
      views.loadTree();
      QVERIFY(views.createDefaultView("Unconfigured Print Servers", 6).node);
      reg.setDword(app::kGeneralKey, "Splitter", 210);
    }
    Window w(path_);
    const app::DeviceReadsInstall reads(w.reg, false);  // printer status and ids, as the program has them
    w.frame.resize(1000, 560);
    w.searchAll();
    w.selectRow(0);
    QVERIFY(w.frame.grab().save(out + "/main-window-details.png"));
    w.frame.setByPrinter(true);
    QVERIFY(w.frame.grab().save(out + "/main-window-by-printer.png"));
    w.frame.setByPrinter(false);
    w.frame.setMultiSelect(true);
    w.frame.checkAllRows(true);
    w.frame.deviceList().setChecked(1, false);
    w.frame.listView()->viewport()->update();
    QVERIFY(w.frame.grab().save(out + "/main-window-multi-select.png"));
  }

 private:
  // The shared test window with this test's dialogs in place of the real ones.
  struct Window : guitest::AllViewWindow {
    explicit Window(const std::string& path) : AllViewWindow(path) { dialogs.install(frame.commands()); }
    FakeDialogs dialogs;
  };

  // The columns of "All Print Servers", sorted by name, written to the store.
  void setAllViewColumns(const std::vector<int>& columns) {
    platform::Registry reg(path_);
    app::IdleViewDiscoveryFactory idle;
    app::CViewManager views(reg, idle);
    views.loadTree();
    QVERIFY(views.openView(views.find(app::kAllViewName), true).ok);
    views.viewDef().setColumns(columns);
    views.viewDef().setSort(devices::kColSystemName, false);
    QVERIFY(views.saveViewSettings() != app::kSaveFailed);
  }

  std::size_t discoveryRequests() const {
    std::size_t n = 0;
    for (const QJsonObject& line : sim_.logLines())
      if (line["event"].toString() == "request" && line["kind"].toString() == "discovery") ++n;
    return n;
  }

  // SETs of the print-configuration action (E.2.3.0 = 2) the simulator received.
  int printActions() const {
    int n = 0;
    for (const QJsonObject& line : sim_.logLines()) {
      if (line["kind"].toString() != "request" || line["pdu"].toString() != "set") continue;
      for (const auto& b : line["bindings"].toArray()) {
        const QJsonObject binding = b.toObject();
        if (binding["oid"].toString().endsWith(".2.3.0") && binding["value"].toInt() == 2) ++n;
      }
    }
    return n;
  }

  QTemporaryDir dir_;
  simtest::SimProcess sim_;
  std::string path_;
  int counter_ = 0;
};

QTEST_MAIN(TestMainWindowCommands)
#include "test_main_window_commands.moc"
