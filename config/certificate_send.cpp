#include "config/certificate_send.h"

#include "devices/certificate_upload.h"

namespace config {

namespace {
constexpr int kMaxPrompts = 100;  // a host that keeps answering empty gets asked no further
}

CertificateOutcome sendCertificate(const std::string& address, const std::string& file, CertificateSendHost& host,
                                   const CertificateUploader& upload) {
  if (file.empty()) {
    host.message(kTextNoCertificate);
    return CertificateOutcome::NoFile;
  }
  std::optional<std::string> password;
  for (int i = 0; i < kMaxPrompts; ++i) {
    password = host.askPassword();
    if (!password) return CertificateOutcome::Cancelled;
    if (!password->empty()) break;
  }
  if (!password || password->empty()) return CertificateOutcome::Cancelled;
  host.busy(true);
  const int rc = upload ? upload(address, *password, file) : 1;
  host.busy(false);
  if (rc != 0) {
    host.message(kTextCertificateFailed);
    return CertificateOutcome::Failed;
  }
  return CertificateOutcome::Sent;
}

CertificateUploader ftpCertificateUploader() {
  return [](const std::string& address, const std::string& password, const std::string& file) {
    return devices::uploadCertificate(address, password, file);
  };
}

}  // namespace config
