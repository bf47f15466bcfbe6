#pragma once
// The GUI's message target: a QObject that receives posted messages as events on its own
// thread, the way a window procedure received posted window messages.
#include <QEvent>
#include <QObject>

#include <functional>

#include "platform/message.h"
#include "platform/message_target.h"

namespace platform::qt {

// The event that carries one posted message.
class MessageEvent final : public QEvent {
 public:
  explicit MessageEvent(const Message& message) : QEvent(eventType()), message_(message) {}
  const Message& message() const { return message_; }
  static QEvent::Type eventType();

 private:
  Message message_;
};

class QtMessageTarget : public QObject, public MessageTarget {
  Q_OBJECT

 public:
  using Handler = std::function<void(const Message&)>;

  explicit QtMessageTarget(QObject* parent = nullptr);
  explicit QtMessageTarget(Handler handler, QObject* parent = nullptr);

  // Thread-safe: queues an event to this object; the handler runs on this object's thread.
  // Messages still queued when the object is destroyed are dropped.
  void post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

  // Set on this object's thread.
  void setHandler(Handler handler) { handler_ = std::move(handler); }

 signals:
  // Emitted after the handler for every message (a wait loop can watch for its message here).
  void messageArrived(const platform::Message& message);

 protected:
  bool event(QEvent* e) override;
  // Default: calls the handler.
  virtual void handleMessage(const Message& message);

 private:
  Handler handler_;
};

}  // namespace platform::qt
