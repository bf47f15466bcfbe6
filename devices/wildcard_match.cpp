#include "devices/wildcard_match.h"

#include <cstddef>

namespace devices {
namespace {

char upper(char c) noexcept { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool wildcardMatch(std::string_view text, std::string_view pattern) noexcept {
  std::size_t t = 0;
  std::size_t p = 0;
  bool star = false;
  std::size_t anchor = 0;      // pattern position just after the last "*"
  std::size_t anchorText = 0;  // text position where that "*" began to match
  std::size_t restart = 0;     // characters the last "*" has swallowed so far

  for (;;) {
    if (t == text.size()) return p == pattern.size();
    if (p < pattern.size() && pattern[p] == '*') {
      star = true;
      anchor = ++p;
      anchorText = t;
      restart = 0;
      continue;
    }
    if (p == pattern.size() || upper(text[t]) != upper(pattern[p])) {
      if (!star) return false;
      // Let the last "*" swallow one more character and try the rest again from there; the
      // retry starts where the "*" began, not at the start of the text.
      ++restart;
      p = anchor;
      t = anchorText + restart;
      continue;
    }
    ++t;
    ++p;
  }
}

}  // namespace devices
