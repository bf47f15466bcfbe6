#include "platform/process.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <unistd.h>

namespace platform {
namespace {

// The id is asked of the kernel once per process: the handle and task tables compare it on every
// lookup, dozens of times per request. A forked child learns its own id in the fork handler.
std::atomic<ProcessId> gProcessId{0};

void learnProcessId() noexcept { gProcessId.store(static_cast<ProcessId>(::getpid()), std::memory_order_relaxed); }

bool watchForks() noexcept {
  learnProcessId();
  ::pthread_atfork(nullptr, nullptr, &learnProcessId);
  return true;
}

}  // namespace

ProcessId currentProcessId() noexcept {
  static const bool watching = watchForks();
  (void)watching;
  return gProcessId.load(std::memory_order_relaxed);
}

bool processIsRunning(ProcessId pid) noexcept {
  if (pid == 0 || pid > static_cast<ProcessId>(INT32_MAX)) return false;
  if (::kill(static_cast<pid_t>(pid), 0) == 0) return true;
  return errno == EPERM;
}

}  // namespace platform
