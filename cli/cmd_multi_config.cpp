// trellanctl multi-config: writes the same settings to many print servers, optionally sends them
// a certificate, resets them and writes the results file "tlmltcfg.txt", as "Configure Multiple
// Devices" does.
#include <ctime>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cmd_multi_common.h"
#include "cli/command.h"
#include "multi/multi_config_fields.h"
#include "multi/multi_config_log.h"
#include "snmp/winsnmp.h"

namespace {

using namespace cli::multicmd;
const std::string kCommand = "multi-config";

struct MultiConfigOptions {
  UnitOptions units;
  std::vector<std::string> sets;
  std::string certificate;
  std::string password;
  std::string results;
  bool list = false;
};

int listFields(cli::Context& ctx) {
  if (ctx.json) {
    nlohmann::json all = nlohmann::json::array();
    for (const multi::MultiField& f : multi::multiFields()) {
      nlohmann::json choices = nlohmann::json::array();
      for (const multi::FieldChoice& c : f.choices) choices.push_back(c.name);
      all.push_back({{"name", f.name}, {"label", f.label}, {"oid", f.oid}, {"perPort", f.perPort}, {"choices", choices}});
    }
    cli::writeJson(ctx, nlohmann::json{{"settings", all}});
    return cli::kExitOk;
  }
  for (const multi::MultiField& f : multi::multiFields()) {
    std::string values;
    switch (f.kind) {
      case multi::FieldKind::TriState:
      case multi::FieldKind::TriStateInverted: values = "on|off"; break;
      case multi::FieldKind::Choice:
        for (const multi::FieldChoice& c : f.choices) values += (values.empty() ? "" : "|") + std::string(c.name);
        break;
      case multi::FieldKind::Text:
        values = "text of " + std::to_string(f.minimum) + "-" + std::to_string(f.maximum) + " characters";
        break;
      case multi::FieldKind::Address: values = "IPv4 address"; break;
      case multi::FieldKind::Number: values = std::to_string(f.minimum) + "-" + std::to_string(f.maximum); break;
      case multi::FieldKind::WepKey: values = "10 or 26 hexadecimal digits"; break;
      case multi::FieldKind::AddressMethods: values = "rarp,bootp,dhcp,gleaning,allowtimeout"; break;
    }
    *ctx.out << f.name << "  (" << f.label << (f.perPort ? ", every port" : "") << "): " << values << "\n";
  }
  return cli::kExitOk;
}

int runMultiConfig(cli::Context& ctx, const MultiConfigOptions& o) {
  if (o.list) return listFields(ctx);
  std::vector<std::pair<std::string, std::string>> values;
  for (const std::string& s : o.sets) {
    const std::size_t eq = s.find('=');
    if (eq == std::string::npos || eq == 0)
      return cli::usageError(ctx, kCommand, "--set takes NAME=VALUE, not '" + s + "'");
    values.emplace_back(s.substr(0, eq), s.substr(eq + 1));
  }
  multi::CMultiConfigSettings settings;
  if (const std::string problem = multi::buildMultiSettings(values, settings); !problem.empty())
    return cli::usageError(ctx, kCommand, problem);
  if (!o.certificate.empty() && o.password.empty())
    return cli::usageError(ctx, kCommand, "Transmission of security certificate files requires a password.");
  if (o.password.size() > 16) return cli::usageError(ctx, kCommand, "the device password has at most 16 characters");

  cli::snmpcmd::Engine engine;
  if (!engine.started()) return cli::failure(ctx, kCommand, "the SNMP engine could not be started");
  std::vector<multi::MultiUnit> units;
  int exit = cli::kExitOk;
  if (!makeUnits(ctx, kCommand, o.units, engine, units, exit)) return exit;
  multi::MultiRunOptions options = runOptions(ctx, o.units);
  options.certificateFile = o.certificate;
  options.password = o.password;
  if (multi::multiRunIsEmpty(settings, options)) {
    *ctx.err << "trellanctl multi-config: no setting given and no certificate: nothing was sent\n";
    if (ctx.json) cli::writeJson(ctx, nlohmann::json{{"units", nlohmann::json::array()}, {"sent", false}});
    return cli::kExitOk;
  }

  const multi::MultiRunReport report = multi::runMultiConfig(units, settings, options);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const multi::CMultiConfigLog log = multi::multiConfigLog(units, report, true, local);
  const std::string path = o.results.empty() ? multi::defaultResultsPath() : o.results;
  std::string error;
  const bool written = log.write(path, &error);
  if (!written) *ctx.err << "trellanctl multi-config: the results file was not written: " << error << "\n";

  if (ctx.json) {
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t i = 0; i < units.size(); ++i) {
      const multi::MultiUnitOutcome& u = report.units[i];
      nlohmann::json j = {{"address", units[i].address},
                          {"ran", u.ran},
                          {"result", u.code},
                          {"resultText", multi::multiResultText(u.code)},
                          {"reset", u.reset}};
      j["certificate"] = u.certificateSent ? nlohmann::json(u.certificate) : nlohmann::json(nullptr);
      list.push_back(std::move(j));
    }
    cli::writeJson(ctx, nlohmann::json{{"units", list},
                                       {"errors", report.errors},
                                       {"resets", report.resets},
                                       {"stopped", report.stopped},
                                       {"resultsFile", written ? nlohmann::json(path) : nlohmann::json(nullptr)}});
  } else {
    std::string text = log.text();
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    *ctx.out << text << "\n";
    if (report.resets > 0)
      *ctx.out << report.resets
               << " configured units are resetting.\nThey are unreachable until reinitialization is complete.\n";
    if (written) *ctx.out << "Results: " << path << "\n";
  }
  if (report.stopped) *ctx.err << "trellanctl multi-config: stopped; units not reached are not listed\n";
  return report.errors || report.stopped ? cli::kExitFailed : cli::kExitOk;
}

const cli::CommandRegistration kMultiConfig({
    "multi-config",
    "write the same settings to many print servers and reset them (as Configure Multiple Devices)",
    "Each --set NAME=VALUE is one setting of the dialog (--list names them with their values);\n"
    "settings not given are left as they are and not sent. Every unit is written (one SET per\n"
    "setting; per-port settings reach every port), optionally sent --certificate by FTP with\n"
    "--password, then reset. The results file (default $XDG_STATE_HOME/Quorvel/tlmltcfg.txt) lists\n"
    "every unit in the order given. Units are served a few at a time (--in-flight), so silent\n"
    "ones cost only their own time-outs. The units are every ADDRESS, every line of --addresses\n"
    "FILE, then every print server the saved view --view NAME lists after its search (in its sort\n"
    "order and through its display filter, each once, as export --addresses writes them).\n\n"
    "Exit status: 0 every unit took its settings, 1 a unit reported an error, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<MultiConfigOptions>();
      addUnitOptions(app, o->units);
      app.add_option("--set", o->sets, "a setting (repeatable)")->type_name("NAME=VALUE")->allow_extra_args(false);
      app.add_option("--certificate", o->certificate, "wireless security certificate sent to every unit")
          ->type_name("FILE")
          ->check(CLI::ExistingFile);
      app.add_option("--password", o->password, "the device password for the certificate (at most 16)")
          ->type_name("TEXT");
      app.add_option("--results", o->results, "where the results file goes")->type_name("FILE");
      app.add_flag("--list", o->list, "list the settings and their values, send nothing");
      return [o](cli::Context& ctx) { return runMultiConfig(ctx, *o); };
    },
});

}  // namespace
