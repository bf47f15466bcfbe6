// "Configure Selected Devices" and "Reset Selected Devices" from the main window's multi-select
// mode against three simulated units, one of which never answers SNMP: the dialog is driven as a
// user would (three-state boxes clicked), the simulator's request log shows exactly the chosen
// settings and the resets, the results file lists every unit in row order; an untouched dialog
// sends nothing and writes no file.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <chrono>
#include <fstream>
#include <functional>
#include <thread>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "access/mib_group.h"
#include "app/command_ids.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "multi/gui/multi_config_dialog_widget.h"
#include "multi/gui/multi_run_progress.h"
#include "multi/multi_config_log.h"
#include "snmp/winsnmp.h"
#include "tests/gui/all_view_window.h"
#include "tests/support/sim_process.h"

namespace cmd = app::cmd;

namespace {

const QString E = "1.3.6.1.4.1.1240.2.3.5";

struct SetLine {
  QString device;
  QStringList oids;
};

}  // namespace

class TestMultiConfig : public QObject {
  Q_OBJECT

  // Every SET request the simulator received, in order.
  std::vector<SetLine> sets() const {
    std::vector<SetLine> out;
    for (const QJsonObject& line : sim_.logLines()) {
      if (line["kind"].toString() != "request" || line["pdu"].toString() != "set") continue;
      SetLine s{line["device"].toString(), {}};
      for (const auto& b : line["bindings"].toArray()) s.oids << b.toObject()["oid"].toString();
      out.push_back(s);
    }
    return out;
  }

  // The window in multi-select mode with every row ticked; the questions and the opened file
  // are recorded.
  void prepare(guitest::AllViewWindow& w) {
    w.searchAll();
    QCOMPARE(w.frame.deviceList().rowCount(), 3);
    w.frame.setMultiSelect(true);
    w.frame.checkAllRows(true);
    w.selectRow(0);
    MainFrameCommands::Dialogs d;
    d.askYesNo = [this](const std::string& t) {
      questions_.push_back(t);
      return true;
    };
    d.inform = [this](const std::string&, const std::string& t) { messages_.push_back(t); };
    w.frame.commands().setDialogs(d);
    w.frame.commands().setLauncher(nullptr, [this](const std::string& url) {
      opened_.push_back(url);
      return true;
    });
    questions_.clear();
    messages_.clear();
    opened_.clear();
  }

