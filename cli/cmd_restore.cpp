// trellanctl restore: writes a backup file back to a print server, as "R&estore Configuration"
// followed by OK does: the unit is read, the file's values are loaded into the pages (only
// values that differ become changes), the changes are sent and the unit is reset.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "access/result_codes.h"
#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "cli/sheet_command.h"
#include "config/config_backup.h"

namespace {

using namespace cli::snmpcmd;
using namespace cli::sheetcmd;
const std::string kCommand = "restore";

struct RestoreOptions {
  Options snmp;
  std::string address;
  std::string family;
  std::string file;
  bool dryRun = false;
  unsigned waitSeconds = 40;
};

int runRestore(cli::Context& ctx, const RestoreOptions& o) {
  installInterruptHandler();
  Engine engine;
  snmpaccess::SnmpTarget target;
  std::string prefix;
  int exit = cli::kExitOk;
  if (!openUnit(ctx, kCommand, o.address, o.snmp, o.family, engine, target, prefix, exit)) return exit;
  config::SheetServices services = sheetServices(ctx, kCommand, engine, static_cast<int>(o.waitSeconds));
  services.prefix = prefix;
  config::CConfigPropSheet sheet(std::move(services));
  if (sheet.Start(target, 0) != 0) return cli::kExitFailed;

  const int loaded = config::restoreConfiguration(sheet, o.file);
  if (loaded == snmpaccess::result::kDoesNotFit) return cli::failure(ctx, kCommand, "cannot read " + o.file);
  if (loaded) reportLine(ctx, kCommand, config::restoreSummaryText(loaded), 0);

  const std::vector<std::string> sets = pendingSets(sheet);
  if (o.dryRun) {
    std::vector<std::string> lines = sets;
    lines.push_back(prefix + ".2.2.0 = 2 (reset)");
    if (ctx.json) {
      cli::writeJson(ctx, nlohmann::json{{"address", o.address}, {"complete", loaded == 0}, {"sets", lines}});
    } else {
      for (const std::string& l : lines) *ctx.out << "SET " << l << "\n";
    }
    return loaded ? cli::kExitFailed : cli::kExitOk;
  }
  // What did load goes to the unit, as confirming the sheet would send it.
  if (sheet.saveAll() != 0) return cli::kExitFailed;
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"address", sheet.newAddress()},
                                       {"complete", loaded == 0},
                                       {"changed", static_cast<int>(sets.size())},
                                       {"reset", true}});
  } else {
    *ctx.out << "Restored " << sets.size() << (sets.size() == 1 ? " value" : " values") << " from " << o.file
             << " and reset; the unit answers at " << sheet.newAddress() << ".\n";
  }
  return loaded ? cli::kExitFailed : cli::kExitOk;
}

const cli::CommandRegistration kRestore({
    "restore",
    "write a backup file back to a print server and reset it (as Restore Configuration)",
    "Reads the unit, loads FILE into the configuration pages (a value becomes a change only when it\n"
    "differs from what the unit holds; keys of another product family are not found and change\n"
    "nothing), sends the changes and resets the unit. An unchanged file sends only the reset.\n"
    "Values that did not load are reported; the others are still sent. --dry-run prints the SETs\n"
    "that would be sent (write-only values as \"(write-only value)\") and sends none.\n\n"
    "Exit status: 0 restored, 1 the unit could not be read or written or a value did not restore,\n"
    "2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<RestoreOptions>();
      addOptions(app, o->snmp);
      app.add_flag("--dry-run", o->dryRun, "print the SETs that would be sent, send none");
      app.add_option("--wait", o->waitSeconds, "seconds to wait for the unit after the reset (default 40)")
          ->check(CLI::Range(0u, 3600u))
          ->type_name("SECONDS");
      app.add_option("--family", o->family, "the unit's product family code (default: the native family)")
          ->type_name("CODE");
      app.add_option("ADDRESS", o->address, "the print server")->required();
      cli::completeAs(app.add_option("FILE", o->file, "the backup file to read")->required(), cli::Completion::File);
      return [o](cli::Context& ctx) { return runRestore(ctx, *o); };
    },
});

}  // namespace
