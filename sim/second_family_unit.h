#pragma once
// What a second-family unit remembers between text commands: its configuration image (built
// from the unit at first use, changed by "SAVE EEP_DATA"), an image being saved, and its reboot.
// Answers the commands that change or depend on that state, with the unit's faults, and hands
// the rest to answerSecondFamilyCommand. No sockets.
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/device_model.h"
#include "sim/second_family_commands.h"

namespace sim {

struct SecondFamilyState {
  using Clock = std::chrono::steady_clock;
  std::vector<std::uint8_t> image;   // empty until first needed
  std::vector<std::uint8_t> saving;  // the image being written
  std::vector<bool> savedBytes;      // which bytes of `saving` arrived
  std::optional<Clock::time_point> rebootEnds;
  std::uint64_t commands = 0;

  const std::vector<std::uint8_t>& currentImage(const DeviceModel& unit);
  bool rebooting() const { return rebootEnds.has_value(); }
  // The address the image asks for (address mode 1), or nullopt.
  std::optional<std::uint32_t> imageAddress() const;
};

// What the unit does after answering.
struct SecondFamilyEffect {
  std::optional<std::uint32_t> moveNow;  // takes this address at once ("SET IP_ADDR:" without an address)
  bool rebootStarted = false;
};

// The parameter block of "SET IP_ADDR:" / "EXEC REBOOT SYSTEM:" in a raw frame: hardware address
// and IPv4 address (host order); nullopt when the frame is too short or the block malformed.
struct AddressBlock {
  std::array<std::uint8_t, 6> hardware = {};
  std::uint32_t address = 0;
};
std::optional<AddressBlock> addressBlockOf(const std::uint8_t* data, std::size_t length, std::size_t commandLength);

// True when the unit's hardware address is the block's.
bool hardwareMatches(const DeviceModel& unit, const AddressBlock& block);

// The reply to one command frame (`data`, `length` raw) or nothing when the unit stays silent.
std::optional<std::vector<std::uint8_t>> answerSecondFamilyUnit(const DeviceModel& unit, SecondFamilyState& state,
                                                                const SecondFamilyCommand& command,
                                                                const std::uint8_t* data, std::size_t length,
                                                                SecondFamilyState::Clock::time_point now,
                                                                SecondFamilyEffect& effect);

}  // namespace sim
