// "Configuration Wi&zard" from the main window on a simulated unit with TCP/IP, wireless,
// EtherTalk, VINES and a serial first port: Welcome to Verify with a new address and a new SSID, the verification text, Finish, and then
// the simulator's request log and the list row at the unit's new address. On the same unit, the
// wizard's sheet alone: the Welcome page's links, and the VINES page with a stand-in VINES client,
// whose print services are added and edited through the "Print Service" dialog.
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>
#include <memory>
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
#include "access/progress_headless.h"
#include "platform/registry.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "tests/gui/all_view_window.h"
#include "tests/support/sim_process.h"
#include "wizard/gui/print_service_dialog.h"
#include "wizard/gui/streettalk_name_edit.h"
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
        << R"("devices":[{"address":"127.0.1.1","name":"WIZARD-UNIT","mib_level":8,"protocols":[1,7,5,3],"ports":2,)"
        << R"("variables":[{"oid":".6.3.1.4.1.0","type":"ip","value":"127.0.1.1"},)"
        << R"({"oid":".6.3.1.4.4.0","type":"int","value":1},)"
        << R"({"oid":".6.2.3.2.1.12.1","type":"int","value":32759},)"
        << R"({"oid":".6.2.3.2.1.28.1","type":"int","value":100},{"oid":".6.2.3.2.1.29.1","type":"int","value":20},)"
        << R"({"oid":".6.2.3.2.1.30.1","type":"int","value":1000},)"
        << R"({"oid":".6.3.3.4.4.1.2.2","type":"text","value":""}]}]})";
    QVERIFY2(sim_.start(dir_.path(), fleet), qPrintable(sim_.error));
    qputenv("TRELLAN_SNMP_PORT", QByteArray::number(sim_.snmpPort));
    QVERIFY(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE);
    path_ = dir_.filePath("t.reg").toStdString();
    QVERIFY(guitest::seedAllView(path_, sim_.discoveryPort));
    platform::Registry(path_).setDword(app::kTimeoutsKey, "ResetTimeout", 5);
  }

  void cleanupTestCase() { SnmpCleanup(); }

  void welcomeLinksOpenInTheBrowser() {
    auto flow = directFlow();
    QVERIFY(flow);
    wizardgui::CWzWizardSheet sheet(*flow, "wizard");
    QStringList opened;
    bool browser = false;  // whether the desktop takes the address
    sheet.setOpenUrl([&](const QUrl& url) {
      opened << url.toString();
      return browser;
    });
    sheet.show();
    QWidget* page = sheet.pageWidget(wizard::kWelcomeId);
    auto* support = page->findChild<QLabel*>("link4799");
    auto* registration = page->findChild<QLabel*>("link4800");
    auto* picture = page->findChild<QToolButton*>("link4770");
    QVERIFY(support && registration && picture);
    QVERIFY(support->text().contains(">https://www.quorvel.example/support/<"));
    QVERIFY(registration->text().contains(">https://www.quorvel.example/trellan/register<"));
    QCOMPARE(picture->cursor().shape(), Qt::PointingHandCursor);
    const QString unvisited = support->palette().color(QPalette::Link).name();
    const QString visited = support->palette().color(QPalette::LinkVisited).name();
    QVERIFY(unvisited != visited);
    QVERIFY(support->text().contains(unvisited));

    // No browser took it: a beep, and the link stays unvisited.
    emit support->linkActivated(QString());
    QCOMPARE(opened, QStringList{"https://www.quorvel.example/support/"});
    QVERIFY(!flow->welcomePage().visited(0));
    QVERIFY(support->text().contains(unvisited));
    browser = true;
    emit support->linkActivated(QString());
    QVERIFY(flow->welcomePage().visited(0));
    QVERIFY(support->text().contains(visited));
    QVERIFY(registration->text().contains(unvisited));
    emit registration->linkActivated(QString());
    QTest::mouseClick(picture, Qt::LeftButton);
    QCOMPARE(opened, (QStringList{"https://www.quorvel.example/support/", "https://www.quorvel.example/support/",
                                  "https://www.quorvel.example/trellan/register", "https://www.quorvel.example/"}));
    sheet.reject();
  }

  void vinesServicesAddedAndEditedThroughTheDialog() {
    const std::size_t mark = sim_.logLines().size();
    auto flow = directFlow();
    QVERIFY(flow);
    QStringList informed;
    QString summary;
    {
      wizardgui::CWzWizardSheet sheet(*flow, "wizard");
      sheet.setInform([&](const std::string& text) { informed << QString::fromStdString(text); });
      sheet.show();
      QVERIFY(goTo(sheet, wizard::kVinesId));
      QWidget* page = sheet.pageWidget(wizard::kVinesId);
      auto* services = page->findChild<QTreeWidget*>("services");
      auto* add = page->findChild<QPushButton*>("add");
      auto* edit = page->findChild<QPushButton*>("edit");
      auto* remove = page->findChild<QPushButton*>("remove");
      QVERIFY(services && add && edit && remove);
      QCOMPARE(services->headerItem()->text(0), QString("VINES Print Service"));
      QCOMPARE(services->headerItem()->text(1), QString("Port #"));
      QCOMPARE(services->topLevelItemCount(), 1);
      QVERIFY(add->isEnabled() && edit->isEnabled() && remove->isEnabled());
      QVERIFY(!page->findChild<QLineEdit*>("confirm")->isEnabled());

      // Add: an empty dialog on port 1; "*" is refused as it is typed.
      bool driven = false;
      inDialog([&](wizardgui::PrintServiceDialog* d) {
        driven = true;
        QCOMPARE(d->windowTitle(), QString("Print Service"));
        QCOMPARE(d->nameEdit()->text(), QString());
        QCOMPARE(d->portCombo()->count(), 2);
        QCOMPARE(d->portCombo()->currentText(), QString("1"));
        QVERIFY(!d->okButton()->isEnabled());
        QTest::keyClicks(d->nameEdit(), "Q1*@Lab@Org");
        QCOMPARE(d->nameEdit()->text(), QString("Q1@Lab@Org"));
        QTest::mouseClick(d->okButton(), Qt::LeftButton);
      });
      QTest::mouseClick(add, Qt::LeftButton);
      QVERIFY(driven);
      QCOMPARE(services->topLevelItemCount(), 2);
      QCOMPARE(services->topLevelItem(1)->text(0), QString("Q1@Lab@Org"));
      QCOMPARE(services->topLevelItem(1)->text(1), QString("Port 1"));
      QVERIFY(!add->isEnabled());  // both slots hold a service

      // Edit the first row: a malformed name is refused on OK and the dialog stays; then port 2.
      services->setCurrentItem(services->topLevelItem(0));
      driven = false;
      inDialog([&](wizardgui::PrintServiceDialog* d) {
        driven = true;
        QCOMPARE(d->nameEdit()->text(), QString("Print Service 1"));
        QCOMPARE(d->portCombo()->currentText(), QString("1"));
        d->nameEdit()->selectAll();
        QTest::keyClicks(d->nameEdit(), "Q0@Lab");
        QTest::mouseClick(d->okButton(), Qt::LeftButton);
        QCOMPARE(informed, QStringList{"Invalid StreetTalk Name."});
        QVERIFY(d->isVisible());
        d->nameEdit()->end(false);
        QTest::keyClicks(d->nameEdit(), "@Org");
        d->portCombo()->setCurrentIndex(1);
        QTest::mouseClick(d->okButton(), Qt::LeftButton);
      });
      QTest::mouseClick(edit, Qt::LeftButton);
      QVERIFY(driven);
      QCOMPARE(services->topLevelItem(0)->text(0), QString("Q0@Lab@Org"));
      QCOMPARE(services->topLevelItem(0)->text(1), QString("Port 2"));

      for (int i = 0; i < 4 && sheet.nextButton()->isEnabled(); ++i) QTest::mouseClick(sheet.nextButton(), Qt::LeftButton);
      QVERIFY(sheet.finishButton()->isEnabled());
      summary = sheet.findChild<QPlainTextEdit*>("summary")->toPlainText();
      QTest::mouseClick(sheet.finishButton(), Qt::LeftButton);
      QCOMPARE(sheet.result(), int(QDialog::Accepted));
    }
    QCOMPARE(informed, QStringList{"Invalid StreetTalk Name."});
    QVERIFY2(summary.contains("\nBanyan VINES:\nBanyan User Name: " + QString::fromStdString(flow->vinesPage().userName()) +
                              "\nPrint Service assigned to port 2:\n\tQ0@Lab@Org"
                              "\nPrint Service assigned to port 1:\n\tQ1@Lab@Org\n"),
             qPrintable(summary));
    QCOMPARE(flow->finish(), 0);

    // The names and ports of both slots went out, then the reset; nothing else changed.
    const QString E = "1.3.6.1.4.1.1240.2.3.5";
    const QString N = E + ".6.3.3.4.4.1";
    QCOMPARE(setOids(mark), (QStringList{E + ".2.2.0", N + ".2.1", N + ".2.2", N + ".3.1", N + ".3.2"}));
  }

  void welcomeToFinishWithATcpIpAndAWirelessChange() {
    const std::size_t mark = sim_.logLines().size();
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
    QCOMPARE(setOids(mark), (QStringList{E + ".2.2.0", E + ".6.3.1.4.1.0", E + ".8.3.4.0"}));
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

    // The VINES page with a VINES client, and its "Print Service" dialog.
    auto flow = directFlow();
    QVERIFY(flow);
    wizardgui::CWzWizardSheet sheet(*flow, "Server Configuration - 127.0.1.1");
    sheet.show();
    QVERIFY(goTo(sheet, wizard::kVinesId));
    QTest::qWait(100);
    QVERIFY(sheet.grab().save(out + "/wizard-configure-banyan-vines-properties.png"));
    bool grabbed = false;
    inDialog([&](wizardgui::PrintServiceDialog* d) {
      QTest::keyClicks(d->nameEdit(), "Laser@Lab@Quorvel");
      QTest::qWait(100);
      grabbed = d->grab().save(out + "/wizard-print-service.png");
      d->reject();
    });
    QTest::mouseClick(sheet.pageWidget(wizard::kVinesId)->findChild<QPushButton*>("add"), Qt::LeftButton);
    QVERIFY(grabbed);
    sheet.reject();
  }

 private:
  // The wizard read from the unit without the main window, with the stand-in VINES client.
  std::unique_ptr<wizard::WizardFlow> directFlow() {
    target_.setAddress("127.0.1.1");
    target_.setGetCommunity("vorlak");
    target_.setSetCommunity("vorlak");
    target_.progress = &progress_;
    wizard::WizardServices s;
    s.message = [](const std::string& text) { QWARN(text.c_str()); };
    s.pause = [](int) { return true; };
    s.identify = [](snmpaccess::SnmpTarget&, int) { return 0; };
    s.vinesLibrary = VINES_STANDIN;
    auto flow = std::make_unique<wizard::WizardFlow>(std::move(s));
    if (flow->run(target_, false) != 0) return nullptr;
    return flow;
  }

  // Next until the page `id` shows (bounded).
  static bool goTo(wizardgui::CWzWizardSheet& sheet, int id) {
    for (int i = 0; i < 8 && sheet.pageWidget(id) && !sheet.pageWidget(id)->isVisible(); ++i)
      QTest::mouseClick(sheet.nextButton(), Qt::LeftButton);
    return sheet.pageWidget(id) && sheet.pageWidget(id)->isVisible();
  }

  // Runs `drive` on the "Print Service" dialog once it is open (it is modal: the click that opens
  // it returns when `drive` has closed it).
  void inDialog(std::function<void(wizardgui::PrintServiceDialog*)> drive) {
    auto* poll = new QTimer(this);
    poll->setInterval(20);
    connect(poll, &QTimer::timeout, this, [poll, drive] {
      auto* d = qobject_cast<wizardgui::PrintServiceDialog*>(QApplication::activeModalWidget());
      if (!d) return;
      poll->stop();
      poll->deleteLater();
      drive(d);
      if (d->isVisible()) d->reject();
    });
    poll->start();
  }

  // The SET bindings the unit received after log line `mark`, sorted, each once.
  QStringList setOids(std::size_t mark) const {
    QStringList oids;
    const std::vector<QJsonObject> lines = sim_.logLines();
    for (std::size_t i = mark; i < lines.size(); ++i) {
      const QJsonObject& line = lines[i];
      if (line["kind"].toString() != "request" || line["pdu"].toString() != "set") continue;
      for (const auto& b : line["bindings"].toArray()) oids << b.toObject()["oid"].toString();
    }
    oids.sort();
    oids.removeDuplicates();
    return oids;
  }

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
  snmpaccess::HeadlessProgress progress_{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target_;
};

QTEST_MAIN(TestWizardSheet)
#include "test_wizard_sheet.moc"
