#include "platform/qt/qt_message_target.h"

#include <QCoreApplication>
#include <QPointer>

namespace platform::qt {

QEvent::Type MessageEvent::eventType() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

QtMessageTarget::QtMessageTarget(QObject* parent) : QObject(parent) {}

QtMessageTarget::QtMessageTarget(Handler handler, QObject* parent) : QObject(parent), handler_(std::move(handler)) {}

void QtMessageTarget::post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  QCoreApplication::postEvent(this, new MessageEvent({msg, wParam, lParam}));
}

bool QtMessageTarget::event(QEvent* e) {
  if (e->type() == MessageEvent::eventType()) {
    const Message m = static_cast<MessageEvent*>(e)->message();
    QPointer<QtMessageTarget> alive(this);
    handleMessage(m);
    if (alive) emit messageArrived(m);
    return true;
  }
  return QObject::event(e);
}

void QtMessageTarget::handleMessage(const Message& message) {
  if (handler_) handler_(message);
}

}  // namespace platform::qt
