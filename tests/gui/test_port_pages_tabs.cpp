// The Output Port, Token Ring, EtherTalk and VINES tabs of the configuration sheet, offscreen,
// against the configuration fleet: what they show, an edit saved as exactly its binding, a
// refused value that keeps the tab in front and sends nothing, the AppleTalk typing filter; and
// (only when asked) a picture of each tab.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "access/progress_headless.h"
#include "config/config_sheet.h"
#include "config/gui/config_sheet_dialog.h"
#include "config/port_pages.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"
#include "tests/support/sim_process.h"
#include "vines/vines_page.h"

namespace {
const QString E = "1.3.6.1.4.1.1240.2.3.5";
}

class TestPortPagesTabs : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const QString fleet = QFINDTESTDATA("../../sim/data/config-fleet.json");
    QVERIFY2(!fleet.isEmpty(), "config-fleet.json not found");
    QVERIFY2(sim_.start(dir_.path(), fleet), qPrintable(sim_.error));
    qputenv("TRELLAN_SNMP_PORT", QByteArray::number(sim_.snmpPort));
    QVERIFY(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE);
    snmpaccess::setGroupTimeouts(50, 50);
  }
  void cleanupTestCase() { SnmpCleanup(); }

  void outputPortEditIsSavedAsItsBinding() {
    auto sheet = open("127.0.5.121", 4);
    QVERIFY(sheet);
    configgui::CConfigSheetDialog dialog(*sheet, "t");
    QStringList titles;
    for (int i = 0; i < dialog.tabs()->count(); ++i) titles << dialog.tabs()->tabText(i);
    QCOMPARE(titles, (QStringList{"TCP/IP", "VINES", "EtherTalk", "Output Port", "Wireless", "SNMP", "Protocols", "SNMP Traps"}));
    dialog.show();
    dialog.tabs()->setCurrentIndex(titles.indexOf("Output Port"));
    config::CDevicePage* page = dialog.currentPage();
    auto* name = qobject_cast<QLineEdit*>(dialog.field(page, "name"));
    QVERIFY(name);
    QCOMPARE(name->text(), QString("COM1"));
    auto* port = qobject_cast<QComboBox*>(dialog.field(page, "port"));
    QVERIFY(port && port->isVisibleTo(&dialog));
    QCOMPARE(port->currentText(), QString("5"));
    auto* output = qobject_cast<QComboBox*>(dialog.field(page, "outputType"));
    QVERIFY(output);
    QCOMPARE(output->currentText(), QString("Serial Output"));
    QVERIFY(dialog.field(page, "serialSettings")->isVisibleTo(&dialog));
    name->selectAll();
    QTest::keyClicks(name, "LABEL5");
    dialog.setConfirm([](const std::string&) { return true; });
    dialog.accept();
    QCOMPARE(setsOf("127.0.5.121"),
             (std::vector<QStringList>{{E + ".6.2.3.2.1.2.5"}, {E + ".2.2.0"}}));
  }

  void badRingAddressKeepsTheTabAndSendsNothing() {
    auto sheet = open("127.0.5.125", 0);
    QVERIFY(sheet);
    configgui::CConfigSheetDialog dialog(*sheet, "t");
    std::vector<std::string> told;
    dialog.setInform([&told](const std::string& m) { told.push_back(m); });
    dialog.show();
    int ring = -1;
    for (int i = 0; i < dialog.tabs()->count(); ++i)
      if (dialog.tabs()->tabText(i) == "Token Ring") ring = i;
    QVERIFY(ring >= 0);
    dialog.tabs()->setCurrentIndex(ring);
    config::CDevicePage* page = dialog.currentPage();
    auto* enable = qobject_cast<QCheckBox*>(dialog.field(page, "enable"));
    auto* address = qobject_cast<QLineEdit*>(dialog.field(page, "address"));
    QVERIFY(enable && address);
    QVERIFY(enable->isChecked());
    QCOMPARE(address->text(), QString("400000000001"));
    address->selectAll();
    QTest::keyClicks(address, "12");
    dialog.tabs()->setCurrentIndex(0);
    QCOMPARE(dialog.tabs()->currentIndex(), ring);
    QCOMPARE(told, std::vector<std::string>{"Invalid Network Address."});
    dialog.setConfirm([](const std::string&) { return true; });
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QVERIFY(setsOf("127.0.5.125").empty());
  }

  void appleTalkFieldsRefuseReservedCharacters() {
    auto sheet = open("127.0.5.127", 1);
    QVERIFY(sheet);
    configgui::CConfigSheetDialog dialog(*sheet, "t");
    dialog.show();
    int tab = -1;
    for (int i = 0; i < dialog.tabs()->count(); ++i)
      if (dialog.tabs()->tabText(i) == "EtherTalk") tab = i;
    QVERIFY(tab >= 0);
    dialog.tabs()->setCurrentIndex(tab);
    config::CDevicePage* page = dialog.currentPage();
    auto* name = qobject_cast<QLineEdit*>(dialog.field(page, "name"));
    auto* zone = qobject_cast<QLineEdit*>(dialog.field(page, "zone"));
    QVERIFY(name && zone);
    QCOMPARE(name->text(), QString("ETHERTALK-2"));
    name->end(false);
    QTest::keyClicks(name, "@");
    QCOMPARE(name->text(), QString("ETHERTALK-2"));
    QCOMPARE(zone->text(), QString("*"));
    zone->end(false);
    QTest::keyClicks(zone, "a");
    QCOMPARE(zone->text(), QString("*"));
    zone->selectAll();
    QTest::keyClicks(zone, "L");
    QCOMPARE(zone->text(), QString("L"));
    dialog.reject();
  }

  // Pictures of the tabs for the documentation: only when asked (scripts/screenshots.sh).
  void screenshots() {
    const QString out = qEnvironmentVariable("TRELLAN_SCREENSHOT_DIR");
    if (out.isEmpty()) QSKIP("TRELLAN_SCREENSHOT_DIR not set");
    struct Shot {
      const char* address;
      int port;
      const char* tab;
      const char* file;
    } shots[] = {
        {"127.0.5.121", 4, "Output Port", "config-output-port.png"},
        {"127.0.5.125", 0, "Token Ring", "config-token-ring.png"},
        {"127.0.5.127", 1, "EtherTalk", "config-ethertalk.png"},
        {"127.0.5.128", 0, "VINES", "config-vines.png"},
    };
    for (const Shot& s : shots) {
      auto sheet = open(s.address, s.port);
      QVERIFY(sheet);
      configgui::CConfigSheetDialog dialog(*sheet, QString::fromStdString(config::CConfigPropSheet::titleFor(s.address)));
      dialog.resize(dialog.sizeHint().expandedTo(QSize(560, 460)));
      dialog.show();
      for (int i = 0; i < dialog.tabs()->count(); ++i)
        if (dialog.tabs()->tabText(i) == s.tab) dialog.tabs()->setCurrentIndex(i);
      QTest::qWait(100);
      QVERIFY(dialog.grab().save(out + "/" + s.file));
      dialog.reject();
    }
  }

 private:
  std::unique_ptr<config::CConfigPropSheet> open(const char* address, int port) {
    target_.setAddress(address);
    target_.setGetCommunity("vorlak");
    target_.setSetCommunity("vorlak");
    target_.progress = &progress_;
    config::SheetServices s;
    s.pause = [](int) { return true; };
    s.identify = [](snmpaccess::SnmpTarget&, int) { return 0; };
    auto sheet = std::make_unique<config::CConfigPropSheet>(std::move(s));
    config::installPortPages(*sheet, E.toStdString());
    sheet->setPage(config::PageSlot::Vines, std::make_unique<vines::CVinesPage>(E.toStdString()));
    if (sheet->Start(target_, port) != 0) return nullptr;
    return sheet;
  }

  std::vector<QStringList> setsOf(const QString& address) const {
    std::vector<QStringList> sets;
    for (const QJsonObject& line : sim_.logLines()) {
      if (line["kind"].toString() != "request" || line["pdu"].toString() != "set" ||
          line["device"].toString() != address)
        continue;
      QStringList oids;
      for (const auto& b : line["bindings"].toArray()) oids << b.toObject()["oid"].toString();
      sets.push_back(oids);
    }
    return sets;
  }

  QTemporaryDir dir_;
  simtest::SimProcess sim_;
  snmpaccess::HeadlessProgress progress_{&snmp::headlessWatch()};
  snmpaccess::SnmpTarget target_;
};

QTEST_MAIN(TestPortPagesTabs)
#include "test_port_pages_tabs.moc"
