#pragma once
// Starts the telnet command for a print server's IP address column text.
#include <string_view>

// True when a terminal was started. An address that is not a dotted quad starts nothing; a
// failed start is not reported (the user sees no terminal).
bool startTelnet(std::string_view address);
