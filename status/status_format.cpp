#include "status/status_format.h"

#include <cstdio>

namespace status {

std::string upTimeText(std::uint32_t t) {
  const long s = static_cast<long>(t / 100), hundredths = static_cast<long>(t % 100);
  const long m = s / 60, h = m / 60, days = h / 24;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%li days %li hours %li mins %li.%li secs", days, h % 24, m % 60, s % 60,
                hundredths);
  return buf;
}

std::string hardwareAddressText(std::string_view octets) {
  std::string out;
  const std::size_t n = octets.size() < 85 ? octets.size() : 85;
  char buf[4];
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, i == 0 ? "%02X" : ":%02X", static_cast<unsigned char>(octets[i]));
    out += buf;
  }
  return out;
}

std::string netSpeedText(std::uint32_t bitsPerSecond) {
  return std::to_string(static_cast<long>(bitsPerSecond / 1000000u)) + " Mb";
}

std::string cableTypeText(std::int32_t value) {
  switch (value) {
    case 1: return "10BASE-2";
    case 2: return "10/100BASE-T";
    case 3: return "AUI";
    case 4: return "UTP";
    case 5: return "STP";
    case 6: return "Fiber 100fx";
    default: return "UNKNOWN";
  }
}

std::string supportText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ';') {
      out += kCrLf;
      ++i;  // the character after the semicolon goes with it
      continue;
    }
    out += text[i];
  }
  return out;
}

std::string reportDate(std::time_t when) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm tm{};
  if (!localtime_r(&when, &tm)) return {};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %s %2d %02d:%02d:%02d %d", kDays[tm.tm_wday % 7], kMonths[tm.tm_mon % 12],
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_year + 1900);
  return buf;
}

namespace {

constexpr std::size_t kMaxPath = 260;

std::string withTxt(std::string base) {
  constexpr std::size_t kExt = 4;
  if (base.size() > kMaxPath - kExt) base.resize(kMaxPath - kExt);
  return base + ".txt";
}

bool unfitForFileName(char c) {
  return static_cast<unsigned char>(c) < 32 || c == '/' || c == '\\' || c == '*' || c == '?' || c == '"' ||
         c == '<' || c == '>' || c == '|' || c == ':';
}

}  // namespace

std::string reportFileName(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    switch (c) {
      case '*': case '?': case '.': case '"': case '\\': case '/': case '[': case ']': case ':':
      case ';': case '|': case '=': case ',': case ' ':
        c = '_';
        break;
      default:
        if (unfitForFileName(c)) c = '_';
    }
  }
  return withTxt(out);
}

std::string pjlFileName(std::string_view serialNumber) {
  std::string out = "PJL-";
  for (char c : serialNumber) out += unfitForFileName(c) ? '_' : c;
  return withTxt(out);
}

std::string tcpStateText(std::int32_t state) {
  static constexpr const char* kStates[] = {"CLOSED",     "LISTEN",     "SYN_SENT",    "SYN_RCVD",
                                            "ESTABLISHED", "FIN_WAIT_1", "FIN_WAIT_2", "CLOSED_WAIT",
                                            "LAST_ACK",   "CLOSING",    "TIME_WAIT"};
  if (state >= 1 && state <= 11) return kStates[state - 1];
  return std::to_string(state) + "-UNKNOWN";
}

std::string serviceSuffix(std::uint32_t port) {
  switch (port) {
    case 20: case 21: return "   (FTP)";
    case 23: return "   (Telnet)";
    case 25: return "   (SMTP)";
    case 80: return "   (HTTP)";
    case 110: return "  (POP3)";
    case 515: return "  (LPD)";
    case 631: return "  (IPP)";
    default: return port >= 9100 && port <= 9112 ? " (Raw)" : "";
  }
}

}  // namespace status
