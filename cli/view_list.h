#pragma once
// A saved view searched as the program searches it (TCP/IP, IPX, serial, NetWare through the
// NetWare client), and the list the window would then show: the view's columns, sort and display
// filter. `trellanctl export` writes that list; the multi-unit commands take its units' addresses.
#include <cstdint>
#include <memory>
#include <string>

#include "app/device_list_model.h"
#include "cli/command.h"
#include "devices/discovery.h"

namespace cli::viewlist {

struct SearchOptions {
  std::string view;
  int timeoutMs = 0;         // 0: the settings' Broadcast wait
  std::uint16_t port = 0;    // 0: the settings' DiscoveryPort
  bool byPrinter = false;    // one row per printer port
};

struct ViewList {
  std::string name;                           // the view's name as stored
  std::unique_ptr<devices::CDiscovery> search;  // owns the devices the list shows
  app::DeviceListModel list;
  bool stopped = false;  // Ctrl-C ended the search early
};

// Runs the search and fills `out` (progress on stderr). kExitOk, or the exit code after the
// message was given: no such view, or a view that cannot be searched here.
int searchView(Context& ctx, const std::string& command, const SearchOptions& options, ViewList& out);

}  // namespace cli::viewlist
