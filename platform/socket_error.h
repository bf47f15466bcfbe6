#pragma once
// Socket failures are errno values. The loopback guard adds one code of its own, outside the
// errno range, so that a refused destination is never mistaken for a network failure.
#include <cstdint>
#include <string>

namespace platform {

// TRELLAN_LOOPBACK_ONLY refused a destination outside 127.0.0.0/8; nothing was sent.
inline constexpr int kErrLoopbackOnly = 0x10000;

// A readable text for an errno value or kErrLoopbackOnly.
std::string socketErrorText(int error);

// The Windows Sockets number of the same failure (for error messages of the sockets class,
// e.g. EWOULDBLOCK -> 10035, ECONNREFUSED -> 10061); errors without a counterpart give
// 10000 + error. The loopback guard reports as WSAEACCES (10013), as a refused broadcast does.
std::uint32_t wsaErrorCode(int error);

constexpr bool isWouldBlock(int error) { return error == 11 /* EAGAIN == EWOULDBLOCK */; }

}  // namespace platform
