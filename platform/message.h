#pragma once
#include <cstdint>

namespace platform {

// One posted message, as a window procedure would have received it.
struct Message {
  std::uint32_t msg = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// Readiness events carried in lParam of a socket notification (the Windows Sockets values,
// so code ported from a window procedure reads them unchanged). wParam is the socket.
inline constexpr std::intptr_t kSocketEventRead = 0x01;

}  // namespace platform
