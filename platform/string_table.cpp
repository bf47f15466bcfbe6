#include "platform/string_table.h"

#include <algorithm>
#include <iterator>

namespace platform {
namespace {

struct StringRow {
  std::uint32_t id;
  const char* text;
};

constexpr StringRow kStrings[] = {
#include "platform/string_table_data.inc"
};

constexpr bool sortedAndUnique() {
  for (std::size_t i = 1; i < std::size(kStrings); ++i)
    if (kStrings[i - 1].id >= kStrings[i].id) return false;
  return true;
}
static_assert(sortedAndUnique(), "string_table_data.inc must be sorted by id without duplicates");

}  // namespace

const char* loadString(std::uint32_t id) noexcept {
  const auto* end = std::end(kStrings);
  const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                    [](const StringRow& row, std::uint32_t key) { return row.id < key; });
  return (it != end && it->id == id) ? it->text : nullptr;
}

}  // namespace platform
