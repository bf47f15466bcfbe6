#pragma once
// The SNMP reads behind a discovery reply, over the access layer: each port's printer state and
// console from the Printer MIB, the list columns the reply lacks from the private MIB, and the
// second family's own text-command exchanges. The program installs them once at start-up with
// installMibDeviceReads; the device query then calls them through DeviceSnmpReads.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devices/device_snmp_reads.h"

namespace devices {

// What the reads take from the settings, as plain values (the reads never open the store).
struct MibReadSettings {
  std::uint32_t getTimeout = 500;  // Timeouts\GetTimeout, hundredths of a second per transmission
  // The product families besides "KDV" with their enterprise prefixes, in table order (the first
  // entry with a code wins).
  std::vector<std::pair<std::string, std::string>> families;
  // The GET community for a device that reported none: (address family code, address) -> text.
  // Empty function: such a device is not asked.
  std::function<std::string(std::uint16_t, std::string_view)> fallbackCommunity;
  // Starts the SNMP engine at the first read when nothing else has (the command line); the
  // program starts it at start-up and leaves this off.
  bool startEngine = false;
  // Reply wait of one second-family exchange, in milliseconds.
  int secondFamilyReplyMs = 100;
  // Printer probes of one search step outstanding at once on their shared socket.
  std::size_t probesOutstanding = 128;
};

// The native enterprise prefix, used for "KDV" and for codes the table does not know.
inline constexpr const char* kNativePrefix = "1.3.6.1.4.1.1240.2.3.5";

class MibDeviceReads final : public DeviceSnmpReads {
 public:
  explicit MibDeviceReads(MibReadSettings settings);
  ~MibDeviceReads() override;

  bool probePrinterMib(CIpDevice& device) override;
  int readExtraColumns(CIpDevice& device) override;
  int readSecondFamily(CIpDevice& device) override;
  std::unique_ptr<PrinterProbeBatch> newProbeBatch() override;

  std::string enterprisePrefix(std::string_view family) const;
  // The GET community a device is asked with: its own, else the fallback; at most 32 bytes.
  // Empty: the device is not asked.
  std::string communityFor(const CIpDevice& device) const;
  const MibReadSettings& settings() const { return settings_; }

 private:
  bool engineReady();
  // 0 when the device's printer MIB may be asked, else the probe's result without asking.
  int probeStart(const CIpDevice& device);

  MibReadSettings settings_;
  std::mutex engineMutex_;
  bool startedEngine_ = false;
};

// Installs the process-wide reads with these settings (replacing earlier ones). Call before
// searches start; uninstall after they ended.
void installMibDeviceReads(const MibReadSettings& settings);
// Removes them; an engine they started is cleaned up.
void uninstallMibDeviceReads() noexcept;

}  // namespace devices
