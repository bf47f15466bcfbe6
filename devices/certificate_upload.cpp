#include "devices/certificate_upload.h"

#include "platform/ftp_upload.h"

namespace devices {

int uploadCertificate(const std::string& address, const std::string& password, const std::string& file,
                      std::uint16_t port) {
  platform::FtpUpload u;
  u.address = address;
  u.port = port;
  u.user = kCertificateUser;
  u.password = password;
  u.localFile = file;
  u.remoteName = kCertificateRemoteName;
  return platform::ftpPutFile(u);
}

}  // namespace devices
