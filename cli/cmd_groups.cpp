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

int runGroups(cli::Context& ctx) {
  std::string prefix(mib::kDefaultEnterprisePrefix);
  bool missing = false;
  if (cli::takeOption(ctx.args, "prefix", prefix, missing) && missing) {
    return cli::usageError(ctx, "groups", "--prefix needs an OID");
  }
  if (!mib::isValidOidText(prefix)) return cli::usageError(ctx, "groups", "invalid enterprise prefix '" + prefix + "'");
  if (ctx.args.size() > 1) return cli::usageError(ctx, "groups", "unexpected argument '" + ctx.args[1] + "'");

  std::vector<mib::GroupListing> groups;
  if (ctx.args.empty()) {
    groups = mib::listGroups(prefix);
  } else {
    mib::GroupListing one;
    if (!mib::listGroup(ctx.args.front(), one, prefix)) {
      return cli::failure(ctx, "groups", "no group named '" + ctx.args.front() + "'");
    }
    groups.push_back(std::move(one));
  }
  if (ctx.json) {
    nlohmann::json all = nlohmann::json::array();
    for (const auto& g : groups) all.push_back(groupJson(g));
    *ctx.out << all.dump(2) << "\n";
  } else {
    *ctx.out << mib::formatGroupListing(groups);
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kGroups({
    "groups",
    "list the MIB groups with their variables",
    "Usage: trellanctl groups [--json] [--prefix OID] [GROUP]\n\n"
    "Lists every MIB group of the private catalogue (or the one named, e.g. CTcpIpGroup) with its\n"
    "variables: index, OID, syntax, access, the MIB level from which it exists, whether it stays\n"
    "out of backup files, and its meaning. Rows and table entries show their number as \".n\".\n"
    "Relative OIDs are shown under the enterprise prefix (default 1.3.6.1.4.1.1240.2.3.5).\n\n"
    "Exit status: 0 listed, 1 no such group, 2 usage error.\n",
    runGroups,
});

}  // namespace
