// The Write Only Information and Reset Server dialogs show their models and forward to them:
// disabled fields keep nothing, OK stores the fields, a restore with nothing selected says so and
// keeps the dialog open.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "access/mib_group.h"
#include "access/progress_headless.h"
#include "access/test_mib_group_sim.h"
#include "config/backup_texts.h"
#include "config/gui/reset_server_dialog.h"
#include "config/gui/write_only_dialog.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"

namespace {

// Saves a picture of the widget into TRELLAN_SCREENSHOT_DIR when it is set.
void picture(QWidget& w, const char* file) {
  w.adjustSize();
  w.show();
  QCoreApplication::processEvents();
  const QPixmap shot = w.grab();
  QVERIFY(!shot.isNull());
  if (const char* dir = std::getenv("TRELLAN_SCREENSHOT_DIR"); dir && *dir)
    QVERIFY(shot.save(QString::fromUtf8(dir) + "/" + file));
}

}  // namespace

class TestBackupDialogs : public QObject {
  Q_OBJECT

 private slots:
  void writeOnlyFieldsFollowTheUnit() {
    using F = config::WriteOnlyInfoModel;
    config::WriteOnlyInfoModel model(true, 2, true, false);
    configgui::CWriteOnlyInfoDlg dialog(model);
    QVERIFY(dialog.field(F::SetCommunity)->isEnabled());
    QVERIFY(!dialog.field(F::TcpIpPassword)->isEnabled());  // TCP/IP level 2
    QVERIFY(dialog.field(F::NetWarePassword)->isEnabled());
    QVERIFY(!dialog.field(F::VinesPassword)->isEnabled());
    QCOMPARE(dialog.field(F::SetCommunity)->maxLength(), 31);
    QCOMPARE(dialog.field(F::NetWarePassword)->maxLength(), 9);
    dialog.field(F::SetCommunity)->setText("private");
    dialog.field(F::NetWarePassword)->setText("nwpass");
    dialog.field(F::TcpIpPassword)->setText("ignored");
    dialog.accept();
    const config::WriteOnlyValues v = model.values();
    QCOMPARE(QString::fromStdString(v.setCommunity), QString("private"));
    QCOMPARE(QString::fromStdString(v.netwarePassword), QString("nwpass"));
    QVERIFY(v.tcpipPassword.empty());
  }

  void writeOnlyClosedWithoutOkKeepsNothing() {
    config::WriteOnlyInfoModel model(true, 8, false, false);
    configgui::CWriteOnlyInfoDlg dialog(model);
    dialog.field(config::WriteOnlyInfoModel::SetCommunity)->setText("private");
    dialog.reject();
    QVERIFY(!model.values().any());
  }

  void restoreWithNothingSelectedSaysSo() {
    std::vector<std::uint32_t> reported;
    config::ResetServices services;
    services.report = [&reported](std::uint32_t text, int, int, int) { reported.push_back(text); };
    config::CResetServer reset(services);
    configgui::CResetServerDlg dialog(reset);
    bool asked = false;
    dialog.confirm = [&asked](std::uint32_t) { return asked = true; };
    dialog.show();
    QCOMPARE(dialog.parts()->count(), 0);
    dialog.restoreButton()->click();
    QCOMPARE(reported.size(), std::size_t(1));
    QCOMPARE(reported[0], config::texts::kSelectToRestore);
    QVERIFY(!asked);
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.isEnabled());
  }

  void resetNotConfirmedKeepsTheDialogOpen() {
    config::CResetServer reset(config::ResetServices{});
    configgui::CResetServerDlg dialog(reset);
    dialog.confirm = [](std::uint32_t question) { return question != config::texts::kAskReset; };
    dialog.show();
    dialog.resetButton()->click();
    QVERIFY(dialog.isVisible());
  }

  // Both dialogs over a unit with every protocol (the reset dialog's list comes from the unit).
  void screenshots() {
    simproc::Sim sim(8);
    QVERIFY2(sim.ready(), sim.errors().c_str());
    SnmpCleanup();
    QCOMPARE(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
    snmpaccess::HeadlessProgress progress{&snmp::headlessWatch()};
    snmpaccess::SnmpTarget target;
    target.setAddress("127.0.1.1");
    target.setGetCommunity("vorlak");
    target.setSetCommunity("vorlak");
    target.progress = &progress;
    snmpaccess::setGroupTimeouts(50, 50);
    {
      config::CResetServer reset(config::ResetServices{});
      QCOMPARE(reset.prepare(target), 0);
      configgui::CResetServerDlg dialog(reset);
      QCOMPARE(dialog.parts()->count(), 6);
      QCOMPARE(dialog.parts()->item(0)->text(), QString("Output Ports"));
      dialog.parts()->item(1)->setSelected(true);
      picture(dialog, "reset-server.png");
    }
    config::WriteOnlyInfoModel model(true, 8, true, false);
    configgui::CWriteOnlyInfoDlg dialog(model);
    picture(dialog, "write-only-information.png");
    SnmpCleanup();
  }
};

QTEST_MAIN(TestBackupDialogs)
#include "test_backup_dialogs.moc"
