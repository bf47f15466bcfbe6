#pragma once
// Plausible values for the private MIB catalogue's variables on one simulated unit: what a freshly
// configured print server of the lab would answer. Identity, addresses, communities, ports and
// protocols come from the unit itself, so that GET agrees with its discovery reply; counts give
// the number of table rows the catalogue walker creates.
#include <cstdint>
#include <string_view>

#include "access/mib_catalogue.h"
#include "sim/device_model.h"

namespace sim {

// One instance of a catalogue variable.
struct CatalogueInstance {
  std::string_view oid;  // the catalogue's OID text (relative, or absolute for the sibling branch)
  mib::Syntax syntax = mib::Syntax::Integer;
  const mib::Enumeration* enumeration = nullptr;
  std::string_view meaning;
  std::uint32_t n = 0;       // row or entry number (1-based); 0 for a scalar
  std::uint32_t column = 0;  // port column (".c.n") or event column (".c.p"); 0 for none
};

// Trap destination slots of each kind a unit has, and how many of them hold an address.
inline constexpr std::int32_t kTcpTrapSlots = 4;
inline constexpr std::int32_t kTcpTrapsUsed = 2;
inline constexpr std::int32_t kEmailTrapSlots = 2;
inline constexpr std::int32_t kEmailTrapsUsed = 1;

// The value of an instance on unit `d`.
Value plausibleValue(const DeviceModel& d, const CatalogueInstance& v);

// The protocol name the unit reports for a protocol id ("TCP/IP", "NetWare", ...).
std::string protocolName(std::int32_t id);

}  // namespace sim
