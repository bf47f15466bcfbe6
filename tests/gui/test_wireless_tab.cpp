// The Wireless tab and the Wireless Security dialog offscreen, on a simulated wireless unit: the
// tab shows the unit's lists and the mode rule, an edit reaches the wire as exactly its binding,
// the dialog refuses a bad key with its message and hands a good one to the page, keys are typed
// as dots, and Send goes through the certificate flow.
#include <QComboBox>
#include <QGroupBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <string>
#include <vector>

#include "access/progress_headless.h"
#include "config/config_sheet.h"
#include "config/gui/config_sheet_dialog.h"
#include "config/gui/wireless_tab.h"
#include "config/wireless_page.h"
#include "platform/net_config.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "tests/support/sim_process.h"

class TestWirelessTab : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const QString fleet = QFINDTESTDATA("../../sim/data/wireless-fleet.json");
    QVERIFY2(!fleet.isEmpty(), "wireless-fleet.json not found");
    QVERIFY2(sim_.start(dir_.path(), fleet), qPrintable(sim_.error));
    qputenv("TRELLAN_SNMP_PORT", QByteArray::number(sim_.snmpPort));
    platform::NetConfig c = platform::netConfig();
    c.snmpPort = sim_.snmpPort;
    platform::setNetConfig(c);
    QVERIFY(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE);
    snmpaccess::setGroupTimeouts(50, 50);
  }
  void cleanupTestCase() { SnmpCleanup(); }

  void tabShowsTheUnitAndOkSendsTheEdit() {
    auto sheet = start("127.0.6.4");
    QVERIFY(sheet);
    configgui::CConfigSheetDialog dialog(*sheet, "Server Configuration - 127.0.6.4");
    dialog.setConfirm([](const std::string&) { return true; });
    int tab = -1;
    for (int i = 0; i < dialog.tabs()->count(); ++i)
      if (dialog.tabs()->tabText(i) == "Wireless") tab = i;
    QVERIFY(tab >= 0);
    dialog.tabs()->setCurrentIndex(tab);
    auto* channel = dialog.findChild<QComboBox*>("channel");
    auto* mode = dialog.findChild<QComboBox*>("wirelessMode");
    auto* country = dialog.findChild<QComboBox*>("country");
    QVERIFY(channel && mode && country);
    QCOMPARE(mode->currentText(), QString("Infrastructure"));
    QVERIFY(!channel->isEnabled());
    QCOMPARE(country->currentText(), QString("United States"));
    QCOMPARE(country->count(), 3);
    mode->setCurrentIndex(0);
    emit mode->activated(0);
    QVERIFY(channel->isEnabled());
    mode->setCurrentIndex(1);
    emit mode->activated(1);
    auto* ssid = dialog.findChild<QLineEdit*>("ssid");
    QVERIFY(ssid);
    QCOMPARE(ssid->maxLength(), 32);
    ssid->selectAll();
    QTest::keyClicks(ssid, "floor-3");
    const std::size_t before = sets().size();
    dialog.accept();
    const auto after = sets();
    QCOMPARE(after.size(), before + 2);
    QCOMPARE(after[before], QStringList{E + ".8.3.4.0"});
    QCOMPARE(after[before + 1], QStringList{E + ".2.2.0"});
  }

  void securityDialogChecksKeysAndSends() {
    auto sheet = start("127.0.6.2");  // level 1: WEP only
    QVERIFY(sheet);
    auto* page = dynamic_cast<config::CWirelessPage*>(sheet->page(config::PageSlot::Wireless));
    QVERIFY(page);
    page->open();
    std::vector<std::string> told;
    configgui::CWirelessSecurityDialog dialog(*page, [&](const std::string& t) { told.push_back(t); });
    auto* encryption = dialog.findChild<QComboBox*>("encryption");
    QVERIFY(encryption);
    QCOMPARE(encryption->count(), 3);
    encryption->setCurrentIndex(1);
    emit encryption->activated(1);
    auto* key1 = dialog.findChild<QLineEdit*>("key1");
    QVERIFY(key1);
    QCOMPARE(key1->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.findChild<QGroupBox*>()->title(), QString("64-bit WEP Key"));
    QTest::keyClicks(key1, "012345678");
    dialog.accept();
    QCOMPARE(told, std::vector<std::string>{"The WEP Key must be 10 characters."});
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(key1->selectedText(), QString("012345678"));  // the refused key is selected
    key1->end(false);
    QTest::keyClicks(key1, "9");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(page->security.keys[0], std::string("0123456789"));
    QCOMPARE(page->security.encryption, 1);

    // Send, on a level 3 unit with TTLS: no file, then a file with a password asked twice.
    told.clear();
    auto three = start("127.0.6.4");
    QVERIFY(three);
    auto* page3 = dynamic_cast<config::CWirelessPage*>(three->page(config::PageSlot::Wireless));
    QVERIFY(page3);
    page3->open();
    configgui::CWirelessSecurityDialog again(*page3, [&](const std::string& t) { told.push_back(t); });
    auto* file = again.findChild<QLineEdit*>("certificateFile");
    auto* authType = again.findChild<QComboBox*>("authType");
    QVERIFY(file && authType);
    QCOMPARE(authType->currentText(), QString("PSK"));
    QVERIFY(!file->isEnabled());  // certificates go with TTLS and PEAP
    authType->setCurrentIndex(authType->findText("TTLS"));
    emit authType->activated(authType->currentIndex());
    QVERIFY(file->isEnabled());
    std::vector<std::string> uploads;
    again.setUploader([&](const std::string& address, const std::string& password, const std::string& file) {
      uploads.push_back(address + " " + password + " " + file);
      return 0;
    });
    std::vector<std::optional<std::string>> answers = {"", "lab-pass"};
    again.setPasswordPrompt([&]() -> std::optional<std::string> {
      auto a = answers.front();
      answers.erase(answers.begin());
      return a;
    });
    again.sendCertificate();
    QCOMPARE(told, std::vector<std::string>{"No certificate filename specified."});
    QTest::keyClicks(file, "/tmp/printer.pem");
    again.sendCertificate();
    QCOMPARE(uploads, std::vector<std::string>{"127.0.6.4 lab-pass /tmp/printer.pem"});
    QCOMPARE(told, std::vector<std::string>{"No certificate filename specified."});
  }

  // Pictures for the documentation: only when asked (scripts/screenshots.sh).
  void screenshots() {
    const QString out = qEnvironmentVariable("TRELLAN_SCREENSHOT_DIR");
    if (out.isEmpty()) QSKIP("TRELLAN_SCREENSHOT_DIR not set");
    auto sheet = start("127.0.6.10");
    QVERIFY(sheet);
    configgui::CConfigSheetDialog dialog(*sheet, "Server Configuration - 127.0.6.10");
    dialog.resize(dialog.sizeHint().expandedTo(QSize(560, 460)));
    for (int i = 0; i < dialog.tabs()->count(); ++i)
      if (dialog.tabs()->tabText(i) == "Wireless") dialog.tabs()->setCurrentIndex(i);
    dialog.show();
    QTest::qWait(100);
    QVERIFY(dialog.grab().save(out + "/config-wireless-country.png"));
    auto* page = dynamic_cast<config::CWirelessPage*>(sheet->page(config::PageSlot::Wireless));
    QVERIFY(page);
    configgui::CWirelessSecurityDialog security(*page, {});
    security.show();
    QTest::qWait(100);
    QVERIFY(security.grab().save(out + "/config-wireless-security.png"));
  }

 private:
  std::unique_ptr<config::CConfigPropSheet> start(const char* address) {
    config::SheetServices s;
    s.pause = [](int) { return true; };
    s.identify = [](snmpaccess::SnmpTarget&, int) { return 0; };
    auto sheet = std::make_unique<config::CConfigPropSheet>(std::move(s));
    target_.setAddress(address);
    target_.setGetCommunity("vorlak");
    target_.setSetCommunity("vorlak");
    target_.progress = &progress_;
    if (sheet->Start(target_, 0) != 0) return nullptr;
    return sheet;
  }

  std::vector<QStringList> sets() {
    std::vector<QStringList> out;
    for (const QJsonObject& line : sim_.logLines()) {
      if (line["kind"].toString() != "request" || line["pdu"].toString() != "set") continue;
      QStringList oids;
      for (const auto& b : line["bindings"].toArray()) oids << b.toObject()["oid"].toString();
      out.push_back(oids);
    }
    return out;
  }

  const QString E = "1.3.6.1.4.1.1240.2.3.5";
  QTemporaryDir dir_;
  simtest::SimProcess sim_;
  snmpaccess::HeadlessProgress progress_{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target_;
};

QTEST_MAIN(TestWirelessTab)
#include "test_wireless_tab.moc"
