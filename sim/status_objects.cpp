#include "sim/status_objects.h"

#include <nlohmann/json.hpp>

namespace sim {

const Oid kTcpConnState{1, 3, 6, 1, 2, 1, 6, 13, 1, 1};

namespace {

struct ConnectionRow {
  std::uint32_t localPort;
  std::uint32_t remote[4];
  std::uint32_t remotePort;
  std::int32_t state;
};

// One row per TCP state 1-11 and one state the program has no name for, on ports the status
// page names (FTP, Telnet, SMTP, HTTP, POP3, LPD, IPP, raw) and two it does not (9113, 8080).
constexpr ConnectionRow kRows[] = {
    {21, {0, 0, 0, 0}, 0, 2},           {23, {127, 0, 0, 1}, 40023, 9},  {25, {127, 0, 0, 1}, 40025, 3},
    {80, {127, 0, 0, 1}, 40080, 4},     {110, {127, 0, 0, 1}, 40110, 6}, {515, {127, 0, 0, 1}, 40515, 7},
    {631, {127, 0, 0, 1}, 40631, 8},    {8080, {127, 0, 0, 1}, 48080, 12}, {9100, {127, 0, 0, 1}, 49100, 5},
    {9101, {127, 0, 0, 1}, 49101, 10},  {9112, {127, 0, 0, 1}, 49112, 11}, {9113, {127, 0, 0, 1}, 49113, 1},
};

bool under(const Oid& oid, const Oid& prefix) {
  return oid.size() > prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

}  // namespace

void addStatusObjects(DeviceModel& d) {
  if (!d.status.tcpConnections) return;
  const std::uint32_t a = d.address;
  for (const ConnectionRow& r : kRows) {
    Oid oid = kTcpConnState;
    for (std::uint32_t b : {a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF}) oid.push_back(b);
    oid.push_back(r.localPort);
    for (std::uint32_t b : r.remote) oid.push_back(b);
    oid.push_back(r.remotePort);
    d.store.defineIfAbsent(oid, Value::integer(r.state), false);
  }
}

void addMovingCounters(DeviceModel& d) {
  if (!d.status.countersMove) return;
  // Receive and transmit totals grow fastest, the error counters now and then.
  static constexpr std::pair<std::uint32_t, std::int32_t> kSteps[] = {{2, 17}, {3, 11}, {4, 1}, {5, 1}, {7, 2}};
  for (const auto& [column, step] : kSteps) {
    Oid oid = d.enterprise;
    for (std::uint32_t s : {4u, column, 0u}) oid.push_back(s);
    if (MibEntry* e = d.store.find(oid); e && e->value.syntax == Syntax::Integer) e->step = step;
  }
}

Value movingCounter(const MibEntry& e) {
  const std::int64_t v = e.value.number + std::int64_t(e.step) * std::int64_t(++e.reads);
  return Value::integer(static_cast<std::int32_t>(v & 0x7FFFFFFF));
}

const std::pair<const Oid, MibEntry>* loopingNext(const DeviceModel& d, const Oid& asked) {
  if (!d.status.walkLoops || !under(asked, kTcpConnState)) return nullptr;
  const auto* first = d.store.next(kTcpConnState);
  return first && under(first->first, kTcpConnState) ? first : nullptr;
}

bool parseStatusSettings(const nlohmann::json& j, StatusSettings& out, std::string& error) {
  if (!j.is_object()) return error = "must be an object", false;
  for (auto it = j.begin(); it != j.end(); ++it) {
    bool* target = it.key() == "tcp_connections" ? &out.tcpConnections
                   : it.key() == "walk_loops"    ? &out.walkLoops
                   : it.key() == "counters_move" ? &out.countersMove
                                                 : nullptr;
    if (!target) return error = "unknown key '" + it.key().substr(0, 64) + "'", false;
    if (!it->is_boolean()) return error = it.key() + ": must be true or false", false;
    *target = it->get<bool>();
  }
  return true;
}

bool parsePortPjl(const nlohmann::json& port, Port& out, std::string& error) {
  if (auto it = port.find("pjl"); it != port.end()) {
    static constexpr std::pair<const char*, PjlMode> kModes[] = {
        {"printer", PjlMode::Printer}, {"silent", PjlMode::Silent}, {"slow", PjlMode::Slow},
        {"trickle", PjlMode::Trickle}, {"close", PjlMode::Close},   {"none", PjlMode::None}};
    bool known = false;
    for (const auto& [name, mode] : kModes)
      if (it->is_string() && it->get<std::string>() == name) {
        out.pjl = mode;
        known = true;
      }
    if (!known) return error = "pjl: must be printer, silent, slow, trickle, close or none", false;
  }
  if (auto it = port.find("raw_port"); it != port.end()) {
    if (!it->is_number_integer() || it->get<std::int64_t>() < 1 || it->get<std::int64_t>() > 65535)
      return error = "raw_port: must be between 1 and 65535", false;
    out.rawPort = static_cast<std::uint16_t>(it->get<std::int64_t>());
  }
  return true;
}

}  // namespace sim
