#include "cli/command_line.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "cli/bash_completion.h"
#include "cli/man_page.h"

namespace cli {

const std::vector<std::string>& conventions() {
  static const std::vector<std::string> list = {
      "Results go to stdout; progress and diagnostics go to stderr, in every mode.",
      "--json prints one JSON document (traps: one per line). Keys are camelCase; numbers are numbers and "
      "yes/no values are booleans.",
      "Text that is not valid UTF-8 (a name in the settings file, a value from the network) has each invalid "
      "byte replaced by U+FFFD, so that every document is valid JSON.",
      "A failure prints its reason on stderr; with --json, stdout then carries {\"error\": TEXT} (SNMP "
      "failures also \"result\": CODE) unless the command's own document reports it.",
      "Exit status: 0 success; 1 the operation failed; 2 usage error, including an address, search entry or "
      "value that is not valid.",
  };
  return list;
}

namespace {

// The conventions as the end of --help: each paragraph wrapped to the help's width.
std::string conventionsText() {
  std::string out = "Conventions of every command:";
  for (const std::string& p : conventions()) {
    std::string line = "\n  -";
    std::istringstream words(p);
    for (std::string w; words >> w;) {
      if (line.size() + w.size() + 1 > 96) {
        out += line;
        line = "\n   ";
      }
      line += " " + w;
    }
    out += line;
  }
  return out;
}


std::vector<std::string> words(const std::string& name) {
  std::vector<std::string> out;
  std::istringstream in(name);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

CLI::App* childNamed(CLI::App* parent, const std::string& name) {
  for (CLI::App* c : parent->get_subcommands([](const CLI::App*) { return true; }))
    if (c->get_name() == name) return c;
  return nullptr;
}

// The deepest subcommand the user chose.
const CLI::App* chosen(const CLI::App* app) {
  while (!app->get_subcommands().empty()) app = app->get_subcommands().front();
  return app;
}

}  // namespace

CommandLine::CommandLine() : app_("Manage network print servers from the command line.", "trellanctl") {
  app_.get_formatter()->column_width(30);
  app_.fallthrough();  // --json may follow the subcommand's name
  app_.require_subcommand(0, 1);
  app_.footer(conventionsText());
  app_.add_flag("--json", json_, "machine-readable output: one JSON document on stdout");
  app_.add_flag("--version", version_, "print the version and exit");
  app_.add_flag("--man", man_, "print the trellanctl(1) man page (roff) and exit");
  addChoice(app_, "--completion", completion_, {"bash"}, "print the shell completion script for SHELL and exit")
      ->type_name("SHELL");

  // Parents first, so that "views create" finds "views" whatever order the files registered in.
  std::vector<const Command*> sorted;
  for (const Command& c : commands()) sorted.push_back(&c);
  std::stable_sort(sorted.begin(), sorted.end(), [](const Command* a, const Command* b) {
    const auto wa = words(a->name).size(), wb = words(b->name).size();
    return wa != wb ? wa < wb : a->name < b->name;
  });
  for (const Command* c : sorted) {
    const std::vector<std::string> w = words(c->name);
    CLI::App* parent = &app_;
    for (std::size_t i = 0; i + 1 < w.size() && parent; ++i) parent = childNamed(parent, w[i]);
    if (!parent || w.empty()) continue;  // a nested command without its parent is not offered
    CLI::App* sub = parent->add_subcommand(w.back(), c->summary);
    sub->require_subcommand(0, 1);
    if (!c->description.empty()) sub->footer(c->description);
    described_[sub] = c;
    if (c->define) runners_[sub] = c->define(*sub);
    // A positional's name says what it is; "ADDRESS TEXT" would say it twice.
    for (CLI::Option* p : sub->get_options([](CLI::Option* o) { return o->get_positional(); })) p->type_name("");
  }
}

const Command* CommandLine::commandOf(const CLI::App* app) const {
  const auto it = described_.find(app);
  return it == described_.end() ? nullptr : it->second;
}

std::string CommandLine::pathOf(const CLI::App* app) {
  std::string path;
  for (; app && app->get_parent(); app = app->get_parent()) path = app->get_name() + (path.empty() ? "" : " " + path);
  return path;
}

int CommandLine::run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  try {
    app_.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app_.help();
    return kExitOk;
  } catch (const CLI::CallForAllHelp&) {
    out << app_.help("", CLI::AppFormatMode::All);
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    const std::string path = pathOf(chosen(&app_));
    const std::string where = path.empty() ? "trellanctl" : "trellanctl " + path;
    err << where << ": " << e.what() << "\nTry '" << where << " --help'.\n";
    return kExitUsage;
  }
  if (version_) {
    out << "trellanctl " << kVersion << "\n";
    return kExitOk;
  }
  if (man_) {
    out << manPage(*this);
    return kExitOk;
  }
  if (!completion_.empty()) {
    out << bashCompletion(*this);
    return kExitOk;
  }
  const CLI::App* sub = chosen(&app_);
  const auto it = runners_.find(sub);
  if (sub == &app_ || it == runners_.end()) {
    err << app_.help();
    return kExitUsage;
  }
  Context ctx;
  ctx.json = json_;
  ctx.out = &out;
  ctx.err = &err;
  return launcher_ ? launcher_(it->second, ctx) : it->second(ctx);
}

}  // namespace cli
