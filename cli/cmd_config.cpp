// trellanctl config: the configuration sheet of one print server on the command line. Without
// --set it prints the pages as the sheet shows them; with --set NAME=VALUE it runs the pages'
// own validation and change rules, writes what changed and resets the unit, as OK does.
#include <chrono>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "access/group_classes.h"
#include "access/result_codes.h"
#include "app/settings.h"
#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "config/config_fields.h"
#include "config/certificate_send.h"
#include "config/config_sheet.h"
#include "config/port_pages.h"
#include "vines/vines_fields.h"
#include "vines/vines_page.h"
#include "config/secret_values.h"
#include "config/snmp_traps_page.h"
#include "config/wireless_page.h"
#include "devices/certificate_upload.h"
#include "platform/registry.h"
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
      if (g.changed(i))
        out.push_back(g.oidText(i) + " = " + (config::secretVariable(g, i) ? "(hidden)" : bindingValue(*g.binding(i))));
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

struct ConfigOptions {
  Options snmp;
  std::string address;
  std::vector<std::string> sets;
  bool noReset = false;
  bool dryRun = false;
  unsigned waitSeconds = 40;
  unsigned port = 1;  // 1-based output port of the pages with a port choice
  std::optional<std::string> certificate;
  std::optional<std::string> devicePassword;
};

// The dialog's password prompt on the command line: the option, else one line of standard input.
struct CliCertificateHost : config::CertificateSendHost {
  CliCertificateHost(cli::Context& ctx, std::optional<std::string> password) : ctx(ctx), password(std::move(password)) {}
  std::optional<std::string> askPassword() override {
    if (asked++) return std::nullopt;  // asked again only after an empty answer: give up
    if (password) return password;
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  void message(const std::string& text) override { *ctx.err << "trellanctl config: " << text << "\n"; }
  cli::Context& ctx;
  std::optional<std::string> password;
  int asked = 0;
};

// --certificate: sent at once, as "Send" in the Wireless Security dialog does.
int sendCertificateFile(cli::Context& ctx, config::CConfigPropSheet& sheet, const ConfigOptions& o) {
  auto* wireless = dynamic_cast<config::CWirelessPage*>(sheet.page(config::PageSlot::Wireless));
  bool present = false;
  for (config::CDevicePage* p : sheet.pages()) present = present || p == wireless;
  if (!wireless || !present) return cli::failure(ctx, kCommand, "the unit has no wireless interface");
  if (o.devicePassword && o.devicePassword->size() > devices::kDevicePasswordLimit)
    return cli::usageError(ctx, kCommand, "the device password takes at most 16 characters");
  CliCertificateHost host(ctx, o.devicePassword);
  switch (config::sendCertificate(wireless->address(), *o.certificate, host, config::ftpCertificateUploader())) {
    case config::CertificateOutcome::Sent: break;
    case config::CertificateOutcome::Cancelled:
      return cli::usageError(ctx, kCommand, "a certificate needs the device password (--device-password or standard input)");
    case config::CertificateOutcome::NoFile: return cli::kExitUsage;
    case config::CertificateOutcome::Failed: return cli::kExitFailed;
  }
  if (ctx.json)
    cli::writeJson(ctx, nlohmann::json{{"address", wireless->address()}, {"certificate", "sent"}});
  else
    *ctx.out << "Certificate sent to " << wireless->address() << ".\n";
  return cli::kExitOk;
}

int runConfig(cli::Context& ctx, const ConfigOptions& o) {
  const Options& options = o.snmp;
  const std::vector<std::string>& sets = o.sets;
  const bool noReset = o.noReset;
  const bool dryRun = o.dryRun;
  const long waitSeconds = o.waitSeconds;
  for (const std::string& s : sets)
    if (s.find('=') == std::string::npos) return cli::usageError(ctx, kCommand, "--set takes NAME=VALUE");
  installInterruptHandler();
  Engine engine;
  if (!engine.started()) return cli::failure(ctx, kCommand, "the SNMP engine could not be started");
  snmpaccess::SnmpTarget target;
  int exit = cli::kExitOk;
  if (!makeTarget(ctx, kCommand, o.address, options, &engine.progress(), target, exit)) return exit;
  const platform::Registry settings(platform::Registry::defaultPath(), [](const std::string&) {},
                                    platform::Registry::Access::ReadOnly);
  app::applyGroupTimeouts(settings, cli::snmpcmd::commandLineTimeout(options));

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
  config::installPortPages(sheet, std::string(mib::kDefaultEnterprisePrefix));
  sheet.setPage(config::PageSlot::Vines, std::make_unique<vines::CVinesPage>(std::string(mib::kDefaultEnterprisePrefix)));
  if (sheet.Start(target, static_cast<int>(o.port) - 1) != 0) return cli::kExitFailed;

  if (o.certificate) {
    const int sent = sendCertificateFile(ctx, sheet, o);
    if (sent != cli::kExitOk || sets.empty()) return sent;
  }
  std::vector<config::ConfigField> fields = config::configFields(sheet);
  for (config::CDevicePage* page : sheet.pages()) vines::vinesFields(*page, fields);
  if (sets.empty()) {
    nlohmann::json pages = nlohmann::json::object();
    for (config::CDevicePage* page : sheet.pages()) pages[page->title()] = nlohmann::json::object();
    for (const config::ConfigField& f : fields)
      if (!f.writeOnly) pages[f.page][f.name] = f.get();
    if (auto* traps = dynamic_cast<config::CSnmpTrapsPage*>(sheet.page(config::PageSlot::Traps)))
      trapDestinations(*traps, pages[traps->title()]);
    if (ctx.json) {
      cli::writeJson(ctx, nlohmann::json{{"address", o.address}, {"pages", pages}});
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
      cli::writeJson(ctx, nlohmann::json{{"address", o.address}, {"sets", list}});
    } else {
      for (const auto& l : list) *ctx.out << "SET " << l.get<std::string>() << "\n";
    }
    return cli::kExitOk;
  }
  sheet.setResetAfterSave(!noReset);
  const int rc = sheet.saveAll();
  if (rc) return cli::kExitFailed;
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"address", sheet.newAddress()}, {"saved", true}, {"reset", !noReset}});
  } else {
    *ctx.out << (noReset ? "Saved; the new values take effect at the unit's next reset.\n"
                         : "Saved and reset; the unit answers at " + sheet.newAddress() + ".\n");
  }
  return cli::kExitOk;
}

