// trellanctl export: run a view's search (TCP/IP, NetWare, serial or IPX, as the program searches
// it) and write its list as the program's "Save List to File..." and "Save IP Addresses..." do,
// with the view's columns, sort and display filter.
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "app/device_list_model.h"
#include "app/list_export.h"
#include "app/settings.h"
#include "app/view_def.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "cli/cmd_netware.h"
#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "devices/discovery_headless.h"
#include "devices/discovery_ipx.h"
#include "devices/discovery_serial.h"
#include "devices/discovery_tcpip.h"
#include "netware/netware_discovery.h"
#include "platform/net_config.h"
#include "platform/registry.h"
#include "snmp/serial_line.h"

namespace {

struct ExportOptions {
  std::string view;
  std::string list;
  std::string addresses;
  bool byPrinter = false;
  int timeoutMs = 0;
  std::uint16_t port = 0;
};

// The search the program runs for a view of this protocol; null with `why` set when it cannot
// run here.
std::unique_ptr<devices::CDiscovery> searchFor(cli::Context& ctx, int viewType, std::string& why) {
  switch (viewType) {
    case app::kNodeTcpIpView: return std::make_unique<devices::CTcpIpDiscovery>();
    case app::kNodeIpxView: return std::make_unique<devices::CIpxSearchDiscovery>();
    case app::kNodeSerialView: return std::make_unique<devices::CSerialDiscovery>();
    case app::kNodeNetWareView: {
      std::string missing;
      if (!cli::netware::clientReady(missing)) {
        why = "NetWare views are searched through the NetWare client: " + missing;
        return nullptr;
      }
      auto search = std::make_unique<::netware::CIpxDiscovery>(::netware::fennick());
      search->showMessage = [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; };
      return search;
    }
    default:
      why = "views of type " + std::to_string(viewType) + " cannot be searched";
      return nullptr;
  }
}

int runExport(cli::Context& ctx, const ExportOptions& o) {
  const std::string command = "export";
  if (o.view.empty()) return cli::usageError(ctx, command, "--view needs a view name, not an empty text");
  if (o.list.empty() == o.addresses.empty())
    return cli::usageError(ctx, command, "give one of --list FILE and --addresses FILE");

  platform::Registry reg(platform::Registry::defaultPath(),
                         [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; },
                         platform::Registry::Access::ReadOnly);
  app::IdleViewDiscoveryFactory factory;
  app::CViewManager views(reg, factory);
  views.loadTree();
  const app::CViewNode* node = views.find(o.view);
  if (!node || !node->isView()) return cli::failure(ctx, command, "no view named \"" + o.view + "\"");
  app::CViewDef def;
  def.load(reg, node->key());

  devices::DiscoverySettings settings = app::discoverySettingsFrom(reg);
  if (o.timeoutMs > 0) settings.broadcastTimeoutMs = o.timeoutMs;
  if (o.port > 0) settings.discoveryPort = o.port;
  app::addProgramSettings(settings);
  devices::SearchRequest request = app::searchRequestFor(def, node->name());

  // A serial view's ports go to the device paths the store names (Serial\COMn).
  snmp::serial::setPortRegistry(&reg);
  struct PortRegistryReset {
    ~PortRegistryReset() { snmp::serial::setPortRegistry(nullptr); }
  } portRegistryReset;
  std::string why;
  std::unique_ptr<devices::CDiscovery> search = searchFor(ctx, node->type(), why);
  if (!search) return cli::failure(ctx, command, "\"" + node->name() + "\": " + why);
  devices::CDiscovery& discovery = *search;

  cli::snmpcmd::installInterruptHandler();
  discovery.setSettings(settings);
  devices::HeadlessDiscoveryRun run(discovery);
  run.onFound([&](devices::CDevice& d, int) {
    const char* ip = d.columnText(devices::kColIpAddress);
    *ctx.err << "found " << (ip && *ip ? ip : d.hardwareAddress.view()) << "  " << d.systemName.view()
             << (d.answered ? "" : "  (No Response)") << "\n";
  });
  const int result = run.run(request, &cli::snmpcmd::gInterrupted);

  // The list the window would show after this search.
  app::DeviceListModel list;
  list.setDevices(&discovery.devices());
  list.setViewName(node->name());
  list.setViewColumns(def.columns());
  list.setMasks(settings.masks);
  if (!app::isSpecialView(node->name())) list.setFilter(def.displayFilter());
  list.setByPrinter(o.byPrinter);
  list.setSort(def.sortColumn(), def.sortDescending());
  list.clearRows();
  for (int i = 0; i < static_cast<int>(discovery.devices().size()); ++i) list.addDevice(i);
  list.sort();

  const bool addresses = !o.addresses.empty();
  const std::string& path = addresses ? o.addresses : o.list;
  const int written = addresses ? app::saveIpAddresses(list, path) : app::saveList(list, path);
  if (written != app::kExportOk) return cli::failure(ctx, command, path + ": Cannot open the requested file.");
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"file", path},
                                       {"kind", addresses ? "addresses" : "list"},
                                       {"rows", list.rowCount()},
                                       {"stopped", result == 2}});
  } else {
    *ctx.out << "Wrote " << (addresses ? "the addresses of " : "") << list.rowCount()
             << (list.rowCount() == 1 ? " row" : " rows") << " to " << path << (result == 2 ? " (search stopped)" : "")
             << ".\n";
  }
  return result == 2 ? cli::kExitFailed : cli::kExitOk;
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
      cli::completeAs(app.add_option("--view", o->view, "the view to search")->required(),
                      cli::Completion::View);
      cli::completeAs(app.add_option("--list", o->list, "write the list to FILE")->type_name("FILE"),
                      cli::Completion::File);
      cli::completeAs(app.add_option("--addresses", o->addresses, "write the IP addresses to FILE")->type_name("FILE"),
                      cli::Completion::File);
      app.add_flag("--by-printer", o->byPrinter, "one row per printer port");
      app.add_option("--timeout", o->timeoutMs, "wait for replies in milliseconds (default: the Broadcast setting)")
          ->check(CLI::Range(1, 600000))
          ->type_name("MS");
      app.add_option("--port", o->port, "discovery port (default: the settings' DiscoveryPort)")
          ->check(CLI::Range(1, 65535))
          ->type_name("N");
      return [o](cli::Context& ctx) { return runExport(ctx, *o); };
    },
});

}  // namespace
