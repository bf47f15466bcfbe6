// Address assignment against the simulator over real loopback sockets: the second family's
// sequence (announcement, image read and write, POLLING, reboot) and the native initialization
// request (by serial number or hardware address; broadcast, directed broadcast, multicast), each
// unit then found at its new address; the image written back byte for byte; and every fault of a
// second-family unit ending within its bound.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "devices/device.h"
#include "devices/discovery_headless.h"
#include "devices/discovery_tcpip.h"
#include "devices/initialization_request.h"
#include "devices/second_family_exchange.h"
#include "devices/second_family_setup.h"
#include "platform/net_config.h"
#include "platform/report_error.h"
#include "sim/fleet_file.h"
#include "sim/server.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

constexpr int kReplyMs = 100;

// One fleet per test, on ports of its own; the sends of the program stay on loopback.
class Fleet {
 public:
  explicit Fleet(const std::string& devicesJson, const std::string& name) {
    platform::NetConfig c = platform::netConfig();
    c.loopbackOnly = true;
    c.broadcastAddress = 0x7FFFFFFFu;
    c.multicastInterface = 0x7F000001u;
    platform::setNetConfig(c);
    log_ = ::testing::TempDir() + "/" + name + "_" + std::to_string(::getpid()) + ".jsonl";
    std::remove(log_.c_str());
    std::vector<sim::DeviceModel> units;
    std::string error;
    EXPECT_TRUE(sim::parseFleetText("{\"devices\": " + devicesJson + "}", "", {}, units, error)) << error;
    sim::ServerOptions o;
    o.port = 0;
    o.logPath = log_;
    o.discoveryPort = 0;
    o.secondFamilyPort = 0;
    server_ = std::make_unique<sim::Server>(std::move(units), o);
    opened_ = server_->open(&error);
    EXPECT_TRUE(opened_) << error;
    if (opened_) thread_ = std::thread([this] { server_->run(); });
  }
  ~Fleet() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
    std::remove(log_.c_str());
  }
  std::uint16_t discoveryPort() const { return server_->boundListenerPort(sim::Listener::Discovery); }
  devices::SecondFamilyLink link() const {
    return {server_->boundListenerPort(sim::Listener::SecondFamily), kReplyMs};
  }
  devices::DiscoverySettings searchSettings() const {
    devices::DiscoverySettings s;
    s.broadcastTimeoutMs = 500;
    s.discoveryPort = discoveryPort();
    s.secondFamilyPort = link().port;
    return s;
  }
  // Second-family commands logged with a text (their `reason`) starting so, and their lengths.
  std::vector<std::size_t> commands(const std::string& text) const {
    std::vector<std::size_t> out;
    std::ifstream in(log_);
    std::string line;
    while (std::getline(in, line)) {
      const json j = json::parse(line);
      if (j.value("event", "") == "command" && j.value("reason", "").rfind(text, 0) == 0) out.push_back(j.value("length", 0u));
    }
    return out;
  }
  bool opened() const { return opened_; }

 private:
  std::string log_;
  std::unique_ptr<sim::Server> server_;
  std::thread thread_;
  bool opened_ = false;
};

std::unique_ptr<devices::CIpDevice> secondFamilyDevice(const char* address, const char* hardware) {
  auto d = std::make_unique<devices::CIpDevice>(address);
  d->kind = devices::kKindSecondFamily;
  d->hardwareAddress.assign(hardware);
  return d;
}

// A unit queried at `address` until it answers or `seconds` have passed.
int answersAt(const std::string& address, int kind, std::uint16_t port, std::uint16_t secondPort, int seconds) {
  devices::CIpDevice d(address);
  d.kind = kind;
  d.querySettings.discoveryPort = port;
  d.querySettings.secondFamilyPort = secondPort;
  d.querySettings.replyTimeoutMs = 300;
  return d.waitForAnswer(seconds);
}

// The addresses a broadcast search finds.
std::set<std::string> found(const Fleet& fleet) {
  devices::CTcpIpDiscovery discovery;
  discovery.setSettings(fleet.searchSettings());
  devices::HeadlessDiscoveryRun run(discovery);
  EXPECT_EQ(run.run({true, false, {}, 0}, nullptr, 30000), 0);
  std::set<std::string> out;
  for (const auto& d : discovery.devices())
    if (auto* ip = dynamic_cast<const devices::CIpDevice*>(d.get())) out.insert(std::string(ip->ipAddress.view()));
  return out;
}

const char* kSecondFamilyFleet = R"([
  {"address": "127.0.60.1", "name": "SF-CONF", "hardware_address": "020000600001",
   "second_family": {"size": 72, "reboot_ms": 200}},
  {"address": "127.0.60.2", "name": "SF-NEW", "hardware_address": "020000600002",
   "discovery": {"ip": "0.0.0.0"}, "second_family": {"size": 166, "reboot_ms": 200}}
])";

