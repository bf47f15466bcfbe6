#include "devices/discovery_headless.h"

#include <chrono>

namespace devices {
namespace {
using Clock = std::chrono::steady_clock;
constexpr auto kSlice = std::chrono::milliseconds(20);
}  // namespace

HeadlessDiscoveryRun::HeadlessDiscoveryRun(CDiscovery& discovery) : discovery_(discovery) {
  target_.setHandler([this](const platform::Message& m) { handle(m); });
  discovery_.setOwner(&target_);
}

HeadlessDiscoveryRun::~HeadlessDiscoveryRun() {
  discovery_.stopAndWait();
  discovery_.setOwner(nullptr);
  // Messages still queued here hold no devices: the discovery keeps what was never accepted.
}

void HeadlessDiscoveryRun::handle(const platform::Message& m) {
  switch (m.msg) {
    case kMsgDeviceFound: {
      if (!discovery_.isCurrent(m)) {
        ++stale_;
        discovery_.acceptFound(m);  // refused; frees nothing it does not hold
        return;
      }
      const int index = discovery_.acceptFound(m);
      if (index >= 0 && found_) found_(*discovery_.device(static_cast<std::size_t>(index)), index);
      return;
    }
    case kMsgProgressText:
      if (discovery_.isCurrent(m) && text_) text_(searchText(static_cast<std::uint32_t>(m.wParam)));
      return;
    default:
      return;
  }
}

int HeadlessDiscoveryRun::run(const SearchRequest& request, const std::atomic<bool>* stop, int limitMs) {
  discovery_.startSearch(request);
  const std::uint32_t number = discovery_.searchNumber();
  const auto deadline = limitMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(limitMs);
  auto done = [number](const platform::Message& m) {
    return m.msg == kMsgSearchDone && static_cast<std::uint32_t>(m.wParam) == number;
  };
  for (;;) {
    if ((stop && stop->load()) || Clock::now() >= deadline) {
      discovery_.stopAndWait();
      // Take the devices posted before the stop, and the end message.
      target_.processPending();
      return 2;
    }
    const platform::WaitResult r = target_.waitFor(done, kSlice);
    if (r.status == platform::WaitStatus::Arrived) return discovery_.lastResult();
  }
}

}  // namespace devices
