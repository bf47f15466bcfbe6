#pragma once
// The variables of one simulated print server, kept sorted by OID so that GETNEXT walks them in
// the order an agent must. Each entry remembers its factory value (restore defaults) and a change
// staged by a SET that the unit only takes on when it restarts.
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "sim/mib_value.h"

namespace sim {

struct MibEntry {
  Value value;                       // what GET answers now
  Value factory;                     // what restore defaults brings back
  std::optional<Value> pending;      // set but not yet in force (taken on at the next restart)
  bool writable = false;
  std::uint32_t maxLength = 255;     // octet strings: longest value a SET may store
  std::optional<std::int64_t> minimum, maximum;  // integers: accepted range of a SET
  bool uptime = false;               // sysUpTime: computed when read
  std::int32_t step = 0;             // a moving counter: grows by this much at every read
  mutable std::uint32_t reads = 0;   // reads of a moving counter so far
};

class MibStore {
 public:
  // Adds or replaces a variable; its factory value is the value given.
  void define(const Oid& oid, const Value& value, bool writable);
  // Like define, but leaves an existing entry alone (for derived objects the data file may
  // override). Returns the entry when it was defined now, else null.
  MibEntry* defineIfAbsent(const Oid& oid, const Value& value, bool writable);

  MibEntry* find(const Oid& oid);
  const MibEntry* find(const Oid& oid) const;
  // The first variable whose OID sorts strictly after `oid`, or null at the end of the MIB.
  const std::pair<const Oid, MibEntry>* next(const Oid& oid) const;

  // Makes every staged change current (a restart). Returns how many were applied.
  std::size_t applyPending();
  // Puts the factory value back and drops staged changes for every OID under one of the prefixes
  // (an empty prefix covers everything). Returns how many variables were touched.
  std::size_t restoreDefaults(const std::vector<Oid>& prefixes);

  std::size_t size() const { return entries_.size(); }
  const std::map<Oid, MibEntry>& entries() const { return entries_; }

 private:
  std::map<Oid, MibEntry> entries_;
};

}  // namespace sim
