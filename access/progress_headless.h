#pragma once
// The progress window without a window: a HeadlessTarget and its wait loop, which also polls the
// sockets of a HeadlessSocketWatch. Stop comes from stop() (any thread) or from an external
// flag that is never cleared here (trellanctl points it at its SIGINT flag), so an interrupt
// that arrives between two waits still stops the next one.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "access/progress.h"
#include "platform/headless_target.h"
#include "platform/socket_watch.h"

namespace snmpaccess {

class HeadlessProgress final : public ProgressWindow {
 public:
  // `watch`: sockets polled while waiting (null: none). `externalStop`: a flag that stops every
  // wait while set. Neither is owned.
  explicit HeadlessProgress(platform::HeadlessSocketWatch* watch = nullptr,
                            const std::atomic<bool>* externalStop = nullptr);

  platform::MessageTarget* target() override { return &target_; }
  platform::HeadlessTarget& headlessTarget() { return target_; }
  WaitResult waitFor(std::uint32_t msg, int timeoutMs) override;

  void begin() override { ++nesting_; }
  void end() override {
    if (nesting_ > 0) --nesting_;
  }
  void setText(std::uint32_t stringId) override;
  void setText(const std::string& text) override;
  void setPercent(int percent) override { percent_ = percent < 0 ? 0 : percent > 100 ? 100 : percent; }

  void stop() override;
  bool isStopped() const override { return stopped_.load(); }

  // Receives every text (tests and verbose command lines watch it).
  void setTextSink(std::function<void(const std::string&)> sink);
  std::string text() const;
  int percent() const { return percent_; }
  int nesting() const { return nesting_; }

 private:
  platform::HeadlessTarget target_;
  const std::atomic<bool>* externalStop_;
  std::atomic<bool> stopRequest_{false};  // the waits' cancel flag
  std::atomic<bool> stopped_{false};
  std::atomic<int> percent_{0};
  int nesting_ = 0;
  mutable std::mutex mutex_;
  std::string text_;
  std::function<void(const std::string&)> sink_;
};

}  // namespace snmpaccess
