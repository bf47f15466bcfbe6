#pragma once
// The "*" pattern match of display filters and access lists. Case is ignored (ASCII). "*" stands
// for any run of characters, empty included, except at the very end of a pattern, where it
// needs at least one character ("10.1.2.*" does not match "10.1.2."). An empty text matches only
// an empty pattern.
#include <string_view>

namespace devices {

bool wildcardMatch(std::string_view text, std::string_view pattern) noexcept;

}  // namespace devices
