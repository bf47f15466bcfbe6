#pragma once
// The program's compiled-in string table: every message and label by its numeric id.
#include <cstdint>

namespace platform {

// The text of a string id, or nullptr when the table has none.
const char* loadString(std::uint32_t id) noexcept;

}  // namespace platform
