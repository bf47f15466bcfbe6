// trellanctl whats-wrong: the one-message diagnosis of a print server ("&What's Wrong").
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "devices/device.h"
#include "devices/ipv4_text.h"
#include "platform/net_config.h"
#include "snmp/engine_watch.h"
#include "status/whats_wrong.h"

namespace {

const std::string kCommand = "whats-wrong";

struct WhatsWrongOptions {
  std::string address;
  std::uint16_t port = platform::kDefaultDiscoveryPort;
  int timeoutMs = 6000;
};

int runWhatsWrong(cli::Context& ctx, const WhatsWrongOptions& o) {
  const auto ip = devices::parseIpv4(o.address);
  if (!ip) return cli::usageError(ctx, kCommand, "'" + o.address + "' is no IPv4 address");
  if (const std::string refusal = cli::snmpcmd::loopbackRefusal(*ip); !refusal.empty())
    return cli::failure(ctx, kCommand, refusal);
  cli::snmpcmd::installInterruptHandler();
  snmpaccess::HeadlessProgress progress(&snmp::headlessWatch(), &cli::snmpcmd::gInterrupted);
  devices::CIpDevice device(o.address);
  device.progress = &progress;
  device.querySettings.discoveryPort = o.port;
  device.querySettings.replyTimeoutMs = o.timeoutMs;
  device.querySettings.secondFamilyPort = platform::netConfig().secondFamilyPort;
  std::string text;
  const int rc = status::whatsWrong(device, text);
  if (rc == 2) return cli::failure(ctx, kCommand, "stopped");
  if (ctx.json) {
    cli::writeJson(ctx, nlohmann::json{{"address", o.address}, {"answered", rc == 0}, {"text", text}});
  } else {
    *ctx.out << text << "\n";
  }
  return rc == 0 ? cli::kExitOk : cli::kExitFailed;
}

const cli::CommandRegistration kWhatsWrong({
    "whats-wrong",
    "say in one message what is wrong with a print server and its printers",
    "Asks the unit again over the discovery protocol and prints its status for all ports, the\n"
    "message of the \"What's Wrong\" command.\n\n"
    "Exit status: 0 the unit answered, 1 it did not (the text says so), 2 usage error.",
    [](CLI::App& app) {
      auto o = std::make_shared<WhatsWrongOptions>();
      app.add_option("--port", o->port, "discovery port")->capture_default_str()->check(CLI::Range(1, 65535))->type_name("N");
      app.add_option("--timeout", o->timeoutMs, "wait for the reply in milliseconds")
          ->capture_default_str()
          ->check(CLI::Range(1, 600000))
          ->type_name("MS");
      app.add_option("ADDRESS", o->address, "the print server")->required();
      return [o](cli::Context& ctx) { return runWhatsWrong(ctx, *o); };
    },
});

}  // namespace
