#include "platform/qt/qt_socket_watch.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <QThread>

#include "platform/message.h"

namespace platform::qt {

QtSocketWatch::QtSocketWatch(QObject* parent) : QObject(parent) {}

// The notifiers are children and go with this object.
QtSocketWatch::~QtSocketWatch() = default;

bool QtSocketWatch::onOwnThread() const { return QThread::currentThread() == thread(); }

void QtSocketWatch::retireLocked(Entry& e) {
  if (e.notifier) retired_.push_back(e.notifier);
  e.notifier = nullptr;
}

bool QtSocketWatch::watch(int fd, MessageTarget* target, std::uint32_t msg) {
  if (fd < 0 || !target) return false;
  std::lock_guard lock(mutex_);
  Entry& e = entries_[fd];
  retireLocked(e);
  e.target = target;
  e.msg = msg;
  e.generation = nextGeneration_++;
  e.armed = true;
  syncLocked();
  return true;
}

void QtSocketWatch::unwatch(int fd) {
  std::lock_guard lock(mutex_);
  auto it = entries_.find(fd);
  if (it == entries_.end()) return;
  retireLocked(it->second);
  entries_.erase(it);
  syncLocked();
}

void QtSocketWatch::rearm(int fd) {
  std::lock_guard lock(mutex_);
  auto it = entries_.find(fd);
  if (it == entries_.end() || it->second.armed) return;
  it->second.armed = true;
  syncLocked();
}

void QtSocketWatch::syncLocked() {
  if (!onOwnThread()) {
    if (syncQueued_) return;
    syncQueued_ = true;
    // Dropped by Qt when this object is gone before the call runs.
    QMetaObject::invokeMethod(
        this,
        [this] {
          std::lock_guard lock(mutex_);
          syncQueued_ = false;
          syncLocked();
        },
        Qt::QueuedConnection);
    return;
  }
  for (QSocketNotifier* n : retired_) {
    n->setEnabled(false);
    n->deleteLater();
  }
  retired_.clear();
  for (auto& [fd, e] : entries_) {
    if (!e.notifier) {
      auto* n = new QSocketNotifier(fd, QSocketNotifier::Read, this);
      n->setEnabled(false);
      connect(n, &QSocketNotifier::activated, this,
              [this, fd = fd, generation = e.generation, n] { activated(fd, generation, n); });
      e.notifier = n;
    }
    // Level-triggered: a notifier left on would fire until the owner reads.
    if (e.notifier->isEnabled() != e.armed) e.notifier->setEnabled(e.armed);
  }
}

void QtSocketWatch::activated(int fd, std::uint64_t generation, QSocketNotifier* notifier) {
  std::lock_guard lock(mutex_);
  notifier->setEnabled(false);
  auto it = entries_.find(fd);
  if (it == entries_.end() || it->second.generation != generation || !it->second.armed) return;
  it->second.armed = false;
  // Under the lock, so that unwatch() on another thread cannot return while we post.
  it->second.target->post(it->second.msg, static_cast<std::uintptr_t>(fd), kSocketEventRead);
}

}  // namespace platform::qt
