#pragma once
// The per-process task table: five entries keyed by process id, shared by the processes of one
// engine instance. Each process touches only its own entry; claiming an entry is one atomic
// compare-and-swap on its process id, so two processes starting at once cannot share an entry.
// The threads of one process share its entry (a multi-unit run opens sessions on several at
// once), so every field they may write is atomic, and the task's last error is kept per thread.
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/process.h"
#include "snmp/winsnmp.h"

namespace snmp::tasks {

constexpr std::size_t kEntries = 5;
constexpr smiUINT32 kReceiveCapacity = 1408;
constexpr smiINT32 kFirstRequestId = 2;

struct TaskEntry {
  std::atomic<platform::ProcessId> pid;  // 0 = free
  // Tells this claim of the entry from every earlier one (of any process): a thread's last
  // error counts only for the claim it was posted under.
  std::atomic<std::uint64_t> claim;
  std::atomic<smiUINT32> translateMode;
  std::atomic<smiUINT32> retransmitMode;
  std::atomic<smiUINT32> policyTimeout;     // written by nobody, so always 0
  std::atomic<std::uint64_t> policyRetry;   // count times 10000, wide enough never to wrap
  std::atomic<smiINT32> nextRequestId;
  smiUINT32 bufferCapacity;
};

// The task's last error as the calling thread sees it: the code it last posted under this claim
// of the entry, or SNMPAPI_SUCCESS (a fresh entry's value) when it posted none. One thread's
// failure never shows as another's.
smiUINT32 lastError(const TaskEntry& entry) noexcept;
void setLastError(const TaskEntry& entry, smiUINT32 code) noexcept;

// The receive buffer of the caller's entry (bufferCapacity bytes). It is allocated with the
// entry and kept in process-local memory: a pointer means nothing in another address space.
smiBYTE* receiveBuffer(const TaskEntry& entry) noexcept;

// The caller's entry, or null when it has none.
TaskEntry* current() noexcept;

// The caller's entry, created when missing (first free entry or one of a dead process).
// Null when every entry belongs to a running process or the buffer cannot be allocated.
TaskEntry* acquire() noexcept;

// Frees the caller's buffer and the entry.
void release(TaskEntry& entry) noexcept;

// The next request id of the task (2, 3, ...); skips 0 and negative values on wrap-around.
smiINT32 drawRequestId(TaskEntry& entry) noexcept;

// Test access to an entry by index (0 to kEntries - 1).
TaskEntry& entryAt(std::size_t index) noexcept;

}  // namespace snmp::tasks
