#pragma once
// The second family's text commands as a unit answers them: "GET PORT_NAME", "GET STATUS:" + a
// port name and "GET EEP_DATA" (the configuration image, built from the unit). Request frames are
// 88 bytes (phase at byte 1, command text from byte 4, block offset and length big-endian at 84
// and 86); replies carry an 8-byte header (status, phase, data length at 6) and the data.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/device_model.h"

namespace sim {

inline constexpr std::size_t kSecondFamilyImageSize = 8192;

// The 8 KiB configuration image of a second-family unit: firmware at 64, address mode at 546,
// IP address, subnet mask and gateway at 548/552/556, wireless mode at 7680, WEP key in use at
// 7683, security mode at 7684, SSID at 7696, WEP key 1 at 7744, pass-phrase at 7808.
std::vector<std::uint8_t> buildConfigurationImage(const DeviceModel& unit);

struct SecondFamilyCommand {
  std::uint8_t phase = 0;
  std::string text;  // the command and its parameters, up to the NUL
  std::uint16_t offset = 0;
  std::uint16_t length = 0;
};

// A command frame (not the probe): at least 88 bytes, byte 0 = 0 and byte 3 = 1.
std::optional<SecondFamilyCommand> parseSecondFamilyCommand(const std::uint8_t* data, std::size_t length);

// The unit's reply to a command. Unknown commands and port names get status 1 with a text.
std::vector<std::uint8_t> answerSecondFamilyCommand(const DeviceModel& unit, const SecondFamilyCommand& command);

}  // namespace sim
