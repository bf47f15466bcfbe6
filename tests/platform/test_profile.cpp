// Private-profile files with the Windows rules.
#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "test_registry_tempdir.h"

using platform::Profile;
using trellan_test::readFile;
using trellan_test::TempDir;
using trellan_test::writeFile;

namespace {

// As the Windows program writes it: CR LF, names in mixed case, no line end after the last line.
const std::string kWindowsFile =
    "[Timeouts]\r\n"
    "GetTimeout=700\r\n"
    "SetTimeout=800\r\n"
    "\r\n"
    "; views of the 16-bit utility\r\n"
    "[AllViews]\r\n"
    "Lab Printers=1\r\n"
    "Second Floor=1\r\n"
    "[View:Lab Printers]\r\n"
    "Columns=Name,IP Address,Status\r\n"
    "Filter=\"Status\"\r\n"
    "Dev0=10.1.2.3\r\n"
    "[OEM]\r\n"
    "XYZ=1.3.6.1.4.1.99\r\n"
    "LongName=1.3.6.1.4.1.98";

using Lines = std::vector<std::string>;

}  // namespace

TEST(Profile, WindowsFileReadsBackUnchanged) {
  Profile p;
  p.parse(kWindowsFile);
  EXPECT_EQ(p.text(), kWindowsFile);
  EXPECT_EQ(p.getInt("timeouts", "gettimeout", 0), 700);
  EXPECT_EQ(p.get("View:Lab Printers", "Columns"), "Name,IP Address,Status");
  EXPECT_EQ(p.get("View:Lab Printers", "Filter"), "\"Status\"");
  EXPECT_EQ(p.get("oem", "longname"), "1.3.6.1.4.1.98");
  EXPECT_EQ(p.sections(), (Lines{"Timeouts", "AllViews", "View:Lab Printers", "OEM"}));
  EXPECT_EQ(p.keys("ALLVIEWS"), (Lines{"Lab Printers", "Second Floor"}));

  TempDir dir;
  std::string file = dir.file("AMBRAIP.INI");
  writeFile(file, kWindowsFile);
  Profile loaded;
  ASSERT_TRUE(loaded.load(file));
  ASSERT_TRUE(loaded.save(file));
  EXPECT_EQ(readFile(file), kWindowsFile);  // byte for byte

  // With a byte order mark and a final line end, too.
  const std::string withBom = "\xEF\xBB\xBF[A]\r\nx=1\r\n";
  p.parse(withBom);
  EXPECT_EQ(p.get("a", "X"), "1");
  EXPECT_EQ(p.text(), withBom);
}

// A CR that ends the last line without an LF is not a line end: dropping it changed the file on
// every save (found by fuzz_profile).
TEST(Profile, LoneCarriageReturnAtTheEndIsKept) {
  for (const std::string text : {"[A]\r\nk=1\r", "[A]\r\nk\r\r", "x\r", "\r"}) {
    Profile p;
    p.parse(text);
    EXPECT_EQ(p.text(), text) << "text: " << ::testing::PrintToString(text);
    Profile again;
    again.parse(p.text());
    EXPECT_EQ(again.text(), text) << "text: " << ::testing::PrintToString(text);
  }
}

