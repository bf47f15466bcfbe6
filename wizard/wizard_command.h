#pragma once
// "Configuration Wi&zard" from the selected print server to the wizard and back: the same
// preparation as the configuration sheet (the "Cannot communicate" retry, the family prefix, an
// unconfigured unit's address first, a telnet-managed or second-family unit sent elsewhere, the
// communities), then the wizard read, shown, and on Finish saved with the reset. Only a finished
// wizard that set a new permanent address moves the list row to it.
#include <string>

#include "config/config_command.h"
#include "wizard/wizard_flow.h"

namespace wizard {

// What the wizard needs from the window besides the configuration command's host.
class WizardUi {
 public:
  virtual ~WizardUi() = default;
  // Shows the wizard modally: true when it ended with Finish.
  virtual bool show(WizardFlow& flow, const std::string& title) = 0;
  // A second-family unit is configured in its own web pages ("http://" + address).
  virtual void openWebPage(const std::string& url) = 0;
};

enum class WizardOutcome {
  NoDevice, CannotCommunicate, NotSupported, Redirected, AssignmentFailed, Cancelled, ReadFailed, Closed, Finished,
};

WizardOutcome runWizardCommand(config::ConfigCommandHost& host, WizardUi& ui, bool netwareClient);

}  // namespace wizard
