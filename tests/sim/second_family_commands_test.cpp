// The second family's text commands as trellan-sim answers them, and their data-file keys.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sim/fleet_file.h"
#include "sim/second_family_commands.h"

using namespace sim;

namespace {

std::vector<std::uint8_t> frame(std::uint8_t phase, const std::string& text, std::uint16_t offset, std::uint16_t length) {
  std::vector<std::uint8_t> f(88, 0);
  f[1] = phase;
  f[3] = 1;
  std::memcpy(f.data() + 4, text.data(), std::min<std::size_t>(text.size(), 79));
  f[84] = std::uint8_t(offset >> 8);
  f[85] = std::uint8_t(offset);
  f[86] = std::uint8_t(length >> 8);
  f[87] = std::uint8_t(length);
  return f;
}

DeviceModel unit() {
  std::vector<DeviceModel> fleet;
  std::string error;
  const char* doc = R"({"devices": [{"address": "127.0.1.1", "name": "SF",
      "ports": [{"name": "P1", "status": 16, "display": "OFFLINE"}, {"name": "P2"}],
      "second_family": {"size": 72, "ssid": "net", "wireless_mode": 1, "security": 2, "key": "phrase"}}]})";
  EXPECT_TRUE(parseFleetText(doc, "", {}, fleet, error)) << error;
  return fleet.empty() ? DeviceModel{} : fleet[0];
}

std::vector<std::uint8_t> answer(const DeviceModel& d, std::uint8_t phase, const std::string& text,
                                 std::uint16_t offset = 0, std::uint16_t length = 512) {
  const auto f = frame(phase, text, offset, length);
  const auto c = parseSecondFamilyCommand(f.data(), f.size());
  EXPECT_TRUE(c.has_value()) << text;
  return c ? answerSecondFamilyCommand(d, *c) : std::vector<std::uint8_t>{};
}

std::size_t dataLength(const std::vector<std::uint8_t>& r) { return r.size() < 8 ? 0 : (r[6] << 8) | r[7]; }

TEST(SimSecondFamilyCommands, FramesThatAreNoCommand) {
  const auto probe = frame(0, "", 0, 0);
  std::vector<std::uint8_t> p = probe;
  p[1] = 4, p[2] = 0x95, p[3] = 6;  // the probe's first bytes
  EXPECT_FALSE(parseSecondFamilyCommand(p.data(), p.size()));
  EXPECT_FALSE(parseSecondFamilyCommand(probe.data(), 87)) << "short";
  EXPECT_FALSE(parseSecondFamilyCommand(nullptr, 88));
  // A command without a terminator is read up to its field's end.
  std::vector<std::uint8_t> full = frame(1, "", 0, 0);
  std::memset(full.data() + 4, 'A', 80);
  const auto c = parseSecondFamilyCommand(full.data(), full.size());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->text, std::string(80, 'A'));
}

TEST(SimSecondFamilyCommands, PortsStatusAndImage) {
  const DeviceModel d = unit();
  const auto names = answer(d, 1, "GET PORT_NAME");
  ASSERT_EQ(names.size(), 8u + 1 + 32);
  EXPECT_EQ(names[0], 0);
  EXPECT_EQ(names[8], 3) << "port count plus one";
  EXPECT_STREQ(reinterpret_cast<const char*>(&names[9]), "P1");
  EXPECT_STREQ(reinterpret_cast<const char*>(&names[25]), "P2");

  const auto status = answer(d, 1, "GET STATUS:P1");
  EXPECT_EQ(status[0], 0);
  EXPECT_EQ(status[1], 1);
  EXPECT_EQ(status[8], 16);
  EXPECT_STREQ(reinterpret_cast<const char*>(&status[10]), "OFFLINE");
  const auto more = answer(d, 2, "GET STATUS:P1", std::uint16_t(dataLength(status)));
  EXPECT_EQ(more[0], 0);
  EXPECT_EQ(more[1], 0) << "phase 0 ends the port";
  const auto unknown = answer(d, 1, "GET STATUS:P9");
  EXPECT_EQ(unknown[0], 1);
  EXPECT_STREQ(reinterpret_cast<const char*>(&unknown[8]), "Unknown port P9");

  std::vector<std::uint8_t> image;
  for (std::uint16_t offset = 0; offset < kSecondFamilyImageSize; offset += 512) {
    const auto block = answer(d, offset ? 2 : 1, "GET EEP_DATA", offset);
    ASSERT_EQ(dataLength(block), 512u) << offset;
    image.insert(image.end(), block.begin() + 8, block.end());
  }
  EXPECT_EQ(image, buildConfigurationImage(d));
  EXPECT_EQ(image[7680], 1);
  EXPECT_EQ(image[7684], 2);
  EXPECT_STREQ(reinterpret_cast<const char*>(&image[7696]), "net");
  EXPECT_STREQ(reinterpret_cast<const char*>(&image[7808]), "phrase");
  EXPECT_EQ(image[548], 127);
  EXPECT_EQ(dataLength(answer(d, 2, "GET EEP_DATA", 8100)), 92u) << "the last bytes only";
  EXPECT_EQ(dataLength(answer(d, 3, "GET EEP_DATA", 8192)), 0u);
  EXPECT_EQ(answer(d, 1, "SET NOTHING")[0], 1);
}

TEST(SimSecondFamilyCommands, DataFileKeys) {
  struct Bad {
    const char* keys;
    const char* where;
  } bad[] = {
      {R"("wireless_mode": 3)", "devices[0].second_family.wireless_mode"},
      {R"("security": -1)", "devices[0].second_family.security"},
      {R"("key": "seventeen chars xx")", "devices[0].second_family.key"},
      {R"("ssid": "thirty-three characters are too many")", "devices[0].second_family.ssid"},
  };
  std::vector<DeviceModel> fleet;
  std::string error;
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.keys);
    const std::string doc = std::string(R"({"devices": [{"address": "127.0.1.1", "second_family": {)") + b.keys + "}}]}";
    EXPECT_FALSE(parseFleetText(doc, "", {}, fleet, error));
    EXPECT_EQ(error.rfind(b.where, 0), 0u) << error;
  }
}

}  // namespace
