// The settings store on disk: where it lives, who may read it, damaged files, concurrent writers.
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "test_registry_tempdir.h"

using platform::Registry;
using trellan_test::readFile;
using trellan_test::TempDir;
using trellan_test::writeFile;

namespace {

std::vector<std::string> listDir(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    ::closedir(d);
  }
  return names;
}

mode_t modeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

}  // namespace

TEST(RegistryFile, PrivateFileInPrivateNewFolders) {
  TempDir dir;
  std::string file = dir.file("config/Quorvel/Trellan.reg");
  Registry reg(file);
  EXPECT_TRUE(listDir(dir.path()).empty());  // opening alone creates nothing
  ASSERT_TRUE(reg.setString("Access\\IP", "<Default>Get", "public"));
  EXPECT_EQ(modeOf(file), 0600u);
  EXPECT_EQ(modeOf(dir.file("config")), 0700u);
  EXPECT_EQ(modeOf(dir.file("config/Quorvel")), 0700u);

  // A file someone widened is private again after the next write.
  ::chmod(file.c_str(), 0644);
  ASSERT_TRUE(reg.setString("Access\\IP", "<Default>Set", "private"));
  EXPECT_EQ(modeOf(file), 0600u);
  // Only the file and its lock file remain: no temporary files.
  auto names = listDir(dir.file("config/Quorvel"));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Trellan.reg", "Trellan.reg.lock"}));
}

TEST(RegistryFile, DefaultPathFollowsTheEnvironment) {
  {
    ScopedEnv reg("TRELLAN_REGISTRY", "/somewhere/test.reg");
    EXPECT_EQ(Registry::defaultPath(), "/somewhere/test.reg");
  }
  ScopedEnv reg("TRELLAN_REGISTRY", nullptr);
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/config");
    EXPECT_EQ(Registry::defaultPath(), "/xdg/config/Quorvel/Trellan.reg");
  }
  ScopedEnv home("HOME", "/home/someone");
  for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/dir"}) {
    ScopedEnv x("XDG_CONFIG_HOME", xdg);
    EXPECT_EQ(Registry::defaultPath(), "/home/someone/.config/Quorvel/Trellan.reg") << (xdg ? xdg : "(unset)");
  }
}

TEST(RegistryFile, TrellanRegistryNamesTheFileUsed) {
  TempDir dir;
  std::string file = dir.file("from-env.reg");
  ScopedEnv env("TRELLAN_REGISTRY", file.c_str());
  Registry reg;
  EXPECT_EQ(reg.filePath(), file);
  ASSERT_TRUE(reg.setDword("General", "RunIndex", 1));
  EXPECT_NE(readFile(file).find("\"RunIndex\"=dword:00000001"), std::string::npos);
}

TEST(RegistryFile, CorruptFileIsMovedAsideReportedAndStartsEmpty) {
  TempDir dir;
  std::string file = dir.file("Trellan.reg");
  const std::string damaged =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\General]\n"
      "\"RunIndex\"=dword:00000003\n"
      "\"Location\"=\"C:\\\\Trel\n";  // cut off mid-string
  writeFile(file, damaged);

  std::vector<std::string> errors;
  Registry reg(file, [&](const std::string& m) { errors.push_back(m); });
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(file), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find("line 5"), std::string::npos) << errors[0];
  EXPECT_EQ(errors[0].find('\n'), std::string::npos);
  EXPECT_EQ(reg.getDword("General", "RunIndex"), std::nullopt);
  EXPECT_EQ(reg.getDword("General", "RunIndex", 0u), 0u);  // defaults apply

  std::string aside;
  for (const auto& n : listDir(dir.path())) {
    if (n.rfind("Trellan.reg.corrupt-", 0) == 0) aside = n;
  }
  ASSERT_EQ(aside.size(), std::string("Trellan.reg.corrupt-YYYYMMDD-HHMMSS").size()) << aside;
  EXPECT_NE(errors[0].find(aside), std::string::npos);
  EXPECT_EQ(readFile(dir.file(aside)), damaged);  // kept byte for byte
  EXPECT_FALSE(std::ifstream(file).good());

  ASSERT_TRUE(reg.setDword("General", "RunIndex", 1));
  EXPECT_EQ(Registry(file).getDword("General", "RunIndex"), 1u);
  EXPECT_EQ(readFile(dir.file(aside)), damaged);
}

// A reader (trellanctl settings) says the file is corrupt and leaves it where it is.
TEST(RegistryFile, ReadOnlyStoreLeavesACorruptFileAndRefusesWrites) {
  TempDir dir;
  const std::string file = dir.file("Trellan.reg");
  const std::string damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\n";
  writeFile(file, damaged);

  std::vector<std::string> errors;
  Registry reg(file, [&](const std::string& m) { errors.push_back(m); }, Registry::Access::ReadOnly);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("is corrupt"), std::string::npos) << errors[0];
  EXPECT_EQ(reg.getDword("General", "RunIndex"), std::nullopt);
  EXPECT_FALSE(reg.setDword("General", "RunIndex", 1));
  EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"Trellan.reg"});
  EXPECT_EQ(readFile(file), damaged);
}

