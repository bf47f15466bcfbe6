// trellanctl status: the status sheet of one print server on the command line, page by page,
// and the status report the sheet's Save writes (--report). Nothing is written to the unit.
#include <ctime>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "access/result_codes.h"
#include "app/settings.h"
#include "cli/cmd_snmp_common.h"
#include "cli/cmd_status_common.h"
#include "cli/command.h"
#include "platform/registry.h"
#include "status/diagnostics_sheet.h"

namespace {

using namespace cli::snmpcmd;
const std::string kCommand = "status";

struct StatusOptions {
  Options snmp;
  std::string address;
  std::string report;
  std::string name;
  int port = 1;
};

std::string key(std::string label) {
  while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.pop_back();
  return label;
}

int runStatus(cli::Context& ctx, const StatusOptions& o) {
  installInterruptHandler();
  Engine engine;
  if (!engine.started()) return cli::failure(ctx, kCommand, "the SNMP engine could not be started");
  snmpaccess::SnmpTarget target;
  int exit = cli::kExitOk;
  if (!makeTarget(ctx, kCommand, o.address, o.snmp, &engine.progress(), target, exit)) return exit;
  target.setSetCommunity("");  // status needs read access only
  const platform::Registry settings(platform::Registry::defaultPath(), [](const std::string&) {},
                                    platform::Registry::Access::ReadOnly);
  app::applyGroupTimeouts(settings, commandLineTimeout(o.snmp));

  status::CDiagnosticsPropSheet sheet(cli::statuscmd::services(ctx, kCommand));
  if (sheet.Start(target, o.port - 1, "", "", false) != 0) return cli::kExitFailed;
  // The report names the unit as the device list does: its system name, unless given.
  const std::string name = o.name.empty() ? sheet.systemPage().value("Name:") : o.name;
  const std::string serial = sheet.serverPage().value("Serial Number:");
  sheet.setIdentity(name, serial);

  if (!o.report.empty() && sheet.saveReport(o.report, std::time(nullptr)) != 0) return cli::kExitFailed;

  if (ctx.json) {
    nlohmann::json pages = nlohmann::json::object();
    for (status::CStatusPage* page : sheet.pages()) {
      nlohmann::json p = nlohmann::json::object();
      if (page == &sheet.networkPage()) {
        for (const auto& [number, protocol] : sheet.networkPage().protocols()) p[protocol] = sheet.networkPage().sectionText(number);
      } else {
        for (const status::StatusRow& r : page->rows())
          if (r.shown) p[key(r.label)] = r.value;
      }
      pages[page->title()] = p;
    }
    nlohmann::json out{{"address", o.address}, {"name", name}, {"pages", pages}};
    if (!o.report.empty()) out["report"] = o.report;
    cli::writeJson(ctx, out);
    return cli::kExitOk;
  }
  for (status::CStatusPage* page : sheet.pages()) {
    *ctx.out << "[" << page->title() << "]\n";
    if (page == &sheet.networkPage()) {
      for (const auto& [number, protocol] : sheet.networkPage().protocols()) {
        *ctx.out << "  " << protocol << ":\n";
        std::string text = sheet.networkPage().sectionText(number);
        std::string line;
        for (char c : text) {
          if (c == '\r') continue;
          if (c == '\n') {
            *ctx.out << "    " << line << "\n";
            line.clear();
          } else {
            line += c;
          }
        }
        if (!line.empty()) *ctx.out << "    " << line << "\n";
      }
      continue;
    }
    for (const status::StatusRow& r : page->rows())
      if (r.shown) *ctx.out << "  " << key(r.label) << " = " << r.value << "\n";
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kStatus({
    "status",
    "show the status of a print server (as the status sheet) and write its status report",
    "Reads the unit's status as the status sheet does and prints it page by page (Printer, Server,\n"
    "Network, Statistics, Tech Support, System, Wireless); --json gives the same as an object.\n"
    "--report FILE writes the status report the sheet's Save writes (CR LF line breaks).\n"
    "Nothing is written to the unit.\n\n"
    "Exit status: 0 done, 1 the unit could not be read or the report not written, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<StatusOptions>();
      addOptions(app, o->snmp);
      app.add_option("--report", o->report, "write the status report to this file")->type_name("FILE");
      app.add_option("--name", o->name, "the name the report gives the unit (default: its system name)");
      app.add_option("--output-port", o->port, "the output port the Printer page shows (1-based)")
          ->check(CLI::Range(1, 16))
          ->type_name("N");
      app.add_option("ADDRESS", o->address, "the print server")->required();
      return [o](cli::Context& ctx) { return runStatus(ctx, *o); };
    },
});

}  // namespace
