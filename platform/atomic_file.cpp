#include "platform/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string errnoText(const char* what, const std::string& path, int err) {
  return std::string(what) + " \"" + path + "\": " + std::strerror(err);
}

void setError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

// Closes a descriptor on scope exit unless released.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int release() {
    int f = fd;
    fd = -1;
    return f;
  }
};

bool writeAll(int fd, std::string_view data) {
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// The file a write really replaces: the target of a symbolic link, else the path itself.
std::string resolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf)) return buf;
  }
  return path;
}

std::string baseName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string parentDirectory(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

FileRead readFileBounded(const std::string& path, std::size_t maxBytes) {
  FileRead result;
  // O_NONBLOCK keeps a FIFO at the path from hanging the open; it has no effect on a regular file.
  int raw = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (raw < 0) {
    int err = errno;
    if (err == ENOENT || err == ENOTDIR) {
      result.status = ReadStatus::Missing;
      return result;
    }
    result.error = errnoText("cannot open", path, err);
    return result;
  }
  Fd fd(raw);
  struct stat st {};
  if (::fstat(fd.fd, &st) != 0) {
    result.error = errnoText("cannot examine", path, errno);
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.error = "\"" + path + "\" is not a regular file";
    return result;
  }
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
    result.status = ReadStatus::TooLarge;
    return result;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd.fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      result.error = errnoText("cannot read", path, errno);
      return result;
    }
    if (n == 0) break;
    // The file may grow while we read it: the bound holds for what we keep, not just for fstat.
    if (data.size() + static_cast<std::size_t>(n) > maxBytes) {
      result.status = ReadStatus::TooLarge;
      return result;
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  result.status = ReadStatus::Ok;
  result.data = std::move(data);
  return result;
}

bool writeFileAtomically(const std::string& path, std::string_view data, const AtomicWriteOptions& options,
                         std::string* error) {
  if (path.empty()) {
    setError(error, "no file name given");
    return false;
  }
  const std::string target = resolveTarget(path);
  const std::string dir = parentDirectory(target);

  // With a known final mode the temporary file starts private and gets that mode before any data
  // is written; otherwise it is created like any new file (0666 less the umask).
  mode_t createMode = 0666;
  std::optional<mode_t> finalMode = options.mode;
  if (!finalMode) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) finalMode = st.st_mode & 07777;
  }
  if (finalMode) createMode = 0600;

  static std::atomic<unsigned> counter{0};
  std::string tmp;
  int raw = -1;
  for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
    tmp = dir + "/." + baseName(target) + ".tmp-" + std::to_string(::getpid()) + "-" +
          std::to_string(counter.fetch_add(1)) + "-" + std::to_string(attempt);
    raw = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, createMode);
    if (raw < 0 && errno != EEXIST) break;
  }
  if (raw < 0) {
    setError(error, errnoText("cannot create a temporary file in", dir, errno));
    return false;
  }
  Fd fd(raw);
  auto fail = [&](const char* what, const std::string& name, int err) {
    if (fd.fd >= 0) ::close(fd.release());
    ::unlink(tmp.c_str());
    setError(error, errnoText(what, name, err));
    return false;
  };
  if (finalMode && ::fchmod(fd.fd, *finalMode & 07777) != 0) return fail("cannot set the mode of", tmp, errno);
  if (!writeAll(fd.fd, data)) return fail("cannot write", tmp, errno);
  if (::fsync(fd.fd) != 0) return fail("cannot flush", tmp, errno);
  if (::close(fd.release()) != 0) return fail("cannot close", tmp, errno);
  if (::rename(tmp.c_str(), target.c_str()) != 0) return fail("cannot replace", target, errno);

  // The rename is durable only once the folder itself is on disk.
  int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

bool makeDirectories(const std::string& dir, mode_t mode, std::string* error) {
  if (dir.empty() || dir == "." || dir == "/") return true;
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    setError(error, "\"" + dir + "\" exists and is not a folder");
    return false;
  }
  std::string parent = parentDirectory(dir);
  if (parent != dir && !makeDirectories(parent, mode, error)) return false;
  if (::mkdir(dir.c_str(), mode) != 0 && errno != EEXIST) {
    setError(error, errnoText("cannot create the folder", dir, errno));
    return false;
  }
  return true;
}

}  // namespace platform
