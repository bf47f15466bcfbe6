// "&Status" from the main window on a simulated unit: the sheet opens with its pages in order,
// Refresh reads again, Save writes the report, which is the hand-written fixture byte for byte and
// the same report `trellanctl status --report` writes; the PJL page asks the printer on port 1.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "app/command_ids.h"
#include "app/device_reads_install.h"
#include "app/gui/device_list_view.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/settings.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "platform/registry.h"
#include "snmp/winsnmp.h"
#include "status/gui/diagnostics_sheet_dialog.h"
#include "tests/gui/all_view_window.h"
#include "tests/support/sim_process.h"

namespace cmd = app::cmd;

namespace {

constexpr std::time_t kCreated = 1796928153;  // Thu Dec 10 18:42:33 2026 UTC

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The report without its creation time, which differs between two runs.
QByteArray withoutDate(QByteArray report) {
  const int at = report.indexOf("File Created: ");
  const int end = report.indexOf("\r\n", at);
  if (at >= 0 && end > at) report.remove(at, end - at);
  return report;
}

std::string tcpRow(int localPort, const char* remote, int remotePort, int state) {
  return "{\"oid\":\"1.3.6.1.2.1.6.13.1.1.127.0.1.1." + std::to_string(localPort) + "." + remote + "." +
         std::to_string(remotePort) + "\",\"type\":\"int\",\"value\":" + std::to_string(state) +
         ",\"writable\":false}";
}

}  // namespace

