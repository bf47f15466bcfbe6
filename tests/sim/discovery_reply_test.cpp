// The simulator's discovery replies read by the program's own parsers: two independent
// implementations of one byte layout checked against each other.
#include <gtest/gtest.h>

#include <string>

#include "devices/discovery_reply.h"
#include "sim/discovery_reply_builder.h"
#include "sim/discovery_responder.h"
#include "sim/fleet_file.h"
#include "sim_test_support.h"

namespace sim {
namespace {

using namespace sim::test;

std::string text(const auto& fixed) { return std::string(fixed.c_str()); }

DeviceModel unitWith(std::uint8_t format) {
  DeviceModel d = smallUnit(0x7F000105u);  // 127.0.1.5
  d.name = "LAB-PS-5";
  d.family = "KDV";
  d.hardwareAddress = std::string("\x02\x00\x00\x12\x34\x56", 6);
  d.getCommunity = "public-get";
  d.setCommunity = "0123456789abcdefghijklmnopqrstu";  // 31 characters: the longest the field keeps
  d.discovery.format = format;
  d.discovery.productNumber = "PN-4711";
  d.discovery.productType = "Nineteen chars type";
  d.discovery.datecode = "970315";
  d.discovery.subnetMask = 0xFFFF0000u;
  d.discovery.gateway = 0x7F0001FEu;
  d.discovery.generalStatus = "Download Mode";
  d.ports = {{"LPT1", 0, "", 1, 1}, {"LPT2", 0, "", 2, 4}, {"COM1-a-long-name", 0, "", 1, 15}};
  return d;
}

TEST(SimDiscoveryReply, EveryFormatReadsBackThroughTheProgramsParser) {
  struct Case {
    std::uint8_t format;
    std::string family;
    std::string serial;  // configured format-3 text, empty for the default
    std::string expectSerial;
  };
  const Case cases[] = {
      {1, "KDV", "", "1193046"},  // 02:00:00:12:34:56: the last three bytes as a number
      {2, "ZBN", "", "1193046"},
      {3, "HLQ", "SN00042", "SN00042"},
      {3, "QRX", "", "1193046"},  // an unknown family still answers; the program drops it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("format " + std::to_string(c.format) + " family " + c.family);
    DeviceModel d = unitWith(c.format);
    d.family = c.family;
    d.discovery.serialNumber = c.serial;
    const auto bytes = buildDiscoveryReply(d);
    ASSERT_LE(bytes.size(), devices::kMaxReplySize);
    devices::DiscoveryReply r;
    ASSERT_EQ(devices::parseDiscoveryReply(bytes.data(), bytes.size(), r), devices::ReplyStatus::Ok);
    EXPECT_EQ(r.format, c.format);
    EXPECT_EQ(text(r.familyCode), c.family);
    EXPECT_EQ(text(r.serialNumber), c.expectSerial);
    EXPECT_EQ(text(r.productNumber), "PN-4711");
    EXPECT_EQ(text(r.productType), "Nineteen chars type");
    EXPECT_EQ(text(r.datecode), "970315");
    EXPECT_EQ(text(r.systemName), "LAB-PS-5");
    EXPECT_EQ((std::array<std::uint8_t, 4>{127, 0, 1, 5}), r.ip);
    EXPECT_EQ((std::array<std::uint8_t, 4>{255, 255, 0, 0}), r.mask);
    EXPECT_EQ((std::array<std::uint8_t, 4>{127, 0, 1, 254}), r.gateway);
    EXPECT_EQ((std::array<std::uint8_t, 6>{2, 0, 0, 0x12, 0x34, 0x56}), r.hardwareAddress);
    EXPECT_EQ(text(r.getCommunity), "public-get");
    EXPECT_EQ(text(r.setCommunity), "0123456789abcdefghijklmnopqrstu");
    EXPECT_EQ(text(r.generalStatus), "Download Mode");
    ASSERT_EQ(r.portCount, 3);
    EXPECT_EQ(text(r.ports[1].name), "LPT2");
    EXPECT_EQ(r.ports[1].inputState, 2);
    EXPECT_EQ(r.ports[1].statusCode, 4);
    EXPECT_EQ(text(r.ports[2].name), "COM1-a-long-nam");  // 16-byte field
    EXPECT_EQ(r.ports[2].statusCode, 15);
  }
}

TEST(SimDiscoveryReply, CommunitiesAreScrambledWithTheAddressBytes) {
  // Keys differ per address byte; the same community must look different under other keys.
  DeviceModel a = unitWith(1), b = unitWith(1);
  b.discovery.ip = 0xC00000C0u;  // 192.0.0.192: a factory address in the reply
  const auto ra = buildDiscoveryReply(a), rb = buildDiscoveryReply(b);
  EXPECT_NE(std::string(ra.begin() + 202, ra.begin() + 234), std::string(rb.begin() + 202, rb.begin() + 234));
  EXPECT_EQ(std::string(ra.begin() + 202, ra.begin() + 212).find("public"), std::string::npos);
  devices::DiscoveryReply r;
  ASSERT_EQ(devices::parseDiscoveryReply(rb.data(), rb.size(), r), devices::ReplyStatus::Ok);
  EXPECT_EQ(text(r.getCommunity), "public-get");
  EXPECT_EQ((std::array<std::uint8_t, 4>{192, 0, 0, 192}), r.ip);
}

TEST(SimDiscoveryReply, PortCountsAndStatusTexts) {
  struct Case {
    const char* name;
    std::size_t ports;
    std::optional<std::uint8_t> declared;
    int expectCount;
    std::string general;
  };
  const Case cases[] = {
      {"one port", 1, {}, 1, "None"},
      {"six ports", 6, {}, 6, "Self Test Detected an Error"},
      {"sixteen ports send six", 16, {}, 6, "CRC Error, Code Space Invalid"},
      {"declared 9, six present: clamped", 6, 9, 6, "Error Reading or Writing to Flash Memory"},
      {"no ports", 0, {}, 0, std::string(79, 'x')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceModel d = unitWith(1);
    d.ports.clear();
    for (std::size_t i = 0; i < c.ports; ++i)
      d.ports.push_back({"P" + std::to_string(i + 1), 0, "", std::uint8_t(i % 3), std::uint8_t(i + 1)});
    d.discovery.portCount = c.declared;
    d.discovery.generalStatus = c.general;
    const auto bytes = buildDiscoveryReply(d);
    devices::DiscoveryReply r;
    ASSERT_EQ(devices::parseDiscoveryReply(bytes.data(), bytes.size(), r), devices::ReplyStatus::Ok);
    EXPECT_EQ(r.portCount, c.expectCount);
    EXPECT_EQ(text(r.generalStatus), c.general);
    for (int p = 0; p < r.portCount; ++p) EXPECT_EQ(r.ports[std::size_t(p)].statusCode, p + 1);
  }
}

TEST(SimDiscoveryReply, InjectedDamageLooksAsConfigured) {
  struct Case {
    const char* name;
    std::uint8_t format;
    std::uint32_t truncate;
    bool badMagic;
    std::optional<std::uint8_t> declared;
    devices::ReplyStatus expect;
    std::size_t expectLength;  // 0: do not check
  };
  const Case cases[] = {
      {"cut to 100 bytes", 1, 100, false, {}, devices::ReplyStatus::TooShort, 100},
      {"cut inside the port entries", 3, 380, false, {}, devices::ReplyStatus::TooShort, 380},
      {"wrong magic", 1, 0, true, {}, devices::ReplyStatus::BadMagic, 0},
      {"format 0", 0, 0, false, {}, devices::ReplyStatus::UnknownFormat, 0},
      {"format 4", 4, 0, false, {}, devices::ReplyStatus::UnknownFormat, 0},
      {"declares more ports than it sends", 1, 0, false, 5, devices::ReplyStatus::TooShort, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceModel d = unitWith(c.format);
    d.discovery.truncate = c.truncate;
    d.discovery.badMagic = c.badMagic;
    d.discovery.portCount = c.declared;
    const auto bytes = buildDiscoveryReply(d);
    if (c.expectLength) {
      EXPECT_EQ(bytes.size(), c.expectLength);
    }
    devices::DiscoveryReply r;
    EXPECT_EQ(devices::parseDiscoveryReply(bytes.data(), bytes.size(), r), c.expect);
  }
}

TEST(SimDiscoveryReply, SecondFamilyRepliesInBothForms) {
  for (std::uint32_t size : {72u, 166u}) {
    SCOPED_TRACE(size);
    DeviceModel d = unitWith(1);
    d.name = "WIRELESS-PS";
    d.secondFamily = secondFamily(size, "C-6400W", "2.10a");
    const auto bytes = buildSecondFamilyReply(d);
    ASSERT_EQ(bytes.size(), size);
    EXPECT_EQ(0, std::memcmp(bytes.data(), devices::kSecondFamilyMagic, 4));
    devices::SecondFamilyReply r;
    ASSERT_EQ(devices::parseSecondFamilyReply(bytes.data(), bytes.size(), r), devices::ReplyStatus::Ok);
    EXPECT_EQ(r.form, size == 166 ? 1 : 0);
    EXPECT_EQ(text(r.model), "C-6400W");
    EXPECT_EQ(text(r.systemName), "WIRELESS-PS");
    EXPECT_EQ(text(r.firmwareVersion), size == 166 ? "2.10a" : "");
    EXPECT_EQ((std::array<std::uint8_t, 4>{127, 0, 1, 5}), r.ip);
    EXPECT_EQ((std::array<std::uint8_t, 6>{2, 0, 0, 0x12, 0x34, 0x56}), r.hardwareAddress);
  }
  DeviceModel cut = unitWith(1);
  cut.secondFamily = SecondFamilySettings{};
  cut.discovery.truncate = 60;
  const auto bytes = buildSecondFamilyReply(cut);
  devices::SecondFamilyReply r;
  EXPECT_EQ(devices::parseSecondFamilyReply(bytes.data(), bytes.size(), r), devices::ReplyStatus::TooShort);
}

TEST(SimDiscoveryRequest, ReadsWhatTheProgramBuilds) {
  const std::vector<std::uint32_t> seen = {0x123456, 0x000001, 0xFFFFFF};
  const auto built = devices::buildDiscoveryRequest(seen);
  auto r = parseDiscoveryRequest(built.data(), built.size());
  ASSERT_TRUE(r);
  EXPECT_EQ(r->seen, seen);

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool valid;
    std::size_t seenCount;
  };
  const Case cases[] = {
      {"plain", {'.', ',', ':', 1, 0, 0}, true, 0},
      {"count beyond the datagram", {'.', ',', ':', 1, 5, 0, 1, 2, 3, 4}, true, 1},
      {"wrong magic", {':', ',', '.', 1, 0, 0}, false, 0},
      {"wrong type", {'.', ',', ':', 2, 0, 0}, false, 0},
      {"too short", {'.', ',', ':', 1, 0}, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto p = parseDiscoveryRequest(c.bytes.data(), c.bytes.size());
    ASSERT_EQ(p.has_value(), c.valid);
    if (p) {
      EXPECT_EQ(p->seen.size(), c.seenCount);
    }
  }
}

TEST(SimDiscoveryResponder, WhoAnswers) {
  DeviceModel d = unitWith(1);  // 127.0.1.5, identification 0x123456
  DiscoveryRequest listed{{0x123456}, 1}, other{{0x654321}, 1};
  EXPECT_FALSE(discoverySilence(d, other));
  EXPECT_EQ(discoverySilence(d, listed).value_or(""), "in the seen list");
  d.discovery.ignoreSeenList = true;
  EXPECT_FALSE(discoverySilence(d, listed));
  d.discovery.answer = false;
  EXPECT_TRUE(discoverySilence(d, other));
  d.discovery.answer = true;
  d.secondFamily = SecondFamilySettings{};
  EXPECT_TRUE(discoverySilence(d, other));
  EXPECT_FALSE(probeSilence(d));

  struct Case {
    const char* name;
    std::uint32_t destination;
    bool unitThere;
    bool member;
    bool reached;
  };
  const Case cases[] = {
      {"loopback broadcast", 0x7FFFFFFFu, false, false, true},
      {"its own address", 0x7F000105u, true, false, true},
      {"another unit", 0x7F000106u, true, false, false},
      {"directed broadcast of its /24", 0x7F0001FFu, false, false, true},
      {"directed broadcast of another /24", 0x7F0002FFu, false, false, false},
      {"multicast, member", kDiscoveryGroup, false, true, true},
      {"multicast, not a member", kDiscoveryGroup, false, false, false},
      {"an outside address", 0x0A000001u, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceModel u = unitWith(1);
    u.discovery.multicast = c.member;
    EXPECT_EQ(reaches(classifyDestination(c.destination, c.unitThere), u), c.reached);
  }
}

TEST(SimDiscoveryFleet, DataFileKeys) {
  const char* good = R"({"devices": [
    {"address": "127.0.1.1", "ports": [{"name": "LPT1", "input_state": 2, "status_code": 6}],
     "discovery": {"format": 3, "product_number": "PN1", "product_type": "Type", "datecode": "9801",
                   "serial_number": "S1", "ip": "198.102.102.254", "subnet_mask": "255.255.255.0",
                   "gateway": "127.0.0.1", "general_status": "Download Mode", "port_count": 9,
                   "answer": true, "ignore_seen_list": true, "multicast": false, "ipx": true,
                   "ipx_network": "0000ABCD", "reply_from": "127.0.9.9", "truncate": 40, "bad_magic": true}},
    {"address": "127.0.1.2", "second_family": {"size": 166, "model": "SX-3700WB", "firmware": "1.2"}}]})";
  std::vector<DeviceModel> fleet;
  std::string error;
  ASSERT_TRUE(parseFleetText(good, "", {}, fleet, error)) << error;
  const DiscoverySettings& s = fleet[0].discovery;
  EXPECT_EQ(s.format, 3);
  EXPECT_EQ(s.ip, 0xC66666FEu);
  EXPECT_EQ(s.portCount, 9);
  EXPECT_EQ(s.ipxNetwork, 0x0000ABCDu);
  EXPECT_EQ(s.replyFrom, 0x7F000909u);
  EXPECT_TRUE(s.ignoreSeenList && s.badMagic && !s.multicast);
  EXPECT_EQ(fleet[0].ports[0].inputState, 2);
  EXPECT_EQ(fleet[0].ports[0].statusCode, 6);
  ASSERT_TRUE(fleet[1].secondFamily);
  EXPECT_EQ(fleet[1].secondFamily->size, 166u);

  struct Bad {
    const char* unit;
    const char* where;
  };
  const Bad bad[] = {
      {R"("discovery": {"format": 256})", "devices[0].discovery.format"},
      {R"("discovery": {"ipx_network": "ABCD"})", "devices[0].discovery.ipx_network"},
      {R"("discovery": {"reply_from": "10.0.0.1"})", "devices[0].discovery.reply_from"},
      {R"("discovery": {"product_type": "twenty characters xx"})", "devices[0].discovery.product_type"},
      {R"("discovery": {"truncate": 600})", "devices[0].discovery.truncate"},
      {R"("discovery": {"colour": 1})", "devices[0].discovery"},
      {R"("second_family": {"size": 100})", "devices[0].second_family.size"},
      {R"("ports": [{"status_code": 256}])", "devices[0].ports[0].status_code"},
  };
  for (const auto& b : bad) {
    SCOPED_TRACE(b.unit);
    const std::string doc = std::string(R"({"devices": [{"address": "127.0.1.1", )") + b.unit + "}]}";
    EXPECT_FALSE(parseFleetText(doc, "", {}, fleet, error));
    EXPECT_EQ(error.rfind(b.where, 0), 0u) << error;
  }
}

}  // namespace
}  // namespace sim
