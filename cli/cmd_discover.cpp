// trellanctl discover / query: find print servers with the search-list syntax of a view, and
// ask one print server for its discovery reply.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "access/progress_headless.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "app/view_def.h"
#include "app/view_entry.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "cli/cmd_netware.h"
#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "devices/discovery_headless.h"
#include "devices/discovery_tcpip.h"
#include "devices/ipv4_text.h"
#include "platform/net_config.h"
#include "platform/registry.h"
#include "snmp/engine_watch.h"

namespace {

const std::vector<std::string> kDefaultColumns = {"System Name", "IP Address", "H/W Address", "Serial #",
                                                  "Product Type", "Datecode", "Status"};

struct CommonOptions {
  int timeoutMs = 6000;
  std::uint16_t port = platform::kDefaultDiscoveryPort;
  bool timeoutGiven = false;
  bool portGiven = false;
};

void addCommon(CLI::App& app, CommonOptions& o) {
  app.add_option("--timeout", o.timeoutMs, "wait for replies in milliseconds (the Broadcast setting)")
      ->capture_default_str()
      ->check(CLI::Range(1, 600000))
      ->type_name("MS")
      ->each([&o](const std::string&) { o.timeoutGiven = true; });
  app.add_option("--port", o.port, "discovery port")
      ->capture_default_str()
      ->check(CLI::Range(1, 65535))
      ->type_name("N")
      ->each([&o](const std::string&) { o.portGiven = true; });
}

struct DiscoverOptions {
  CommonOptions common;
  bool local = false;
  bool csv = false;
  bool quick = false;
  std::string view;
  bool viewGiven = false;  // an empty --view is a mistake, not "no view"
  std::string columns;
  bool hasColumns = false;
  std::vector<std::string> entries;
  std::string protocol = "tcpip";
};

std::vector<std::string> splitColumns(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::size_t end = comma == std::string::npos ? text.size() : comma;
    out.push_back(text.substr(start, end - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

std::string cell(const devices::CDevice& d, int column) {
  const char* t = devices::deviceColumnText(d, column);
  return t ? t : "";
}

std::string csvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// The JSON key of a catalogue column: its title in camelCase ("H/W Address" -> hwAddress,
// "Serial #" -> serialNumber, "Current SSID" -> currentSsid).
std::string jsonKey(const char* title) {
  std::string key;
  bool wordStart = true;
  for (const char* p = title; *p; ++p) {
    std::string piece = *p == '#' ? "Number" : std::string(1, *p);
    if (*p == ' ') {
      wordStart = true;
      continue;
    }
    if (*p == '/') continue;
    for (char c : piece) {
      const bool upper = wordStart && !key.empty();
      key += static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c)) : std::tolower(static_cast<unsigned char>(c)));
      wordStart = false;
    }
  }
  return key;
}

nlohmann::json deviceJson(const devices::CDevice& d, const std::vector<int>& columns) {
  nlohmann::json j = nlohmann::json::object();
  for (int c : columns) j[jsonKey(devices::columnTitle(c))] = cell(d, c);
  j["answered"] = d.answered;
  j["configured"] = d.configured;
  return j;
}

int runDiscover(cli::Context& ctx, const DiscoverOptions& d) {
  const std::string command = "discover";
  const CommonOptions& o = d.common;
  const bool local = d.local;
  const bool csv = d.csv;
  const std::string& viewName = d.view;
  const bool byView = !viewName.empty();
  const bool hasColumns = d.hasColumns;
  std::vector<std::string> titles = hasColumns ? splitColumns(d.columns) : kDefaultColumns;
  std::vector<int> columns;
  for (const std::string& t : titles) {
    const int c = devices::columnIndex(t);
    if (c == devices::kNoColumn) return cli::usageError(ctx, command, "unknown column '" + t + "'");
    if (std::find(columns.begin(), columns.end(), c) == columns.end()) columns.push_back(c);
  }
  if (ctx.json && csv) return cli::usageError(ctx, command, "--json and --csv exclude each other");
  if (d.viewGiven && viewName.empty()) return cli::usageError(ctx, command, "--view needs a view name, not an empty text");
  if (byView && (local || hasColumns || !d.entries.empty()))
    return cli::usageError(ctx, command, "--view takes its search and columns from the view: no --local, --columns or entries");
  if (d.protocol == "netware") {
    if (byView) return cli::usageError(ctx, command, "--protocol netware searches without a view");
    return cli::netware::discover(ctx, {d.entries, local, o.timeoutMs, csv, hasColumns ? columns : std::vector<int>{}});
  }

  // Every entry is checked before anything is sent: a typing error is not a unit that is silent.
  for (const std::string& e : d.entries) {
    if (!app::validTcpIpEntry(e))
      return cli::usageError(ctx, command,
                             "'" + e + "' is not a search entry (an address, a.b.c.*, a.b.c.255<DB>, Multicast<1-255> "
                             "or File<path>)");
    if (e.rfind("File<", 0) == 0) {
      const std::string path = e.substr(5, e.size() - 6);
      if (!std::ifstream(path)) return cli::usageError(ctx, command, "'" + e + "': the file cannot be read");
      continue;
    }
    if (e.rfind("Multicast<", 0) == 0) continue;
    std::string address = e.substr(0, e.find('<'));
    if (const auto star = address.find('*'); star != std::string::npos) address[star] = '1';
    if (const auto ip = devices::parseIpv4(address))
      if (const std::string refusal = cli::snmpcmd::loopbackRefusal(*ip); !refusal.empty())
        return cli::failure(ctx, command, "'" + e + "' " + refusal);
  }

  devices::SearchRequest request;
  request.entries = d.entries;
  request.listSearch = !request.entries.empty();
  request.localSearch = local || request.entries.empty();

  devices::DiscoverySettings settings;
  settings.broadcastTimeoutMs = o.timeoutMs;
  settings.discoveryPort = o.port;

  // A view brings its own search, columns, sort and filter, and the store its wait, port and masks.
  bool sorted = false;
  int sortColumn = devices::kColSystemName;
  bool descending = false;
  devices::DisplayFilter filter;
  if (byView) {
    platform::Registry reg(platform::Registry::defaultPath(),
                           [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; },
                           platform::Registry::Access::ReadOnly);
    app::IdleViewDiscoveryFactory factory;
    app::CViewManager views(reg, factory);
    views.loadTree();
    const app::CViewNode* node = views.find(viewName);
    if (!node || !node->isView() || node->isRoot()) {
      cli::failure(ctx, command, "no view named \"" + viewName + "\"");
      return cli::kExitUsage;
    }
    if (node->type() != 6)
      return cli::failure(ctx, command, "\"" + node->name() + "\" is a " + app::viewProtocolName(node->type()) +
                                            " view: only TCP/IP views can be searched from the command line");
    app::CViewDef def;
    def.load(reg, node->key());
    const bool special = app::isSpecialView(node->name());
    request = app::searchRequestFor(def, node->name());
    if (!def.columns().empty()) columns = def.columns();
    sorted = devices::isColumnIndex(def.sortColumn());
    sortColumn = def.sortColumn();
    descending = def.sortDescending();
    if (!special) filter = def.displayFilter();
    const devices::DiscoverySettings stored = app::discoverySettingsFrom(reg);
    if (!o.timeoutGiven) settings.broadcastTimeoutMs = stored.broadcastTimeoutMs;
    settings.discoveryPort = o.portGiven ? o.port : stored.discoveryPort;
    settings.masks = stored.masks;
  }
  request.columnBits = devices::columnBits(columns.data(), columns.size());
  app::addProgramSettings(settings);
  if (d.quick) settings.quickQuietMs = devices::kQuickQuietMs;

  cli::snmpcmd::installInterruptHandler();
  devices::CTcpIpDiscovery discovery;
  discovery.setSettings(settings);
  devices::HeadlessDiscoveryRun run(discovery);
  // Devices are reported as they come, as progress: stdout holds only the list.
  std::ostream& stream = *ctx.err;
  run.onFound([&](devices::CDevice& d, int) {
    stream << "found " << cell(d, 2) << "  " << d.hardwareAddress.view() << "  " << d.systemName.view()
           << (d.answered ? "" : "  (No Response)") << "\n";
  });
  const int result = run.run(request, &cli::snmpcmd::gInterrupted);

  // The rows the view's list would show: filtered, then in its sort order (ties keep the order found).
  std::vector<const devices::CDevice*> found;
  for (const auto& d : discovery.devices())
    if (devices::filterAccepts(*d, filter)) found.push_back(d.get());
  if (sorted)
    std::stable_sort(found.begin(), found.end(), [&](const devices::CDevice* a, const devices::CDevice* b) {
      const int c = devices::compareColumnTexts(sortColumn, cell(*a, sortColumn), cell(*b, sortColumn));
      return descending ? c > 0 : c < 0;
    });
  if (ctx.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& d : found) list.push_back(deviceJson(*d, columns));
    cli::writeJson(ctx, nlohmann::json{{"stopped", result == 2}, {"devices", list}});
  } else if (csv) {
    for (std::size_t i = 0; i < columns.size(); ++i) *ctx.out << (i ? "," : "") << csvField(devices::columnTitle(columns[i]));
    *ctx.out << "\r\n";
    for (const auto& d : found) {
      for (std::size_t i = 0; i < columns.size(); ++i) *ctx.out << (i ? "," : "") << csvField(cell(*d, columns[i]));
      *ctx.out << "\r\n";
    }
  } else {
    std::vector<std::size_t> width;
    for (int c : columns) width.push_back(std::string(devices::columnTitle(c)).size());
    for (const auto& d : found)
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
    for (const auto& d : found) row([&](int c) { return cell(*d, c); });
    *ctx.out << found.size() << (found.size() == 1 ? " print server" : " print servers") << (result == 2 ? " (stopped)" : "")
             << "\n";
  }
  return result == 2 ? cli::kExitFailed : cli::kExitOk;
}

