#include "cli/sheet_command.h"

#include <chrono>
#include <functional>
#include <ostream>

#include "access/group_classes.h"
#include "access/result_codes.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "platform/registry.h"
#include "platform/string_table.h"

namespace cli::sheetcmd {

std::string textOf(std::uint32_t id) {
  const char* t = platform::loadString(id);
  return t ? t : "";
}

void reportLine(Context& ctx, const std::string& command, std::uint32_t text, int code) {
  *ctx.err << "trellanctl " << command << ": " << textOf(text);
  if (code) {
    const char* meaning = snmpaccess::resultCodeMeaning(code);
    *ctx.err << " (" << code << (meaning ? std::string(": ") + meaning : std::string()) << ")";
  }
  *ctx.err << "\n";
}

int identifyUnit(snmpcmd::Engine& engine, snmpaccess::SnmpTarget& target, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  do {
    int rc = 0;
    snmpaccess::CSnmpSession s(&target, rc);
    snmpaccess::CServerInfoGroup info;
    if (rc == 0 && info.read(s) == 0) return 0;
    if (engine.progress().isStopped()) return 2;
  } while (std::chrono::steady_clock::now() < end);
  return -1;
}

config::SheetServices sheetServices(Context& ctx, const std::string& command, snmpcmd::Engine& engine,
                                    int waitSeconds) {
  config::SheetServices services;
  services.report = [&ctx, command](std::uint32_t text, int, int code, int) { reportLine(ctx, command, text, code); };
  services.pause = [&engine](int ms) {
    return engine.progress().waitFor(0x7FFF, ms).status != snmpaccess::WaitStatus::Stopped;
  };
  services.identify = [&engine](snmpaccess::SnmpTarget& t, int seconds) { return identifyUnit(engine, t, seconds); };
  services.resetTimeoutSeconds = waitSeconds;
  return services;
}

config::ResetServices resetServices(Context& ctx, const std::string& command, snmpcmd::Engine& engine,
                                    int waitSeconds) {
  config::ResetServices services;
  services.report = [&ctx, command](std::uint32_t text, int, int code, int) { reportLine(ctx, command, text, code); };
  services.pause = [&engine](int ms) {
    return engine.progress().waitFor(0x7FFF, ms).status != snmpaccess::WaitStatus::Stopped;
  };
  services.identify = [&engine](snmpaccess::SnmpTarget& t, int seconds) { return identifyUnit(engine, t, seconds); };
  services.resetTimeoutSeconds = waitSeconds;
  return services;
}

namespace {

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

}  // namespace

std::vector<std::string> pendingSets(config::CConfigPropSheet& sheet) {
  std::vector<std::string> out;
  std::function<void(snmpaccess::CMibGroup&)> walk = [&](snmpaccess::CMibGroup& g) {
    for (int i = 0; i < g.count(); ++i) {
      if (!g.changed(i)) continue;
      const mib::VariableDef* def = g.variableDef(i);
      const bool writeOnly = def && def->meaning.find("write-only") != std::string_view::npos;
      out.push_back(g.oidText(i) + " = " + (writeOnly ? std::string("(write-only value)") : bindingValue(*g.binding(i))));
    }
    for (int i = 0; i < g.extraCount(); ++i)
      if (g.extraPending(i)) out.push_back(g.extra(i)->name().text() + " = (write-only value)");
    for (int c = 0; c < g.childCount(); ++c) walk(*g.child(c));
  };
  for (config::CDevicePage* page : sheet.pages()) {
    page->stage();
    for (snmpaccess::CMibGroup* g : page->groups()) walk(*g);
  }
  return out;
}

bool familyPrefix(const std::string& code, std::string& prefix) {
  prefix = mib::kDefaultEnterprisePrefix;
  if (code.empty() || code == "KDV" || code == "ZBN") return true;
  app::OemFamilyTable& table = app::oemFamilyTable();
  if (table.count() == 0) {
    const platform::Registry settings(platform::Registry::defaultPath(), [](const std::string&) {},
                                      platform::Registry::Access::ReadOnly);
    table.fill(settings);
  }
  const char* p = table.prefixOf(code);
  if (!p) return false;
  prefix = p;
  return true;
}

bool openUnit(Context& ctx, const std::string& command, const std::string& address, const snmpcmd::Options& snmp,
              const std::string& family, snmpcmd::Engine& engine, snmpaccess::SnmpTarget& target, std::string& prefix,
              int& exit) {
  if (!engine.started()) {
    exit = failure(ctx, command, "the SNMP engine could not be started");
    return false;
  }
  exit = kExitOk;
  if (!snmpcmd::makeTarget(ctx, command, address, snmp, &engine.progress(), target, exit)) return false;
  applyTimeouts(snmp);
  if (!familyPrefix(family, prefix)) {
    exit = usageError(ctx, command, "'" + family + "' is not a product family of the settings");
    return false;
  }
  return true;
}

void applyTimeouts(const snmpcmd::Options& options) {
  const platform::Registry settings(platform::Registry::defaultPath(), [](const std::string&) {},
                                    platform::Registry::Access::ReadOnly);
  app::applyGroupTimeouts(settings, snmpcmd::commandLineTimeout(options));
}

}  // namespace cli::sheetcmd
