#include "app/gui/found_device_feed.h"

#include <chrono>

namespace {
// Short enough that painting and input never wait noticeably, long enough for hundreds of devices.
constexpr auto kSliceBudget = std::chrono::milliseconds(8);
}  // namespace

FoundDeviceFeed::FoundDeviceFeed(Sink sink, QObject* parent) : QObject(parent), sink_(std::move(sink)) {
  timer_.setSingleShot(true);
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &FoundDeviceFeed::slice);
}

void FoundDeviceFeed::push(const platform::Message& message) {
  messages_.push_back(message);
  if (!timer_.isActive()) timer_.start();
}

void FoundDeviceFeed::acceptFront() {
  const platform::Message m = messages_.front();
  messages_.pop_front();
  const int index = accept_ ? accept_(m) : -1;
  if (index >= 0 && sink_) sink_(index);
}

void FoundDeviceFeed::slice() {
  const auto end = std::chrono::steady_clock::now() + kSliceBudget;
  // The clock is read every few messages only: one accept takes microseconds.
  while (!messages_.empty()) {
    for (int i = 0; i < 16 && !messages_.empty(); ++i) acceptFront();
    if (std::chrono::steady_clock::now() >= end) break;
  }
  if (!messages_.empty()) timer_.start();
}

void FoundDeviceFeed::acceptAll() {
  timer_.stop();
  while (!messages_.empty()) acceptFront();
}

void FoundDeviceFeed::drop() {
  timer_.stop();
  messages_.clear();
}
