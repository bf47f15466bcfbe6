// CProgressDlg: the wait ends on the awaited message, Cancel or the time-out; the window shows
// only after 300 ms, never in silent mode; waits from another thread; a real session through it.
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <thread>

#include "access/result_codes.h"
#include "access/snmp_session.h"
#include "access/test_snmp_session_agent.h"
#include "app/gui/progress_dlg.h"
#include "platform/qt/qt_socket_watch.h"
#include "snmp/engine_watch.h"

using gui::CProgressDlg;
using snmpaccess::WaitStatus;

namespace {
constexpr std::uint32_t kMsg = 2561;
}

class TestProgressDlg : public QObject {
  Q_OBJECT

 private slots:
  void arrivalEndsTheWaitWithItsParameters() {
    CProgressDlg dlg;
    QTimer::singleShot(20, [&] {
      dlg.target()->post(1101, 1, 1);  // not awaited
      dlg.target()->post(kMsg, 7, -9);
    });
    const auto r = dlg.waitFor(kMsg, 5000);
    QCOMPARE(r.status, WaitStatus::Arrived);
    QCOMPARE(r.message.wParam, std::uintptr_t(7));
    QCOMPARE(r.message.lParam, std::intptr_t(-9));
    QCOMPARE(snmpaccess::waitResultCode(r), int(kMsg));
  }

  void shortWaitNeverShowsTheWindow() {
    CProgressDlg dlg;
    const auto r = dlg.waitFor(kMsg, 200);
    QCOMPARE(r.status, WaitStatus::TimedOut);
    QCOMPARE(snmpaccess::waitResultCode(r), 3);
    QCOMPARE(dlg.timesShown(), 0);
  }

  void longWaitShowsAndHidesAgain() {
    CProgressDlg dlg;
    bool visibleDuring = false;
    QTimer::singleShot(450, [&] { visibleDuring = dlg.isVisible(); });
    QCOMPARE(dlg.waitFor(kMsg, 600).status, WaitStatus::TimedOut);
    QVERIFY(visibleDuring);
    QCOMPARE(dlg.timesShown(), 1);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.windowTitle(), QString("Please Wait"));
    QCOMPARE(dlg.cancelButton()->text(), QString("&Cancel"));
  }

  void cancelStopsTheWaitAndTheNextWaitStartsAfresh() {
    CProgressDlg dlg;
    QTimer::singleShot(400, [&] { dlg.cancelButton()->click(); });
    const auto r = dlg.waitFor(kMsg, 10000);
    QCOMPARE(r.status, WaitStatus::Stopped);
    QCOMPARE(snmpaccess::waitResultCode(r), 2);
    QVERIFY(dlg.isStopped());
    QCOMPARE(dlg.waitFor(kMsg, 10).status, WaitStatus::TimedOut);
    QVERIFY(!dlg.isStopped());
  }

  void escapeIsCancel() {
    CProgressDlg dlg;
    QTimer::singleShot(400, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
    QCOMPARE(dlg.waitFor(kMsg, 10000).status, WaitStatus::Stopped);
  }

  void silentModeNeverShowsAndForwardsTexts() {
    CProgressDlg dlg;
    std::vector<std::pair<std::uint32_t, std::string>> texts;
    dlg.setSilent([&](std::uint32_t id, const std::string& t) { texts.emplace_back(id, t); });
    dlg.begin();
    dlg.setText(6107u);
    dlg.setText(std::string("Searching 10.0.0.1"));
    QCOMPARE(dlg.waitFor(kMsg, 400).status, WaitStatus::TimedOut);
    dlg.end();
    QCOMPARE(dlg.timesShown(), 0);
    QCOMPARE(texts.size(), std::size_t(2));
    QCOMPARE(texts[0].first, 6107u);
    QCOMPARE(texts[1].second, std::string("Searching 10.0.0.1"));
  }

  void beginShowsAtOnceAndEndHidesAtTheOuterEnd() {
    CProgressDlg dlg;
    dlg.begin();
    QVERIFY(dlg.isVisible());
    dlg.begin();
    dlg.setPercent(150);
    QCOMPARE(dlg.percent(), 100);
    dlg.setText(6108u);
    QCOMPARE(dlg.text(), QString("Updating server information..."));
    dlg.end();
    QVERIFY(dlg.isVisible());
    dlg.end();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.percent(), 0);
    dlg.end();  // unbalanced: ignored
    QCOMPARE(dlg.nesting(), 0);
  }

  void waitFromAnotherThread() {
    CProgressDlg dlg;
    std::atomic<int> status{-1};
    std::thread worker([&] { status = static_cast<int>(dlg.waitFor(kMsg, 5000).status); });
    QTest::qWait(50);
    dlg.target()->post(kMsg, 0, 0);
    for (int i = 0; i < 300 && status.load() < 0; ++i) QTest::qWait(10);
    worker.join();
    QCOMPARE(status.load(), static_cast<int>(WaitStatus::Arrived));

    std::atomic<int> stopped{-1};
    std::thread second([&] { stopped = static_cast<int>(dlg.waitFor(kMsg, 5000).status); });
    QTest::qWait(50);
    dlg.stop();
    for (int i = 0; i < 300 && stopped.load() < 0; ++i) QTest::qWait(10);
    second.join();
    QCOMPARE(stopped.load(), static_cast<int>(WaitStatus::Stopped));
  }

  // The whole GUI path: the engine's socket watch on QSocketNotifier, the session's reply
  // announced to the dialog's message target, the nested loop ending on it.
  void sessionRequestThroughTheDialog() {
    SnmpCleanup();
    QCOMPARE(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    platform::qt::QtSocketWatch watch;
    snmp::setSocketWatch(&watch);
    {
      fakeagent::Agent agent([](const fakeagent::Request& r, int index) {
        if (index == 0) return std::vector<fakeagent::Reply>{};  // the first transmission goes unanswered
        return std::vector<fakeagent::Reply>{fakeagent::answer(r, {"octets:gui"})};
      });
      CProgressDlg dlg;
      snmpaccess::SnmpTarget target;
      target.setAddress("127.0.0.1");
      target.setGetCommunity("public");
      target.progress = &dlg;
      int rc = -1;
      snmpaccess::CSnmpSession session(&target, rc);
      QCOMPARE(rc, 0);
      session.setTimeout(20);
      snmpaccess::CVarBind name("1.3.6.1.2.1.1.5.0");
      snmpaccess::CVarBind* list[] = {&name};
      QCOMPARE(session.get(list, 1), 0);
      QCOMPARE(session.lastTransmissions(), 2);
      QCOMPARE(name.displayText(), std::string("gui"));
      QCOMPARE(dlg.text(), QString("Reading server information..."));
    }
    SnmpCleanup();
    snmp::setSocketWatch(nullptr);
  }
};

QTEST_MAIN(TestProgressDlg)
#include "test_progress_dlg.moc"
