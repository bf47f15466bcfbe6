#pragma once
// The results file of a multi-unit configuration, "tlmltcfg.txt": a header with the date, one line
// per certificate transfer and per unit, the totals. Lines end in CR LF; the file is written
// whole and atomically. Its folder is the error log's ($XDG_STATE_HOME/Quorvel): the program's
// own folder is not writable here.
#include <ctime>
#include <string>

namespace multi {

inline constexpr const char* kResultsFileName = "tlmltcfg.txt";

// The result text of a code ("Success", "Network Error", ... "Internal Error").
const char* multiResultText(int code) noexcept;
// "Thu Dec 10 23:21:33 2026": weekday, month, day right-aligned in two, time, year.
std::string dateText24(const std::tm& local);
std::string defaultResultsPath();

class CMultiConfigLog {
 public:
  CMultiConfigLog(bool tcpipView, const std::tm& local);
  void certificate(const std::string& address, int code);
  void device(const std::string& address, int port, int code);
  // The totals line: checked rows and errors.
  void close(int units, int errors);
  const std::string& text() const { return text_; }
  bool write(const std::string& path, std::string* error = nullptr) const;

 private:
  void line(const std::string& s);
  bool tcpip_;
  std::string text_;
};

}  // namespace multi
