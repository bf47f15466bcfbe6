#pragma once
// The run of a multi-unit configuration over the ticked rows: per unit the certificate (when one
// was chosen), the community check and the settings; then the reset pass. Units are served
// concurrently with a bounded number in flight; the outcome keeps the row order, so the results
// file is the one a run unit after unit would write.
#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "access/mib_catalogue.h"
#include "access/oid_text.h"
#include "access/snmp_session.h"
#include "multi/multi_config_log.h"
#include "multi/multi_config_settings.h"
#include "multi/unit_pool.h"

namespace multi {

inline constexpr int kBadCommunity = 3325;
inline constexpr int kNoSnmpSupport = 3326;

// One ticked row.
struct MultiUnit {
  bool present = true;  // the row has a print server
  std::string name;     // shown in the progress text
  std::string address;
  std::uint16_t family = snmpaccess::kFamilyIpv4;
  std::string getCommunity, setCommunity;  // from the device-access settings
  // What the unit reported at discovery; empty when not known (then not compared).
  std::string reportedGet, reportedSet;
  bool noSnmp = false;  // discovery reply of format 2
  int port = 0;         // 1-based when the list shows one row per printer port; 0 all ports
  std::string prefix{mib::kDefaultEnterprisePrefix};
};

struct MultiRunOptions {
  bool tcpipView = true;
  int inFlight = kDefaultInFlight;
  std::uint32_t getTimeout = 500;  // hundredths of a second per transmission
  std::uint32_t setTimeout = 500;
  std::string certificateFile;  // empty: none
  std::string password;         // the device password for the certificate
  std::uint16_t ftpPort = 0;
  bool resetPass = true;
  // "Setting NAME" per unit and pass, from the worker threads.
  std::function<void(std::size_t row, const std::string& text)> progress;
  const std::atomic<bool>* stop = nullptr;
};

struct MultiUnitOutcome {
  bool ran = false;
  bool certificateSent = false;
  int certificate = 0;
  int code = 0;
  bool reset = false;  // counted in the reset pass
};

struct MultiRunReport {
  std::vector<MultiUnitOutcome> units;  // row order
  int errors = 0;
  int resets = 0;
  bool stopped = false;
};

// Algorithm of one unit: device-wide bindings one SET each, then per-port bindings one SET each
// carrying every port (the port count read first when `port` is 0). noSuchName is passed over;
// the last other error is the result.
int applyMultiSettings(const CMultiConfigSettings& settings, snmpaccess::CSnmpSession& session, int port,
                       const std::string& prefix);

// Nothing to do: no setting and no certificate.
inline bool multiRunIsEmpty(const CMultiConfigSettings& s, const MultiRunOptions& o) {
  return s.count() == 0 && o.certificateFile.empty();
}

MultiRunReport runMultiConfig(const std::vector<MultiUnit>& units, const CMultiConfigSettings& settings,
                              const MultiRunOptions& options);

// The results file's content for a report.
CMultiConfigLog multiConfigLog(const std::vector<MultiUnit>& units, const MultiRunReport& report, bool tcpipView,
                               const std::tm& local);

// The closing question, with the resetting units' count when there are any.
std::string multiConfigSummary(int resets);

}  // namespace multi
