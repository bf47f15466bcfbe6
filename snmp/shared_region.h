#pragma once
// Memory that one process shares with the children it forks: the engine's task and handle tables
// live here, so every process of one engine instance sees the same entries and slots.
#include <cstddef>

namespace snmp {

// A zero-filled region of `bytes`, shared with forked children; falls back to private memory
// when the system refuses a shared mapping. Never freed.
void* mapSharedRegion(std::size_t bytes) noexcept;

}  // namespace snmp
