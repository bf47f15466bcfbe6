#pragma once
// Loads the hand-written datagram fixtures of tests/devices/fixtures: "size N" sets the length
// (zero-filled), "@OFFSET" places the hex bytes and "quoted texts" that follow, "#" starts a comment.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_devices {

std::vector<std::uint8_t> loadReplyFixture(const std::string& name);

}  // namespace testing_devices
