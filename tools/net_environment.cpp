#include "tools/net_environment.h"

#include <cstdio>
#include <utility>

#include "platform/report_error.h"
#include "platform/socket_address.h"

namespace {

constexpr std::uint32_t kCannotInitSnmp = 5021;
constexpr std::uint32_t kSnmpVersionUnsupported = 5022;
constexpr std::uint32_t kCannotSetTranslateMode = 5023;

template <typename F, typename... A>
bool callFlag(const F& hook, A&&... args) {
  return hook && hook(std::forward<A>(args)...);
}

void appendNetworkEntry(std::string& out, const IpxAdapterAddress& a, int number) {
  char text[32];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X (%i)", a.network[0], a.network[1], a.network[2], a.network[3],
                number);
  out += text;
}

void appendNodeEntry(std::string& out, const IpxAdapterAddress& a, int number) {
  char text[40];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X (%i)", a.node[0], a.node[1], a.node[2], a.node[3],
                a.node[4], a.node[5], number);
  out += text;
}

}  // namespace

CNetEnvironment::CNetEnvironment() : CNetEnvironment(systemNetProbeHooks()) {}

CNetEnvironment::CNetEnvironment(NetProbeHooks hooks) : hooks_(std::move(hooks)) {}

void CNetEnvironment::clear() {
  flags_ = 0;
  hostName_.clear();
  hostAddress_.clear();
  winsockDescription_.clear();
  hardwareAddresses_.clear();
  ipxNetworks_.clear();
  operatingSystem_.clear();
}

int CNetEnvironment::probe() {
  clear();

  if (hooks_.operatingSystem) operatingSystem_ = hooks_.operatingSystem();

  // The serial search finds nothing on a machine without ports, so the flag is simply on.
  flags_ |= kSerial;

  // There is no socket-layer start-up to fail here; what the protocol list told on Windows,
  // opening a socket of each kind tells here. IPX rides on UDP, so it is there with UDP.
  if (callFlag(hooks_.udpAvailable)) flags_ |= kUdp | kIpx;
  if (callFlag(hooks_.tcpAvailable)) flags_ |= kTcp;

  if ((flags_ & kUdp) && hooks_.hostName) {
    const std::string name = hooks_.hostName();
    hostName_ = name.substr(0, kHostNameMax);
    // The full name resolves; only the record keeps it short.
    if (!name.empty() && hooks_.resolveIPv4) {
      std::string address = hooks_.resolveIPv4(name);
      if (platform::parseIpv4(address)) hostAddress_ = std::move(address);
    }
  }

  winsockDescription_ = kSocketLayerDescription;

  if (flags_ & kIpx) probeIpxAdapters();

  if (callFlag(hooks_.netwareClientInit)) flags_ |= kNetWareClient;
  if (callFlag(hooks_.vinesLibraryLoads)) flags_ |= kVinesClient;

  smiUINT32 major = 0, minor = 0, level = 0, translate = 0, retransmit = 0;
  if (!hooks_.snmpStartup || hooks_.snmpStartup(&major, &minor, &level, &translate, &retransmit) == SNMPAPI_FAILURE) {
    platform::ReportError(kCannotInitSnmp, platform::kErrorSnmp);
    return kSnmpFailed;
  }
  snmpStarted_ = true;
  if (major == 0 || (major == 1 && minor == 0)) {
    platform::ReportError(kSnmpVersionUnsupported, platform::kErrorSnmp);
    return kSnmpFailed;
  }
  if (!hooks_.snmpSetTranslateMode || hooks_.snmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1) == SNMPAPI_FAILURE) {
    platform::ReportError(kCannotSetTranslateMode, platform::kErrorSnmp);
    return kSnmpFailed;
  }
  return static_cast<int>(flags_);
}

void CNetEnvironment::probeIpxAdapters() {
  // A layer that cannot be opened leaves both texts empty, without a message.
  if (!hooks_.ipxAdapterCount || !hooks_.ipxAdapterAddress) return;
  int count = hooks_.ipxAdapterCount();
  if (count <= 0) return;
  if (count > kMaxIpxAdapters) count = kMaxIpxAdapters;
  // Highest adapter first; entries are numbered in the order they are appended, and an adapter
  // that does not answer gets no number.
  int number = 1;
  for (int adapter = count - 1; adapter >= 0; --adapter) {
    IpxAdapterAddress address;
    if (!hooks_.ipxAdapterAddress(adapter, hostAddress_, address)) continue;
    appendNetworkEntry(ipxNetworks_, address, number);
    appendNodeEntry(hardwareAddresses_, address, number);
    ++number;
  }
}

void CNetEnvironment::close() {
  if (!snmpStarted_) return;
  snmpStarted_ = false;
  if (hooks_.snmpCleanup) hooks_.snmpCleanup();
}

CNetEnvironment& netEnvironment() {
  static CNetEnvironment environment;
  return environment;
}
