#pragma once
// The GUI form of SocketWatch: one disabled-until-rearmed QSocketNotifier per socket, living on
// the thread of this object (the GUI thread). watch/unwatch/rearm may be called from any thread
// (the discovery worker registers its socket with the main window's progress target); calls
// from another thread take effect on this object's thread shortly after.
#include <QObject>

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "platform/socket_watch.h"

class QSocketNotifier;

namespace platform::qt {

class QtSocketWatch final : public QObject, public SocketWatch {
  Q_OBJECT

 public:
  explicit QtSocketWatch(QObject* parent = nullptr);
  ~QtSocketWatch() override;

  bool watch(int fd, MessageTarget* target, std::uint32_t msg) override;
  void unwatch(int fd) override;
  void rearm(int fd) override;

 private:
  struct Entry {
    MessageTarget* target = nullptr;
    std::uint32_t msg = 0;
    std::uint64_t generation = 0;
    bool armed = true;
    QSocketNotifier* notifier = nullptr;  // touched only on this object's thread
  };

  bool onOwnThread() const;
  // With the mutex held: bring the notifiers in line with the entries now (on this object's
  // thread) or soon (queued to it).
  void syncLocked();
  void activated(int fd, std::uint64_t generation, QSocketNotifier* notifier);
  void retireLocked(Entry& e);

  std::mutex mutex_;
  std::map<int, Entry> entries_;
  std::vector<QSocketNotifier*> retired_;  // to be deleted on this object's thread
  std::uint64_t nextGeneration_ = 1;
  bool syncQueued_ = false;
};

}  // namespace platform::qt
