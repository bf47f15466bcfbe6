#include "multi/multi_reset.h"

#include <atomic>

#include "access/group_classes.h"

namespace multi {

MultiResetCounts runMultiReset(const std::vector<MultiUnit>& units, const MultiRunOptions& options) {
  MultiResetCounts counts;
  counts.selected = static_cast<int>(units.size());
  std::atomic<int> sent{0}, errors{0};
  const bool done = forEachUnit(units.size(), options.inFlight, options.stop,
                                [&](std::size_t i, snmpaccess::ProgressWindow& progress) {
    const MultiUnit& u = units[i];
    if (!u.present || u.noSnmp) return;
    if (options.progress) options.progress(i, "Setting " + u.name);
    snmpaccess::SnmpTarget target;
    target.family = u.family;
    target.setAddress(u.address);
    target.setGetCommunity(u.getCommunity);
    target.setSetCommunity(u.setCommunity);
    target.progress = &progress;
    int rc = 0;
    snmpaccess::CSnmpSession session(&target, rc);
    ++sent;
    if (rc) {
      ++errors;
      return;
    }
    session.setTimeout(options.getTimeout);
    snmpaccess::GroupParams p;
    p.prefix = u.prefix;
    snmpaccess::CServerControlGroup control(p);
    if (control.read(session)) {
      ++errors;
      return;
    }
    // Not looked at: a unit that restarts before it answers is normal, and a refused SET
    // community still counts as a unit that received the command.
    (void)control.reset(session);
  });
  counts.sent = sent.load();
  counts.errors = errors.load();
  counts.stopped = !done;
  return counts;
}

std::string multiResetQuestion(int selected) { return "Reset the " + std::to_string(selected) + " selected devices now?"; }

std::string multiResetSummary(const MultiResetCounts& c) {
  return "Reset Summary:\n\n\t" + std::to_string(c.selected) + " list items selected.\n\t" + std::to_string(c.sent) +
         " devices received reset commands.\n\t" + std::to_string(c.errors) +
         " errors detected.\n\nResetting devices will be unreachable until reinitialization is complete.";
}

}  // namespace multi
