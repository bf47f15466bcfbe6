#include "cli/cmd_multi_common.h"

#include <fstream>
#include <mutex>

#include "access/mib_group.h"
#include "app/list_export.h"
#include "cli/sheet_command.h"

namespace cli::multicmd {

void addUnitOptions(CLI::App& app, UnitOptions& o) {
  snmpcmd::addOptions(app, o.snmp);
  app.add_option("--addresses", o.addressFile, "read further addresses from FILE, one per line")->type_name("FILE");
  app.add_option("--family", o.family, "the units' product family code (default: the native family)")->type_name("CODE");
  app.add_option("--in-flight", o.inFlight, "units served at once (1 to 6, default 4)")
      ->check(CLI::Range(1, multi::kMaxInFlight))
      ->type_name("N");
  addViewOptions(app, o.view);
  app.add_option("ADDRESS", o.addresses, "the print servers, in the order of the results");
}

void addViewOptions(CLI::App& app, viewlist::SearchOptions& view, const std::string& note) {
  completeAs(app.add_option("--view", view.view, note + "also the print servers the saved view NAME lists after its search")
                 ->type_name("NAME"),
             Completion::View);
  app.add_option("--search-timeout", view.timeoutMs, note + "the view's search waits MS for replies (default: the Broadcast setting)")
      ->check(CLI::Range(1, 600000))
      ->type_name("MS");
  app.add_option("--discovery-port", view.port, note + "the view's search port (default: the settings' DiscoveryPort)")
      ->check(CLI::Range(1, 65535))
      ->type_name("N");
}

bool makeUnits(Context& ctx, const std::string& command, const UnitOptions& o, snmpcmd::Engine& engine,
               std::vector<multi::MultiUnit>& units, int& exit) {
  std::vector<std::string> addresses = o.addresses;
  if (!o.addressFile.empty()) {
    std::ifstream in(o.addressFile);
    if (!in) {
      exit = usageError(ctx, command, "cannot read the address file '" + o.addressFile + "'");
      return false;
    }
    std::string line;
    // A list longer than any view is not an address file.
    for (int n = 0; std::getline(in, line) && n < 65536; ++n) {
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
      const std::size_t start = line.find_first_not_of(" \t");
      if (start == std::string::npos || line[start] == '#') continue;
      addresses.push_back(line.substr(start));
    }
  }
  if (!o.view.view.empty()) {
    viewlist::ViewList view;
    if ((exit = viewlist::searchView(ctx, command, o.view, view)) != kExitOk) return false;
    if (view.stopped) {
      exit = failure(ctx, command, "the search of \"" + view.name + "\" was stopped: nothing was sent");
      return false;
    }
    const std::vector<std::string> listed = app::listedAddresses(view.list);
    if (listed.empty()) {
      exit = failure(ctx, command, "the view \"" + view.name + "\" lists no configured print server");
      return false;
    }
    addresses.insert(addresses.end(), listed.begin(), listed.end());
  }
  if (addresses.empty()) {
    exit = usageError(ctx, command, "no print server given (ADDRESS..., --addresses FILE or --view NAME)");
    return false;
  }
  std::string prefix;
  if (!sheetcmd::familyPrefix(o.family, prefix)) {
    exit = usageError(ctx, command, "'" + o.family + "' is not a product family of the settings");
    return false;
  }
  for (const std::string& a : addresses) {
    snmpaccess::SnmpTarget t;
    if (!snmpcmd::makeTarget(ctx, command, a, o.snmp, &engine.progress(), t, exit)) return false;
    multi::MultiUnit u;
    u.name = a;
    u.address = t.address;
    u.family = t.family;
    u.getCommunity = t.getCommunity;
    u.setCommunity = t.setCommunity;
    u.prefix = prefix;
    units.push_back(std::move(u));
  }
  return true;
}

multi::MultiRunOptions runOptions(Context& ctx, const UnitOptions& o) {
  snmpcmd::installInterruptHandler();
  sheetcmd::applyTimeouts(o.snmp);
  multi::MultiRunOptions r;
  r.inFlight = o.inFlight;
  r.getTimeout = snmpaccess::groupGetTimeout();
  r.setTimeout = snmpaccess::groupSetTimeout();
  r.stop = &snmpcmd::gInterrupted;
  std::ostream* err = ctx.err;
  r.progress = [err](std::size_t, const std::string& text) {
    // From the worker threads: one whole line per write.
    static std::mutex m;
    std::lock_guard lock(m);
    *err << text + "\n" << std::flush;
  };
  return r;
}

}  // namespace cli::multicmd
