#pragma once
// What the multi-unit commands share: the units of the command line (addresses given and read
// from a file, one per line) with their communities from the settings, and the run's options.
#include <string>
#include <vector>

#include "cli/cmd_snmp_common.h"
#include "multi/multi_config_run.h"

namespace cli::multicmd {

struct UnitOptions {
  snmpcmd::Options snmp;
  std::vector<std::string> addresses;
  std::string addressFile;  // one address per line; blank lines and "#" comments skipped
  std::string family;
  int inFlight = multi::kDefaultInFlight;
};

void addUnitOptions(CLI::App& app, UnitOptions& options);

// The units in the order given (the command line first, then the file); false when an address
// or the file is not valid (`exit` set).
bool makeUnits(Context& ctx, const std::string& command, const UnitOptions& options, snmpcmd::Engine& engine,
               std::vector<multi::MultiUnit>& units, int& exit);

// In-flight bound, the Timeouts settings (or --timeout), Ctrl-C, progress on stderr.
multi::MultiRunOptions runOptions(Context& ctx, const UnitOptions& options);

}  // namespace cli::multicmd