class TestStatusSheet : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    qputenv("TZ", "UTC");
    ::tzset();
    QVERIFY(dir_.isValid());
    const QString fleet = dir_.filePath("fleet.json");
    // The unit of the hand-written report (tests/status/data/status-report.txt).
    std::ofstream(fleet.toStdString())
        << R"({"devices":[{"address":"127.0.1.1","name":"LAB PRINTER.1","protocols":[1,2,3,5,7],)"
        << R"("hardware_address":"00:40:8C:01:02:03",)"
        << R"("system":{"descr":"Lab print server","contact":"Ops desk","name":"LAB PRINTER.1","location":"Rack 2"},)"
        << R"("ports":[{"name":"LPT1","display":"READY"}],"status":{"tcp_connections":false},"variables":[)"
        << R"({"oid":".1.5.0","type":"text","value":"S1234","writable":false},)"
        << R"({"oid":".1.9.0","type":"text","value":"V5.41","writable":false},)"
        << R"({"oid":".1.2.0","type":"int","value":3,"writable":false},)"
        << R"({"oid":".1.7.0","type":"int","value":2,"writable":false},)"
        << R"({"oid":".1.11.0","type":"text","value":"Trellan Print Systems","writable":false},)"
        << R"({"oid":".1.12.0","type":"text","value":"Springfield","writable":false},)"
        << R"({"oid":".1.13.0","type":"text","value":"+1 555 0100","writable":false},)"
        << R"({"oid":".1.14.0","type":"text","value":"+1 555 0199; +1 555 0188","writable":false},)"
        << R"({"oid":".6.3.1.2.0","type":"int","value":2},)"
        << R"({"oid":".6.3.1.5.1.0","type":"text","value":"TCP/IP ready"},)"
        << R"({"oid":".6.3.1.4.1.0","type":"ip","value":"127.0.1.1"},)"
        << R"({"oid":".6.3.1.4.3.0","type":"ip","value":"255.0.0.0"},)"
        << R"({"oid":".6.3.1.4.2.0","type":"ip","value":"127.0.0.1"},)"
        << R"({"oid":".6.3.1.4.6.0","type":"int","value":5},)"
        << R"({"oid":".6.3.1.4.7.0","type":"int","value":2130706441},)"
        << R"({"oid":".6.3.1.4.12.0","type":"ip","value":"127.0.0.53"},)"
        << R"({"oid":".6.3.1.4.13.0","type":"int","value":1},)"
        << R"({"oid":".6.3.1.4.16.0","type":"int","value":0},)"
        << R"({"oid":".6.3.1.4.8.0","type":"int","value":2},)"
        << R"({"oid":".6.3.1.4.15.0","type":"int","value":600},)"
        << R"({"oid":".6.3.1.6.0","type":"int","value":131071,"writable":false},)"
        << R"({"oid":".8.2.0","type":"int","value":8,"writable":false},)"
        << R"({"oid":".6.3.2.1.0","type":"int","value":1,"writable":false},)"
        << R"({"oid":".6.3.2.2.0","type":"int","value":2},)"
        << R"({"oid":".6.3.2.5.1.0","type":"text","value":"NetWare ready"},)"
        << R"({"oid":".6.3.2.4.1.0","type":"int","value":4},)"
        << R"({"oid":".6.3.2.4.3.0","type":"int","value":3},)"
        << R"({"oid":".6.3.2.4.4.0","type":"text","value":"LAB_PS"},)"
        << R"({"oid":".6.3.2.4.6.0","type":"int","value":40},)"
        << R"({"oid":".6.3.2.4.8.0","type":"int","value":1},)"
        << R"({"oid":".6.3.2.4.9.1.2.1","type":"text","value":"FS1"},)"
        << R"({"oid":".6.3.2.4.9.1.3.1","type":"int","value":2},)"
        << R"({"oid":".6.3.3.2.0","type":"int","value":2},)"
        << R"({"oid":".6.3.3.4.1.0","type":"text","value":"LABPS@Lab@Trellan"},)"
        << R"({"oid":".6.3.3.5.1.0","type":"text","value":"VINES ready"},)"
        << R"({"oid":".6.3.3.5.2.0","type":"int","value":1},)"
        << R"({"oid":".6.3.3.3.3.0","type":"int","value":1},)"
        << R"({"oid":".6.3.3.5.4.1.2.1","type":"text","value":"Lab Queue@Lab@Trellan"},)"
        << R"({"oid":".6.3.3.5.4.1.3.1","type":"text","value":"Active"},)"
        << R"({"oid":".6.3.3.5.4.1.4.1","type":"int","value":1},)"
        << R"({"oid":".6.3.3.5.4.1.5.1","type":"text","value":"Printing"},)"
        << R"({"oid":".6.3.3.5.4.1.6.1","type":"int","value":2},)"
        << R"({"oid":".6.3.3.5.4.1.7.1","type":"text","value":"PC7@Lab@Trellan"},)"
        << R"({"oid":".6.3.3.5.4.1.8.1","type":"text","value":"budget, draft"},)"
        << R"({"oid":".6.3.3.5.4.1.9.1","type":"text","value":"4096"},)"
        << R"({"oid":".6.3.3.5.4.1.10.1","type":"text","value":"17"},)"
        << R"({"oid":".6.3.5.2.0","type":"int","value":2},)"
        << R"({"oid":".6.3.5.4.1.0","type":"hex","value":"8A"},)"
        << R"({"oid":".6.3.5.4.2.0","type":"hex","value":"FF02"},)"
        << R"({"oid":".6.3.5.5.1.0","type":"text","value":"EtherTalk ready"},)"
        << R"({"oid":".6.3.5.4.4.1.2.1","type":"int","value":2},)"
        << R"({"oid":".6.3.5.4.4.1.3.1","type":"text","value":"Lab Laser"},)"
        << R"({"oid":".6.3.5.4.4.1.4.1","type":"text","value":"Lab Laser2"},)"
        << R"({"oid":".6.3.5.4.4.1.5.1","type":"text","value":"LaserWriter"},)"
        << R"({"oid":".6.3.5.4.4.1.6.1","type":"text","value":""},)"
        << R"({"oid":".6.3.5.4.4.1.7.1","type":"text","value":"Lab Zone"},)"
        << R"({"oid":".6.3.5.4.4.1.8.1","type":"text","value":"Lab Zone"},)"
        << tcpRow(21, "0.0.0.0", 0, 2) << ","
        << tcpRow(9101, "127.0.0.1", 50000, 5) << "," << tcpRow(9113, "127.0.0.1", 50001, 13) << "]}]}";
    pjlPort_ = 0;
    for (int attempt = 0; attempt < 20 && !pjlPort_; ++attempt) {
      QTcpServerProbe probe;
      pjlPort_ = probe.port();
    }
    QVERIFY(pjlPort_);
    QVERIFY2(sim_.startWith(dir_.path(), {"--data", fleet.toStdString(), "--pjl-port", std::to_string(pjlPort_)}, false),
             qPrintable(sim_.error));
    qputenv("TRELLAN_SNMP_PORT", QByteArray::number(sim_.snmpPort));
    QVERIFY(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE);
    path_ = dir_.filePath("t.reg").toStdString();
    qputenv("TRELLAN_REGISTRY", QByteArray::fromStdString(path_));
    QVERIFY(guitest::seedAllView(path_, sim_.discoveryPort));
  }

  void cleanupTestCase() { SnmpCleanup(); }

  void statusSheetRefreshSaveAndPjl() {
    guitest::AllViewWindow w(path_);
    CMainFrame& frame = w.frame;
    QVERIFY(frame.openViewNode(w.views.find(app::kAllViewName), true, true));
    QVERIFY(w.searchDone());
    QCOMPARE(frame.deviceList().rowCount(), 1);
    frame.listView()->setCurrentIndex(frame.listView()->model()->index(0, 0));
    frame.listView()->setFocus();

    const QString saved = dir_.filePath("gui-report.txt");
    const QString pjlSaved = dir_.filePath("pjl.txt");
    QStringList titles;
    QString windowTitle, serial, pjlLog;
    bool driven = false;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<statusgui::CDiagnosticsSheetDialog*>(QApplication::activeModalWidget());
      if (!dialog || driven) return;
      driven = true;
      windowTitle = dialog->windowTitle();
      dialog->setClock([] { return kCreated; });
      dialog->setFileChooser([&](const QString& title, const QString& name) {
        return title == "Save Printer PJL Data" ? pjlSaved : saved;
      });
      dialog->setConfirm([](const QString&) { return true; });
      dialog->refreshButton()->click();
      for (int i = 0; i < dialog->tabs()->count(); ++i) titles << dialog->tabs()->tabText(i);
      if (auto* field = qobject_cast<QLineEdit*>(dialog->field("Server", "Serial Number:"))) serial = field->text();
      dialog->saveButton()->click();
      dialog->tabs()->setCurrentIndex(titles.indexOf("PJL"));
      dialog->pjlSend()->click();
      pjlLog = dialog->pjlResponse()->toPlainText();
      for (auto* b : dialog->findChildren<QPushButton*>())
        if (b->text() == "Save &PJL") b->click();
      dialog->accept();
    });
    poll.start();
    QCOMPARE(frame.commands().router().dispatch(cmd::kStatus), app::DispatchResult::Handled);
    poll.stop();
    QVERIFY(driven);
    QCOMPARE(windowTitle, QString("Status - 127.0.1.1"));
    QCOMPARE(titles,
             (QStringList{"Printer", "Server", "Network", "Statistics", "Tech Support", "System", "PJL", "Wireless"}));
    QCOMPARE(serial, QString("S1234"));
    QVERIFY2(pjlLog.contains("Current Status:") || pjlLog.contains("Printer Configuration:"), qPrintable(pjlLog));
    QVERIFY(readAll(pjlSaved).startsWith("Printer PJL Status Values\r\n"));

    const QString fixture = QFINDTESTDATA("../status/data/status-report.txt");
    QVERIFY(!fixture.isEmpty());
    const QByteArray report = readAll(saved);
    QCOMPARE(report, readAll(fixture));

    // The command line writes the same report.
    const QString cli = qEnvironmentVariable("TRELLAN_BIN_DIR", QCoreApplication::applicationDirPath()) + "/trellanctl";
    QVERIFY2(QFile::exists(cli), qPrintable("trellanctl not found at " + cli));
    const QString cliReport = dir_.filePath("cli-report.txt");
    QProcess p;
    p.start(cli, {"status", "127.0.1.1", "--community", "vorlak", "--report", cliReport});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(withoutDate(readAll(cliReport)), withoutDate(report));
  }

  // Pictures of every page, the PJL page after a request: only when asked (scripts/screenshots.sh).
  void screenshots() {
    const QString out = qEnvironmentVariable("TRELLAN_SCREENSHOT_DIR");
    if (out.isEmpty()) QSKIP("TRELLAN_SCREENSHOT_DIR not set");
    guitest::AllViewWindow w(path_);
    CMainFrame& frame = w.frame;
    QVERIFY(frame.openViewNode(w.views.find(app::kAllViewName), true, true));
    QVERIFY(w.searchDone());
    frame.listView()->setCurrentIndex(frame.listView()->model()->index(0, 0));
    frame.listView()->setFocus();
    QStringList saved;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<statusgui::CDiagnosticsSheetDialog*>(QApplication::activeModalWidget());
      if (!dialog || !saved.isEmpty()) return;
      dialog->resize(dialog->sizeHint().expandedTo(QSize(560, 460)));
      for (int i = 0; i < dialog->tabs()->count(); ++i) {
        dialog->tabs()->setCurrentIndex(i);
        if (dialog->tabs()->tabText(i) == "PJL") dialog->pjlSend()->click();
        QTest::qWait(100);  // the page lays itself out before it is drawn
        QString name = dialog->tabs()->tabText(i).toLower();
        name.replace(QRegularExpression("[^a-z0-9]+"), "-");
        const QString file = out + "/status-" + name + ".png";
        if (dialog->grab().save(file)) saved << file;
      }
      dialog->accept();
    });
    poll.start();
    QCOMPARE(frame.commands().router().dispatch(cmd::kStatus), app::DispatchResult::Handled);
    poll.stop();
    QVERIFY(!saved.isEmpty());
    frame.stopSearch();
  }

 private:
  // A free TCP port for the raw printing port base (the simulator binds it a moment later).
  class QTcpServerProbe {
   public:
    std::uint16_t port() const { return port_; }
    QTcpServerProbe() {
      const std::uint16_t p = simtest::freeUdpPort();
      port_ = p > 1024 && p < 65000 ? p : 0;
    }

   private:
    std::uint16_t port_ = 0;
  };

  QTemporaryDir dir_;
  simtest::SimProcess sim_;
  std::string path_;
  std::uint16_t pjlPort_ = 0;
};

QTEST_MAIN(TestStatusSheet)
#include "test_status_sheet.moc"
