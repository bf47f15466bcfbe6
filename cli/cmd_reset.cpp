// trellanctl reset: restarts a print server, or brings back its factory values for the whole
// unit or for named parts, as the "Reset Server" dialog does.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cmd_multi_common.h"
#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "cli/sheet_command.h"
#include "config/backup_texts.h"
#include "config/reset_server.h"
#include "multi/multi_reset.h"

namespace {

using namespace cli::snmpcmd;
using namespace cli::sheetcmd;
const std::string kCommand = "reset";

struct ResetOptions {
  Options snmp;
  std::string address;
  std::vector<std::string> addresses;  // ADDRESS...: several only with --multi
  std::string addressFile;
  cli::viewlist::SearchOptions view;
  bool multi = false;
  int inFlight = multi::kDefaultInFlight;
  std::string family;
  std::vector<std::string> defaults;
  bool list = false;
  unsigned waitSeconds = 40;
};

std::string joined(const std::vector<std::string>& names) {
  std::string s;
  for (const std::string& n : names) s += (s.empty() ? "\"" : ", \"") + n + "\"";
  return s;
}

// "Reset Selected Devices": one reset each, counted, without questions.
int runMultiReset(cli::Context& ctx, const ResetOptions& o) {
  if (!o.defaults.empty() || o.list)
    return cli::usageError(ctx, kCommand, "--multi restarts the units; --defaults and --list take one unit");
  cli::multicmd::UnitOptions u;
  u.snmp = o.snmp;
  u.addresses = o.addresses;
  u.addressFile = o.addressFile;
  u.view = o.view;
  u.family = o.family;
  u.inFlight = o.inFlight;
  Engine engine;
  if (!engine.started()) return cli::failure(ctx, kCommand, "the SNMP engine could not be started");
  std::vector<multi::MultiUnit> units;
  int exit = cli::kExitOk;
  if (!cli::multicmd::makeUnits(ctx, kCommand, u, engine, units, exit)) return exit;
  const multi::MultiResetCounts c = multi::runMultiReset(units, cli::multicmd::runOptions(ctx, u));
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"selected", c.selected}, {"sent", c.sent}, {"errors", c.errors}, {"stopped", c.stopped}});
  } else {
    *ctx.out << multi::multiResetSummary(c) << "\n";
  }
  return c.errors || c.stopped ? cli::kExitFailed : cli::kExitOk;
}

int runReset(cli::Context& ctx, ResetOptions& o) {
  if (o.multi) return runMultiReset(ctx, o);
  if (o.addresses.size() != 1 || !o.addressFile.empty() || !o.view.view.empty())
    return cli::usageError(ctx, kCommand, "one address, or several with --multi");
  o.address = o.addresses.front();
  installInterruptHandler();
  Engine engine;
  snmpaccess::SnmpTarget target;
  std::string prefix;
  int exit = cli::kExitOk;
  if (!openUnit(ctx, kCommand, o.address, o.snmp, o.family, engine, target, prefix, exit)) return exit;
  config::ResetServices services = resetServices(ctx, kCommand, engine, static_cast<int>(o.waitSeconds));
  services.prefix = prefix;
  config::CResetServer reset(std::move(services));
  if (const int rc = reset.prepare(target)) {
    reportLine(ctx, kCommand, config::texts::kReadingInformation, rc);
    return cli::kExitFailed;
  }
  if (o.list) {
    if (ctx.json) {
      cli::writeJson(ctx, nlohmann::json{{"address", o.address}, {"parts", reset.entries()}});
    } else {
      for (const std::string& e : reset.entries()) *ctx.out << e << "\n";
    }
    return cli::kExitOk;
  }

  bool all = false;
  std::vector<int> selected;
  for (const std::string& name : o.defaults) {
    if (name == "all") {
      all = true;
      continue;
    }
    const int index = reset.findEntry(name);
    if (index < 0)
      return cli::usageError(ctx, kCommand, "'" + name + "' is not a part of this unit; it has " + joined(reset.entries()));
    selected.push_back(index);
  }
  int rc = 0;
  std::string done;
  if (o.defaults.empty()) {
    rc = reset.resetNow();
    if (rc) reportLine(ctx, kCommand, config::texts::kResetFailed, rc);
    done = "reset";
  } else {
    rc = all ? reset.restoreAllNow() : reset.restoreNow(selected);
    if (rc) reportLine(ctx, kCommand, config::texts::kRestoreFailed, rc);
    done = "restored to factory defaults";
  }
  if (rc) return cli::kExitFailed;
  if (!reset.identified())
    *ctx.err << "trellanctl reset: the unit did not answer within " << o.waitSeconds << " s after the restart\n";
  if (ctx.json) {
    std::vector<std::string> parts;
    for (int i : selected) parts.push_back(reset.entries()[static_cast<std::size_t>(i)]);
    cli::writeJson(ctx, nlohmann::json{{"address", o.address},
                                       {"action", o.defaults.empty() ? "reset" : "defaults"},
                                       {"all", all},
                                       {"parts", parts},
                                       {"answered", reset.identified()}});
  } else {
    *ctx.out << o.address << ": " << done << ".\n";
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kReset({
    "reset",
    "restart a print server or restore its factory defaults (as the Reset Server dialog)",
    "Without --defaults: restarts the unit. --defaults all brings back the factory values of the\n"
    "whole unit; --defaults PART (repeatable) those of the named parts only, as the unit lists\n"
    "them (\"Output Ports\" and one per installed protocol; --list prints them). Selecting every\n"
    "part is the same as all. Each trigger is sent whatever the unit reports for it; then the\n"
    "command waits while the unit restarts and asks it again.\n\n"
    "With --multi every ADDRESS (and every line of --addresses FILE, and every print server the\n"
    "saved view --view NAME lists after its search) is sent one reset, a few units at a time,\n"
    "and the reset summary is printed; a unit whose SET community is refused still\n"
    "counts as having received the command.\n\n"
    "Exit status: 0 done, 1 the unit could not be read or did not take the trigger (--multi: an\n"
    "error was counted), 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<ResetOptions>();
      addOptions(app, o->snmp);
      app.add_option("--defaults", o->defaults, "restore factory defaults: all, or a part (repeatable)")
          ->type_name("all|PART");
      app.add_flag("--list", o->list, "print the parts the unit can restore, change nothing");
      app.add_option("--wait", o->waitSeconds, "seconds to wait for the unit after the restart (default 40)")
          ->check(CLI::Range(0u, 3600u))
          ->type_name("SECONDS");
      app.add_option("--family", o->family, "the unit's product family code (default: the native family)")
          ->type_name("CODE");
      app.add_flag("--multi", o->multi, "reset every ADDRESS (as Reset Selected Devices) and print the summary");
      app.add_option("--addresses", o->addressFile, "with --multi: further addresses from FILE, one per line")
          ->type_name("FILE");
      cli::multicmd::addViewOptions(app, o->view, "with --multi: ");
      app.add_option("--in-flight", o->inFlight, "with --multi: units served at once (1 to 6, default 4)")
          ->check(CLI::Range(1, multi::kMaxInFlight))
          ->type_name("N");
      app.add_option("ADDRESS", o->addresses, "the print server (several with --multi)");
      return [o](cli::Context& ctx) { return runReset(ctx, *o); };
    },
});

}  // namespace