  // Answers the dialog with `drive` once it is up; the run's own window is left alone.
  void whenDialogShows(QTimer& poll, std::function<void(multigui::CMultiConfigDialog&)> drive, bool& driven) {
    poll.setInterval(30);
    connect(&poll, &QTimer::timeout, this, [drive, &driven] {
      auto* dialog = qobject_cast<multigui::CMultiConfigDialog*>(QApplication::activeModalWidget());
      if (!dialog || driven) return;
      driven = true;
      drive(*dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    poll.start();
  }

  std::vector<std::string> rowAddresses(CMainFrame& frame) const {
    std::vector<std::string> out;
    for (int r = 0; r < frame.deviceList().rowCount(); ++r)
      out.push_back(frame.deviceList().rowDevice(r)->columnText(devices::kColIpAddress));
    return out;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const QString fleet = dir_.filePath("fleet.json");
    std::ofstream(fleet.toStdString())
        << R"({"devices":[)"
        << R"({"address":"127.0.1.1","name":"MULTI-A"},)"
        << R"({"address":"127.0.1.2","name":"MULTI-B"},)"
        // Found by the search, but deaf to every SNMP request.
        << R"({"address":"127.0.1.3","name":"MULTI-SILENT","faults":{"drop_every":1}}]})";
    QVERIFY2(sim_.start(dir_.path(), fleet), qPrintable(sim_.error));
    qputenv("TRELLAN_SNMP_PORT", QByteArray::number(sim_.snmpPort));
    QVERIFY(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE);
    // Short time-outs: the silent unit costs three of them per request.
    snmpaccess::setGroupTimeouts(20, 20);
    path_ = dir_.filePath("t.reg").toStdString();
    QVERIFY(guitest::seedAllView(path_, sim_.discoveryPort));
    results_ = QString::fromStdString(multi::defaultResultsPath());
  }

  void cleanupTestCase() { SnmpCleanup(); }

  void init() { QFile::remove(results_); }

  void untouchedDialogSendsNothing() {
    guitest::AllViewWindow w(path_);
    prepare(w);
    const std::size_t before = sets().size();
    QTimer poll;
    bool driven = false;
    whenDialogShows(poll, [](multigui::CMultiConfigDialog& d) { d.accept(); }, driven);
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kMultipleConfiguration), app::DispatchResult::Handled);
    poll.stop();
    QVERIFY(driven);
    QCOMPARE(sets().size(), before);
    QVERIFY(!QFile::exists(results_));
    QVERIFY(questions_.empty());
  }

  void twoSettingsReachEveryUnitThenTheReset() {
    guitest::AllViewWindow w(path_);
    prepare(w);
    const std::size_t before = sets().size();
    QTimer poll;
    bool driven = false;
    QString tcpEnabled;
    whenDialogShows(poll, [&](multigui::CMultiConfigDialog& d) {
      auto* vines = d.findChild<QCheckBox*>("vines");
      auto* jetadmin = d.findChild<QCheckBox*>("jetadmin");
      auto* tcpip = d.findChild<QCheckBox*>("tcpip");
      QVERIFY(vines && jetadmin && tcpip);
      QCOMPARE(vines->checkState(), Qt::PartiallyChecked);
      tcpEnabled = tcpip->isEnabled() ? "enabled" : "disabled";
      vines->click();     // ticked: on
      jetadmin->click();  // ticked
      jetadmin->click();  // cleared: off
      QCOMPARE(jetadmin->checkState(), Qt::Unchecked);
      d.accept();
    }, driven);
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kMultipleConfiguration), app::DispatchResult::Handled);
    poll.stop();
    QVERIFY(driven);
    QCOMPARE(tcpEnabled, QString("disabled"));  // the view's own transport

    // Per answering unit: the two settings, one SET each, then the reset; nothing else.
    std::map<QString, std::vector<QStringList>> byUnit;
    const std::vector<SetLine> all = sets();
    for (std::size_t i = before; i < all.size(); ++i) byUnit[all[i].device].push_back(all[i].oids);
    const std::vector<QStringList> expected = {{E + ".6.3.3.2.0"}, {E + ".6.1.2.0"}, {E + ".2.2.0"}};
    QCOMPARE(byUnit["127.0.1.1"], expected);
    QCOMPARE(byUnit["127.0.1.2"], expected);
    // The silent unit: the first SET sent again until the unit counts as silent; no more.
    for (const QStringList& oids : byUnit["127.0.1.3"]) QCOMPARE(oids, QStringList{E + ".6.3.3.2.0"});
    QVERIFY(byUnit["127.0.1.3"].size() <= 3);
    // The values: VINES on (2), Jet Admin off (1).
    for (const QJsonObject& line : sim_.logLines()) {
      if (line["kind"].toString() != "request" || line["pdu"].toString() != "set") continue;
      const QJsonObject b = line["bindings"].toArray().first().toObject();
      if (b["oid"].toString() == E + ".6.3.3.2.0") QCOMPARE(b["value"].toInt(), 2);
      if (b["oid"].toString() == E + ".6.1.2.0") QCOMPARE(b["value"].toInt(), 1);
    }

