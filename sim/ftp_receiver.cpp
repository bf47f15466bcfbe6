#include "sim/ftp_receiver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace sim {

namespace {

constexpr std::size_t kMaxLine = 512;
constexpr std::size_t kMaxFile = 1 << 20;  // a certificate is a few kilobytes
constexpr int kTimeoutMs = 10000;

std::string dotted(std::uint32_t a) {
  char b[16];
  std::snprintf(b, sizeof b, "%u.%u.%u.%u", a >> 24, (a >> 16) & 255, (a >> 8) & 255, a & 255);
  return b;
}

int listenOn(std::uint32_t address, std::uint16_t port) {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) return -1;
  const int one = 1;
  ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(address);
  a.sin_port = htons(port);
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s, 4) != 0) {
    ::close(s);
    return -1;
  }
  return s;
}

std::uint16_t localPort(int s) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
  return ntohs(a.sin_port);
}

bool waitReadable(int s, int ms) {
  pollfd p{s, POLLIN, 0};
  return ::poll(&p, 1, ms) == 1;
}

void sendText(int s, const std::string& text) {
  std::size_t off = 0;
  while (off < text.size()) {
    const ssize_t n = ::send(s, text.data() + off, text.size() - off, MSG_NOSIGNAL);
    if (n <= 0) return;
    off += static_cast<std::size_t>(n);
  }
}

// One command line without its CR LF; false when the peer went away, stalled or sent too much.
bool readLine(int s, std::string& pending, std::string& line) {
  for (;;) {
    const auto end = pending.find("\r\n");
    if (end != std::string::npos) {
      line = pending.substr(0, end);
      pending.erase(0, end + 2);
      return true;
    }
    if (pending.size() > kMaxLine || !waitReadable(s, kTimeoutMs)) return false;
    char buffer[256];
    const ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    pending.append(buffer, static_cast<std::size_t>(n));
  }
}

// A remote name the unit can keep: a plain file name.
bool plainName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name == "." || name == "..") return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') return false;
  return true;
}

bool writeAtomically(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  const std::filesystem::path temp = path.string() + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return false;
  }
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

}  // namespace

FtpReceiver::FtpReceiver(std::vector<FtpUnit> units, std::uint16_t port, std::string storeDir)
    : units_(std::move(units)), port_(port), storeDir_(std::move(storeDir)) {}

FtpReceiver::~FtpReceiver() {
  stop();
  for (int s : listeners_)
    if (s >= 0) ::close(s);
}

std::size_t FtpReceiver::open(std::vector<std::string>& warnings) {
  std::size_t open = 0;
  for (const FtpUnit& u : units_) {
    const int s = listenOn(u.address, port_);
    if (s < 0) warnings.push_back("FTP port " + std::to_string(port_) + " of " + dotted(u.address) + " is not free");
    else ++open;
    listeners_.push_back(s);
  }
  return open;
}

void FtpReceiver::start() {
  if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
}

void FtpReceiver::stop() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
}

