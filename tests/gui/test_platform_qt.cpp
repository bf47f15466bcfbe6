// The Qt side of the platform layer: posted messages and socket notifications on the GUI thread.
#include <QCoreApplication>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/net_config.h"
#include "platform/qt/qt_message_target.h"
#include "platform/qt/qt_socket_watch.h"
#include "platform/udp_socket.h"

using namespace platform;
using namespace platform::qt;

class TestPlatformQt : public QObject {
  Q_OBJECT

 private:
  NetConfig saved_;

  struct Pair {
    UdpSocket receiver;
    UdpSocket sender;
    void send() { QVERIFY(sender.sendTo("x", 1, receiver.localAddress()).ok()); }
    bool readOne() {
      char b[8];
      return receiver.recvFrom(b, sizeof b).ok();
    }
  };
  static void open(Pair& p) {
    QCOMPARE(p.receiver.open(), 0);
    QCOMPARE(p.receiver.bind({kLoopbackAddress, 0}), 0);
    QCOMPARE(p.sender.open(), 0);
  }
  static void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }

 private slots:
  void initTestCase() {
    saved_ = netConfig();
    NetConfig c;
    c.loopbackOnly = true;
    setNetConfig(c);
  }
  void cleanupTestCase() { setNetConfig(saved_); }

  void postFromAnotherThreadArrivesOnTheGuiThread() {
    std::vector<Message> got;
    std::vector<QThread*> threads;
    QtMessageTarget target([&](const Message& m) {
      got.push_back(m);
      threads.push_back(QThread::currentThread());
    });
    int signalled = 0;
    connect(&target, &QtMessageTarget::messageArrived, this, [&](const Message&) { ++signalled; });

    std::thread worker([&target] {
      for (std::uintptr_t i = 0; i < 3; ++i) target.post(0x800F, i, -5);
      target.post(0x8012, 0, 0);
    });
    worker.join();
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), std::size_t{4}, 5000);
    for (std::size_t i = 0; i < 3; ++i) {
      QCOMPARE(got[i].msg, 0x800Fu);
      QCOMPARE(got[i].wParam, i);
      QCOMPARE(got[i].lParam, std::intptr_t{-5});
    }
    QCOMPARE(got[3].msg, 0x8012u);
    for (QThread* t : threads) QCOMPARE(t, QCoreApplication::instance()->thread());
    QCOMPARE(signalled, 4);
  }

  void messagesQueuedForADeletedTargetAreDropped() {
    int handled = 0;
    auto* target = new QtMessageTarget([&](const Message&) { ++handled; });
    target->post(1, 0, 0);
    delete target;
    settle(20);
    QCOMPARE(handled, 0);
  }

  void socketNotifierPostsOnceUntilRearmed() {
    Pair p;
    open(p);
    int notified = 0;
    std::uintptr_t socket = 0;
    QtMessageTarget target([&](const Message& m) {
      if (m.msg == 2561) {
        ++notified;
        socket = m.wParam;
        QCOMPARE(m.lParam, kSocketEventRead);
      }
    });
    QtSocketWatch watch;
    QVERIFY(watch.watch(p.receiver.fd(), &target, 2561));
    p.send();
    p.send();
    QTRY_COMPARE_WITH_TIMEOUT(notified, 1, 5000);
    QCOMPARE(socket, static_cast<std::uintptr_t>(p.receiver.fd()));
    settle(50);
    QCOMPARE(notified, 1);  // still data waiting, but no repeat before the owner has read

    QVERIFY(p.readOne());
    watch.rearm(p.receiver.fd());
    QTRY_COMPARE_WITH_TIMEOUT(notified, 2, 5000);
    QVERIFY(p.readOne());
    watch.rearm(p.receiver.fd());
    settle(50);
    QCOMPARE(notified, 2);

    watch.unwatch(p.receiver.fd());
    p.send();
    settle(50);
    QCOMPARE(notified, 2);
  }

  void watchFromAWorkerThread() {
    Pair p;
    open(p);
    std::atomic<int> notified{0};
    QtMessageTarget target([&](const Message& m) {
      if (m.msg == 1101) ++notified;
    });
    QtSocketWatch watch;
    std::thread worker([&] {
      watch.watch(p.receiver.fd(), &target, 1101);
      p.sender.sendTo("x", 1, p.receiver.localAddress());
    });
    worker.join();
    QTRY_COMPARE_WITH_TIMEOUT(notified.load(), 1, 5000);

    // Rearm from the worker as well; the next datagram is announced.
    QVERIFY(p.readOne());
    std::thread again([&] {
      watch.rearm(p.receiver.fd());
      p.sender.sendTo("y", 1, p.receiver.localAddress());
    });
    again.join();
    QTRY_COMPARE_WITH_TIMEOUT(notified.load(), 2, 5000);
    watch.unwatch(p.receiver.fd());
  }
};

QTEST_GUILESS_MAIN(TestPlatformQt)
#include "test_platform_qt.moc"
