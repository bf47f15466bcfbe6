// Our codec against snmpsim, an agent built on pyasn1: its INTEGERs come with a redundant sign
// byte where a negative value fills four bytes (-2^31 as FF 80 00 00 00), and every binding of
// such a reply must still be read. snmpsimd runs on loopback with a data file of our own.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "snmp/codec.h"

namespace {

namespace fs = std::filesystem;

std::string findOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string all = path ? path : "/usr/bin:/bin";
  for (std::size_t start = 0; start <= all.size();) {
    const std::size_t end = std::min(all.find(':', start), all.size());
    const fs::path candidate = fs::path(all.substr(start, end - start)) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
    start = end + 1;
  }
  return {};
}

// A free UDP port on loopback (taken and released; the test runs in its own namespace in CI).
int freePort() {
  const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(s);
  return port;
}

class SnmpSim {
 public:
  SnmpSim(const std::string& binary, const std::string& records) {
    dir_ = fs::temp_directory_path() / ("snmpsim-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "data");
    fs::create_directories(dir_ / "cache");
    std::ofstream(dir_ / "data" / "interop.snmprec") << records;
    // snmpsimd drops to an unprivileged user when started as root; that user reads the data
    // and writes the cache.
    ::chmod(dir_.c_str(), 0755);
    ::chmod((dir_ / "data").c_str(), 0755);
    ::chmod((dir_ / "data" / "interop.snmprec").c_str(), 0644);
    ::chmod((dir_ / "cache").c_str(), 0777);
    port_ = freePort();
    const std::string data = "--data-dir=" + (dir_ / "data").string();
    const std::string cache = "--cache-dir=" + (dir_ / "cache").string();
    const std::string endpoint = "--agent-udpv4-endpoint=127.0.0.1:" + std::to_string(port_);
    const std::string log = (dir_ / "log.txt").string();
    pid_ = ::fork();
    if (pid_ == 0) {
      std::FILE* out = std::freopen(log.c_str(), "w", stdout);
      std::FILE* err = std::freopen(log.c_str(), "a", stderr);
      (void)out;
      (void)err;
      if (::geteuid() == 0)
        ::execl(binary.c_str(), "snmpsimd", data.c_str(), cache.c_str(), endpoint.c_str(), "--logging-method=stderr",
                "--process-user=nobody", "--process-group=nogroup", static_cast<char*>(nullptr));
      else
        ::execl(binary.c_str(), "snmpsimd", data.c_str(), cache.c_str(), endpoint.c_str(), "--logging-method=stderr",
                static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  ~SnmpSim() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      for (int i = 0; i < 200 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (::waitpid(pid_, &status, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
      }
    }
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  int port() const { return port_; }
  std::string log() const {
    std::ifstream in(dir_ / "log.txt");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  fs::path dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};

std::vector<smiBYTE> getRequest(const std::vector<std::vector<smiUINT32>>& names) {
  std::vector<smiOID> oids;
  std::vector<smiVALUE> values(names.size());
  for (const auto& n : names) oids.push_back({static_cast<smiUINT32>(n.size()), const_cast<smiUINT32*>(n.data())});
  std::vector<snmp::codec::BindingRef> refs;
  for (std::size_t i = 0; i < names.size(); ++i) {
    values[i].syntax = SNMP_SYNTAX_NULL;
    refs.push_back({&oids[i], &values[i]});
  }
  static const char kCommunity[] = "interop";
  snmp::codec::EncodeInput in;
  in.pduType = SNMP_PDU_GET;
  in.requestId = 4711;
  in.community = reinterpret_cast<const smiBYTE*>(kCommunity);
  in.communityLength = sizeof kCommunity - 1;
  in.bindings = refs.data();
  in.count = static_cast<smiUINT32>(refs.size());
  smiBYTE work[snmp::codec::kMaxMessage];
  const smiBYTE* start = nullptr;
  std::size_t length = 0;
  if (snmp::codec::encodeInto(in, work, sizeof work, &start, &length) != 0) return {};
  return std::vector<smiBYTE>(start, start + length);
}

// Sends the request every 250 ms until a datagram comes back or 30 s have passed (snmpsimd
// indexes its data before it answers).
std::vector<smiBYTE> exchange(int port, const std::vector<smiBYTE>& request) {
  const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::vector<smiBYTE> reply;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (reply.empty() && std::chrono::steady_clock::now() < deadline) {
    ::sendto(s, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    pollfd p{s, POLLIN, 0};
    if (::poll(&p, 1, 250) == 1) {
      smiBYTE buffer[4096];
      const ssize_t n = ::recv(s, buffer, sizeof buffer, 0);
      if (n > 0) reply.assign(buffer, buffer + n);
    }
  }
  ::close(s);
  return reply;
}

TEST(Snmpsim, IntegersWithARedundantSignByteAreRead) {
  const std::string binary = findOnPath("snmpsimd");
  ASSERT_FALSE(binary.empty()) << "snmpsimd is not installed (Debian package snmpsim)";
  const std::vector<smiUINT32> base{1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
  struct Case {
    const char* name;
    smiUINT32 arc;
    const char* record;  // type|value in snmprec form
    smiUINT32 syntax;
    smiINT32 number;
  } cases[] = {
      {"-2^31 (five bytes, FF 80 00 00 00)", 1, "2|-2147483648", SNMP_SYNTAX_INT, -2147483647 - 1},
      {"-8388609 (four bytes)", 2, "2|-8388609", SNMP_SYNTAX_INT, -8388609},
      {"-1", 3, "2|-1", SNMP_SYNTAX_INT, -1},
      {"2^31 - 1", 4, "2|2147483647", SNMP_SYNTAX_INT, 2147483647},
      {"a text after them", 5, "4|lab", SNMP_SYNTAX_OCTETS, 0},
  };
  std::string records;
  std::vector<std::vector<smiUINT32>> names;
  for (const Case& c : cases) {
    std::vector<smiUINT32> name = base;
    name.push_back(c.arc);
    name.push_back(0);
    std::string dotted;
    for (smiUINT32 id : name) dotted += (dotted.empty() ? "" : ".") + std::to_string(id);
    records += dotted + "|" + c.record + "\n";
    names.push_back(name);
  }
  SnmpSim sim(binary, records);
  ASSERT_GT(sim.port(), 0);
  const std::vector<smiBYTE> request = getRequest(names);
  ASSERT_FALSE(request.empty());
  const std::vector<smiBYTE> reply = exchange(sim.port(), request);
  ASSERT_FALSE(reply.empty()) << "snmpsimd did not answer: " << sim.log();

  // The reply really carries the five-byte form this test is about.
  const std::vector<smiBYTE> fiveBytes{0x02, 0x05, 0xFF, 0x80, 0x00, 0x00, 0x00};
  EXPECT_NE(std::search(reply.begin(), reply.end(), fiveBytes.begin(), fiveBytes.end()), reply.end());

  static snmp::codec::DecodeOutput out;
  ASSERT_EQ(snmp::codec::decodeMessage(reply.data(), reply.size(), out), 0u);
  EXPECT_EQ(out.pduType, SNMP_PDU_RESPONSE);
  EXPECT_EQ(out.errorStatus, 0);
  ASSERT_EQ(out.count, static_cast<smiUINT32>(std::size(cases)));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const smiVALUE& v = out.bindings[i].value;
    EXPECT_EQ(v.syntax, c.syntax) << c.name;
    if (c.syntax == SNMP_SYNTAX_INT) {
      EXPECT_EQ(v.value.sNumber, c.number) << c.name;
    } else {
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(v.value.string.ptr), v.value.string.len), "lab") << c.name;
    }
  }
  snmp::codec::freeDecoded(out);
}

}  // namespace
