#include "devices/discovery_ipx.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "devices/device_column.h"
#include "devices/discovery_entry.h"
#include "devices/discovery_socket.h"
#include "platform/report_error.h"

namespace devices {
namespace {

constexpr int kMaxSendFailures = 20;
constexpr int kMaxDrain = 4096;

std::string replyFamily(const std::uint8_t* data, std::size_t length) {
  constexpr std::size_t kAt = 49, kField = 5;
  if (length < kAt + kField) return {};
  const char* f = reinterpret_cast<const char*>(data + kAt);
  std::size_t n = 0;
  while (n < kField && f[n] != '\0') ++n;
  return std::string(f, n);
}

}  // namespace

CIpxSearchDiscovery::CIpxSearchDiscovery(platform::MessageTarget* owner,
                                         std::unique_ptr<snmpaccess::ProgressWindow> progress)
    : CDiscovery(kProtocolIpx, owner, std::move(progress)) {}

CIpxSearchDiscovery::~CIpxSearchDiscovery() { stopAndWait(); }

bool CIpxSearchDiscovery::wantsExtraColumns(const SearchRequest& request, bool) const {
  return showsPortColumn(request.columnBits);
}

int CIpxSearchDiscovery::broadcastSearch(std::uint32_t network, bool extraColumns) {
  const DiscoverySettings s = settings();
  // Responders found by this step, queried after the socket is closed.
  std::vector<snmp::ipx::Address> responders;
  int result = 0;
  {
    DiscoverySocket socket(DiscoverySocket::Family::Ipx);
    if (!socket.open(&progress())) return -1;
    snmp::ipx::Address to;
    for (int i = 0; i < 4; ++i) to.network[i] = static_cast<std::uint8_t>(network >> (24 - 8 * i));
    std::memset(to.node, 0xFF, 6);
    to.socket = s.ipxDiscoverySocket;
    std::vector<std::uint32_t> seen;
    std::unordered_set<std::uint32_t> taken;
    bool round = true;
    while (round && result == 0) {
      round = false;
      const std::vector<std::uint8_t> request = buildDiscoveryRequest(seen);
      int failures = 0;
      while (socket.sendIpx(to, request.data(), request.size()) != 0)
        if (++failures >= kMaxSendFailures) break;
      if (failures >= kMaxSendFailures) {
        platform::ReportError(kErrSendDiscovery, platform::kErrorProgram);
        break;
      }
      if (seen.size() >= kMaxSeenResponders) seen.clear();
      bool another = false;
      for (;;) {
        std::uint8_t buffer[kMaxReplySize];
        DiscoverySocket::Datagram dg;
        for (int i = 0; i < kMaxDrain && socket.receive(buffer, sizeof buffer, dg); ++i) {
          if (dg.truncated || dg.length < 3 || std::memcmp(buffer, kReplyMagic, 3) != 0) continue;
          std::uint32_t id = 0;
          if (!replyResponderId(buffer, dg.length, id)) continue;
          if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
          const bool isNew = taken.insert(id).second;
          if (isNew && isKnownFamily(replyFamily(buffer, dg.length), s.oemFamilies)) responders.push_back(dg.ipxSender);
          if (seen.size() < kMaxSeenResponders) {
            seen.push_back(id);
            if (isNew) another = true;
          }
        }
        if (stopRequested()) {
          result = 2;
          break;
        }
        const WaitOutcome w = socket.wait(s.broadcastTimeoutMs);
        if (w == WaitOutcome::Stopped || stopRequested()) {
          result = 2;
          break;
        }
        if (w == WaitOutcome::TimedOut) {
          round = another;
          break;
        }
      }
    }
  }
  for (const snmp::ipx::Address& a : responders) {
    if (stopRequested()) return 2;
    auto device = std::make_unique<CIpxDevice>();
    prepare(*device, extraColumns);
    std::array<std::uint8_t, 4> net;
    std::array<std::uint8_t, 6> node;
    std::memcpy(net.data(), a.network, 4);
    std::memcpy(node.data(), a.node, 6);
    device->setIpxAddress(net, node);
    const int r = device->query();
    if (r == 2) return 2;
    if (r == 0) post(std::move(device));
  }
  return result;
}

int CIpxSearchDiscovery::deviceSearch(std::string_view address, bool extraColumns) {
  auto device = std::make_unique<CIpxDevice>();
  if (!device->setIpxAddress(address)) return -1;
  prepare(*device, extraColumns);
  const int result = device->query();
  post(std::move(device));
  return result;
}

int CIpxSearchDiscovery::runSearch(const SearchRequest& request, bool extraColumns) {
  postText(kTextSearchingLocal);
  if (request.localSearch) {
    if (broadcastSearch(0xFFFFFFFF, extraColumns) == 2) return 2;
  }
  if (stopRequested()) return 2;
  if (!request.listSearch) return 0;
  postText(kTextSearchingSpecific);
  for (const std::string& entry : request.entries) {
    if (stopRequested()) return 2;
    if (entry.find('>') != std::string::npos) {
      // Entries shorter than 8 characters name a network with fewer digits.
      const auto network = ipxEntryNetwork(entry);
      if (!network) continue;
      const int r = broadcastSearch(*network, extraColumns);
      if (r == 2 || r == -1) return r == 2 ? 2 : 0;
    } else if (deviceSearch(entry, extraColumns) == 2) {
      return 2;
    }
  }
  return stopRequested() ? 2 : 0;
}

}  // namespace devices
