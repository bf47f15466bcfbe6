#pragma once
// The search of a NetWare view: print servers in the bindery of the default file server, else
// those answering a Service Advertising Protocol query over IPX, then the view's own entries by
// serial number or by network.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/discovery.h"
#include "netware/fnk_binding.h"

namespace netware {

inline constexpr const char* kTextSapSocketError = "Error creating IPX communications for SAP discovery.";
inline constexpr const char* kTextSapSendError = "Error sending SAP discovery request.";

// The SAP service types print servers advertise.
inline constexpr std::uint16_t kSapService0363 = 0x0363;
inline constexpr std::uint16_t kSapService0927 = 0x0927;
inline constexpr std::uint16_t kSapSocket = 0x0452;
inline constexpr std::size_t kSapEntrySize = 64;

// "NETWORK-NODE" texts of the print-server entries of one SAP reply, in order.
std::vector<std::string> sapReplyAddresses(const std::uint8_t* data, std::size_t size);

class CIpxDiscovery final : public devices::CDiscovery {
 public:
  CIpxDiscovery(const CFennick& client, platform::MessageTarget* owner = nullptr,
                std::unique_ptr<snmpaccess::ProgressWindow> progress = nullptr);
  ~CIpxDiscovery() override;

  // The IPX socket SAP queries go to (0x0452; tests use one of their own).
  void setSapSocket(std::uint16_t socket) { sapSocket_ = socket; }
  // How SAP failures reach the user (default: standard error).
  std::function<void(const std::string&)> showMessage;
  // SAP queries sent by the last search (a bindery that lists print servers sends none).
  int sapQueriesSent() const { return sapQueriesSent_.load(); }

 protected:
  int runSearch(const devices::SearchRequest& request, bool extraColumns) override;

 private:
  int localSearch(bool extraColumns);
  int sapSearch(bool extraColumns);
  int listSearch(const devices::SearchRequest& request, bool extraColumns);
  // Creates, queries and posts one device; the query's result.
  int postDevice(std::unique_ptr<devices::CNetWareDevice> device, bool extraColumns);
  void message(const std::string& text) const;

  const CFennick& fnk_;
  std::uint16_t sapSocket_ = kSapSocket;
  std::atomic<int> sapQueriesSent_{0};
};

}  // namespace netware
