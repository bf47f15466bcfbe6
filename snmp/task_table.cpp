#include "snmp/task_table.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "snmp/shared_region.h"

namespace snmp::tasks {
namespace {

struct TaskTable {
  TaskEntry entries[kEntries];
  std::atomic<std::uint64_t> claims;  // shared, so claims of different processes differ too
};

TaskTable& table() noexcept {
  static TaskTable* t = new (mapSharedRegion(sizeof(TaskTable))) TaskTable();
  return *t;
}

// Map the table at load time, before any fork, so children share it with their parent.
[[maybe_unused]] const bool kTableMapped = (table(), true);

// Buffers of this process's entries; entries of other processes are stale copies, never used.
smiBYTE* gBuffers[kEntries] = {};

// The calling thread's last error and the claim it was posted under.
struct PostedError {
  std::uint64_t claim = 0;
  smiUINT32 code = SNMPAPI_SUCCESS;
};
thread_local PostedError tPosted;

std::size_t indexOf(const TaskEntry& entry) noexcept {
  return static_cast<std::size_t>(&entry - table().entries);
}

}  // namespace

smiBYTE* receiveBuffer(const TaskEntry& entry) noexcept { return gBuffers[indexOf(entry)]; }

TaskEntry& entryAt(std::size_t index) noexcept { return table().entries[index % kEntries]; }

TaskEntry* current() noexcept {
  const platform::ProcessId self = platform::currentProcessId();
  for (TaskEntry& e : table().entries) {
    if (e.pid.load(std::memory_order_acquire) == self) return &e;
  }
  return nullptr;
}

TaskEntry* acquire() noexcept {
  if (TaskEntry* mine = current()) return mine;
  const platform::ProcessId self = platform::currentProcessId();
  for (TaskEntry& e : table().entries) {
    platform::ProcessId holder = e.pid.load(std::memory_order_acquire);
    if (holder != 0 && platform::processIsRunning(holder)) continue;
    if (!e.pid.compare_exchange_strong(holder, self, std::memory_order_acq_rel)) continue;
    // A dead holder's buffer lived in its own address space: nothing of it is ours to free.
    e.claim = table().claims.fetch_add(1) + 1;
    e.translateMode = SNMPAPI_UNTRANSLATED_V1;
    e.retransmitMode = SNMPAPI_OFF;
    e.policyTimeout = 0;
    e.policyRetry = 0;
    e.nextRequestId = kFirstRequestId;
    e.bufferCapacity = kReceiveCapacity;
    smiBYTE*& buffer = gBuffers[indexOf(e)];
    std::free(buffer);  // only set here if a parent held this entry before forking us
    buffer = static_cast<smiBYTE*>(std::malloc(kReceiveCapacity));
    if (!buffer) {
      e.pid.store(0, std::memory_order_release);
      return nullptr;
    }
    return &e;
  }
  return nullptr;
}

void release(TaskEntry& entry) noexcept {
  smiBYTE*& buffer = gBuffers[indexOf(entry)];
  std::free(buffer);
  buffer = nullptr;
  entry.bufferCapacity = 0;
  entry.pid.store(0, std::memory_order_release);
}

smiUINT32 lastError(const TaskEntry& entry) noexcept {
  return tPosted.claim == entry.claim.load() ? tPosted.code : SNMPAPI_SUCCESS;
}

void setLastError(const TaskEntry& entry, smiUINT32 code) noexcept { tPosted = {entry.claim.load(), code}; }

smiINT32 drawRequestId(TaskEntry& entry) noexcept {
  // Threads of one process draw from the same entry: an id drawn twice would let a session take
  // an earlier reply (or the agent's answer from its retransmission cache) for a new request.
  std::atomic<smiINT32>& next = entry.nextRequestId;
  smiINT32 seen = next.load();
  smiINT32 id = 0;
  do {
    id = seen <= 0 ? 1 : seen;
  } while (!next.compare_exchange_weak(seen, id == INT32_MAX ? 1 : id + 1));
  return id;
}

}  // namespace snmp::tasks
