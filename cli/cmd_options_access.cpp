#include "cli/cmd_options_access.h"

#include <algorithm>
#include <cctype>

#include "app/options_access_page.h"
#include "platform/string_table.h"

namespace cli {

namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// The protocol's index among the page's protocols, by its shown name or a short name.
int protocolIndex(const app::CDeviceAccessPage& page, const std::string& name) {
  const std::string wanted = lower(name);
  const auto& protocols = page.protocols();
  for (std::size_t i = 0; i < protocols.size(); ++i) {
    const std::string shown = lower(protocols[i].name);
    const std::string shortName = protocols[i].viewType == 6 ? "tcpip" : protocols[i].viewType == 7 ? "netware" : "serial";
    if (wanted == shown || wanted == shortName) return static_cast<int>(i);
  }
  return -1;
}

// The entry of a pattern in the shown list (patterns compare without regard to case).
int entryIndex(const app::CDeviceAccessPage& page, const std::string& pattern) {
  const auto addresses = page.addresses();
  for (std::size_t i = 0; i < addresses.size(); ++i)
    if (lower(addresses[i]) == lower(pattern)) return static_cast<int>(i);
  return -1;
}

std::optional<std::string> readLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

std::optional<std::string> applyAccessEdits(app::CDeviceAccessPage& page, const AccessEdits& edits, std::istream& in) {
  const std::string protocol = edits.protocol.empty() ? std::string("TCP/IP") : edits.protocol;
  const int p = protocolIndex(page, protocol);
  if (p < 0) return "no access list for the protocol '" + protocol + "' (TCP/IP, NetWare or Serial Port)";
  page.selectProtocol(p);
  if ((!edits.add.empty() || !edits.remove.empty()) && !page.canAddDelete())
    return std::string("the ") + page.protocols()[static_cast<std::size_t>(p)].name +
           " list takes no new or deleted entries";
  for (const std::string& pattern : edits.remove) {
    const int e = entryIndex(page, pattern);
    if (e < 0) return "no access entry '" + pattern + "'";
    if (e == 0) return "the <Default> entry cannot be deleted";
    page.selectEntry(e);
    if (!page.deleteSelected()) return "the access entry '" + pattern + "' cannot be deleted";
  }
  for (const std::string& pattern : edits.add) {
    if (const std::uint32_t refused = page.addEntry(pattern)) {
      const char* text = platform::loadString(refused);
      return "'" + pattern + "': " + (text ? text : "the entry is invalid.");
    }
  }
  for (const std::string& pattern : edits.communities) {
    const int e = entryIndex(page, pattern);
    if (e < 0) return "no access entry '" + pattern + "'";
    const auto get = readLine(in);
    const auto set = get ? readLine(in) : std::nullopt;
    if (!get || !set) return "the communities of '" + pattern + "' are two lines on standard input: get, then set";
    page.selectEntry(e);
    page.setCommunities(*get, *set);
  }
  return std::nullopt;
}

}  // namespace cli
