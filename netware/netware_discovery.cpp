#include "netware/netware_discovery.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

#include "devices/discovery_socket.h"
#include "netware/bindery_name.h"
#include "netware/netware_device.h"

namespace netware {

namespace {
using Clock = std::chrono::steady_clock;
}

std::vector<std::string> sapReplyAddresses(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> out;
  // A reply: 16-bit response type, then whole 64-byte entries (service type, name 48, network
  // 4, node 6, socket 2, hops 2).
  if (size < 2) return out;
  for (std::size_t at = 2; at + kSapEntrySize <= size && at < 1024; at += kSapEntrySize) {
    const std::uint16_t type = static_cast<std::uint16_t>((data[at] << 8) | data[at + 1]);
    if (type != kSapService0363 && type != kSapService0927) continue;
    const std::uint8_t* net = data + at + 50;
    const std::uint8_t* node = data + at + 54;
    char text[32];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X%02X%02X%02X%02X", net[0], net[1], net[2], net[3],
                  node[0], node[1], node[2], node[3], node[4], node[5]);
    out.emplace_back(text);
  }
  return out;
}

CIpxDiscovery::CIpxDiscovery(const CFennick& client, platform::MessageTarget* owner,
                             std::unique_ptr<snmpaccess::ProgressWindow> progress)
    : CDiscovery(devices::kProtocolNetWare, owner, std::move(progress)), fnk_(client) {}

CIpxDiscovery::~CIpxDiscovery() { stopAndWait(); }

void CIpxDiscovery::message(const std::string& text) const {
  if (showMessage)
    showMessage(text);
  else
    std::fprintf(stderr, "%s\n", text.c_str());
}

int CIpxDiscovery::postDevice(std::unique_ptr<devices::CNetWareDevice> device, bool extraColumns) {
  prepare(*device, extraColumns);
  const int result = device->query();
  post(std::move(device));
  return result;
}

int CIpxDiscovery::runSearch(const devices::SearchRequest& request, bool extraColumns) {
  sapQueriesSent_.store(0);
  if (request.localSearch && localSearch(extraColumns) == 2) return 2;
  if (request.listSearch && listSearch(request, extraColumns) == 2) return 2;
  return stopRequested() ? 2 : 0;
}

int CIpxDiscovery::localSearch(bool extraColumns) {
  postText(devices::kTextSearchingLocal);
  const auto oem = settings().oemFamilies;
  int found = 0;
  std::uint32_t conn = 0;
  if (fnk_.GetDefaultConnection(&conn) == 0) {
    // Each print-server type once.
    for (std::uint16_t type : {kTypeDevice0363, kTypeDevice0927}) {
      std::uint32_t id = kScanStart;
      char field[kBinderyNameField];
      for (int guard = 0; guard < 65536; ++guard) {
        if (stopRequested()) return 2;
        std::fill(std::begin(field), std::end(field), '\0');
        if (fnk_.ScanObject(conn, "*", type, &id, field) != 0) break;
        const std::string name = nameFromField(reinterpret_cast<const std::uint8_t*>(field), sizeof field);
        const std::string family = familyOfObjectName(name, oem);
        if (family.empty()) continue;
        auto device = std::make_unique<CNetWareBinderyDevice>(fnk_, oem);
        device->familyCode.assign(family);
        device->serialNumber.assign(name.substr(3));
        ++found;
        if (postDevice(std::move(device), extraColumns) == 2) return 2;
      }
    }
  }
  if (found > 0) return 0;
  return sapSearch(extraColumns);
}

