#pragma once
// trellanctl(1) in roff, produced from the same command descriptions as --help.
#include <string>

namespace cli {

class CommandLine;

std::string manPage(const CommandLine& line);

}  // namespace cli
