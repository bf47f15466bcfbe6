// A second-family unit's stateful commands: the image written back, POLLING, the address
// announcement and the reboot.
#include "sim/second_family_unit.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace sim {
namespace {

constexpr std::size_t kHeader = 8;
constexpr std::size_t kFrame = 88;
constexpr std::size_t kAddressModeAt = 546, kAddressAt = 548;
const std::string kSetAddress = "SET IP_ADDR:";
const std::string kReboot = "EXEC REBOOT SYSTEM:";
const std::string kSave = "SAVE EEP_DATA";
const std::string kRead = "GET EEP_DATA";
const std::string kPolling = "POLLING";

std::vector<std::uint8_t> reply(std::uint8_t status, std::uint8_t phase, const std::vector<std::uint8_t>& data = {}) {
  std::vector<std::uint8_t> r(kHeader + data.size(), 0);
  r[0] = status;
  r[1] = phase;
  r[6] = std::uint8_t(data.size() >> 8);
  r[7] = std::uint8_t(data.size());
  std::copy(data.begin(), data.end(), r.begin() + kHeader);
  return r;
}

std::vector<std::uint8_t> refusal(std::uint8_t phase, const std::string& text) {
  std::vector<std::uint8_t> d(text.begin(), text.end());
  d.push_back(0);
  return reply(1, phase, d);
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The faults that damage every reply.
std::vector<std::uint8_t> withFaults(const SecondFamilySettings& sf, std::vector<std::uint8_t> r) {
  if (sf.status != 0 && r.size() >= kHeader) r[0] = sf.status;
  // The header still declares the whole data; only half of it arrives.
  if (sf.shortReplies && r.size() > kHeader) r.resize(kHeader + (r.size() - kHeader) / 2);
  return r;
}

}  // namespace

const std::vector<std::uint8_t>& SecondFamilyState::currentImage(const DeviceModel& unit) {
  if (image.size() != kSecondFamilyImageSize) image = buildConfigurationImage(unit);
  return image;
}

std::optional<std::uint32_t> SecondFamilyState::imageAddress() const {
  if (image.size() != kSecondFamilyImageSize || image[kAddressModeAt] != 1) return std::nullopt;
  std::uint32_t a = 0;
  for (int i = 0; i < 4; ++i) a = (a << 8) | image[kAddressAt + std::size_t(i)];
  return a;
}

std::optional<AddressBlock> addressBlockOf(const std::uint8_t* data, std::size_t length, std::size_t commandLength) {
  const std::size_t at = 4 + commandLength;
  if (!data || at + 12 > length || at + 12 > 84 || data[at] != 1 || data[at + 1] != 6) return std::nullopt;
  AddressBlock b;
  std::memcpy(b.hardware.data(), data + at + 2, 6);
  for (int i = 0; i < 4; ++i) b.address = (b.address << 8) | data[at + 8 + std::size_t(i)];
  return b;
}

bool hardwareMatches(const DeviceModel& unit, const AddressBlock& block) {
  return unit.hardwareAddress.size() == 6 && std::memcmp(unit.hardwareAddress.data(), block.hardware.data(), 6) == 0;
}

std::optional<std::vector<std::uint8_t>> answerSecondFamilyUnit(const DeviceModel& unit, SecondFamilyState& state,
                                                                const SecondFamilyCommand& c, const std::uint8_t* data,
                                                                std::size_t length,
                                                                SecondFamilyState::Clock::time_point now,
                                                                SecondFamilyEffect& effect) {
  const SecondFamilySettings sf = unit.secondFamily.value_or(SecondFamilySettings{});
  if (sf.commandSilence || state.rebooting()) return std::nullopt;
  ++state.commands;

  if (startsWith(c.text, kSetAddress)) {
    const auto block = addressBlockOf(data, length, kSetAddress.size());
    if (!block || !hardwareMatches(unit, *block)) return std::nullopt;  // meant for another unit
    if (c.phase == 1) {
      // Without an address of its own the unit takes the announced one at once.
      if (unit.discovery.ip == 0u) effect.moveNow = block->address;
      return withFaults(sf, reply(0, 1));
    }
    return withFaults(sf, reply(0, c.phase));
  }
  if (startsWith(c.text, kReboot)) {
    const auto block = addressBlockOf(data, length, kReboot.size());
    if (!block || !hardwareMatches(unit, *block)) return withFaults(sf, refusal(c.phase, "Wrong hardware address"));
    if (c.phase == 3) {
      state.rebootEnds = now + std::chrono::milliseconds(sf.rebootMs);
      effect.rebootStarted = true;
    }
    return withFaults(sf, reply(0, c.phase));
  }
  if (c.text == kPolling) {
    if (c.phase == 3) return withFaults(sf, reply(0, 3));
    return withFaults(sf, reply(0, 1, std::vector<std::uint8_t>(64, 0)));
  }
  if (c.text == kSave) {
    const std::vector<std::uint8_t>& current = state.currentImage(unit);
    if (c.phase == 3) {
      // The closing request commits a complete image; a partial one is thrown away.
      const bool complete = !state.savedBytes.empty() &&
                            std::all_of(state.savedBytes.begin(), state.savedBytes.end(), [](bool b) { return b; });
      if (complete) state.image = state.saving;
      state.saving.clear();
      state.savedBytes.clear();
      return withFaults(sf, complete ? reply(0, 3) : refusal(3, "Incomplete image"));
    }
    if (c.phase == 1) {
      state.saving = current;
      state.savedBytes.assign(kSecondFamilyImageSize, false);
    }
    if (state.saving.size() != kSecondFamilyImageSize || std::size_t(c.offset) + c.length > kSecondFamilyImageSize ||
        length < kFrame + c.length)
      return withFaults(sf, refusal(c.phase, "Bad chunk"));
    std::memcpy(state.saving.data() + c.offset, data + kFrame, c.length);
    std::fill(state.savedBytes.begin() + c.offset, state.savedBytes.begin() + c.offset + c.length, true);
    return withFaults(sf, reply(0, c.phase));
  }
  if (c.text == kRead && c.phase != 3) {
    const std::vector<std::uint8_t>& image = state.currentImage(unit);
    if (c.offset >= image.size()) return withFaults(sf, reply(0, c.phase));
    const std::size_t n = std::min<std::size_t>({c.length, 512, image.size() - c.offset});
    return withFaults(sf, reply(0, c.phase, std::vector<std::uint8_t>(image.begin() + c.offset,
                                                                    image.begin() + c.offset + std::ptrdiff_t(n))));
  }
  std::vector<std::uint8_t> r = answerSecondFamilyCommand(unit, c);
  if (sf.portStatus != 0 && startsWith(c.text, "GET STATUS:") && c.phase != 3) r[0] = sf.portStatus;
  return withFaults(sf, std::move(r));
}

}  // namespace sim