int CIpxDiscovery::sapSearch(bool extraColumns) {
  devices::DiscoverySocket socket(devices::DiscoverySocket::Family::Ipx);
  if (!socket.open(&progress(), false)) {
    message(kTextSapSocketError);
    return 2;
  }
  snmp::ipx::Address to;
  std::fill(std::begin(to.network), std::end(to.network), 0xFF);
  std::fill(std::begin(to.node), std::end(to.node), 0xFF);
  to.socket = sapSocket_;
  std::vector<std::string> addresses;
  const int waitMs = settings().broadcastTimeoutMs;
  for (std::uint16_t queryType : {1, 3}) {
    for (std::uint16_t service : {kSapService0927, kSapService0927, kSapService0363}) {
      const std::uint8_t query[4] = {static_cast<std::uint8_t>(queryType >> 8), static_cast<std::uint8_t>(queryType),
                                     static_cast<std::uint8_t>(service >> 8), static_cast<std::uint8_t>(service)};
      if (socket.sendIpx(to, query, sizeof query) != 0) {
        message(kTextSapSendError);
        return 2;
      }
      ++sapQueriesSent_;
    }
    // One batch of replies: until the wait runs out, or a short quiet spell after the first.
    const auto end = Clock::now() + std::chrono::milliseconds(waitMs);
    bool any = false;
    for (int rounds = 0; rounds < 1000; ++rounds) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0) break;
      const auto outcome = socket.wait(static_cast<int>(any ? std::min<long long>(left, 300) : left));
      if (outcome == devices::WaitOutcome::Stopped) return 2;
      if (outcome == devices::WaitOutcome::TimedOut) {
        if (any) break;
        continue;
      }
      std::uint8_t buffer[1024];
      devices::DiscoverySocket::Datagram dg;
      while (socket.receive(buffer, sizeof buffer, dg)) {
        any = true;
        for (auto& a : sapReplyAddresses(buffer, std::min(dg.length, sizeof buffer)))
          if (std::find(addresses.begin(), addresses.end(), a) == addresses.end()) addresses.push_back(a);
      }
    }
  }
  socket.close();
  const auto oem = settings().oemFamilies;
  for (const std::string& a : addresses) {
    if (stopRequested()) return 2;
    auto device = std::make_unique<CNetWareBinderyDevice>(fnk_, oem);
    device->setIpxAddress(a);
    if (postDevice(std::move(device), extraColumns) == 2) return 2;
  }
  return 0;
}

int CIpxDiscovery::listSearch(const devices::SearchRequest& request, bool extraColumns) {
  postText(devices::kTextSearchingSpecific);
  const auto oem = settings().oemFamilies;
  for (const std::string& entry : request.entries) {
    if (stopRequested()) return 2;
    if (entry.find('>') == std::string::npos) {
      auto device = std::make_unique<CNetWareBinderyDevice>(fnk_, oem);
      device->serialNumber.assign(entry);
      if (postDevice(std::move(device), extraColumns) == 2) return 2;
      continue;
    }
    // The network is the entry's last eight characters (a shorter entry names none).
    if (entry.size() < 8) continue;
    std::string network = entry.substr(entry.size() - 8);
    for (char& c : network) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::uint32_t conn = 0;
    if (fnk_.GetDefaultConnection(&conn) != 0) continue;
    for (std::uint16_t type : {kTypeDevice0363, kTypeDevice0927}) {
      std::uint32_t id = kScanStart;
      char field[kBinderyNameField];
      for (int guard = 0; guard < 65536; ++guard) {
        if (stopRequested()) return 2;
        std::fill(std::begin(field), std::end(field), '\0');
        if (fnk_.ScanObject(conn, "*", type, &id, field) != 0) break;
        const std::string name = nameFromField(reinterpret_cast<const std::uint8_t*>(field), sizeof field);
        std::uint8_t value[kPropertySegment] = {};
        std::uint8_t more = 0, flags = 0;
        if (fnk_.ReadPropertyValue(conn, name.c_str(), type, "NET_ADDRESS", 1, value, &more, &flags) != 0) continue;
        const auto address = netAddressFromValue(value, sizeof value);
        if (!address || networkText(address->network) != network) continue;
        const std::string family = familyOfObjectName(name, oem);
        if (family.empty()) continue;
        auto device = std::make_unique<CNetWareBinderyDevice>(fnk_, oem);
        device->familyCode.assign(family);
        device->serialNumber.assign(name.substr(3));
        if (postDevice(std::move(device), extraColumns) == 2) return 2;
      }
    }
  }
  return 0;
}

}  // namespace netware
