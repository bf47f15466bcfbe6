#pragma once
// The progress window as the access layer sees it: the target that receives a session's
// notification message, the one wait of the program, the text line and the Stop button.
// CProgressDlg (app/gui) is the window form; HeadlessProgress (access/progress_headless.h) the
// form for tests and trellanctl.
#include <cstdint>
#include <string>

#include "platform/headless_target.h"
#include "platform/message_target.h"

namespace snmpaccess {

using WaitStatus = platform::WaitStatus;
using WaitResult = platform::WaitResult;

// The message a session's engine notification arrives with.
inline constexpr std::uint32_t kSnmpNotifyMessage = 2561;  // 0x0A01

// waitFor's results in the numbers of the original interface: 2 stopped, the message when it
// arrived, 3 time-out.
inline constexpr int kWaitStopped = 2;
inline constexpr int kWaitTimedOut = 3;
inline int waitResultCode(const WaitResult& r) {
  switch (r.status) {
    case WaitStatus::Arrived:
      return static_cast<int>(r.message.msg);
    case WaitStatus::Stopped:
      return kWaitStopped;
    default:
      return kWaitTimedOut;
  }
}

class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;

  // Where the awaited messages are posted to (the engine's notification, socket events).
  virtual platform::MessageTarget* target() = 0;

  // Waits until `msg` reaches the target (Arrived, with its parameters), Stop is pressed
  // (Stopped) or `timeoutMs` has passed (TimedOut), keeping the caller's thread responsive.
  // A Stop pressed before the wait began does not count: each wait starts unstopped.
  virtual WaitResult waitFor(std::uint32_t msg, int timeoutMs) = 0;

  // Nesting pair around an operation; the window form may show itself in between.
  virtual void begin() {}
  virtual void end() {}
  // The text line: a string-table id or a text.
  virtual void setText(std::uint32_t stringId) = 0;
  virtual void setText(const std::string& text) = 0;
  virtual void setPercent(int percent) { (void)percent; }

  // Stop as if the user pressed it (any thread); isStopped tells whether the last wait or the
  // current one was stopped.
  virtual void stop() = 0;
  virtual bool isStopped() const = 0;
};

}  // namespace snmpaccess
