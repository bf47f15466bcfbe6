#pragma once
// What the multi-unit commands share: the units of the command line (addresses given, read from a
// file one per line, and those a saved view lists after its search) with their communities from
// the settings, and the run's options.
#include <string>
#include <vector>

#include "cli/cmd_snmp_common.h"
#include "cli/view_list.h"
#include "multi/multi_config_run.h"

namespace cli::multicmd {

struct UnitOptions {
  snmpcmd::Options snmp;
  std::vector<std::string> addresses;
  std::string addressFile;  // one address per line; blank lines and "#" comments skipped
  viewlist::SearchOptions view;  // view.view empty: no view
  std::string family;
  int inFlight = multi::kDefaultInFlight;
};

void addUnitOptions(CLI::App& app, UnitOptions& options);
// --view and the options of its search; `note` goes in front of each help text.
void addViewOptions(CLI::App& app, viewlist::SearchOptions& view, const std::string& note = "");

// The units in the order given (the command line first, then the file, then the view's list in its
// sort order, each print server once); false when an address, the file or the view is not valid
// or the view lists no print server (`exit` set).
bool makeUnits(Context& ctx, const std::string& command, const UnitOptions& options, snmpcmd::Engine& engine,
               std::vector<multi::MultiUnit>& units, int& exit);

// In-flight bound, the Timeouts settings (or --timeout), Ctrl-C, progress on stderr.
multi::MultiRunOptions runOptions(Context& ctx, const UnitOptions& options);

}  // namespace cli::multicmd
