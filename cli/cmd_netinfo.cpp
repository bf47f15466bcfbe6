// trellanctl netinfo: the start-up network probe and what it found.
#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "tools/net_environment.h"
#include "tools/network_information.h"

namespace {

struct FlagName {
  std::uint32_t bit;
  const char* name;
};
constexpr FlagName kFlagNames[] = {
    {CNetEnvironment::kUdp, "UDP"},
    {CNetEnvironment::kTcp, "TCP"},
    {CNetEnvironment::kIpx, "IPX"},
    {CNetEnvironment::kSpxStream, "SPX"},
    {CNetEnvironment::kSpxSeqPacket, "SPX-seqpacket"},
    {CNetEnvironment::kNetWareClient, "NetWare"},
    {CNetEnvironment::kVinesClient, "VINES"},
    {CNetEnvironment::kSerial, "serial"},
};

std::string hexFlags(std::uint32_t flags) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", flags);
  return text;
}

void printJson(cli::Context& ctx, const CNetEnvironment& env, int result) {
  nlohmann::json protocols = nlohmann::json::array();
  for (const auto& f : kFlagNames)
    if (env.flags() & f.bit) protocols.push_back(f.name);
  nlohmann::json j = {
      {"result", result},
      {"flags", env.flags()},
      {"protocols", protocols},
      {"operatingSystem", env.operatingSystem()},
      {"hostName", env.hostName()},
      {"hostAddress", env.hostAddress()},
      {"winsockDescription", env.winsockDescription()},
      {"ipxNetworks", env.ipxNetworks()},
      {"hardwareAddresses", env.hardwareAddresses()},
  };
  cli::writeJson(ctx, j);
}

void printText(std::ostream& out, const CNetEnvironment& env) {
  const CNetworkInformation info(env);
  std::size_t width = 0;
  for (const auto& f : info.fields()) width = std::max(width, f.label.size());
  for (const auto& f : info.fields()) out << f.label << std::string(width + 2 - f.label.size(), ' ') << f.text << "\n";
  std::string names;
  for (const auto& f : kFlagNames)
    if (env.flags() & f.bit) names += std::string(names.empty() ? "" : " ") + f.name;
  const std::string label = "Protocols:";
  out << label << std::string(width + 2 - label.size(), ' ') << hexFlags(env.flags()) << " (" << names << ")\n";
}

int runNetinfo(cli::Context& ctx) {
  CNetEnvironment& env = netEnvironment();
  const int result = env.probe();
  if (ctx.json)
    printJson(ctx, env, result);
  else
    printText(*ctx.out, env);
  env.close();
  // The probe has reported its failure through the error routine already.
  if (!CNetEnvironment::probeSucceeded(result)) return cli::failure(ctx, "netinfo", "the network probe failed");
  return cli::kExitOk;
}

const cli::CommandRegistration kNetinfo({
    "netinfo",
    "probe this workstation's networks and show what was found",
    "Runs the start-up network probe and prints the Network Information record: socket layer,\n"
    "host name and first IPv4 address, IPX network and node (IPX over UDP: node 0000 + the IPv4\n"
    "address), operating system (uname: system, release, machine), and the protocol flags\n"
    "(UDP 0x0001, TCP 0x0002, IPX 0x0010, NetWare client 0x0100, VINES client 0x0200, serial 0x8000).\n\n"
    "Exit status: 0 the probe succeeded, 1 it failed (the message is printed), 2 usage error.",
    [](CLI::App&) { return cli::Runner(runNetinfo); },
});

}  // namespace
