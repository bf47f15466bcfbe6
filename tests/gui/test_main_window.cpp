// The application shell under QtTest, offscreen: start-up writes the settings, the window takes
// its stored rectangle, Exit closes it and saves the rectangle, a second instance is answered,
// and SIGTERM arrives as a Qt signal.
#include <csignal>
#include <thread>

#include <QAction>
#include <QSignalSpy>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>

#include "app/gui/gui_startup_ui.h"
#include "app/gui/shell_dialog_commands.h"
#include "app/gui/view_editor_dialog.h"
#include "app/gui/main_frame.h"
#include "app/gui/single_instance.h"
#include "app/gui/termination_signals.h"
#include "app/command_line.h"
#include "app/network_layer.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/view_manager.h"
#include "app/view_startup.h"
#include "app/gui/view_tree_pane.h"
#include "platform/registry.h"

namespace {

// The first start's view editor as a user fills it in: the welcome page first, then "New View"
// with a name and the default-settings box, Finish. Records the page it opened on.
struct FirstViewByEditor {
  FirstViewByEditor() {
    shellDialogHooks().run = [this](QDialog& d) {
      auto* editor = qobject_cast<CViewEditorDialog*>(&d);
      if (!editor) return static_cast<int>(QDialog::Rejected);
      ++opened;
      firstPage = editor->currentPage();
      editor->next();  // past the welcome page
      QTest::keyClicks(editor->findChild<QLineEdit*>("newViewName"), "All Print Servers");
      editor->findChild<QCheckBox*>("newViewDefaults")->setChecked(true);
      editor->finish();
      return editor->result();
    };
  }
  ~FirstViewByEditor() { shellDialogHooks() = original; }
  ShellDialogHooks original = shellDialogHooks();
  int opened = 0;
  app::CCustomizeViewPropSheet::Page firstPage = app::CCustomizeViewPropSheet::Page::General;
};

class FakeNet : public app::NetworkLayer {
 public:
  int probe() override { return 0x8001; }
  std::uint32_t flags() const override { return 0x8001; }
  void close() override { closed = true; }
  bool closed = false;
};

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    // A private socket folder: other tests may run an instance of their own at the same time.
    QDir(dir_.path()).mkdir("run");
    qputenv("XDG_RUNTIME_DIR", dir_.filePath("run").toLocal8Bit());
    qputenv("TRELLAN_LEGACY_DIR", dir_.filePath("legacy").toLocal8Bit());
    registryPath_ = dir_.filePath("Trellan.reg").toStdString();
  }

  void startsWritesSettingsAndSavesTheRectangleOnExit() {
    platform::Registry reg(registryPath_);
    QVERIFY(app::writeWindowRect(reg, {30, 40, 730, 540}));
    app::IdleViewDiscoveryFactory discoveries;
    app::CViewManager views(reg, discoveries);
    GuiStartupUi ui(reg);
    ui.setViews(&views);
    ui.setEditorWithoutScreen(true);
    FirstViewByEditor editor;
    FakeNet net;
    app::CAmbra32App application(reg, ui, net);
    app::installViewTreeHook(application, views, net, ui);
    QVERIFY(application.startUp(app::parseCommandLine({}).commandLine));
    QCOMPARE(editor.opened, 1);
    QVERIFY(editor.firstPage == app::CCustomizeViewPropSheet::Page::Welcome);

    CMainFrame* frame = ui.mainFrame();
    QVERIFY(frame);
    frame->setApplication(&application);
    // The default tree is shown with its open view.
    QVERIFY(frame->treePane()->itemCount() > 1);
    QCOMPARE(frame->statusPaneText(3), QString("View: All Print Servers"));
    QCOMPARE(frame->statusPaneText(2), QString("Protocol: TCP/IP"));
    QCOMPARE(frame->windowTitle(), QString("Quorvel Trellan"));
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->geometry(), QRect(30, 40, 700, 500));
    QSignalSpy refresh(frame, &CMainFrame::refreshRequested);
    QTRY_COMPARE(refresh.count(), 1);  // the posted Refresh arrives through the event loop

    platform::Registry written(registryPath_);
    QCOMPARE(written.getDword("Timeouts", "GetTimeout").value_or(0), 500u);
    QCOMPARE(written.getDword("General", "RunIndex").value_or(0), 1u);
    QCOMPARE(QString::fromStdString(written.getString("General", "CurrentView").value_or("")),
             QString("All Print Servers"));

    frame->setGeometry(15, 25, 640, 480);
    auto* exit = frame->findChild<QAction*>("command57665");  // E&xit
    QVERIFY(exit);
    exit->trigger();
    QTRY_VERIFY(!frame->isVisible());
    QCOMPARE(application.shutDown(), 0);
    QVERIFY(net.closed);

    platform::Registry saved(registryPath_);
    QCOMPARE(saved.getDword("General", "Left").value_or(0), 15u);
    QCOMPARE(saved.getDword("General", "Top").value_or(0), 25u);
    QCOMPARE(saved.getDword("General", "Right").value_or(0), 655u);
    QCOMPARE(saved.getDword("General", "Bottom").value_or(0), 505u);
  }

  // A first start on a desktop of common size: the window shows every tool-bar button (none behind
  // the "more" arrow), the About box names the version.
  void defaultWindowShowsTheWholeToolBarAndAboutTheVersion() {
    const std::string path = dir_.filePath("fresh.reg").toStdString();
    platform::Registry reg(path);
    app::IdleViewDiscoveryFactory discoveries;
    app::CViewManager views(reg, discoveries);
    GuiStartupUi ui(reg);
    ui.setViews(&views);
    ui.setEditorWithoutScreen(true);
    FirstViewByEditor editor;
    FakeNet net;
    app::CAmbra32App application(reg, ui, net);
    app::installViewTreeHook(application, views, net, ui);
    QVERIFY(application.startUp(app::parseCommandLine({"/new"}).commandLine));
    CMainFrame* frame = ui.mainFrame();
    QVERIFY(frame);
    const app::WindowRect rect = app::defaultWindowRect(1280, 1024);
    frame->setGeometry(rect.left, rect.top, rect.width(), rect.height());
    auto* toolBar = frame->findChild<QToolBar*>("toolBar");
    QVERIFY(toolBar);
    QTRY_VERIFY(toolBar->isVisible());
    QWidget* more = toolBar->findChild<QWidget*>("qt_toolbar_ext_button");
    QVERIFY2(!more || !more->isVisible(), "tool-bar buttons hidden behind the extension arrow");

    // The About box: shown modal, read and closed from a timer.
    QString aboutText;
    QTimer::singleShot(0, [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
          aboutText = box->text();
          box->accept();
        }
    });
    frame->findChild<QAction*>("command57664")->trigger();  // &About
    QVERIFY2(aboutText.contains(QString("Version ") + app::programVersion()), qPrintable(aboutText));
    frame->close();
    application.shutDown();
  }

  void answersASecondInstance() {
    SingleInstance first;
    QVERIFY(first.listen());
    QSignalSpy activated(&first, &SingleInstance::activationRequested);

    // The asking side blocks; the answering side needs this thread's event loop.
    std::atomic<int> pinged{-1};
    std::atomic<int> raised{-1};
    std::thread second([&] {
      SingleInstance other;
      pinged = other.ping(5000) ? 1 : 0;
      raised = other.activate(5000) ? 1 : 0;
    });
    QTRY_VERIFY_WITH_TIMEOUT(raised != -1, 10000);
    second.join();
    QCOMPARE(pinged.load(), 1);
    QCOMPARE(raised.load(), 1);
    QCOMPARE(activated.count(), 1);  // only ACTIVATE raises; PING just answers
  }

  void staleSocketIsReplaced() {
    {
      SingleInstance gone;
      QVERIFY(gone.listen());
    }
    // Leave a socket file behind that nobody answers.
    QFile stale(SingleInstance().serverName());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance next;
    QVERIFY(next.listen());
    QVERIFY(next.listening());
  }

  // Two settings files are two programs; one file named two ways, or another display, is told apart
  // by what it is.
  void instanceKeyIsTheSettingsFileAndTheDisplay() {
    const QString a = dir_.filePath("a/Trellan.reg");
    const QString b = dir_.filePath("b/Trellan.reg");
    QDir(dir_.path()).mkpath("a");
    QDir(dir_.path()).mkpath("b");
    SingleInstance first(a);
    QVERIFY(first.listen());
    std::atomic<int> sameFile{-1};
    std::atomic<int> sameFileOtherSpelling{-1};
    std::atomic<int> otherFile{-1};
    std::thread asking([&] {
      sameFile = SingleInstance(a).ping(5000) ? 1 : 0;
      sameFileOtherSpelling = SingleInstance(dir_.filePath("b/../a/Trellan.reg")).ping(5000) ? 1 : 0;
      otherFile = SingleInstance(b).ping(500) ? 1 : 0;
    });
    QTRY_VERIFY_WITH_TIMEOUT(otherFile != -1, 15000);
    asking.join();
    QCOMPARE(sameFile.load(), 1);
    QCOMPARE(sameFileOtherSpelling.load(), 1);
    QCOMPARE(otherFile.load(), 0);

    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", ":1");
    const QString onOne = SingleInstance::serverNameFor(a);
    qputenv("DISPLAY", ":2");
    const QString onTwo = SingleInstance::serverNameFor(a);
    qputenv("DISPLAY", display);
    if (!wayland.isEmpty()) qputenv("WAYLAND_DISPLAY", wayland);
    QVERIFY(onOne != onTwo);
  }

  void terminationSignalArrivesAsQtSignal() {
    TerminationSignals termination;
    QSignalSpy spy(&termination, &TerminationSignals::terminationRequested);
    std::raise(SIGTERM);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), SIGTERM);
  }

 private:
  QTemporaryDir dir_;
  std::string registryPath_;
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
