#pragma once
// Sends one file to a print server by FTP (libcurl): binary STOR in passive mode to the server's
// IPv4 address, on TCP port 21 unless TRELLAN_FTP_PORT names another. The result codes are the
// ones the certificate senders report.
#include <cstdint>
#include <string>

namespace platform {

enum FtpResult : int {
  kFtpOk = 0,
  kFtpCannotStart = 1,    // the FTP library could not start, or the address is not a dotted IPv4
  kFtpLoginFailed = 2,    // no connection, or the user and password were refused
  kFtpTransferFailed = 3, // the local file could not be read, or the upload failed
};

struct FtpUpload {
  std::string address;     // dotted IPv4 of the print server
  std::uint16_t port = 0;  // 0: TRELLAN_FTP_PORT, else 21
  std::string user;
  std::string password;    // never logged
  std::string localFile;
  std::string remoteName;
  long timeoutSeconds = 30;
};

// The port an upload goes to when none is given.
std::uint16_t defaultFtpPort();

// Runs the upload; honours the loopback guard (TRELLAN_LOOPBACK_ONLY) like every socket here.
FtpResult ftpPutFile(const FtpUpload& upload);

}  // namespace platform
