// "&Configuration" from the main window on a simulated unit: the sheet opens with the unit's
// pages, a field is edited on two pages, OK is pressed, and the simulator's request log shows
// exactly the changed bindings and then the reset.
#include <QCheckBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>
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
#include "config/gui/config_sheet_dialog.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "platform/registry.h"
#include "snmp/winsnmp.h"
#include "tests/gui/all_view_window.h"
#include "tests/support/sim_process.h"

namespace cmd = app::cmd;

class TestConfigurationSheet : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const QString values = QFINDTESTDATA("../../sim/data/catalogue-values.json");
    QVERIFY2(!values.isEmpty(), "catalogue-values.json not found");
    const QString fleet = dir_.filePath("fleet.json");
    std::ofstream(fleet.toStdString())
        << "{\"defaults\":{\"agent\":{\"reset_silence_ms\":300}},"
        << "\"devices\":[{\"address\":\"127.0.1.1\",\"name\":\"CONFIG-UNIT\",\"mib_level\":8,"
        << "\"variable_files\":[\"" << values.toStdString() << "\"],\"variables\":["
        << "{\"oid\":\".6.3.1.4.1.0\",\"type\":\"ip\",\"value\":\"127.0.1.1\"},"
        << "{\"oid\":\".6.3.3.2.0\",\"type\":\"int\",\"value\":2}]}]}";
    QVERIFY2(sim_.start(dir_.path(), fleet), qPrintable(sim_.error));
    qputenv("TRELLAN_SNMP_PORT", QByteArray::number(sim_.snmpPort));
    QVERIFY(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE);
    path_ = dir_.filePath("t.reg").toStdString();
    QVERIFY(guitest::seedAllView(path_, sim_.discoveryPort));
    platform::Registry(path_).setDword(app::kTimeoutsKey, "ResetTimeout", 5);
  }

  void cleanupTestCase() { SnmpCleanup(); }

  void okWritesTheEditsOfTwoPagesThenResets() {
    guitest::AllViewWindow w(path_);
    CMainFrame& frame = w.frame;
    QVERIFY(frame.openViewNode(w.views.find(app::kAllViewName), true, true));
    QVERIFY(w.searchDone());
    QCOMPARE(frame.deviceList().rowCount(), 1);
    const QModelIndex index = frame.listView()->model()->index(0, 0);
    frame.listView()->setCurrentIndex(index);
    frame.listView()->setFocus();

    QStringList titles;
    QString windowTitle;
    bool driven = false;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<configgui::CConfigSheetDialog*>(QApplication::activeModalWidget());
      if (!dialog || driven) return;
      driven = true;
      windowTitle = dialog->windowTitle();
      for (int i = 0; i < dialog->tabs()->count(); ++i) titles << dialog->tabs()->tabText(i);
      dialog->setConfirm([](const std::string&) { return true; });
      // TCP/IP: the default gateway.
      auto* gateway = dialog->findChild<QLineEdit*>("gateway");
      QVERIFY(gateway);
      gateway->selectAll();
      QTest::keyClicks(gateway, "127.0.0.9");
      // Protocols: VINES off.
      dialog->tabs()->setCurrentIndex(titles.indexOf("Protocols"));
      auto* list = dialog->findChild<QListWidget*>("protocols");
      QVERIFY(list);
      for (int r = 0; r < list->count(); ++r)
        if (list->item(r)->text() == "VINES") list->item(r)->setCheckState(Qt::Unchecked);
      dialog->accept();
      // A refused OK leaves the dialog open: close it so the test ends.
      if (dialog->isVisible()) dialog->reject();
    });
    poll.start();
    QCOMPARE(frame.commands().router().dispatch(cmd::kConfiguration), app::DispatchResult::Handled);
    poll.stop();
    QVERIFY(driven);
    QCOMPARE(windowTitle, QString("Server Configuration - 127.0.1.1"));
    QCOMPARE(titles, (QStringList{"TCP/IP", "VINES", "EtherTalk", "Output Port", "Wireless", "SNMP", "Protocols",
                                  "Token Ring", "SNMP Traps"}));

    const QString E = "1.3.6.1.4.1.1240.2.3.5";
    std::vector<QStringList> sets;
    for (const QJsonObject& line : sim_.logLines()) {
      if (line["kind"].toString() != "request" || line["pdu"].toString() != "set") continue;
      QStringList oids;
      for (const auto& b : line["bindings"].toArray()) oids << b.toObject()["oid"].toString();
      sets.push_back(oids);
    }
    const std::vector<QStringList> expected = {
        {E + ".6.3.1.4.2.0"}, {E + ".6.3.3.2.0"}, {E + ".2.2.0"}};
    QCOMPARE(sets, expected);
    frame.stopSearch();
  }

  // Pictures of every page for the documentation: only when asked (scripts/screenshots.sh).
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
      auto* dialog = qobject_cast<configgui::CConfigSheetDialog*>(QApplication::activeModalWidget());
      if (!dialog || !saved.isEmpty()) return;
      dialog->resize(dialog->sizeHint().expandedTo(QSize(560, 460)));
      // SNMP last: its community check keeps the page until the verify fields are typed.
      QList<int> order;
      for (int i = 0; i < dialog->tabs()->count(); ++i)
        if (dialog->tabs()->tabText(i) != "SNMP") order << i;
      for (int i = 0; i < dialog->tabs()->count(); ++i)
        if (dialog->tabs()->tabText(i) == "SNMP") order << i;
      for (const int i : order) {
        dialog->tabs()->setCurrentIndex(i);
        QTest::qWait(100);  // the page lays itself out before it is drawn
        QString name = dialog->tabs()->tabText(i).toLower();
        name.replace(QRegularExpression("[^a-z0-9]+"), "-");
        const QString file = out + "/config-" + name + ".png";
        if (dialog->grab().save(file)) saved << file;
      }
      dialog->reject();
    });
    poll.start();
    QCOMPARE(frame.commands().router().dispatch(cmd::kConfiguration), app::DispatchResult::Handled);
    poll.stop();
    QVERIFY(!saved.isEmpty());
    frame.stopSearch();
  }

  // A new IP address on the TCP/IP page: after the reset the unit answers there, the sheet
  // finds it again and the list row carries the new address.
  void okWithANewAddressMovesTheUnitAndItsRow() {
    guitest::AllViewWindow w(path_);
    CMainFrame& frame = w.frame;
    QVERIFY(frame.openViewNode(w.views.find(app::kAllViewName), true, true));
    QVERIFY(w.searchDone());
    QTRY_COMPARE_WITH_TIMEOUT(frame.deviceList().rowCount(), 1, 10000);
    auto* before = dynamic_cast<devices::CIpDevice*>(frame.deviceList().rowDevice(0));
    QVERIFY(before);
    QCOMPARE(QString(before->ipAddress.c_str()), QString("127.0.1.1"));
    frame.listView()->setCurrentIndex(frame.listView()->model()->index(0, 0));
    frame.listView()->setFocus();

    const std::size_t logged = sim_.logLines().size();
    bool driven = false;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<configgui::CConfigSheetDialog*>(QApplication::activeModalWidget());
      if (!dialog || driven) return;
      driven = true;
      dialog->setConfirm([](const std::string&) { return true; });
      auto* address = dialog->findChild<QLineEdit*>("address");
      QVERIFY(address);
      address->selectAll();
      QTest::keyClicks(address, "127.0.1.2");
      dialog->accept();
      if (dialog->isVisible()) dialog->reject();
    });
    poll.start();
    QCOMPARE(frame.commands().router().dispatch(cmd::kConfiguration), app::DispatchResult::Handled);
    poll.stop();
    QVERIFY(driven);

    // The unit answered at the new address after the reset (the re-identify asked it there).
    const std::vector<QJsonObject> lines = sim_.logLines();
    bool answeredAtNew = false;
    for (std::size_t i = logged; i < lines.size(); ++i)
      if (lines[i]["device"].toString() == "127.0.1.2" &&
          (lines[i]["kind"].toString() == "reply" ||
           (lines[i]["kind"].toString() == "discovery" && lines[i]["event"].toString() == "reply")))
        answeredAtNew = true;
    QVERIFY2(answeredAtNew, "the unit did not answer at 127.0.1.2 after the reset");
    QCOMPARE(frame.deviceList().rowCount(), 1);
    auto* after = dynamic_cast<devices::CIpDevice*>(frame.deviceList().rowDevice(0));
    QVERIFY(after);
    QCOMPARE(QString(after->ipAddress.c_str()), QString("127.0.1.2"));
    frame.stopSearch();
  }

 private:
  QTemporaryDir dir_;
  simtest::SimProcess sim_;
  std::string path_;
};

QTEST_MAIN(TestConfigurationSheet)
#include "test_configuration_sheet.moc"
