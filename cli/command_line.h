#pragma once
// The whole trellanctl command line as one CLI11 application: the global options and every
// registered subcommand, parsed once and dispatched to the chosen subcommand's runner.
#include <CLI/CLI.hpp>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "cli/command.h"

namespace cli {

inline constexpr const char* kVersion = "0.1.0";

class CommandLine {
 public:
  CommandLine();
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // Runs a subcommand's runner; the default just calls it. main() sets one that holds what every
  // subcommand needs around the call.
  using Launcher = std::function<int(const Runner&, Context&)>;
  void setLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

  // Parses and runs; returns the exit status.
  int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

  const CLI::App& root() const { return app_; }
  // The summary and description a subcommand was registered with (null for the root).
  const Command* commandOf(const CLI::App* app) const;
  // "views create" for the subcommand create of views.
  static std::string pathOf(const CLI::App* app);

 private:
  CLI::App app_;
  std::map<const CLI::App*, Runner> runners_;
  std::map<const CLI::App*, const Command*> described_;
  bool json_ = false;
  bool version_ = false;
  bool man_ = false;
  std::string completion_;
  Launcher launcher_;
};

// The conventions every command follows, one paragraph each: the end of `trellanctl --help`
// and a section of the man page.
const std::vector<std::string>& conventions();

}  // namespace cli