void FtpReceiver::run() {
  std::vector<pollfd> fds;
  std::vector<std::size_t> unitOf;
  for (std::size_t i = 0; i < listeners_.size(); ++i)
    if (listeners_[i] >= 0) {
      fds.push_back({listeners_[i], POLLIN, 0});
      unitOf.push_back(i);
    }
  while (!stop_.load()) {
    if (fds.empty() || ::poll(fds.data(), fds.size(), 200) <= 0) {
      if (fds.empty()) ::usleep(200000);
      continue;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (!(fds[i].revents & POLLIN)) continue;
      const int control = ::accept4(fds[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (control < 0) continue;
      // One session at a time, as the firmware serves one upload at a time.
      serve(control, units_[unitOf[i]]);
      ::close(control);
    }
  }
}

void FtpReceiver::serve(int control, const FtpUnit& unit) {
  sendText(control, "220 Print server ready\r\n");
  std::string pending, line, user;
  bool userGiven = false, loggedIn = false;
  int data = -1;
  auto closeData = [&data] {
    if (data >= 0) ::close(data);
    data = -1;
  };
  while (!stop_.load() && readLine(control, pending, line)) {
    const auto space = line.find(' ');
    std::string command = line.substr(0, space);
    const std::string arg = space == std::string::npos ? std::string() : line.substr(space + 1);
    for (char& c : command) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (command == "USER") {
      user = arg;
      userGiven = true;
      loggedIn = false;
      sendText(control, "331 Password required\r\n");
    } else if (command == "PASS") {
      const bool passwordOk = unit.password.empty() ? !arg.empty() : arg == unit.password;
      loggedIn = userGiven && user == " " && passwordOk;
      sendText(control, loggedIn ? "230 Logged in\r\n" : "530 Login incorrect\r\n");
    } else if (command == "QUIT") {
      sendText(control, "221 Goodbye\r\n");
      break;
    } else if (!loggedIn) {
      sendText(control, "530 Please log in with USER and PASS\r\n");
    } else if (command == "PWD") {
      sendText(control, "257 \"/\"\r\n");
    } else if (command == "CWD") {
      sendText(control, arg == "/" ? "250 Okay\r\n" : "550 No such directory\r\n");
    } else if (command == "TYPE") {
      sendText(control, arg == "I" || arg == "A" ? "200 Type set\r\n" : "504 Type not supported\r\n");
    } else if (command == "SYST") {
      sendText(control, "215 UNIX Type: L8\r\n");
    } else if (command == "NOOP") {
      sendText(control, "200 Okay\r\n");
    } else if (command == "EPSV" || command == "PASV") {
      closeData();
      data = listenOn(unit.address, 0);
      const std::uint16_t p = data >= 0 ? localPort(data) : 0;
      if (data < 0 || p == 0) {
        closeData();
        sendText(control, "425 Cannot open a data connection\r\n");
      } else if (command == "EPSV") {
        sendText(control, "229 Entering Extended Passive Mode (|||" + std::to_string(p) + "|)\r\n");
      } else {
        const std::uint32_t a = unit.address;
        char reply[96];
        std::snprintf(reply, sizeof reply, "227 Entering Passive Mode (%u,%u,%u,%u,%u,%u)\r\n", a >> 24,
                      (a >> 16) & 255, (a >> 8) & 255, a & 255, p >> 8, p & 255);
        sendText(control, reply);
      }
    } else if (command == "STOR") {
      const std::string name = arg.size() > 1 && arg[0] == '/' ? arg.substr(1) : arg;
      if (!plainName(name)) {
        sendText(control, "553 File name not allowed\r\n");
        continue;
      }
      if (data < 0) {
        sendText(control, "425 Use PASV or EPSV first\r\n");
        continue;
      }
      sendText(control, "150 Ok to send data\r\n");
      const int conn = waitReadable(data, kTimeoutMs) ? ::accept4(data, nullptr, nullptr, SOCK_CLOEXEC) : -1;
      closeData();
      std::string bytes;
      bool complete = false, tooLarge = false;
      while (conn >= 0 && waitReadable(conn, kTimeoutMs)) {
        char buffer[4096];
        const ssize_t n = ::recv(conn, buffer, sizeof buffer, 0);
        if (n < 0) break;
        if (n == 0) {
          complete = true;
          break;
        }
        if (bytes.size() + static_cast<std::size_t>(n) > kMaxFile) {
          tooLarge = true;
          break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
      }
      if (conn >= 0) ::close(conn);
      if (tooLarge) {
        sendText(control, "552 File too large\r\n");
      } else if (!complete) {
        sendText(control, "426 Transfer aborted\r\n");
      } else if (!storeDir_.empty() &&
                 !writeAtomically(std::filesystem::path(storeDir_) / dotted(unit.address) / name, bytes)) {
        sendText(control, "451 Could not store the file\r\n");
      } else {
        sendText(control, "226 Transfer complete\r\n");
      }
    } else {
      sendText(control, "502 Command not implemented\r\n");
    }
  }
  closeData();
}

}  // namespace sim
