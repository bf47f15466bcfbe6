// trellanctl options: the Options values with the sheet's ranges; a refused value writes nothing,
// an accepted one changes only itself, and communities are never printed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "sim_child.h"
#include "view_test_support.h"

namespace {

struct Result {
  int status = -1;
  std::string out;  // stdout only
};

Result options(const std::string& store, const std::string& args) {
  const std::string tool = SimChild::binDir() + "/trellanctl";
  Result r;
  if (!std::filesystem::exists(tool)) {
    r.out = "trellanctl is missing: " + tool;
    return r;
  }
  FILE* p = popen(("TRELLAN_REGISTRY='" + store + "' '" + tool + "' " + args + " 2>/dev/null").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  std::size_t n = 0;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0 && r.out.size() < (1u << 20)) r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(OptionsCli, RangesAndWhatIsWritten) {
  struct Case {
    const char* what;
    std::string args;
    int status;
    bool changes;
  };
  const Case cases[] = {
      {"below the range", "options --set Broadcast=99", 2, false},
      {"not a number", "options --set GetTimeout=fast", 2, false},
      {"a port outside the list", "options --set DiscoveryPort=4300", 2, false},
      {"one good, one bad: nothing", "options --set Broadcast=8000 --set SnmpRetry=21", 2, false},
      {"unknown name", "options --set Colour=blue", 2, false},
      {"no equals sign", "options --set Broadcast", 2, false},
      {"a value as it is", "options --set GetTimeout=500", 0, false},
      {"accepted", "options --set Broadcast=8000", 0, true},
  };
  for (const auto& c : cases) {
    ViewStore s;
    s.reg.setString("Access\\IP", "<Default>Get", "topsecret");
    const std::string before = bytes(s.file);
    const Result r = options(s.file, c.args);
    EXPECT_EQ(r.status, c.status) << c.what << ": " << r.out;
    EXPECT_EQ(bytes(s.file) != before, c.changes) << c.what;
  }
  ViewStore s;
  s.reg.setString("Access\\IP", "<Default>Get", "topsecret");
  ASSERT_EQ(options(s.file, "options --set Broadcast=8000 --set 'Paper Out=Error'").status, 0);
  s.reg.reload();
  EXPECT_EQ(s.reg.getDword("Timeouts", "Broadcast", 0), 8000u);
  EXPECT_EQ(s.reg.getDword("Timeouts", "GetTimeout", 0), 0u) << "untouched values are not written";
  const Result shown = options(s.file, "--json options");
  ASSERT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out.find("topsecret"), std::string::npos) << "communities are never printed";
  const auto j = nlohmann::json::parse(shown.out, nullptr, false);
  ASSERT_FALSE(j.is_discarded()) << shown.out;
  bool found = false;
  for (const auto& v : j["values"])
    if (v["name"] == "Broadcast") {
      found = true;
      EXPECT_EQ(v["value"], 8000);
      EXPECT_EQ(v["min"], 100);
    } else if (v["name"] == "Paper Out") {
      EXPECT_EQ(v["value"], "Error");
    }
  EXPECT_TRUE(found);
}

TEST(OptionsCli, AccessListsAreEditedWithThePagesRules) {
  struct Case {
    const char* what;
    std::string args;
    std::string input;  // standard input: communities
    int status;
    std::string all;    // Access\IP "All" afterwards
  };
  const Case cases[] = {
      {"a subnet added", "options --access-add '10.1.2.*'", "", 0, "10.1.9.9,10.1.2.*"},
      {"an invalid address refused", "options --access-add 10.1.300.1", "", 2, "10.1.9.9"},
      {"one good, one bad: nothing", "options --access-add 10.1.2.3 --access-add nonsense", "", 2, "10.1.9.9"},
      {"a repeat refused", "options --access-add 10.1.9.9", "", 2, "10.1.9.9"},
      {"deleted", "options --access-delete 10.1.9.9", "", 0, ""},
      {"<Default> stays", "options --access-delete '<Default>'", "", 2, "10.1.9.9"},
      {"an unknown entry", "options --access-delete 10.9.9.9", "", 2, "10.1.9.9"},
      {"communities without input", "options --access-communities 10.1.9.9", "", 2, "10.1.9.9"},
      {"an unknown protocol", "options --protocol ipx --access-add 10.1.2.3", "", 2, "10.1.9.9"},
      {"the serial list takes no entries", "options --protocol serial --access-add COM2", "", 2, "10.1.9.9"},
  };
  for (const auto& c : cases) {
    ViewStore s;
    s.reg.setString("Access\\IP", "All", "10.1.9.9");
    s.reg.setString("Access\\IP", "10.1.9.9Get", "oldsecret");
    const std::string in = s.dir.file("in.txt");
    std::ofstream(in) << c.input;
    const Result r = options(s.file, c.args + " <'" + in + "'");
    EXPECT_EQ(r.status, c.status) << c.what << ": " << r.out;
    s.reg.reload();
    EXPECT_EQ(s.reg.getString("Access\\IP", "All", ""), c.all) << c.what;
  }

  ViewStore s;
  s.reg.setString("Access\\IP", "<Default>Get", "topsecret");
  s.reg.setString("Access\\NW", "All", "");
  const std::string in = s.dir.file("in.txt");
  std::ofstream(in) << "lab-get\r\nlab-set\n";
  const Result r = options(s.file,
                           "options --access-add 192.168.7.* --access-communities 192.168.7.* <'" + in + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.find("lab-"), std::string::npos) << "communities are never printed";
  s.reg.reload();
  EXPECT_EQ(s.reg.getString("Access\\IP", "192.168.7.*Get", ""), "lab-get");
  EXPECT_EQ(s.reg.getString("Access\\IP", "192.168.7.*Set", ""), "lab-set");
  EXPECT_EQ(s.reg.getString("Access\\IP", "<Default>Get", ""), "topsecret") << "the default entry is untouched";

  // NetWare patterns: the page's characters only; a new entry takes the default's communities.
  ASSERT_EQ(options(s.file, "options --protocol NetWare --access-add 0000AB12-").status, 0);
  EXPECT_EQ(options(s.file, "options --protocol netware --access-add 'AB/12'").status, 2);
  s.reg.reload();
  EXPECT_EQ(s.reg.getString("Access\\NW", "All", ""), "0000AB12-");
  const Result shown = options(s.file, "options");
  EXPECT_NE(shown.out.find("192.168.7.*"), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find("lab-get"), std::string::npos) << "communities are never printed";
}
