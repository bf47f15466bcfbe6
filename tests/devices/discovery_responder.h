#pragma once
// A small discovery responder for the device tests: one UDP socket on 0.0.0.0 (an ephemeral port)
// answering as any number of units, each from its own 127.x address, plus an optional
// second-family socket. Unicast requests are answered by the unit of that address only.
#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "devices/discovery_reply.h"
#include "platform/net_config.h"
#include "platform/udp_socket.h"

namespace testing_devices {

struct Unit {
  std::uint32_t address = 0;  // host order, the 127.x address it answers from
  std::array<std::uint8_t, 6> hw = {0x02, 0, 0, 0, 0, 1};
  std::array<std::uint8_t, 4> replyIp = {};  // the IP field of the reply; default: the address
  bool replyIpSet = false;
  int format = 1;
  std::string family = "KDV";
  std::string systemName = "UNIT";
  std::string generalStatus = "None";
  int ports = 1;
  bool silent = false;
  std::uint32_t answerFrom = 0;  // nonzero: answers from this address instead
  std::size_t padTo = 0;         // nonzero: the datagram is this long (oversized replies)
  std::size_t cutTo = 0;         // nonzero: the datagram is cut to this length
  int secondFamilyForm = -1;     // 0 / 1: answers the second-family probe with 72 / 166 bytes
};

inline std::uint32_t addr(const char* text) { return ntohl(inet_addr(text)); }

// Broadcasts and multicasts of these tests stay on loopback whatever the environment says.
inline void useLoopbackNetConfig() {
  platform::NetConfig c = platform::netConfig();
  c.loopbackOnly = true;
  c.broadcastAddress = addr("127.255.255.255");
  c.multicastInterface = addr("127.0.0.1");
  platform::setNetConfig(c);
}

inline std::vector<std::uint8_t> buildReply(const Unit& u) {
  const bool f3 = u.format == 3;
  const std::size_t block = f3 ? 276 : 266;
  std::vector<std::uint8_t> r(block + 81 + 18 * static_cast<std::size_t>(u.ports), 0);
  r[0] = ':';
  r[1] = ',';
  r[2] = '.';
  r[3] = static_cast<std::uint8_t>(u.format);
  std::memcpy(&r[4], "7002", 4);
  std::memcpy(&r[12], "KDV-Ether", 9);
  std::memcpy(&r[32], "9812", 4);
  std::memcpy(&r[49], u.family.data(), std::min<std::size_t>(u.family.size(), 4));
  std::memcpy(&r[54], u.hw.data(), 6);
  std::array<std::uint8_t, 4> ip;
  if (u.replyIpSet) {
    ip = u.replyIp;
  } else {
    const std::uint32_t a = u.address;
    ip = {static_cast<std::uint8_t>(a >> 24), static_cast<std::uint8_t>(a >> 16), static_cast<std::uint8_t>(a >> 8),
          static_cast<std::uint8_t>(a)};
  }
  const std::size_t ipAt = f3 ? 72 : 62, nameAt = f3 ? 84 : 74, getAt = f3 ? 212 : 202, setAt = f3 ? 244 : 234;
  if (f3) std::memcpy(&r[60], "A1234567", 8);
  std::memcpy(&r[ipAt], ip.data(), 4);
  const std::uint8_t mask[4] = {255, 0, 0, 0};
  std::memcpy(&r[ipAt + 4], mask, 4);
  std::memcpy(&r[nameAt], u.systemName.data(), std::min<std::size_t>(u.systemName.size(), 127));
  std::uint8_t get[32] = "public", set[32] = "private";
  devices::scramble(get, ip[0]);
  devices::scramble(set, ip[3]);
  std::memcpy(&r[getAt], get, 32);
  std::memcpy(&r[setAt], set, 32);
  std::memcpy(&r[block], u.generalStatus.data(), std::min<std::size_t>(u.generalStatus.size(), 79));
  r[block + 80] = static_cast<std::uint8_t>(u.ports);
  for (int p = 0; p < u.ports; ++p) {
    std::uint8_t* e = &r[block + 81 + 18 * static_cast<std::size_t>(p)];
    e[0] = 1;
    e[1] = 1;
    const std::string name = "P" + std::to_string(p + 1);
    std::memcpy(e + 2, name.data(), name.size());
  }
  if (u.padTo > r.size()) r.resize(u.padTo, 0);
  if (u.cutTo && u.cutTo < r.size()) r.resize(u.cutTo);
  return r;
}

inline std::vector<std::uint8_t> buildSecondFamilyReply(const Unit& u) {
  std::vector<std::uint8_t> r(u.secondFamilyForm == 1 ? 166 : 72, 0);
  std::memcpy(r.data(), devices::kSecondFamilyMagic, 4);
  const std::size_t nameAt = u.secondFamilyForm == 1 ? 116 : 4;
  std::memcpy(&r[nameAt], u.systemName.data(), std::min<std::size_t>(u.systemName.size(), 31));
  std::memcpy(&r[36], "SX-2000WG", 9);
  std::memcpy(&r[56], u.hw.data(), 6);
  const std::uint32_t a = u.address;
  const std::uint8_t ip[4] = {static_cast<std::uint8_t>(a >> 24), static_cast<std::uint8_t>(a >> 16),
                              static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a)};
  std::memcpy(&r[66], ip, 4);
  if (u.secondFamilyForm == 1) std::memcpy(&r[72], "2.1.0", 5);
  return r;
}

