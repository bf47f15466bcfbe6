#pragma once
#include <cstdint>

namespace platform {

// Stands where a window handle stood: something that receives posted messages.
// post() is thread-safe and never blocks for long; the message is handled later on the
// receiver's own thread (the GUI thread, or whoever runs the headless wait loop).
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace platform
