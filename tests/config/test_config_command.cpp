// The "&Configuration" command entry's branches with a host that records what it was asked,
// before any request: the retry of a silent unit, the transports, the unconfigured and
// telnet-managed units, an unsupported IPX product and a cancelled community question.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/config_command.h"
#include "config/config_texts.h"
#include "platform/report_error.h"

using namespace config;

namespace {

class RecordingHost : public ConfigCommandHost {
 public:
  devices::CDevice* selectedDevice() override { return device.get(); }
  int viewTransport() override { return transport; }
  int refreshRow(devices::CDevice& d) override {
    ++refreshes;
    d.answered = answersOnRefresh;
    return 0;
  }
  std::string selectFamily(const devices::CDevice&) override {
    calls.push_back("family");
    return std::string(mib::kDefaultEnterprisePrefix);
  }
  bool prepareTarget(const devices::CDevice&, snmpaccess::SnmpTarget& t) override {
    calls.push_back("target");
    t.setAddress("127.0.1.1");
    t.setGetCommunity("wrong");
    return true;
  }
  snmpaccess::CommunityAsk communityAsk() override {
    return [this](snmpaccess::CommunityQuestion&) {
      calls.push_back("community");
      return snmpaccess::kCommunityCancelled;
    };
  }
  void report(std::uint32_t textId, int errorClass) override { reports.emplace_back(textId, errorClass); }
  void message(const std::string& text) override { messages.push_back(text); }
  bool assignAddress(devices::CDevice&) override {
    calls.push_back("assign");
    return assignmentAnswers;
  }
  void postTelnet() override { calls.push_back("telnet"); }
  void runPrintConfigurationSheet() override { calls.push_back("print sheet"); }
  SheetServices sheetServices() override { return {}; }
  bool showSheet(CConfigPropSheet&, const std::string&) override {
    calls.push_back("sheet");
    return false;
  }
  void showProgress(bool) override {}

  std::unique_ptr<devices::CDevice> device;
  int transport = kViewTcpIp;
  bool answersOnRefresh = true;
  bool assignmentAnswers = false;
  int refreshes = 0;
  std::vector<std::string> calls;
  std::vector<std::pair<std::uint32_t, int>> reports;
  std::vector<std::string> messages;
};

std::unique_ptr<devices::CIpDevice> ipUnit(const char* address, bool answered = true, bool configured = true,
                                           int format = 1) {
  auto d = std::make_unique<devices::CIpDevice>(address);
  d->answered = answered;
  d->configured = configured;
  d->replyFormat = format;
  d->getCommunity.assign("right");
  return d;
}

TEST(ConfigurationCommand, Branches) {
  struct Case {
    const char* name;
    std::function<void(RecordingHost&)> setup;
    CommandOutcome outcome;
    std::vector<std::string> calls;
    std::vector<std::pair<std::uint32_t, int>> reports;
    int refreshes;
  } cases[] = {
      {"no device", [](RecordingHost& h) { h.device.reset(); }, CommandOutcome::NoDevice, {}, {}, 0},
      {"silent twice: cannot communicate",
       [](RecordingHost& h) {
         h.device = ipUnit("127.0.1.1", false);
         h.answersOnRefresh = false;
       },
       CommandOutcome::CannotCommunicate, {}, {{texts::kCannotCommunicate, platform::kErrorProgram}}, 1},
      {"silent serial unit reports with the serial class",
       [](RecordingHost& h) {
         h.device = ipUnit("127.0.1.1", false);
         h.answersOnRefresh = false;
         h.transport = kViewSerial;
       },
       CommandOutcome::CannotCommunicate, {}, {{texts::kCannotCommunicate, platform::kErrorSerial}}, 1},
      {"answers on the retry: goes on to the community check",
       [](RecordingHost& h) { h.device = ipUnit("127.0.1.1", false); }, CommandOutcome::Cancelled,
       {"family", "target", "community"}, {}, 1},
      {"unconfigured unit goes to address assignment",
       [](RecordingHost& h) { h.device = ipUnit("192.0.0.192", true, false); }, CommandOutcome::AssignmentFailed,
       {"family", "assign"}, {}, 0},
      {"unconfigured unit that answers at its new address goes on to the sheet",
       [](RecordingHost& h) {
         h.device = ipUnit("192.0.0.192", true, false);
         h.assignmentAnswers = true;
       },
       CommandOutcome::Cancelled, {"family", "assign", "target", "community"}, {}, 0},
      {"a format-2 unit is managed through telnet", [](RecordingHost& h) { h.device = ipUnit("127.0.1.1", true, true, 2); },
       CommandOutcome::Redirected, {"family", "telnet"}, {}, 0},
      {"second family prints its configuration sheet",
       [](RecordingHost& h) {
         h.device = ipUnit("127.0.1.1");
         h.device->kind = devices::kKindSecondFamily;
       },
       CommandOutcome::Redirected, {"print sheet"}, {}, 0},
      {"IPX product of reply format 0 is not supported",
       [](RecordingHost& h) {
         auto d = std::make_unique<devices::CIpxDevice>();
         d->answered = true;
         d->replyFormat = 0;
         h.device = std::move(d);
         h.transport = kViewIpx;
       },
       CommandOutcome::NotSupported, {"family"}, {{texts::kProductNotSupported, platform::kErrorVines}}, 0},
      {"another transport: protocol not supported",
       [](RecordingHost& h) {
         h.device = ipUnit("127.0.1.1");
         h.transport = 9;
       },
       CommandOutcome::NotSupported, {"family"}, {}, 0},
      {"community question cancelled: no sheet", [](RecordingHost& h) { h.device = ipUnit("127.0.1.1"); },
       CommandOutcome::Cancelled, {"family", "target", "community"}, {}, 0},
  };
  for (const auto& c : cases) {
    RecordingHost host;
    c.setup(host);
    EXPECT_EQ(runConfigurationCommand(host), c.outcome) << c.name;
    EXPECT_EQ(host.calls, c.calls) << c.name;
    EXPECT_EQ(host.reports, c.reports) << c.name;
    EXPECT_EQ(host.refreshes, c.refreshes) << c.name;
  }
}

}  // namespace
