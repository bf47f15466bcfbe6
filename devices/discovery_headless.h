#pragma once
// A search without a main window (trellanctl, tests): stands in as the owner of a discovery,
// accepts every device message of the current search, and returns when the search has ended.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "devices/discovery.h"
#include "platform/headless_target.h"

namespace devices {

class HeadlessDiscoveryRun {
 public:
  using FoundHandler = std::function<void(CDevice& device, int index)>;
  using TextHandler = std::function<void(const std::string& text)>;

  explicit HeadlessDiscoveryRun(CDiscovery& discovery);
  // Stops a search still running and detaches from the discovery.
  ~HeadlessDiscoveryRun();
  HeadlessDiscoveryRun(const HeadlessDiscoveryRun&) = delete;
  HeadlessDiscoveryRun& operator=(const HeadlessDiscoveryRun&) = delete;

  // Called on the running thread for each device added to the discovery (duplicates are not).
  void onFound(FoundHandler handler) { found_ = std::move(handler); }
  void onText(TextHandler handler) { text_ = std::move(handler); }

  // Starts the search and handles its messages until it ends. `stop` (may be null) stops it, as
  // does `limitMs` (negative: no limit); the devices found until then stay. 0, or 2 when stopped.
  int run(const SearchRequest& request, const std::atomic<bool>* stop = nullptr, int limitMs = -1);

  // Handles what has been posted so far (for callers that drive the discovery themselves).
  void processPending() { target_.processPending(); }
  platform::HeadlessTarget& target() { return target_; }
  // Device messages refused because they belonged to an earlier search.
  int staleMessages() const { return stale_; }

 private:
  void handle(const platform::Message& message);

  CDiscovery& discovery_;
  platform::HeadlessTarget target_;
  FoundHandler found_;
  TextHandler text_;
  int stale_ = 0;
};

}  // namespace devices
