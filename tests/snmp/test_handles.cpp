// The handle table: capacity, kind checks, owners, and what closing a session frees.
#include <gtest/gtest.h>

#include <functional>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/process.h"
#include "test_engine_fixture.h"

namespace {

const smiOCTETS kPublic{6, reinterpret_cast<smiLPBYTE>(const_cast<char*>("public"))};

TEST_F(EngineTest, SixtyFourthObjectFailsWithAllocError) {
  // The session holds one slot; 62 more objects fill the table.
  for (int i = 0; i < 62; ++i) ASSERT_NE(SnmpStrToContext(session, &kPublic), 0u) << i;
  EXPECT_EQ(liveHandles(), 63u);
  EXPECT_EQ(SnmpCreateVbl(session, nullptr, nullptr), 0u);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_ALLOC_ERROR);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_ALLOC_ERROR);
  EXPECT_EQ(SnmpOpen(nullptr, 1), 0u);
  // One freed slot is usable again.
  ASSERT_EQ(SnmpFreeContext(40), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpCreateVbl(session, nullptr, nullptr), 40u);
}

TEST_F(EngineTest, HandleOfWrongKindPostsTheSpecificCode) {
  const HSNMP_CONTEXT context = SnmpStrToContext(session, &kPublic);
  const HSNMP_VBL vbl = SnmpCreateVbl(session, nullptr, nullptr);
  const HSNMP_PDU pdu = SnmpCreatePdu(session, SNMP_PDU_GET, 0, 0, 0, vbl);
  const HSNMP_ENTITY entity = SnmpStrToEntity(session, "127.0.0.1");
  ASSERT_TRUE(context && vbl && pdu && entity);
  char text[64];
  smiOCTETS octets{};
  struct Case {
    const char* name;
    std::function<SNMPAPI_STATUS()> call;
    smiUINT32 code;
  };
  const Case cases[] = {
      {"FreeVbl of a PDU", [&] { return SnmpFreeVbl(pdu); }, SNMPAPI_VBL_INVALID},
      {"FreePdu of a list", [&] { return SnmpFreePdu(vbl); }, SNMPAPI_PDU_INVALID},
      {"FreeContext of an entity", [&] { return SnmpFreeContext(entity); }, SNMPAPI_CONTEXT_INVALID},
      {"FreeEntity of a context", [&] { return SnmpFreeEntity(context); }, SNMPAPI_ENTITY_INVALID},
      {"Close of a context", [&] { return SnmpClose(context); }, SNMPAPI_SESSION_INVALID},
      {"CreateVbl on a PDU", [&] { return SnmpCreateVbl(pdu, nullptr, nullptr); }, SNMPAPI_SESSION_INVALID},
      {"CountVbl of a context", [&] { return SnmpCountVbl(context); }, SNMPAPI_VBL_INVALID},
      {"GetPduData of an entity", [&] { return SnmpGetPduData(entity, nullptr, nullptr, nullptr, nullptr, nullptr); },
       SNMPAPI_PDU_INVALID},
      {"EntityToStr of a PDU", [&] { return SnmpEntityToStr(pdu, sizeof text, text); }, SNMPAPI_ENTITY_INVALID},
      {"ContextToStr of a list", [&] { return SnmpContextToStr(vbl, &octets); }, SNMPAPI_CONTEXT_INVALID},
      {"DuplicateVbl of a PDU", [&] { return SnmpDuplicateVbl(session, pdu); }, SNMPAPI_VBL_INVALID},
      {"slot 0", [&] { return SnmpFreeVbl(0); }, SNMPAPI_VBL_INVALID},
      {"slot 64", [&] { return SnmpFreeVbl(64); }, SNMPAPI_VBL_INVALID},
      {"free slot", [&] { return SnmpFreePdu(60); }, SNMPAPI_PDU_INVALID},
  };
  for (const Case& c : cases) {
    SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1);
    EXPECT_EQ(c.call(), 0u) << c.name;
    EXPECT_EQ(SnmpGetLastError(0), c.code) << c.name;
  }
  // The objects survived every refused call; only the low 16 bits of a handle count.
  EXPECT_EQ(liveHandles(), 5u);
  EXPECT_EQ(SnmpFreeVbl(vbl | 0x10000u), SNMPAPI_SUCCESS);
}

TEST_F(EngineTest, SessionErrorsReachTheSessionToo) {
  const HSNMP_SESSION other = SnmpOpen(nullptr, 7);
  ASSERT_NE(other, 0u);
  EXPECT_EQ(SnmpGetLastError(other), SNMPAPI_SUCCESS);
  const smiOCTETS empty{0, nullptr};
  EXPECT_EQ(SnmpStrToContext(other, &empty), 0u);
  EXPECT_EQ(SnmpGetLastError(other), SNMPAPI_CONTEXT_INVALID);
  EXPECT_EQ(SnmpGetLastError(session), SNMPAPI_SUCCESS);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_CONTEXT_INVALID);
  EXPECT_EQ(SnmpGetLastError(63), 0u) << "invalid session";
}

