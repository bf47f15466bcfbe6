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

bool onGuiThreadNow() { return !qApp || QThread::currentThread() == qApp->thread(); }

void defaultBox(const QString& title, const QString& text) {
  QMessageBox::warning(QApplication::activeWindow(), title, text);
}

// Boxes belong to the GUI thread. A message from another thread (a search worker) is posted there
// and shown when the GUI thread next handles events: the worker never waits for a click, so a GUI
// thread joining that worker cannot deadlock with it.
int warningBox(const WarningBox& box, const QString& title, const QString& text) {
  if (onGuiThreadNow()) {
    box(title, text);
    return 1;
  }
  QMetaObject::invokeMethod(qApp, [box, title, text] { box(title, text); }, Qt::QueuedConnection);
  return 1;
}

}  // namespace

bool interactive() {
  if (!qApp) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal";
}

void installMessageBoxPresenter(WarningBox box) {
  platform::setErrorPresenter([box = std::move(box)](const platform::ErrorMessage& m) {
    return warningBox(box, QString::fromStdString(m.title), QString::fromStdString(m.text));
  });
}

void installMessageBoxPresenter() {
  installMessageBoxPresenter([](const QString& title, const QString& text) {
    if (!interactive()) {
      std::cerr << title.toStdString() << ": " << text.toStdString() << "\n";
      return;
    }
    defaultBox(title, text);
  });
}

int showWarning(const std::string& text) {
  if (!interactive()) {
    std::cerr << appName().toStdString() << ": " << text << "\n";
    return 1;
  }
  return warningBox(defaultBox, appName(), QString::fromStdString(text));
}

bool askYesNo(const std::string& text, bool headlessAnswer) {
  // A question needs its answer before the caller goes on; only the GUI thread may wait for one.
  if (!interactive() || !onGuiThreadNow()) {
    std::cerr << appName().toStdString() << ": " << text << (headlessAnswer ? "Yes" : "No") << "\n";
    return headlessAnswer;
  }
  return QMessageBox::question(QApplication::activeWindow(), appName(), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
}

}  // namespace gui
