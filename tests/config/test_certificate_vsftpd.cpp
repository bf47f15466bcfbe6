// The certificate upload against vsftpd, so that the FTP client is not tuned to our own receiver.
// The test starts vsftpd itself in the foreground on a loopback address and a free port, with a
// throwaway user (seen only inside a private mount namespace, where a copy of the account files
// holding it is bound over /etc/passwd and /etc/shadow) and a scratch folder, and stops it at the end.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "config/certificate_send.h"
#include "platform/ftp_upload.h"
#include "platform/net_config.h"
#include "wireless_fleet.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kVsftpd = "/usr/sbin/vsftpd";
constexpr const char* kAddress = "127.0.7.21";
constexpr const char* kUser = "trellanftp";
constexpr const char* kPassword = "ftp-pass-1";
// SHA-512 crypt of kPassword (salt "trellanftp").
constexpr const char* kPasswordHash =
    "$6$trellanftp$5mGgT1Jd/akGnsaXmSny9j7s1jU6PfAIVZu1jokJi/alp0LzkbQb8qvA2hPVXWgbBsDKx34uO714oA7DJgDC91";
constexpr int kUid = 4242;

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool accepting(const char* address, std::uint16_t port) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  ::inet_pton(AF_INET, address, &a.sin_addr);
  const bool ok = s >= 0 && ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  if (s >= 0) ::close(s);
  return ok;
}

class Vsftpd {
 public:
  Vsftpd() {
    dir_ = simproc::scratchDir();
    port_ = wirelesssim::freePort(SOCK_STREAM);
    home_ = dir_ / "home";
    fs::create_directories(home_);
    fs::create_directories(dir_ / "empty");
    ::chown(home_.c_str(), kUid, kUid);
    ::chmod(dir_.c_str(), 0755);
    std::ofstream(dir_ / "passwd") << readAll("/etc/passwd") << kUser << ":x:" << kUid << ":" << kUid << "::"
                                   << home_.string() << ":/bin/sh\n";
    std::ofstream(dir_ / "shadow") << readAll("/etc/shadow") << kUser << ":" << kPasswordHash << ":19000:0:99999:7:::\n";
    ::chmod((dir_ / "shadow").c_str(), 0600);
    std::ofstream(dir_ / "vsftpd.conf")
        << "listen=YES\nlisten_ipv6=NO\nbackground=NO\nlisten_address=" << kAddress << "\nlisten_port=" << port_
        << "\nanonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\nlocal_umask=022\nlocal_root="
        << home_.string() << "\npasv_enable=YES\nport_enable=NO\nconnect_from_port_20=NO\nchroot_local_user=NO\n"
        << "secure_chroot_dir=" << (dir_ / "empty").string()
        << "\npam_service_name=vsftpd\nseccomp_sandbox=NO\nisolate=NO\nisolate_network=NO\nxferlog_enable=NO\n"
        << "syslog_enable=NO\ndual_log_enable=NO\nvsftpd_log_file=" << (dir_ / "vsftpd.log").string()
        << "\nuserlist_enable=NO\ntcp_wrappers=NO\nssl_enable=NO\nutf8_filesystem=NO\n";
    ::chmod((dir_ / "vsftpd.conf").c_str(), 0600);
    if (::access(kVsftpd, X_OK) != 0) return;
    // The account files are replaced only in this process's own mount namespace, made private first so
    // nothing reaches the host. Inside a chroot "/" is no mount point and cannot be made private: there
    // the chroot's owner holds the mounts (as the fresh-machine check does, in a private namespace).
    const std::string script = "{ mount --make-rprivate / 2>/dev/null || ! mountpoint -q /; } && mount --bind '" +
                               (dir_ / "passwd").string() + "' /etc/passwd && mount --bind '" +
                               (dir_ / "shadow").string() + "' /etc/shadow && exec " + kVsftpd + " '" +
                               (dir_ / "vsftpd.conf").string() + "'";
    pid_ = ::fork();
    if (pid_ == 0) {
      std::FILE* err = std::freopen((dir_ / "stderr.txt").c_str(), "w", stderr);
      (void)err;
      ::execlp("unshare", "unshare", "-m", "--propagation", "unchanged", "sh", "-c", script.c_str(),
               static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (int i = 0; i < 200 && !running_; ++i) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      running_ = accepting(kAddress, port_);
      if (!running_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~Vsftpd() {
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
  bool running() const { return running_; }
  std::string errors() const { return readAll(dir_ / "stderr.txt") + readAll(dir_ / "vsftpd.log"); }
  std::uint16_t port() const { return port_; }
  const fs::path& dir() const { return dir_; }
  const fs::path& home() const { return home_; }

 private:
  fs::path dir_, home_;
  std::uint16_t port_ = 0;
  pid_t pid_ = -1;
  bool running_ = false;
};

platform::FtpUpload upload(const Vsftpd& server, std::string password, std::string file) {
  platform::FtpUpload u;
  u.address = kAddress;
  u.port = server.port();
  u.user = kUser;
  u.password = std::move(password);
  u.localFile = std::move(file);
  u.remoteName = "cert";
  u.timeoutSeconds = 10;
  return u;
}

struct Host : config::CertificateSendHost {
  std::optional<std::string> askPassword() override { return password; }
  void message(const std::string& text) override { messages.push_back(text); }
  std::optional<std::string> password;
  std::vector<std::string> messages;
};

TEST(CertificateVsftpd, UploadsAndFails) {
  ASSERT_EQ(::access(kVsftpd, X_OK), 0) << "vsftpd is needed for this test (Debian package vsftpd)";
  Vsftpd server;
  ASSERT_TRUE(server.running()) << server.errors();
  // Binary content: CR LF, NUL and high bytes must arrive as they are.
  std::string certificate = "-----BEGIN CERTIFICATE-----\r\nMIIB\r\n";
  for (int i = 0; i < 3000; ++i) certificate.push_back(static_cast<char>(i * 7 % 256));
  const fs::path local = server.dir() / "printer.pem";
  std::ofstream(local, std::ios::binary) << certificate;

  EXPECT_EQ(platform::ftpPutFile(upload(server, kPassword, local.string())), platform::kFtpOk) << server.errors();
  EXPECT_EQ(readAll(server.home() / "cert"), certificate) << "byte for byte";

  struct Case {
    const char* name;
    std::string password, file;
    int code;
  } cases[] = {
      {"a refused login", "wrong-password", local.string(), platform::kFtpLoginFailed},
      {"a missing file", kPassword, (server.dir() / "missing.pem").string(), platform::kFtpTransferFailed},
  };
  for (const auto& c : cases) {
    const platform::FtpUpload u = upload(server, c.password, c.file);
    EXPECT_EQ(platform::ftpPutFile(u), c.code) << c.name;
    // The dialog's flow on the same uploader says what the user is told.
    Host host;
    host.password = c.password;
    const auto outcome = config::sendCertificate(kAddress, c.file, host, [&](const auto&, const auto& pw, const auto& f) {
      platform::FtpUpload again = u;
      again.password = pw;
      again.localFile = f;
      return static_cast<int>(platform::ftpPutFile(again));
    });
    EXPECT_EQ(outcome, config::CertificateOutcome::Failed) << c.name;
    EXPECT_EQ(host.messages, std::vector<std::string>{config::kTextCertificateFailed}) << c.name;
  }
}

}  // namespace
