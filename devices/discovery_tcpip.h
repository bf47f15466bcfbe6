#pragma once
// Discovery over UDP/IP: local and directed broadcast, multicast, subnet scan, single addresses,
// address files, and the second-family probe that follows every broadcast.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "devices/discovery.h"

namespace devices {

class CTcpIpDiscovery : public CDiscovery {
 public:
  explicit CTcpIpDiscovery(platform::MessageTarget* owner = nullptr,
                           std::unique_ptr<snmpaccess::ProgressWindow> progress = nullptr);
  ~CTcpIpDiscovery() override;

  int findOrAdd(std::string_view text) override;

  // The search steps (worker thread, or searchNow). Each returns 0, 2 when stopped, or -1 when
  // its socket could not be set up.
  // To `destination` (host order; 255.255.255.255 goes where TRELLAN_BROADCAST_ADDR says), with a
  // multicast time-to-live when ttl >= 0. Runs the second-family probe afterwards.
  int broadcastSearch(std::uint32_t destination, int ttl, bool extraColumns);
  // prefix + 1 ... prefix + 255, in batches of five. A socket failure gives 2 (the search stops).
  int subnetScan(std::string_view prefix, bool extraColumns);
  // One address; posted when it answers or when `keep` is set (then it shows "No Response").
  int singleAddressSearch(std::string_view address, bool keep, bool extraColumns);
  // Every address of the file, each with keep set. 0, or 2 when stopped.
  int addressFileSearch(const std::string& path, bool extraColumns);
  // The 88-byte probe on the second-family port; each 72- or 166-byte reply becomes a device.
  int secondFamilyProbe(bool extraColumns);

 protected:
  int runSearch(const SearchRequest& request, bool extraColumns) override;

 private:
  class ReplyTaker;
};

}  // namespace devices
