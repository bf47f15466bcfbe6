#include "access/progress_headless.h"

#include <algorithm>
#include <chrono>

#include "platform/string_table.h"

namespace snmpaccess {
namespace {

using Clock = std::chrono::steady_clock;
// The external flag is looked at this often (the window form polls as often).
constexpr auto kExternalSlice = std::chrono::milliseconds(10);

}  // namespace

HeadlessProgress::HeadlessProgress(platform::HeadlessSocketWatch* watch, const std::atomic<bool>* externalStop)
    : externalStop_(externalStop) {
  target_.setSocketWatch(watch);
}

WaitResult HeadlessProgress::waitFor(std::uint32_t msg, int timeoutMs) {
  stopRequest_.store(false);
  stopped_.store(false);
  auto externallyStopped = [this] { return externalStop_ && externalStop_->load(); };
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  WaitResult r;
  for (;;) {
    if (externallyStopped()) {
      r = {WaitStatus::Stopped, {}};
      break;
    }
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() < 0) left = std::chrono::milliseconds(0);
    const bool last = !externalStop_ || left <= kExternalSlice;
    r = target_.waitFor(msg, last ? left : kExternalSlice, &stopRequest_);
    if (r.status != WaitStatus::TimedOut || last) break;
  }
  if (r.status == WaitStatus::Stopped) stopped_.store(true);
  return r;
}

void HeadlessProgress::setText(std::uint32_t stringId) {
  const char* s = platform::loadString(stringId);
  setText(std::string(s ? s : ""));
}

void HeadlessProgress::setText(const std::string& text) {
  std::function<void(const std::string&)> sink;
  {
    std::lock_guard lock(mutex_);
    text_ = text;
    sink = sink_;
  }
  if (sink) sink(text);
}

void HeadlessProgress::stop() {
  stopRequest_.store(true);
  stopped_.store(true);
  target_.wake();
}

void HeadlessProgress::setTextSink(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(mutex_);
  sink_ = std::move(sink);
}

std::string HeadlessProgress::text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

}  // namespace snmpaccess
