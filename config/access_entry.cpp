#include "config/access_entry.h"

#include <arpa/inet.h>

#include <string>

#include "config/config_texts.h"
#include "platform/report_error.h"

namespace config {

AccessEntryCheck checkAccessEntry(AccessEntryMode mode, std::string_view text) {
  if (mode == AccessEntryMode::Ip) {
    std::string copy(text);
    if (const auto star = copy.find('*'); star != std::string::npos) copy[star] = '1';
    if (copy.empty() || ::inet_addr(copy.c_str()) == INADDR_NONE)
      return {false, texts::kInvalidIpAddress, platform::kErrorProgram};
    return {};
  }
  constexpr std::string_view allowed = "0123456789ABCDEFabcdef-*";
  for (char c : text)
    if (allowed.find(c) == std::string_view::npos) return {false, texts::kInvalidIpxEntry, platform::kErrorNetWare};
  return {};
}

}  // namespace config
