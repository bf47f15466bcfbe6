#include "platform/serial_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/registry.h"

using namespace platform;

TEST(SerialPath, PortNames) {
  struct Case {
    const char* name;
    std::optional<int> number;
  };
  const Case cases[] = {
      {"COM1", 1}, {"COM9", 9},  {"COM3:", 3},         {"COM10", std::nullopt}, {"COM0", std::nullopt},
      {"com1", std::nullopt},    {"COM", std::nullopt}, {"COM1::", std::nullopt}, {"COMX", std::nullopt},
      {"", std::nullopt},        {"LPT1", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(comPortNumber(c.name), c.number) << c.name;
}

TEST(SerialPath, DefaultsWithoutSettings) {
  EXPECT_EQ(serialDevicePath("COM1", nullptr), "/dev/ttyS0");
  EXPECT_EQ(serialDevicePath("COM9:", nullptr), "/dev/ttyS8");
  EXPECT_EQ(serialDevicePath("COM10", nullptr), std::nullopt);
}

TEST(SerialPath, RegistryValueWins) {
  char dir[] = "/tmp/trellan-serial-XXXXXX";
  ASSERT_NE(::mkdtemp(dir), nullptr);
  const std::string file = std::string(dir) + "/settings.reg";
  {
    Registry registry(file, [](const std::string&) {});
    ASSERT_TRUE(registry.setString("Serial", "COM2", "/dev/ttyUSB0"));
    ASSERT_TRUE(registry.setString("Serial", "COM3", ""));
    ASSERT_TRUE(registry.setDword("Serial", "COM4", 7));

    struct Case {
      const char* port;
      const char* path;
    };
    for (Case c : {Case{"COM2", "/dev/ttyUSB0"}, Case{"com2", nullptr}, Case{"COM3", "/dev/ttyS2"},
                   Case{"COM4", "/dev/ttyS3"}, Case{"COM5", "/dev/ttyS4"}}) {
      auto got = serialDevicePath(c.port, &registry);
      if (c.path) {
        EXPECT_EQ(got, std::string(c.path)) << c.port;
      } else {
        EXPECT_EQ(got, std::nullopt) << c.port;
      }
    }
  }
  std::filesystem::remove_all(dir);
}
