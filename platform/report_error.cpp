#include "platform/report_error.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>

#include "platform/registry.h"
#include "platform/report_error_log.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"

namespace platform {
namespace {

constexpr std::uint32_t kStoppedByUser = 2;
constexpr std::uint32_t kSnmpStoppedByUser = 3161;

struct ClassRow {
  int errorClass;
  const char* tagPrefix;
  bool ownText;                 // the code's own string-table text is tried first
  std::uint32_t fallbackTextId;
  std::uint32_t titleId;
};

// One row per error class; class 1 falls back to the program name.
constexpr ClassRow kClasses[] = {
    {kErrorProgram, "IP", true, ids::kAppName, ids::kAppName},
    {kErrorView, "VW", true, ids::kErrorViewText, ids::kErrorViewTitle},
    {kErrorSockets, "WS", false, ids::kErrorSocketsText, ids::kErrorSocketsTitle},
    {kErrorSnmp, "SN", false, ids::kErrorSnmpText, ids::kErrorSnmpTitle},
    {kErrorNetWare, "NW", true, ids::kErrorNetWareText, ids::kErrorNetWareTitle},
    {kErrorSerial, "CM", true, ids::kErrorSerialText, ids::kErrorSerialTitle},
    {kErrorWindows, "WIN", true, ids::kErrorWindowsText, ids::kErrorWindowsTitle},
    {kErrorVines, "VNS", true, ids::kErrorWindowsText, ids::kErrorVinesTitle},
};

const ClassRow* classRow(int errorClass) {
  for (const auto& row : kClasses)
    if (row.errorClass == errorClass) return &row;
  return nullptr;
}

std::string text(std::uint32_t id) {
  const char* s = loadString(id);
  return s ? s : "";
}

// A text with an insertion mark ("%1", "%2") is a template and cannot stand alone.
bool usableAsIs(const char* s) { return s && *s && !std::strstr(s, "%1") && !std::strstr(s, "%2"); }

struct Part {
  std::string text;
  std::string tag;
};

Part describe(std::uint32_t code, int errorClass) {
  const ClassRow* row = classRow(errorClass);
  if (!row) return {};
  Part p;
  const char* own = row->ownText ? loadString(code) : nullptr;
  p.text = usableAsIs(own) ? std::string(own) : text(row->fallbackTextId);
  // The whole unsigned 32-bit code: a tag cut to nine characters would show another number.
  char tag[24];
  std::snprintf(tag, sizeof tag, "%s%u", row->tagPrefix, static_cast<unsigned>(code));
  p.tag = tag;
  return p;
}

// --- log state ---
std::mutex gMutex;
ErrorPresenter gPresenter;
std::function<bool()> gFlagSource;
std::string gLogDirectory;
std::optional<bool> gLogEnabled;
thread_local bool tReadingFlag = false;

bool readFlagFromStore() {
  Registry store(Registry::defaultPath(), [](const std::string& message) { std::cerr << message << "\n"; });
  return store.getDword("General", "Log", 0) == 1;
}

bool logEnabled() {
  {
    std::lock_guard lock(gMutex);
    if (gLogEnabled) return *gLogEnabled;
  }
  // A message raised while the flag itself is being read (the store reporting a bad file) is
  // not logged: the flag is not known yet.
  if (tReadingFlag) return false;
  std::function<bool()> source;
  {
    std::lock_guard lock(gMutex);
    source = gFlagSource;
  }
  tReadingFlag = true;
  const bool on = source ? source() : readFlagFromStore();
  tReadingFlag = false;
  std::lock_guard lock(gMutex);
  if (!gLogEnabled) gLogEnabled = on;
  return *gLogEnabled;
}

void appendToLog(const std::string& message) {
  std::error_code ec;
  const std::filesystem::path dir = [] {
    std::lock_guard lock(gMutex);
    return gLogDirectory.empty() ? defaultErrorLogDirectory() : gLogDirectory;
  }();
  std::filesystem::create_directories(dir, ec);
  std::lock_guard lock(gMutex);
  // The log is a text file the Windows way: CR LF. A file that cannot be opened is skipped.
  if (FILE* f = std::fopen((dir / kErrorLogFileName).c_str(), "ab")) {
    std::fwrite(message.data(), 1, message.size(), f);
    std::fwrite("\r\n", 1, 2, f);
    std::fclose(f);
  }
}

int presentOnStderr(const ErrorMessage& m) {
  std::cerr << m.title << ": " << m.text << "\n";
  return 1;
}

}  // namespace

ErrorMessage formatError(std::uint32_t code1, int class1, std::uint32_t code2, int class2) {
  Part first = describe(code1, class1);
  if (!classRow(class1)) first.text = text(ids::kErrorGeneric);
  const Part second = describe(code2, class2);

  ErrorMessage m;
  m.text = first.text + " ";
  if (!second.text.empty()) m.text += second.text + " ";
  m.text += "(" + first.tag;
  if (!second.tag.empty()) m.text += "," + second.tag;
  m.text += ")";
  const ClassRow* row = classRow(class1);
  m.title = text(row ? row->titleId : ids::kErrorGeneric);
  return m;
}

int ReportError(std::uint32_t code1, int class1, std::uint32_t code2, int class2, bool show) {
  if (class2 == kErrorSnmp && code2 == kSnmpStoppedByUser) return 0;
  if (code2 == kStoppedByUser) return 0;

  const ErrorMessage m = formatError(code1, class1, code2, class2);
  if (logEnabled()) appendToLog(m.text);
  if (!show) return 0;
  ErrorPresenter presenter;
  {
    std::lock_guard lock(gMutex);
    presenter = gPresenter;
  }
  return presenter ? presenter(m) : presentOnStderr(m);
}

void setErrorPresenter(ErrorPresenter presenter) {
  std::lock_guard lock(gMutex);
  gPresenter = std::move(presenter);
}

std::string defaultErrorLogDirectory() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && *state) return (std::filesystem::path(state) / "Quorvel").string();
  const char* home = std::getenv("HOME");
  return (std::filesystem::path(home && *home ? home : ".") / ".local" / "state" / "Quorvel").string();
}

void setErrorLogFlagSource(std::function<bool()> source) {
  std::lock_guard lock(gMutex);
  gFlagSource = std::move(source);
  gLogEnabled.reset();
}

void setErrorLogDirectory(std::string directory) {
  std::lock_guard lock(gMutex);
  gLogDirectory = std::move(directory);
}

void resetErrorLog() {
  std::lock_guard lock(gMutex);
  gLogEnabled.reset();
}

std::string errorLogPath() {
  std::lock_guard lock(gMutex);
  const std::filesystem::path dir = gLogDirectory.empty() ? defaultErrorLogDirectory() : gLogDirectory;
  return (dir / kErrorLogFileName).string();
}

}  // namespace platform
