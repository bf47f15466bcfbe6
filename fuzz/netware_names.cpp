// Feeds arbitrary bytes to the decoders of what a file server returns: bindery names from fixed
// fields, set-property segments, NET_ADDRESS values, the FILESERV, ROUTING and QUEUE records of
// a print server's files, and SAP replies (exact-size heap copy, so ASan sees any overread).
// Every decoded name fits a bindery name and contains no NUL; records round-trip.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "netware/bindery_name.h"
#include "netware/netware_discovery.h"
#include "netware/nw_records.h"

namespace {
void checkName(const std::string& name) {
  if (name.size() > 47 || name.find('\0') != std::string::npos) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size]);
  if (size) std::memcpy(copy.get(), data, size);
  const std::uint8_t* bytes = copy.get();

  checkName(netware::nameFromField(bytes, size));
  const auto members = netware::setMembersFromSegment(bytes, size);
  if (members.size() > 32) std::abort();
  for (auto id : members)
    if (id == 0) std::abort();
  if (auto address = netware::netAddressFromValue(bytes, size); address && size < 12) std::abort();

  const std::string file(reinterpret_cast<const char*>(bytes), size);
  for (const auto& n : netware::fileServNames(file)) checkName(n);
  for (const auto& n : netware::queueNames(file)) checkName(n);
  for (const auto& r : netware::routingRecords(file)) {
    checkName(r.fileServer);
    checkName(r.queue);
    if (r.port < 0 || r.port > 0xFFFF) std::abort();
    // A decoded record written again decodes to the same values.
    const auto again = netware::routingRecords(netware::routingRecord(r));
    if (again.size() != 1 || again[0].fileServer != r.fileServer || again[0].queue != r.queue || again[0].port != r.port)
      std::abort();
  }
  for (const auto& a : netware::sapReplyAddresses(bytes, size))
    if (a.size() != 21 || a[8] != '-') std::abort();
  return 0;
}