TEST(AddressAssignment, SecondFamilyUnitsTakeTheirAddressAndAreFoundThere) {
  Fleet fleet(kSecondFamilyFleet, "assign_sf");
  ASSERT_TRUE(fleet.opened());
  struct Case {
    const char* name;
    const char* address;  // as the list shows it
    const char* hardware;
    const char* target;
  } cases[] = {
      {"configured unit: worked on at its address, moves at the reboot", "127.0.60.1", "020000600001", "127.0.62.1"},
      {"unit without an address: reached through the announcement", "0.0.0.0", "020000600002", "127.0.62.2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto d = secondFamilyDevice(c.address, c.hardware);
    std::string why;
    ASSERT_EQ(devices::assignSecondFamilyAddress(*d, c.target, fleet.link(), &why), 0) << why;
    EXPECT_EQ(answersAt(c.target, devices::kKindSecondFamily, fleet.discoveryPort(), fleet.link().port, 5), 0);
  }
  const auto addresses = found(fleet);
  EXPECT_TRUE(addresses.count("127.0.62.1"));
  EXPECT_TRUE(addresses.count("127.0.62.2"));
  EXPECT_FALSE(addresses.count("127.0.60.1"));
  EXPECT_FALSE(addresses.count("0.0.0.0"));
  // Each unit answered its first announcement.
  EXPECT_EQ(fleet.commands("SET IP_ADDR:").size(), 4u) << "an announcement and its closing request each";
}

TEST(AddressAssignment, ImageWrittenBackIsByteIdenticalBesideTheChanges) {
  Fleet fleet(kSecondFamilyFleet, "assign_image");
  ASSERT_TRUE(fleet.opened());
  devices::SecondFamilyExchange x("127.0.60.1", fleet.link().port, kReplyMs);
  std::vector<std::uint8_t> before, after;
  ASSERT_EQ(x.readConfigurationImage(before), 0) << x.failure();
  ASSERT_EQ(before.size(), devices::kImageSize);
  std::vector<std::uint8_t> changed = before;
  const struct {
    std::size_t at;
    std::vector<std::uint8_t> bytes;
  } edits[] = {{546, {1}}, {548, {127, 0, 63, 9}}, {7696, {'l', 'a', 'b', 0}}, {8191, {0xAB}}, {0, {0x5A}}};
  for (const auto& e : edits) std::copy(e.bytes.begin(), e.bytes.end(), changed.begin() + std::ptrdiff_t(e.at));
  ASSERT_EQ(x.writeConfigurationImage(changed), 0) << x.failure();
  ASSERT_EQ(x.readConfigurationImage(after), 0) << x.failure();
  EXPECT_EQ(after, changed);
  std::size_t differ = 0;
  for (std::size_t i = 0; i < before.size(); ++i) differ += before[i] != after[i];
  EXPECT_LE(differ, 12u);
  // 19 chunks of 422 bytes, one of 174, then the closing request: 510, 262 and 88-byte datagrams.
  const auto lengths = fleet.commands("SAVE EEP_DATA");
  ASSERT_EQ(lengths.size(), 21u);
  for (std::size_t i = 0; i < 19; ++i) EXPECT_EQ(lengths[i], 510u) << i;
  EXPECT_EQ(lengths[19], 262u);
  EXPECT_EQ(lengths[20], 88u);
  // An image of another size is refused before anything is sent.
  changed.pop_back();
  EXPECT_EQ(x.writeConfigurationImage(changed), -1);
  EXPECT_EQ(x.requestsSent(), 0);
}

TEST(AddressAssignment, NativeUnitsTakeTheInitializationRequestAddressedToThem) {
  Fleet fleet(R"([
    {"address": "127.0.64.1", "name": "NEW-HW", "hardware_address": "020000123456", "discovery": {"ip": "192.0.0.192"}},
    {"address": "127.0.64.2", "name": "NEW-SERIAL", "hardware_address": "020000000002",
     "discovery": {"format": 3, "serial_number": "17000001", "ip": "0.0.0.0"}},
    {"address": "127.0.64.3", "name": "NEW-MC", "hardware_address": "020000000003", "discovery": {"ip": "0.0.0.0"}},
    {"address": "127.0.64.4", "name": "BYSTANDER", "hardware_address": "020000000004", "discovery": {"ip": "0.0.0.0"}}
  ])", "assign_native");
  ASSERT_TRUE(fleet.opened());
  struct Case {
    const char* name;
    std::uint32_t identifier;
    devices::InitDestination to;
    const char* target;
  } cases[] = {
      {"hardware address, limited broadcast", *devices::identifierOfHardwareText("020000123456"), {false, 0xFFFFFFFFu},
       "127.0.65.1"},
      {"serial number above 24 bits, directed broadcast of the new subnet",
       devices::identifierOfSerial(17000001), {false, 0x7F0041FFu}, "127.0.65.2"},
      {"multicast", devices::identifierOfSerial(3), {true, 0}, "127.0.65.3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto target = devices::parseIpv4(c.target);
    ASSERT_EQ(devices::sendInitializationRequest(c.identifier, *target, c.to, fleet.discoveryPort(), nullptr),
              devices::InitSend::Sent);
    EXPECT_EQ(answersAt(c.target, devices::kKindNative, fleet.discoveryPort(), fleet.link().port, 3), 0);
  }
  const auto addresses = found(fleet);
  EXPECT_EQ(addresses, (std::set<std::string>{"127.0.65.1", "127.0.65.2", "127.0.65.3", "0.0.0.0"}));
}

TEST(AddressAssignment, InitializationRequestBytes) {
  const auto r = devices::buildInitializationRequest(devices::identifierOfSerial(1193046), 0x0A010203u);
  EXPECT_EQ(std::vector<std::uint8_t>(r.begin(), r.end()),
            (std::vector<std::uint8_t>{0x2E, 0x2C, 0x3A, 0x02, 0x12, 0x34, 0x56, 0x0A, 0x01, 0x02, 0x03}));
  const struct {
    const char* text;
    std::optional<std::uint32_t> id;
  } hw[] = {{"020000123456", 0x123456u}, {"02000012345", std::nullopt}, {"02000012345G", std::nullopt},
            {"", std::nullopt},          {"abcdefabcdef", 0xABCDEFu}};
  for (const auto& c : hw) EXPECT_EQ(devices::identifierOfHardwareText(c.text), c.id) << c.text;
  const struct {
    const char* text;
    std::optional<std::uint32_t> id;
  } serial[] = {{"1193046", 0x123456u}, {"16777217", 1u}, {"123456789", std::nullopt}, {"12a", std::nullopt},
                {"", std::nullopt}};
  for (const auto& c : serial) EXPECT_EQ(devices::parseSerialNumber(c.text), c.id) << c.text;
}

TEST(AddressAssignment, SecondFamilyFaultsEndWithinTheirBound) {
  Fleet fleet(R"([
    {"address": "127.0.66.1", "name": "SILENT", "hardware_address": "020000660001",
     "second_family": {"command_silence": true}},
    {"address": "127.0.66.2", "name": "SILENT-NEW", "hardware_address": "020000660002", "discovery": {"ip": "0.0.0.0"},
     "second_family": {"command_silence": true}},
    {"address": "127.0.66.3", "name": "SHORT", "hardware_address": "020000660003", "second_family": {"short_replies": true}},
    {"address": "127.0.66.4", "name": "BUSY", "hardware_address": "020000660004", "second_family": {"status": 5}},
    {"address": "127.0.66.6", "name": "PRINTER-BUSY", "ports": 2, "second_family": {"port_status": 7}},
    {"address": "127.0.66.5", "name": "SLOW", "hardware_address": "020000660005",
     "second_family": {"reboot_ms": 4000}}
  ])", "assign_faults");
  ASSERT_TRUE(fleet.opened());
  struct Case {
    const char* name;
    const char* address;
    const char* hardware;
    int result;
    const char* failure;
    std::size_t setAddressFrames;  // announcements and closing requests sent
  } cases[] = {
      {"silent configured unit: four announcements, then the image read fails", "127.0.66.1", "020000660001", -1,
       "no answer to GET EEP_DATA at offset 0", 4},
      {"silent unit without an address: fails after the first announcement", "0.0.0.0", "020000660002", -1,
       "no answer to SET IP_ADDR:", 1},
      {"short replies: the image is never taken, nothing is written", "127.0.66.3", "020000660003", -1,
       "short GET EEP_DATA reply at offset 0", 2},
      {"endless non-zero status", "127.0.66.4", "020000660004", -1, "SET IP_ADDR: refused with status 5", 1},
      {"slow reboot: the sequence itself completes", "127.0.66.5", "020000660005", 0, "", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto d = secondFamilyDevice(c.address, c.hardware);
    std::string why;
    const std::size_t before = fleet.commands("SET IP_ADDR:").size();
    const auto start = Clock::now();
    EXPECT_EQ(devices::assignSecondFamilyAddress(*d, "127.0.67.9", fleet.link(), &why), c.result);
    EXPECT_EQ(why, c.failure);
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(fleet.commands("SET IP_ADDR:").size() - before, c.setAddressFrames);
  }
  EXPECT_TRUE(fleet.commands("SAVE EEP_DATA").size() == 21u) << "only the slow unit's image is written";
  // The status reads of a unit that never stops answering with another status end at their cap.
  devices::CIpDevice busy("127.0.66.6");
  devices::SecondFamilyExchange x("127.0.66.6", fleet.link().port, kReplyMs);
  EXPECT_EQ(x.readPortsAndStatus(busy), 0);
  EXPECT_EQ(busy.portCount(), 2);
  EXPECT_EQ(x.requestsSent(), 2 + 2 * devices::kMaxStatusRequests + 1);
  // The slow unit is away at its new address for longer than the wait allows.
  const auto start = Clock::now();
  EXPECT_EQ(answersAt("127.0.67.9", devices::kKindSecondFamily, fleet.discoveryPort(), fleet.link().port, 1), -1);
  EXPECT_LT(Clock::now() - start, 3s);
  EXPECT_EQ(answersAt("127.0.67.9", devices::kKindSecondFamily, fleet.discoveryPort(), fleet.link().port, 6), 0);
}

}  // namespace
