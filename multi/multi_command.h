#pragma once
// The two multi-select commands as flows over an injected host: "&Multiple Configuration"
// ("Configure Selected Devices") and "Reset Selected Devices". The host is the main window in the
// program and a fake in tests: it supplies the ticked units, the dialogs, the run with its
// progress window, and opening the results file.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "multi/multi_config_dialog.h"
#include "multi/multi_config_run.h"
#include "multi/multi_reset.h"

namespace multi {

inline constexpr const char* kTextNoItems =
    "No items selected.  Select the check box for 2 or more devices you wish to configure in multi-select mode..";
inline constexpr const char* kTextOneItem = "Only one item selected. Using standard configuration...";
inline constexpr const char* kTextCertificateCancelled = "Certificate file transfer cancelled.";
inline constexpr const char* kTextCannotOpen = "Cannot open the requested file.";
inline constexpr int kDevicePasswordLimit = 16;

class MultiCommandHost {
 public:
  virtual ~MultiCommandHost() = default;
  // The ticked rows as units, in row order.
  virtual std::vector<MultiUnit> checkedUnits() = 0;
  // Exactly one row ticked: select it, leave multi-select mode and run the single-unit command.
  virtual void useStandardCommand() = 0;
  virtual int viewProtocol() = 0;
  virtual void message(const std::string& text) = 0;
  virtual bool askYesNo(const std::string& text) = 0;
  // "Configure Multiple Devices": true on OK.
  virtual bool showDialog(CMultiConfigDlg& dialog) = 0;
  // "Device Password": nullopt for Cancel.
  virtual std::optional<std::string> askPassword() = 0;
  // The run with the progress window (per unit, Stop between units); `options` carries the
  // time-outs and certificate, the host adds progress and stop.
  virtual MultiRunReport run(const std::vector<MultiUnit>& units, const CMultiConfigSettings& settings,
                             MultiRunOptions options) = 0;
  virtual MultiResetCounts runReset(const std::vector<MultiUnit>& units, MultiRunOptions options) = 0;
  // Time-outs and units in flight.
  virtual MultiRunOptions runOptions() = 0;
  virtual std::string resultsPath() { return defaultResultsPath(); }
  virtual std::tm localTime();
  // The platform's default handler for the file; false when it cannot be opened.
  virtual bool openFile(const std::string& path) = 0;
};

enum class MultiOutcome { NoItems, Standard, Cancelled, NothingToSend, Ran };

MultiOutcome runMultiConfigCommand(MultiCommandHost& host);
MultiOutcome runMultiResetCommand(MultiCommandHost& host);

}  // namespace multi
