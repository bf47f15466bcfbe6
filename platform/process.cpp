#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace platform {

ProcessId currentProcessId() noexcept { return static_cast<ProcessId>(::getpid()); }

bool processIsRunning(ProcessId pid) noexcept {
  if (pid == 0 || pid > static_cast<ProcessId>(INT32_MAX)) return false;
  if (::kill(static_cast<pid_t>(pid), 0) == 0) return true;
  return errno == EPERM;
}

}  // namespace platform
