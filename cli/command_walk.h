#pragma once
// What the generators read from the command tree: subcommands in order, options and positionals,
// and the usage line of a subcommand.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace cli {

// Every subcommand below `app`, depth first, parents before their children.
std::vector<const CLI::App*> allSubcommands(const CLI::App* app);
// The direct subcommands of `app`.
std::vector<const CLI::App*> childrenOf(const CLI::App* app);
// Options (not positionals, not --help) and positionals of `app`.
std::vector<const CLI::Option*> optionsOf(const CLI::App* app);
std::vector<const CLI::Option*> positionalsOf(const CLI::App* app);
// The longest name of an option ("--timeout", or "-h" when it has no long name).
std::string optionName(const CLI::Option* option);
bool takesValue(const CLI::Option* option);
// "ADDRESS OID..." / "[OID]".
std::string positionalSyntax(const CLI::Option* option);
// "get [OPTIONS] ADDRESS OID..." without the program name.
std::string usageLine(const CLI::App* app);

}  // namespace cli
