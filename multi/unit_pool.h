#pragma once
// Runs a job per unit on at most `inFlight` worker threads, taking units in row order; a unit not
// yet taken when `stop` is set is not run. Each worker waits on its own headless progress window
// over the engine's headless socket watch, so the units' time-outs overlap.
#include <atomic>
#include <cstddef>
#include <functional>

#include "access/progress.h"

namespace multi {

// The engine has 64 handles in all and a request holds up to ten of them at its peak.
inline constexpr int kMaxInFlight = 6;
inline constexpr int kDefaultInFlight = 4;

// `job(index, progress)`; returns false when stopped before every unit ran.
bool forEachUnit(std::size_t count, int inFlight, const std::atomic<bool>* stop,
                 const std::function<void(std::size_t, snmpaccess::ProgressWindow&)>& job);

}  // namespace multi
