// The probe's view of a Linux workstation.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "netware/fnk_binding.h"
#include "platform/dynamic_library.h"
#include "platform/net_config.h"
#include "platform/socket_address.h"
#include "platform/socket_handle.h"
#include "tools/net_probe_hooks.h"

namespace {

std::string field(const char* text, std::size_t capacity) {
  return std::string(text, ::strnlen(text, capacity));
}

std::string operatingSystemText() {
  struct utsname u;
  if (::uname(&u) != 0) return {};
  return field(u.sysname, sizeof u.sysname) + " " + field(u.release, sizeof u.release) + " (" +
         field(u.machine, sizeof u.machine) + ")";
}

bool canOpenSocket(int type) {
  platform::SocketHandle s(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
  return s.valid();
}

std::string localHostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string resolveWithSystem(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* result = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || !result) return {};
  std::string text;
  for (const addrinfo* ai = result; ai; ai = ai->ai_next) {
    if (ai->ai_family != AF_INET || ai->ai_addrlen < sizeof(sockaddr_in)) continue;
    const auto* in = reinterpret_cast<const sockaddr_in*>(ai->ai_addr);
    text = platform::formatIpv4(ntohl(in->sin_addr.s_addr));
    break;
  }
  ::freeaddrinfo(result);
  return text;
}

std::string resolveHost(const std::string& name) {
  // getaddrinfo may ask a name server; with the loopback guard on nothing may leave this host,
  // so only the hosts file answers then.
  if (platform::netConfig().loopbackOnly) return resolveIPv4FromHostsFile("/etc/hosts", name);
  return resolveWithSystem(name);
}

// The IPX layer is a UDP socket; "bound to the null IPX address" is bound to an ephemeral port.
int ipxLayerAdapterCount() {
  platform::SocketHandle s(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!s.valid()) return -1;
  sockaddr_in any{};
  platform::SocketAddress{platform::kAnyAddress, platform::ipxSocketToUdpPort(0)}.toSockaddr(any);
  if (::bind(s.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) return -1;
  return 1;
}

// The one adapter of IPX over UDP: the configured network number, node 00 00 + the IPv4 address.
bool ipxLayerAdapterAddress(int adapter, const std::string& hostAddress, IpxAdapterAddress& out) {
  if (adapter != 0) return false;
  const auto ip = platform::parseIpv4(hostAddress);
  if (!ip) return false;
  const std::uint32_t network = platform::netConfig().ipxLocalNetwork;
  for (int i = 0; i < 4; ++i) {
    out.network[i] = static_cast<std::uint8_t>(network >> (24 - 8 * i));
    out.node[2 + i] = static_cast<std::uint8_t>(*ip >> (24 - 8 * i));
  }
  out.node[0] = out.node[1] = 0;
  return true;
}

// Run-time libraries stay loaded for the life of the process, as their users expect.
bool loads(platform::DynamicLibrary& library, const std::string& path) {
  if (path.empty() || !library.open(path)) return false;
  library.keepLoaded();
  return true;
}

// The NetWare client is there when the binding loads the adapter and the client starts (exactly 1).
bool netwareClientPresent() { return netware::FnkLoad() == 1; }

bool vinesLibraryPresent() {
  platform::DynamicLibrary vines;
  return loads(vines, platform::besideProgram("libvnsapi32.so")) || loads(vines, "libvnsapi32.so");
}

}  // namespace

NetProbeHooks systemNetProbeHooks() {
  NetProbeHooks h;
  h.operatingSystem = operatingSystemText;
  h.udpAvailable = [] { return canOpenSocket(SOCK_DGRAM); };
  h.tcpAvailable = [] { return canOpenSocket(SOCK_STREAM); };
  h.hostName = localHostName;
  h.resolveIPv4 = resolveHost;
  h.ipxAdapterCount = ipxLayerAdapterCount;
  h.ipxAdapterAddress = ipxLayerAdapterAddress;
  h.netwareClientInit = netwareClientPresent;
  h.vinesLibraryLoads = vinesLibraryPresent;
  h.snmpStartup = SnmpStartup;
  h.snmpSetTranslateMode = SnmpSetTranslateMode;
  h.snmpCleanup = SnmpCleanup;
  return h;
}

std::string resolveIPv4FromHostsFile(const std::string& path, const std::string& name) {
  constexpr int kMaxLines = 10000;
  constexpr std::size_t kMaxLine = 4096;
  std::ifstream in(path);
  if (!in || name.empty()) return {};
  std::string line;
  for (int n = 0; n < kMaxLines && std::getline(in, line); ++n) {
    if (line.size() > kMaxLine) continue;
    if (const auto hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string address;
    if (!(words >> address)) continue;
    in_addr parsed{};
    if (::inet_pton(AF_INET, address.c_str(), &parsed) != 1) continue;
    for (std::string alias; words >> alias;) {
      if (alias.size() == name.size() && ::strncasecmp(alias.c_str(), name.c_str(), name.size()) == 0)
        return platform::formatIpv4(ntohl(parsed.s_addr));
    }
  }
  return {};
}
