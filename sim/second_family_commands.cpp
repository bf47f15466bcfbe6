#include "sim/second_family_commands.h"

#include <algorithm>
#include <cstring>

namespace sim {
namespace {

constexpr std::size_t kHeader = 8;

void putText(std::vector<std::uint8_t>& b, std::size_t at, std::size_t size, const std::string& text) {
  const std::size_t n = std::min(text.size(), size);
  std::memcpy(b.data() + at, text.data(), n);
}

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (24 - 8 * i));
}

std::vector<std::uint8_t> reply(std::uint8_t status, std::uint8_t phase, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> r(kHeader + data.size(), 0);
  r[0] = status;
  r[1] = phase;
  r[6] = std::uint8_t(data.size() >> 8);
  r[7] = std::uint8_t(data.size());
  std::copy(data.begin(), data.end(), r.begin() + kHeader);
  return r;
}

std::vector<std::uint8_t> textData(const std::string& text) {
  std::vector<std::uint8_t> d(text.begin(), text.end());
  d.push_back(0);
  return d;
}

}  // namespace

std::vector<std::uint8_t> buildConfigurationImage(const DeviceModel& unit) {
  const SecondFamilySettings sf = unit.secondFamily.value_or(SecondFamilySettings{});
  std::vector<std::uint8_t> m(kSecondFamilyImageSize, 0);
  putText(m, 64, 14, sf.firmware);
  put32(m, 548, unit.discovery.ip.value_or(unit.address));
  put32(m, 552, unit.discovery.subnetMask);
  put32(m, 556, unit.discovery.gateway);
  m[7680] = std::uint8_t(sf.wirelessMode);
  m[7683] = 1;
  m[7684] = std::uint8_t(sf.security);
  putText(m, 7696, 32, sf.ssid);
  if (sf.security == 0) putText(m, 7744, 16, sf.key);
  if (sf.security == 2) putText(m, 7808, 16, sf.key);
  return m;
}

std::optional<SecondFamilyCommand> parseSecondFamilyCommand(const std::uint8_t* data, std::size_t length) {
  if (!data || length < 88 || data[0] != 0 || data[3] != 1) return std::nullopt;
  SecondFamilyCommand c;
  c.phase = data[1];
  const char* text = reinterpret_cast<const char*>(data + 4);
  const void* nul = std::memchr(text, 0, 80);
  c.text.assign(text, nul ? std::size_t(static_cast<const char*>(nul) - text) : 80);
  c.offset = std::uint16_t((data[84] << 8) | data[85]);
  c.length = std::uint16_t((data[86] << 8) | data[87]);
  return c;
}

std::vector<std::uint8_t> answerSecondFamilyCommand(const DeviceModel& unit, const SecondFamilyCommand& c) {
  // Every exchange ends with a closing request, answered with an empty reply.
  if (c.phase == 3) return reply(0, 3, {});
  if (c.text == "GET PORT_NAME") {
    const std::size_t ports = std::min<std::size_t>(unit.ports.size(), 6);
    std::vector<std::uint8_t> d(1 + 16 * ports, 0);
    d[0] = std::uint8_t(ports + 1);
    for (std::size_t p = 0; p < ports; ++p)
      std::memcpy(d.data() + 1 + 16 * p, unit.ports[p].name.data(), std::min<std::size_t>(15, unit.ports[p].name.size()));
    return reply(0, 1, d);
  }
  static const std::string kStatus = "GET STATUS:";
  if (c.text.rfind(kStatus, 0) == 0) {
    const std::string name = c.text.substr(kStatus.size());
    const auto port = std::find_if(unit.ports.begin(), unit.ports.end(), [&](const Port& p) { return p.name == name; });
    if (port == unit.ports.end()) return reply(1, 1, textData("Unknown port " + name.substr(0, 40)));
    // The status in one block: a follow-on request finds nothing more.
    if (c.phase == 2) return reply(0, 0, {});
    std::vector<std::uint8_t> d = {std::uint8_t(port->mediaPathStatus), 0};
    const auto text = textData(port->display);
    d.insert(d.end(), text.begin(), text.end());
    return reply(0, 1, d);
  }
  if (c.text == "GET EEP_DATA") {
    const auto image = buildConfigurationImage(unit);
    if (c.offset >= image.size()) return reply(0, c.phase, {});
    const std::size_t n = std::min<std::size_t>({c.length, 512, image.size() - c.offset});
    return reply(0, c.phase, std::vector<std::uint8_t>(image.begin() + c.offset, image.begin() + c.offset + n));
  }
  return reply(1, c.phase, textData("Unknown command"));
}

}  // namespace sim
