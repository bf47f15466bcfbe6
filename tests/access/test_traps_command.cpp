// trellanctl traps against traps sent on loopback: a v1 trap whose translation would exceed 32
// bindings is not printed, and the command says on stderr that it was dropped and why.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "snmp/codec.h"
#include "test_mib_group_sim.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
  std::ifstream in(p);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint16_t freeUdpPort() {
  const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  std::uint16_t port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(s);
  return port;
}

// A v1 trap of n bindings (sysContact.0 = NULL each).
std::vector<smiBYTE> v1Trap(smiUINT32 n) {
  const smiUINT32 ids[] = {1, 3, 6, 1, 2, 1, 1, 4, 0};
  const smiOID name{9, const_cast<smiUINT32*>(ids)};
  smiVALUE value{};
  value.syntax = SNMP_SYNTAX_NULL;
  std::vector<snmp::codec::BindingRef> refs(n, snmp::codec::BindingRef{&name, &value});
  const smiUINT32 enterpriseIds[] = {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
  const smiOID enterprise{10, const_cast<smiUINT32*>(enterpriseIds)};
  smiBYTE agent[4] = {127, 0, 0, 1};
  const smiOCTETS agentAddress{4, agent};
  snmp::codec::EncodeInput in;
  in.pduType = SNMP_PDU_V1TRAP;
  in.community = reinterpret_cast<const smiBYTE*>("public");
  in.communityLength = 6;
  in.bindings = refs.data();
  in.count = n;
  in.enterprise = &enterprise;
  in.agentAddress = &agentAddress;
  in.genericTrap = 6;
  in.specificTrap = 4;
  smiBYTE work[snmp::codec::kMaxMessage];
  const smiBYTE* start = nullptr;
  std::size_t length = 0;
  EXPECT_EQ(snmp::codec::encodeInto(in, work, sizeof work, &start, &length), 0u);
  return std::vector<smiBYTE>(start, start + length);
}

TEST(TrapsCommand, ATrapThatCannotBeTranslatedIsReportedAsDropped) {
  const std::string ctl = (fs::path(simproc::simBinary()).parent_path() / "trellanctl").string();
  ASSERT_TRUE(fs::exists(ctl)) << "trellanctl is not built: " << ctl;
  const fs::path dir = simproc::scratchDir();
  const fs::path out = dir / "out.txt", err = dir / "err.txt";
  const std::uint16_t port = freeUdpPort();
  ASSERT_NE(port, 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(o, 1);
    ::dup2(e, 2);
    ::setenv("TRELLAN_TRAP_PORT", std::to_string(port).c_str(), 1);
    ::execl(ctl.c_str(), "trellanctl", "traps", "--count", "1", "--seconds", "20", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  for (int i = 0; i < 1000 && readFile(err).find("listening") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_NE(readFile(err).find("listening"), std::string::npos) << readFile(err);

  const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  for (smiUINT32 n : {30u, 1u}) {
    const std::vector<smiBYTE> trap = v1Trap(n);
    ::sendto(s, trap.data(), trap.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ::close(s);

  int status = -1;
  for (int i = 0; i < 2000 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (::waitpid(pid, &status, WNOHANG) == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    ADD_FAILURE() << "trellanctl traps did not end";
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::string printed = readFile(out), said = readFile(err);
  EXPECT_NE(said.find("a trap was dropped: it could not be translated"), std::string::npos) << said;
  EXPECT_NE(printed.find("trap from 127.0.0.1 type 0xA7"), std::string::npos) << printed;
  EXPECT_EQ(printed.find("trap from", printed.find("trap from") + 1), std::string::npos)
      << "only the one-binding trap is printed: " << printed;
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
