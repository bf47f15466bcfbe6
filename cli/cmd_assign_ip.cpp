// trellanctl assign-ip: gives a print server without an address its IP address, by serial
// number (the initialization request of the native units) or by hardware address (the second
// family's sequence first, then the initialization request), and waits until it answers there.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "access/progress_headless.h"
#include "app/settings.h"
#include "cli/cmd_snmp_common.h"
#include "cli/command.h"
#include "devices/device.h"
#include "devices/initialization_request.h"
#include "devices/second_family_setup.h"
#include "platform/net_config.h"
#include "platform/registry.h"
#include "snmp/engine_watch.h"

namespace {

const std::string kCommand = "assign-ip";

struct Options {
  std::string serial;
  std::string hardware;
  std::string address;
  std::string destination;
  bool multicast = false;
  std::string current = "0.0.0.0";
  int waitSeconds = -1;  // -1: the ResetTimeout setting
  int port = 0;          // 0: the DiscoveryPort setting
};

std::string hostText(std::uint32_t a) {
  return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." + std::to_string((a >> 8) & 0xFF) +
         "." + std::to_string(a & 0xFF);
}

int run(cli::Context& ctx, const Options& o) {
  const auto address = devices::parseIpv4(o.address);
  if (!address) return cli::usageError(ctx, kCommand, "'" + o.address + "' is no IPv4 address");
  std::uint32_t identifier = 0;
  if (!o.serial.empty()) {
    const auto id = devices::parseSerialNumber(o.serial);
    if (!id) return cli::usageError(ctx, kCommand, "the serial number is a decimal number of up to 8 digits");
    identifier = *id;
  } else {
    const auto id = devices::identifierOfHardwareText(o.hardware);
    if (!id) return cli::usageError(ctx, kCommand, "the hardware address is 12 hexadecimal digits");
    identifier = *id;
  }
  devices::InitDestination to;
  to.multicast = o.multicast;
  if (!o.destination.empty()) {
    const auto d = devices::parseIpv4(o.destination);
    if (!d) return cli::usageError(ctx, kCommand, "'" + o.destination + "' is no IPv4 address");
    to.address = *d;
  } else if (!o.serial.empty()) {
    to.address = (*address & 0xFFFFFF00u) | 0xFFu;  // the directed broadcast the dialog proposes
  }
  const auto current = devices::parseIpv4(o.current);
  if (!current) return cli::usageError(ctx, kCommand, "'" + o.current + "' is no IPv4 address");
  // A multicast group is let through by the socket layer's guard only on a loopback interface.
  for (const std::uint32_t a : {*address, to.multicast ? *address : to.address})
    if (const std::string refusal = cli::snmpcmd::loopbackRefusal(
            a == platform::kLimitedBroadcast ? platform::netConfig().broadcastAddress : a);
        !refusal.empty())
      return cli::failure(ctx, kCommand, refusal);

  platform::Registry reg(platform::Registry::defaultPath(),
                         [&ctx](const std::string& m) { *ctx.err << "trellanctl: " << m << "\n"; },
                         platform::Registry::Access::ReadOnly);
  app::GlobalSettings settings;
  app::loadGlobalSettings(reg, settings);
  const int seconds = o.waitSeconds >= 0 ? o.waitSeconds : static_cast<int>(settings.resetTimeout.load());
  const std::uint16_t discoveryPort =
      o.port > 0 ? static_cast<std::uint16_t>(o.port)
                 : platform::portFromSetting(settings.discoveryPort.load(), platform::kDefaultDiscoveryPort);
  const std::uint16_t secondPort = platform::netConfig().secondFamilyPort;

  cli::snmpcmd::installInterruptHandler();
  snmpaccess::HeadlessProgress progress(&snmp::headlessWatch(), &cli::snmpcmd::gInterrupted);
  int kind = devices::kKindNative;
  if (!o.hardware.empty()) {
    // The second family first: it answers its own protocol or not at all.
    devices::CIpDevice unit(o.current);
    unit.hardwareAddress.assign(o.hardware);
    std::string why;
    *ctx.err << "trying the second family's address assignment\n";
    if (devices::assignSecondFamilyAddress(unit, o.address, {secondPort, 100}, &why) == 0) {
      kind = devices::kKindSecondFamily;
      *ctx.err << devices::kTextAddressSet << "\n";
    } else {
      *ctx.err << "second family: " << why << "\n";
    }
  }
  if (kind == devices::kKindNative) {
    *ctx.err << "sending the initialization request to "
             << (to.multicast ? std::string("the multicast group") : hostText(to.address)) << "\n";
    switch (devices::sendInitializationRequest(identifier, *address, to, discoveryPort, &progress)) {
      case devices::InitSend::Sent: break;
      case devices::InitSend::SocketFailed: return cli::failure(ctx, kCommand, "cannot open the sending socket");
      case devices::InitSend::SendFailed:
        return cli::failure(ctx, kCommand, "Error sending the initialization request.");
    }
  }
  *ctx.err << "waiting up to " << seconds << " s for " << o.address << "\n";
  devices::CIpDevice unit(o.address);
  unit.kind = kind;
  unit.progress = &progress;
  unit.querySettings.discoveryPort = discoveryPort;
  unit.querySettings.secondFamilyPort = secondPort;
  unit.querySettings.replyTimeoutMs = 1000;
  const int result = unit.waitForAnswer(seconds, o.address.c_str());
  if (result == 2) return cli::failure(ctx, kCommand, "stopped");
  if (result != 0) return cli::failure(ctx, kCommand, o.address + ": " + devices::kTextCannotCommunicate);
  const char* family = kind == devices::kKindSecondFamily ? "second family" : "native";
  if (ctx.json) {
    cli::writeJson(ctx, {{"address", o.address},
                         {"kind", family},
                         {"answered", true},
                         {"systemName", std::string(unit.systemName.view())},
                         {"hardwareAddress", std::string(unit.hardwareAddress.view())}});
  } else {
    *ctx.out << o.address << " answers (" << family << ")";
    if (!unit.systemName.empty()) *ctx.out << ": " << unit.systemName.view();
    *ctx.out << "\n";
  }
  return cli::kExitOk;
}

const cli::CommandRegistration kAssignIp({
    "assign-ip",
    "give an unconfigured print server its IP address",
    "Sends the initialization request that gives a print server without an address the address\n"
    "IP, addressed by its serial number (--serial, the low 24 bits count) or its hardware address\n"
    "(--hw-address, 12 hexadecimal digits: its last six count). With --hw-address the second\n"
    "family's assignment over its text protocol is tried first (--current names the unit's present\n"
    "address, default 0.0.0.0). The request goes to --destination (default: the directed broadcast\n"
    "of IP's class C network for --serial, 255.255.255.255 for --hw-address) or to the multicast\n"
    "group 224.0.1.55 (--multicast, time-to-live 64), on the DiscoveryPort setting. Then the unit is\n"
    "asked at IP until it answers or --wait seconds (default: the ResetTimeout setting) pass.\n\n"
    "Exit status: 0 the unit answers at IP, 1 it does not or the request could not be sent, 2 usage\n"
    "error.",
    [](CLI::App& app) {
      auto o = std::make_shared<Options>();
      auto* serial = app.add_option("--serial", o->serial, "the unit's serial number (decimal)")->type_name("N");
      auto* hw = app.add_option("--hw-address", o->hardware, "the unit's hardware address (12 hex digits)")
                     ->type_name("HEX");
      serial->excludes(hw);
      auto* dest = app.add_option("--destination", o->destination, "where the request goes")->type_name("ADDRESS");
      auto* mc = app.add_flag("--multicast", o->multicast, "send to the multicast group 224.0.1.55");
      dest->excludes(mc);
      app.add_option("--current", o->current, "the unit's present address (second family)")->type_name("ADDRESS");
      app.add_option("--wait", o->waitSeconds, "seconds to wait for the unit at its new address")
          ->check(CLI::Range(0, 3600))
          ->type_name("SECONDS");
      app.add_option("--port", o->port, "the discovery port (default: the DiscoveryPort setting)")
          ->check(CLI::Range(1, 65535))
          ->type_name("PORT");
      app.add_option("IP", o->address, "the new address")->required();
      return [o](cli::Context& ctx) {
        if (o->serial.empty() && o->hardware.empty())
          return cli::usageError(ctx, kCommand, "give --serial or --hw-address");
        return run(ctx, *o);
      };
    }});

}  // namespace
