// Sorted variable store of one simulated print server.
#include "sim/mib_store.h"

namespace sim {

void MibStore::define(const Oid& oid, const Value& value, bool writable) {
  MibEntry& e = entries_[oid];
  e = MibEntry{};
  e.value = value;
  e.factory = value;
  e.writable = writable;
}

MibEntry* MibStore::defineIfAbsent(const Oid& oid, const Value& value, bool writable) {
  if (entries_.find(oid) != entries_.end()) return nullptr;
  define(oid, value, writable);
  return find(oid);
}

MibEntry* MibStore::find(const Oid& oid) {
  auto it = entries_.find(oid);
  return it == entries_.end() ? nullptr : &it->second;
}

const MibEntry* MibStore::find(const Oid& oid) const {
  auto it = entries_.find(oid);
  return it == entries_.end() ? nullptr : &it->second;
}

const std::pair<const Oid, MibEntry>* MibStore::next(const Oid& oid) const {
  auto it = entries_.upper_bound(oid);
  return it == entries_.end() ? nullptr : &*it;
}

std::size_t MibStore::applyPending() {
  std::size_t n = 0;
  for (auto& [oid, e] : entries_) {
    if (e.pending) {
      e.value = std::move(*e.pending);
      e.pending.reset();
      ++n;
    }
  }
  return n;
}

std::size_t MibStore::restoreDefaults(const std::vector<Oid>& prefixes) {
  std::size_t n = 0;
  for (auto& [oid, e] : entries_) {
    bool inScope = false;
    for (const auto& p : prefixes)
      if (startsWith(oid, p)) {
        inScope = true;
        break;
      }
    if (!inScope) continue;
    e.value = e.factory;
    e.pending.reset();
    ++n;
  }
  return n;
}

}  // namespace sim
