// Feeds arbitrary text to the settings file reader. Whatever it accepts must serialize to text
// that reads back to an equal tree, and writing that tree again must give the same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry_format.h"
#include "platform/registry_key.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so reading one byte past the end is an overflow ASan reports.
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::RegKey hive{std::string(platform::regformat::kHive)};
  platform::regformat::ParseError error;
  if (!platform::regformat::parse(text, hive, error)) return 0;

  const std::string written = platform::regformat::serialize(hive);
  platform::RegKey again{std::string(platform::regformat::kHive)};
  platform::regformat::ParseError againError;
  if (!platform::regformat::parse(written, again, againError)) std::abort();
  if (!(again == hive)) std::abort();
  if (platform::regformat::serialize(again) != written) std::abort();
  return 0;
}
