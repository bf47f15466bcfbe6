#include <gtest/gtest.h>

#include "devices/wildcard_match.h"

namespace {

struct Case {
  const char* text;
  const char* pattern;
  bool match;
};

TEST(WildcardMatch, Table) {
  const Case cases[] = {
      // plain text compares without case
      {"10.1.2.3", "10.1.2.3", true},
      {"abc", "ABC", true},
      {"ABC", "ABD", false},
      {"ABC", "AB", false},
      {"AB", "ABC", false},
      // a "*" at the end needs at least one character
      {"10.1.2.5", "10.1.2.*", true},
      {"10.1.2.", "10.1.2.*", false},
      {"X", "*", true},
      {"", "*", false},
      {"", "", true},
      {"A", "", false},
      // a "*" at the start or in the middle may be empty
      {"ABC", "*ABC", true},
      {"AC", "A*C", true},
      {"10.1.2.5", "*.5", true},
      {"10.1.2.55", "*.5", false},
      // a retry after a mismatch starts where the "*" began, never before it
      {"ABC", "AB*BC", false},
      {"ABBC", "AB*BC", true},
      {"ABXBC", "AB*BC", true},
      {"ABXBCBC", "AB*BC", true},
      {"ABXBCX", "AB*BC", false},
      {"XYZ", "XY*YZ", false},
      // several stars
      {"AXBXC", "A*B*C", true},
      {"AXBX", "A*B*C", false},
      {"ABAB", "*AB", true},
      {"AAB", "*A*", true},
      {"A", "*A*", false},
      {"PRN-OFFICE-2", "prn-*-2", true},
      {"00000001-0080C7123456", "00000001-*", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(devices::wildcardMatch(c.text, c.pattern), c.match)
        << "text \"" << c.text << "\" pattern \"" << c.pattern << "\"";
}

}  // namespace
