// Start-up, clean-up, modes, last error and the task table across processes.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "snmp/task_table.h"
#include "test_engine_fixture.h"

namespace {

TEST(Startup, LastErrorBeforeStartupIsNotInitialized) {
  SnmpCleanup();
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_NOT_INITIALIZED);
  // Calls that need a task fail without posting anything.
  EXPECT_EQ(SnmpOpen(nullptr, 1), 0u);
  EXPECT_EQ(SnmpSetTranslateMode(1), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpCleanup(), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_NOT_INITIALIZED);
}

TEST(Startup, ReportsVersionLevelAndModes) {
  SnmpCleanup();
  smiUINT32 major = 9, minor = 9, level = 9, translate = 9, retransmit = 9;
  ASSERT_EQ(SnmpStartup(&major, &minor, &level, &translate, &retransmit), SNMPAPI_SUCCESS);
  EXPECT_EQ(major, 1u);
  EXPECT_EQ(minor, 1u);
  EXPECT_EQ(level, SNMPAPI_V1_SUPPORT);
  EXPECT_EQ(translate, SNMPAPI_UNTRANSLATED_V1);
  EXPECT_EQ(retransmit, SNMPAPI_OFF);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_NOT_INITIALIZED);
}

TEST_F(EngineTest, StartupTwiceKeepsTheEntryAndForgetsEveryHandle) {
  snmp::tasks::TaskEntry* before = snmp::tasks::current();
  ASSERT_NE(before, nullptr);
  const smiOCTETS community{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};
  const HSNMP_CONTEXT context = SnmpStrToContext(session, &community);
  ASSERT_NE(context, 0u);
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(snmp::tasks::current(), before);
  EXPECT_EQ(liveHandles(), 0u);
  EXPECT_EQ(SnmpFreeContext(context), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_CONTEXT_INVALID);
  // Slots are handed out from the first again.
  EXPECT_EQ(SnmpOpen(nullptr, 1), 1u);
}

TEST_F(EngineTest, ModesAcceptOnlyWhatTheEngineDoes) {
  struct Case {
    const char* name;
    SNMPAPI_STATUS (*set)(smiUINT32);
    smiUINT32 mode;
    SNMPAPI_STATUS result;
  };
  const Case cases[] = {
      {"translate untranslated-v1", SnmpSetTranslateMode, SNMPAPI_UNTRANSLATED_V1, SNMPAPI_SUCCESS},
      {"translate 0", SnmpSetTranslateMode, SNMPAPI_TRANSLATED, SNMPAPI_FAILURE},
      {"translate v2", SnmpSetTranslateMode, SNMPAPI_UNTRANSLATED_V2, SNMPAPI_FAILURE},
      {"retransmit off", SnmpSetRetransmitMode, SNMPAPI_OFF, SNMPAPI_SUCCESS},
      {"retransmit on", SnmpSetRetransmitMode, SNMPAPI_ON, SNMPAPI_FAILURE},
  };
  for (const Case& c : cases) {
    SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);  // last error back to success
    SnmpStrToOid("1.3", nullptr);                   // posts something other than 16
    EXPECT_EQ(c.set(c.mode), c.result) << c.name;
    if (c.result == SNMPAPI_FAILURE) {
      EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_MODE_INVALID) << c.name;
    }
  }
  smiUINT32 mode = 9;
  EXPECT_EQ(SnmpGetTranslateMode(&mode), SNMPAPI_SUCCESS);
  EXPECT_EQ(mode, SNMPAPI_UNTRANSLATED_V1);
  EXPECT_EQ(SnmpGetRetransmitMode(&mode), SNMPAPI_SUCCESS);
  EXPECT_EQ(mode, SNMPAPI_OFF);
}

