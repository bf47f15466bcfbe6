#include "tools/telnet.h"

#include <cstdlib>

#include "platform/socket_address.h"

std::optional<TelnetCommand> telnetCommand(std::string_view address, const char* terminal) {
  const auto ip = platform::parseIpv4(address);
  if (!ip) return std::nullopt;
  TelnetCommand command;
  command.program = terminal && *terminal ? terminal : kDefaultTerminal;
  command.arguments = {"-e", "telnet", platform::formatIpv4(*ip)};
  return command;
}

std::optional<TelnetCommand> telnetCommand(std::string_view address) {
  return telnetCommand(address, std::getenv("TRELLAN_TERMINAL"));
}
