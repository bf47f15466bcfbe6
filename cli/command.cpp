#include "cli/command.h"

#include <map>
#include <nlohmann/json.hpp>
#include <ostream>

namespace cli {

std::vector<Command>& commands() {
  static std::vector<Command> list;
  return list;
}

namespace {
std::map<const CLI::Option*, std::vector<std::string>>& choiceTable() {
  static std::map<const CLI::Option*, std::vector<std::string>> table;
  return table;
}
}  // namespace

CLI::Option* addChoice(CLI::App& app, const std::string& name, std::string& value, std::vector<std::string> choices,
                       const std::string& help) {
  CLI::Option* o = app.add_option(name, value, help)->check(CLI::IsMember(choices));
  choiceTable()[o] = std::move(choices);
  return o;
}

const std::vector<std::string>& choicesOf(const CLI::Option* option) {
  static const std::vector<std::string> none;
  const auto it = choiceTable().find(option);
  return it == choiceTable().end() ? none : it->second;
}

namespace {
std::map<const CLI::Option*, Completion>& completionTable() {
  static std::map<const CLI::Option*, Completion> table;
  return table;
}
}  // namespace

CLI::Option* completeAs(CLI::Option* option, Completion kind) {
  completionTable()[option] = kind;
  return option;
}

Completion completionOf(const CLI::Option* option) {
  const auto it = completionTable().find(option);
  return it == completionTable().end() ? Completion::None : it->second;
}

int usageError(Context& ctx, const std::string& command, const std::string& message) {
  *ctx.err << "trellanctl " << command << ": " << message << "\n"
           << "Try 'trellanctl " << command << " --help'.\n";
  return kExitUsage;
}

int failure(Context& ctx, const std::string& command, const std::string& message) {
  *ctx.err << "trellanctl " << command << ": " << message << "\n";
  if (ctx.json && !ctx.resultWritten) writeJson(ctx, nlohmann::json{{"error", message}});
  return kExitFailed;
}

void writeJson(Context& ctx, const nlohmann::json& document, bool lines) {
  *ctx.out << document.dump(lines ? -1 : 2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  ctx.out->flush();
  ctx.resultWritten = true;
}

const std::vector<EnvironmentVariable>& environmentVariables() {
  static const std::vector<EnvironmentVariable> list = {
      {"TRELLAN_REGISTRY", "the settings file (default $XDG_CONFIG_HOME/Quorvel/Trellan.reg)"},
      {"TRELLAN_SNMP_PORT", "UDP port SNMP requests go to (default 161)"},
      {"TRELLAN_TRAP_PORT", "UDP port traps are received on (default 162)"},
      {"TRELLAN_SECOND_FAMILY_PORT", "UDP port of the second family's text protocol (default 19541)"},
      {"TRELLAN_BROADCAST_ADDR", "the address a broadcast is sent to (default 255.255.255.255)"},
      {"TRELLAN_MULTICAST_IF", "interface address for multicast sends and joins (default: the system's choice)"},
      {"TRELLAN_LOOPBACK_ONLY", "when 1, every datagram or connection outside 127.0.0.0/8 is refused"},
      {"TRELLAN_LEGACY_DIR", "where the first run looks for the old INI files (default $XDG_CONFIG_HOME/Quorvel)"},
      {"TRELLAN_TERMINAL", "terminal program the telnet command runs in (default x-terminal-emulator)"},
      {"XDG_CONFIG_HOME", "base folder of the settings file (default ~/.config)"},
      {"XDG_STATE_HOME", "base folder of the error log (default ~/.local/state)"},
      {"XDG_RUNTIME_DIR", "folder of the program's single-instance socket"},
  };
  return list;
}

}  // namespace cli
