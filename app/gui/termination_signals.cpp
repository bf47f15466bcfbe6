#include "app/gui/termination_signals.h"

#include <fcntl.h>
#include <cerrno>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace {

int gPipe[2] = {-1, -1};

extern "C" void onSignal(int sig) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(sig);
  [[maybe_unused]] ssize_t n = ::write(gPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gPipe) != 0) return;
  notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::drain);
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGINT, &sa, nullptr);
}

TerminationSignals::~TerminationSignals() {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  ::sigaction(SIGTERM, &sa, nullptr);
  ::sigaction(SIGINT, &sa, nullptr);
  delete notifier_;
  for (int& fd : gPipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void TerminationSignals::drain() {
  unsigned char byte = 0;
  while (::read(gPipe[0], &byte, 1) == 1) emit terminationRequested(byte);
}
