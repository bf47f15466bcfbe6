#include "platform/registry_lock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// Lock files this thread holds: flock() locks belong to open file descriptions, so a second
// open of the same file in the same thread would wait for itself forever.
thread_local std::vector<std::string> heldByThisThread;

}  // namespace

RegistryLock::RegistryLock(const std::string& lockPath, int timeoutMs) : path_(lockPath) {
  if (std::find(heldByThisThread.begin(), heldByThisThread.end(), path_) != heldByThisThread.end()) {
    error_ = "\"" + path_ + "\" is already locked by this thread (nested settings change)";
    return;
  }
  int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    error_ = "cannot open the lock file \"" + path_ + "\": " + std::strerror(errno);
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    int err = errno;
    if (err == EINTR) continue;
    if (err != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
      error_ = err == EWOULDBLOCK ? "timed out waiting for the lock file \"" + path_ + "\""
                                  : "cannot lock \"" + path_ + "\": " + std::strerror(err);
      ::close(fd);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  fd_ = fd;
  heldByThisThread.push_back(path_);
}

RegistryLock::~RegistryLock() {
  if (fd_ < 0) return;
  auto it = std::find(heldByThisThread.begin(), heldByThisThread.end(), path_);
  if (it != heldByThisThread.end()) heldByThisThread.erase(it);
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
}

}  // namespace platform
