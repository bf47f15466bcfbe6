// trellanctl backup: saves a print server's configuration to a backup file, as "S&ave
// Configuration" does. The values a unit never reveals (SET community, passwords) are added when
// given as options or in a file; they are never printed.
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <string>

#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "cli/sheet_command.h"
#include "config/backup_texts.h"
#include "config/config_backup.h"
#include "platform/atomic_file.h"

namespace {

using namespace cli::snmpcmd;
using namespace cli::sheetcmd;
const std::string kCommand = "backup";

struct BackupOptions {
  Options snmp;
  std::string address;
  std::string family;
  std::string file;
  std::string setCommunity, password, netwarePassword, vinesPassword;
  std::string writeOnlyFile;
};

// "NAME=VALUE" lines; "#" starts a comment line. False with `problem` set on a bad line.
bool readWriteOnlyFile(const std::string& path, BackupOptions& o, std::string& problem) {
  const platform::FileRead r = platform::readFileBounded(path, 64 * 1024);
  if (r.status != platform::ReadStatus::Ok) {
    problem = "cannot read " + path + (r.error.empty() ? std::string() : ": " + r.error);
    return false;
  }
  std::istringstream in(r.data);
  std::string line;
  int number = 0;
  while (std::getline(in, line) && number < 1000) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t eq = line.find('=');
    const std::string name = eq == std::string::npos ? line : line.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    std::string* field = name == "set-community"      ? &o.setCommunity
                         : name == "password"         ? &o.password
                         : name == "netware-password" ? &o.netwarePassword
                         : name == "vines-password"   ? &o.vinesPassword
                                                      : nullptr;
    if (!field || eq == std::string::npos) {
      // The line is not shown: it may hold a password.
      problem = path + ": line " + std::to_string(number) +
                " is not set-community=, password=, netware-password= or vines-password=";
      return false;
    }
    if (field->empty()) *field = value;  // an option given on the command line wins
  }
  return true;
}

int runBackup(cli::Context& ctx, BackupOptions o) {
  if (!o.writeOnlyFile.empty()) {
    std::string problem;
    if (!readWriteOnlyFile(o.writeOnlyFile, o, problem)) return cli::usageError(ctx, kCommand, problem);
  }
  installInterruptHandler();
  Engine engine;
  snmpaccess::SnmpTarget target;
  std::string prefix;
  int exit = cli::kExitOk;
  if (!openUnit(ctx, kCommand, o.address, o.snmp, o.family, engine, target, prefix, exit)) return exit;
  config::SheetServices services = sheetServices(ctx, kCommand, engine, 40);
  services.prefix = prefix;
  config::CConfigPropSheet sheet(std::move(services));
  if (sheet.Start(target, 0) != 0) return cli::kExitFailed;

  config::WriteOnlyInfoModel model = config::WriteOnlyInfoModel::forSheet(sheet);
  const struct {
    config::WriteOnlyInfoModel::Field field;
    const std::string* value;
    const char* option;
  } given[] = {
      {config::WriteOnlyInfoModel::SetCommunity, &o.setCommunity, "--set-community"},
      {config::WriteOnlyInfoModel::TcpIpPassword, &o.password, "--password"},
      {config::WriteOnlyInfoModel::NetWarePassword, &o.netwarePassword, "--netware-password"},
      {config::WriteOnlyInfoModel::VinesPassword, &o.vinesPassword, "--vines-password"},
  };
  for (const auto& g : given) {
    if (g.value->empty()) continue;
    const auto& item = model.item(g.field);
    if (!item.enabled) {
      *ctx.err << "trellanctl backup: " << g.option << " is ignored: the unit has no such value\n";
      continue;
    }
    if (g.value->size() > item.maxLength)
      *ctx.err << "trellanctl backup: " << g.option << " is cut to " << item.maxLength << " characters\n";
    model.set(g.field, *g.value);
  }

  const config::BackupSaveResult r = config::saveConfiguration(sheet, o.file, model.values());
  if (!r.error.empty()) *ctx.err << "trellanctl backup: " << r.error << "\n";
  if (r.rc) {
    reportLine(ctx, kCommand, config::saveSummaryText(r.rc), 0);
    if (!r.written) *ctx.err << "trellanctl backup: " << o.file << " was left as it was\n";
  }
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"address", o.address},
                                       {"file", o.file},
                                       {"written", r.written},
                                       {"complete", r.rc == 0},
                                       {"writeOnlyValues", r.writeOnly}});
  } else if (r.written) {
    *ctx.out << "Saved the configuration of " << o.address << " to " << o.file
             << (r.writeOnly ? " (with write-only values; readable by its owner only)" : "") << ".\n";
  }
  return r.rc ? cli::kExitFailed : cli::kExitOk;
}

const cli::CommandRegistration kBackup({
    "backup",
    "save a print server's configuration to a backup file (as Save Configuration)",
    "Reads the unit as the configuration sheet does and writes every page's values to FILE (a\n"
    "\".cfg\" file in the Windows INI form, CR LF). FILE is replaced only when every value saved;\n"
    "when some value did not save, an existing FILE is left as it was and a new one is written as\n"
    "far as it got. Values a unit never reveals can be added: --set-community (the SET community\n"
    "stored in the file, not the one used to read), --password (telnet/HTTP), --netware-password,\n"
    "--vines-password, or the same names as NAME=VALUE lines in --write-only-file (which keeps\n"
    "them out of the process list). They are stored in clear text and never printed; a file that\n"
    "holds them gets mode 0600.\n\n"
    "Exit status: 0 saved, 1 the unit could not be read or a value did not save, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<BackupOptions>();
      app.add_option("--community", o->snmp.community, "GET community (default: the settings' device access list)");
      app.add_option("--timeout", o->snmp.timeout, "wait per transmission in hundredths of a second")
          ->check(CLI::Range(1u, 360000u))
          ->each([o](const std::string&) { o->snmp.timeoutGiven = true; });
      app.add_option("--set-community", o->setCommunity, "SET community to store in the file (write-only value)")
          ->type_name("C");
      app.add_option("--password", o->password, "telnet/HTTP password to store (write-only value)")->type_name("P");
      app.add_option("--netware-password", o->netwarePassword, "NetWare password to store")->type_name("P");
      app.add_option("--vines-password", o->vinesPassword, "VINES password to store")->type_name("P");
      cli::completeAs(app.add_option("--write-only-file", o->writeOnlyFile, "write-only values as NAME=VALUE lines"),
                      cli::Completion::File);
      app.add_option("--family", o->family, "the unit's product family code (default: the native family)")
          ->type_name("CODE");
      app.add_option("ADDRESS", o->address, "the print server")->required();
      cli::completeAs(app.add_option("FILE", o->file, "the backup file to write")->required(), cli::Completion::File);
      return [o](cli::Context& ctx) { return runBackup(ctx, *o); };
    },
});

}  // namespace