TEST(RegistryFile, FileDamagedBetweenWritesIsNotOverwrittenSilently) {
  TempDir dir;
  std::string file = dir.file("Trellan.reg");
  std::vector<std::string> errors;
  Registry reg(file, [&](const std::string& m) { errors.push_back(m); });
  ASSERT_TRUE(reg.setDword("General", "A", 1));
  writeFile(file, "not a registry file\n");
  ASSERT_TRUE(reg.setDword("General", "B", 2));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("line 1"), std::string::npos) << errors[0];
  Registry again(file);
  EXPECT_EQ(again.getDword("General", "A"), std::nullopt);
  EXPECT_EQ(again.getDword("General", "B"), 2u);
  int asideCount = 0;
  for (const auto& n : listDir(dir.path())) {
    if (n.rfind("Trellan.reg.corrupt-", 0) == 0) {
      ++asideCount;
      EXPECT_EQ(readFile(dir.file(n)), "not a registry file\n");
    }
  }
  EXPECT_EQ(asideCount, 1);

  // Damaged twice within one second: the second copy gets its own name.
  writeFile(file, "damaged again\n");
  ASSERT_TRUE(reg.setDword("General", "C", 3));
  asideCount = 0;
  for (const auto& n : listDir(dir.path())) asideCount += n.rfind("Trellan.reg.corrupt-", 0) == 0;
  EXPECT_EQ(asideCount, 2);
}

TEST(RegistryFile, UnreadableOrUnwritableFileFailsLoudly) {
  TempDir dir;
  // The settings path is a folder: it cannot be read, and must not be replaced.
  std::string folder = dir.file("Trellan.reg");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  std::vector<std::string> errors;
  Registry reg(folder, [&](const std::string& m) { errors.push_back(m); });
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_FALSE(reg.setDword("General", "A", 1));
  EXPECT_EQ(errors.size(), 2u);
  struct stat st {};
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));

  // The folder for the file cannot be created (a file is in the way).
  writeFile(dir.file("blocker"), "x");
  errors.clear();
  Registry blocked(dir.file("blocker/Trellan.reg"), [&](const std::string& m) { errors.push_back(m); });
  EXPECT_FALSE(blocked.setDword("General", "A", 1));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("blocker"), std::string::npos) << errors[0];
  EXPECT_EQ(blocked.getDword("General", "A"), std::nullopt);  // memory matches the file
}

TEST(RegistryFile, UnchangedStoreIsNotRewritten) {
  TempDir dir;
  std::string file = dir.file("Trellan.reg");
  Registry reg(file);
  ASSERT_TRUE(reg.setDword("General", "A", 1));
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  EXPECT_TRUE(reg.deleteValue("General", "Missing"));
  EXPECT_TRUE(reg.deleteTree("Missing"));
  EXPECT_TRUE(reg.setDword("General", "A", 1));
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);  // a rewrite would have renamed a new file in
}

TEST(RegistryFile, TwoObjectsDoNotUndoEachOther) {
  TempDir dir;
  std::string file = dir.file("Trellan.reg");
  Registry a(file);
  Registry b(file);
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(a.setDword("A", "v" + std::to_string(i), i));
    ASSERT_TRUE(b.setDword("B", "v" + std::to_string(i), i));
  }
  ASSERT_TRUE(a.deleteValue("B", "v0"));  // `a` never read B's values before this write
  Registry check(file);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(check.getDword("A", "v" + std::to_string(i)), static_cast<std::uint32_t>(i));
    EXPECT_EQ(check.getDword("B", "v" + std::to_string(i)), i == 0 ? std::nullopt : std::optional<std::uint32_t>(i));
  }
  // Each write refreshes the writer's copy; reload() refreshes a reader's.
  EXPECT_EQ(a.getDword("B", "v19"), 19u);
  EXPECT_EQ(b.getDword("B", "v0"), 0u);
  b.reload();
  EXPECT_EQ(b.getDword("B", "v0"), std::nullopt);
}

TEST(RegistryFile, TwoProcessesWritingAtOnceBothSurvive) {
  TempDir dir;
  std::string file = dir.file("Trellan.reg");
  constexpr int kWrites = 40;
  std::vector<pid_t> children;
  for (const char* who : {"first", "second"}) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      {
        Registry reg(file);
        for (int i = 0; i < kWrites; ++i) failures += !reg.setDword(who, "v" + std::to_string(i), i);
        failures += !reg.transaction([&](Registry& tx) {
          return tx.setString("Shared", who, who);
        });
      }
      ::_exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Registry check(file);
  for (const char* who : {"first", "second"}) {
    for (int i = 0; i < kWrites; ++i) {
      EXPECT_EQ(check.getDword(who, "v" + std::to_string(i)), static_cast<std::uint32_t>(i)) << who << " " << i;
    }
    EXPECT_EQ(check.getString("Shared", who), who);
  }
}