class Responder {
 public:
  explicit Responder(std::vector<Unit> units) : units_(std::move(units)) {
    useLoopbackNetConfig();
    socket_.open();
    socket_.bind({0, 0}, true);
    socket_.setPacketInfo(true);
    port_ = socket_.localAddress().port;
    second_.open();
    second_.bind({0, 0}, true);
    second_.setPacketInfo(true);
    secondPort_ = second_.localAddress().port;
    thread_ = std::thread([this] { loop(); });
  }
  ~Responder() {
    done_ = true;
    thread_.join();
  }
  std::uint16_t port() const { return port_; }
  std::uint16_t secondFamilyPort() const { return secondPort_; }
  int requests() const { return requests_.load(); }
  std::vector<std::uint32_t> requestDestinations() {
    std::lock_guard lock(mutex_);
    return destinations_;
  }
  // Extra datagrams the second-family socket sends after its replies (malformed ones).
  void addSecondFamilyJunk(std::vector<std::uint8_t> d) {
    std::lock_guard lock(mutex_);
    junk_.push_back(std::move(d));
  }
  // Join the multicast group on 127.0.0.1; false when this host cannot.
  bool joinMulticast() { return socket_.joinMulticastGroup(0xE0000137, addr("127.0.0.1")) == 0; }

 private:
  void loop() {
    std::uint8_t buf[2048];
    while (!done_) {
      platform::SocketAddress from;
      std::uint32_t dest = 0, local = 0;
      auto r = socket_.recvFromTo(buf, sizeof buf, &from, &dest, &local);
      if (r.ok()) answer(buf, r.bytes, from, dest);
      r = second_.recvFromTo(buf, sizeof buf, &from, &dest, &local);
      if (r.ok()) answerSecond(buf, r.bytes, from, dest);
      if (!r.ok()) socket_.waitReadable(std::chrono::milliseconds(5));
    }
  }
  static bool isGroupOrBroadcast(std::uint32_t d) { return d == 0x7FFFFFFF || (d >> 28) == 0xE; }
  void answer(const std::uint8_t* data, std::size_t n, platform::SocketAddress from, std::uint32_t dest) {
    if (n < 6 || std::memcmp(data, devices::kRequestMagic, 3) != 0) return;
    ++requests_;
    {
      std::lock_guard lock(mutex_);
      destinations_.push_back(dest);
    }
    const std::size_t count = std::min<std::size_t>(data[4] | (data[5] << 8), (n - 6) / 3);
    std::vector<std::uint32_t> seen;
    for (std::size_t i = 0; i < count; ++i)
      seen.push_back((std::uint32_t(data[6 + 3 * i]) << 16) | (std::uint32_t(data[7 + 3 * i]) << 8) | data[8 + 3 * i]);
    for (const Unit& u : units_) {
      if (u.silent || u.secondFamilyForm >= 0) continue;
      if (!isGroupOrBroadcast(dest) && dest != u.address) continue;
      const std::uint32_t id = (std::uint32_t(u.hw[3]) << 16) | (std::uint32_t(u.hw[4]) << 8) | u.hw[5];
      if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
      const auto reply = buildReply(u);
      socket_.sendToFrom(reply.data(), reply.size(), from, u.answerFrom ? u.answerFrom : u.address);
    }
  }
  void answerSecond(const std::uint8_t* data, std::size_t n, platform::SocketAddress from, std::uint32_t dest) {
    if (n != 88 || std::memcmp(data, devices::kSecondFamilyMagic, 4) != 0) return;
    for (const Unit& u : units_) {
      if (u.secondFamilyForm < 0) continue;
      if (!isGroupOrBroadcast(dest) && dest != u.address) continue;
      const auto reply = buildSecondFamilyReply(u);
      second_.sendToFrom(reply.data(), reply.size(), from, u.address);
    }
    std::lock_guard lock(mutex_);
    for (const auto& j : junk_) second_.sendTo(j.data(), j.size(), from);
  }

  std::vector<Unit> units_;
  std::vector<std::vector<std::uint8_t>> junk_;
  platform::UdpSocket socket_, second_;
  std::uint16_t port_ = 0, secondPort_ = 0;
  std::atomic<bool> done_{false};
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::vector<std::uint32_t> destinations_;
  std::thread thread_;
};

}  // namespace testing_devices
