// trellanctl traps: listens on the trap port and prints every trap as the engine delivers it
// (a v1 trap arrives translated into an 0xA7 PDU), until --count traps or --seconds have passed
// or Ctrl-C.
#include <chrono>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "access/progress.h"
#include "access/var_bind.h"
#include "cli/cmd_snmp_common.h"
#include "snmp/value_text.h"

namespace {

using namespace cli::snmpcmd;
using Clock = std::chrono::steady_clock;

const char* const kDescription =
    "Listens for traps on UDP port 162 (TRELLAN_TRAP_PORT), or on IPX socket 0x9010 with --ipx,\n"
    "and prints each one: its sender, PDU type and bindings (with --json one object per line).\n"
    "A v1 trap is shown as the engine delivers it, an SNMPv2 trap (0xA7) with sysUpTime.0,\n"
    "snmpTrapOID.0, the trap's bindings and snmpTrapEnterprise.0.\n"
    "Stops after N traps, after S seconds, or on Ctrl-C.\n"
    "Exit status: 0 stopped as asked, 1 the trap socket could not be opened, 2 usage error.";

struct Options {
  long count = 0;
  long seconds = 0;
  bool ipx = false;
};

struct Trap {
  std::string source;
  smiINT type = 0;
  std::string community;
  std::vector<snmpaccess::CVarBind> bindings;
};

// Reads one datagram; false when nothing usable was there.
bool receiveTrap(HSNMP_SESSION session, Trap& trap) {
  HSNMP_ENTITY src = 0, dst = 0;
  HSNMP_CONTEXT ctx = 0;
  HSNMP_PDU pdu = 0;
  SnmpRecvMsg(session, &src, &dst, &ctx, &pdu);
  if (src) {
    char text[64] = {};
    SnmpEntityToStr(src, sizeof text, text);
    text[sizeof text - 1] = '\0';
    trap.source = text;
    SnmpFreeEntity(src);
  }
  if (dst) SnmpFreeEntity(dst);
  if (ctx) {
    smiOCTETS community{};
    if (SnmpContextToStr(ctx, &community) != SNMPAPI_FAILURE) {
      trap.community = snmp::text::isPrintable(community.ptr, community.len)
                           ? std::string(reinterpret_cast<const char*>(community.ptr), community.len)
                           : "hex:" + snmp::text::toHex(community.ptr, community.len);
      SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &community);
    }
    SnmpFreeContext(ctx);
  }
  if (!pdu) return false;
  HSNMP_VBL vbl = 0;
  SnmpGetPduData(pdu, &trap.type, nullptr, nullptr, nullptr, &vbl);
  SnmpFreePdu(pdu);
  const SNMPAPI_STATUS n = vbl ? SnmpCountVbl(vbl) : 0;
  for (smiUINT32 i = 1; i <= n; ++i) {
    smiOID name{};
    smiVALUE value{};
    if (SnmpGetVb(vbl, i, &name, &value) == SNMPAPI_FAILURE) break;
    snmpaccess::CVarBind b{snmpaccess::COid(name)};
    b.assignValue(value);
    trap.bindings.push_back(std::move(b));
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
    if (value.syntax == SNMP_SYNTAX_OID) SnmpFreeDescriptor(SNMP_SYNTAX_OID, &value.value.oid);
    else SnmpFreeDescriptor(value.syntax, &value.value.string);
  }
  if (vbl) SnmpFreeVbl(vbl);
  return true;
}

void printTrap(cli::Context& ctx, const Trap& t) {
  char type[8];
  std::snprintf(type, sizeof type, "0x%02X", static_cast<unsigned>(t.type) & 0xFFu);
  if (ctx.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& b : t.bindings) {
      const snmp::text::ValueText v = snmp::text::formatValue(b.value());
      list.push_back({{"oid", b.name().text()}, {"syntax", v.syntax}, {"value", v.text}});
    }
    nlohmann::json j = {{"source", t.source}, {"type", type}, {"community", t.community}, {"bindings", list}};
    cli::writeJson(ctx, j, true);
    return;
  }
  *ctx.out << "trap from " << t.source << " type " << type << " (" << snmp::text::pduTypeName(t.type)
           << ") community " << t.community << "\n";
  for (const auto& b : t.bindings) *ctx.out << "  " << b.name().text() << " = " << snmp::text::formatValueSpec(b.value()) << "\n";
  ctx.out->flush();
}

int run(cli::Context& ctx, const Options& o) {
  const bool limitCount = o.count > 0, limitTime = o.seconds > 0;
  const long count = o.count, seconds = o.seconds;
  const bool ipx = o.ipx;

  Engine engine;
  if (!engine.started()) return cli::failure(ctx, "traps", "the SNMP engine could not be started");
  const HSNMP_SESSION session = SnmpOpen(engine.progress().target(), snmpaccess::kSnmpNotifyMessage);
  if (!session) return cli::failure(ctx, "traps", "the SNMP session could not be opened");
  SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
  const HSNMP_ENTITY kind = ipx ? SnmpStrToEntity(session, "00000000-000000000000") : 0;
  if (SnmpRegister(session, kind, 0, 0, nullptr, SNMPAPI_ON) == SNMPAPI_FAILURE) {
    const smiUINT32 code = SnmpGetLastError(session);
    SnmpClose(session);
    return cli::failure(ctx, "traps", std::string("the trap socket could not be opened (") + SnmpErrorName(code) + ")");
  }
  if (!ctx.json) *ctx.err << "trellanctl traps: listening" << std::endl;

  const auto deadline = Clock::now() + std::chrono::seconds(limitTime ? seconds : 0);
  long received = 0;
  while (!limitCount || received < count) {
    int waitMs = 1000;
    if (limitTime) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) break;
      waitMs = static_cast<int>(std::min<long long>(left, 1000));
    }
    const snmpaccess::WaitResult w = engine.progress().waitFor(snmpaccess::kSnmpNotifyMessage, waitMs);
    if (w.status == snmpaccess::WaitStatus::Stopped) break;
    if (w.status != snmpaccess::WaitStatus::Arrived) continue;
    Trap trap;
    if (!receiveTrap(session, trap)) continue;
    printTrap(ctx, trap);
    ++received;
  }
  SnmpRegister(session, kind, 0, 0, nullptr, SNMPAPI_OFF);
  if (kind) SnmpFreeEntity(kind);
  SnmpClose(session);
  return cli::kExitOk;
}

const cli::CommandRegistration kTraps({"traps", "listen for traps and print them", kDescription, [](CLI::App& app) {
                                         auto o = std::make_shared<Options>();
                                         app.add_option("--count", o->count, "stop after N traps")
                                             ->check(CLI::PositiveNumber)
                                             ->type_name("N");
                                         app.add_option("--seconds", o->seconds, "stop after S seconds")
                                             ->check(CLI::PositiveNumber)
                                             ->type_name("S");
                                         app.add_flag("--ipx", o->ipx, "listen on IPX socket 0x9010");
                                         return [o](cli::Context& ctx) { return run(ctx, *o); };
                                       }});

}  // namespace
