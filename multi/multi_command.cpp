#include "multi/multi_command.h"

namespace multi {

std::tm MultiCommandHost::localTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

namespace {

// None and one ticked row end here; true when the command goes on with the units.
bool enoughUnits(MultiCommandHost& host, const std::vector<MultiUnit>& units, MultiOutcome& outcome) {
  if (units.empty()) {
    host.message(kTextNoItems);
    outcome = MultiOutcome::NoItems;
    return false;
  }
  if (units.size() == 1) {
    host.message(kTextOneItem);
    host.useStandardCommand();
    outcome = MultiOutcome::Standard;
    return false;
  }
  return true;
}

}  // namespace

MultiOutcome runMultiConfigCommand(MultiCommandHost& host) {
  const std::vector<MultiUnit> units = host.checkedUnits();
  MultiOutcome outcome{};
  if (!enoughUnits(host, units, outcome)) return outcome;
  const int view = host.viewProtocol();
  CMultiConfigDlg dialog(view);
  if (!host.showDialog(dialog)) return MultiOutcome::Cancelled;
  CMultiConfigSettings settings;
  if (const std::string problem = dialog.build(settings); !problem.empty()) {
    host.message(problem);
    return MultiOutcome::Cancelled;
  }
  MultiRunOptions options = host.runOptions();
  options.tcpipView = view == kViewTcpIp;
  options.certificateFile = dialog.certificateFile();
  if (multiRunIsEmpty(settings, options)) return MultiOutcome::NothingToSend;

  if (!options.certificateFile.empty()) {
    std::optional<std::string> password;
    for (;;) {
      password = host.askPassword();
      if (!password) {
        host.message(kTextCertificateCancelled);
        break;
      }
      if (!password->empty()) break;
    }
    if (password) {
      options.password = password->substr(0, kDevicePasswordLimit);
    } else {
      options.certificateFile.clear();
      // Nothing is left to send: the units are not reset for nothing.
      if (settings.count() == 0) return MultiOutcome::NothingToSend;
    }
  }

  const MultiRunReport report = host.run(units, settings, options);
  const CMultiConfigLog log = multiConfigLog(units, report, options.tcpipView, host.localTime());
  const std::string path = host.resultsPath();
  // A file that cannot be written only loses the log.
  const bool written = log.write(path);
  if (host.askYesNo(multiConfigSummary(report.resets))) {
    if (!written || !host.openFile(path)) host.message(kTextCannotOpen);
  }
  return MultiOutcome::Ran;
}

MultiOutcome runMultiResetCommand(MultiCommandHost& host) {
  const std::vector<MultiUnit> units = host.checkedUnits();
  MultiOutcome outcome{};
  if (!enoughUnits(host, units, outcome)) return outcome;
  if (!host.askYesNo(multiResetQuestion(static_cast<int>(units.size())))) return MultiOutcome::Cancelled;
  const MultiResetCounts counts = host.runReset(units, host.runOptions());
  host.message(multiResetSummary(counts));
  return MultiOutcome::Ran;
}

}  // namespace multi
