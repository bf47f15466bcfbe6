#pragma once
// Everything the network probe asks of the system, as replaceable functions, so that tests can
// stand in for any part of it (no IPX, an SNMP engine that will not start, ...).
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "snmp/winsnmp.h"

// One IPX adapter as the IPX layer reports it.
struct IpxAdapterAddress {
  std::array<std::uint8_t, 4> network{};
  std::array<std::uint8_t, 6> node{};
};

struct NetProbeHooks {
  // Operating-system text, "" when unknown.
  std::function<std::string()> operatingSystem;
  // Whether a socket of the kind can be opened.
  std::function<bool()> udpAvailable;
  std::function<bool()> tcpAvailable;
  // The host name (may be longer than the record keeps), "" when unavailable.
  std::function<std::string()> hostName;
  // The first IPv4 address of a host name in dotted form, "" when it does not resolve.
  std::function<std::string(const std::string& name)> resolveIPv4;
  // Opens the IPX layer and returns its adapter count, or -1 when it cannot be opened.
  std::function<int()> ipxAdapterCount;
  // The address of one adapter; false when the query fails. `hostAddress` is the record's
  // host address, from which the IPX-over-UDP layer makes its node address.
  std::function<bool(int adapter, const std::string& hostAddress, IpxAdapterAddress& out)> ipxAdapterAddress;
  // The NetWare client binding loaded and initialised.
  std::function<bool()> netwareClientInit;
  // The VINES client library loaded.
  std::function<bool()> vinesLibraryLoads;
  // The SNMP engine.
  std::function<SNMPAPI_STATUS(smiLPUINT32, smiLPUINT32, smiLPUINT32, smiLPUINT32, smiLPUINT32)> snmpStartup;
  std::function<SNMPAPI_STATUS(smiUINT32)> snmpSetTranslateMode;
  std::function<SNMPAPI_STATUS()> snmpCleanup;
};

// The real ones: uname, POSIX sockets, the local resolver, the IPX-over-UDP layer, libfennick.so
// and libvnsapi32.so beside the program, and the SNMP engine.
NetProbeHooks systemNetProbeHooks();

// The first IPv4 address of `name` in a hosts file ("/etc/hosts" format), "" when absent.
// Used instead of the full resolver while TRELLAN_LOOPBACK_ONLY is on, so that a probe under
// test never sends a DNS query.
std::string resolveIPv4FromHostsFile(const std::string& path, const std::string& name);
