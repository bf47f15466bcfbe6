#include "cli/cmd_snmp_common.h"

#include <csignal>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "access/result_codes.h"
#include "app/access_list.h"
#include "app/settings.h"
#include "devices/ipv4_text.h"
#include "platform/net_config.h"
#include "platform/registry.h"
#include "snmp/address_text.h"
#include "snmp/engine_watch.h"
#include "snmp/value_text.h"

namespace cli::snmpcmd {

std::atomic<bool> gInterrupted{false};

namespace {

void onInterrupt(int) { gInterrupted.store(true); }

}  // namespace

void installInterruptHandler() {
  struct sigaction sa = {};
  sa.sa_handler = onInterrupt;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

void addOptions(CLI::App& app, Options& options) {
  const CLI::Validator communityLength(
      [](std::string& c) {
        return c.size() > snmpaccess::kTargetTextSize - 1 ? std::string("a community name has at most 32 characters")
                                                          : std::string();
      },
      "NAME");
  app.add_option("--community", options.community, "GET community (default: the settings' device access list)")
      ->check(communityLength);
  app.add_option("--set-community", options.setCommunity,
                 "SET community (default: --community when given, else the access list)")
      ->check(communityLength);
  app.add_option("--timeout", options.timeout,
                 "wait per transmission in hundredths of a second; a request is sent up to three times")
      ->capture_default_str()
      ->check(CLI::Range(1u, 360000u))
      ->each([&options](const std::string&) { options.timeoutGiven = true; });
}

std::uint16_t familyOf(const std::string& address) {
  if (address.size() >= 4 && (address.compare(0, 3, "COM") == 0 || address.compare(0, 3, "com") == 0))
    return snmpaccess::kFamilySerial;
  if (address.find('-') != std::string::npos || address.find(':') != std::string::npos) return snmpaccess::kFamilyIpx;
  return snmpaccess::kFamilyIpv4;
}

Engine::Engine() {
  gInterrupted.store(false);
  installInterruptHandler();
  started_ = SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE;
  progress_ = std::make_unique<snmpaccess::HeadlessProgress>(&snmp::headlessWatch(), &gInterrupted);
}

Engine::~Engine() {
  progress_.reset();
  if (started_) SnmpCleanup();
}

std::string addressProblem(const std::string& address) {
  const std::string shown = "'" + address.substr(0, 40) + "'";
  if (address.empty() || address.size() > snmpaccess::kTargetTextSize - 1)
    return shown + " is not an address (IPv4, IPX network-node or COMn)";
  switch (familyOf(address)) {
    case snmpaccess::kFamilySerial: {
      char port[5];
      return snmp::address::parseSerial(address.c_str(), port) ? "" : shown + " is not a serial port (COM1..COM9)";
    }
    case snmpaccess::kFamilyIpx: {
      std::uint8_t network[4], node[6];
      return snmp::address::parseIpx(address.c_str(), network, node)
                 ? ""
                 : shown + " is not an IPX address (NNNNNNNN-XXXXXXXXXXXX)";
    }
    default: {
      // Digits and dots are meant as a dotted address and must be one; anything else is a host name.
      if (address.find_first_not_of("0123456789.") == std::string::npos)
        return devices::parseIpv4(address) ? "" : shown + " is not an IPv4 address";
      std::uint8_t a[4];
      return snmp::address::parseIpv4(address.c_str(), a) ? "" : shown + " is neither an IPv4 address nor a known host name";
    }
  }
}

std::string loopbackRefusal(std::uint32_t address) {
  if (!platform::netConfig().loopbackOnly || (address >> 24) == 127) return "";
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFFu, (address >> 8) & 0xFFu,
                address & 0xFFu);
  return std::string("refused by the loopback guard: ") + text +
         " lies outside 127.0.0.0/8 and TRELLAN_LOOPBACK_ONLY is set; nothing was sent";
}

bool makeTarget(Context& ctx, const std::string& command, const std::string& address, const Options& options,
                snmpaccess::ProgressWindow* progress, snmpaccess::SnmpTarget& target, int& exit) {
  if (const std::string problem = addressProblem(address); !problem.empty()) {
    exit = usageError(ctx, command, problem);
    return false;
  }
  if (familyOf(address) == snmpaccess::kFamilyIpv4) {
    std::uint8_t a[4] = {};
    snmp::address::parseIpv4(address.c_str(), a);
    const std::uint32_t host = (std::uint32_t{a[0]} << 24) | (std::uint32_t{a[1]} << 16) | (std::uint32_t{a[2]} << 8) | a[3];
    if (const std::string refusal = loopbackRefusal(host); !refusal.empty()) {
      exit = failure(ctx, command, refusal);
      return false;
    }
  }
  target.family = familyOf(address);
  target.setAddress(address);
  std::string getCommunity = options.community;
  std::string setCommunity = options.setCommunity.empty() ? options.community : options.setCommunity;
  if (getCommunity.empty() || setCommunity.empty()) {
    const char* key = target.family == snmpaccess::kFamilyIpx      ? app::kAccessNwKey
                      : target.family == snmpaccess::kFamilySerial ? app::kAccessComKey
                                                                   : app::kAccessIpKey;
    const platform::Registry registry(platform::Registry::defaultPath(),
                                      [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; },
                                      platform::Registry::Access::ReadOnly);
    app::CAccessList list;
    list.load(registry, key, true);
    const app::CAccessEntry& entry = list.lookup(address);
    if (getCommunity.empty()) getCommunity = entry.getCommunity;
    if (setCommunity.empty()) setCommunity = entry.setCommunity;
  }
  target.setGetCommunity(getCommunity);
  target.setSetCommunity(setCommunity);
  target.progress = progress;
  return true;
}

int reportResult(Context& ctx, const std::string& command, int code, int errorStatus, int errorIndex,
                 const std::string& oid) {
  const char* meaning = snmpaccess::resultCodeMeaning(code);
  std::string text = meaning ? meaning : "";
  if (!meaning) {
    const char* name = snmp::text::errorStatusName(errorStatus);
    text = std::string("error status ") + std::to_string(code) + (name && *name ? std::string(" (") + name + ")" : "") +
           " in the reply";
  }
  std::string message = std::to_string(code) + " " + text;
  if (errorStatus) message += " (error index " + std::to_string(errorIndex) + (oid.empty() ? "" : ": " + oid) + ")";
  else if (!oid.empty()) message += " (" + oid + ")";
  if (ctx.json) {
    nlohmann::json j = {{"result", code}, {"meaning", text}, {"error", message}};
    if (errorStatus) {
      j["errorStatus"] = errorStatus;
      j["errorIndex"] = errorIndex;
    }
    if (!oid.empty()) j["oid"] = oid;
    writeJson(ctx, j);
  }
  return failure(ctx, command, message);
}

void printBindings(Context& ctx, const std::vector<snmpaccess::CVarBind*>& bindings) {
  if (ctx.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const snmpaccess::CVarBind* b : bindings) {
      const snmp::text::ValueText t = snmp::text::formatValue(b->value());
      list.push_back({{"oid", b->name().text()}, {"syntax", t.syntax}, {"value", t.text}});
    }
    writeJson(ctx, nlohmann::json{{"result", 0}, {"bindings", list}});
    return;
  }
  for (const snmpaccess::CVarBind* b : bindings) {
    smiVALUE v = b->value();
    v.syntax = b->syntax();
    *ctx.out << b->name().text() << " = " << snmp::text::formatValueSpec(v) << "\n";
  }
}

}  // namespace cli::snmpcmd
