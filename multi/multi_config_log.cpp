#include "multi/multi_config_log.h"

#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/report_error_log.h"

namespace multi {

const char* multiResultText(int code) noexcept {
  if (code == 0) return "Success";
  if (code >= 3073 && code <= 3075) return "Network Error";
  if ((code >= 3088 && code <= 3093) || code == 3095 || (code >= 3152 && code <= 3154)) return "SNMP Error";
  switch (code) {
    case 3094: return "Operation Timed Out";
    case 3155: return "Invalid Parameter";
    case 3157: return "No Such Variable";
    case 3158: return "No Such Value";
    case 3160: return "General Error";
    case 3325: return "Bad Community Name";
    case 3326: return "No SNMP Support";
    case 3327: return "Error on Reset";
    default: return "Internal Error";
  }
}

std::string dateText24(const std::tm& t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s %s %2d %02d:%02d:%02d %04d", kDays[(t.tm_wday % 7 + 7) % 7],
                kMonths[(t.tm_mon % 12 + 12) % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
  return buffer;
}

std::string defaultResultsPath() { return platform::defaultErrorLogDirectory() + "/" + kResultsFileName; }

CMultiConfigLog::CMultiConfigLog(bool tcpipView, const std::tm& local) : tcpip_(tcpipView) {
  line("Mulit-unit Configuration Results:");
  line(dateText24(local));
  line("");
}

void CMultiConfigLog::line(const std::string& s) { text_ += s + "\r\n"; }

void CMultiConfigLog::certificate(const std::string& address, int code) {
  char b[160];
  std::snprintf(b, sizeof b, "  %-18s %s (%lu)", address.c_str(),
                code == 0 ? "Certificate transfer successful" : "Certificate transfer failed",
                static_cast<unsigned long>(static_cast<unsigned>(code)));
  line(b);
}

void CMultiConfigLog::device(const std::string& address, int port, int code) {
  char b[160];
  const char* text = multiResultText(code);
  const auto c = static_cast<unsigned long>(static_cast<unsigned>(code));
  if (tcpip_) {
    if (port) std::snprintf(b, sizeof b, "  %-15s(%i) %s (%lu)", address.c_str(), port, text, c);
    else std::snprintf(b, sizeof b, "  %-18s %s (%lu)", address.c_str(), text, c);
  } else {
    if (port) std::snprintf(b, sizeof b, "  %21s(%i) %s (%lu)", address.c_str(), port, text, c);
    else std::snprintf(b, sizeof b, "  %24s %s (%lu)", address.c_str(), text, c);
  }
  line(b);
}

void CMultiConfigLog::close(int units, int errors) {
  char b[128];
  std::snprintf(b, sizeof b, "Total:  %i unit configured,  %i error(s) reported.", units, errors);
  text_ += "\r\n";
  text_ += b;
}

bool CMultiConfigLog::write(const std::string& path, std::string* error) const {
  platform::makeDirectories(platform::parentDirectory(path), 0700, nullptr);
  return platform::writeFileAtomically(path, text_, {}, error);
}

}  // namespace multi
