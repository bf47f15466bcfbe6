#pragma once
// What the status subcommands share: the sheet's messages on standard error.
#include <string>

#include "cli/command.h"
#include "status/diagnostics_sheet.h"

namespace cli::statuscmd {

// The sheet's ReportError: "trellanctl COMMAND: TEXT (CODE: MEANING)" on stderr.
status::StatusServices services(Context& ctx, const std::string& command);

}  // namespace cli::statuscmd
