#include "vines/streettalk_name.h"

#include <algorithm>

namespace vines {

bool isValidStreetTalkName(std::string_view name) {
  if (name.empty()) return true;
  if (std::count(name.begin(), name.end(), '@') != 2) return false;
  const std::size_t first = name.find('@');
  const std::size_t second = name.find('@', first + 1);
  return first > 0 && second > first + 1 && second + 1 < name.size();
}

bool streetTalkCharacterAccepted(char typed) {
  constexpr std::string_view kRefused = "\"$&'*/\\[]`?:<>=";
  return kRefused.find(typed) == std::string_view::npos;
}

}  // namespace vines
