// trellanctl read / write: one MIB group of a print server, read with its rows, or written
// through the group's accessors (changed variables only).
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "access/mib_enumerations.h"
#include "access/result_codes.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "platform/registry.h"

namespace {

using snmpaccess::CMibGroup;

struct GroupOptions {
  cli::snmpcmd::Options snmp;
  std::string family;
  std::string prefix;
  int level = -1;
  std::string address;
  std::string group;
  std::vector<std::string> rest;  // [ROW] and, for write, VAR=VALUE...
};

std::shared_ptr<GroupOptions> declareGroupOptions(CLI::App& app) {
  auto o = std::make_shared<GroupOptions>();
  cli::snmpcmd::addOptions(app, o->snmp);
  app.add_option("--family", o->family, "product family whose enterprise prefix the OIDs use (default KDV)")
      ->type_name("CODE");
  app.add_option("--prefix", o->prefix, "enterprise prefix given directly")->type_name("OID");
  app.add_option("--level", o->level, "take MIB level N instead of probing it")->check(CLI::Range(0, 254))->type_name("N");
  app.add_option("ADDRESS", o->address, "the print server")->required();
  app.add_option("GROUP", o->group, "a group's class name (see trellanctl groups)")->required();
  return o;
}

// Resolves --family and --prefix into the prefix the group uses.
int resolvePrefix(cli::Context& ctx, const std::string& command, GroupOptions& o) {
  std::string prefix{mib::kDefaultEnterprisePrefix};
  if (!o.family.empty()) {
    if (o.family.size() > app::OemFamilyTable::kMaxCode)
      return cli::usageError(ctx, command, "--family takes a family code of 1 to 4 characters");
    if (o.family != app::kNativeFamilyCode) {
      app::OemFamilyTable& table = app::oemFamilyTable();
      if (table.count() == 0) table.fill(std::vector<std::pair<std::string, std::string>>{});
      const char* p = table.prefixOf(o.family);
      if (!p) return cli::usageError(ctx, command, "unknown family '" + o.family + "' (use --prefix)");
      prefix = p;
    }
  }
  if (!o.prefix.empty()) {
    if (!mib::isValidOidText(o.prefix)) return cli::usageError(ctx, command, "--prefix needs a dotted OID");
    prefix = o.prefix;
  }
  o.prefix = prefix;
  return cli::kExitOk;
}

std::string variableName(const CMibGroup& g, int i) {
  const mib::VariableDef* d = g.variableDef(i);
  if (!g.entryName(i).empty()) return g.entryName(i);
  return d && !d->meaning.empty() ? std::string(d->meaning) : "";
}

std::string valueText(const CMibGroup& g, int i) {
  const snmpaccess::CVarBind* b = g.binding(i);
  const mib::VariableDef* d = g.variableDef(i);
  switch (b->syntax()) {
    case SNMP_SYNTAX_NULL: return "";
    case SNMP_SYNTAX_INT: {
      std::int32_t v = 0;
      g.getInteger(i, v);
      std::string s = std::to_string(v);
      if (d && d->enumeration) s += " (" + std::string(mib::enumText(*d->enumeration, v)) + ")";
      return s;
    }
    case SNMP_SYNTAX_IPADDR: {
      std::uint8_t a[4] = {};
      g.getIpAddress(i, a);
      return snmpaccess::ipv4ToText(a);
    }
    case SNMP_SYNTAX_OCTETS: {
      std::string bytes;
      g.getBytes(i, bytes);
      if (d && d->syntax == mib::Syntax::Bytes) return snmpaccess::bytesToColonHex(bytes.data(), bytes.size());
      std::string text;
      g.getDisplayText(i, text);
      return text;
    }
    case SNMP_SYNTAX_OID: {
      std::string text;
      g.getOidText(i, text);
      return text;
    }
    default: {
      std::uint32_t u = 0;
      if (g.getUnsigned(i, u) == 0) return std::to_string(u);
      return b->displayText();
    }
  }
}

nlohmann::json groupJson(const CMibGroup& g) {
  nlohmann::json vars = nlohmann::json::array();
  for (int i = 0; i < g.count(); ++i) {
    const mib::VariableDef* d = g.variableDef(i);
    vars.push_back({{"index", i},
                    {"name", variableName(g, i)},
                    {"oid", g.oidText(i)},
                    {"syntax", d ? std::string(mib::syntaxName(d->syntax)) : ""},
                    {"value", valueText(g, i)},
                    {"excluded", g.excluded(i)}});
  }
  nlohmann::json j = {{"group", std::string(g.def().name)}, {"level", g.mibVersion()}, {"variables", vars}};
  if (g.params().row >= 0) j["row"] = g.params().row + 1;
  nlohmann::json children = nlohmann::json::array();
  for (int c = 0; c < g.childCount(); ++c) children.push_back(groupJson(*g.child(c)));
  if (!children.empty()) j["children"] = children;
  return j;
}

void printGroup(std::ostream& out, const CMibGroup& g, const std::string& indent = "") {
  out << indent << g.def().name;
  if (g.params().row >= 0) out << " " << g.params().row + 1;
  out << " (level " << g.mibVersion() << ")\n";
  for (int i = 0; i < g.count(); ++i) {
    const mib::VariableDef* d = g.variableDef(i);
    std::string name = variableName(g, i);
    if (name.empty()) name = "variable " + std::to_string(i);
    out << indent << "  " << i << "  " << name << "  " << g.oidText(i) << "  "
        << (d ? mib::syntaxName(d->syntax) : "?") << "  " << valueText(g, i) << "\n";
  }
  for (int c = 0; c < g.childCount(); ++c) printGroup(out, *g.child(c), indent + "  ");
}

// The OID a failed group read stopped at: the group's own, or a child's.
std::string failedOid(const CMibGroup& g) {
  if (!g.failedOid().empty()) return g.failedOid();
  for (int c = 0; c < g.childCount(); ++c)
    if (std::string oid = failedOid(*g.child(c)); !oid.empty()) return oid;
  return "";
}

// Reads one integer (a port count) outside any group.
int readInteger(snmpaccess::CSnmpSession& s, const std::string& oid, std::int32_t& out) {
  snmpaccess::CVarBind b(oid.c_str());
  snmpaccess::CVarBind* list[] = {&b};
  s.setTimeout(snmpaccess::groupGetTimeout());
  if (const int rc = s.get(list, 1)) return rc;
  smiINT v = 0;
  const int rc = b.getInteger(v);
  out = v;
  return rc;
}

// Builds the group named on the command line, reading what its construction needs first.
int buildGroup(cli::Context& ctx, const std::string& command, const std::string& name, long row,
               const GroupOptions& o, snmpaccess::CSnmpSession& session, std::unique_ptr<CMibGroup>& out) {
  const mib::GroupDef* def = mib::findGroup(name);
  if (!def) return cli::failure(ctx, command, "no group named '" + name + "' (see trellanctl groups)");
  snmpaccess::GroupParams p;
  p.prefix = o.prefix;
  p.level = o.level;
  if (def->kind == mib::GroupKind::Row) {
    if (row < 0) return cli::usageError(ctx, command, std::string(def->name) + " needs a ROW (1, 2, ...)");
    p.row = row;
  }
  if (def->kind == mib::GroupKind::Table) p.entries = row >= 0 ? static_cast<int>(row + 1) : 1;
  if (def->kind == mib::GroupKind::Protocols) {
    snmpaccess::CProtocolListGroup list(snmpaccess::rowParams(o.prefix, -1));
    if (const int rc = list.read(session))
      return cli::snmpcmd::reportResult(ctx, command, rc, list.errorStatus(), list.errorIndex(), failedOid(list));
    p.protocols = list.protocols();
  }
  const bool needsPorts = def->id == mib::GroupId::IpTrapRow2 || def->id == mib::GroupId::EmailTrapRow2 ||
                          def->id == mib::GroupId::TrapEvent;
  if (needsPorts) {
    std::int32_t ports = 0;
    const std::string oid = o.prefix + ".6.2.3.1.0";
    if (const int rc = readInteger(session, oid, ports)) return cli::snmpcmd::reportResult(ctx, command, rc, 0, 0, oid);
    p.ports = ports;
  }
  if (def->id == mib::GroupId::TrapEvent) {
    std::int32_t mask = 0;
    if (readInteger(session, std::string(mib::kSiblingPrefix) + ".9.1.0", mask) == 0)
      p.gpioGroups = mib::gpioGroupCount(static_cast<std::uint32_t>(mask));
  }
  out = snmpaccess::makeGroup(def->id, p);
  return cli::kExitOk;
}

// ROW is 1-based on the command line.
bool takeRow(std::vector<std::string>& args, std::size_t at, long& row) {
  if (args.size() <= at || args[at].find('=') != std::string::npos) return true;
  long n = 0;
  if (snmpaccess::decimalTextToNumber(args[at], n) != 0 || n < 1 || n > mib::kMaxInstances) return false;
  row = n - 1;
  args.erase(args.begin() + static_cast<std::ptrdiff_t>(at));
  return true;
}

struct Session {
  cli::snmpcmd::Engine engine;
  snmpaccess::SnmpTarget target;
  std::unique_ptr<snmpaccess::CSnmpSession> session;
};

int openSession(cli::Context& ctx, const std::string& command, const std::string& address, const GroupOptions& o,
                Session& s) {
  if (!s.engine.started()) return cli::failure(ctx, command, "the SNMP engine could not be started");
  int exit = cli::kExitOk;
  if (!cli::snmpcmd::makeTarget(ctx, command, address, o.snmp, &s.engine.progress(), s.target, exit)) return exit;
  // A reading command never moves a corrupt settings file aside.
  const platform::Registry settings(platform::Registry::defaultPath(), [](const std::string&) {},
                                    platform::Registry::Access::ReadOnly);
  app::applyGroupTimeouts(settings, cli::snmpcmd::commandLineTimeout(o.snmp));
  int rc = 0;
  s.session = std::make_unique<snmpaccess::CSnmpSession>(&s.target, rc);
  if (rc != 0) return cli::snmpcmd::reportResult(ctx, command, rc, 0, 0);
  return cli::kExitOk;
}

int runRead(cli::Context& ctx, GroupOptions& o) {
  const std::string command = "read";
  if (const int rc = resolvePrefix(ctx, command, o)) return rc;
  long row = -1;
  if (!takeRow(o.rest, 0, row)) return cli::usageError(ctx, command, "ROW is a number from 1");
  if (!o.rest.empty()) return cli::usageError(ctx, command, "expected ADDRESS GROUP [ROW]");
  Session s;
  if (const int rc = openSession(ctx, command, o.address, o, s)) return rc;
  std::unique_ptr<CMibGroup> g;
  if (const int rc = buildGroup(ctx, command, o.group, row, o, *s.session, g)) return rc;
  if (const int rc = g->read(*s.session))
    return cli::snmpcmd::reportResult(ctx, command, rc, g->errorStatus(), g->errorIndex(), failedOid(*g));
  if (ctx.json)
    cli::writeJson(ctx, groupJson(*g));
  else
    printGroup(*ctx.out, *g);
  return cli::kExitOk;
}

// VAR is a variable index or the variable's name as `read` shows it.
int findVariable(const CMibGroup& g, const std::string& var) {
  long n = 0;
  if (snmpaccess::decimalTextToNumber(var, n) == 0) return n < g.count() ? static_cast<int>(n) : -1;
  for (int i = 0; i < g.count(); ++i)
    if (variableName(g, i) == var) return i;
  return -1;
}

int setValue(CMibGroup& g, int i, const std::string& text) {
  const mib::VariableDef* d = g.variableDef(i);
  const smiUINT32 syntax = g.binding(i)->syntax();
  if (syntax == SNMP_SYNTAX_INT) {
    std::int32_t v = 0;
    if (d && d->enumeration && mib::enumValue(*d->enumeration, text, v)) return g.setIntegerIfChanged(i, v);
    const bool negative = !text.empty() && text[0] == '-';
    long n = 0;
    if (const int rc = snmpaccess::decimalTextToNumber(negative ? text.substr(1) : text, n)) return rc;
    if (n > 0x7FFFFFFFL) return snmpaccess::result::kBadDigit;
    return g.setIntegerIfChanged(i, static_cast<std::int32_t>(negative ? -n : n));
  }
  if (syntax == SNMP_SYNTAX_IPADDR) {
    std::uint8_t a[4] = {};
    if (const int rc = snmpaccess::ipv4TextToBytes(text, a)) return rc;
    return g.setIpAddressIfChanged(i, a);
  }
  if (syntax == SNMP_SYNTAX_OCTETS && d && d->syntax == mib::Syntax::Bytes) {
    std::string hex;
    for (char c : text)
      if (c != ':' && c != '-' && c != ' ') hex += c;
    std::string bytes;
    if (const int rc = snmpaccess::hexTextToBytes(hex, bytes)) return rc;
    return g.setBytesIfChanged(i, bytes.data(), bytes.size());
  }
  if (syntax == SNMP_SYNTAX_OCTETS) return g.setTextIfChanged(i, text);
  return snmpaccess::result::kWrongType;
}

int runWrite(cli::Context& ctx, GroupOptions& o) {
  const std::string command = "write";
  if (const int rc = resolvePrefix(ctx, command, o)) return rc;
  long row = -1;
  if (!takeRow(o.rest, 0, row)) return cli::usageError(ctx, command, "ROW is a number from 1");
  if (o.rest.empty()) return cli::usageError(ctx, command, "expected ADDRESS GROUP [ROW] VAR=VALUE...");
  for (const std::string& a : o.rest)
    if (a.find('=') == std::string::npos || a.front() == '=')
      return cli::usageError(ctx, command, "'" + a + "' is not VAR=VALUE");
  Session s;
  if (const int rc = openSession(ctx, command, o.address, o, s)) return rc;
  std::unique_ptr<CMibGroup> g;
  if (const int rc = buildGroup(ctx, command, o.group, row, o, *s.session, g)) return rc;
  if (const int rc = g->read(*s.session))
    return cli::snmpcmd::reportResult(ctx, command, rc, g->errorStatus(), g->errorIndex(), failedOid(*g));
  for (const std::string& a : o.rest) {
    const std::string var = a.substr(0, a.find('=')), value = a.substr(a.find('=') + 1);
    const int i = findVariable(*g, var);
    if (i < 0) return cli::failure(ctx, command, "no variable '" + var + "' in " + std::string(g->def().name));
    const mib::VariableDef* d = g->variableDef(i);
    if (d && d->access != mib::Access::ReadWrite)
      return cli::failure(ctx, command, "variable '" + var + "' is read-only");
    if (const int rc = setValue(*g, i, value))
      return cli::failure(ctx, command, "'" + value + "' for variable '" + var + "': code " + std::to_string(rc));
  }
  const int changed = g->changedCount();
  if (const int rc = g->writeChanged(*s.session))
    return cli::snmpcmd::reportResult(ctx, command, rc, g->errorStatus(), g->errorIndex(), failedOid(*g));
  if (ctx.json)
    cli::writeJson(ctx, nlohmann::json{{"result", 0}, {"written", changed}});
  else
    *ctx.out << (changed ? std::to_string(changed) + " variable(s) written\n" : std::string("nothing changed\n"));
  return cli::kExitOk;
}

const cli::CommandRegistration kRead({
    "read",
    "read one MIB group of a print server",
    "Reads every variable of GROUP (a class name from 'trellanctl groups', e.g. CTcpIpGroup)\n"
    "with its rows, and prints index, name, OID, syntax and value. Row groups take ROW (1, 2, ...).\n"
    "A failed read names the object the print server refused.\n\n"
    "Exit status: 0 read, 1 failed (the result code is printed), 2 usage error.",
    [](CLI::App& app) {
      auto o = declareGroupOptions(app);
      app.add_option("ROW", o->rest, "row number of a row group (1, 2, ...)");
      return [o](cli::Context& ctx) { return runRead(ctx, *o); };
    },
});

const cli::CommandRegistration kWrite({
    "write",
    "write variables of one MIB group (changed ones only)",
    "Reads GROUP, sets each VAR (an index or the name 'read' shows) through the group's\n"
    "accessors and SETs the variables whose value changed; nothing changed sends nothing.\n"
    "Integers take a number or an enumeration text, addresses dotted text, byte strings\n"
    "hexadecimal, texts the text.\n\n"
    "Exit status: 0 written, 1 failed, 2 usage error.",
    [](CLI::App& app) {
      auto o = declareGroupOptions(app);
      app.add_option("ASSIGNMENT", o->rest, "[ROW] VAR=VALUE...")->required();
      return [o](cli::Context& ctx) { return runWrite(ctx, *o); };
    },
});

}  // namespace
