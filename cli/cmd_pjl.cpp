// trellanctl pjl: asks the printer behind one output port for PJL status, as the status sheet's
// PJL page does: the unit's raw printing port and port states are read over SNMP first.
#include <ctime>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "app/settings.h"
#include "cli/cmd_snmp_common.h"
#include "cli/cmd_status_common.h"
#include "cli/command.h"
#include "platform/registry.h"
#include "status/diagnostics_sheet.h"
#include "status/pjl_page.h"

namespace {

using namespace cli::snmpcmd;
const std::string kCommand = "pjl";

struct PjlOptions {
  Options snmp;
  std::string address;
  int port = 1;
  std::string request = "STATUS";
  std::string save;
};

int requestIndex(const std::string& word) {
  for (int i = 0; i < status::kPjlRequestCount; ++i)
    if (std::string("INFO ") + word == status::kPjlRequests[i].word) return i;
  return -1;
}

int runPjl(cli::Context& ctx, const PjlOptions& o) {
  const int request = requestIndex(o.request);
  if (request < 0) return cli::usageError(ctx, kCommand, "--request: '" + o.request + "' is not one of STATUS, CONFIG, VARIABLES, MEMORY, PAGECOUNT, ID");
  installInterruptHandler();
  Engine engine;
  if (!engine.started()) return cli::failure(ctx, kCommand, "the SNMP engine could not be started");
  snmpaccess::SnmpTarget target;
  int exit = cli::kExitOk;
  if (!makeTarget(ctx, kCommand, o.address, o.snmp, &engine.progress(), target, exit)) return exit;
  if (target.family != snmpaccess::kFamilyIpv4) return cli::usageError(ctx, kCommand, "PJL needs an IP address");
  target.setSetCommunity("");
  const platform::Registry settings(platform::Registry::defaultPath(), [](const std::string&) {},
                                    platform::Registry::Access::ReadOnly);
  app::applyGroupTimeouts(settings, commandLineTimeout(o.snmp));

  status::CDiagnosticsPropSheet sheet(cli::statuscmd::services(ctx, kCommand));
  if (sheet.Start(target, o.port - 1, "", "", false) != 0) return cli::kExitFailed;
  sheet.setIdentity(sheet.systemPage().value("Name:"), sheet.serverPage().value("Serial Number:"));
  status::CPjlPage& page = sheet.pjlPage();
  if (o.port > page.portCount())
    return cli::usageError(ctx, kCommand, "--port: the unit has " + std::to_string(page.portCount()) + " port(s)");
  std::string said;
  page.setMessageSink([&](const std::string& m) {
    said = m;
    *ctx.err << "trellanctl " << kCommand << ": " << m << "\n";
  });
  status::PjlLimits limits;
  limits.replySeconds = status::pjlReplySeconds(snmpaccess::groupGetTimeout());
  page.setLimits(limits);
  page.create();
  page.selectPort(o.port - 1);
  page.selectRequest(request);
  if (!page.sendEnabled()) return cli::failure(ctx, kCommand, page.message());
  const int rc = page.send();
  if (!o.save.empty() && page.save(o.save, std::time(nullptr)) != 0) return cli::kExitFailed;
  if (ctx.json) {
    nlohmann::json out{{"address", o.address}, {"port", o.port}, {"rawPort", page.rawPortBase() + o.port - 1},
                       {"request", status::kPjlRequests[request].word}, {"response", page.response()}};
    if (!said.empty()) out["message"] = said;
    cli::writeJson(ctx, out);
  } else {
    *ctx.out << page.response();
  }
  return rc == 0 ? cli::kExitOk : cli::kExitFailed;
}

const cli::CommandRegistration kPjl({
    "pjl",
    "ask the printer behind an output port for PJL status (as the status sheet's PJL page)",
    "Reads the unit's raw printing port and port states over SNMP, connects to the raw printing\n"
    "port of output port N, sends one PJL INFO request between UEL sequences and prints the reply\n"
    "as the page's response log shows it. --save FILE writes the log file the page's \"Save PJL\"\n"
    "writes. Every wait is bounded (the GET time-out + 2 s for the reply, 1 s per further piece).\n\n"
    "Exit status: 0 a reply was received, 1 no reply or no connection, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<PjlOptions>();
      addOptions(app, o->snmp);
      app.add_option("--port", o->port, "output port (1-based)")->capture_default_str()->check(CLI::Range(1, 16))->type_name("N");
      app.add_option("--request", o->request, "STATUS, CONFIG, VARIABLES, MEMORY, PAGECOUNT or ID")
          ->capture_default_str()
          ->type_name("WORD");
      app.add_option("--save", o->save, "write the response log file")->type_name("FILE");
      app.add_option("ADDRESS", o->address, "the print server")->required();
      return [o](cli::Context& ctx) { return runPjl(ctx, *o); };
    },
});

}  // namespace
