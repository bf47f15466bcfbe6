// trellanctl decode: shows an SNMP message given as hex, field by field.
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "snmp/codec.h"
#include "snmp/value_text.h"
#include "snmp/winsnmp.h"

namespace {

const char* const kDescription =
    "Decodes an SNMPv1 message given as hex digits (the arguments are joined; spaces and ':'\n"
    "between bytes are allowed) and prints its version, community, PDU type, request id, error\n"
    "status and index, and each binding as OID = SYNTAX:VALUE. A received v1 trap is shown as\n"
    "the engine delivers it: an SNMPv2 trap with sysUpTime.0, snmpTrapOID.0, the bindings and\n"
    "snmpTrapEnterprise.0.\n\n"
    "Exit status: 0 decoded, 1 not a valid message (the engine's error is printed), 2 usage error.";

std::string communityText(const snmp::codec::DecodeOutput& m) {
  if (snmp::text::isPrintable(m.community, m.communityLength))
    return std::string(reinterpret_cast<const char*>(m.community), m.communityLength);
  return "hex:" + snmp::text::toHex(m.community, m.communityLength);
}

int run(cli::Context& ctx, const std::vector<std::string>& hex) {
  std::string joined;
  for (const auto& a : hex) joined += a + " ";
  std::vector<smiBYTE> bytes;
  if (!snmp::text::parseHex(joined, bytes) || bytes.empty())
    return cli::usageError(ctx, "decode", "'" + joined.substr(0, joined.size() - 1) + "' is not a sequence of hex bytes");

  auto m = std::make_unique<snmp::codec::DecodeOutput>();
  std::size_t consumed = 0;
  const smiUINT32 code = snmp::codec::decodeMessage(bytes.data(), bytes.size(), *m, &consumed);
  if (code) return cli::failure(ctx, "decode", std::string(SnmpErrorName(code)) + " (" + std::to_string(code) + ")");
  if (consumed != bytes.size()) {
    snmp::codec::freeDecoded(*m);
    return cli::failure(ctx, "decode", std::to_string(bytes.size() - consumed) + " bytes follow the end of the message");
  }

  std::ostream& out = *ctx.out;
  if (ctx.json) {
    nlohmann::json bindings = nlohmann::json::array();
    for (smiUINT32 i = 0; i < m->count; ++i) {
      const auto t = snmp::text::formatValue(m->bindings[i].value);
      bindings.push_back({{"oid", snmp::text::oidToText(m->bindings[i].name)}, {"syntax", t.syntax}, {"value", t.text}});
    }
    nlohmann::json j = {{"version", 0},
                        {"community", communityText(*m)},
                        {"pduType", snmp::text::pduTypeName(m->pduType)},
                        {"pduTag", m->pduType},
                        {"requestId", m->requestId},
                        {"errorStatus", m->errorStatus},
                        {"errorIndex", m->errorIndex},
                        {"length", consumed},
                        {"bindings", bindings}};
    cli::writeJson(ctx, j);
  } else {
    char tag[8];
    std::snprintf(tag, sizeof tag, "0x%02X", static_cast<unsigned>(m->pduType));
    const char* status = snmp::text::errorStatusName(m->errorStatus);
    out << "version: 0 (SNMPv1)\n"
        << "community: " << communityText(*m) << "\n"
        << "PDU type: " << snmp::text::pduTypeName(m->pduType) << " (" << tag << ")\n"
        << "request id: " << m->requestId << "\n"
        << "error status: " << m->errorStatus << (*status ? std::string(" (") + status + ")" : "") << "\n"
        << "error index: " << m->errorIndex << "\n"
        << "bindings: " << m->count << "\n";
    for (smiUINT32 i = 0; i < m->count; ++i) {
      out << "  " << snmp::text::oidToText(m->bindings[i].name) << " = "
          << snmp::text::formatValueSpec(m->bindings[i].value) << "\n";
    }
  }
  snmp::codec::freeDecoded(*m);
  return cli::kExitOk;
}

const cli::CommandRegistration kRegistration({"decode", "decode an SNMP message given as hex", kDescription,
                                               [](CLI::App& app) {
                                                 auto hex = std::make_shared<std::vector<std::string>>();
                                                 app.add_option("HEX", *hex, "the message's bytes as hex digits")
                                                     ->required();
                                                 return [hex](cli::Context& ctx) { return run(ctx, *hex); };
                                               }});

}  // namespace
