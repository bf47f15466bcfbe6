#include "app/gui/message_box_presenter.h"

#include <iostream>

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "platform/report_error.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"

namespace gui {
namespace {

QString appName() { return QString::fromUtf8(platform::loadString(platform::ids::kAppName)); }

// Boxes belong to the GUI thread; a message from another thread waits there for the answer.
template <typename F>
int onGuiThread(F f) {
  if (!qApp || QThread::currentThread() == qApp->thread()) return f();
  int result = 0;
  QMetaObject::invokeMethod(qApp, f, Qt::BlockingQueuedConnection, &result);
  return result;
}

int warningBox(const QString& title, const QString& text) {
  return onGuiThread([&] {
    QMessageBox::warning(QApplication::activeWindow(), title, text);
    return 1;
  });
}

}  // namespace

bool interactive() {
  if (!qApp) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

void installMessageBoxPresenter() {
  platform::setErrorPresenter([](const platform::ErrorMessage& m) {
    if (!interactive()) {
      std::cerr << m.title << ": " << m.text << "\n";
      return 1;
    }
    return warningBox(QString::fromStdString(m.title), QString::fromStdString(m.text));
  });
}

int showWarning(const std::string& text) {
  if (!interactive()) {
    std::cerr << appName().toStdString() << ": " << text << "\n";
    return 1;
  }
  return warningBox(appName(), QString::fromStdString(text));
}

bool askYesNo(const std::string& text, bool headlessAnswer) {
  if (!interactive()) {
    std::cerr << appName().toStdString() << ": " << text << (headlessAnswer ? "Yes" : "No") << "\n";
    return headlessAnswer;
  }
  return onGuiThread([&] {
           return static_cast<int>(QMessageBox::question(QApplication::activeWindow(), appName(),
                                                         QString::fromStdString(text),
                                                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::No);
         }) != 0;
}

}  // namespace gui
