#include "tools/gui/telnet_launcher.h"

#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>

#include "tools/telnet.h"

bool startTelnet(std::string_view address) {
  const auto command = telnetCommand(address);
  if (!command) return false;
  QStringList arguments;
  for (const auto& a : command->arguments) arguments << QString::fromStdString(a);
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  const bool started = QProcess::startDetached(QString::fromStdString(command->program), arguments);
  QGuiApplication::restoreOverrideCursor();
  return started;
}
