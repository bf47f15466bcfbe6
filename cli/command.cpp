#include "cli/command.h"

#include <ostream>

namespace cli {

std::vector<Command>& commands() {
  static std::vector<Command> list;
  return list;
}

int usageError(Context& ctx, const std::string& command, const std::string& message) {
  *ctx.err << "trellanctl " << command << ": " << message << "\n"
           << "Try 'trellanctl " << command << " --help'.\n";
  return kExitUsage;
}

int failure(Context& ctx, const std::string& command, const std::string& message) {
  *ctx.err << "trellanctl " << command << ": " << message << "\n";
  return kExitFailed;
}

bool takeOption(std::vector<std::string>& args, const std::string& name, std::string& value, bool& missing) {
  missing = false;
  const std::string flag = "--" + name;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == flag) {
      if (i + 1 >= args.size()) {
        missing = true;
        args.erase(args.begin() + static_cast<long>(i));
        return true;
      }
      value = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      return true;
    }
    if (args[i].rfind(flag + "=", 0) == 0) {
      value = args[i].substr(flag.size() + 1);
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

bool takeFlag(std::vector<std::string>& args, const std::string& name) {
  const std::string flag = "--" + name;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == flag) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

}  // namespace cli
