#pragma once
// trellanctl's subcommand framework. Every subcommand lives in its own cmd_*.cpp and describes
// itself once, in a static CommandRegistration; --help, the man page (--man) and the bash
// completion (--completion bash) are all produced from those descriptions.
//
// Registering a subcommand:
//
//   namespace {
//   struct Options { std::string address; std::vector<std::string> oids; unsigned timeout = 500; };
//
//   int run(cli::Context& ctx, const Options& o) { ... return cli::kExitOk; }
//
//   const cli::CommandRegistration kGet({
//       "get",                                   // name; "views create" nests under "views"
//       "read objects from a print server",      // summary: one line in the command list
//       "Reads the objects in one GET request and prints OID = SYNTAX:VALUE.\n\n"
//       "Exit status: 0 read, 1 the request failed, 2 usage error.",   // description
//       [](CLI::App& app) {                      // declares options and positionals
//         auto o = std::make_shared<Options>();
//         app.add_option("--timeout", o->timeout, "wait per transmission (1/100 s)")
//             ->check(CLI::Range(1u, 60000u));
//         app.add_option("ADDRESS", o->address, "the print server")->required();
//         app.add_option("OID", o->oids, "objects to read")->required();
//         return [o](cli::Context& ctx) { return run(ctx, *o); };   // runs once parsing succeeded
//       }});
//   }  // namespace
//
// The define function runs once when trellanctl starts; the runner it returns runs only for the
// subcommand the user chose. Parsing errors (unknown option, missing or out-of-range value) are
// reported by the framework with exit status 2 before any runner starts. A nested name ("views
// create") needs its parent ("views") registered too. The shell completion offers the values of
// options declared with addChoice(), and view names or file names where completeAs() says so.
#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace cli {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };


struct Context {
  bool json = false;           // --json: one JSON document on stdout
  std::ostream* out = nullptr; // results
  std::ostream* err = nullptr; // progress and diagnostics
  bool resultWritten = false;  // a JSON document is on stdout already
};

using Runner = std::function<int(Context&)>;

struct Command {
  std::string name;         // "decode", or "views create" for a nested one
  std::string summary;      // one line for the command list
  std::string description;  // paragraphs for --help and the man page (options are listed apart)
  std::function<Runner(CLI::App&)> define;
};

std::vector<Command>& commands();

struct CommandRegistration {
  explicit CommandRegistration(Command c) { commands().push_back(std::move(c)); }
};

// An option whose value is one of `choices` (checked, listed in --help, completed by the shell).
CLI::Option* addChoice(CLI::App& app, const std::string& name, std::string& value, std::vector<std::string> choices,
                       const std::string& help);
// The choices recorded for an option by addChoice (empty for any other option).
const std::vector<std::string>& choicesOf(const CLI::Option* option);

// What the shell completes an option's value (or a positional) to.
enum class Completion { None, View, File };
CLI::Option* completeAs(CLI::Option* option, Completion kind);
Completion completionOf(const CLI::Option* option);

// Report a usage error ("trellanctl NAME: MESSAGE" and a hint to --help; returns kExitUsage) or
// a failure (the message on stderr, and with --json {"error": MESSAGE} on stdout unless a result
// document was written already; returns kExitFailed).
int usageError(Context& ctx, const std::string& command, const std::string& message);
int failure(Context& ctx, const std::string& command, const std::string& message);

// Writes one JSON document on stdout. Texts that are not valid UTF-8 (names in the settings
// file, values from the network) get U+FFFD for each invalid byte: every document is valid JSON.
// `lines` writes it on one line (a stream of documents, one per line).
void writeJson(Context& ctx, const nlohmann::json& document, bool lines = false);

// The environment variables trellanctl and the program read, with their meaning.
struct EnvironmentVariable {
  const char* name;
  const char* meaning;
};
const std::vector<EnvironmentVariable>& environmentVariables();

}  // namespace cli
