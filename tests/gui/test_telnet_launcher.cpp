// The telnet launcher starts the terminal with an argument list, and nothing for a bad address.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "tools/gui/telnet_launcher.h"

class TestTelnetLauncher : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    record_ = dir_.filePath(QStringLiteral("args"));
    QFile::remove(record_);
    // A stand-in terminal that writes each argument on its own line.
    const QString terminal = dir_.filePath(QStringLiteral("terminal"));
    QFile script(terminal);
    QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write(
        QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n").arg(record_).toUtf8());
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("TRELLAN_TERMINAL", terminal.toUtf8());
  }

  void cleanup() { qunsetenv("TRELLAN_TERMINAL"); }

  void startsTheTerminalWithArguments() {
    QVERIFY(startTelnet("010.1.2.3"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record_), 10000);
    QFile f(record_);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()), QStringLiteral("-e\ntelnet\n10.1.2.3\n"));
  }

  void refusesWhatIsNotADottedQuad() {
    QVERIFY(!startTelnet("1.2.3.4; touch /tmp/trellan-telnet-injected"));
    QVERIFY(!startTelnet(""));
    // Give a wrongly started terminal the time it would need to write its record.
    QTest::qWait(300);
    QVERIFY(!QFile::exists(record_));
  }

 private:
  QTemporaryDir dir_;
  QString record_;
};

QTEST_MAIN(TestTelnetLauncher)
#include "test_telnet_launcher.moc"
