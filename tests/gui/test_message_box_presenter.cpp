// Error boxes raised on a worker thread: the worker goes on at once, the box appears on the GUI thread.
#include <QApplication>
#include <QThread>
#include <QtTest>

#include <chrono>
#include <future>
#include <thread>

#include "app/gui/message_box_presenter.h"
#include "platform/report_error.h"

class TestMessageBoxPresenter : public QObject {
  Q_OBJECT

  struct Shown {
    QString title, text;
    QThread* thread = nullptr;
  };

 private slots:
  void cleanup() { platform::setErrorPresenter({}); }

  // The GUI thread joins the worker without handling events, as stopping a search does.
  void workerErrorDoesNotWaitForTheGuiThread() {
    std::vector<Shown> shown;
    gui::installMessageBoxPresenter(
        [&](const QString& title, const QString& text) { shown.push_back({title, text, QThread::currentThread()}); });

    std::promise<void> done;
    auto finished = done.get_future();
    std::thread worker([&] {
      platform::ReportError(5013, platform::kErrorProgram, 10061, platform::kErrorSockets);
      done.set_value();
    });
    const bool returned = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    // A worker stuck in the box is released by handling events, so that the test can end.
    for (int i = 0; i < 100 && finished.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready; ++i)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    worker.join();
    QVERIFY2(returned, "the worker waited for the GUI thread to show its error");

    QCoreApplication::processEvents();
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].thread, qApp->thread());
    QVERIFY2(shown[0].text.contains("(IP5013,WS10061)"), qPrintable(shown[0].text));
  }

  void guiThreadErrorIsShownAtOnce() {
    std::vector<Shown> shown;
    gui::installMessageBoxPresenter(
        [&](const QString& title, const QString& text) { shown.push_back({title, text, QThread::currentThread()}); });
    QCOMPARE(platform::ReportError(5005, platform::kErrorProgram), 1);
    QCOMPARE(shown.size(), std::size_t{1});
    QVERIFY2(shown[0].text.contains("(IP5005)"), qPrintable(shown[0].text));
  }

  void workerQuestionTakesTheDefaultAnswer() {
    bool answer = true;
    std::thread worker([&] { answer = gui::askYesNo("Go on?", false); });
    worker.join();
    QCOMPARE(answer, false);
  }
};

QTEST_MAIN(TestMessageBoxPresenter)
#include "test_message_box_presenter.moc"
