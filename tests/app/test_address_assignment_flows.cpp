// The flows of "Setup Unlisted IP Server" and of the IP address assignment of a listed unit,
// driven without a display: field rules, what is sent where, the messages, the retry loop and
// the address a unit keeps when it does not answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ip_assignment.h"
#include "app/unlisted_ip_setup.h"
#include "devices/device.h"

namespace {

struct Sent {
  std::uint32_t identifier;
  std::uint32_t address;
  bool multicast;
  std::uint32_t to;
};

struct Recorder {
  std::vector<std::uint32_t> reports;
  std::vector<Sent> sent;
  devices::InitSend result = devices::InitSend::Sent;
  app::InitSendServices services() {
    app::InitSendServices s;
    s.report = [this](std::uint32_t id) { reports.push_back(id); };
    s.send = [this](std::uint32_t id, std::uint32_t a, const devices::InitDestination& d) {
      sent.push_back({id, a, d.multicast, d.address});
      return result;
    };
    return s;
  }
};

TEST(UnlistedIpSetup, FieldsAndSend) {
  struct Case {
    const char* name;
    const char* serial;
    const char* ip;
    bool multicast;
    const char* destination;  // typed over the proposal (nullptr: keep it)
    bool closes;
    std::vector<std::uint32_t> reports;
    std::vector<Sent> sent;
  } cases[] = {
      {"the proposed directed broadcast", "1193046", "10.1.2.3", false, nullptr, true, {},
       {{0x123456, 0x0A010203, false, 0x0A0102FF}}},
      {"a serial above 24 bits keeps its low bits", "16777217", "192.168.7.20", false, nullptr, true, {},
       {{1, 0xC0A80714, false, 0xC0A807FF}}},
      {"multicast", "5", "10.1.2.3", true, nullptr, true, {}, {{5, 0x0A010203, true, 0}}},
      {"a destination typed by hand", "5", "10.1.2.3", false, "10.1.255.255", true, {},
       {{5, 0x0A010203, false, 0x0A01FFFF}}},
      {"a destination that is no address", "5", "10.1.2.3", false, "10.1.2", false, {devices::kErrIpAddress}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder r;
    app::CUnlistedIpSetup m;
    m.setSerialNumber(c.serial);
    m.setIpAddress(c.ip);
    EXPECT_FALSE(m.accept(r.services())) << "OK in the short form is Next";
    ASSERT_TRUE(m.longForm);
    if (c.destination) m.setDestination(c.destination);
    m.setMulticast(c.multicast);
    EXPECT_EQ(m.accept(r.services()), c.closes);
    EXPECT_EQ(r.reports, c.reports);
    ASSERT_EQ(r.sent.size(), c.sent.size());
    for (std::size_t i = 0; i < c.sent.size(); ++i) {
      EXPECT_EQ(r.sent[i].identifier, c.sent[i].identifier);
      EXPECT_EQ(r.sent[i].address, c.sent[i].address);
      EXPECT_EQ(r.sent[i].multicast, c.sent[i].multicast);
      if (!c.sent[i].multicast) {
        EXPECT_EQ(r.sent[i].to, c.sent[i].to);
      }
    }
  }
}

TEST(UnlistedIpSetup, NextAndMulticastRules) {
  Recorder r;
  app::CUnlistedIpSetup m;
  for (const char* bad : {"10.1.2.3.4", "10.1.2", "", "256.1.2.3"}) {
    m.setIpAddress(bad);
    EXPECT_FALSE(m.next(r.services())) << bad;
    EXPECT_FALSE(m.longForm) << bad;
  }
  EXPECT_EQ(r.reports, std::vector<std::uint32_t>(4, devices::kErrIpAddress));
  m.setIpAddress("192.168.7.20");
  ASSERT_TRUE(m.next(r.services()));
  EXPECT_EQ(m.destination, "192.168.7.255");
  m.setDestination("192.168.0.255");
  m.setMulticast(true);
  EXPECT_EQ(m.destination, "multicast");
  m.setMulticast(false);
  EXPECT_EQ(m.destination, "192.168.0.255") << "the remembered text comes back";
  m.setSerialNumber("1234567890");
  EXPECT_EQ(m.serialNumber, "12345678") << "the edit holds 8 characters";
  // A failed send keeps the dialog open (the message was the sender's).
  r.result = devices::InitSend::SendFailed;
  EXPECT_FALSE(m.accept(r.services()));
}

TEST(UnlistedIpSetup, RetryLoopReopensTheDialogWithItsContents) {
  Recorder r;
  app::CUnlistedIpSetup m;
  std::vector<std::string> shown;
  int answersOnRound = 2;
  app::UnlistedIpServices s;
  s.send = r.services();
  s.showDialog = [&](app::CUnlistedIpSetup& model) {
    shown.push_back(model.ipAddress);
    if (shown.size() == 1) {
      model.setSerialNumber("42");
      model.setIpAddress("127.0.9.5");
    }
    return true;
  };
  std::vector<std::string> added;
  s.waitForUnit = [&](const std::string&) { return static_cast<int>(shown.size()) >= answersOnRound; };
  s.addToView = [&](const std::string& a) {
    added.push_back(a);
    return true;
  };
  EXPECT_EQ(app::runUnlistedIpSetup(m, s), app::UnlistedOutcome::Added);
  EXPECT_EQ(shown, (std::vector<std::string>{"", "127.0.9.5"}));
  EXPECT_EQ(r.reports, std::vector<std::uint32_t>{devices::kErrCannotCommunicate});
  EXPECT_EQ(added, std::vector<std::string>{"127.0.9.5"});
  // Cancel ends the loop.
  s.showDialog = [](app::CUnlistedIpSetup&) { return false; };
  EXPECT_EQ(app::runUnlistedIpSetup(m, s), app::UnlistedOutcome::Cancelled);
}

TEST(IpAssignment, ListedUnit) {
  struct Case {
    const char* name;
    int protocol;
    const char* hardware;
    int secondFamilyResult;
    int waitResult;
    app::AssignmentOutcome outcome;
    std::vector<std::uint32_t> reports;
    std::size_t broadcasts;
    const char* addressAfter;
  } cases[] = {
      {"not a TCP/IP view", 7, "020000123456", -1, 0, app::AssignmentOutcome::NotTcpIp, {}, 0, "127.0.1.1"},
      {"no hardware address", 6, "", -1, 0, app::AssignmentOutcome::NoHardwareAddress,
       {devices::kErrHardwareAddress}, 0, "127.0.1.1"},
      {"second family takes it", 6, "020000123456", 0, -1, app::AssignmentOutcome::SecondFamily, {}, 0, "127.0.1.1"},
      {"native unit answers at the new address", 6, "020000123456", -1, 0, app::AssignmentOutcome::Answered, {}, 1,
       "127.0.9.9"},
      {"native unit stays silent: its address comes back", 6, "020000123456", -1, -1,
       app::AssignmentOutcome::NotAnswered, {devices::kErrCannotCommunicate}, 1, "127.0.1.1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder r;
    devices::CIpDevice d("127.0.1.1");
    d.hardwareAddress.assign(c.hardware);
    app::IpAssignmentServices s;
    s.send = r.services();
    s.viewProtocol = c.protocol;
    std::vector<std::uint32_t> boxes;
    s.messageBox = [&](std::uint32_t id) { boxes.push_back(id); };
    std::vector<std::string> info;
    s.information = [&](const std::string& text, const std::string& title) { info.push_back(title + ": " + text); };
    s.askAddress = [](std::string& address, const std::function<bool(const std::string&)>& onOk) {
      if (onOk("127.0.9.9.9")) return false;  // refused: the dialog stays
      address = "127.0.9.9";
      return onOk(address);
    };
    s.assignSecondFamily = [&](const devices::CIpDevice&, const std::string&) { return c.secondFamilyResult; };
    s.waitForDevice = [&](devices::CIpDevice& dev, int seconds, const std::string& address) {
      EXPECT_EQ(seconds, 40);
      dev.ipAddress.assign(address);
      return c.waitResult;
    };
    int refreshes = 0;
    s.refreshList = [&] { ++refreshes; };
    EXPECT_EQ(app::runIpAssignment(d, s), c.outcome);
    std::vector<std::uint32_t> reports = c.reports;
    if (c.protocol == 6 && *c.hardware) reports.insert(reports.begin(), devices::kErrIpAddress);
    EXPECT_EQ(r.reports, reports);
    EXPECT_EQ(r.sent.size(), c.broadcasts);
    for (const Sent& s2 : r.sent) {
      EXPECT_EQ(s2.identifier, 0x123456u);
      EXPECT_EQ(s2.to, 0xFFFFFFFFu) << "the limited broadcast";
    }
    EXPECT_EQ(d.ipAddress.view(), c.addressAfter);
    EXPECT_EQ(boxes, c.protocol == 6 ? std::vector<std::uint32_t>{} : std::vector<std::uint32_t>{app::kTextNoTcpIpView});
    EXPECT_EQ(info.size(), c.outcome == app::AssignmentOutcome::SecondFamily ? 1u : 0u);
    EXPECT_EQ(refreshes, c.broadcasts ? 1 : 0);
  }
}

}  // namespace
