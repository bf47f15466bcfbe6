#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "devices/discovery_reply.h"
#include "reply_fixture.h"

using namespace devices;
using testing_devices::loadReplyFixture;

namespace {

std::string ip(const std::array<std::uint8_t, 4>& b) {
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
}

struct PortWant {
  int input, code;
  const char* name;
};
struct FormatCase {
  const char* fixture;
  int format;
  const char* productNumber;
  const char* productType;
  const char* datecode;
  const char* family;
  const char* serial;
  const char* ip;
  const char* mask;
  const char* gateway;
  const char* systemName;
  const char* getCommunity;
  const char* setCommunity;
  const char* generalStatus;
  std::vector<PortWant> ports;
};

TEST(DiscoveryReply, ParsesEachFormatFromFixtures) {
  const FormatCase cases[] = {
      {"format1.reply", 1, "7002", "KDV-Ether 3P", "9812", "KDV", "1193046", "10.1.2.3", "255.255.255.0", "10.1.2.254",
       "LAB-PS1", "public", "private", "None", {{1, 1, "P1"}, {2, 3, "P2"}, {1, 2, "P3"}}},
      {"format2.reply", 2, "7001", "KDV-Ether 1P", "9540", "HLQ", "16777215", "198.102.102.254", "255.255.255.0",
       "0.0.0.0", "", "vorlak", "setpw", "Self Test Detected an Error", {{1, 1, "LPT1"}}},
      {"format3.reply", 3, "7010", "KDV-Wireless1P-ABCDE", "0112", "ZBN", "A1234567", "192.0.0.192", "255.255.0.0",
       "0.0.0.0", "Wireless Lab", "Kx9!", "s3cret", "Download Mode", {{2, 4, "WLAN1"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    const auto bytes = loadReplyFixture(c.fixture);
    DiscoveryReply r;
    ASSERT_EQ(parseDiscoveryReply(bytes.data(), bytes.size(), r), ReplyStatus::Ok);
    EXPECT_EQ(r.format, c.format);
    EXPECT_EQ(r.productNumber.view(), c.productNumber);
    EXPECT_EQ(r.productType.view(), c.productType);
    EXPECT_EQ(r.datecode.view(), c.datecode);
    EXPECT_EQ(r.familyCode.view(), c.family);
    EXPECT_EQ(r.serialNumber.view(), c.serial);
    EXPECT_EQ(ip(r.ip), c.ip);
    EXPECT_EQ(ip(r.mask), c.mask);
    EXPECT_EQ(ip(r.gateway), c.gateway);
    EXPECT_EQ(r.systemName.view(), c.systemName);
    EXPECT_EQ(r.getCommunity.view(), c.getCommunity);
    EXPECT_EQ(r.setCommunity.view(), c.setCommunity);
    EXPECT_EQ(r.generalStatus.view(), c.generalStatus);
    ASSERT_EQ(r.portCount, static_cast<int>(c.ports.size()));
    for (std::size_t p = 0; p < c.ports.size(); ++p) {
      EXPECT_EQ(r.ports[p].inputState, c.ports[p].input) << "port " << p;
      EXPECT_EQ(r.ports[p].statusCode, c.ports[p].code) << "port " << p;
      EXPECT_EQ(r.ports[p].name.view(), c.ports[p].name) << "port " << p;
    }
  }
}

TEST(DiscoveryReply, RefusesShortLongAndForeignDatagrams) {
  const auto f1 = loadReplyFixture("format1.reply");  // three ports: 347 + 3 * 18 = 401 bytes needed
  const auto f3 = loadReplyFixture("format3.reply");  // one port: 357 + 18 = 375 bytes needed
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::size_t length;
    ReplyStatus want;
  };
  auto with = [](std::vector<std::uint8_t> b, std::size_t at, std::uint8_t v) {
    b[at] = v;
    return b;
  };
  std::vector<std::uint8_t> big(600, 0);
  std::memcpy(big.data(), f1.data(), f1.size());
  const Case cases[] = {
      {"empty", {}, 0, ReplyStatus::TooShort},
      {"magic only", f1, 3, ReplyStatus::TooShort},
      {"magic and format", f1, 4, ReplyStatus::TooShort},
      {"format 1 without its status block", f1, 266, ReplyStatus::TooShort},
      {"format 1 cut before the port count", f1, 346, ReplyStatus::TooShort},
      {"format 1 with its third port cut", f1, 400, ReplyStatus::TooShort},
      {"format 1 with exactly its three ports", f1, 401, ReplyStatus::Ok},
      {"format 3 cut inside its status block", f3, 356, ReplyStatus::TooShort},
      {"format 3 with its port cut", f3, 374, ReplyStatus::TooShort},
      {"format 3 with exactly one port", f3, 375, ReplyStatus::Ok},
      {"largest reply", big, 548, ReplyStatus::Ok},
      {"one byte over the largest reply", big, 549, ReplyStatus::TooLong},
      {"request magic", with(f1, 0, '.'), f1.size(), ReplyStatus::BadMagic},
      {"magic byte 2 wrong", with(f1, 2, ':'), f1.size(), ReplyStatus::BadMagic},
      {"format 0", with(f1, 3, 0), f1.size(), ReplyStatus::UnknownFormat},
      {"format 4", with(f1, 3, 4), f1.size(), ReplyStatus::UnknownFormat},
      {"format 4 in a short datagram", with(f1, 3, 4), 4, ReplyStatus::UnknownFormat},
  };
  for (const auto& c : cases) {
    DiscoveryReply r;
    r.systemName.assign("untouched");
    const ReplyStatus got = parseDiscoveryReply(c.bytes.empty() ? nullptr : c.bytes.data(), c.length, r);
    EXPECT_EQ(got, c.want) << c.name << ": got " << replyStatusName(got);
    if (got != ReplyStatus::Ok) {
      EXPECT_EQ(r.systemName.view(), "untouched") << c.name;
    }
  }
}

TEST(DiscoveryReply, ClampsThePortCountToSix) {
  auto bytes = loadReplyFixture("format1.reply");
  bytes.resize(347 + 6 * 18, 0);
  for (int p = 3; p < 6; ++p) bytes[347 + p * 18 + 2] = static_cast<std::uint8_t>('A' + p);
  struct Case {
    std::uint8_t declared;
    int want;
  } cases[] = {{0, 0}, {6, 6}, {7, 6}, {200, 6}, {255, 6}};
  for (const auto& c : cases) {
    bytes[346] = c.declared;
    DiscoveryReply r;
    ASSERT_EQ(parseDiscoveryReply(bytes.data(), bytes.size(), r), ReplyStatus::Ok) << int(c.declared);
    EXPECT_EQ(r.portCount, c.want) << int(c.declared);
  }
  // A count above six in a datagram that holds fewer entries is a cut reply.
  bytes[346] = 9;
  DiscoveryReply r;
  EXPECT_EQ(parseDiscoveryReply(bytes.data(), 347 + 5 * 18, r), ReplyStatus::TooShort);
}

TEST(DiscoveryReply, TextsWithoutTerminatorStayInsideTheirFields) {
  auto bytes = loadReplyFixture("format1.reply");
  // Fill every text field of the reply with 'X' and no terminator; each one runs into the next
  // field on the wire, but must stop at its own field and fit the device's field.
  auto fill = [&](std::size_t at, std::size_t n) { std::memset(bytes.data() + at, 'X', n); };
  fill(4, 8);
  fill(12, 20);
  fill(32, 17);
  fill(49, 5);
  fill(74, 128);
  fill(266, 80);
  fill(347 + 2, 16);
  DiscoveryReply r;
  ASSERT_EQ(parseDiscoveryReply(bytes.data(), bytes.size(), r), ReplyStatus::Ok);
  EXPECT_EQ(r.productNumber.view(), std::string(8, 'X'));
  EXPECT_EQ(r.productType.view(), std::string(20, 'X'));
  EXPECT_EQ(r.datecode.view(), std::string(6, 'X'));
  EXPECT_EQ(r.familyCode.view(), std::string(3, 'X'));
  EXPECT_EQ(r.systemName.view(), std::string(127, 'X'));
  EXPECT_EQ(r.generalStatus.view(), std::string(80, 'X'));
  EXPECT_EQ(r.ports[0].name.view(), std::string(15, 'X'));
}

TEST(DiscoveryReply, CommunityScrambling) {
  // Scrambled bytes written out independently of the code under test.
  struct Case {
    const char* text;
    std::uint8_t key;
    std::uint8_t wire[32];
  } cases[] = {
      {"public", 0x0A, {0x7A, 0x00, 0x6D, 0x14, 0x7A, 0x16, 0x11, 0x1C, 0x2B, 0x3A, 0x35, 0x30, 0x3F, 0x4E, 0x59, 0x54,
                        0x53, 0x52, 0x5D, 0x68, 0x67, 0x66, 0x61, 0x6C, 0x7B, 0x8A, 0x85, 0x80, 0x8F, 0x9E, 0xA9, 0xA4}},
      {"vorlak", 0x00, {0x76, 0x14, 0x6B, 0x1C, 0x40, 0x2E, 0x33, 0x38, 0x3D, 0x42, 0x47, 0x4C, 0x51, 0x56, 0x5B, 0x60,
                        0x65, 0x6A, 0x6F, 0x74, 0x79, 0x7E, 0x83, 0x88, 0x8D, 0x92, 0x97, 0x9C, 0xA1, 0xA6, 0xAB, 0xB0}},
      {"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 0x07,
       {0x46, 0x0D, 0x54, 0x1F, 0x62, 0x21, 0x60, 0x23, 0x6E, 0x35, 0x7C, 0xC7, 0x8A, 0xC9, 0x88, 0xCB,
        0x96, 0xDD, 0xA4, 0xEF, 0xB2, 0xF1, 0xB0, 0xF3, 0xBE, 0x85, 0xCC, 0x97, 0xDA, 0x99, 0xD8, 0xDA}},
  };
  for (const auto& c : cases) {
    std::uint8_t buffer[32];
    std::memcpy(buffer, c.wire, 32);
    descramble(buffer, c.key);
    EXPECT_STREQ(reinterpret_cast<const char*>(buffer), c.text) << c.text;
    scramble(buffer, c.key);
    EXPECT_EQ(std::memcmp(buffer, c.wire, 32), 0) << "scramble undoes descramble for " << c.text;
  }
}

TEST(DiscoveryReply, ThirtyTwoCharacterCommunityIsCutToItsField) {
  auto bytes = loadReplyFixture("format1.reply");
  std::uint8_t plain[32];
  std::memset(plain, 'Q', 32);  // no terminator after descrambling
  scramble(plain, bytes[62]);
  std::memcpy(bytes.data() + 202, plain, 32);
  DiscoveryReply r;
  ASSERT_EQ(parseDiscoveryReply(bytes.data(), bytes.size(), r), ReplyStatus::Ok);
  EXPECT_EQ(r.getCommunity.view(), std::string(31, 'Q'));
}

TEST(DiscoveryReply, ResponderIdentificationAndRequest) {
  const auto bytes = loadReplyFixture("format1.reply");
  std::uint32_t id = 0;
  ASSERT_TRUE(replyResponderId(bytes.data(), bytes.size(), id));
  EXPECT_EQ(id, 0x123456u);
  EXPECT_FALSE(replyResponderId(bytes.data(), 59, id));

  EXPECT_EQ(buildDiscoveryRequest({}), (std::vector<std::uint8_t>{'.', ',', ':', 0x01, 0x00, 0x00}));
  const std::uint32_t two[] = {0x123456, 0xABCDEF};
  EXPECT_EQ(buildDiscoveryRequest(two),
            (std::vector<std::uint8_t>{'.', ',', ':', 0x01, 0x02, 0x00, 0x12, 0x34, 0x56, 0xAB, 0xCD, 0xEF}));
  // The request must fit a 548-byte datagram: at most 179 identifications.
  std::vector<std::uint32_t> many(300, 0x010203);
  const auto full = buildDiscoveryRequest(many);
  EXPECT_EQ(full.size(), 6u + 3 * 179);
  EXPECT_LE(full.size(), kMaxReplySize);
  EXPECT_EQ(full[4], 179);
  EXPECT_EQ(full[5], 0);
}

TEST(SecondFamilyReply, ParsesBothForms) {
  SecondFamilyReply r;
  const auto shortForm = loadReplyFixture("second_family_72.reply");
  ASSERT_EQ(parseSecondFamilyReply(shortForm.data(), shortForm.size(), r), ReplyStatus::Ok);
  EXPECT_EQ(r.form, 0);
  EXPECT_EQ(ip(r.ip), "127.0.5.9");
  EXPECT_EQ(r.hardwareAddress, (std::array<std::uint8_t, 6>{0x00, 0x11, 0x22, 0xAA, 0xBB, 0xCC}));
  EXPECT_EQ(r.model.view(), "SX-2000WG");
  EXPECT_EQ(r.systemName.view(), "SX-Office");
  EXPECT_TRUE(r.firmwareVersion.empty());

  const auto longForm = loadReplyFixture("second_family_166.reply");
  ASSERT_EQ(parseSecondFamilyReply(longForm.data(), longForm.size(), r), ReplyStatus::Ok);
  EXPECT_EQ(r.form, 1);
  EXPECT_EQ(ip(r.ip), "0.0.0.0");
  EXPECT_EQ(r.model.view(), "C-6400W");
  EXPECT_EQ(r.systemName.view(), "Print Hall 2");
  EXPECT_EQ(r.firmwareVersion.view(), "1.2.3b");
}

TEST(SecondFamilyReply, RefusesOtherLengthsAndMagic) {
  auto shortForm = loadReplyFixture("second_family_72.reply");
  auto longForm = loadReplyFixture("second_family_166.reply");
  std::vector<std::uint8_t> oversized = longForm;
  oversized.push_back(0);
  auto wrongMagic = shortForm;
  wrongMagic[2] = 0x94;
  auto nativeReply = loadReplyFixture("format1.reply");
  nativeReply.resize(166);
  struct Case {
    const char* name;
    const std::vector<std::uint8_t>* bytes;
    std::size_t length;
    ReplyStatus want;
  } cases[] = {
      {"nothing", &shortForm, 0, ReplyStatus::TooShort},
      {"header only", &shortForm, 8, ReplyStatus::TooShort},
      {"71 bytes", &shortForm, 71, ReplyStatus::TooShort},
      {"long form cut to 100 bytes", &longForm, 100, ReplyStatus::TooShort},
      {"long form cut to 165 bytes", &longForm, 165, ReplyStatus::TooShort},
      {"167 bytes", &oversized, 167, ReplyStatus::TooLong},
      {"wrong magic", &wrongMagic, 72, ReplyStatus::BadMagic},
      {"a native reply cut to 166 bytes", &nativeReply, 166, ReplyStatus::BadMagic},
  };
  for (const auto& c : cases) {
    SecondFamilyReply r;
    r.model.assign("untouched");
    EXPECT_EQ(parseSecondFamilyReply(c.bytes->data(), c.length, r), c.want) << c.name;
    EXPECT_EQ(r.model.view(), "untouched") << c.name;
  }
}

TEST(SecondFamilyReply, UnterminatedTextsStayInsideTheirFields) {
  auto bytes = loadReplyFixture("second_family_166.reply");
  std::memset(bytes.data() + 36, 'M', 20);  // model runs on into the bytes after it
  std::memset(bytes.data() + 72, 'F', 44);  // firmware runs on to the system name
  std::memset(bytes.data() + 116, 'S', 50);
  SecondFamilyReply r;
  ASSERT_EQ(parseSecondFamilyReply(bytes.data(), bytes.size(), r), ReplyStatus::Ok);
  EXPECT_EQ(r.model.view(), std::string(16, 'M'));
  EXPECT_EQ(r.firmwareVersion.view(), std::string(10, 'F'));
  EXPECT_EQ(r.systemName.view(), std::string(50, 'S'));
}

TEST(SecondFamilyReply, ProbeFrame) {
  const auto probe = secondFamilyProbe();
  ASSERT_EQ(probe.size(), 88u);
  EXPECT_EQ(probe[0], 0x00);
  EXPECT_EQ(probe[1], 0x04);
  EXPECT_EQ(probe[2], 0x95);
  EXPECT_EQ(probe[3], 0x06);
  for (std::size_t i = 4; i < probe.size(); ++i) EXPECT_EQ(probe[i], 0) << "byte " << i;
}

// Mutated and cut fixtures: whatever the bytes, the parsers stay inside the datagram (the
// sanitizer build checks that) and their results keep their invariants.
TEST(DiscoveryReply, SurvivesMutatedDatagrams) {
  const std::vector<std::vector<std::uint8_t>> seeds = {
      loadReplyFixture("format1.reply"), loadReplyFixture("format2.reply"), loadReplyFixture("format3.reply"),
      loadReplyFixture("second_family_72.reply"), loadReplyFixture("second_family_166.reply")};
  std::mt19937 rng(4201);
  for (int round = 0; round < 4000; ++round) {
    std::vector<std::uint8_t> bytes = seeds[round % seeds.size()];
    const int flips = 1 + static_cast<int>(rng() % 8);
    for (int f = 0; f < flips; ++f) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
    if (round % 3 == 0) bytes.resize(rng() % (bytes.size() + 1));
    // Exactly-sized heap copy, so any read past the length is caught.
    auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
    if (!bytes.empty()) std::memcpy(exact.get(), bytes.data(), bytes.size());
    DiscoveryReply r;
    if (parseDiscoveryReply(exact.get(), bytes.size(), r) == ReplyStatus::Ok) {
      ASSERT_GE(r.portCount, 0);
      ASSERT_LE(r.portCount, kMaxPorts);
      ASSERT_LE(r.systemName.view().size(), 127u);
    }
    SecondFamilyReply s;
    if (parseSecondFamilyReply(exact.get(), bytes.size(), s) == ReplyStatus::Ok) {
      ASSERT_TRUE(bytes.size() == 72 || bytes.size() == 166);
    }
  }
}

}  // namespace