TEST(Profile, ValuesAreLiteral) {
  Profile p;
  p.parse(
      "[S]\n"
      "  Padded Key  =   spaced value \t\n"
      "Quoted=\"a, b\"\n"
      "Path=C:\\Windows\\ambraip.ini\n"
      "Semi=a;b ; not a comment\n"
      "Eq=a=b=c\n"
      "Empty=\n"
      ";Commented=1\n"
      "NoEquals\n"
      "=orphan\n");
  EXPECT_EQ(p.get("S", "padded key"), "spaced value");
  EXPECT_EQ(p.get("S", "Quoted"), "\"a, b\"");
  EXPECT_EQ(p.get("S", "Path"), "C:\\Windows\\ambraip.ini");
  EXPECT_EQ(p.get("S", "Semi"), "a;b ; not a comment");
  EXPECT_EQ(p.get("S", "Eq"), "a=b=c");
  EXPECT_EQ(p.get("S", "Empty"), "");
  EXPECT_EQ(p.get("S", "Missing"), std::nullopt);
  EXPECT_EQ(p.get("S", ";Commented"), std::nullopt);
  EXPECT_EQ(p.get("S", "NoEquals"), std::nullopt);
  EXPECT_EQ(p.getString("S", "Missing", "dflt"), "dflt");
  EXPECT_EQ(p.getString("S", "Empty", "dflt"), "");
  EXPECT_EQ(p.keys("s"), (Lines{"Padded Key", "Quoted", "Path", "Semi", "Eq", "Empty"}));
}

TEST(Profile, FirstMatchWins) {
  Profile p;
  p.parse(
      "key=before any section\n"
      "[Dup]\n"
      "a=1\n"
      "A=2\n"
      "[other]\n"
      "a=3\n"
      "[DUP]\n"
      "a=4\n"
      "b=5\n");
  EXPECT_EQ(p.get("dup", "a"), "1");
  EXPECT_EQ(p.get("Dup", "b"), std::nullopt);  // only the first section of a name counts
  EXPECT_EQ(p.get("", "key"), std::nullopt);
  EXPECT_EQ(p.sections(), (Lines{"Dup", "other"}));
  EXPECT_EQ(p.keys("dup"), Lines{"a"});

  p.set("DUP", "a", "changed");
  EXPECT_EQ(p.text(),
            "key=before any section\r\n[Dup]\r\na=changed\r\nA=2\r\n[other]\r\na=3\r\n[DUP]\r\na=4\r\nb=5\r\n");
  p.remove("dup", "A");
  EXPECT_EQ(p.get("Dup", "a"), "2");  // the next one comes to light, as on Windows
}

