#pragma once
// The telnet command: a terminal running "telnet ADDRESS" for the focused print server.
//
// The address comes from the network (a device's reply), so it never reaches a shell: the
// command is a program and an argument list, and only a dotted-quad IPv4 address is accepted.
// Leading zeros are decimal, as everywhere in this program, and the address is passed on in
// its plain form ("010.1.2.3" becomes "10.1.2.3"), so that telnet cannot read it as octal.
//
// The terminal is `x-terminal-emulator`, or the program named by the environment variable
// TRELLAN_TERMINAL (a program name or path, no arguments); either is started as
// TERMINAL -e telnet ADDRESS.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TelnetCommand {
  std::string program;
  std::vector<std::string> arguments;
};

inline constexpr const char* kDefaultTerminal = "x-terminal-emulator";

// The command for `address`, or nothing when the address is not a dotted quad. `terminal` is
// the TRELLAN_TERMINAL value (nullptr or empty: the default terminal).
std::optional<TelnetCommand> telnetCommand(std::string_view address, const char* terminal);
// The same with TRELLAN_TERMINAL read from the environment.
std::optional<TelnetCommand> telnetCommand(std::string_view address);
