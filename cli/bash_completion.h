#pragma once
// The bash completion script of trellanctl, produced from the same command descriptions as --help:
// subcommands, each one's options, the choices of enumerated options, file names, and view names
// read from the settings file through `trellanctl views --names`.
#include <string>

namespace cli {

class CommandLine;

std::string bashCompletion(const CommandLine& line);

}  // namespace cli
