#include "config/backup_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"

namespace config {

namespace {

std::string errnoText(const char* what, int e) { return std::string(what) + ": " + std::strerror(e); }

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

mode_t defaultFileMode() {
  // /proc holds the umask without changing it (umask(2) would race with other threads).
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      const unsigned long mask = std::strtoul(line.c_str() + 6, nullptr, 8);
      return static_cast<mode_t>(0666 & ~mask);
    }
  }
  return 0644;
}

BackupWriter::BackupWriter(std::string target) : target_(std::move(target)) {}

BackupWriter::~BackupWriter() { abort(); }

bool BackupWriter::begin(std::string* error) {
  abort();
  struct stat st {};
  existed_ = ::stat(target_.c_str(), &st) == 0;
  oldMode_ = existed_ ? (st.st_mode & 07777) : 0;
  if (existed_ && !S_ISREG(st.st_mode)) {
    if (error) *error = target_ + " is not a regular file";
    return false;
  }
  const std::string dir = platform::parentDirectory(target_);
  std::string pattern = dir + "/." + baseName(target_) + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkstemp(buffer.data());  // 0600, never an existing file
  if (fd < 0) {
    if (error) *error = errnoText(("cannot create a file in " + dir).c_str(), errno);
    return false;
  }
  ::close(fd);
  temp_.assign(buffer.data());
  return true;
}

bool BackupWriter::commit(bool holdsWriteOnly, std::string* error) {
  if (temp_.empty()) {
    if (error) *error = "nothing was written";
    return false;
  }
  const mode_t mode = holdsWriteOnly ? 0600 : existed_ ? oldMode_ : defaultFileMode();
  if (::chmod(temp_.c_str(), mode) != 0) {
    if (error) *error = errnoText("cannot set the mode", errno);
    return false;
  }
  const int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    if (error) *error = errnoText(("cannot replace " + target_).c_str(), errno);
    return false;
  }
  const int dirFd = ::open(platform::parentDirectory(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  temp_.clear();
  return true;
}

void BackupWriter::abort() {
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

}  // namespace config
