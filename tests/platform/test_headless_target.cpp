#include "platform/headless_target.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace platform;
using namespace std::chrono_literals;

TEST(HeadlessTarget, PostFromAnotherThreadEndsTheWait) {
  HeadlessTarget target;
  std::thread worker([&] {
    std::this_thread::sleep_for(20ms);
    target.post(0x8012, 7, -1);
  });
  WaitResult r = target.waitFor(0x8012, 10s);
  worker.join();
  EXPECT_EQ(r.status, WaitStatus::Arrived);
  EXPECT_EQ(r.message.msg, 0x8012u);
  EXPECT_EQ(r.message.wParam, 7u);
  EXPECT_EQ(r.message.lParam, -1);
}

TEST(HeadlessTarget, HandlerSeesEverythingUpToTheAwaitedMessageInOrder) {
  std::vector<std::uint32_t> handled;
  HeadlessTarget target([&](const Message& m) { handled.push_back(m.msg); });
  for (std::uint32_t m : {0x8010u, 0x800Fu, 0x8010u, 0x8012u, 0x8010u}) target.post(m, 0, 0);

  WaitResult r = target.waitFor(0x8012, 0ms);
  EXPECT_EQ(r.status, WaitStatus::Arrived);
  EXPECT_EQ(handled, (std::vector<std::uint32_t>{0x8010, 0x800F, 0x8010, 0x8012}));
  EXPECT_EQ(target.pendingCount(), 1u) << "what follows the awaited message stays queued";

  target.processPending();
  EXPECT_EQ(handled.size(), 5u);
  EXPECT_EQ(target.pendingCount(), 0u);
}

TEST(HeadlessTarget, PredicateSelectsTheMessage) {
  HeadlessTarget target;
  target.post(1101, 3, 1);
  target.post(1101, 4, 1);
  WaitResult r = target.waitFor([](const Message& m) { return m.msg == 1101 && m.wParam == 4; }, 0ms);
  EXPECT_EQ(r.status, WaitStatus::Arrived);
  EXPECT_EQ(r.message.wParam, 4u);
}

TEST(HeadlessTarget, Outcomes) {
  struct Case {
    const char* name;
    bool preCancel;
    bool postAwaited;
    bool handlerCancels;
    WaitStatus expected;
  };
  const Case cases[] = {
      {"nothing comes", false, false, false, WaitStatus::TimedOut},
      {"cancelled before", true, true, false, WaitStatus::Stopped},
      {"arrives", false, true, false, WaitStatus::Arrived},
      // As in the GUI's wait: a stop wins over an arrival seen in the same round.
      {"handler stops on arrival", false, true, true, WaitStatus::Stopped},
  };
  for (const Case& c : cases) {
    std::atomic<bool> cancel{c.preCancel};
    HeadlessTarget target([&](const Message&) {
      if (c.handlerCancels) cancel = true;
    });
    if (c.postAwaited) target.post(2561, 0, 0);
    EXPECT_EQ(target.waitFor(2561, 20ms, &cancel).status, c.expected) << c.name;
  }
}

TEST(HeadlessTarget, CancelFromAnotherThreadStopsALongWait) {
  HeadlessTarget target;
  std::atomic<bool> cancel{false};
  std::thread canceller([&] {
    std::this_thread::sleep_for(20ms);
    cancel = true;
  });
  // Without the cancel this would wait a minute; the test time-out would catch it.
  WaitResult r = target.waitFor(2561, 60s, &cancel);
  canceller.join();
  EXPECT_EQ(r.status, WaitStatus::Stopped);
}

TEST(HeadlessTarget, NestedWaitInsideTheHandler) {
  HeadlessTarget target;
  WaitStatus inner = WaitStatus::TimedOut;
  target.setHandler([&](const Message& m) {
    if (m.msg == 1) {
      target.post(2, 0, 0);
      inner = target.waitFor(2, 1s).status;
      target.post(3, 0, 0);
    }
  });
  target.post(1, 0, 0);
  EXPECT_EQ(target.waitFor(3, 5s).status, WaitStatus::Arrived);
  EXPECT_EQ(inner, WaitStatus::Arrived);
}

TEST(HeadlessTarget, SelfPostingHandlerCannotHoldTheLoopPastItsTime) {
  HeadlessTarget target;
  int rounds = 0;
  target.setHandler([&](const Message&) {
    ++rounds;
    target.post(9, 0, 0);
  });
  target.post(9, 0, 0);
  EXPECT_EQ(target.waitFor(10, 30ms).status, WaitStatus::TimedOut);
  EXPECT_GT(rounds, 0);
}

TEST(HeadlessTarget, ManyPostersLoseNothing) {
  constexpr int kThreads = 4;
  constexpr int kEach = 500;
  std::vector<int> seen(kThreads, 0);
  int done = 0;
  HeadlessTarget target([&](const Message& m) {
    if (m.msg == 1) ++seen.at(m.wParam);
    if (m.msg == 2) ++done;
  });
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&target, t] {
      for (int i = 0; i < kEach; ++i) target.post(1, static_cast<std::uintptr_t>(t), i);
      target.post(2, 0, 0);
    });
  }
  // The predicate runs after the handler: the wait ends with the last end marker.
  WaitResult r = target.waitFor([&](const Message&) { return done == kThreads; }, 10s);
  for (auto& p : posters) p.join();
  EXPECT_EQ(r.status, WaitStatus::Arrived);
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(seen[t], kEach) << "thread " << t;
}
