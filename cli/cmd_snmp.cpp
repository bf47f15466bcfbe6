// trellanctl get, getnext, set and walk: requests to one print server through CSnmpSession,
// with its three transmissions and its result codes.
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "access/result_codes.h"
#include "cli/cmd_snmp_common.h"
#include "snmp/value_text.h"

namespace {

using namespace cli::snmpcmd;
using snmpaccess::COid;
using snmpaccess::CSnmpSession;
using snmpaccess::CVarBind;

constexpr std::size_t kMaxPerRequest = 32;       // what one binding list holds
constexpr long kDefaultWalkLimit = 100000;

const char* const kAddressHelp =
    "ADDRESS is a dotted IPv4 address, an IPX network-node (0000ABCD-020000123456) or a serial\n"
    "port (COM1..COM9). The agent port is 161 unless TRELLAN_SNMP_PORT says otherwise.\n"
    "Ctrl-C stops a waiting request (result 3161).\n\n"
    "Exit status: 0 success, 1 the request failed (the result code and its meaning are printed),\n"
    "2 usage error.";

struct Request {
  std::vector<std::unique_ptr<CVarBind>> owned;
  std::vector<CVarBind*> list;
  void add(std::unique_ptr<CVarBind> b) {
    list.push_back(b.get());
    owned.push_back(std::move(b));
  }
};

// The options and arguments every request command takes.
struct Prepared {
  Options options;
  std::string address;
  std::vector<std::string> rest;
  long limit = kDefaultWalkLimit;  // walk only
};

// Declares --community, --set-community, --timeout and ADDRESS; the caller adds what follows.
std::shared_ptr<Prepared> declare(CLI::App& app) {
  auto p = std::make_shared<Prepared>();
  addOptions(app, p->options);
  app.add_option("ADDRESS", p->address, "the print server")->required();
  return p;
}

int prepare(cli::Context& ctx, const std::string& command, bool needsMore, Prepared& p) {
  if (needsMore && p.rest.empty()) return cli::usageError(ctx, command, "give at least one OID");
  if (p.rest.size() > kMaxPerRequest)
    return cli::usageError(ctx, command, "at most 32 objects per request");
  return cli::kExitOk;
}

bool parseName(cli::Context& ctx, const std::string& command, const std::string& text, COid& oid) {
  oid.assign(text.c_str());
  if (oid.empty()) {
    cli::usageError(ctx, command, "'" + text + "' is not an OID (dotted decimal)");
    return false;
  }
  return true;
}

// Runs get or getnext of the OIDs given.
enum class Operation { Get, GetNext, Set };

// The engine, the target from the access list or the options, and the session of one command.
// When it cannot be opened, the failure is reported and exitCode() says how the command ends.
class CommandSession {
 public:
  CommandSession(cli::Context& ctx, const std::string& command, const Prepared& p) {
    if (!engine_.started()) {
      exit_ = cli::failure(ctx, command, "the SNMP engine could not be started");
      return;
    }
    if (!makeTarget(ctx, command, p.address, p.options, &engine_.progress(), target_)) {
      exit_ = cli::kExitUsage;
      return;
    }
    int rc = 0;
    session_ = std::make_unique<CSnmpSession>(&target_, rc);
    if (rc != 0) {
      session_.reset();
      exit_ = reportResult(ctx, command, rc, 0, 0);
      return;
    }
    session_->setTimeout(p.options.timeout);
  }
  bool open() const { return session_ != nullptr; }
  int exitCode() const { return exit_; }
  CSnmpSession& operator*() { return *session_; }