TEST_F(EngineTest, RetryIsStoredAndTimeoutStaysZero) {
  const HSNMP_ENTITY entity = SnmpStrToEntity(session, "127.0.0.1");
  ASSERT_NE(entity, 0u);
  smiUINT32 policy = 9, actual = 9;
  EXPECT_EQ(SnmpSetRetry(entity, 3), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpGetRetry(0, &policy, &actual), SNMPAPI_SUCCESS);
  EXPECT_EQ(policy, 3u);
  EXPECT_EQ(actual, 3u);
  EXPECT_EQ(SnmpSetRetry(0, 4000000000u), SNMPAPI_SUCCESS);  // stored times 10000 without wrapping
  EXPECT_EQ(SnmpGetRetry(0, &policy, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(policy, 4000000000u);

  smiTIMETICKS timeout = 9, actualTimeout = 9;
  EXPECT_EQ(SnmpSetTimeout(entity, 500), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpGetTimeout(entity, &timeout, &actualTimeout), SNMPAPI_SUCCESS);
  EXPECT_EQ(timeout, 0u);
  EXPECT_EQ(actualTimeout, 0u);
  EXPECT_EQ(SnmpGetTimeout(session, &timeout, &actualTimeout), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_ENTITY_INVALID);
}

TEST(ErrorNames, EveryCodeHasItsWinSnmpName) {
  const struct {
    smiUINT32 code;
    const char* name;
  } cases[] = {
      {0, "SNMPAPI_FAILURE"},           {1, "SNMPAPI_SUCCESS"},           {2, "SNMPAPI_ALLOC_ERROR"},
      {11, "SNMPAPI_OUTPUT_TRUNCATED"}, {19, "SNMPAPI_MESSAGE_INVALID"},  {20, "SNMPAPI_HWND_INVALID"},
      {99, "SNMPAPI_OTHER_ERROR"},      {100, "SNMPAPI_TL_NOT_INITIALIZED"}, {104, "SNMPAPI_TL_UNDELIVERABLE"},
      {109, "SNMPAPI_TL_PDU_TOO_BIG"},  {199, "SNMPAPI_TL_OTHER"},        {21, "SNMPAPI_UNKNOWN_ERROR"},
      {150, "SNMPAPI_UNKNOWN_ERROR"},
  };
  for (const auto& c : cases) EXPECT_STREQ(SnmpErrorName(c.code), c.name) << c.code;
  for (smiUINT32 code = 0; code <= 20; ++code) EXPECT_STRNE(SnmpErrorName(code), "SNMPAPI_UNKNOWN_ERROR") << code;
  for (smiUINT32 code = 100; code <= 109; ++code) EXPECT_STRNE(SnmpErrorName(code), "SNMPAPI_UNKNOWN_ERROR") << code;
}

// A child process that starts the engine, reports whether it got an entry, and holds it until
// its release pipe closes. An alarm bounds its life should the test go wrong.
struct Holder {
  pid_t pid = -1;
  int reportFd = -1;
  int releaseFd = -1;
};

Holder startHolder() {
  int report[2], release[2];
  Holder h;
  if (::pipe(report) != 0) return h;
  if (::pipe(release) != 0) {
    ::close(report[0]);
    ::close(report[1]);
    return h;
  }
  h.pid = ::fork();
  if (h.pid == 0) {
    ::alarm(20);
    // Keep only our own pipe ends: an inherited release end would keep a sibling waiting.
    for (int fd = 3; fd < 1024; ++fd) {
      if (fd != report[1] && fd != release[0]) ::close(fd);
    }
    const char got = SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) ? 'y' : 'n';
    (void)!::write(report[1], &got, 1);
    char c;
    while (::read(release[0], &c, 1) < 0 && errno == EINTR) {
    }
    ::_exit(0);
  }
  ::close(report[1]);
  ::close(release[0]);
  h.reportFd = report[0];
  h.releaseFd = release[1];
  return h;
}

// What the holder reported: 'y', 'n', or '?' when nothing came within five seconds.
char readReport(const Holder& h) {
  pollfd p{h.reportFd, POLLIN, 0};
  char c = '?';
  if (::poll(&p, 1, 5000) == 1 && ::read(h.reportFd, &c, 1) != 1) c = '?';
  return c;
}

void endHolder(Holder& h) {
  if (h.pid <= 0) return;
  ::close(h.releaseFd);
  ::close(h.reportFd);
  int status = 0;
  ::waitpid(h.pid, &status, 0);  // reaped: a zombie would still count as running
  h.pid = -1;
}

TEST(TaskTable, SixthProcessFailsUntilOneOfFiveEnds) {
  SnmpCleanup();
  std::vector<Holder> holders;
  for (int i = 0; i < 5; ++i) {
    holders.push_back(startHolder());
    ASSERT_GT(holders.back().pid, 0);
    EXPECT_EQ(readReport(holders.back()), 'y') << "holder " << i;
  }
  EXPECT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_FAILURE) << "sixth process";
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_NOT_INITIALIZED);

  // A further child is refused as well.
  Holder extra = startHolder();
  EXPECT_EQ(readReport(extra), 'n');
  endHolder(extra);

  // The entry of an ended process is reused.
  const platform::ProcessId ended = static_cast<platform::ProcessId>(holders[2].pid);
  std::size_t endedIndex = snmp::tasks::kEntries;
  for (std::size_t i = 0; i < snmp::tasks::kEntries; ++i) {
    if (snmp::tasks::entryAt(i).pid.load() == ended) endedIndex = i;
  }
  ASSERT_LT(endedIndex, snmp::tasks::kEntries);
  endHolder(holders[2]);
  EXPECT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  EXPECT_EQ(snmp::tasks::current(), &snmp::tasks::entryAt(endedIndex));
  // Our start-up leaves the other processes' entries alone.
  for (const Holder& h : holders) {
    if (h.pid <= 0) continue;
    bool found = false;
    for (std::size_t i = 0; i < snmp::tasks::kEntries; ++i) {
      found = found || snmp::tasks::entryAt(i).pid.load() == static_cast<platform::ProcessId>(h.pid);
    }
    EXPECT_TRUE(found) << "holder " << h.pid << " lost its entry";
  }
  EXPECT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
  for (Holder& h : holders) endHolder(h);
}

}  // namespace
