#include "platform/socket_watch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/headless_target.h"
#include "platform/net_config.h"
#include "platform/udp_socket.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

constexpr std::uint32_t kNotify = 2561;

class SocketWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = netConfig();
    NetConfig c;
    c.loopbackOnly = true;
    setNetConfig(c);
    ASSERT_EQ(receiver_.open(), 0);
    ASSERT_EQ(receiver_.bind({kLoopbackAddress, 0}), 0);
    ASSERT_EQ(sender_.open(), 0);
    target_.setHandler([this](const Message& m) {
      if (m.msg == kNotify) ++notifications_;
    });
    target_.setSocketWatch(&watch_);
  }
  void TearDown() override {
    watch_.unwatch(receiver_.fd());
    setNetConfig(saved_);
  }

  void send(const char* text) { ASSERT_TRUE(sender_.sendTo(text, 1, receiver_.localAddress()).ok()); }
  bool readOne() {
    char b[16];
    return receiver_.recvFrom(b, sizeof b).ok();
  }

  NetConfig saved_;
  UdpSocket receiver_;
  UdpSocket sender_;
  HeadlessSocketWatch watch_;
  HeadlessTarget target_;
  int notifications_ = 0;
};

}  // namespace

TEST_F(SocketWatchTest, OneMessageUntilRearmed) {
  ASSERT_TRUE(watch_.watch(receiver_.fd(), &target_, kNotify));
  send("a");
  send("b");

  WaitResult r = target_.waitFor(kNotify, 5s);
  ASSERT_EQ(r.status, WaitStatus::Arrived);
  EXPECT_EQ(r.message.wParam, static_cast<std::uintptr_t>(receiver_.fd()));
  EXPECT_EQ(r.message.lParam, kSocketEventRead);
  // Data is still waiting, but the watch stays quiet until the owner has read.
  EXPECT_EQ(target_.waitFor(kNotify, 50ms).status, WaitStatus::TimedOut);
  EXPECT_EQ(notifications_, 1);

  // Read one of two and rearm: the second datagram is announced at once.
  ASSERT_TRUE(readOne());
  watch_.rearm(receiver_.fd());
  EXPECT_EQ(target_.waitFor(kNotify, 5s).status, WaitStatus::Arrived);
  EXPECT_EQ(notifications_, 2);

  // Drained and rearmed: nothing more until a new datagram comes.
  ASSERT_TRUE(readOne());
  watch_.rearm(receiver_.fd());
  EXPECT_EQ(target_.waitFor(kNotify, 50ms).status, WaitStatus::TimedOut);
  send("c");
  EXPECT_EQ(target_.waitFor(kNotify, 5s).status, WaitStatus::Arrived);
  EXPECT_EQ(notifications_, 3);
}

TEST_F(SocketWatchTest, UnwatchedSocketStaysSilent) {
  ASSERT_TRUE(watch_.watch(receiver_.fd(), &target_, kNotify));
  watch_.unwatch(receiver_.fd());
  send("a");
  EXPECT_EQ(target_.waitFor(kNotify, 50ms).status, WaitStatus::TimedOut);
  EXPECT_EQ(notifications_, 0);
}

TEST_F(SocketWatchTest, WatchFromAnotherThreadWakesTheLoop) {
  send("a");
  std::thread worker([this] {
    std::this_thread::sleep_for(20ms);
    watch_.watch(receiver_.fd(), &target_, kNotify);
  });
  WaitResult r = target_.waitFor(kNotify, 10s);
  worker.join();
  EXPECT_EQ(r.status, WaitStatus::Arrived);
}

TEST_F(SocketWatchTest, NotificationGoesToTheRegisteredTarget) {
  // The watch may be polled by one loop and post to another target (the discovery worker's
  // socket announces itself to the progress window).
  HeadlessTarget other;
  ASSERT_TRUE(watch_.watch(receiver_.fd(), &other, 1101));
  send("a");
  EXPECT_EQ(target_.waitFor(kNotify, 100ms).status, WaitStatus::TimedOut);
  EXPECT_EQ(other.waitFor(1101, 0ms).status, WaitStatus::Arrived);
}

TEST_F(SocketWatchTest, RefusesNonsense) {
  EXPECT_FALSE(watch_.watch(-1, &target_, kNotify));
  EXPECT_FALSE(watch_.watch(receiver_.fd(), nullptr, kNotify));
  watch_.unwatch(12345);  // unknown: no effect
  watch_.rearm(12345);
}

TEST_F(SocketWatchTest, PollOnceWithoutALoop) {
  ASSERT_TRUE(watch_.watch(receiver_.fd(), &target_, kNotify));
  send("a");
  for (int i = 0; i < 100 && target_.pendingCount() == 0; ++i) watch_.pollOnce(50);
  EXPECT_EQ(target_.pendingCount(), 1u);
}
