// Feeds arbitrary text to the private-profile reader. The text it writes must read back to the
// same sections, keys and values, and must be stable when written again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::Profile first;
  first.parse(text);
  const std::string written = first.text();

  platform::Profile second;
  second.parse(written);
  const auto sections = first.sections();
  if (second.sections() != sections) std::abort();
  for (const std::string& section : sections) {
    if (!second.hasSection(section)) std::abort();
    const auto keys = first.keys(section);
    if (second.keys(section) != keys) std::abort();
    for (const std::string& key : keys) {
      if (first.get(section, key) != second.get(section, key)) std::abort();
      if (first.getInt(section, key, -7) != second.getInt(section, key, -7)) std::abort();
    }
  }
  if (second.text() != written) std::abort();
  return 0;
}
