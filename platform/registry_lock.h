#pragma once
// The exclusive lock that serialises writers of one settings file, across objects, threads and
// processes: flock() on "<file>.lock", a file that is created once and never removed (removing it
// would let two writers lock two different files).
#include <string>

namespace platform {

class RegistryLock {
 public:
  // Waits up to `timeoutMs` for the lock. A thread that already holds the lock on the same path
  // fails at once instead of waiting for itself.
  RegistryLock(const std::string& lockPath, int timeoutMs = 10000);
  ~RegistryLock();
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;

  bool locked() const { return fd_ >= 0; }
  // Why locking failed.
  const std::string& error() const { return error_; }

 private:
  std::string path_;
  int fd_ = -1;
  std::string error_;
};

}  // namespace platform
