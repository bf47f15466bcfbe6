#include "snmp/handle_table.h"

#include <new>

#include "snmp/post_error.h"
#include "snmp/shared_region.h"

namespace snmp::handles {
namespace {

struct HandleTable {
  Slot slots[kSlots];
};

HandleTable& table() noexcept {
  static HandleTable* t = new (mapSharedRegion(sizeof(HandleTable))) HandleTable();
  return *t;
}

// Map the table at load time, before any fork, so children share it with their parent.
[[maybe_unused]] const bool kTableMapped = (table(), true);

// Records of this process's slots; entries of other owners are stale copies, never used.
RecordHeader* gRecords[kSlots] = {};

}  // namespace

Slot& slotAt(smiUINT32 index) noexcept { return table().slots[index % kSlots]; }

RecordHeader* recordAt(smiUINT32 handle) noexcept {
  const smiUINT32 h = handle & 0xFFFFu;
  if (h == 0 || h >= kSlots) return nullptr;
  if (table().slots[h].owner.load(std::memory_order_acquire) != platform::currentProcessId()) return nullptr;
  return gRecords[h];
}

smiUINT32 allocate(Kind kind, std::size_t size, HSNMP_SESSION session, HSNMP_SESSION postTo) noexcept {
  const platform::ProcessId self = platform::currentProcessId();
  for (smiUINT32 h = 1; h < kSlots; ++h) {
    Slot& s = table().slots[h];
    platform::ProcessId holder = s.owner.load(std::memory_order_acquire);
    if (holder == self || (holder != 0 && platform::processIsRunning(holder))) continue;
    if (!s.owner.compare_exchange_strong(holder, self, std::memory_order_acq_rel)) continue;
    // A dead owner's record lived in its own address space: reuse the slot without freeing it.
    auto* record = static_cast<RecordHeader*>(std::calloc(1, size));
    if (!record) {
      gRecords[h] = nullptr;
      s.owner.store(0, std::memory_order_release);
      postError(SNMPAPI_ALLOC_ERROR, postTo);
      return 0;
    }
    record->kind = kind;
    record->session = kind == Kind::Session ? h : session;
    gRecords[h] = record;
    return h;
  }
  postError(SNMPAPI_ALLOC_ERROR, postTo);
  return 0;
}

RecordHeader* find(smiUINT32 handle, Kind kind) noexcept {
  const smiUINT32 h = handle & 0xFFFFu;
  if (h == 0 || h >= kSlots) return nullptr;
  Slot& s = table().slots[h];
  platform::ProcessId holder = s.owner.load(std::memory_order_acquire);
  if (holder == 0) return nullptr;
  if (holder != platform::currentProcessId()) {
    if (!platform::processIsRunning(holder)) s.owner.compare_exchange_strong(holder, 0);
    return nullptr;
  }
  RecordHeader* r = gRecords[h];
  if (!r || r->kind != kind) return nullptr;
  return r;
}

RecordHeader* resolve(smiUINT32 handle, Kind kind, smiUINT32 specific, HSNMP_SESSION postTo) noexcept {
  if (RecordHeader* r = find(handle, kind)) return r;
  postError(SNMPAPI_ENTITY_INVALID, postTo);
  if (specific != SNMPAPI_ENTITY_INVALID) postError(specific, postTo);
  return nullptr;
}

void release(smiUINT32 handle) noexcept {
  const smiUINT32 h = handle & 0xFFFFu;
  if (h == 0 || h >= kSlots) return;
  Slot& s = table().slots[h];
  if (s.owner.load(std::memory_order_acquire) != platform::currentProcessId()) return;
  std::free(gRecords[h]);
  gRecords[h] = nullptr;
  s.owner.store(0, std::memory_order_release);
}

std::size_t ownedHandles(smiUINT32* out) noexcept {
  const platform::ProcessId self = platform::currentProcessId();
  std::size_t n = 0;
  for (smiUINT32 h = 1; h < kSlots; ++h) {
    if (table().slots[h].owner.load(std::memory_order_acquire) == self) out[n++] = h;
  }
  return n;
}

void forgetDeadOwners() noexcept {
  for (smiUINT32 h = 1; h < kSlots; ++h) {
    Slot& s = table().slots[h];
    platform::ProcessId holder = s.owner.load(std::memory_order_acquire);
    if (holder != 0 && !platform::processIsRunning(holder)) s.owner.compare_exchange_strong(holder, 0);
  }
}

}  // namespace snmp::handles
