#include "platform/socket_watch.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/message.h"

namespace platform {

HeadlessSocketWatch::HeadlessSocketWatch() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

HeadlessSocketWatch::~HeadlessSocketWatch() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

HeadlessSocketWatch::Entry* HeadlessSocketWatch::find(int fd) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [fd](const Entry& e) { return e.fd == fd; });
  return it == entries_.end() ? nullptr : &*it;
}

void HeadlessSocketWatch::wake() const {
  if (wakeFd_ < 0) return;
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

bool HeadlessSocketWatch::watch(int fd, MessageTarget* target, std::uint32_t msg) {
  if (fd < 0 || !target) return false;
  {
    std::lock_guard lock(mutex_);
    const Entry entry{fd, target, msg, true, nextGeneration_++};
    if (Entry* e = find(fd)) {
      *e = entry;
    } else {
      entries_.push_back(entry);
    }
  }
  wake();
  return true;
}

void HeadlessSocketWatch::unwatch(int fd) {
  {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [fd](const Entry& e) { return e.fd == fd; });
  }
  // A loop blocked in poll() on this descriptor must let go of it before the owner closes it.
  wake();
}

void HeadlessSocketWatch::rearm(int fd) {
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    if (Entry* e = find(fd); e && !e->armed) {
      e->armed = true;
      changed = true;
    }
  }
  if (changed) wake();
}

void HeadlessSocketWatch::preparePoll(PollSet& set) const {
  // Always one wake entry, so afterPoll knows where the sockets start.
  set.first = set.fds.size();
  set.fds.push_back({wakeFd_, POLLIN, 0});
  set.generations.clear();
  std::lock_guard lock(mutex_);
  for (const Entry& e : entries_) {
    if (!e.armed) continue;
    set.fds.push_back({e.fd, POLLIN, 0});
    set.generations.push_back(e.generation);
  }
}

void HeadlessSocketWatch::afterPoll(const PollSet& set) {
  if (set.first >= set.fds.size()) return;
  if (set.fds[set.first].fd >= 0 && (set.fds[set.first].revents & POLLIN)) {
    std::uint64_t count;
    [[maybe_unused]] ssize_t n = ::read(wakeFd_, &count, sizeof count);
  }
  std::lock_guard lock(mutex_);
  for (std::size_t k = 0; k < set.generations.size() && set.first + 1 + k < set.fds.size(); ++k) {
    const pollfd& p = set.fds[set.first + 1 + k];
    if (!(p.revents & (POLLIN | POLLERR | POLLHUP | POLLNVAL))) continue;
    Entry* e = find(p.fd);
    // Unwatched, watched anew under a reused number, or already posted: not this poll's business.
    if (!e || e->generation != set.generations[k] || !e->armed) continue;
    e->armed = false;
    // A descriptor closed without unwatch stays disarmed rather than making the loop spin.
    if (p.revents & POLLNVAL) continue;
    // Posting under the lock keeps unwatch()'s promise: the target is never used after it.
    e->target->post(e->msg, static_cast<std::uintptr_t>(e->fd), kSocketEventRead);
  }
}

void HeadlessSocketWatch::pollOnce(int timeoutMs) {
  PollSet set;
  preparePoll(set);
  int n = ::poll(set.fds.data(), set.fds.size(), timeoutMs);
  if (n > 0) afterPoll(set);
}

}  // namespace platform
