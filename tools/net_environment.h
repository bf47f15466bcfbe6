#pragma once
// The workstation's network environment, found once at start-up: which protocols it can use,
// its host name and addresses, its IPX adapters, and whether the NetWare and VINES clients are
// there. The protocol flags decide later which views may open and what the wizard offers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/net_probe_hooks.h"

class CNetEnvironment {
 public:
  // Protocol flags.
  static constexpr std::uint32_t kUdp = 0x0001;
  static constexpr std::uint32_t kTcp = 0x0002;
  static constexpr std::uint32_t kIpx = 0x0010;
  static constexpr std::uint32_t kSpxStream = 0x0020;     // never set here: Linux has no SPX
  static constexpr std::uint32_t kSpxSeqPacket = 0x0040;  // never set here
  static constexpr std::uint32_t kNetWareClient = 0x0100;
  static constexpr std::uint32_t kVinesClient = 0x0200;
  static constexpr std::uint32_t kSerial = 0x8000;

  // probe() results other than the flags. The socket-layer ones (1, -1, 666) belong to the
  // Windows Sockets start-up and protocol enumeration, which Linux does not have: they are
  // kept for the meaning of the codes, the probe here never returns them.
  static constexpr int kSocketsFailed = 1;
  static constexpr int kSnmpFailed = 2;
  static constexpr int kProtocolsUnreadable = -1;
  static constexpr int kOutOfMemory = 666;

  static constexpr std::size_t kHostNameMax = 50;
  static constexpr int kMaxIpxAdapters = 16;

  // The socket layer's description (the "Winsock:" field).
  static constexpr const char* kSocketLayerDescription = "POSIX sockets (UDP, TCP; IPX over UDP)";

  CNetEnvironment();  // with the system's hooks
  explicit CNetEnvironment(NetProbeHooks hooks);
  CNetEnvironment(const CNetEnvironment&) = delete;
  CNetEnvironment& operator=(const CNetEnvironment&) = delete;

  // Runs the start-up probe: the flags on success, else kSnmpFailed (already reported through
  // ReportError). The flags and texts gathered up to a failure stay in the record.
  int probe();
  // Whether a probe() result is the flags: they always hold the serial bit, no failure code does.
  static constexpr bool probeSucceeded(int result) { return result > 0 && (result & kSerial) != 0; }
  std::uint32_t flags() const { return flags_; }
  // Ends the SNMP engine that probe() started (SnmpCleanup); later calls do nothing. Not done by
  // the destructor: the process-wide record outlives the engine's own statics.
  void close();

  const std::string& hostName() const { return hostName_; }
  const std::string& hostAddress() const { return hostAddress_; }
  const std::string& winsockDescription() const { return winsockDescription_; }
  const std::string& hardwareAddresses() const { return hardwareAddresses_; }
  const std::string& ipxNetworks() const { return ipxNetworks_; }
  // "SYSNAME RELEASE (MACHINE)" from uname, e.g. "Linux 6.1.0-18-amd64 (x86_64)".
  const std::string& operatingSystem() const { return operatingSystem_; }

 private:
  void clear();
  void probeIpxAdapters();

  NetProbeHooks hooks_;
  std::uint32_t flags_ = 0;
  std::string hostName_;
  std::string hostAddress_;
  std::string winsockDescription_;
  std::string hardwareAddresses_;
  std::string ipxNetworks_;
  std::string operatingSystem_;
  bool snmpStarted_ = false;
};

// The record of this process, probed once by the start-up sequence.
CNetEnvironment& netEnvironment();
