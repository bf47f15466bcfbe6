#pragma once
// The program's command line. Windows-style options: a parameter starting with "/" or "-" is
// an option (stored with the value "TRUE"); a plain parameter that follows an option replaces
// that option's value. Options read: "new" (start even when another instance runs), "v" NAME
// (open that view first), "ns" as the first option (no automatic search at start-up). Option
// names ignore case. GNU-style aliases: --new, --view NAME (or --view=NAME), --no-search,
// --help, --version; any other "--" option is a usage error.
#include <map>
#include <string>
#include <vector>

namespace app {

class CommandLine {
 public:
  // Option name (lower case) -> value.
  const std::map<std::string, std::string>& options() const { return options_; }
  bool has(const std::string& name) const { return options_.count(name) != 0; }
  std::string value(const std::string& name) const;

  bool newInstance() const { return has("new"); }
  // The view named with "v", or empty when "v" came without a name.
  std::string viewName() const;
  bool skipSearch() const;
  bool helpRequested() const { return help_; }
  bool versionRequested() const { return version_; }

 private:
  friend struct CommandLineParser;
  std::map<std::string, std::string> options_;
  std::map<std::string, bool> explicitValue_;
  std::string firstOption_;
  bool noSearch_ = false;
  bool help_ = false;
  bool version_ = false;
};

struct CommandLineResult {
  CommandLine commandLine;
  bool ok = true;
  std::string error;  // for !ok: "unrecognized option '--foo'"
};

// Parses the parameters after the program name.
CommandLineResult parseCommandLine(const std::vector<std::string>& args);

// The arguments that start another instance showing `viewName` ("Open in New Window"): one
// argument per item, so a view name with blanks or quotes stays one name.
std::vector<std::string> newWindowArguments(const std::string& viewName);

// The text of --help and --version for program `programName`.
std::string usageText(const std::string& programName);
std::string versionText(const std::string& programName);
// The project version the program was built as, e.g. "0.1.0".
const char* programVersion();

}  // namespace app
