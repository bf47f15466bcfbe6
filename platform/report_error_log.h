#pragma once
// Where ReportError's log goes and how it learns whether logging is on. The log is
// "TRELLAN.TXT" in $XDG_STATE_HOME/Quorvel (XDG_STATE_HOME defaulting to ~/.local/state): the
// program's own folder is not writable here. Logging is on when General\Log is 1; the value is
// read once, at the first message, and kept for the life of the process.
#include <functional>
#include <string>

namespace platform {

inline constexpr const char* kErrorLogFileName = "TRELLAN.TXT";

// $XDG_STATE_HOME/Quorvel, or ~/.local/state/Quorvel.
std::string defaultErrorLogDirectory();

// Replaces the reader of the Log flag (default: General\Log of the settings store at
// Registry::defaultPath()). The program installs one on its own store; tests install their own.
void setErrorLogFlagSource(std::function<bool()> source);
// Replaces the log folder (default: defaultErrorLogDirectory()); created when first written.
void setErrorLogDirectory(std::string directory);
// Forgets the flag read so far, so the next message reads it again (tests, and Options after
// the user changes logging).
void resetErrorLog();
// The full path of the log file as the next message would use it.
std::string errorLogPath();

}  // namespace platform
