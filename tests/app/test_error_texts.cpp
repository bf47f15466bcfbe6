// Every error the program reports reads as a sentence: each code passed to ReportError (or to a
// command host's reportError) anywhere in the sources, with a class whose codes carry their own
// text, has that text in the string table. The sources are read so that a new call with a new
// code is checked the day it is written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "platform/report_error.h"
#include "platform/string_table.h"

namespace {

namespace fs = std::filesystem;

struct Call {
  std::string where;
  std::string code;   // literal or constant name as written
  std::string cls;    // class name as written
};

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Program folders only: tests and benchmarks report nothing to a user.
std::vector<fs::path> programSources(const fs::path& root) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string rel = fs::relative(entry.path(), root).generic_string();
    if (rel.rfind("build", 0) == 0 || rel.rfind("tests/", 0) == 0 || rel.rfind("bench/", 0) == 0 ||
        rel.rfind("fuzz/", 0) == 0 || rel.rfind(".", 0) == 0)
      continue;
    const auto ext = entry.path().extension();
    if (ext == ".cpp" || ext == ".h") files.push_back(entry.path());
  }
  return files;
}

int classNumber(const std::string& name) {
  static const std::map<std::string, int> kClasses = {
      {"kErrorProgram", platform::kErrorProgram}, {"kErrorView", platform::kErrorView},
      {"kErrorSockets", platform::kErrorSockets}, {"kErrorSnmp", platform::kErrorSnmp},
      {"kErrorNetWare", platform::kErrorNetWare}, {"kErrorSerial", platform::kErrorSerial},
      {"kErrorWindows", platform::kErrorWindows}, {"kErrorVines", platform::kErrorVines}};
  const auto colon = name.rfind(':');
  const auto it = kClasses.find(colon == std::string::npos ? name : name.substr(colon + 1));
  if (it != kClasses.end()) return it->second;
  return std::isdigit(static_cast<unsigned char>(name.empty() ? 'x' : name[0])) ? std::atoi(name.c_str()) : -1;
}

// Classes whose codes show their own text (sockets and SNMP codes show the class's text).
bool ownText(int cls) {
  return cls == platform::kErrorProgram || cls == platform::kErrorView || cls == platform::kErrorNetWare ||
         cls == platform::kErrorSerial || cls == platform::kErrorWindows || cls == platform::kErrorVines;
}

}  // namespace

TEST(ErrorTexts, EveryReportedCodeHasItsText) {
  const char* rootEnv = std::getenv("TRELLAN_SOURCE_DIR");
  ASSERT_TRUE(rootEnv && *rootEnv) << "TRELLAN_SOURCE_DIR is not set";
  const fs::path root(rootEnv);
  const auto files = programSources(root);
  ASSERT_FALSE(files.empty()) << root;

  // Named codes: "kErrNeedsUpdate = 5306" anywhere in the sources.
  std::map<std::string, std::set<unsigned long>> constants;
  const std::regex constant(R"((k[A-Za-z0-9_]+)\s*=\s*(\d{1,6})\b)");
  // The first two arguments: a code (literal or name) and a class name or literal.
  const std::regex call(R"(\b(?:ReportError|reportError)\(\s*([A-Za-z0-9_:]+)\s*,\s*([A-Za-z0-9_:]+)\s*[,)])");
  std::vector<Call> calls;
  for (const auto& f : files) {
    const std::string text = readFile(f);
    // Line by line, and only lines that can match: the regular expressions are slow on whole files.
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      if (line.find('=') != std::string::npos)
        for (auto it = std::sregex_iterator(line.begin(), line.end(), constant); it != std::sregex_iterator(); ++it)
          constants[(*it)[1]].insert(std::stoul((*it)[2]));
      if (line.find("eportError(") != std::string::npos)
        for (auto it = std::sregex_iterator(line.begin(), line.end(), call); it != std::sregex_iterator(); ++it)
          calls.push_back({fs::relative(f, root).generic_string(), (*it)[1], (*it)[2]});
    }
  }

  std::set<unsigned long> checked;
  for (const Call& c : calls) {
    const int cls = classNumber(c.cls);
    if (cls < 0 || !ownText(cls)) continue;  // a class passed on from a variable, or one without own texts
    std::set<unsigned long> codes;
    const std::string name = c.code.substr(c.code.rfind(':') == std::string::npos ? 0 : c.code.rfind(':') + 1);
    if (std::isdigit(static_cast<unsigned char>(name[0]))) {
      codes.insert(std::stoul(name));
    } else if (auto it = constants.find(name); it != constants.end()) {
      codes = it->second;
    } else {
      continue;  // a code passed on from a variable: checked where it was named
    }
    for (unsigned long code : codes) {
      const char* s = platform::loadString(static_cast<std::uint32_t>(code));
      EXPECT_TRUE(s && *s && !std::strstr(s, "%1")) << c.where << ": code " << code << " (" << c.code << ")";
      checked.insert(code);
    }
  }
  // The scan found the calls it exists for: a worker's socket error and the update message.
  EXPECT_EQ(checked.count(5005), 1u);
  EXPECT_EQ(checked.count(5306), 1u);
}

TEST(ErrorTexts, UpdateMessageReadsAsASentence) {
  const auto m = platform::formatError(5306, platform::kErrorProgram);
  EXPECT_EQ(m.text, "This utility needs updating, it does not support the newest firmware. (IP5306)");
}
