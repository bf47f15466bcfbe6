#include "cli/cmd_snmp_common.h"

#include <csignal>
#include <cctype>
#include <nlohmann/json.hpp>
#include <ostream>

#include "access/result_codes.h"
#include "app/access_list.h"
#include "app/settings.h"
#include "platform/registry.h"
#include "snmp/engine_watch.h"
#include "snmp/value_text.h"

namespace cli::snmpcmd {

std::atomic<bool> gInterrupted{false};

namespace {

void onInterrupt(int) { gInterrupted.store(true); }

bool parseTimeout(const std::string& text, std::uint32_t& out) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  out = static_cast<std::uint32_t>(std::stoul(text));
  return out > 0;
}

}  // namespace

void installInterruptHandler() {
  struct sigaction sa = {};
  sa.sa_handler = onInterrupt;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

int takeOptions(Context& ctx, const std::string& command, Options& options) {
  std::string value;
  bool missing = false;
  if (takeOption(ctx.args, "community", value, missing)) {
    if (missing) return usageError(ctx, command, "--community needs a value");
    options.community = value;
  }
  if (takeOption(ctx.args, "set-community", value, missing)) {
    if (missing) return usageError(ctx, command, "--set-community needs a value");
    options.setCommunity = value;
  }
  if (takeOption(ctx.args, "timeout", value, missing)) {
    if (missing || !parseTimeout(value, options.timeout))
      return usageError(ctx, command, "--timeout takes hundredths of a second (1 or more)");
  }
  for (const std::string* c : {&options.community, &options.setCommunity})
    if (c->size() > snmpaccess::kTargetTextSize - 1)
      return usageError(ctx, command, "a community name has at most 32 characters");
  if (options.setCommunity.empty()) options.setCommunity = options.community;
  return kExitOk;
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

bool makeTarget(Context& ctx, const std::string& command, const std::string& address, const Options& options,
                snmpaccess::ProgressWindow* progress, snmpaccess::SnmpTarget& target) {
  if (address.empty() || address.size() > snmpaccess::kTargetTextSize - 1) {
    usageError(ctx, command, "'" + address.substr(0, 40) + "' is not an address (IPv4, IPX network-node or COMn)");
    return false;
  }
  target.family = familyOf(address);
  target.setAddress(address);
  std::string getCommunity = options.community;
  std::string setCommunity = options.setCommunity;
  if (getCommunity.empty() || setCommunity.empty()) {
    const char* key = target.family == snmpaccess::kFamilyIpx      ? app::kAccessNwKey
                      : target.family == snmpaccess::kFamilySerial ? app::kAccessComKey
                                                                   : app::kAccessIpKey;
    platform::Registry registry;
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

int reportResult(Context& ctx, const std::string& command, int code, int errorStatus, int errorIndex) {
  const char* meaning = snmpaccess::resultCodeMeaning(code);
  std::string text = meaning ? meaning : "";
  if (!meaning) {
    const char* name = snmp::text::errorStatusName(errorStatus);
    text = std::string("error status ") + std::to_string(code) + (name && *name ? std::string(" (") + name + ")" : "") +
           " in the reply";
  }
  if (ctx.json) {
    nlohmann::json j = {{"result", code}, {"meaning", text}};
    if (errorStatus) {
      j["errorStatus"] = errorStatus;
      j["errorIndex"] = errorIndex;
    }
    *ctx.out << j.dump(2) << "\n";
  }
  std::string message = std::to_string(code) + " " + text;
  if (errorStatus) message += " (error index " + std::to_string(errorIndex) + ")";
  return failure(ctx, command, message);
}

void printBindings(Context& ctx, const std::vector<snmpaccess::CVarBind*>& bindings) {
  if (ctx.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const snmpaccess::CVarBind* b : bindings) {
      const snmp::text::ValueText t = snmp::text::formatValue(b->value());
      list.push_back({{"oid", b->name().text()}, {"syntax", t.syntax}, {"value", t.text}});
    }
    nlohmann::json j = {{"result", 0}, {"bindings", list}};
    *ctx.out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return;
  }
  for (const snmpaccess::CVarBind* b : bindings) {
    smiVALUE v = b->value();
    v.syntax = b->syntax();
    *ctx.out << b->name().text() << " = " << snmp::text::formatValueSpec(v) << "\n";
  }
}

}  // namespace cli::snmpcmd