    // The results file: every unit in row order, the silent one timed out.
    QFile file(results_);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.startsWith("Mulit-unit Configuration Results:\r\n"), qPrintable(text));
    QStringList rows;
    for (const std::string& address : rowAddresses(w.frame)) {
      const QString result = address == "127.0.1.3" ? "Operation Timed Out (3094)" : "Success (0)";
      rows << QString("  %1 %2").arg(QString::fromStdString(address), -18).arg(result);
    }
    QVERIFY2(text.contains(rows.join("\r\n") + "\r\n"), qPrintable(text));
    QVERIFY2(text.endsWith("\r\nTotal:  3 unit configured,  1 error(s) reported."), qPrintable(text));

    QCOMPARE(questions_.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(questions_[0]),
             QString("2 configured units are resetting.\nThey are unreachable until reinitialization is complete.\n\n"
                     "View the results of the multi-unit configuration?"));
    QCOMPARE(opened_, std::vector<std::string>{QUrl::fromLocalFile(results_).toString().toStdString()});
  }

  void resetSelectedDevicesCountsEveryRow() {
    guitest::AllViewWindow w(path_);
    prepare(w);
    // Units reset by the test before have come back.
    QTest::qWait(400);
    const std::size_t before = sets().size();
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kReset), app::DispatchResult::Handled);
    QCOMPARE(questions_, std::vector<std::string>{"Reset the 3 selected devices now?"});
    QCOMPARE(messages_.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(messages_[0]),
             QString("Reset Summary:\n\n\t3 list items selected.\n\t3 devices received reset commands.\n\t1 errors "
                     "detected.\n\nResetting devices will be unreachable until reinitialization is complete."));
    std::set<QString> reset;
    const std::vector<SetLine> all = sets();
    for (std::size_t i = before; i < all.size(); ++i)
      if (all[i].oids == QStringList{E + ".2.2.0"}) reset.insert(all[i].device);
    QCOMPARE(reset, (std::set<QString>{"127.0.1.1", "127.0.1.2"}));
  }

  void oneTickedRowUsesTheStandardCommand() {
    guitest::AllViewWindow w(path_);
    prepare(w);
    w.frame.checkAllRows(false);
    w.frame.deviceList().setChecked(1, true);
    QCOMPARE(w.frame.commands().router().dispatch(cmd::kMultipleConfiguration), app::DispatchResult::Handled);
    QCOMPARE(messages_, std::vector<std::string>{"Only one item selected. Using standard configuration..."});
    QVERIFY(!w.frame.multiSelect());
    QCOMPARE(w.frame.listView()->currentIndex().row(), 1);
    // The posted "&Configuration" is not left to run against the unit.
    w.frame.commands().router().setHandler(cmd::kConfiguration, [] {});
    QTest::qWait(50);
  }

  void stopEndsTheRunBetweenUnits() {
    multigui::CMultiRunProgressDlg progress(QStringLiteral("Setting"), 10);
    int ran = 0;
    QTimer::singleShot(50, &progress, [&] { progress.stopButton()->click(); });
    progress.run([&](const std::atomic<bool>& stop, const std::function<void(const std::string&)>& say) {
      // A unit takes 20 ms; the loop ends at the first unit after Stop (bounded in any case).
      for (int unit = 0; unit < 200 && !stop.load(); ++unit) {
        say("Setting UNIT-" + std::to_string(unit));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++ran;
      }
    });
    QVERIFY(progress.stopped());
    QVERIFY2(ran < 200, "Stop was not honoured");
    QVERIFY(progress.text().startsWith("Setting UNIT-"));
  }

  // Pictures of both dialogs for the documentation: only when asked (scripts/screenshots.sh).
  void screenshots() {
    const QString out = qEnvironmentVariable("TRELLAN_SCREENSHOT_DIR");
    if (out.isEmpty()) QSKIP("TRELLAN_SCREENSHOT_DIR not set");
    multi::CMultiConfigDlg model;
    model.setTri("vines", multi::TriState::Checked);
    model.setTri("jetadmin", multi::TriState::Cleared);
    multigui::CMultiConfigDialog dialog(model);
    dialog.refresh();
    dialog.resize(dialog.sizeHint());
    QVERIFY(dialog.grab().save(out + "/multi-configure-multiple-devices.png"));
    multi::MultiSecurityValues values;
    values.encryption = 2;
    multigui::CMultiWirelessSecurityDialog security(values);
    security.refresh();
    security.resize(security.sizeHint().expandedTo(QSize(420, 0)));
    QVERIFY(security.grab().save(out + "/multi-wireless-security.png"));
  }

 private:
  QTemporaryDir dir_;
  simtest::SimProcess sim_;
  std::string path_;
  QString results_;
  std::vector<std::string> questions_, messages_, opened_;
};

QTEST_MAIN(TestMultiConfig)
#include "test_multi_config.moc"
