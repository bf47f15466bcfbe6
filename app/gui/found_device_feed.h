#pragma once
// Found-device messages on their way into the list: each message is only remembered when it
// arrives, and the devices are accepted in short slices between which the event loop runs, so a
// burst of thousands of replies never holds the window up. Each accepted device goes to a sink
// (the list model's queue, which shows a batch as one insertion).
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>

#include "platform/message.h"

class FoundDeviceFeed : public QObject {
  Q_OBJECT

 public:
  // `accept` hands a found-device message's device over and returns its index, or -1 when the
  // message is refused (stale, a duplicate, no search running).
  using Accept = std::function<int(const platform::Message&)>;
  using Sink = std::function<void(int deviceIndex)>;
  explicit FoundDeviceFeed(Sink sink, QObject* parent = nullptr);

  void setAccept(Accept accept) { accept_ = std::move(accept); }
  // Remembers the message; a slice runs on a later turn of the event loop.
  void push(const platform::Message& message);
  // Accepts every remembered message now, in arrival order.
  void acceptAll();
  // Forgets the remembered messages (a new search or another view: their devices go with it).
  void drop();
  bool pending() const { return !messages_.empty(); }

 private:
  // Accepts messages for at most one slice's time, then yields to the event loop.
  void slice();
  void acceptFront();

  Sink sink_;
  Accept accept_;
  std::deque<platform::Message> messages_;
  QTimer timer_;
};
