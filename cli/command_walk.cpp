#include "cli/command_walk.h"

#include "cli/command_line.h"

namespace cli {

std::vector<const CLI::App*> childrenOf(const CLI::App* app) {
  return app->get_subcommands([](const CLI::App*) { return true; });
}

std::vector<const CLI::App*> allSubcommands(const CLI::App* app) {
  std::vector<const CLI::App*> out;
  for (const CLI::App* c : childrenOf(app)) {
    out.push_back(c);
    for (const CLI::App* g : allSubcommands(c)) out.push_back(g);
  }
  return out;
}

std::vector<const CLI::Option*> optionsOf(const CLI::App* app) {
  return app->get_options([app](const CLI::Option* o) { return !o->get_positional() && o != app->get_help_ptr(); });
}

std::vector<const CLI::Option*> positionalsOf(const CLI::App* app) {
  return app->get_options([](const CLI::Option* o) { return o->get_positional(); });
}

std::string optionName(const CLI::Option* option) {
  if (!option->get_lnames().empty()) return "--" + option->get_lnames().front();
  if (!option->get_snames().empty()) return "-" + option->get_snames().front();
  return option->get_name();
}

// A flag expects no value at all; its type size alone does not say so.
bool takesValue(const CLI::Option* option) { return option->get_items_expected_max() != 0; }

std::string positionalSyntax(const CLI::Option* option) {
  std::string s = option->get_name();
  if (option->get_items_expected_max() > 1) s += "...";
  return option->get_required() ? s : "[" + s + "]";
}

std::string usageLine(const CLI::App* app) {
  std::string line = CommandLine::pathOf(app);
  if (!optionsOf(app).empty()) line += " [OPTIONS]";
  if (!childrenOf(app).empty()) line += app->get_parent() ? " [SUBCOMMAND]" : " COMMAND";
  for (const CLI::Option* p : positionalsOf(app)) line += " " + positionalSyntax(p);
  return line;
}

}  // namespace cli
