#include "reply_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testing_devices {
namespace {

std::filesystem::path fixtureDir() {
  if (const char* root = std::getenv("TRELLAN_SOURCE_DIR")) return std::filesystem::path(root) / "tests/devices/fixtures";
  return std::filesystem::path(__FILE__).parent_path() / "fixtures";
}

}  // namespace

std::vector<std::uint8_t> loadReplyFixture(const std::string& name) {
  std::ifstream in(fixtureDir() / name);
  EXPECT_TRUE(in.good()) << "fixture " << name;
  std::vector<std::uint8_t> bytes;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    std::size_t i = 0;
    std::size_t at = 0;
    auto skipSpace = [&] { while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i; };
    auto put = [&](std::uint8_t b) {
      if (at >= bytes.size()) {
        ADD_FAILURE() << name << ":" << lineNo << " writes past the size";
        return;
      }
      bytes[at++] = b;
    };
    skipSpace();
    if (i >= line.size() || line[i] == '#') continue;
    if (line.compare(i, 5, "size ") == 0) {
      bytes.assign(std::stoul(line.substr(i + 5)), 0);
      continue;
    }
    if (line[i] != '@') {
      ADD_FAILURE() << name << ":" << lineNo << " expected @OFFSET";
      continue;
    }
    std::size_t used = 0;
    at = std::stoul(line.substr(i + 1), &used);
    i += 1 + used;
    for (;;) {
      skipSpace();
      if (i >= line.size() || line[i] == '#') break;
      if (line[i] == '"') {
        const std::size_t end = line.find('"', i + 1);
        if (end == std::string::npos) {
          ADD_FAILURE() << name << ":" << lineNo << " unterminated text";
          break;
        }
        for (std::size_t k = i + 1; k < end; ++k) put(static_cast<std::uint8_t>(line[k]));
        i = end + 1;
      } else {
        put(static_cast<std::uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
        i += 2;
      }
    }
  }
  return bytes;
}

}  // namespace testing_devices
