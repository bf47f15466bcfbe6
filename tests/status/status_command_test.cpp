// The "&Status" command before the sheet: which units it sends elsewhere and what it says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "status/status_command.h"

using namespace status;

namespace {

class FakeHost : public StatusCommandHost {
 public:
  devices::CDevice* selectedDevice() override { return device; }
  int viewTransport() override { return transport; }
  int refreshRow(devices::CDevice& d) override {
    ++refreshed;
    if (answersOnRefresh) d.answered = true;
    return 0;
  }
  std::string selectFamily(const devices::CDevice&) override { return "1.3.6.1.4.1.1240.2.3.5"; }
  bool prepareTarget(const devices::CDevice&, snmpaccess::SnmpTarget&) override {
    calls.push_back("target");
    return false;  // the sheet itself is the GUI test's
  }
  snmpaccess::CommunityAsk communityAsk() override { return {}; }
  void report(const std::string& text, int) override { calls.push_back("report: " + text); }
  void postConfiguration() override { calls.push_back("configuration"); }
  void runHttpSession() override { calls.push_back("http"); }
  void postTelnet() override { calls.push_back("telnet"); }
  StatusServices services() override { return {}; }
  void showProgress(bool) override {}
  void showSheet(CDiagnosticsPropSheet&, const std::string&) override { calls.push_back("sheet"); }

  devices::CDevice* device = nullptr;
  int transport = kViewTcpIp;
  bool answersOnRefresh = false;
  int refreshed = 0;
  std::vector<std::string> calls;
};

TEST(StatusCommand, UnitsHandledElsewhere) {
  struct Case {
    const char* name;
    bool answered;
    bool answersOnRefresh;
    const char* address;
    bool configured;
    int kind;
    int replyFormat;
    StatusOutcome outcome;
    std::vector<std::string> calls;
  } cases[] = {
      {"silent even after a refresh", false, false, "127.0.1.1", true, devices::kKindNative, 1,
       StatusOutcome::CannotCommunicate, {"report: Cannot communicate with the server."}},
      {"answers on the refresh", false, true, "127.0.1.1", true, devices::kKindNative, 1, StatusOutcome::NotSupported,
       {"target"}},
      {"no address yet", true, false, "", false, devices::kKindNative, 1, StatusOutcome::Redirected, {"configuration"}},
      {"the text protocol", true, false, "127.0.1.1", true, devices::kKindSecondFamily, 1, StatusOutcome::Redirected,
       {"http"}},
      {"managed through telnet", true, false, "127.0.1.1", true, devices::kKindNative, 2, StatusOutcome::Redirected,
       {"telnet"}},
  };
  for (const auto& c : cases) {
    devices::CIpDevice device(c.address);
    device.answered = c.answered;
    device.configured = c.configured;
    device.kind = c.kind;
    device.replyFormat = c.replyFormat;
    FakeHost host;
    host.device = &device;
    host.answersOnRefresh = c.answersOnRefresh;
    EXPECT_EQ(runStatusCommand(host), c.outcome) << c.name;
    EXPECT_EQ(host.calls, c.calls) << c.name;
  }
  FakeHost none;
  EXPECT_EQ(runStatusCommand(none), StatusOutcome::NoDevice);
}

}  // namespace
