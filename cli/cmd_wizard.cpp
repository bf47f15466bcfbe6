// trellanctl wizard: the configuration wizard from a file of answers. The same flow as the
// "Configuration Wizard" window: the pages the unit has, moved through with Next, the
// verification text printed as the Verify page shows it, then the save with the reset.
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <string>

#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "cli/sheet_command.h"
#include "wizard/wizard_answers.h"
#include "wizard/wizard_flow.h"

namespace {

using namespace cli::snmpcmd;
using namespace cli::sheetcmd;
const std::string kCommand = "wizard";
constexpr std::streamsize kMaxAnswersBytes = 1 << 20;

struct WizardOptions {
  Options snmp;
  std::string address;
  std::string answersFile;
  std::string family;
  bool dryRun = false;
  unsigned waitSeconds = 40;
};

// The verification text with CR LF line ends as plain lines.
std::string plainLines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

bool readAnswers(const std::string& path, nlohmann::json& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open '" + path + "'";
    return false;
  }
  std::string data(static_cast<std::size_t>(kMaxAnswersBytes) + 1, '\0');
  in.read(data.data(), kMaxAnswersBytes + 1);
  if (in.gcount() > kMaxAnswersBytes) {
    error = "'" + path + "' is larger than 1 MiB";
    return false;
  }
  data.resize(static_cast<std::size_t>(in.gcount()));
  out = nlohmann::json::parse(data, nullptr, false);
  if (out.is_discarded()) {
    error = "'" + path + "' is not valid JSON";
    return false;
  }
  return true;
}

int runWizard(cli::Context& ctx, const WizardOptions& o) {
  nlohmann::json answers;
  std::string error;
  if (!readAnswers(o.answersFile, answers, error)) return cli::usageError(ctx, kCommand, error);
  installInterruptHandler();
  Engine engine;
  snmpaccess::SnmpTarget target;
  std::string prefix;
  int exit = cli::kExitOk;
  if (!openUnit(ctx, kCommand, o.address, o.snmp, o.family, engine, target, prefix, exit)) return exit;

  int messages = 0;
  wizard::WizardServices services;
  services.prefix = prefix;
  services.message = [&ctx, &messages](const std::string& text) {
    ++messages;
    *ctx.err << "trellanctl wizard: " << text << "\n";
  };
  services.pause = [&engine](int ms) {
    return engine.progress().waitFor(0x7FFF, ms).status != snmpaccess::WaitStatus::Stopped;
  };
  services.identify = [&engine](snmpaccess::SnmpTarget& t, int seconds) { return identifyUnit(engine, t, seconds); };
  services.resetTimeoutSeconds = static_cast<int>(o.waitSeconds);
  wizard::WizardFlow flow(std::move(services));
  // The NetWare page arrives with the NetWare area; until then the wizard runs without it.
  if (const int rc = flow.run(target, false)) return reportResult(ctx, kCommand, rc, 0, 0);
  if (!wizard::applyAnswers(flow, answers, error)) return cli::failure(ctx, kCommand, error);
  const std::string text = flow.finishText();

  std::vector<std::string> pages;
  for (int id : flow.sequence())
    if (const wizard::CWzPage* p = flow.page(id)) pages.push_back(p->title());
  if (o.dryRun) {
    if (ctx.json)
      cli::writeJson(ctx, nlohmann::json{{"address", o.address}, {"pages", pages}, {"summary", text}, {"saved", false}});
    else
      *ctx.out << plainLines(text) << "\n";
    return cli::kExitOk;
  }
  if (!ctx.json) *ctx.out << plainLines(text) << "\n";
  *ctx.err << "trellanctl wizard: saving and resetting " << o.address << "\n";
  const int before = messages;
  flow.finish();
  const std::string now = flow.newDeviceAddress().empty() ? o.address : flow.newDeviceAddress();
  if (!flow.identified())
    *ctx.err << "trellanctl wizard: the unit did not answer at " << now << " within " << o.waitSeconds
             << " s after the restart\n";
  if (ctx.json)
    cli::writeJson(ctx, nlohmann::json{{"address", o.address},
                                       {"pages", pages},
                                       {"summary", text},
                                       {"saved", messages == before},
                                       {"newAddress", now},
                                       {"answered", flow.identified()}});
  return messages == before ? cli::kExitOk : cli::kExitFailed;
}

const cli::CommandRegistration kWizard({
    "wizard",
    "configure a print server step by step from a file of answers (as the Configuration Wizard)",
    "Runs the configuration wizard's flow: reads every page the unit has, ticks the protocols\n"
    "named in the answers, fills each page the wizard then shows and leaves it with Next, so every\n"
    "page's own checks apply. The verification text is printed as the Verify page shows it; then\n"
    "every page's changes are written, the unit is reset and asked again at its (new) address.\n"
    "--dry-run stops after the verification text and writes nothing.\n\n"
    "Answers (JSON): {\"protocols\": {\"NAME\": true|false}, \"tcpip\": {\"dynamic\", \"address\",\n"
    "\"mask\", \"gateway\"}, \"ethertalk\": {\"ports\": [{\"name\", \"zone\"}]}, \"serial\": {\"mode\",\n"
    "\"duplex\", \"speed\", \"dataBits\", \"stopBits\", \"parity\", \"flow\", \"modbus\", \"deviceType\",\n"
    "\"tcpException\", \"autoSlaveId\", \"initialDelay\", \"charTimeout\", \"messageTimeout\",\n"
    "\"slaveId\"}, \"wireless\": {\"mode\", \"ssid\", \"channel\", \"rate\", \"radio\", \"density\",\n"
    "\"encryption\", \"keySelection\", \"keys\"}, \"vines\": {\"user\", \"password\", \"services\":\n"
    "[{\"name\", \"port\"}]}}. Answers for a page the unit does not show are refused.\n\n"
    "Exit status: 0 done, 1 the unit could not be read, an answer was refused or a page could not\n"
    "be written, 2 usage error (also a missing or malformed answers file).",
    [](CLI::App& app) {
      auto o = std::make_shared<WizardOptions>();
      addOptions(app, o->snmp);
      app.add_option("--answers", o->answersFile, "the answers file (JSON)")->required()->type_name("FILE");
      app.add_flag("--dry-run", o->dryRun, "print the verification text, write nothing");
      app.add_option("--wait", o->waitSeconds, "seconds to wait for the unit after the restart (default 40)")
          ->check(CLI::Range(0u, 3600u))
          ->type_name("SECONDS");
      app.add_option("--family", o->family, "the unit's product family code (default: the native family)")
          ->type_name("CODE");
      app.add_option("ADDRESS", o->address, "the print server")->required();
      return [o](cli::Context& ctx) { return runWizard(ctx, *o); };
    },
});

}  // namespace
