// The simulator's own encoding of discovery replies and probe replies.
#include "sim/discovery_reply_builder.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

// Copies a text into a fixed field; the last byte always stays NUL.
void putText(std::vector<std::uint8_t>& b, std::size_t offset, std::size_t size, const std::string& text) {
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(b.data() + offset, text.data(), n);
}

void put32(std::vector<std::uint8_t>& b, std::size_t offset, std::uint32_t v) {
  b[offset] = std::uint8_t(v >> 24);
  b[offset + 1] = std::uint8_t(v >> 16);
  b[offset + 2] = std::uint8_t(v >> 8);
  b[offset + 3] = std::uint8_t(v);
}

void applyFaults(const DiscoverySettings& s, std::vector<std::uint8_t>& b) {
  if (s.badMagic && !b.empty()) {
    for (std::size_t i = 0; i < std::min<std::size_t>(3, b.size()); ++i) b[i] = std::uint8_t(~b[i]);
  }
  if (s.truncate && s.truncate < b.size()) b.resize(s.truncate);
}

}  // namespace

void scrambleCommunity(const std::string& community, std::uint8_t key, std::uint8_t out[32]) {
  std::uint8_t plain[32] = {};
  std::memcpy(plain, community.data(), std::min<std::size_t>(community.size(), 32));
  out[0] = std::uint8_t(plain[0] ^ key);
  for (int i = 1; i < 32; ++i) out[i] = std::uint8_t(plain[i] ^ key ^ std::uint8_t(out[i - 1] + 5));
}

std::uint32_t responderId(const DeviceModel& unit) {
  const std::string& hw = unit.hardwareAddress;
  if (hw.size() < 6) return 0;
  auto u = [&](int i) { return std::uint32_t(static_cast<unsigned char>(hw[std::size_t(i)])); };
  return (u(3) << 16) | (u(4) << 8) | u(5);
}

std::vector<std::uint8_t> buildDiscoveryReply(const DeviceModel& unit) {
  const DiscoverySettings& s = unit.discovery;
  const bool f3 = s.format == 3;
  // Format 3 moves everything after the hardware address ten bytes on for the serial text.
  const std::size_t ipAt = f3 ? 72 : 62, nameAt = f3 ? 84 : 74, getAt = f3 ? 212 : 202, setAt = f3 ? 244 : 234,
                    statusAt = f3 ? 276 : 266;
  const std::size_t ports = std::min<std::size_t>(unit.ports.size(), kDiscoveryReplyPorts);
  const std::uint8_t declared = s.portCount ? *s.portCount : std::uint8_t(ports);
  std::vector<std::uint8_t> b(statusAt + 81 + kDiscoveryReplyPorts * 18, 0);
  b[0] = ':';
  b[1] = ',';
  b[2] = '.';
  b[3] = s.format;
  putText(b, 4, 8, s.productNumber);
  putText(b, 12, 20, s.productType);
  putText(b, 32, 17, s.datecode);
  putText(b, 49, 5, unit.family);
  std::memcpy(b.data() + 54, unit.hardwareAddress.data(), std::min<std::size_t>(6, unit.hardwareAddress.size()));
  if (f3) putText(b, 60, 12, s.serialNumber.empty() ? std::to_string(responderId(unit)) : s.serialNumber);
  const std::uint32_t ip = s.ip.value_or(unit.address);
  put32(b, ipAt, ip);
  put32(b, ipAt + 4, s.subnetMask);
  put32(b, ipAt + 8, s.gateway);
  putText(b, nameAt, 128, unit.name);
  // GET keyed with the first byte of the IP field, SET with the fourth.
  scrambleCommunity(unit.getCommunity, std::uint8_t(ip >> 24), b.data() + getAt);
  scrambleCommunity(unit.setCommunity, std::uint8_t(ip), b.data() + setAt);
  putText(b, statusAt, 80, s.generalStatus);
  b[statusAt + 80] = declared;
  for (std::size_t p = 0; p < ports; ++p) {
    const std::size_t at = statusAt + 81 + p * 18;
    b[at] = unit.ports[p].inputState;
    b[at + 1] = unit.ports[p].statusCode;
    putText(b, at + 2, 16, unit.ports[p].name);
  }
  // The datagram ends after the last port entry the unit has.
  b.resize(statusAt + 81 + ports * 18);
  applyFaults(s, b);
  return b;
}

std::vector<std::uint8_t> buildSecondFamilyReply(const DeviceModel& unit) {
  const SecondFamilySettings sf = unit.secondFamily.value_or(SecondFamilySettings{});
  const bool long_ = sf.size == 166;
  std::vector<std::uint8_t> b(long_ ? 166 : 72, 0);
  std::memcpy(b.data(), kSecondFamilyProbeMagic, 4);
  if (long_) {
    putText(b, 72, 11, sf.firmware);  // 10 characters and a NUL that the model's field ends before
    putText(b, 116, 166 - 116, unit.name);
  } else {
    putText(b, 4, 32, unit.name);
  }
  putText(b, 36, 17, sf.model);  // 16 characters; byte 52 stays NUL
  std::memcpy(b.data() + 56, unit.hardwareAddress.data(), std::min<std::size_t>(6, unit.hardwareAddress.size()));
  put32(b, 66, unit.discovery.ip.value_or(unit.address));
  applyFaults(unit.discovery, b);
  return b;
}

std::optional<DiscoveryRequest> parseDiscoveryRequest(const std::uint8_t* data, std::size_t length) {
  if (!data || length < 6 || data[0] != '.' || data[1] != ',' || data[2] != ':' || data[3] != 0x01)
    return std::nullopt;
  DiscoveryRequest r;
  r.declaredCount = std::uint16_t(data[4] | (data[5] << 8));
  const std::size_t present = std::min<std::size_t>(r.declaredCount, (length - 6) / 3);
  r.seen.reserve(present);
  for (std::size_t i = 0; i < present; ++i) {
    const std::uint8_t* e = data + 6 + 3 * i;
    r.seen.push_back((std::uint32_t(e[0]) << 16) | (std::uint32_t(e[1]) << 8) | e[2]);
  }
  return r;
}

bool isSecondFamilyProbe(const std::uint8_t* data, std::size_t length) {
  return data && length >= 88 && std::memcmp(data, kSecondFamilyProbeMagic, 4) == 0;
}

}  // namespace sim
