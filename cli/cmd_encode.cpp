// trellanctl encode: builds an SNMP message from the command line and prints its hex.
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "snmp/codec.h"
#include "snmp/value_text.h"
#include "snmp/winsnmp.h"

namespace {

const char* const kDescription =
    "Builds an SNMPv1 message and prints it as hex bytes.\n\n"
    "Each binding is OID=SYNTAX:VALUE; OID alone means a null value. SYNTAX is one of null, int,\n"
    "octets (text), hex (octets as hex digits), ipaddr, oid, counter32, gauge32, timeticks,\n"
    "uint32, counter64, opaque (hex), nsap (hex), bits (hex[/LENGTH]), nosuchobject,\n"
    "nosuchinstance, endofmibview. --enterprise, --agent-addr, --generic, --specific and\n"
    "--timestamp apply to a v1 trap only.\n\n"
    "Example: trellanctl encode --type set --community private 1.3.6.1.2.1.1.5.0=octets:lab-printer\n\n"
    "Exit status: 0 encoded, 1 the engine refused the message, 2 usage error.";

struct Options {
  std::string type = "get";
  std::string community = "public";
  std::int32_t requestId = 1;
  std::int32_t errorStatus = 0;
  std::int32_t errorIndex = 0;
  std::string enterprise = "1.3.6.1.4.1";
  std::string agentAddr = "0.0.0.0";
  std::int32_t generic = 6;
  std::int32_t specific = 0;
  std::uint32_t timestamp = 0;
  std::vector<std::string> bindings;
};

struct Binding {
  std::vector<smiUINT32> name;
  snmp::text::OwnedValue value;
};

int run(cli::Context& ctx, const Options& o) {
  snmp::codec::EncodeInput in;
  if (!snmp::text::parsePduType(o.type, in.pduType))
    return cli::usageError(ctx, "encode", "--type: '" + o.type + "' is not a PDU type");
  in.requestId = o.requestId;
  in.errorStatus = o.errorStatus;
  in.errorIndex = o.errorIndex;
  in.genericTrap = o.generic;
  in.specificTrap = o.specific;
  in.timeStamp = o.timestamp;
  const std::string& community = o.community;
  std::vector<smiUINT32> enterprise;
  if (!snmp::text::parseOid(o.enterprise, enterprise) || enterprise.size() < 2)
    return cli::usageError(ctx, "encode", "--enterprise: '" + o.enterprise + "' is not a dotted OID");
  smiBYTE agent[4] = {0, 0, 0, 0};
  {
    snmp::text::OwnedValue v;
    std::string error;
    if (!snmp::text::parseValue("ipaddr", o.agentAddr, v, error))
      return cli::usageError(ctx, "encode", "--agent-addr: '" + o.agentAddr + "' is not an IPv4 address");
    std::copy(v.bytes().begin(), v.bytes().end(), agent);
  }

  std::vector<Binding> bindings;
  for (const auto& a : o.bindings) {
    const std::size_t eq = a.find('=');
    Binding b;
    if (!snmp::text::parseOid(a.substr(0, eq), b.name))
      return cli::usageError(ctx, "encode", "'" + a.substr(0, eq) + "' is not a dotted OID");
    if (eq != std::string::npos) {
      std::string error;
      if (!snmp::text::parseValueSpec(std::string_view(a).substr(eq + 1), b.value, error))
        return cli::usageError(ctx, "encode", a.substr(0, eq) + ": " + error);
    }
    bindings.push_back(std::move(b));
  }
  if (bindings.size() > snmp::codec::kMaxBindings)
    return cli::usageError(ctx, "encode", "at most 32 bindings fit one message");

  std::vector<smiOID> names(bindings.size());
  std::vector<snmp::codec::BindingRef> refs(bindings.size());
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    names[i] = {static_cast<smiUINT32>(bindings[i].name.size()), bindings[i].name.data()};
    refs[i] = {&names[i], &bindings[i].value.value()};
  }
  smiOID ent{static_cast<smiUINT32>(enterprise.size()), enterprise.data()};
  smiOCTETS agentAddress{4, agent};
  in.enterprise = &ent;
  in.agentAddress = &agentAddress;
  in.community = reinterpret_cast<const smiBYTE*>(community.data());
  in.communityLength = static_cast<smiUINT32>(community.size());
  in.bindings = refs.data();
  in.count = static_cast<smiUINT32>(refs.size());

  smiBYTE work[snmp::codec::kMaxMessage];
  const smiBYTE* start = nullptr;
  std::size_t length = 0;
  const smiUINT32 code = snmp::codec::encodeInto(in, work, sizeof work, &start, &length);
  if (code) return cli::failure(ctx, "encode", std::string(SnmpErrorName(code)) + " (" + std::to_string(code) + ")");
  const std::string hex = snmp::text::toHex(start, length, true);
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"hex", hex}, {"length", length}});
  } else {
    *ctx.out << hex << "\n";
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kRegistration({
    "encode", "build an SNMP message and print its hex", kDescription, [](CLI::App& app) {
      auto o = std::make_shared<Options>();
      cli::addChoice(app, "--type", o->type, {"get", "getnext", "set", "response", "trap", "getbulk", "inform", "trap2"},
                     "PDU type (trap is the v1 trap)")
          ->capture_default_str();
      app.add_option("--community", o->community, "community text")
          ->capture_default_str()
          ->check(CLI::Validator(
              [](std::string& c) { return c.size() > snmp::codec::kMaxCommunity ? "longer than 256 bytes" : ""; },
              "TEXT"));
      app.add_option("--request-id", o->requestId, "request id")->capture_default_str();
      app.add_option("--error-status", o->errorStatus, "error status")->capture_default_str();
      app.add_option("--error-index", o->errorIndex, "error index")->capture_default_str();
      app.add_option("--enterprise", o->enterprise, "v1 trap: enterprise OID")->capture_default_str()->type_name("OID");
      app.add_option("--agent-addr", o->agentAddr, "v1 trap: agent IPv4 address")->capture_default_str();
      app.add_option("--generic", o->generic, "v1 trap: generic trap")->capture_default_str()->check(CLI::Range(0, 6));
      app.add_option("--specific", o->specific, "v1 trap: specific trap")->capture_default_str();
      app.add_option("--timestamp", o->timestamp, "v1 trap: time stamp in hundredths of a second")
          ->capture_default_str();
      app.add_option("BINDING", o->bindings, "OID[=SYNTAX:VALUE]");
      return [o](cli::Context& ctx) { return run(ctx, *o); };
    }});

}  // namespace
