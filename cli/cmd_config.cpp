// trellanctl config: the configuration sheet of one print server on the command line. Without
// --set it prints the pages as the sheet shows them; with --set NAME=VALUE it runs the pages'
// own validation and change rules, writes what changed and resets the unit, as OK does.
#include <chrono>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "access/group_classes.h"
#include "access/result_codes.h"
#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "config/config_fields.h"
#include "config/config_sheet.h"
#include "config/snmp_traps_page.h"
#include "platform/string_table.h"

namespace {

using namespace cli::snmpcmd;
const std::string kCommand = "config";

std::string bindingValue(const snmpaccess::CVarBind& b) {
  switch (b.syntax()) {
    case SNMP_SYNTAX_INT: {
      smiINT v = 0;
      b.getInteger(v);
      return std::to_string(v);
    }
    case SNMP_SYNTAX_IPADDR: {
      std::uint8_t a[4] = {};
      b.getIpAddress(a);
      return snmpaccess::ipv4ToText(a);
    }
    default: return b.displayText();
  }
}

// The SETs the pages would send now: "OID = value" per changed variable, page by page.
std::vector<std::string> pendingSets(config::CConfigPropSheet& sheet) {
  std::vector<std::string> out;
  std::function<void(snmpaccess::CMibGroup&)> walk = [&](snmpaccess::CMibGroup& g) {
    for (int i = 0; i < g.count(); ++i)
      if (g.changed(i)) out.push_back(g.oidText(i) + " = " + bindingValue(*g.binding(i)));
    for (int i = 0; i < g.extraCount(); ++i)
      if (g.extraPending(i)) out.push_back(g.extra(i)->displayText().empty() ? "" : "(write-only) " + g.extra(i)->displayText());
    for (int c = 0; c < g.childCount(); ++c) walk(*g.child(c));
  };
  for (config::CDevicePage* page : sheet.pages()) {
    page->stage();
    for (snmpaccess::CMibGroup* g : page->groups()) walk(*g);
  }
  return out;
}

std::string textOf(std::uint32_t id) {
  const char* t = platform::loadString(id);
  return t ? t : "";
}

// The destinations of the traps page, per kind, as the list shows them.
void trapDestinations(config::CSnmpTrapsPage& traps, nlohmann::json& out) {
  const int kind = traps.kind;
  for (const config::TrapKindItem& k : traps.kinds) {
    traps.selectKind(k.kind);
    nlohmann::json list = nlohmann::json::array();
    for (const auto& d : traps.destinations)
      if (d.slot != config::kNoSlot) list.push_back(d.text);
    out["destinations." + k.name] = list;
  }
  traps.selectKind(kind);
}

int runConfig(cli::Context& ctx) {
  Options options;
  if (const int rc = takeOptions(ctx, kCommand, options)) return rc;
  std::vector<std::string> sets;
  for (;;) {
    std::string value;
    bool missing = false;
    if (!cli::takeOption(ctx.args, "set", value, missing)) break;
    if (missing || value.find('=') == std::string::npos)
      return cli::usageError(ctx, kCommand, "--set takes NAME=VALUE");
    sets.push_back(value);
  }
  const bool noReset = cli::takeFlag(ctx.args, "no-reset");
  const bool dryRun = cli::takeFlag(ctx.args, "dry-run");
  std::string waitText;
  bool missing = false;
  long waitSeconds = 40;
  if (cli::takeOption(ctx.args, "wait", waitText, missing))
    if (missing || snmpaccess::decimalTextToNumber(waitText, waitSeconds) != 0 || waitSeconds > 3600)
      return cli::usageError(ctx, kCommand, "--wait takes seconds 0-3600");
  for (const auto& a : ctx.args)
    if (a.rfind("--", 0) == 0) return cli::usageError(ctx, kCommand, "unknown option '" + a + "'");
  if (ctx.args.size() != 1) return cli::usageError(ctx, kCommand, "give the ADDRESS of the print server");

  installInterruptHandler();
  Engine engine;
  if (!engine.started()) return cli::failure(ctx, kCommand, "the SNMP engine could not be started");
  snmpaccess::SnmpTarget target;
  if (!makeTarget(ctx, kCommand, ctx.args.front(), options, &engine.progress(), target)) return cli::kExitUsage;
  snmpaccess::setGroupTimeouts(options.timeout, options.timeout);

  config::SheetServices services;
  services.report = [&ctx](std::uint32_t text, int, int code, int) {
    *ctx.err << "trellanctl config: " << textOf(text);
    if (code) {
      const char* meaning = snmpaccess::resultCodeMeaning(code);
      *ctx.err << " (" << code << (meaning ? std::string(": ") + meaning : std::string()) << ")";
    }
    *ctx.err << "\n";
  };
  services.pause = [&engine](int ms) {
    return engine.progress().waitFor(0x7FFF, ms).status != snmpaccess::WaitStatus::Stopped;
  };
  // The unit is back when its server information answers at the (new) address.
  services.identify = [&engine](snmpaccess::SnmpTarget& t, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    do {
      int rc = 0;
      snmpaccess::CSnmpSession s(&t, rc);
      snmpaccess::CServerInfoGroup info;
      if (rc == 0 && info.read(s) == 0) return 0;
      if (engine.progress().isStopped()) return 2;
    } while (std::chrono::steady_clock::now() < end);
    return -1;
  };
  services.resetTimeoutSeconds = static_cast<int>(waitSeconds);
  config::CConfigPropSheet sheet(std::move(services));
  if (sheet.Start(target, 0) != 0) return cli::kExitFailed;

  std::vector<config::ConfigField> fields = config::configFields(sheet);
  if (sets.empty()) {
    nlohmann::json pages = nlohmann::json::object();
    for (config::CDevicePage* page : sheet.pages()) pages[page->title()] = nlohmann::json::object();
    for (const config::ConfigField& f : fields)
      if (!f.writeOnly) pages[f.page][f.name] = f.get();
    if (auto* traps = dynamic_cast<config::CSnmpTrapsPage*>(sheet.page(config::PageSlot::Traps)))
      trapDestinations(*traps, pages[traps->title()]);
    if (ctx.json) {
      *ctx.out << nlohmann::json{{"address", ctx.args.front()}, {"pages", pages}}.dump(2) << "\n";
      return cli::kExitOk;
    }
    for (config::CDevicePage* page : sheet.pages()) {
      *ctx.out << "[" << page->title() << "]\n";
      for (const auto& [name, value] : pages[page->title()].items())
        *ctx.out << "  " << name << " = " << (value.is_string() ? value.get<std::string>() : value.dump()) << "\n";
    }
    return cli::kExitOk;
  }

  // Every value first, with the pages' own rules; a refusal sends nothing.
  for (const std::string& s : sets) {
    const std::string name = s.substr(0, s.find('='));
    const std::string value = s.substr(s.find('=') + 1);
    const config::ConfigField* field = nullptr;
    for (const auto& f : fields)
      if (f.name == name) field = &f;
    if (!field) return cli::usageError(ctx, kCommand, "'" + name + "' is not a setting of this unit (see --help)");
    if (const std::string message = field->set(value); !message.empty())
      return cli::usageError(ctx, kCommand, name + ": " + message);
  }
  for (config::CDevicePage* page : sheet.pages()) {
    const config::PageCheck check = page->check();
    if (!check.ok()) return cli::usageError(ctx, kCommand, std::string(page->title()) + ": " + check.message);
  }
  if (dryRun) {
    nlohmann::json list = nlohmann::json::array();
    for (const std::string& line : pendingSets(sheet)) list.push_back(line);
    if (!noReset) list.push_back(std::string(mib::kDefaultEnterprisePrefix) + ".2.2.0 = 2 (reset)");
    if (ctx.json) {
      *ctx.out << nlohmann::json{{"address", ctx.args.front()}, {"sets", list}}.dump(2) << "\n";
    } else {
      for (const auto& l : list) *ctx.out << "SET " << l.get<std::string>() << "\n";
    }
    return cli::kExitOk;
  }
  sheet.setResetAfterSave(!noReset);
  const int rc = sheet.saveAll();
  if (rc) return cli::kExitFailed;
  if (ctx.json) {
    *ctx.out << nlohmann::json{{"address", sheet.newAddress()}, {"saved", true}, {"reset", !noReset}}.dump(2) << "\n";
  } else {
    *ctx.out << (noReset ? "Saved; the new values take effect at the unit's next reset.\n"
                         : "Saved and reset; the unit answers at " + sheet.newAddress() + ".\n");
  }
  return cli::kExitOk;
}

std::string help() {
  std::string s =
      "Usage: trellanctl config ADDRESS [--json] [--set NAME=VALUE ...] [--no-reset] [--dry-run] [options]\n\n"
      "Without --set: prints the unit's configuration page by page as the configuration sheet shows it\n"
      "(TCP/IP, SNMP, Protocols, SNMP Traps), with --json the same names as keys.\n"
      "With --set: every value goes through the page's own checks (a refused value prints the page's\n"
      "message, exits 2 and sends nothing); then the changed values are written, page by page, and the\n"
      "unit is reset as OK in the sheet does.\n\n"
      "  --set NAME=VALUE   one setting (repeat for more)\n"
      "  --no-reset         write without the reset: the values wait on the unit until it restarts\n"
      "  --dry-run          print the SETs that would be sent, send none\n"
      "  --wait SECONDS     how long to wait for the unit after the reset (default 40)\n"
      "  --community NAME, --set-community NAME, --timeout N   as for trellanctl get\n\n"
      "Settings (offered as the unit's level allows):\n";
  for (const auto& [name, text] : config::configFieldHelp()) s += "  " + name + "\n      " + text + "\n";
  s += "\nExit status: 0 done, 1 the unit could not be read or written, 2 usage error or a refused value.\n";
  return s;
}

const cli::CommandRegistration kConfig({
    "config",
    "show or change the configuration of a print server (as the configuration sheet)",
    help(),
    runConfig,
});

}  // namespace
