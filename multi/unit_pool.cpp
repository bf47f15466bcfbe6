#include "multi/unit_pool.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "access/progress_headless.h"
#include "snmp/engine_watch.h"

namespace multi {

bool forEachUnit(std::size_t count, int inFlight, const std::atomic<bool>* stop,
                 const std::function<void(std::size_t, snmpaccess::ProgressWindow&)>& job) {
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    snmp::ScopedThreadSocketWatch watch(&snmp::headlessWatch());
    snmpaccess::HeadlessProgress progress(&snmp::headlessWatch(), stop);
    for (;;) {
      if (stop && stop->load()) return;
      const std::size_t i = next.fetch_add(1);
      if (i >= count) return;
      job(i, progress);
    }
  };
  const int n = static_cast<int>(std::min<std::size_t>(count, static_cast<std::size_t>(std::clamp(inFlight, 1, kMaxInFlight))));
  std::vector<std::thread> threads;
  for (int k = 0; k < n; ++k) threads.emplace_back(worker);
  for (auto& t : threads) t.join();
  return next.load() >= count || !(stop && stop->load());
}

}  // namespace multi
