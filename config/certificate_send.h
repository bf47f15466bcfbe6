#pragma once
// "Send" in the Wireless Security dialog: the certificate file goes to the print server at once,
// whatever becomes of the dialog. The password prompt, the messages and the wait cursor come
// from the host (the Qt dialog, the command line, a test).
#include <functional>
#include <optional>
#include <string>

namespace config {

inline constexpr const char* kTextNoCertificate = "No certificate filename specified.";
inline constexpr const char* kTextCertificateFailed = "Error sending certificate file to device.";
inline constexpr const char* kTextDevicePasswordTitle = "Device Password";
inline constexpr const char* kTextDevicePasswordLabel = "Device Password:";
inline constexpr const char* kTextDevicePasswordNote = "Transmission of security certificate files requires a password.";

class CertificateSendHost {
 public:
  virtual ~CertificateSendHost() = default;
  // The "Device Password" dialog: the password, or nullopt for Cancel.
  virtual std::optional<std::string> askPassword() = 0;
  virtual void message(const std::string& text) = 0;
  virtual void busy(bool on) { (void)on; }
};

// (address, password, file) -> 0 or the uploader's code.
using CertificateUploader = std::function<int(const std::string&, const std::string&, const std::string&)>;

enum class CertificateOutcome { NoFile, Cancelled, Sent, Failed };

// Asks for the password again while it is empty; Cancel ends without a transfer.
CertificateOutcome sendCertificate(const std::string& address, const std::string& file, CertificateSendHost& host,
                                   const CertificateUploader& upload);

// The uploader of devices/certificate_upload.h.
CertificateUploader ftpCertificateUploader();

}  // namespace config
