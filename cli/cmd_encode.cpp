// trellanctl encode: builds an SNMP message from the command line and prints its hex.
#include <charconv>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "snmp/codec.h"
#include "snmp/value_text.h"
#include "snmp/winsnmp.h"

namespace {

const char* const kUsage =
    "Usage: trellanctl [--json] encode [OPTIONS] OID[=SYNTAX:VALUE]...\n\n"
    "Builds an SNMPv1 message and prints it as hex bytes.\n\n"
    "Options:\n"
    "  --type T            get (default), getnext, set, response, trap (v1), getbulk, inform, trap2\n"
    "  --community C       community text (default public)\n"
    "  --request-id N      request id (default 1)\n"
    "  --error-status N    error status (default 0)\n"
    "  --error-index N     error index (default 0)\n"
    "  v1 trap only:\n"
    "  --enterprise OID    (default 1.3.6.1.4.1)\n"
    "  --agent-addr A      IPv4 address (default 0.0.0.0)\n"
    "  --generic N         generic trap 0-6 (default 6)\n"
    "  --specific N        specific trap (default 0)\n"
    "  --timestamp N       time stamp in hundredths of a second (default 0)\n\n"
    "Each binding is OID=SYNTAX:VALUE; OID alone means a null value. SYNTAX is one of null, int,\n"
    "octets (text), hex (octets as hex digits), ipaddr, oid, counter32, gauge32, timeticks,\n"
    "uint32, counter64, opaque (hex), nsap (hex), bits (hex[/LENGTH]), nosuchobject,\n"
    "nosuchinstance, endofmibview.\n\n"
    "Example: trellanctl encode --type set --community private 1.3.6.1.2.1.1.5.0=octets:lab-printer\n\n"
    "Exit status: 0 encoded, 1 the engine refused the message, 2 usage error.\n";

template <typename T>
bool number(const std::string& text, T& out) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, out);
  return !text.empty() && ec == std::errc() && p == end;
}

struct Binding {
  std::vector<smiUINT32> name;
  snmp::text::OwnedValue value;
};

int run(cli::Context& ctx) {
  auto& args = ctx.args;
  std::string text;
  bool missing = false;
  auto option = [&](const char* name, std::string& value) {
    const bool found = cli::takeOption(args, name, value, missing);
    return found;
  };

  snmp::codec::EncodeInput in;
  in.pduType = SNMP_PDU_GET;
  in.requestId = 1;
  std::string community = "public";
  std::vector<smiUINT32> enterprise{1, 3, 6, 1, 4, 1};
  smiBYTE agent[4] = {0, 0, 0, 0};
  in.genericTrap = 6;

  struct Numeric {
    const char* name;
    std::int32_t* target;
  } numerics[] = {{"request-id", &in.requestId},    {"error-status", &in.errorStatus}, {"error-index", &in.errorIndex},
                  {"generic", &in.genericTrap},     {"specific", &in.specificTrap}};
  for (const auto& n : numerics) {
    if (!option(n.name, text)) continue;
    if (missing) return cli::usageError(ctx, "encode", std::string("--") + n.name + " needs a value");
    if (!number(text, *n.target))
      return cli::usageError(ctx, "encode", std::string("--") + n.name + ": '" + text + "' is not a 32-bit number");
  }
  if (option("timestamp", text)) {
    if (missing || !number(text, in.timeStamp))
      return cli::usageError(ctx, "encode", "--timestamp: '" + text + "' is not a number from 0 to 4294967295");
  }
  if (option("type", text)) {
    if (missing || !snmp::text::parsePduType(text, in.pduType))
      return cli::usageError(ctx, "encode",
                             "--type: '" + text + "' is not one of get, getnext, set, response, trap, getbulk, "
                                                  "inform, trap2");
  }
  if (option("community", text)) {
    if (missing) return cli::usageError(ctx, "encode", "--community needs a value");
    if (text.size() > snmp::codec::kMaxCommunity)
      return cli::usageError(ctx, "encode", "--community: longer than 256 bytes");
    community = text;
  }
  if (option("enterprise", text)) {
    if (missing || !snmp::text::parseOid(text, enterprise) || enterprise.size() < 2)
      return cli::usageError(ctx, "encode", "--enterprise: '" + text + "' is not a dotted OID");
  }
  if (option("agent-addr", text)) {
    snmp::text::OwnedValue v;
    std::string error;
    if (missing || !snmp::text::parseValue("ipaddr", text, v, error))
      return cli::usageError(ctx, "encode", "--agent-addr: '" + text + "' is not an IPv4 address");
    std::copy(v.bytes().begin(), v.bytes().end(), agent);
  }

  std::vector<Binding> bindings;
  for (const auto& a : args) {
    if (a.rfind("--", 0) == 0) return cli::usageError(ctx, "encode", "unknown option '" + a + "'");
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
    *ctx.out << nlohmann::json{{"hex", hex}, {"length", length}}.dump(2) << "\n";
  } else {
    *ctx.out << hex << "\n";
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kRegistration({"encode", "build an SNMP message and print its hex", kUsage, run});

}  // namespace
