#pragma once
// trellanctl's NetWare commands share the process binding and the NetWare view's search.
#include <string>
#include <vector>

#include "cli/command.h"

namespace cli::netware {

// Loads the adapter ($TRELLAN_FENNICK or libfennick.so beside trellanctl) once; true when the
// client is ready. `why` tells what is missing otherwise.
bool clientReady(std::string& why);

struct DiscoverRequest {
  std::vector<std::string> entries;
  bool local = false;
  int timeoutMs = 6000;
  bool csv = false;
  std::vector<int> columns;  // empty: the NetWare defaults
};
// `discover --protocol netware`: the search of a NetWare view.
int discover(Context& ctx, const DiscoverRequest& request);

}  // namespace cli::netware
