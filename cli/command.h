#pragma once
// trellanctl's subcommand framework. Each subcommand lives in its own cmd_*.cpp and registers
// itself with a static CommandRegistration; main() parses the global options and dispatches.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

struct Context {
  std::vector<std::string> args;  // the subcommand's own arguments (global options removed)
  bool json = false;              // --json: machine-readable output on stdout
  std::ostream* out;              // results
  std::ostream* err;              // diagnostics
};

struct Command {
  std::string name;     // "decode", or "views create" for a nested one
  std::string summary;  // one line for the command list
  std::string usage;    // full help text of the subcommand (its --help)
  std::function<int(Context&)> run;
};

std::vector<Command>& commands();

struct CommandRegistration {
  explicit CommandRegistration(Command c) { commands().push_back(std::move(c)); }
};

// Helpers for subcommands: report a usage error (prints "trellanctl NAME: MESSAGE" and a hint to
// --help, returns kExitUsage) or a failure (prints the message, returns kExitFailed).
int usageError(Context& ctx, const std::string& command, const std::string& message);
int failure(Context& ctx, const std::string& command, const std::string& message);

// Takes "--name VALUE" or "--name=VALUE" out of args. Returns false when absent; sets `missing`
// when the option is present without a value.
bool takeOption(std::vector<std::string>& args, const std::string& name, std::string& value, bool& missing);
// Takes a flag "--name" out of args.
bool takeFlag(std::vector<std::string>& args, const std::string& name);

}  // namespace cli
