// The second "SNMP Traps" form's tab shows its model's values and forwards a check-box edit.
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <QtTest>

#include "config/gui/port_traps_tab.h"

class TestPortTrapsTab : public QObject {
  Q_OBJECT

 private slots:
  void showsTheModelAndForwardsAnEdit() {
    config::CPortTrapsPage page;
    page.kinds = {{"TCP/IP", config::kTrapTcpIp}, {"SMTP", config::kTrapSmtp}};
    page.kind = config::kTrapTcpIp;
    page.destinations = {{"127.0.9.1", 0}, {"127.0.9.2", 1}};
    page.position = 1;
    page.gpioEvents = {{"Input 1", 1, true}, {"Input 2", 2, false}};
    page.portEvents = {{"Paper Out", 1, false}, {"Offline", 2, true}};

    QWidget holder;
    auto* form = new QFormLayout(&holder);
    configgui::buildPortTrapsTab(&holder, form, page, {});

    auto* kinds = holder.findChild<QComboBox*>("trapProtocol");
    auto* address = holder.findChild<QComboBox*>("trapAddress");
    auto* smtp = holder.findChild<QLineEdit*>("smtpServer");
    auto* gpio = holder.findChild<QListWidget*>("gpioEvents");
    auto* events = holder.findChild<QListWidget*>("portEvents");
    QVERIFY(kinds && address && smtp && gpio && events);
    QCOMPARE(kinds->count(), 2);
    QCOMPARE(kinds->currentText(), QString("TCP/IP"));
    QVERIFY(smtp->isHidden());
    QCOMPARE(address->count(), 2);
    QCOMPARE(address->currentText(), QString("127.0.9.2"));
    QCOMPARE(gpio->count(), 2);
    QCOMPARE(gpio->item(0)->text(), QString("Input 1"));
    QCOMPARE(gpio->item(0)->checkState(), Qt::Checked);
    QCOMPARE(gpio->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(events->count(), 2);
    QCOMPARE(events->item(1)->text(), QString("Offline"));
    QCOMPARE(events->item(1)->checkState(), Qt::Checked);

    // Edits reach the model.
    gpio->item(1)->setCheckState(Qt::Checked);
    QVERIFY(page.gpioEvents[1].checked);
    events->item(1)->setCheckState(Qt::Unchecked);
    QVERIFY(!page.portEvents[1].checked);
    QVERIFY(!page.portEvents[0].checked);
  }
};

QTEST_MAIN(TestPortTrapsTab)
#include "test_port_traps_tab.moc"
