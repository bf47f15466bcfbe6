#pragma once
// trellanctl options: the edits of the "Device Access" page (add and delete address patterns,
// change an entry's communities) with the page's own rules. Communities come from standard input,
// never from the command line, and are never printed.
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace app {
class CDeviceAccessPage;
}

namespace cli {

struct AccessEdits {
  std::string protocol;                    // "TCP/IP", "NetWare", "Serial Port" (or tcpip, netware, serial)
  std::vector<std::string> add;            // patterns to add
  std::vector<std::string> remove;         // patterns to delete
  std::vector<std::string> communities;    // entries whose communities are read from `in`
  bool any() const { return !add.empty() || !remove.empty() || !communities.empty(); }
};

// Applies the edits to the page in memory: deletes, then adds, then communities (two lines from
// `in` per entry: the get community, then the set community). nullopt when all applied, else the
// message of the first refused edit (the page is then thrown away unsaved).
std::optional<std::string> applyAccessEdits(app::CDeviceAccessPage& page, const AccessEdits& edits, std::istream& in);

}  // namespace cli
