#pragma once
// The one routine through which errors reach the user: builds a message from up to two
// (code, class) pairs, shows it through the installed presenter (a message box in the GUI,
// stderr on the command line) and, when logging is on, appends it to the log file.
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

enum ErrorClass : int {
  kErrorNone = 0,
  kErrorProgram = 1,  // "IP"
  kErrorView = 2,     // "VW"
  kErrorSockets = 3,  // "WS"
  kErrorSnmp = 4,     // "SN"
  kErrorNetWare = 5,  // "NW"
  kErrorSerial = 6,   // "CM"
  kErrorWindows = 7,  // "WIN"
  kErrorVines = 8,    // "VNS"
};

struct ErrorMessage {
  std::string text;   // e.g. "Winsock Error. Cannot create a socket. (WS10061,IP5013)"
  std::string title;  // e.g. "Windows Sockets Error"
};

// Builds the message without showing or logging it.
ErrorMessage formatError(std::uint32_t code1, int class1, std::uint32_t code2 = 0, int class2 = kErrorNone);

// Shows (when `show`) and logs one message. Returns the presenter's result, or 0 when nothing
// was shown (suppressed "stopped by the user" codes, or show == false).
int ReportError(std::uint32_t code1, int class1, std::uint32_t code2 = 0, int class2 = kErrorNone, bool show = true);

// Receives each message to show; returns the box result. Default: prints to stderr, returns 1.
using ErrorPresenter = std::function<int(const ErrorMessage&)>;
void setErrorPresenter(ErrorPresenter presenter);

}  // namespace platform
