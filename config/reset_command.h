#pragma once
// "&Reset" for one print server: the checks of the command entry, then the "Reset Server"
// dialog over CResetServer. GUI-free: the dialog and the second family's reset come through
// ResetUi; everything else through the configuration command's host.
#include "config/config_command.h"
#include "config/reset_server.h"

namespace config {

class ResetUi {
 public:
  virtual ~ResetUi() = default;
  // Shows the "Reset Server" dialog modally over a prepared reset.
  virtual void showDialog(CResetServer& reset) = 0;
  // A unit of the text-command family: reset it that way; true when it worked.
  virtual bool resetSecondFamily(devices::CDevice& device) = 0;
  // "Succeed in resetting printer server!" / "Fail to reset printer server." (title "Reset Printer Server").
  virtual void showSecondFamilyResult(bool ok) = 0;
};

enum class ResetCommandOutcome {
  NoDevice, CannotCommunicate, NotConfigured, Redirected, NotSupported, Cancelled, PrepareFailed, Shown,
};

// The services of the reset built from the sheet's (report, pause, identify, reset time-out).
ResetServices resetServicesFrom(const SheetServices& sheet);

ResetCommandOutcome runResetCommand(ConfigCommandHost& host, ResetUi& ui);

}  // namespace config
