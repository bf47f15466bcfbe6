#include "app/command_line.h"

#include <algorithm>
#include <cctype>

#ifndef TRELLAN_VERSION
#define TRELLAN_VERSION "0.1.0"
#endif

namespace app {

struct CommandLineParser {
  CommandLineResult result;
  std::string lastOption;

  CommandLine& cl() { return result.commandLine; }

  void option(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (cl().options_.empty() && cl().firstOption_.empty()) cl().firstOption_ = name;
    cl().options_[name] = "TRUE";
    cl().explicitValue_[name] = false;
    lastOption = name;
  }
  void value(const std::string& name, const std::string& v) {
    cl().options_[name] = v;
    cl().explicitValue_[name] = true;
  }
  void fail(std::string message) {
    if (result.ok) result.error = std::move(message);
    result.ok = false;
  }

  void gnu(const std::vector<std::string>& args, std::size_t& i) {
    const std::string& a = args[i];
    const std::size_t eq = a.find('=');
    const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    const bool inlineValue = eq != std::string::npos;
    if (name == "view") {
      std::string v;
      if (inlineValue) {
        v = a.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        v = args[++i];
      } else {
        fail("option '--view' requires a view name");
        return;
      }
      option("v");
      value("v", v);
      lastOption.clear();
      return;
    }
    if (inlineValue) {
      fail("option '--" + name + "' doesn't allow an argument");
      return;
    }
    if (name == "new") {
      option("new");
      lastOption.clear();
    } else if (name == "no-search") {
      cl().noSearch_ = true;
    } else if (name == "help") {
      cl().help_ = true;
    } else if (name == "version") {
      cl().version_ = true;
    } else {
      fail("unrecognized option '" + a + "'");
    }
  }

  void parse(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "-h" || a == "/?") {
        cl().help_ = true;
      } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
        gnu(args, i);
      } else if (!a.empty() && (a[0] == '/' || a[0] == '-')) {
        option(a.substr(1));
      } else if (!lastOption.empty()) {
        value(lastOption, a);
      }
    }
  }
};

std::string CommandLine::value(const std::string& name) const {
  auto it = options_.find(name);
  return it == options_.end() ? std::string() : it->second;
}

std::string CommandLine::viewName() const {
  auto it = explicitValue_.find("v");
  return (it != explicitValue_.end() && it->second) ? value("v") : std::string();
}

bool CommandLine::skipSearch() const {
  // Like the refresh command's own test: the first option begins with "ns" (as /ns).
  return noSearch_ || firstOption_.rfind("ns", 0) == 0;
}

CommandLineResult parseCommandLine(const std::vector<std::string>& args) {
  CommandLineParser p;
  p.parse(args);
  return std::move(p.result);
}

std::vector<std::string> newWindowArguments(const std::string& viewName) {
  // "--view=NAME" keeps a name that starts with "/" or "-" from being read as an option.
  return {"/new", "--view=" + viewName};
}

std::string usageText(const std::string& programName) {
  return "Usage: " + programName + " [OPTION]...\n"
         "Find, configure and monitor network print servers.\n\n"
         "  /new, -new, --new        start even when another instance is running\n"
         "  /v NAME, --view NAME     open the view NAME first\n"
         "  /ns (first), --no-search do not search the open view at start-up\n"
         "  --help, -h               show this help and exit\n"
         "  --version                show the version and exit\n\n"
         "Without /new a second start brings the running window to the front and exits.\n"
         "Settings: $TRELLAN_REGISTRY, else $XDG_CONFIG_HOME/Quorvel/Trellan.reg. Settings that cannot be\n"
         "saved (read-only file or folder) are said so once and used read-only until the program closes.\n"
         "Exit status: 0 success, 1 start-up failed, 2 usage error.\n";
}

const char* programVersion() { return TRELLAN_VERSION; }

std::string versionText(const std::string& programName) { return programName + " " TRELLAN_VERSION "\n"; }

}  // namespace app
