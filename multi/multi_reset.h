#pragma once
// "Reset Selected Devices": one reset SET per ticked unit, concurrently with a bounded number in
// flight, and the counters of its summary.
#include <string>
#include <vector>

#include "multi/multi_config_run.h"

namespace multi {

struct MultiResetCounts {
  int selected = 0;  // ticked rows
  int sent = 0;      // units a session was opened for
  int errors = 0;    // a session or the control group read failed
  bool stopped = false;
};

// `options`: inFlight, getTimeout, progress, stop are used.
MultiResetCounts runMultiReset(const std::vector<MultiUnit>& units, const MultiRunOptions& options);

std::string multiResetQuestion(int selected);
std::string multiResetSummary(const MultiResetCounts& counts);

}  // namespace multi
