// trellanctl: the command-line face of Trellan, on the same libraries as the program.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/device_reads_install.h"
#include "cli/command.h"
#include "platform/registry.h"

namespace {

const char* const kVersion = "0.1.0";

void printUsage(std::ostream& out) {
  out << "Usage: trellanctl [--json] COMMAND [ARGS...]\n"
         "       trellanctl COMMAND --help\n\n"
         "Manage network print servers from the command line.\n\n"
         "Global options:\n"
         "  --json       machine-readable output\n"
         "  --help, -h   show this help\n"
         "  --version    show the version\n\n"
         "Commands:\n";
  std::vector<cli::Command> sorted = cli::commands();
  std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.name < b.name; });
  size_t width = 0;
  for (auto& c : sorted) width = std::max(width, c.name.size());
  for (auto& c : sorted) out << "  " << c.name << std::string(width + 3 - c.name.size(), ' ') << c.summary << "\n";
  out << "\nExit status: 0 success, 1 the operation failed, 2 usage error.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  cli::Context ctx{{}, false, &std::cout, &std::cerr};

  // Global options come before the command name.
  size_t i = 0;
  for (; i < args.size() && args[i].rfind("-", 0) == 0; ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      ctx.json = true;
    } else if (a == "--help" || a == "-h") {
      printUsage(std::cout);
      return cli::kExitOk;
    } else if (a == "--version") {
      std::cout << "trellanctl " << kVersion << "\n";
      return cli::kExitOk;
    } else {
      std::cerr << "trellanctl: unknown option '" << a << "'\nTry 'trellanctl --help'.\n";
      return cli::kExitUsage;
    }
  }
  if (i >= args.size()) {
    printUsage(std::cerr);
    return cli::kExitUsage;
  }

  // The longest registered name that matches the leading words wins ("views create" over "views").
  const cli::Command* best = nullptr;
  size_t bestWords = 0;
  for (const auto& c : cli::commands()) {
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos <= c.name.size()) {
      size_t sp = c.name.find(' ', pos);
      if (sp == std::string::npos) sp = c.name.size();
      words.push_back(c.name.substr(pos, sp - pos));
      pos = sp + 1;
    }
    if (i + words.size() > args.size()) continue;
    if (!std::equal(words.begin(), words.end(), args.begin() + static_cast<long>(i))) continue;
    if (words.size() > bestWords) {
      best = &c;
      bestWords = words.size();
    }
  }
  if (!best) {
    std::cerr << "trellanctl: unknown command '" << args[i] << "'\nTry 'trellanctl --help'.\n";
    return cli::kExitUsage;
  }
  ctx.args.assign(args.begin() + static_cast<long>(i + bestWords), args.end());
  if (cli::takeFlag(ctx.args, "help") || std::find(ctx.args.begin(), ctx.args.end(), "-h") != ctx.args.end()) {
    std::cout << best->usage;
    return cli::kExitOk;
  }
  if (cli::takeFlag(ctx.args, "json")) ctx.json = true;
  // Nothing else starts the engine for query and discover: the reads start it when they need it.
  const platform::Registry settings;
  const app::DeviceReadsInstall deviceReads(settings, true);
  return best->run(ctx);
}