struct QueryOptions {
  CommonOptions common;
  std::string address;
};

int runQuery(cli::Context& ctx, const QueryOptions& q) {
  const std::string command = "query";
  const CommonOptions& o = q.common;
  const std::string& address = q.address;
  const auto ip = devices::parseIpv4(address);
  if (!ip) return cli::usageError(ctx, command, "'" + address + "' is no IPv4 address");
  if (const std::string refusal = cli::snmpcmd::loopbackRefusal(*ip); !refusal.empty())
    return cli::failure(ctx, command, refusal);

  cli::snmpcmd::installInterruptHandler();
  snmpaccess::HeadlessProgress progress(&snmp::headlessWatch(), &cli::snmpcmd::gInterrupted);
  devices::CIpDevice device(address);
  device.progress = &progress;
  device.querySettings.discoveryPort = o.port;
  device.querySettings.replyTimeoutMs = o.timeoutMs;
  device.querySettings.secondFamilyPort = platform::netConfig().secondFamilyPort;
  // One unit in detail: every column it has, location, firmware and wireless included.
  device.querySettings.extraColumns = true;
  const int result = device.query();
  if (result == 2) return cli::failure(ctx, command, "stopped");
  if (result != 0) {
    const bool badFormat = device.statusWordText == devices::kTextBadFormat;
    return cli::failure(ctx, command,
                        address + ": " +
                            (badFormat ? std::string("the reply is in an unknown format")
                                       : "no answer within " + std::to_string(o.timeoutMs) + " ms (" +
                                             devices::kTextCannotCommunicate + ")"));
  }
  std::string whatsWrong;
  device.composeStatusText(whatsWrong, 255);
  const int level = device.statusLevel(0, device.querySettings.masks);

  struct Field {
    const char* name;
    std::string value;
  };
  std::vector<Field> fields;
  for (int c = 0; c < devices::kColumnCount; ++c) {
    if (devices::isPortColumn(c)) continue;
    if (const char* t = devices::deviceColumnText(device, c)) fields.push_back({devices::columnTitle(c), t});
  }
  fields.push_back({"Family", std::string(device.familyCode.view())});
  fields.push_back({"Reply Format", std::to_string(device.replyFormat)});
  fields.push_back({"Kind", device.kind == devices::kKindSecondFamily ? "second family" : "native"});
  fields.push_back({"Configured", device.configured ? "yes" : "no"});
  fields.push_back({"Answered", device.answered ? "yes" : "no"});
  fields.push_back({"Status Level", std::to_string(level) + " (" + devices::statusWord(level) + ")"});
  fields.push_back({"Port Count", std::to_string(device.portCount())});

  if (ctx.json) {
    nlohmann::json j = nlohmann::json::object();
    for (int c = 0; c < devices::kColumnCount; ++c) {
      if (devices::isPortColumn(c)) continue;
      if (const char* t = devices::deviceColumnText(device, c)) j[jsonKey(devices::columnTitle(c))] = t;
    }
    j["family"] = std::string(device.familyCode.view());
    j["replyFormat"] = device.replyFormat;
    j["kind"] = device.kind == devices::kKindSecondFamily ? "second family" : "native";
    j["configured"] = device.configured;
    j["answered"] = device.answered;
    j["statusWord"] = devices::statusWord(level);
    j["portCount"] = device.portCount();
    nlohmann::json ports = nlohmann::json::array();
    for (int p = 0; p < device.portCount(); ++p) {
      device.setCurrentPort(p);
      nlohmann::json port = nlohmann::json::object();
      for (int c = 0; c < devices::kColumnCount; ++c)
        if (devices::isPortColumn(c) || c == 14)
          if (const char* t = devices::deviceColumnText(device, c)) port[jsonKey(devices::columnTitle(c))] = t;
      ports.push_back(port);
    }
    device.setCurrentPort(-1);
    j["ports"] = ports;
    j["statusLevel"] = level;
    j["whatsWrong"] = whatsWrong;
    cli::writeJson(ctx, j);
  } else {
    std::size_t width = 0;
    for (const Field& f : fields) width = std::max(width, std::string(f.name).size());
    for (const Field& f : fields) *ctx.out << f.name << ":" << std::string(width + 2 - std::string(f.name).size(), ' ') << f.value << "\n";
    for (int p = 0; p < device.portCount(); ++p) {
      device.setCurrentPort(p);
      *ctx.out << "Port " << (p + 1) << ":";
      for (int c = 0; c < devices::kColumnCount; ++c)
        if (devices::isPortColumn(c) || c == 14)
          if (const char* t = devices::deviceColumnText(device, c); t && *t) *ctx.out << "  " << devices::columnTitle(c) << "=" << t;
      *ctx.out << "\n";
    }
    device.setCurrentPort(-1);
    *ctx.out << "What's Wrong:\n" << whatsWrong << "\n";
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kDiscover({
    "discover",
    "find print servers on the network",
    "Searches like a view: --local (the default without entries) broadcasts on the local network;\n"
    "each ENTRY is a list entry: an address (127.0.1.7), a subnet scan (127.0.1.*), a directed\n"
    "broadcast (127.0.1.255<DB>), a multicast (Multicast<4>) or an address file (File<list.txt>).\n"
    "Devices are reported on stderr as they are found, then listed on stdout with the chosen\n"
    "catalogue columns. Ctrl-C stops the search and keeps what was found.\n\n"
    "--view NAME runs that TCP/IP view's search and prints its rows with its columns, filter and\n"
    "sort; the wait and port then come from the settings file unless --timeout/--port are given.\n\n"
    "--protocol netware searches as a NetWare view: print servers in the bindery of the default file\n"
    "server, else those answering a SAP query over IPX; entries are serial numbers or NAME>NETWORK.\n\n"
    "Exit status: 0 searched, 1 stopped or failed, 2 usage error (also an entry that is not valid).",
    [](CLI::App& app) {
      auto d = std::make_shared<DiscoverOptions>();
      addCommon(app, d->common);
      app.add_flag("--local", d->local, "broadcast on the local network (the default without entries)");
      app.add_flag("--csv", d->csv, "print the list as CSV");
      cli::addChoice(app, "--protocol", d->protocol, {"tcpip", "netware"},
                     "tcpip (default) or netware: the bindery, then SAP over IPX; entries are serial numbers or NAME>NETWORK");
      app.add_flag("--quick", d->quick,
                   "quick search: a broadcast round ends once no new unit has answered for 0.3 s (off by default)");
      cli::completeAs(app.add_option("--view", d->view, "run the search of this TCP/IP view")
                          ->type_name("NAME")
                          ->each([d](const std::string&) { d->viewGiven = true; }),
                      cli::Completion::View);
      app.add_option("--columns", d->columns, "catalogue column titles, separated by commas")
          ->type_name("T1,T2")
          ->each([d](const std::string&) { d->hasColumns = true; });
      app.add_option("ENTRY", d->entries, "search-list entries");
      return [d](cli::Context& ctx) { return runDiscover(ctx, *d); };
    },
});

const cli::CommandRegistration kQuery({
    "query",
    "ask one print server for its identity and status",
    "Sends the discovery request to ADDRESS and prints every field of the reply, the status level\n"
    "and the What's Wrong text.\n\n"
    "Exit status: 0 answered, 1 no answer (the reason is printed), 2 usage error.",
    [](CLI::App& app) {
      auto q = std::make_shared<QueryOptions>();
      addCommon(app, q->common);
      app.add_option("ADDRESS", q->address, "the print server's IPv4 address")->required();
      return [q](cli::Context& ctx) { return runQuery(ctx, *q); };
    },
});

}  // namespace
