#pragma once
// A workstation made of plain values for the network probe: every hook answers from a field
// that a test changes, and counts what the probe asked.
#include <map>
#include <string>

#include "tools/net_probe_hooks.h"

struct FakeWorkstation {
  std::string os = "TestOS 1.0 (test)";
  bool udp = true;
  bool tcp = true;
  std::string hostName = "printhost";
  std::map<std::string, std::string> hosts{{"printhost", "192.0.2.10"}};
  int ipxAdapters = 1;                          // -1: the IPX layer cannot be opened
  std::map<int, IpxAdapterAddress> ipxAddresses{// adapters not listed fail their query
                                                {0, {{0x00, 0x00, 0x00, 0x2A}, {0x00, 0x00, 0xC0, 0x00, 0x02, 0x0A}}}};
  bool netware = false;
  bool vines = false;
  SNMPAPI_STATUS startupResult = SNMPAPI_SUCCESS;
  smiUINT32 major = 1;
  smiUINT32 minor = 1;
  SNMPAPI_STATUS translateResult = SNMPAPI_SUCCESS;

  std::string resolvedName;    // the name the probe asked to resolve
  std::string ipxHostAddress;  // the host address handed to the adapter query
  int translateCalls = 0;
  int cleanupCalls = 0;

  NetProbeHooks hooks() {
    NetProbeHooks h;
    h.operatingSystem = [this] { return os; };
    h.udpAvailable = [this] { return udp; };
    h.tcpAvailable = [this] { return tcp; };
    h.hostName = [this] { return hostName; };
    h.resolveIPv4 = [this](const std::string& name) {
      resolvedName = name;
      auto it = hosts.find(name);
      return it == hosts.end() ? std::string() : it->second;
    };
    h.ipxAdapterCount = [this] { return ipxAdapters; };
    h.ipxAdapterAddress = [this](int adapter, const std::string& hostAddress, IpxAdapterAddress& out) {
      ipxHostAddress = hostAddress;
      auto it = ipxAddresses.find(adapter);
      if (it == ipxAddresses.end()) return false;
      out = it->second;
      return true;
    };
    h.netwareClientInit = [this] { return netware; };
    h.vinesLibraryLoads = [this] { return vines; };
    h.snmpStartup = [this](smiLPUINT32 ma, smiLPUINT32 mi, smiLPUINT32 level, smiLPUINT32 tr, smiLPUINT32 re) {
      if (startupResult == SNMPAPI_FAILURE) return startupResult;
      if (ma) *ma = major;
      if (mi) *mi = minor;
      if (level) *level = SNMPAPI_V1_SUPPORT;
      if (tr) *tr = SNMPAPI_UNTRANSLATED_V1;
      if (re) *re = SNMPAPI_OFF;
      return startupResult;
    };
    h.snmpSetTranslateMode = [this](smiUINT32) {
      ++translateCalls;
      return translateResult;
    };
    h.snmpCleanup = [this] {
      ++cleanupCalls;
      return SNMPAPI_SUCCESS;
    };
    return h;
  }
};