TEST(Profile, WritesKeepEveryOtherLineInPlace) {
  Profile p;
  p.parse(
      "; header comment\n"
      "[General]\n"
      "CurrentView=All\n"
      "\n"
      "; trailing comment of General\n"
      "[Access]\n"
      "All=10.0.0.1\n");
  p.set("general", "currentview", "Lab");     // replaced in place, the file's spelling of the key kept
  p.set("GENERAL", "Log", "1");               // after the last entry, before the blank line
  p.set("Access", "10.0.0.1Get", "public");   // at the end of the last section
  p.set("Timeouts", "GetTimeout", "500");     // a new section at the end
  EXPECT_EQ(p.text(),
            "; header comment\r\n"
            "[General]\r\n"
            "CurrentView=Lab\r\n"
            "Log=1\r\n"
            "\r\n"
            "; trailing comment of General\r\n"
            "[Access]\r\n"
            "All=10.0.0.1\r\n"
            "10.0.0.1Get=public\r\n"
            "[Timeouts]\r\n"
            "GetTimeout=500\r\n");

  Profile empty;
  empty.parse("[Empty]\r\n\r\n[Next]\r\n");
  empty.set("empty", "k", "v");
  EXPECT_EQ(empty.text(), "[Empty]\r\nk=v\r\n\r\n[Next]\r\n");

  Profile unterminated;
  unterminated.parse("[A]\r\nx=1");
  unterminated.set("A", "y", "2");
  EXPECT_EQ(unterminated.text(), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST(Profile, RemoveKeysAndSections) {
  Profile p;
  p.parse("[A]\na=1\nb=2\n[B]\nc=3\n; note\n[C]\nd=4\n");
  p.remove("a", "A");
  p.remove("A", "missing");
  p.remove("Missing", "a");
  p.removeSection("b");
  p.removeSection("missing");
  EXPECT_EQ(p.text(), "[A]\r\nb=2\r\n[C]\r\nd=4\r\n");
  EXPECT_FALSE(p.hasSection("B"));
  EXPECT_TRUE(p.hasSection("c"));
}

TEST(Profile, RefusesWritesThatWouldChangeTheStructure) {
  const struct {
    const char* label;
    std::string section, key, value;
  } refused[] = {
      {"line break in value", "S", "k", "a\r\nk2=injected"},
      {"LF in value", "S", "k", "a\nb"},
      {"line break in key", "S", "k\nx", "v"},
      {"line break in section", "S\n[T]", "k", "v"},
      {"bracket in section", "S]x", "k", "v"},
      {"equals in key", "S", "a=b", "v"},
      {"empty key", "S", "  ", "v"},
      {"key like a section", "S", "[T]", "v"},
      {"key like a comment", "S", ";k", "v"},
  };
  for (const auto& c : refused) {
    EXPECT_FALSE(Profile::canStore(c.section, c.key, c.value)) << c.label;
    Profile p;
    p.parse("[S]\r\nk=old\r\n");
    p.set(c.section, c.key, c.value);
    EXPECT_EQ(p.text(), "[S]\r\nk=old\r\n") << c.label;
  }
  EXPECT_TRUE(Profile::canStore("View:Lab", "Dev0", "a, \"b\" ; c = d"));
}

TEST(Profile, GetIntFollowsGetPrivateProfileInt) {
  Profile p;
  p.parse(
      "[N]\n"
      "plain=4201\nneg=-5\nplus=+7\nzero=0\nprefix=12abc\nhex=0x10\nspaced=  42  \n"
      "word=abc\nsign=-\nempty=\nbig=99999999999\nsmall=-99999999999\nmax=2147483647\nmin=-2147483648\n"
      "inner=1 2\n");
  const struct {
    const char* key;
    int expected;
  } table[] = {
      {"plain", 4201}, {"neg", -5},      {"plus", 7},          {"zero", 0},          {"prefix", 12},
      {"hex", 0},      {"spaced", 42},   {"word", -1},         {"sign", -1},         {"empty", -1},
      {"missing", -1}, {"big", INT_MAX}, {"small", INT_MIN},   {"max", INT_MAX},     {"min", INT_MIN},
      {"inner", 1},
  };
  for (const auto& row : table) EXPECT_EQ(p.getInt("n", row.key, -1), row.expected) << row.key;
  EXPECT_EQ(p.getInt("NoSection", "plain", 4201), 4201);
}

TEST(Profile, LoadAndSaveFiles) {
  TempDir dir;
  Profile p;
  p.parse("[stale]\r\n");
  ASSERT_TRUE(p.load(dir.file("missing.ini")));  // missing: empty, not an error
  EXPECT_TRUE(p.sections().empty());
  EXPECT_FALSE(p.load(dir.path()));  // a folder is not a profile

  // LF files from elsewhere are written back with CR LF; the file keeps its mode.
  std::string file = dir.file("backup.cfg");
  writeFile(file, "[A]\nx=1\n");
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(p.load(file));
  p.set("A", "y", "2");
  ASSERT_TRUE(p.save(file));
  EXPECT_EQ(readFile(file), "[A]\r\nx=1\r\ny=2\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  EXPECT_FALSE(p.save(dir.file("no/such/folder/x.ini")));
}

TEST(Profile, FailedSaveLeavesTheOldFile) {
  TempDir dir;
  std::string file = dir.file("settings.ini");
  writeFile(file, kWindowsFile);
  Profile big;
  big.set("Big", "data", std::string(200000, 'x'));

  // A child process whose file size limit is too small for the new text: the write fails midway.
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(big.save(file) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "save reported success";
  EXPECT_EQ(readFile(file), kWindowsFile);

  std::vector<std::string> left;
  if (DIR* d = ::opendir(dir.path().c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") left.push_back(n);
    }
    ::closedir(d);
  }
  EXPECT_EQ(left, Lines{"settings.ini"});  // the temporary file is gone too
}
