#pragma once
// The "Reset Server" dialog without a display: prepare (read the control group, the installed
// protocols and the restorable parts), restart the unit, or bring back the factory values of the
// whole unit or of selected parts. Every trigger is written whatever the unit reads for it (a
// unit that reads 2 would otherwise never be reset while success is reported), and after a
// trigger the unit is silent while it restarts: the flow waits, then finds it again. A multi-unit
// reset runs the same object once per unit.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "access/snmp_session.h"
#include "access/snmp_target.h"

namespace config {

struct ResetServices {
  // ReportError(text id, error class, code, code kind).
  std::function<void(std::uint32_t textId, int errorClass, int code, int codeKind)> report;
  // Waits `ms` in the progress window; false when the user pressed Stop.
  std::function<bool(int ms)> pause;
  // Finds the unit again at the target's address within `seconds` (0 answered).
  std::function<int(snmpaccess::SnmpTarget& target, int seconds)> identify;
  // Sets the progress text (may be empty).
  std::function<void(std::uint32_t textId)> progressText;
  std::string prefix{mib::kDefaultEnterprisePrefix};
  int resetTimeoutSeconds = 40;
  int silenceMs = 3000;  // the wait after a trigger before asking the unit again
};

enum class ResetOutcome { NotConfirmed, NothingSelected, Failed, Done };

class CResetServer {
 public:
  explicit CResetServer(ResetServices services);

  // Reads what the dialog shows; 0 when it can be shown (a failure shows no message).
  int prepare(snmpaccess::SnmpTarget& target);
  // The restorable parts in the unit's order: "Output Ports", then one per installed protocol.
  const std::vector<std::string>& entries() const { return entries_; }

  // "&Reset": `confirm` asks "Reset the Server?".
  ResetOutcome reset(const std::function<bool(std::uint32_t)>& confirm);
  // "Re&store" with the selected entry indexes: every part selected uses the single
  // restore-all trigger; otherwise one SET carries the selected parts' triggers.
  ResetOutcome restore(const std::vector<int>& selected, const std::function<bool(std::uint32_t)>& confirm);
  // Without questions, for scripts: restart, restore all, or restore the named parts.
  int resetNow();
  int restoreAllNow();
  int restoreNow(const std::vector<int>& selected);
  // Index of an entry by its name (case-insensitive); -1 when none.
  int findEntry(const std::string& name) const;
  // The unit answered again after the last trigger.
  bool identified() const { return identified_; }

 private:
  int afterTrigger(int rc);
  void report(std::uint32_t text, int code);

  ResetServices services_;
  snmpaccess::SnmpTarget* target_ = nullptr;
  std::unique_ptr<snmpaccess::CSnmpSession> session_;
  snmpaccess::CServerControlGroup control_;
  snmpaccess::CProtocolListGroup list_;
  std::unique_ptr<snmpaccess::CRestoreDefaultsGroup> defaults_;
  std::vector<std::string> entries_;
  bool identified_ = false;
};

}  // namespace config
