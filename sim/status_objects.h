#pragma once
// What a unit shows on the program's status sheet beyond its catalogue values: the MIB-II TCP
// connection table with a row in every TCP state (and one the program cannot name), statistics
// counters that grow between reads, and a firmware fault whose connection-table walk loops.
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "sim/device_model.h"

namespace sim {

// tcpConnState, the column the program walks.
extern const Oid kTcpConnState;

// The connection rows (when `status.tcpConnections`); the data file's own win.
void addStatusObjects(DeviceModel& d);
// Marks the statistics counters E.4.2.0 to E.4.8.0 as moving (when `status.countersMove`).
void addMovingCounters(DeviceModel& d);
// The value of a moving counter at this read (counts the read).
Value movingCounter(const MibEntry& e);
// A unit whose walk loops answers a GETNEXT inside tcpConnState with the table's first row
// again; null when the unit answers normally.
const std::pair<const Oid, MibEntry>* loopingNext(const DeviceModel& d, const Oid& asked);

// The data file's "status" object and a port's "pjl" and "raw_port" keys; false with the
// message in `error` (the caller adds where).
bool parseStatusSettings(const nlohmann::json& j, StatusSettings& out, std::string& error);
bool parsePortPjl(const nlohmann::json& port, Port& out, std::string& error);

}  // namespace sim
