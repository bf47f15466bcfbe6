#include "cli/view_list.h"

#include <ostream>

#include "app/settings.h"
#include "app/view_def.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "cli/cmd_netware.h"
#include "cli/cmd_snmp_common.h"
#include "devices/device_column.h"
#include "devices/discovery_headless.h"
#include "devices/discovery_ipx.h"
#include "devices/discovery_serial.h"
#include "devices/discovery_tcpip.h"
#include "netware/netware_discovery.h"
#include "platform/registry.h"
#include "snmp/serial_line.h"

namespace cli::viewlist {
namespace {

// The search the program runs for a view of this protocol; null with `why` set when it cannot
// run here.
std::unique_ptr<devices::CDiscovery> searchFor(Context& ctx, int viewType, std::string& why) {
  switch (viewType) {
    case app::kNodeTcpIpView: return std::make_unique<devices::CTcpIpDiscovery>();
    case app::kNodeIpxView: return std::make_unique<devices::CIpxSearchDiscovery>();
    case app::kNodeSerialView: return std::make_unique<devices::CSerialDiscovery>();
    case app::kNodeNetWareView: {
      std::string missing;
      if (!netware::clientReady(missing)) {
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

}  // namespace

int searchView(Context& ctx, const std::string& command, const SearchOptions& o, ViewList& out) {
  if (o.view.empty()) return usageError(ctx, command, "--view needs a view name, not an empty text");
  platform::Registry reg(platform::Registry::defaultPath(),
                         [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; },
                         platform::Registry::Access::ReadOnly);
  app::IdleViewDiscoveryFactory factory;
  app::CViewManager views(reg, factory);
  views.loadTree();
  const app::CViewNode* node = views.find(o.view);
  if (!node || !node->isView()) return failure(ctx, command, "no view named \"" + o.view + "\"");
  out.name = node->name();
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
  out.search = searchFor(ctx, node->type(), why);
  if (!out.search) return failure(ctx, command, "\"" + node->name() + "\": " + why);
  devices::CDiscovery& discovery = *out.search;

  snmpcmd::installInterruptHandler();
  discovery.setSettings(settings);
  devices::HeadlessDiscoveryRun run(discovery);
  run.onFound([&](devices::CDevice& d, int) {
    const char* ip = d.columnText(devices::kColIpAddress);
    *ctx.err << "found " << (ip && *ip ? ip : d.hardwareAddress.view()) << "  " << d.systemName.view()
             << (d.answered ? "" : "  (No Response)") << "\n";
  });
  out.stopped = run.run(request, &snmpcmd::gInterrupted) == 2;

  // The list the window would show after this search.
  app::DeviceListModel& list = out.list;
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
  return kExitOk;
}

}  // namespace cli::viewlist
