#pragma once
// Ending objects: one object with what it points at, a session with everything it owns, and
// every object of the calling process (start-up reset and clean-up).
#include "snmp/records.h"

namespace snmp {

// Frees what the object points at (a list's bindings) and the record; empties the slot.
// Sessions are only freed here: close their transports first.
void destroyObject(smiUINT32 handle) noexcept;

// Closes the session's open transports (UDP, IPX, serial in that order) and frees every
// object it owns, then the session. Returns kOk or the first failing close's code.
smiUINT32 closeSession(HSNMP_SESSION session) noexcept;

// Closes every session of the calling process, frees its remaining objects and empties the
// slots of processes that no longer run.
void destroyAllOwned() noexcept;

}  // namespace snmp