std::string description() {
  std::string s =
      "Without --set: prints the unit's configuration page by page as the configuration sheet shows it\n"
      "(TCP/IP, SNMP, Protocols, SNMP Traps, and Output Port, Token Ring and EtherTalk where the unit has\n"
      "them; --port N chooses the output port shown), with --json the same names as keys.\n"
      "With --certificate FILE: the file goes to the unit by FTP at once (remote name cert), as Send in\n"
      "the Wireless Security dialog does; the device password comes from --device-password or one line\n"
      "of standard input. Keys and passwords are never printed.\n"
      "With --set NAME=VALUE (repeatable): every value goes through the page's own checks (a refused\n"
      "value prints the page's message, exits 2 and sends nothing); then the changed values are\n"
      "written, page by page, and the unit is reset as OK in the sheet does.\n\n"
      "Settings (offered as the unit's level allows):\n";
  for (const auto& [name, text] : config::configFieldHelp()) s += "  " + name + "\n      " + text + "\n";
  for (const auto& [name, text] : vines::vinesFieldHelp()) s += "  " + name + "\n      " + text + "\n";
  s += "\nExit status: 0 done, 1 the unit could not be read or written, 2 usage error or a refused value.";
  return s;
}

const cli::CommandRegistration kConfig({
    "config",
    "show or change the configuration of a print server (as the configuration sheet)",
    description(),
    [](CLI::App& app) {
      auto o = std::make_shared<ConfigOptions>();
      addOptions(app, o->snmp);
      app.add_option("--set", o->sets, "one setting NAME=VALUE (repeat for more)")->type_name("NAME=VALUE");
      app.add_flag("--no-reset", o->noReset, "write without the reset: the values wait until the unit restarts");
      app.add_flag("--dry-run", o->dryRun, "print the SETs that would be sent, send none");
      app.add_option("--wait", o->waitSeconds, "seconds to wait for the unit after the reset (default 40)")
          ->check(CLI::Range(0u, 3600u))
          ->type_name("SECONDS");
      app.add_option("--port", o->port, "the output port the Output Port and EtherTalk pages show (default 1)")
          ->check(CLI::Range(1u, 16u))
          ->type_name("N");
      app.add_option_function<std::string>(
             "--certificate", [o](const std::string& v) { o->certificate = v; },
             "send this certificate file to the unit by FTP at once, as the Wireless Security dialog does")
          ->type_name("FILE");
      app.add_option_function<std::string>(
             "--device-password", [o](const std::string& v) { o->devicePassword = v; },
             "the device password for --certificate (default: one line of standard input)")
          ->type_name("TEXT");
      app.add_option("ADDRESS", o->address, "the print server")->required();
      return [o](cli::Context& ctx) { return runConfig(ctx, *o); };
    },
});

}  // namespace
