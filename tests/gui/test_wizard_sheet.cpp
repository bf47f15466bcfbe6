// "Configuration Wi&zard" from the main window on a simulated unit with TCP/IP, wireless,
// EtherTalk, VINES and a serial first port: Welcome to Verify with a new address and a new SSID, the verification text, Finish, and then
// the simulator's request log and the list row at the unit's new address.
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/device_reads_install.h"
#include "app/gui/device_list_view.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/settings.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "devices/device.h"
#include "platform/registry.h"
#include "snmp/winsnmp.h"
#include "tests/gui/all_view_window.h"
#include "tests/support/sim_process.h"
#include "wizard/gui/wizard_sheet_dialog.h"

namespace cmd = app::cmd;

class TestWizardSheet : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const QString fleet = dir_.filePath("fleet.json");
    std::ofstream(fleet.toStdString())
        << R"({"defaults":{"agent":{"reset_silence_ms":300}},)"
        << R"("devices":[{"address":"127.0.1.1","name":"WIZARD-UNIT","mib_level":8,"protocols":[1,7,5,3],)"
        << R"("variables":[{"oid":".6.3.1.4.1.0","type":"ip","value":"127.0.1.1"},)"
        << R"({"oid":".6.3.1.4.4.0","type":"int","value":1},)"
        << R"({"oid":".6.2.3.2.1.12.1","type":"int","value":32759},)"
        << R"({"oid":".6.2.3.2.1.28.1","type":"int","value":100},{"oid":".6.2.3.2.1.29.1","type":"int","value":20},)"
        << R"({"oid":".6.2.3.2.1.30.1","type":"int","value":1000}]}]})";
    QVERIFY2(sim_.start(dir_.path(), fleet), qPrintable(sim_.error));
    qputenv("TRELLAN_SNMP_PORT", QByteArray::number(sim_.snmpPort));
    QVERIFY(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE);
    path_ = dir_.filePath("t.reg").toStdString();
    QVERIFY(guitest::seedAllView(path_, sim_.discoveryPort));
    platform::Registry(path_).setDword(app::kTimeoutsKey, "ResetTimeout", 5);
  }

  void cleanupTestCase() { SnmpCleanup(); }

  void welcomeToFinishWithATcpIpAndAWirelessChange() {
    QStringList headings;
    QString summary;
    run([&](wizardgui::CWzWizardSheet* sheet) {
      auto heading = [sheet] { return sheet->findChild<QLabel*>("heading")->text(); };
      headings << heading();
      QVERIFY(!sheet->backButton()->isEnabled());
      QTest::mouseClick(sheet->nextButton(), Qt::LeftButton);
      headings << heading();
      auto* list = sheet->findChild<QListWidget*>("protocols");
      QVERIFY(list);
      QCOMPARE(list->count(), 4);
      QVERIFY(!(list->item(0)->flags() & Qt::ItemIsEnabled));  // TCP/IP carries the connection
      QTest::mouseClick(sheet->nextButton(), Qt::LeftButton);
      headings << heading();
      auto* address = sheet->pageWidget(wizard::kTcpIpId)->findChild<QLineEdit*>("address");
      QVERIFY(address);
      address->selectAll();
      QTest::keyClicks(address, "127.0.1.9");
      QTest::mouseClick(sheet->nextButton(), Qt::LeftButton);
      headings << heading();
      auto* ssid = sheet->pageWidget(wizard::kWirelessId)->findChild<QLineEdit*>("ssid");
      QVERIFY(ssid);
      ssid->selectAll();
      QTest::keyClicks(ssid, "WIZARD-LAB");
      for (int i = 0; i < 6 && sheet->nextButton()->isEnabled(); ++i) {
        QTest::mouseClick(sheet->nextButton(), Qt::LeftButton);
        headings << heading();
      }
      QVERIFY(sheet->finishButton()->isEnabled());
      summary = sheet->findChild<QPlainTextEdit*>("summary")->toPlainText();
      QTest::mouseClick(sheet->finishButton(), Qt::LeftButton);
    });
    QCOMPARE(headings, (QStringList{"Welcome!", "Select Protocols", "Configure TCP/IP", "Configure Wireless Settings",
                                    "Configure EtherTalk", "Configure Banyan Vines Properties",
                                    "Configure Serial Settings", "Verify Settings Before Saving"}));
    QVERIFY2(summary.startsWith("The following changes will be made: \n"), qPrintable(summary));
    QVERIFY2(summary.contains("\n=============================\nTCP/IP: \nIP Address:  127.0.1.9\n"), qPrintable(summary));
    QVERIFY2(summary.contains("\nSSID:  WIZARD-LAB\n"), qPrintable(summary));
    QVERIFY2(summary.contains("\nEtherTalk:  No Changes Detected"), qPrintable(summary));
    QVERIFY2(summary.contains("\nSerial Changes:  No Changes Detected"), qPrintable(summary));

    // The same SETs as the flow and trellanctl wizard send: the address, the SSID, the reset.
    const QString E = "1.3.6.1.4.1.1240.2.3.5";
    QStringList oids;
    for (const QJsonObject& line : sim_.logLines()) {
      if (line["kind"].toString() != "request" || line["pdu"].toString() != "set") continue;
      for (const auto& b : line["bindings"].toArray()) oids << b.toObject()["oid"].toString();
    }
    oids.sort();
    oids.removeDuplicates();
    QCOMPARE(oids, (QStringList{E + ".2.2.0", E + ".6.3.1.4.1.0", E + ".8.3.4.0"}));
    QCOMPARE(movedTo_, QString("127.0.1.9"));
  }

  // Pictures of every page for the documentation: only when asked (scripts/screenshots.sh).
  void screenshots() {
    const QString out = qEnvironmentVariable("TRELLAN_SCREENSHOT_DIR");
    if (out.isEmpty()) QSKIP("TRELLAN_SCREENSHOT_DIR not set");
    QStringList saved;
    run([&](wizardgui::CWzWizardSheet* sheet) {
      for (int i = 0; i < 10; ++i) {
        QTest::qWait(100);
        QString name = sheet->findChild<QLabel*>("heading")->text().toLower();
        name.replace(QRegularExpression("[^a-z0-9]+"), "-");
        if (name.endsWith(QLatin1Char('-'))) name.chop(1);
        const QString file = out + "/wizard-" + name + ".png";
        if (sheet->grab().save(file)) saved << file;
        if (!sheet->nextButton()->isEnabled()) break;
        QTest::mouseClick(sheet->nextButton(), Qt::LeftButton);
      }
      sheet->reject();
    });
    QVERIFY(saved.size() >= 4);
  }

 private:
  // Opens the main window on the unit and runs the wizard command; `drive` acts on the sheet.
  void run(const std::function<void(wizardgui::CWzWizardSheet*)>& drive) {
    guitest::AllViewWindow w(path_);
    CMainFrame& frame = w.frame;
    QVERIFY(frame.openViewNode(w.views.find(app::kAllViewName), true, true));
    QVERIFY(w.searchDone());
    QTRY_COMPARE_WITH_TIMEOUT(frame.deviceList().rowCount(), 1, 10000);
    frame.listView()->setCurrentIndex(frame.listView()->model()->index(0, 0));
    frame.listView()->setFocus();
    bool driven = false;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* sheet = qobject_cast<wizardgui::CWzWizardSheet*>(QApplication::activeModalWidget());
      if (!sheet || driven) return;
      driven = true;
      sheet->setInform([](const std::string& text) { QWARN(text.c_str()); });
      drive(sheet);
      if (sheet->isVisible()) sheet->reject();
    });
    poll.start();
    QCOMPARE(frame.commands().router().dispatch(cmd::kWizard), app::DispatchResult::Handled);
    poll.stop();
    QVERIFY(driven);
    if (auto* ip = dynamic_cast<devices::CIpDevice*>(frame.deviceList().rowDevice(0)))
      movedTo_ = QString(ip->ipAddress.c_str());
    frame.stopSearch();
  }

  QTemporaryDir dir_;
  simtest::SimProcess sim_;
  std::string path_;
  QString movedTo_;
};

QTEST_MAIN(TestWizardSheet)
#include "test_wizard_sheet.moc"
