#include "config/trap_destination.h"

#include <cctype>

#include "access/mib_group.h"

namespace config {

namespace {

// Left-padded with "0" to `width`; of a longer text the last `width` characters.
std::string padHex(const std::string& text, std::size_t width) {
  if (text.size() >= width) return text.substr(text.size() - width);
  return std::string(width - text.size(), '0') + text;
}

bool hexPairs(const std::string& text) {
  if (text.empty() || text.size() % 2) return false;
  for (char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

DestinationFields destinationFields(int kind) {
  switch (kind) {
    case kTrapSmtp: return {"Email Address:", 64, nullptr, 0};
    case kTrapTcpIp: return {"TCP/IP Address:", 15, nullptr, 0};
    default: return {"Network Number:", 8, "Hardware Address:", 12};
  }
}

PageCheck checkDestination(int kind, DestinationEntry& entry, std::string& listText) {
  switch (kind) {
    case kTrapSmtp:
      if (entry.first.find('@') == std::string::npos || entry.first.size() > 64)
        return PageCheck::fail(kTextInvalidEmail, "first");
      listText = entry.first;
      return PageCheck::pass();
    case kTrapTcpIp: {
      std::uint8_t a[4];
      if (entry.first.empty() || snmpaccess::ipv4TextToBytes(entry.first, a) != 0)
        return PageCheck::fail(kTextInvalidTrapIp, "first");
      listText = entry.first;
      return PageCheck::pass();
    }
    default:
      entry.first = padHex(entry.first, 8);
      if (!hexPairs(entry.first)) return PageCheck::fail(kTextInvalidNetwork, "first");
      entry.second = padHex(entry.second, 12);
      if (!hexPairs(entry.second)) return PageCheck::fail(kTextInvalidNetwork, "second");
      listText = upper(entry.first) + "-" + upper(entry.second);
      return PageCheck::pass();
  }
}

}  // namespace config
