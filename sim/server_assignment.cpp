// Units that change their address: a native unit taking the address of an initialization
// request addressed to it, and the second family's text commands with their announcement,
// image writes and reboots.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "sim/discovery_reply_builder.h"
#include "sim/discovery_responder.h"
#include "sim/second_family_commands.h"
#include "sim/server.h"

namespace sim {
namespace {

constexpr std::size_t kInitRequestSize = 11;

// The identifier a unit answers to: the low 24 bits of its serial number text when it has one,
// else of its hardware address.
bool identifiedBy(const DeviceModel& d, std::uint32_t id) {
  if (responderId(d) == id) return true;
  const std::string& serial = d.discovery.serialNumber;
  if (serial.empty() || serial.size() > 11 || serial.find_first_not_of("0123456789") != std::string::npos) return false;
  return (std::strtoull(serial.c_str(), nullptr, 10) & 0xFFFFFFu) == id;
}

std::string printable(std::string text) {
  for (char& ch : text)
    if (static_cast<unsigned char>(ch) < 32 || static_cast<unsigned char>(ch) > 126) ch = '?';
  return text;
}

}  // namespace

bool Server::moveUnit(std::size_t unit, std::uint32_t to) {
  DeviceModel& d = agents_[unit]->device();
  const std::uint32_t from = d.address;
  if (to == from) return true;
  if ((to >> 24) != 127 || to == 0x7F000000u || to == 0x7FFFFFFFu) {
    log_.event(from, "stays", formatIpv4(to) + " is not a loopback unit address");
    return false;
  }
  for (const auto& a : agents_)
    if (a->device().address == to) {
      log_.event(from, "stays", formatIpv4(to) + " belongs to another unit");
      return false;
    }
  std::string error;
  const int fd = bindUnitSocket(to, ports_[unit], &error);
  if (fd < 0) {
    log_.event(from, "stays", error);
    return false;
  }
  ::close(sockets_[unit]);
  sockets_[unit] = fd;
  pollFds_[unit].fd = fd;
  d.address = to;
  log_.event(from, "moved", formatIpv4(to));
  return true;
}

bool Server::takeInitializationRequest(const Endpoint& peer, std::uint32_t destination, const std::uint8_t* data,
                                       std::size_t length) {
  if (length != kInitRequestSize || data[0] != '.' || data[1] != ',' || data[2] != ':' || data[3] != 0x02) return false;
  const std::uint32_t id = (std::uint32_t(data[4]) << 16) | (std::uint32_t(data[5]) << 8) | data[6];
  const std::uint32_t address = (std::uint32_t(data[7]) << 24) | (std::uint32_t(data[8]) << 16) |
                                (std::uint32_t(data[9]) << 8) | data[10];
  log_.discovery(destination, &peer,
                 {"udp", "initialize", destination, length, -1, -1, 0, "to " + formatIpv4(address)});
  // Every broadcast reaches every unit of the segment: a unit without an address has no subnet.
  Addressing a = classifyDestination(destination, unitAt(destination).has_value());
  if (a.audience == Audience::Subnet) a = {Audience::All, destination};
  for (std::size_t unit = 0; unit < agents_.size(); ++unit) {
    DeviceModel& d = agents_[unit]->device();
    if (d.secondFamily || d.faults.silent || !reaches(a, d) || !identifiedBy(d, id)) continue;
    // The reply carries the address it took: configured now, and its TCP/IP page says so too.
    if (!moveUnit(unit, address)) continue;
    d.discovery.ip.reset();
    if (MibEntry* e = d.agent.addressOid ? d.store.find(*d.agent.addressOid) : nullptr;
        e && e->value.syntax == Syntax::IpAddress)
      e->value = Value::ip(std::uint8_t(address >> 24), std::uint8_t(address >> 16), std::uint8_t(address >> 8),
                           std::uint8_t(address));
  }
  return true;
}

void Server::serviceSecondFamily(Clock::time_point now) {
  for (std::size_t unit = 0; unit < secondFamily_.size(); ++unit) {
    SecondFamilyState& st = secondFamily_[unit];
    if (!st.rebootEnds || now < *st.rebootEnds) continue;
    st.rebootEnds.reset();
    DeviceModel& d = agents_[unit]->device();
    log_.event(d.address, "back");
    // It comes up with the address of its image.
    if (const auto to = st.imageAddress(); to && *to != 0 && moveUnit(unit, *to)) d.discovery.ip.reset();
  }
}

bool Server::answerSecondFamilyCommand(SharedListener& l, const Endpoint& peer, std::uint32_t destination,
                                       const std::uint8_t* data, std::size_t length) {
  const auto command = parseSecondFamilyCommand(data, length);
  if (!command) return false;
  log_.discovery(destination, &peer,
                 {"second_family", "command", destination, length, -1, -1, 0, printable(command->text)});
  // A unit's own address reaches that unit; a broadcast reaches every unit it covers.
  std::vector<std::size_t> units;
  if (const auto unit = unitAt(destination))
    units.push_back(*unit);
  else
    units = unitsReached(destination);
  const auto now = Clock::now();
  bool answered = false;
  for (std::size_t unit : units) {
    const DeviceModel& d = agents_[unit]->device();
    if (probeSilence(d)) continue;
    SecondFamilyEffect effect;
    const auto reply = answerSecondFamilyUnit(d, secondFamily_[unit], *command, data, length, now, effect);
    if (!reply) {
      log_.discovery(d.address, &peer, {"second_family", "silent", 0, 0, -1, -1, 0,
                                        secondFamily_[unit].rebooting() ? "rebooting" : "no answer"});
      continue;
    }
    std::uint32_t from = 0;
    sendShared(l, unit, peer, reply->data(), reply->size(), &from);
    log_.discovery(d.address, &peer, {"second_family", "reply", 0, reply->size(), -1, -1, from, {}});
    answered = true;
    if (effect.moveNow) moveUnit(unit, *effect.moveNow);
    if (effect.rebootStarted) log_.event(agents_[unit]->device().address, "reboot");
  }
  return answered || !units.empty();
}

}  // namespace sim
