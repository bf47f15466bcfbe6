#include "sim/pjl_printer.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/socket_address.h"

namespace sim {

namespace {

constexpr std::size_t kMaxConnections = 256;
constexpr std::size_t kMaxInput = 8192;  // a request is 1032 bytes at most
constexpr auto kPieceGap = std::chrono::milliseconds(300);
constexpr auto kTrickleGap = std::chrono::milliseconds(200);

std::string echoLine(const std::string& word) { return "@PJL INFO " + word + "\r\n"; }

}  // namespace

std::string pjlReply(const std::string& word, const std::string& unitName, int port, const std::string& display) {
  const std::string p = std::to_string(port + 1);
  if (word == "STATUS")
    return "CODE=10001\r\nDISPLAY=\"" + display + "\"\r\nONLINE=TRUE\r\n\f";
  if (word == "CONFIG")
    return "IN TRAYS [1 ENUMERATED]\r\n\tINTRAY1 MP\r\nOUT TRAYS [1 ENUMERATED]\r\n\tNORMAL FACEDOWN\r\n"
           "LANGUAGES [2 ENUMERATED]\r\n\tPCL\r\n\tPOSTSCRIPT\r\nMEMORY=8388608\r\nDISPLAY LINES=2\r\n\f";
  if (word == "VARIABLES")
    return "COPIES=1 [2 RANGE]\r\n\t1\r\n\t999\r\nPAPER=LETTER [3 ENUMERATED]\r\n\tLETTER\r\n\tLEGAL\r\n\tA4\r\n"
           "ORIENTATION=PORTRAIT [2 ENUMERATED]\r\n\tPORTRAIT\r\n\tLANDSCAPE\r\n\f";
  if (word == "ID") return "\"Trellan Sim Printer " + p + " on " + unitName + "\"\r\n\f";
  if (word == "MEMORY") return "TOTAL=8388608\r\nLARGEST=6291456\r\n\f";
  if (word == "PAGECOUNT") return "PAGECOUNT=" + std::to_string(1200 + port) + "\r\n\f";
  return "?\r\n\f";
}

void advertiseRawPorts(std::vector<DeviceModel>& units, std::uint16_t base) {
  for (DeviceModel& d : units) {
    const std::int32_t level = d.levelOf(MibArea::TcpIp);
    if (level != 0 && level < 5) continue;
    Oid oid = d.enterprise;
    for (std::uint32_t s : {6u, 3u, 1u, 4u, 17u, 0u}) oid.push_back(s);
    d.store.defineIfAbsent(oid, Value::integer(base), true);
  }
}

PjlPrinters::PjlPrinters(const std::vector<DeviceModel>& units, std::uint16_t base) {
  for (const DeviceModel& d : units)
    for (std::size_t i = 0; i < d.ports.size(); ++i) {
      const Port& port = d.ports[i];
      if (port.pjl == PjlMode::None) continue;
      const std::uint32_t number = port.rawPort ? *port.rawPort : std::uint32_t(base) + std::uint32_t(i);
      if (number == 0 || number > 65535) continue;
      printers_.push_back({d.address, std::uint16_t(number), int(i), port.pjl, d.name, port.display});
    }
}

PjlPrinters::~PjlPrinters() {
  for (Connection& c : connections_) close(c);
  for (Printer& p : printers_)
    if (p.fd >= 0) ::close(p.fd);
}

bool PjlPrinters::open(std::string* error) {
  for (Printer& p : printers_) {
    p.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int one = 1;
    sockaddr_in sa{};
    platform::SocketAddress{p.address, p.port}.toSockaddr(sa);
    if (p.fd < 0 || ::setsockopt(p.fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
        ::bind(p.fd, reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0 || ::listen(p.fd, 16) != 0) {
      if (error)
        *error = "cannot listen on " + platform::SocketAddress{p.address, p.port}.toString() + ": " +
                 std::strerror(errno);
      return false;
    }
  }
  return true;
}

void PjlPrinters::accept(const Printer& p) {
  const int fd = ::accept4(p.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return;
  if (p.mode == PjlMode::Close || connections_.size() >= kMaxConnections) {
    ::close(fd);
    return;
  }
  Connection c;
  c.fd = fd;
  c.printer = &p;
  connections_.push_back(std::move(c));
}

void PjlPrinters::close(Connection& c) {
  if (c.fd >= 0) ::close(c.fd);
  c.fd = -1;
}

void PjlPrinters::readFrom(Connection& c) {
  char buf[2048];
  const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
  if (n <= 0) {
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) close(c);
    return;
  }
  if (c.input.size() + std::size_t(n) > kMaxInput) {
    close(c);
    return;
  }
  c.input.append(buf, std::size_t(n));
  if (c.answered) return;
  const auto at = c.input.find("@PJL INFO ");
  if (at == std::string::npos) return;
  const auto end = c.input.find_first_of("\r\n", at);
  if (end == std::string::npos) return;
  const std::string word = c.input.substr(at + 10, end - at - 10);
  c.answered = true;
  const Printer& p = *c.printer;
  const std::string body = pjlReply(word, p.unitName, p.portIndex, p.display);
  c.due = Clock::now();
  switch (p.mode) {
    case PjlMode::Printer: c.pieces = {echoLine(word) + body}; break;
    case PjlMode::Silent: break;
    case PjlMode::Slow: {
      // The echo and the first lines, then the rest in pieces, and the end never comes.
      c.pieces.push_back(echoLine(word));
      const std::string cut = body.substr(0, body.size() > 1 ? body.size() - 1 : 0);  // without the form feed
      for (std::size_t i = 0; i < cut.size(); i += 16) c.pieces.push_back(cut.substr(i, 16));
      break;
    }
    case PjlMode::Trickle: c.pieces = {echoLine(word)}; break;
    case PjlMode::Close:
    case PjlMode::None: break;
  }
}

void PjlPrinters::sendDue(Connection& c, Clock::time_point now) {
  if (c.fd < 0 || now < c.due) return;
  const PjlMode mode = c.printer->mode;
  if (c.pieces.empty()) {
    if (mode != PjlMode::Trickle || !c.answered) return;
    c.pieces.push_back("MORE=1\r\n");  // a printer that never ends its reply
  }
  const std::string piece = c.pieces.front();
  c.pieces.erase(c.pieces.begin());
  if (::send(c.fd, piece.data(), piece.size(), MSG_NOSIGNAL) < 0 && errno != EAGAIN) close(c);
  c.due = now + (mode == PjlMode::Trickle ? kTrickleGap : kPieceGap);
}

void PjlPrinters::run(const std::atomic<bool>& stop) {
  while (!stop.load()) {
    std::vector<pollfd> fds;
    for (const Printer& p : printers_) fds.push_back({p.fd, POLLIN, 0});
    for (const Connection& c : connections_) fds.push_back({c.fd, POLLIN, 0});
    const auto now = Clock::now();
    int waitMs = 100;
    for (const Connection& c : connections_)
      if (!c.pieces.empty() || (c.printer->mode == PjlMode::Trickle && c.answered)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(c.due - now).count();
        if (left < waitMs) waitMs = left < 0 ? 0 : int(left);
      }
    const int n = ::poll(fds.data(), fds.size(), waitMs);
    if (n < 0 && errno != EINTR) return;
    for (std::size_t i = 0; n > 0 && i < printers_.size(); ++i)
      if (fds[i].revents & POLLIN) accept(printers_[i]);
    const std::size_t known = fds.size() - printers_.size();
    for (std::size_t i = 0; n > 0 && i < known; ++i)
      if (fds[printers_.size() + i].revents & (POLLIN | POLLHUP | POLLERR)) readFrom(connections_[i]);
    const auto later = Clock::now();
    for (Connection& c : connections_) sendDue(c, later);
    std::erase_if(connections_, [](const Connection& c) { return c.fd < 0; });
  }
}

}  // namespace sim
