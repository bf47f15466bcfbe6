// discover --protocol netware: the search of a NetWare view from the command line (bindery scan,
// SAP over IPX when the bindery lists no print server, then entries by serial number or
// NAME>NETWORK).
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <ostream>

#include "app/view_search.h"
#include "cli/cmd_netware.h"
#include "cli/cmd_snmp_common.h"
#include "devices/device_column.h"
#include "devices/discovery_headless.h"
#include "netware/fnk_binding.h"
#include "netware/netware_discovery.h"

namespace cli::netware {

namespace {
// A column title as a JSON key in the style of discover's: "H/W Address" -> hwAddress, "Serial #" ->
// serialNumber, "NW Name" -> nwName.
std::string jsonKey(const std::string& title) {
  std::string key;
  bool wordStart = true;
  for (char c : title) {
    if (c == ' ') {
      wordStart = true;
      continue;
    }
    if (c == '/') continue;
    const std::string piece = c == '#' ? "Number" : std::string(1, c);
    for (char p : piece) {
      const bool upper = wordStart && !key.empty();
      key += static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(p)) : std::tolower(static_cast<unsigned char>(p)));
      wordStart = false;
    }
  }
  return key;
}
}  // namespace

int discover(Context& ctx, const DiscoverRequest& r) {
  const std::string command = "discover";
  std::string why;
  if (!clientReady(why)) return failure(ctx, command, "NetWare is not available: " + why);
  std::vector<int> columns = r.columns;
  if (columns.empty())
    for (const char* t : {"NW Name", "Network #", "H/W Address", "Serial #", "Product Type", "Status"})
      if (const int c = devices::columnIndex(t); c != devices::kNoColumn) columns.push_back(c);

  devices::SearchRequest request;
  request.entries = r.entries;
  request.listSearch = !r.entries.empty();
  request.localSearch = r.local || r.entries.empty();
  request.columnBits = devices::columnBits(columns.data(), columns.size());
  devices::DiscoverySettings settings;
  settings.broadcastTimeoutMs = r.timeoutMs;
  app::addProgramSettings(settings);

  snmpcmd::installInterruptHandler();
  ::netware::CIpxDiscovery discovery(::netware::fennick());
  discovery.setSettings(settings);
  discovery.showMessage = [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; };
  devices::HeadlessDiscoveryRun run(discovery);
  run.onFound([&](devices::CDevice& d, int) {
    const char* name = devices::deviceColumnText(d, devices::kColNwName);
    *ctx.err << "found " << (name ? name : "") << "  " << d.hardwareAddress.view() << (d.answered ? "" : "  (No Response)")
             << "\n";
  });
  const int result = run.run(request, &snmpcmd::gInterrupted);
  auto cell = [](const devices::CDevice& d, int c) {
    const char* t = devices::deviceColumnText(d, c);
    return std::string(t ? t : "");
  };
  if (ctx.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& d : discovery.devices()) {
      nlohmann::json j = nlohmann::json::object();
      for (int c : columns) j[jsonKey(devices::columnTitle(c))] = cell(*d, c);
      j["answered"] = d->answered;
      list.push_back(j);
    }
    writeJson(ctx, {{"stopped", result == 2}, {"sapQueries", discovery.sapQueriesSent()}, {"devices", list}});
  } else if (r.csv) {
    auto field = [](const std::string& t) {
      if (t.find_first_of(",\"\r\n") == std::string::npos) return t;
      std::string q = "\"";
      for (char c : t) q += c == '"' ? std::string("\"\"") : std::string(1, c);
      return q + "\"";
    };
    for (std::size_t i = 0; i < columns.size(); ++i) *ctx.out << (i ? "," : "") << field(devices::columnTitle(columns[i]));
    *ctx.out << "\r\n";
    for (const auto& d : discovery.devices()) {
      for (std::size_t i = 0; i < columns.size(); ++i) *ctx.out << (i ? "," : "") << field(cell(*d, columns[i]));
      *ctx.out << "\r\n";
    }
  } else {
    std::vector<std::size_t> width;
    for (int c : columns) width.push_back(std::string(devices::columnTitle(c)).size());
    for (const auto& d : discovery.devices())
      for (std::size_t i = 0; i < columns.size(); ++i) width[i] = std::max(width[i], cell(*d, columns[i]).size());
    auto row = [&](auto text) {
      std::string line;
      for (std::size_t i = 0; i < columns.size(); ++i) {
        std::string t = text(columns[i]);
        if (i + 1 < columns.size()) t.resize(width[i] + 2, ' ');
        line += t;
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      *ctx.out << line << "\n";
    };
    row([](int c) { return std::string(devices::columnTitle(c)); });
    for (const auto& d : discovery.devices()) row([&](int c) { return cell(*d, c); });
    *ctx.out << discovery.deviceCount() << (discovery.deviceCount() == 1 ? " print server" : " print servers")
             << (result == 2 ? " (stopped)" : "") << "\n";
  }
  return result == 2 ? kExitFailed : kExitOk;
}

}  // namespace cli::netware
