#include "platform/socket_error.h"

#include <cerrno>
#include <cstring>

namespace platform {

static_assert(EAGAIN == 11 && EWOULDBLOCK == EAGAIN);

std::string socketErrorText(int error) {
  if (error == kErrLoopbackOnly) {
    return "destination outside 127.0.0.0/8 refused (TRELLAN_LOOPBACK_ONLY is set); nothing was sent";
  }
  char buffer[128];
  // GNU strerror_r returns the text, which may or may not be in buffer.
  return ::strerror_r(error, buffer, sizeof buffer);
}

std::uint32_t wsaErrorCode(int error) {
  struct Row {
    int error;
    std::uint32_t wsa;
  };
  static constexpr Row kRows[] = {
      {EINTR, 10004},        {EBADF, 10009},          {EACCES, 10013},       {EPERM, 10013},
      {kErrLoopbackOnly, 10013}, {EFAULT, 10014},     {EINVAL, 10022},       {EMFILE, 10024},
      {EAGAIN, 10035},       {EINPROGRESS, 10036},    {EALREADY, 10037},     {ENOTSOCK, 10038},
      {EDESTADDRREQ, 10039}, {EMSGSIZE, 10040},       {EPROTOTYPE, 10041},   {ENOPROTOOPT, 10042},
      {EPROTONOSUPPORT, 10043}, {EOPNOTSUPP, 10045},  {EAFNOSUPPORT, 10047}, {EADDRINUSE, 10048},
      {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},      {ENETUNREACH, 10051},  {ENETRESET, 10052},
      {ECONNABORTED, 10053}, {ECONNRESET, 10054},     {ENOBUFS, 10055},      {EISCONN, 10056},
      {ENOTCONN, 10057},     {ESHUTDOWN, 10058},      {ETIMEDOUT, 10060},    {ECONNREFUSED, 10061},
      {EHOSTDOWN, 10064},    {EHOSTUNREACH, 10065},
  };
  for (const Row& r : kRows) {
    if (r.error == error) return r.wsa;
  }
  return 10000 + static_cast<std::uint32_t>(error);
}

}  // namespace platform
