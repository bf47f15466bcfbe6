#include "app/view_search.h"

#include "app/command_table.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "app/view_def.h"
#include "app/view_manager.h"
#include "devices/discovery_ipx.h"
#include "devices/discovery_serial.h"
#include "devices/discovery_tcpip.h"
#include "netware/netware_discovery.h"
#include "platform/net_config.h"

namespace app {

std::vector<const devices::CDevice*> DeviceViewDiscovery::foundDevices() const {
  std::vector<const devices::CDevice*> out;
  if (!search_ || search_->busy()) return out;  // the worker may still be appending
  for (const auto& d : search_->devices()) out.push_back(d.get());
  return out;
}

std::unique_ptr<ViewDiscovery> DeviceViewDiscoveryFactory::create(int viewType) {
  switch (viewType) {
    case 6: return std::make_unique<DeviceViewDiscovery>(std::make_unique<devices::CTcpIpDiscovery>());
    case 9: return std::make_unique<DeviceViewDiscovery>(std::make_unique<devices::CIpxSearchDiscovery>());
    case 8: return std::make_unique<DeviceViewDiscovery>(std::make_unique<devices::CSerialDiscovery>());
    // Without the NetWare client (the start-up probe found none) the view opens and says so.
    case 7:
      if (!netware::fennick().ready()) return std::make_unique<DeviceViewDiscovery>(nullptr);
      return std::make_unique<DeviceViewDiscovery>(std::make_unique<netware::CIpxDiscovery>(netware::fennick()));
    default: return nullptr;
  }
}

std::string viewSearchUnavailableText(int viewType) {
  const std::string kind = viewType == 7 ? "NetWare" : "Search of view type " + std::to_string(viewType);
  return kind + " views: " + texts::kNotAvailable + ".";
}

devices::SearchRequest searchRequestFor(const CViewDef& def, std::string_view viewName) {
  devices::SearchRequest request;
  request.localSearch = def.localSearch() || isSpecialView(viewName);
  request.listSearch = def.listSearch();
  // The entries go along whatever ListBuild says: a serial view asks its ports always; the
  // other searches read them only when listSearch is on.
  request.entries = def.searchList();
  request.columnBits = def.columnBits();
  return request;
}

devices::DiscoverySettings discoverySettingsFrom(const platform::Registry& reg) {
  devices::DiscoverySettings settings;
  settings.broadcastTimeoutMs = static_cast<int>(readSetting(reg, kTimeoutsKey, "Broadcast"));
  settings.discoveryPort = static_cast<std::uint16_t>(readSetting(reg, kAccessIpKey, "DiscoveryPort"));
  settings.masks.warning = readSetting(reg, kIconsKey, "Warning");
  settings.masks.error = readSetting(reg, kIconsKey, "Error");
  // Opt-in: the default search keeps its whole Broadcast wait.
  if (readSetting(reg, kGeneralKey, "QuickSearch") != 0) settings.quickQuietMs = devices::kQuickQuietMs;
  addProgramSettings(settings);
  return settings;
}

void addProgramSettings(devices::DiscoverySettings& settings) {
  settings.secondFamilyPort = platform::netConfig().secondFamilyPort;
  OemFamilyTable& table = oemFamilyTable();
  if (table.count() == 0) table.fill(std::vector<std::pair<std::string, std::string>>{});
  settings.oemFamilies.clear();
  for (std::size_t i = 0; i < table.count(); ++i) settings.oemFamilies.emplace_back(table[i].code);
}

}  // namespace app
