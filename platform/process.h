#pragma once
#include <cstdint>

namespace platform {

using ProcessId = std::uint32_t;

// The id of the calling process (asked of the system once, and again in a forked child).
ProcessId currentProcessId() noexcept;

// True while the process exists (a process we may not signal still counts). Id 0 is never running.
bool processIsRunning(ProcessId pid) noexcept;

}  // namespace platform
