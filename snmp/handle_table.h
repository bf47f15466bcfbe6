#pragma once
// The handle table: 64 slots (slot 0 never used), each holding the owner's process id and a
// pointer to the object's record (kept in the owner's own memory). The table is shared with forked children like the task table,
// but a record pointer means something only in its owner's address space, so a handle resolves
// for its owner alone; another running process's slot is invalid, a dead one's is emptied.
#include <atomic>
#include <cstddef>
#include <cstdlib>

#include "platform/process.h"
#include "snmp/records.h"

namespace snmp::handles {

constexpr smiUINT32 kSlots = 64;

// The shared part of a slot. The record pointer stays in process-local memory beside it: it
// means nothing in another address space (and leak checkers see it there).
struct Slot {
  std::atomic<platform::ProcessId> owner;  // 0 = free
};

// Takes the first slot (1 to 63) that is free or whose owner no longer runs, with a zero-filled
// record of `size` bytes of `kind` owned by `session` (or by itself when `session` is 0 and
// the kind is Session). Returns the handle, or 0 after posting SNMPAPI_ALLOC_ERROR.
smiUINT32 allocate(Kind kind, std::size_t size, HSNMP_SESSION session, HSNMP_SESSION postTo) noexcept;

template <typename R>
R* create(HSNMP_SESSION session, HSNMP_SESSION postTo, smiUINT32* handle) noexcept;

// The caller's record behind `handle` when it has kind `kind`; null otherwise. Posts nothing.
RecordHeader* find(smiUINT32 handle, Kind kind) noexcept;

// As find, but a failure posts SNMPAPI_ENTITY_INVALID and then `specific` (when it differs)
// to the task and, when it resolves, to session `postTo`.
RecordHeader* resolve(smiUINT32 handle, Kind kind, smiUINT32 specific, HSNMP_SESSION postTo) noexcept;

template <typename R>
R* find(smiUINT32 handle) noexcept {
  return reinterpret_cast<R*>(find(handle, kindOf<R>()));
}

template <typename R>
R* resolve(smiUINT32 handle, smiUINT32 specific, HSNMP_SESSION postTo) noexcept {
  return reinterpret_cast<R*>(resolve(handle, kindOf<R>(), specific, postTo));
}

// Frees the record (not what it points at) and empties the slot. Caller's own handles only.
void release(smiUINT32 handle) noexcept;

// Handles of the caller's live objects, in slot order; `out` must hold kSlots entries.
std::size_t ownedHandles(smiUINT32* out) noexcept;

// Empties every slot whose owner no longer runs (its memory died with it).
void forgetDeadOwners() noexcept;

// The record of one of the caller's slots (no kind check), or null.
RecordHeader* recordAt(smiUINT32 handle) noexcept;

// Test access to a slot.
Slot& slotAt(smiUINT32 index) noexcept;

template <typename R>
R* create(HSNMP_SESSION session, HSNMP_SESSION postTo, smiUINT32* handle) noexcept {
  const smiUINT32 h = allocate(kindOf<R>(), sizeof(R), session, postTo);
  if (handle) *handle = h;
  return h ? reinterpret_cast<R*>(find(h, kindOf<R>())) : nullptr;
}

}  // namespace snmp::handles
