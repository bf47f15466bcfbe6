// trellanctl export: run a view's search (TCP/IP, NetWare, serial or IPX, as the program searches
// it) and write its list as the program's "Save List to File..." and "Save IP Addresses..." do,
// with the view's columns, sort and display filter.
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "app/list_export.h"
#include "cli/command.h"
#include "cli/view_list.h"

namespace {

struct ExportOptions {
  cli::viewlist::SearchOptions search;
  std::string list;
  std::string addresses;
};

int runExport(cli::Context& ctx, const ExportOptions& o) {
  const std::string command = "export";
  if (o.search.view.empty()) return cli::usageError(ctx, command, "--view needs a view name, not an empty text");
  if (o.list.empty() == o.addresses.empty())
    return cli::usageError(ctx, command, "give one of --list FILE and --addresses FILE");
  cli::viewlist::ViewList view;
  if (const int exit = cli::viewlist::searchView(ctx, command, o.search, view)) return exit;
  const app::DeviceListModel& list = view.list;

  const bool addresses = !o.addresses.empty();
  const std::string& path = addresses ? o.addresses : o.list;
  const int written = addresses ? app::saveIpAddresses(list, path) : app::saveList(list, path);
  if (written != app::kExportOk) return cli::failure(ctx, command, path + ": Cannot open the requested file.");
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"file", path},
                                       {"kind", addresses ? "addresses" : "list"},
                                       {"rows", list.rowCount()},
                                       {"stopped", view.stopped}});
  } else {
    *ctx.out << "Wrote " << (addresses ? "the addresses of " : "") << list.rowCount()
             << (list.rowCount() == 1 ? " row" : " rows") << " to " << path << (view.stopped ? " (search stopped)" : "")
             << ".\n";
  }
  return view.stopped ? cli::kExitFailed : cli::kExitOk;
}

const cli::CommandRegistration kExport({
    "export",
    "write a view's list or its addresses to a file",
    "Searches a view as the program does (TCP/IP, IPX and serial views; NetWare views through the\n"
    "NetWare client) and writes what its list shows, in its sort order\n"
    "and through its display filter: --list FILE writes the column titles and one line per row,\n"
    "each cell followed by \",\" (a cell holding \",\" or a quote is quoted as in CSV); --addresses\n"
    "FILE writes each listed print server's IP address once per line, leaving out unconfigured\n"
    "units, for use as File<FILE> in a search list. --by-printer lists one row per printer port.\n"
    "The search's wait and port come from the settings unless --timeout or --port is given.\n\n"
    "Exit status: 0 written, 1 no such view, file not writable or search stopped, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<ExportOptions>();
      cli::completeAs(app.add_option("--view", o->search.view, "the view to search")->required(),
                      cli::Completion::View);
      cli::completeAs(app.add_option("--list", o->list, "write the list to FILE")->type_name("FILE"),
                      cli::Completion::File);
      cli::completeAs(app.add_option("--addresses", o->addresses, "write the IP addresses to FILE")->type_name("FILE"),
                      cli::Completion::File);
      app.add_flag("--by-printer", o->search.byPrinter, "one row per printer port");
      app.add_option("--timeout", o->search.timeoutMs, "wait for replies in milliseconds (default: the Broadcast setting)")
          ->check(CLI::Range(1, 600000))
          ->type_name("MS");
      app.add_option("--port", o->search.port, "discovery port (default: the settings' DiscoveryPort)")
          ->check(CLI::Range(1, 65535))
          ->type_name("N");
      return [o](cli::Context& ctx) { return runExport(ctx, *o); };
    },
});

}  // namespace
