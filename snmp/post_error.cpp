#include "snmp/post_error.h"

#include <atomic>

#include "snmp/handle_table.h"
#include "snmp/task_table.h"

namespace snmp {

void postError(smiUINT32 code, HSNMP_SESSION session) noexcept {
  if (tasks::TaskEntry* task = tasks::current()) tasks::setLastError(*task, code);
  if (session == 0) return;
  if (auto* s = handles::find<SessionRecord>(session)) sessionLastError(*s).store(code, std::memory_order_relaxed);
}

}  // namespace snmp
