// trellanctl reset: restarts a print server, or brings back its factory values for the whole
// unit or for named parts, as the "Reset Server" dialog does.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "cli/sheet_command.h"
#include "config/backup_texts.h"
#include "config/reset_server.h"

namespace {

using namespace cli::snmpcmd;
using namespace cli::sheetcmd;
const std::string kCommand = "reset";

struct ResetOptions {
  Options snmp;
  std::string address;
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

int runReset(cli::Context& ctx, const ResetOptions& o) {
  installInterruptHandler();
  Engine engine;
  if (!engine.started()) return cli::failure(ctx, kCommand, "the SNMP engine could not be started");
  snmpaccess::SnmpTarget target;
  int exit = cli::kExitOk;
  if (!makeTarget(ctx, kCommand, o.address, o.snmp, &engine.progress(), target, exit)) return exit;
  applyTimeouts(o.snmp);
  std::string prefix;
  if (!familyPrefix(o.family, prefix))
    return cli::usageError(ctx, kCommand, "'" + o.family + "' is not a product family of the settings");
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
    "Exit status: 0 done, 1 the unit could not be read or did not take the trigger, 2 usage error.",
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
      app.add_option("ADDRESS", o->address, "the print server")->required();
      return [o](cli::Context& ctx) { return runReset(ctx, *o); };
    },
});

}  // namespace
