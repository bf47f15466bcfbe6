#pragma once
// The socket watch through which the engine announces arriving datagrams: every socket a
// session opens is watched for reading and posts the session's message to the session's
// window. Headless by default (drive it with HeadlessTarget::setSocketWatch(&headlessWatch())
// or HeadlessSocketWatch::pollOnce); the GUI installs its QtSocketWatch at start-up, before
// the first session opens, and removes it (setSocketWatch(nullptr)) before destroying it.
#include <cstdint>

#include "platform/message_target.h"
#include "platform/socket_watch.h"

namespace snmp {

// Sockets opened from now on are watched by `watch` (not owned); null goes back to the
// headless default. Sockets already watched stay with the watch that took them until closed.
void setSocketWatch(platform::SocketWatch* watch) noexcept;

// For the calling thread only, overriding the process-wide choice (null: none). A worker thread
// that waits headless sets the headless watch here, so its sockets are polled by its own waits
// and never depend on the GUI thread being free.
void setThreadSocketWatch(platform::SocketWatch* watch) noexcept;

// Sets the calling thread's watch for a scope and puts the previous one back.
class ScopedThreadSocketWatch {
 public:
  explicit ScopedThreadSocketWatch(platform::SocketWatch* watch) noexcept;
  ~ScopedThreadSocketWatch();
  ScopedThreadSocketWatch(const ScopedThreadSocketWatch&) = delete;
  ScopedThreadSocketWatch& operator=(const ScopedThreadSocketWatch&) = delete;

 private:
  platform::SocketWatch* previous_;
};

// The watch new sockets of the calling thread go to.
platform::SocketWatch& socketWatch() noexcept;

// The process-wide headless watch, the default.
platform::HeadlessSocketWatch& headlessWatch() noexcept;

namespace watching {

// Registers `fd` with the current watch and remembers which one took it, so that rearm and
// unwatch reach the same watch later. A null target is no failure: nobody is notified.
bool watchSocket(int fd, platform::MessageTarget* target, std::uint32_t msg) noexcept;
void rearmSocket(int fd) noexcept;
// Call before closing the socket.
void unwatchSocket(int fd) noexcept;

}  // namespace watching
}  // namespace snmp
