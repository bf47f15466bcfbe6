#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/report_error.h"
#include "platform/report_error_log.h"
#include "platform/string_table.h"
#include "scratch_dir.h"

namespace {

using platform::formatError;

TEST(StringTable, KnownAndUnknownIds) {
  EXPECT_STREQ(platform::loadString(5005), "Error sending the discovery request.");
  EXPECT_STREQ(platform::loadString(5022), "This verison of WinSNMP is not supported.");
  EXPECT_STREQ(platform::loadString(6120), "version %d.%d %s (Build %d)");
  EXPECT_STREQ(platform::loadString(6171), "No");
  EXPECT_EQ(platform::loadString(0), nullptr);
  EXPECT_EQ(platform::loadString(5001), nullptr);
  EXPECT_EQ(platform::loadString(0xFFFFFFFF), nullptr);
}

TEST(ReportError, FormatTable) {
  struct Case {
    std::uint32_t code1;
    int class1;
    std::uint32_t code2;
    int class2;
    const char* text;
    const char* title;
  };
  const Case cases[] = {
      {5005, 1, 0, 0, "Error sending the discovery request. (IP5005)", "Trellan"},
      {10061, 3, 5013, 1, "Winsock Error. Cannot create a socket. (WS10061,IP5013)", "Windows Sockets Error"},
      {5006, 1, 10091, 3, "Winsock cannot be initialized. Winsock Error. (IP5006,WS10091)", "Trellan"},
      {5021, 4, 0, 0, "SNMP Error. (SN5021)", "SNMP Error"},
      // class 1 without a text: the program name
      {5001, 1, 0, 0, "Trellan (IP5001)", "Trellan"},
      // texts of other classes are used when the code has one, else the class's fallback
      {5018, 2, 0, 0, "Cannot communicate with the server. (VW5018)", "Customize View Error"},
      {77, 2, 0, 0, "View Error (VW77)", "Customize View Error"},
      {0x8806, 5, 0, 0, "NetWare Error. (NW34822)", "NetWare Error"},
      {3, 6, 0, 0, "Serial Port Error. (CM3)", "Serial Port Error"},
      {5, 7, 0, 0, "Windows Error. (WIN5)", "Windows Error"},
      {5, 8, 0, 0, "Windows Error. (VNS5)", "VINES Error"},
      // an unknown class: "Error", no tag
      {5005, 9, 0, 0, "Error ()", "Error"},
      {5005, 0, 10061, 3, "Error Winsock Error. (,WS10061)", "Error"},
      // codes are unsigned 32-bit and never cut short
      {static_cast<std::uint32_t>(-606), 4, 0, 0, "SNMP Error. (SN4294966690)", "SNMP Error"},
      {static_cast<std::uint32_t>(-1), 7, 0, 0, "Windows Error. (WIN4294967295)", "Windows Error"},
  };
  for (const auto& c : cases) {
    const auto m = formatError(c.code1, c.class1, c.code2, c.class2);
    EXPECT_EQ(m.text, c.text) << c.code1 << "/" << c.class1 << " " << c.code2 << "/" << c.class2;
    EXPECT_EQ(m.title, c.title) << c.code1 << "/" << c.class1;
  }
}

class ReportErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setErrorPresenter([this](const platform::ErrorMessage& m) {
      shown.push_back(m);
      return 7;
    });
    platform::setErrorLogDirectory(dir.path().string());
    platform::setErrorLogFlagSource([this] {
      ++flagReads;
      return logOn;
    });
  }
  void TearDown() override {
    platform::setErrorPresenter(nullptr);
    platform::setErrorLogFlagSource(nullptr);
    platform::setErrorLogDirectory({});
  }
  std::string logText() {
    std::ifstream in(dir.path() / "TRELLAN.TXT", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  ScratchDir dir;
  std::vector<platform::ErrorMessage> shown;
  bool logOn = false;
  int flagReads = 0;
};

TEST_F(ReportErrorTest, ShowsThroughThePresenterAndReturnsItsResult) {
  EXPECT_EQ(platform::ReportError(5005, 1), 7);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Error sending the discovery request. (IP5005)");
  EXPECT_EQ(shown[0].title, "Trellan");
  EXPECT_EQ(platform::ReportError(5005, 1, 0, 0, false), 0);
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(ReportErrorTest, StoppedByTheUserIsNotShown) {
  struct Case {
    std::uint32_t code2;
    int class2;
    bool suppressed;
  };
  const Case cases[] = {
      {3161, 4, true},   // the SNMP layer's "stopped by the user"
      {2, 1, true},      // stopped
      {2, 4, true},
      {3161, 1, false},  // 3161 only means "stopped" for SNMP
      {3160, 4, false},
  };
  for (const auto& c : cases) {
    shown.clear();
    const int r = platform::ReportError(5018, 1, c.code2, c.class2);
    EXPECT_EQ(r == 0, c.suppressed) << c.code2 << "/" << c.class2;
    EXPECT_EQ(shown.empty(), c.suppressed) << c.code2 << "/" << c.class2;
  }
}

TEST_F(ReportErrorTest, LogIsAppendedWhenOnAndTheFlagIsReadOnce) {
  logOn = true;
  platform::resetErrorLog();
  platform::ReportError(5005, 1);
  platform::ReportError(10061, 3, 5013, 1, false);  // logged even when not shown
  platform::ReportError(5005, 1, 3161, 4);          // suppressed: not logged either
  logOn = false;                                    // read at the first message and kept
  platform::ReportError(5021, 4);
  EXPECT_EQ(flagReads, 1);
  EXPECT_EQ(logText(),
            "Error sending the discovery request. (IP5005)\r\n"
            "Winsock Error. Cannot create a socket. (WS10061,IP5013)\r\n"
            "SNMP Error. (SN5021)\r\n");
  EXPECT_EQ(platform::errorLogPath(), (dir.path() / "TRELLAN.TXT").string());
}

TEST_F(ReportErrorTest, NoLogWhenOff) {
  platform::resetErrorLog();
  platform::ReportError(5005, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "TRELLAN.TXT"));
}

TEST_F(ReportErrorTest, UnwritableLogIsSkipped) {
  logOn = true;
  platform::resetErrorLog();
  platform::setErrorLogDirectory((dir.path() / "file-not-dir" / "sub").string());
  std::ofstream(dir.path() / "file-not-dir") << "x";
  EXPECT_EQ(platform::ReportError(5005, 1), 7);
}

TEST(ReportErrorLog, DefaultDirectoryFollowsXdgStateHome) {
  const char* old = std::getenv("XDG_STATE_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_STATE_HOME", "/tmp/state-x", 1);
  EXPECT_EQ(platform::defaultErrorLogDirectory(), "/tmp/state-x/Quorvel");
  unsetenv("XDG_STATE_HOME");
  setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/home/u", 1);
  EXPECT_EQ(platform::defaultErrorLogDirectory(), std::string(std::getenv("HOME")) + "/.local/state/Quorvel");
  if (old) setenv("XDG_STATE_HOME", saved.c_str(), 1);
}

}  // namespace