 private:
  Engine engine_;  // declared first: it outlives the session
  snmpaccess::SnmpTarget target_;
  std::unique_ptr<CSnmpSession> session_;
  int exit_ = cli::kExitOk;
};

// One request to the print server: the answer printed or the failure reported.
int exchange(cli::Context& ctx, const std::string& command, const Prepared& p, Request& request, Operation op) {
  CommandSession opened(ctx, command, p);
  if (!opened.open()) return opened.exitCode();
  CSnmpSession& session = *opened;
  int rc = 0;
  int status = 0, index = 0;
  switch (op) {
    case Operation::Get: rc = session.get(request.list, &status, &index); break;
    case Operation::GetNext: rc = session.getNext(request.list, &status, &index); break;
    case Operation::Set: rc = session.set(request.list, &status, &index); break;
  }
  if (rc != 0) return reportResult(ctx, command, rc, status, index);
  printBindings(ctx, request.list);
  return cli::kExitOk;
}

int runRead(cli::Context& ctx, const std::string& command, bool next, Prepared& p) {
  if (int rc = prepare(ctx, command, true, p); rc != cli::kExitOk) return rc;
  Request request;
  for (const auto& text : p.rest) {
    COid oid;
    if (!parseName(ctx, command, text, oid)) return cli::kExitUsage;
    request.add(std::make_unique<CVarBind>(oid));
  }
  return exchange(ctx, command, p, request, next ? Operation::GetNext : Operation::Get);
}

int runSet(cli::Context& ctx, Prepared& p) {
  const std::string command = "set";
  if (int rc = prepare(ctx, command, true, p); rc != cli::kExitOk) return rc;
  Request request;
  for (const auto& item : p.rest) {
    const auto eq = item.find('=');
    if (eq == std::string::npos) return cli::usageError(ctx, command, "'" + item + "' is not OID=SYNTAX:VALUE");
    COid oid;
    if (!parseName(ctx, command, item.substr(0, eq), oid)) return cli::kExitUsage;
    snmp::text::OwnedValue value;
    std::string error;
    if (!snmp::text::parseValueSpec(item.substr(eq + 1), value, error))
      return cli::usageError(ctx, command, "'" + item.substr(eq + 1) + "': " + error);
    auto b = std::make_unique<CVarBind>(oid);
    b->assignValue(value.value());
    request.add(std::move(b));
  }
  return exchange(ctx, command, p, request, Operation::Set);
}

int runWalk(cli::Context& ctx, Prepared& p) {
  const std::string command = "walk";
  const long limit = p.limit;
  if (int rc = prepare(ctx, command, false, p); rc != cli::kExitOk) return rc;
  if (p.rest.size() > 1) return cli::usageError(ctx, command, "give one subtree OID at most");
  COid root("1.3.6.1.2.1");
  if (!p.rest.empty() && !parseName(ctx, command, p.rest.front(), root)) return cli::kExitUsage;

  CommandSession opened(ctx, command, p);
  if (!opened.open()) return opened.exitCode();
  CSnmpSession& session = *opened;
  int rc = 0;

  nlohmann::json found = nlohmann::json::array();
  COid previous = root;
  long count = 0;
  std::string problem;
  for (;;) {
    if (count >= limit) {
      problem = "stopped after " + std::to_string(limit) + " objects (--max)";
      break;
    }
    CVarBind b(previous);
    CVarBind* list[] = {&b};
    int status = 0, index = 0;
    rc = session.getNext(list, 1, &status, &index);
    // A v1 agent ends its MIB with noSuchName; a v2-minded one with endOfMibView.
    if (rc == snmpaccess::result::kNoSuchName) break;
    if (rc != 0) return reportResult(ctx, command, rc, status, index);
    if (b.syntax() == SNMP_SYNTAX_ENDOFMIBVIEW) break;
    if (!b.name().startsWith(root)) break;
    // An agent that answers with the same or an earlier OID would keep this loop going forever.
    if (b.name().compare(previous) <= 0) {
      problem = "the agent returned " + b.name().text() + ", which does not follow " + previous.text();
      break;
    }
    ++count;
    if (ctx.json) {
      const snmp::text::ValueText t = snmp::text::formatValue(b.value());
      found.push_back({{"oid", b.name().text()}, {"syntax", t.syntax}, {"value", t.text}});
    } else {
      printBindings(ctx, {&b});
    }
    previous = b.name();
  }
  if (ctx.json) {
    nlohmann::json j = {{"result", problem.empty() ? 0 : 1}, {"bindings", found}};
    if (!problem.empty()) j["error"] = problem;
    cli::writeJson(ctx, j);
  }
  if (!problem.empty()) return cli::failure(ctx, command, problem);
  return cli::kExitOk;
}

const cli::CommandRegistration kGet({"get", "read objects from a print server (SNMP GET)",
                                     std::string("Reads the objects in one GET request and prints OID = SYNTAX:VALUE.\n\n") +
                                         kAddressHelp,
                                     [](CLI::App& app) {
                                       auto p = declare(app);
                                       app.add_option("OID", p->rest, "objects to read (at most 32)")->required();
                                       return [p](cli::Context& ctx) { return runRead(ctx, "get", false, *p); };
                                     }});
const cli::CommandRegistration kGetNext({"getnext", "read the objects that follow the OIDs given (SNMP GETNEXT)",
                                         std::string("Reads the object after each OID in one GETNEXT request.\n\n") +
                                             kAddressHelp,
                                         [](CLI::App& app) {
                                           auto p = declare(app);
                                           app.add_option("OID", p->rest, "objects to read after (at most 32)")
                                               ->required();
                                           return [p](cli::Context& ctx) { return runRead(ctx, "getnext", true, *p); };
                                         }});
const cli::CommandRegistration kSet(
    {"set", "write objects of a print server (SNMP SET)",
     std::string("Writes the values in one SET request with the SET community. Syntaxes: int, octets,\n"
                 "hex, ipaddr, oid, counter32, gauge32, timeticks, uint32, counter64, opaque, null.\n"
                 "Example: trellanctl set 10.0.0.5 1.3.6.1.2.1.1.5.0=octets:lobby\n\n") +
         kAddressHelp,
     [](CLI::App& app) {
       auto p = declare(app);
       app.add_option("BINDING", p->rest, "OID=SYNTAX:VALUE (at most 32)")->required();
       return [p](cli::Context& ctx) { return runSet(ctx, *p); };
     }});
const cli::CommandRegistration kWalk(
    {"walk", "read a subtree object by object (SNMP GETNEXT)",
     std::string("Reads every object under OID (default 1.3.6.1.2.1) with one GETNEXT after the other.\n"
                 "Ends at the subtree's end or the agent's (noSuchName, endOfMibView). An agent that\n"
                 "answers with an OID that does not increase, or more than --max objects, ends the walk\n"
                 "with exit status 1.\n\n") +
         kAddressHelp,
     [](CLI::App& app) {
       auto p = declare(app);
       app.add_option("--max", p->limit, "stop after N objects")
           ->capture_default_str()
           ->check(CLI::Range(1L, 100000000L))
           ->type_name("N");
       app.add_option("OID", p->rest, "the subtree (default 1.3.6.1.2.1)");
       return [p](cli::Context& ctx) { return runWalk(ctx, *p); };
     }});

}  // namespace
