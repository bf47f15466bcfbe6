// trellanctl settings: the settings the program will use, where they come from, and which
// environment variables are changing its behaviour. Reads only; never writes the store.
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "app/access_list.h"
#include "app/legacy_import.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "cli/command.h"
#include "platform/registry.h"
#include "platform/report_error_log.h"

namespace {

const char* const kDescription =
    "Prints the effective settings: the settings file, every value with the value the program\n"
    "uses and whether it is the default (values out of range are shown as clamped), the product\n"
    "families, the access list of each protocol, the error log, the legacy import folder and the\n"
    "environment variables in effect. The settings file is only read.\n\n"
    "Exit status: 0 printed, 2 usage error.";

const char* const kEnvironment[] = {
    "TRELLAN_REGISTRY",     "TRELLAN_LEGACY_DIR",        "TRELLAN_SNMP_PORT",      "TRELLAN_TRAP_PORT",
    "TRELLAN_SECOND_FAMILY_PORT", "TRELLAN_BROADCAST_ADDR", "TRELLAN_MULTICAST_IF", "TRELLAN_LOOPBACK_ONLY",
    "TRELLAN_TERMINAL",     "XDG_CONFIG_HOME",           "XDG_STATE_HOME",         "XDG_RUNTIME_DIR",
};

struct AccessKey {
  const char* label;
  const char* key;
};
constexpr AccessKey kAccessKeys[] = {{"IP", app::kAccessIpKey}, {"NW", app::kAccessNwKey}, {"COM", app::kAccessComKey}};

std::string source(const app::EffectiveSetting& e) {
  if (e.wrongType) return "default (stored value has the wrong type)";
  if (e.adjusted) return "clamped";
  if (!e.stored) return e.def->defaultKind == app::DefaultKind::None ? "not set" : "default";
  return e.isDefault ? "default" : "set";
}

nlohmann::json jsonValue(const app::EffectiveSetting& e) {
  if (e.def->isText) return e.value;
  return std::stoll(e.value);
}

int run(cli::Context& ctx) {

  std::string storeProblem;
  const platform::Registry reg(platform::Registry::defaultPath(),
                               [&](const std::string& m) { storeProblem += m + "\n"; });
  // Without a screen the default window rectangle is not known; shown as such when not stored.
  const auto settings = app::effectiveSettings(reg, app::defaultWindowRect(0, 0));
  app::OemFamilyTable families;
  families.fill(reg);
  const bool logOn = app::readSetting(reg, app::kGeneralKey, "Log") == 1;

  std::ostream& out = *ctx.out;
  if (ctx.json) {
    nlohmann::json j;
    j["registry"] = reg.filePath();
    if (!storeProblem.empty()) j["registryProblem"] = storeProblem;
    nlohmann::json list = nlohmann::json::array();
    for (const auto& e : settings) {
      nlohmann::json s{{"key", e.def->key},        {"name", e.def->name},       {"type", e.def->isText ? "text" : "dword"},
                       {"stored", e.stored},       {"default", e.isDefault},    {"clamped", e.adjusted},
                       {"wrongType", e.wrongType}, {"meaning", e.def->meaning}};
      const bool unknownDefault = !e.stored && e.def->defaultKind == app::DefaultKind::Computed;
      s["value"] = unknownDefault ? nlohmann::json("desktop centre") : jsonValue(e);
      if (!e.stored && e.def->defaultKind == app::DefaultKind::None) s["value"] = nullptr;
      list.push_back(std::move(s));
    }
    j["settings"] = std::move(list);
    nlohmann::json fam = nlohmann::json::array();
    for (std::size_t i = 0; i < families.count(); ++i)
      fam.push_back({{"code", families[i].code}, {"prefix", families[i].prefix}});
    j["oemFamilies"] = std::move(fam);
    nlohmann::json rejected = nlohmann::json::array();
    for (const auto& r : families.rejected()) rejected.push_back({{"name", r.name}, {"reason", r.reason}});
    j["oemRejected"] = std::move(rejected);
    for (const auto& a : kAccessKeys) {
      app::CAccessList access;
      access.load(reg, a.key, true);
      nlohmann::json entries = nlohmann::json::array();
      for (const auto& e : access.entries())
        entries.push_back({{"pattern", e.address}, {"get", e.getCommunity}, {"set", e.setCommunity}});
      j["accessLists"][a.label] = {{"key", a.key},
                                   {"discoveryPort", access.discoveryPort()},
                                   {"entries", std::move(entries)},
                                   {"skippedPatterns", access.skippedPatterns()}};
    }
    j["log"] = {{"enabled", logOn}, {"path", platform::errorLogPath()}};
    j["legacyDirectory"] = app::LegacyImport::defaultDirectory();
    j["environment"] = nlohmann::json::object();
    for (const char* name : kEnvironment)
      if (const char* v = std::getenv(name)) j["environment"][name] = v;
    cli::writeJson(ctx, j);
    return cli::kExitOk;
  }

  out << "Settings file: " << reg.filePath() << "\n";
  if (!storeProblem.empty()) out << "  problem: " << storeProblem;
  out << "\nValues (HKEY_CURRENT_USER\\" << reg.root() << "):\n";
  std::string lastKey;
  for (const auto& e : settings) {
    if (e.def->key != lastKey) out << "  [" << (lastKey = e.def->key) << "]\n";
    std::string value = e.def->isText ? "\"" + e.value + "\"" : e.value;
    if (!e.stored && e.def->defaultKind == app::DefaultKind::Computed) value = "desktop centre";
    if (!e.stored && e.def->defaultKind == app::DefaultKind::None) value = "-";
    out << "    " << e.def->name << " = " << value << "  (" << source(e) << ")\n";
  }

  out << "\nProduct families (native KDV " << app::kNativeEnterprisePrefix << "):\n";
  for (std::size_t i = 0; i < families.count(); ++i)
    out << "  " << families[i].code << "  " << families[i].prefix << "\n";
  for (const auto& r : families.rejected()) out << "  not taken: OEM\\" << r.name << " (" << r.reason << ")\n";

  out << "\nAccess lists:\n";
  for (const auto& a : kAccessKeys) {
    app::CAccessList access;
    access.load(reg, a.key, true);
    out << "  " << a.key;
    if (a.key == app::kAccessIpKey) out << " (discovery port " << access.discoveryPort() << ")";
    out << "\n";
    for (const auto& e : access.entries())
      out << "    " << e.address << "  get \"" << e.getCommunity << "\"  set \"" << e.setCommunity << "\"\n";
    for (const auto& p : access.skippedPatterns()) out << "    not taken: " << p << "\n";
  }

  out << "\nError log: " << platform::errorLogPath() << (logOn ? " (on)" : " (off)") << "\n";
  out << "Legacy import folder: " << app::LegacyImport::defaultDirectory() << "\n";
  out << "\nEnvironment:\n";
  bool any = false;
  for (const char* name : kEnvironment) {
    if (const char* v = std::getenv(name)) {
      out << "  " << name << "=" << v << "\n";
      any = true;
    }
  }
  if (!any) out << "  (none)\n";
  return cli::kExitOk;
}

const cli::CommandRegistration kRegistration({"settings", "show the effective settings", kDescription,
                                               [](CLI::App&) { return cli::Runner(run); }});

}  // namespace
