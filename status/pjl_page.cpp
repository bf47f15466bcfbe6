#include "status/pjl_page.h"

#include <chrono>
#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/socket_address.h"
#include "platform/tcp_socket.h"
#include "status/status_format.h"

namespace status {

namespace {

constexpr const char* kUel = "\033%-12345X";
constexpr std::size_t kPaddedLength = 1021;  // padding of an automatic-switching request before its end

int lineCount(const std::string& text) {
  int n = 1;
  for (char c : text) n += c == '\n';
  return n;
}

// Up to the first form feed.
std::string cutAtFormFeed(std::string text) {
  const auto ff = text.find('\f');
  if (ff != std::string::npos) text.resize(ff);
  return text;
}

struct Chunk {
  int error = 0;  // 0, or the failure (the connection is then closed)
  std::string text;  // empty: nothing within the wait, or the peer closed
};

Chunk receiveChunk(platform::TcpSocket& socket, int seconds) {
  char buffer[kPjlBufferSize];
  const platform::IoResult r = socket.recv(buffer, sizeof buffer, std::chrono::seconds(seconds));
  if (r.error == ETIMEDOUT) return {};
  if (!r.ok()) {
    socket.close();
    return {r.error, {}};
  }
  return {0, std::string(buffer, r.bytes)};
}

}  // namespace

int pjlReplySeconds(std::uint32_t getTimeout) { return static_cast<int>(getTimeout / 100 + 2); }

CPjlPage::CPjlPage() = default;

void CPjlPage::setIdentity(const std::string& systemName, const std::string& serialNumber) {
  systemName_ = systemName;
  serial_ = serialNumber;
}

void CPjlPage::setTarget(const std::string& address, std::uint16_t rawPortBase, std::vector<std::uint8_t> states) {
  address_ = address;
  rawPortBase_ = rawPortBase;
  states_ = std::move(states);
  if (port_ < 0 || port_ >= portCount()) port_ = 0;
  updateButtons();
}

void CPjlPage::create() {
  response_ = pjltexts::kIntroduction;
  firstSend_ = true;
  updateButtons();
}

void CPjlPage::selectPort(int portIndex) {
  if (portIndex >= 0 && portIndex < portCount()) port_ = portIndex;
  updateButtons();
}

void CPjlPage::updateButtons() {
  char buf[64];
  if (states_.empty()) {
    message_ = pjltexts::kNoPorts;
    buttonsEnabled_ = false;
  } else if (states_[static_cast<std::size_t>(port_)] == 0) {
    std::snprintf(buf, sizeof buf, pjltexts::kNoPrinter, port_ + 1);
    message_ = buf;
    buttonsEnabled_ = false;
  } else {
    message_.clear();
    buttonsEnabled_ = true;
  }
}

void CPjlPage::show(const char* format, int code) {
  char buf[160];
  std::snprintf(buf, sizeof buf, format, code);
  if (messageBox_) messageBox_(buf);
}

std::string CPjlPage::requestBytes() const {
  if (request_ < 0 || request_ >= kPjlRequestCount) return {};
  std::string r = std::string(kUel) + "@PJL " + kPjlRequests[request_].word;
  const bool autoSwitch = port_ >= 0 && port_ < portCount() && states_[static_cast<std::size_t>(port_)] == 2;
  if (autoSwitch) {
    // A printer that switches languages by looking at the data gets a full buffer to look at.
    r += "\r\n@PJL COMMENT ";
    if (r.size() < kPaddedLength) r.append(kPaddedLength - r.size(), ' ');
  }
  r += "\r\n";
  r += kUel;
  return r;
}

int CPjlPage::send() {
  scroll_ = 0;
  if (!buttonsEnabled_) return -1;
  int lines = lineCount(response_);
  if (firstSend_) {
    response_.clear();
    lines = 1;
    firstSend_ = false;
  }
  const auto address = platform::parseIpv4(address_);
  const std::uint16_t port = static_cast<std::uint16_t>(rawPortBase_ + port_);
  platform::TcpSocket socket;
  int rc = address ? socket.connect({*address, port}, std::chrono::milliseconds(limits_.connectMs)) : EINVAL;
  if (rc != 0) {
    lastError_ = rc;
    show(pjltexts::kCannotConnect, rc);
    status_.clear();
    return rc;
  }
  // Whatever the printer had waiting belongs to nobody.
  for (int i = 0; i < 16; ++i) {
    Chunk stale = receiveChunk(socket, 0);
    if (stale.error || stale.text.empty()) break;
  }
  status_ = pjltexts::kSending;
  const std::string request = requestBytes();
  if (request.empty()) return -1;
  const platform::IoResult sent = socket.send(request.data(), request.size(), std::chrono::seconds(limits_.replySeconds));
  if (!sent.ok() || sent.bytes < request.size()) {
    lastError_ = sent.ok() ? pjltexts::kShortTransfer : sent.error;
    show(pjltexts::kCannotSend, lastError_);
    status_.clear();
    return lastError_;
  }

  Chunk first = receiveChunk(socket, limits_.replySeconds);
  rc = 0;
  if (first.error) {
    lastError_ = first.error;
    show(pjltexts::kCannotReceive, pjltexts::kShortTransfer);
    rc = first.error;
  } else if (first.text.empty()) {
    if (messageBox_) messageBox_(pjltexts::kNoResponse);
    rc = -1;
  } else {
    std::string text = cutAtFormFeed(std::move(first.text));
    // The printer echoes the request line first; a reply without one is shown whole.
    const auto crlf = text.find("\r\n");
    if (crlf != std::string::npos) text.erase(0, crlf + 2);
    std::string reply = std::string(kPjlRequests[request_].item) + ":\r\n\r\n" + text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limits_.followUpTotalSeconds);
    for (int i = 0; i < limits_.maxFollowUps && reply.size() < limits_.maxReplyBytes; ++i) {
      if (std::chrono::steady_clock::now() >= deadline) break;
      Chunk more = receiveChunk(socket, limits_.followUpSeconds);
      if (more.error) {
        lastError_ = more.error;
        break;
      }
      const std::string piece = cutAtFormFeed(std::move(more.text));
      if (piece.empty()) break;
      reply += piece;
    }
    if (reply.size() > limits_.maxReplyBytes) reply.resize(limits_.maxReplyBytes);
    response_ += reply + pjltexts::kSeparator;
    if (lines > 8) scroll_ = lines - 1;
  }
  socket.close();
  status_.clear();
  return rc;
}

std::string CPjlPage::saveText(std::time_t when) const {
  const std::string stars = "**************************************************";
  return "Printer PJL Status Values\r\n\r\nSystem Name:\t\t" + systemName_ + "\r\nSerial Number:\t\t" + serial_ +
         "\r\n" + stars + "\r\n" + response_ + stars + "\r\n\r\nFile Created: " + reportDate(when) + "\r\n";
}

int CPjlPage::save(const std::string& path, std::time_t when) const {
  if (!platform::writeFileAtomically(path, saveText(when))) {
    if (messageBox_) messageBox_("Cannot open the requested file.");
    return 99;
  }
  return 0;
}

std::string CPjlPage::defaultFileName() const { return pjlFileName(serial_); }

}  // namespace status
