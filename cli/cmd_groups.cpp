// trellanctl groups: the MIB groups of the private catalogue with their variables.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "access/mib_listing.h"
#include "access/oid_text.h"
#include "cli/command.h"

namespace {

nlohmann::json variableJson(const mib::VariableListing& v) {
  nlohmann::json j = {
      {"index", v.index},       {"stringId", v.stringId}, {"oid", v.oid},         {"syntax", v.syntax},
      {"access", v.access},     {"minLevel", v.minLevel}, {"excluded", v.excluded}, {"meaning", v.meaning},
  };
  if (!v.enumeration.empty()) j["enumeration"] = v.enumeration;
  return j;
}

nlohmann::json groupJson(const mib::GroupListing& g) {
  nlohmann::json vars = nlohmann::json::array();
  for (const auto& v : g.variables) vars.push_back(variableJson(v));
  nlohmann::json extras = nlohmann::json::array();
  for (const auto& v : g.extras) extras.push_back(variableJson(v));
  nlohmann::json j = {
      {"name", g.name},   {"kind", g.kind},           {"probeIndex", g.probeIndex},
      {"users", g.users}, {"variables", vars},        {"extras", extras},
      {"additions", g.additions}, {"children", g.children},
  };
  j["backupSection"] = g.backupSection.empty() ? nlohmann::json(nullptr) : nlohmann::json(g.backupSection);
  return j;
}

struct Options {
  std::string prefix{mib::kDefaultEnterprisePrefix};
  std::string group;
};

int runGroups(cli::Context& ctx, const Options& o) {
  const std::string& prefix = o.prefix;
  if (!mib::isValidOidText(prefix)) return cli::usageError(ctx, "groups", "invalid enterprise prefix '" + prefix + "'");

  std::vector<mib::GroupListing> groups;
  if (o.group.empty()) {
    groups = mib::listGroups(prefix);
  } else {
    mib::GroupListing one;
    if (!mib::listGroup(o.group, one, prefix)) {
      return cli::failure(ctx, "groups", "no group named '" + o.group + "'");
    }
    groups.push_back(std::move(one));
  }
  if (ctx.json) {
    nlohmann::json all = nlohmann::json::array();
    for (const auto& g : groups) all.push_back(groupJson(g));
    cli::writeJson(ctx, all);
  } else {
    *ctx.out << mib::formatGroupListing(groups);
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kGroups({
    "groups",
    "list the MIB groups with their variables",
    "Lists every MIB group of the private catalogue (or the one named, e.g. CTcpIpGroup) with its\n"
    "variables: index, OID, syntax, access, the MIB level from which it exists, whether it stays\n"
    "out of backup files, and its meaning. Rows and table entries show their number as \".n\".\n\n"
    "Exit status: 0 listed, 1 no such group, 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<Options>();
      app.add_option("--prefix", o->prefix, "enterprise prefix of relative OIDs")->capture_default_str()->type_name("OID");
      app.add_option("GROUP", o->group, "a group's class name");
      return [o](cli::Context& ctx) { return runGroups(ctx, *o); };
    },
});

}  // namespace
