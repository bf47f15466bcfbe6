// "Setup Unlisted IP Server" and "Enter IP address" offscreen: the short and the long form, the
// proposed destination, "Use Multicast", what OK sends and when the dialog stays; and, against
// trellan-sim, a native unit without an address given one through the dialog and answering there.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/gui/unlisted_ip_dialog.h"
#include "app/unlisted_ip_setup.h"
#include "devices/device.h"
#include "platform/net_config.h"
#include "support/sim_process.h"

namespace {

struct Sent {
  std::uint32_t identifier = 0;
  std::uint32_t address = 0;
  devices::InitDestination to;
};

struct Fakes {
  std::vector<std::uint32_t> reports;
  std::vector<Sent> sent;
  app::InitSendServices services() {
    app::InitSendServices s;
    s.report = [this](std::uint32_t id) { reports.push_back(id); };
    s.send = [this](std::uint32_t id, std::uint32_t a, const devices::InitDestination& d) {
      sent.push_back({id, a, d});
      return devices::InitSend::Sent;
    };
    return s;
  }
};

template <typename T>
T* child(QWidget& w, const char* name) {
  return w.findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

class TestAddressAssignmentDialogs : public QObject {
  Q_OBJECT

 private slots:
  void unlistedShortAndLongForm() {
    Fakes f;
    app::CUnlistedIpSetup model;
    gui::CUnlistedIpDialog dialog(model, f.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Setup Unlisted IP Server"));
    auto* lower = child<QWidget>(dialog, "lower");
    auto* ok = child<QPushButton>(dialog, "ok");
    auto* next = child<QPushButton>(dialog, "next");
    QVERIFY(lower && ok && next);
    QVERIFY(!lower->isVisible());
    QVERIFY(!ok->isVisible());
    const int shortHeight = dialog.height();

    QTest::keyClicks(child<QLineEdit>(dialog, "serial"), "11930x46");  // letters do not get in
    QCOMPARE(child<QLineEdit>(dialog, "serial")->text(), QStringLiteral("1193046"));
    QTest::keyClicks(child<QLineEdit>(dialog, "address"), "10.1.2");
    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(f.reports, std::vector<std::uint32_t>{devices::kErrIpAddress});
    QVERIFY(!lower->isVisible());

    QTest::keyClicks(child<QLineEdit>(dialog, "address"), ".3");
    QTest::mouseClick(next, Qt::LeftButton);
    QVERIFY(lower->isVisible());
    QVERIFY(ok->isVisible());
    QVERIFY(!next->isVisible());
    QVERIFY(dialog.height() > shortHeight);
    auto* destination = child<QLineEdit>(dialog, "destination");
    QCOMPARE(destination->text(), QStringLiteral("10.1.2.255"));

    auto* multicast = child<QCheckBox>(dialog, "multicast");
    multicast->setChecked(true);
    QCOMPARE(destination->text(), QStringLiteral("multicast"));
    QVERIFY(!destination->isEnabled());
    multicast->setChecked(false);
    QCOMPARE(destination->text(), QStringLiteral("10.1.2.255"));

    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.sent.size(), std::size_t(1));
    QCOMPARE(f.sent[0].identifier, 0x123456u);
    QCOMPARE(f.sent[0].address, 0x0A010203u);
    QVERIFY(!f.sent[0].to.multicast);
    QCOMPARE(f.sent[0].to.address, 0x0A0102FFu);
  }

  void enterIpAddress() {
    std::vector<std::string> asked;
    gui::CEnterIpDialog dialog([&](const std::string& a) {
      asked.push_back(a);
      return a == "127.0.9.9";
    });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter IP address"));
    auto* edit = child<QLineEdit>(dialog, "address");
    QCOMPARE(edit->maxLength(), 15);
    QTest::keyClicks(edit, "127.0.9");
    QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QTest::keyClicks(edit, ".9");
    QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(asked, (std::vector<std::string>{"127.0.9", "127.0.9.9"}));
  }

  // The dialog's OK sends the real request; the simulated unit answers at the new address.
  void unlistedUnitAnswersAtItsNewAddress() {
    QTemporaryDir dir;
    QFile fleet(dir.path() + "/fleet.json");
    QVERIFY(fleet.open(QIODevice::WriteOnly));
    fleet.write(R"({"devices":[{"address":"127.0.71.1","name":"FRESH","hardware_address":"020000071001",
                  "discovery":{"ip":"192.0.0.192"}}]})");
    fleet.close();
    simtest::SimProcess sim;
    QVERIFY2(sim.start(dir.path(), fleet.fileName()), qPrintable(sim.error));
    app::CUnlistedIpSetup model;
    app::InitSendServices services;
    services.discoveryPort = sim.discoveryPort;
    services.report = [](std::uint32_t id) { QFAIL(qPrintable(QString::number(id))); };
    gui::CUnlistedIpDialog dialog(model, services);
    dialog.show();
    QTest::keyClicks(child<QLineEdit>(dialog, "serial"), QString::number(0x071001));
    QTest::keyClicks(child<QLineEdit>(dialog, "address"), "127.0.72.1");
    QTest::mouseClick(child<QPushButton>(dialog, "next"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(dialog, "destination")->text(), QStringLiteral("127.0.72.255"));
    QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    devices::CIpDevice unit;
    unit.querySettings.discoveryPort = sim.discoveryPort;
    unit.querySettings.replyTimeoutMs = 500;
    QCOMPARE(unit.waitForAnswer(5, "127.0.72.1"), 0);
    QCOMPARE(QString::fromLatin1(unit.systemName.c_str()), QStringLiteral("FRESH"));
    QVERIFY(unit.configured);
  }

  // Pictures of both dialogs for the documentation (scripts/screenshots.sh).
  void screenshots() {
    const QString out = qEnvironmentVariable("TRELLAN_SCREENSHOT_DIR");
    if (out.isEmpty()) QSKIP("TRELLAN_SCREENSHOT_DIR not set");
    Fakes f;
    app::CUnlistedIpSetup model;
    gui::CUnlistedIpDialog dialog(model, f.services());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClicks(child<QLineEdit>(dialog, "serial"), "1193046");
    QTest::keyClicks(child<QLineEdit>(dialog, "address"), "192.168.7.20");
    QVERIFY(dialog.grab().save(out + "/setup-unlisted-ip-server.png"));
    QTest::mouseClick(child<QPushButton>(dialog, "next"), Qt::LeftButton);
    QVERIFY(dialog.grab().save(out + "/setup-unlisted-ip-server-long.png"));
    gui::CEnterIpDialog enter([](const std::string&) { return true; });
    enter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&enter));
    QTest::keyClicks(enter.findChild<QLineEdit*>(), "192.168.7.21");
    QVERIFY(enter.grab().save(out + "/enter-ip-address.png"));
  }
};

QTEST_MAIN(TestAddressAssignmentDialogs)
#include "test_address_assignment_dialogs.moc"