TEST_F(EngineTest, CloseFreesEverythingTheSessionOwns) {
  const HSNMP_SESSION other = SnmpOpen(nullptr, 7);
  const TestOid name{1, 3, 6, 1, 2, 1, 1, 5, 0};
  const smiVALUE text = octetsValue("printer");
  for (HSNMP_SESSION s : {session, other}) {
    ASSERT_NE(SnmpStrToContext(s, &kPublic), 0u);
    ASSERT_NE(SnmpStrToEntity(s, "COM1"), 0u);
    const HSNMP_VBL vbl = SnmpCreateVbl(s, name.get(), &text);
    ASSERT_NE(vbl, 0u);
    ASSERT_NE(SnmpCreatePdu(s, SNMP_PDU_SET, 0, 0, 0, vbl), 0u);
  }
  ASSERT_EQ(liveHandles(), 10u);
  EXPECT_EQ(SnmpClose(session), SNMPAPI_SUCCESS);
  EXPECT_EQ(liveHandles(), 5u);
  EXPECT_EQ(SnmpClose(session), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_SESSION_INVALID);
  EXPECT_EQ(SnmpClose(other), SNMPAPI_SUCCESS);
  EXPECT_EQ(liveHandles(), 0u);
}

// A child that starts the engine, opens a session, reports its handle and waits to be released.
struct Child {
  pid_t pid = -1;
  int reportFd = -1;
  int releaseFd = -1;
  smiUINT32 handle = 0;
};

Child startChild() {
  int report[2], release[2];
  Child c;
  if (::pipe(report) != 0 || ::pipe(release) != 0) return c;
  c.pid = ::fork();
  if (c.pid == 0) {
    ::alarm(20);
    ::close(report[0]);
    ::close(release[1]);
    smiUINT32 h = 0;
    if (SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr)) h = SnmpOpen(nullptr, 1);
    (void)!::write(report[1], &h, sizeof h);
    char byte;
    (void)!::read(release[0], &byte, 1);
    ::_exit(0);
  }
  ::close(report[1]);
  ::close(release[0]);
  c.reportFd = report[0];
  c.releaseFd = release[1];
  pollfd p{c.reportFd, POLLIN, 0};
  if (::poll(&p, 1, 5000) == 1 && ::read(c.reportFd, &c.handle, sizeof c.handle) != sizeof c.handle) c.handle = 0;
  return c;
}

void endChild(Child& c) {
  if (c.pid <= 0) return;
  ::close(c.releaseFd);
  ::close(c.reportFd);
  ::waitpid(c.pid, nullptr, 0);
  c.pid = -1;
}

TEST(HandleOwners, AnotherProcessHandleIsInvalidAndADeadOwnersSlotIsReused) {
  SnmpCleanup();
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  Child child = startChild();
  ASSERT_GT(child.pid, 0);
  ASSERT_EQ(child.handle, 1u) << "the child's session takes the first slot";

  // While the child runs, its slot is neither ours to use nor free.
  EXPECT_EQ(SnmpClose(child.handle), SNMPAPI_FAILURE);
  EXPECT_EQ(SnmpGetLastError(0), SNMPAPI_SESSION_INVALID);
  const HSNMP_SESSION mine = SnmpOpen(nullptr, 1);
  EXPECT_EQ(mine, 2u);

  endChild(child);
  // The dead owner's slot is taken again.
  EXPECT_EQ(SnmpOpen(nullptr, 1), 1u);
  EXPECT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
}

TEST(HandleOwners, CleanupEmptiesTheSlotsOfDeadProcesses) {
  SnmpCleanup();
  ASSERT_EQ(SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr), SNMPAPI_SUCCESS);
  Child child = startChild();
  ASSERT_EQ(child.handle, 1u);
  endChild(child);
  EXPECT_NE(snmp::handles::slotAt(1).owner.load(), 0u);
  EXPECT_EQ(SnmpCleanup(), SNMPAPI_SUCCESS);
  EXPECT_EQ(snmp::handles::slotAt(1).owner.load(), 0u);
}

}  // namespace

// The process id is kept rather than asked per lookup: a forked child must still see its own.
TEST(HandleOwners, ForkedChildKnowsItsOwnProcessId) {
  const platform::ProcessId parent = platform::currentProcessId();
  ASSERT_EQ(parent, static_cast<platform::ProcessId>(::getpid()));
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::alarm(10);
    const char same = platform::currentProcessId() == static_cast<platform::ProcessId>(::getpid()) ? 1 : 0;
    (void)!::write(pipeFds[1], &same, 1);
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  char same = 0;
  pollfd p{pipeFds[0], POLLIN, 0};
  const bool answered = ::poll(&p, 1, 5000) == 1 && ::read(pipeFds[0], &same, 1) == 1;
  ::close(pipeFds[0]);
  ::waitpid(pid, nullptr, 0);
  ASSERT_TRUE(answered) << "the child did not report";
  EXPECT_EQ(same, 1) << "the child saw its parent's id";
  EXPECT_EQ(platform::currentProcessId(), parent);
}
