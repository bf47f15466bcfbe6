#include "snmp/engine_watch.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace snmp {
namespace {

struct Registration {
  int fd;
  platform::SocketWatch* watch;
};

std::mutex& lock() {
  static std::mutex m;
  return m;
}

platform::SocketWatch* gWatch = nullptr;
thread_local platform::SocketWatch* tWatch = nullptr;
std::vector<Registration>& registrations() {
  static std::vector<Registration> list;
  return list;
}

platform::SocketWatch* takerOf(int fd) {
  auto& list = registrations();
  auto it = std::find_if(list.begin(), list.end(), [fd](const Registration& r) { return r.fd == fd; });
  return it == list.end() ? nullptr : it->watch;
}

}  // namespace

platform::HeadlessSocketWatch& headlessWatch() noexcept {
  static platform::HeadlessSocketWatch watch;
  return watch;
}

void setSocketWatch(platform::SocketWatch* watch) noexcept {
  std::lock_guard guard(lock());
  gWatch = watch;
}

void setThreadSocketWatch(platform::SocketWatch* watch) noexcept { tWatch = watch; }

ScopedThreadSocketWatch::ScopedThreadSocketWatch(platform::SocketWatch* watch) noexcept : previous_(tWatch) {
  tWatch = watch;
}

ScopedThreadSocketWatch::~ScopedThreadSocketWatch() { tWatch = previous_; }

platform::SocketWatch& socketWatch() noexcept {
  if (tWatch) return *tWatch;
  std::lock_guard guard(lock());
  return gWatch ? *gWatch : headlessWatch();
}

namespace watching {

bool watchSocket(int fd, platform::MessageTarget* target, std::uint32_t msg) noexcept {
  if (fd < 0) return false;
  if (!target) return true;
  platform::SocketWatch& watch = socketWatch();
  if (!watch.watch(fd, target, msg)) return false;
  std::lock_guard guard(lock());
  auto& list = registrations();
  std::erase_if(list, [fd](const Registration& r) { return r.fd == fd; });
  list.push_back({fd, &watch});
  return true;
}

void rearmSocket(int fd) noexcept {
  platform::SocketWatch* watch = nullptr;
  {
    std::lock_guard guard(lock());
    watch = takerOf(fd);
  }
  if (watch) watch->rearm(fd);
}

void unwatchSocket(int fd) noexcept {
  platform::SocketWatch* watch = nullptr;
  {
    std::lock_guard guard(lock());
    watch = takerOf(fd);
    std::erase_if(registrations(), [fd](const Registration& r) { return r.fd == fd; });
  }
  if (watch) watch->unwatch(fd);
}

}  // namespace watching
}  // namespace snmp
