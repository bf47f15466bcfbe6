#pragma once
// The TCP/IP search shape over IPX (protocol 9): broadcast rounds with the seen list on a
// network, and listed devices (network-node) asked one by one. No second-family probe.
#include <cstdint>
#include <memory>
#include <string_view>

#include "devices/discovery.h"

namespace devices {

class CIpxSearchDiscovery : public CDiscovery {
 public:
  explicit CIpxSearchDiscovery(platform::MessageTarget* owner = nullptr,
                               std::unique_ptr<snmpaccess::ProgressWindow> progress = nullptr);
  ~CIpxSearchDiscovery() override;

  // Broadcast rounds on `network` (0xFFFFFFFF: every network); each new responder of a known
  // family becomes a CIpxDevice that is then queried directly. 0, 2 stopped, -1 no socket.
  int broadcastSearch(std::uint32_t network, bool extraColumns);
  // "network-node": asked once, posted even when silent. The query's result.
  int deviceSearch(std::string_view address, bool extraColumns);

 protected:
  int runSearch(const SearchRequest& request, bool extraColumns) override;
  // Only the per-port columns are read over IPX.
  bool wantsExtraColumns(const SearchRequest& request, bool onWorker) const override;
};

}  // namespace devices
