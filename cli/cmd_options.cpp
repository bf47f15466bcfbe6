// trellanctl options: the values of the program's Options sheet, shown and changed with the
// sheet's own rules and ranges. Communities are never printed.
#include <iostream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "app/options_sheet.h"
#include "app/settings.h"
#include "app/view_manager.h"
#include "cli/cmd_options_access.h"
#include "cli/command.h"
#include "platform/registry.h"

namespace {

struct OptionsOptions {
  std::vector<std::string> sets;
  cli::AccessEdits access;
};

const char* pageOf(const std::string& name) {
  for (const auto& f : app::kTimeoutFields)
    if (name == f.name) return "Timeouts";
  if (name == "DoubleClick" || name == "DiscoveryPort" || name == "RefreshAlways" || name == "QuickSearch")
    return "Miscellaneous";
  return "Status Icons";
}

nlohmann::json typed(const std::string& text) {
  if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) return std::stoul(text);
  return text;
}

void print(cli::Context& ctx, app::COptionsPropertySheet& sheet, const std::string& file) {
  if (ctx.json) {
    nlohmann::json values = nlohmann::json::array();
    for (const std::string& n : app::COptionsPropertySheet::valueNames()) {
      nlohmann::json v{{"name", n}, {"page", pageOf(n)}, {"value", typed(*sheet.value(n))}};
      for (int f = 0; f < static_cast<int>(app::kTimeoutFields.size()); ++f)
        if (n == app::kTimeoutFields[static_cast<std::size_t>(f)].name) {
          v["min"] = app::CTimeoutPage::range(f).first;
          v["max"] = app::CTimeoutPage::range(f).second;
        }
      values.push_back(std::move(v));
    }
    nlohmann::json access = nlohmann::json::array();
    app::CDeviceAccessPage& page = sheet.access();
    for (int p = 0; p < static_cast<int>(page.protocols().size()); ++p) {
      page.selectProtocol(p);
      access.push_back({{"protocol", page.protocols()[static_cast<std::size_t>(p)].name},
                        {"key", page.protocols()[static_cast<std::size_t>(p)].key},
                        {"addresses", page.addresses()}});
    }
    cli::writeJson(ctx, nlohmann::json{{"registry", file}, {"values", values}, {"access", access}});
    return;
  }
  std::ostream& out = *ctx.out;
  const char* shownPage = "";
  for (const std::string& n : app::COptionsPropertySheet::valueNames()) {
    const char* page = pageOf(n);
    if (std::string(page) != shownPage) out << "[" << (shownPage = page) << "]\n";
    out << "  " << n << " = " << *sheet.value(n);
    for (int f = 0; f < static_cast<int>(app::kTimeoutFields.size()); ++f)
      if (n == app::kTimeoutFields[static_cast<std::size_t>(f)].name)
        out << "  (" << app::CTimeoutPage::range(f).first << "-" << app::CTimeoutPage::range(f).second << ")";
    out << "\n";
  }
  out << "[Device Access]\n";
  app::CDeviceAccessPage& page = sheet.access();
  for (int p = 0; p < static_cast<int>(page.protocols().size()); ++p) {
    page.selectProtocol(p);
    out << "  " << page.protocols()[static_cast<std::size_t>(p)].name << ":";
    for (const std::string& a : page.addresses()) out << " " << a;
    out << "\n";
  }
}

int runOptions(cli::Context& ctx, const OptionsOptions& o) {
  const std::string command = "options";
  platform::Registry reg(platform::Registry::defaultPath(),
                         [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; });
  app::COptionsPropertySheet sheet(reg, app::kProbeTcpIp | app::kProbeNetWare | app::kProbeSerial);
  if (o.sets.empty() && !o.access.any()) {
    print(ctx, sheet, reg.filePath());
    return cli::kExitOk;
  }
  // Every value is checked before anything is written.
  for (const std::string& s : o.sets) {
    const auto eq = s.find('=');
    if (eq == std::string::npos || eq == 0) return cli::usageError(ctx, command, "--set takes NAME=VALUE, not '" + s + "'");
    if (const auto error = sheet.set(s.substr(0, eq), s.substr(eq + 1))) return cli::usageError(ctx, command, *error);
  }
  if (o.access.any()) {
    if (const auto error = cli::applyAccessEdits(sheet.access(), o.access, std::cin))
      return cli::usageError(ctx, command, *error);
  }
  const app::OptionsApplied applied = sheet.ok(app::globalSettings());
  if (!applied.ok) return cli::failure(ctx, command, applied.error);
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"changed", applied.anyChange}});
  } else {
    *ctx.out << (applied.anyChange ? "Options saved.\n" : "Nothing changed.\n");
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kOptions({
    "options",
    "show or change the Options settings",
    "Prints the values of the program's Options sheet: Timeouts (with their ranges), the\n"
    "Miscellaneous choices, the Status Icons level of each condition and the address patterns of\n"
    "each access list (communities are never printed). --set NAME=VALUE (repeatable) changes\n"
    "values with the sheet's rules: GetTimeout, SetTimeout, SnmpRetry, ResetTimeout, Broadcast,\n"
    "MaxBroadcast within their ranges; DoubleClick 32774, 32772 or 32799; DiscoveryPort 9 or\n"
    "4201-4242; RefreshAlways, QuickSearch and SetAppIcon 0 or 1; a condition row (\"Paper Out\") Normal,\n"
    "Warning or Error. Every value is checked before anything is written, and only changed\n"
    "values are written.\n\n"
    "Access lists, as the Device Access page edits them: --access-add PATTERN and --access-delete\n"
    "PATTERN (repeatable) on the list of --protocol (TCP/IP by default, NetWare; the Serial Port\n"
    "list takes no new entries). A TCP/IP pattern is an address or subnet (* = wildcard), a NetWare\n"
    "one a serial number or a network number followed by '-'. A new entry takes the <Default>\n"
    "entry's communities. --access-communities PATTERN (repeatable) reads the entry's get and set\n"
    "communities as two lines of standard input, so that they appear on no command line.\n\n"
    "Exit status: 0 shown or saved, 1 the settings could not be written, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<OptionsOptions>();
      app.add_option("--set", o->sets, "NAME=VALUE (repeatable)")->type_name("NAME=VALUE")->allow_extra_args(false);
      app.add_option("--protocol", o->access.protocol, "access list edited: TCP/IP, NetWare or Serial Port")
          ->type_name("PROTOCOL");
      app.add_option("--access-add", o->access.add, "add an address pattern (repeatable)")
          ->type_name("PATTERN")
          ->allow_extra_args(false);
      app.add_option("--access-delete", o->access.remove, "delete an address pattern (repeatable)")
          ->type_name("PATTERN")
          ->allow_extra_args(false);
      app.add_option("--access-communities", o->access.communities,
                     "read the entry's get and set communities from standard input, one line each (repeatable)")
          ->type_name("PATTERN")
          ->allow_extra_args(false);
      return [o](cli::Context& ctx) { return runOptions(ctx, *o); };
    },
});

}  // namespace
