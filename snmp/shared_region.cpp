#include "snmp/shared_region.h"

#include <cstdlib>
#include <sys/mman.h>

namespace snmp {

void* mapSharedRegion(std::size_t bytes) noexcept {
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (p != MAP_FAILED) return p;
  // A private table still serves this process; only cross-process bookkeeping is lost.
  return std::calloc(1, bytes);
}

}  // namespace snmp
