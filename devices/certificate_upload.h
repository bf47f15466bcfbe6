#pragma once
// A wireless security certificate sent to a print server: by FTP to the server's own IP address,
// remote name "cert", user " " (one space) and the device password. Shared by the Wireless
// Security dialog and the multi-unit configuration.
#include <cstdint>
#include <string>

namespace devices {

inline constexpr const char* kCertificateRemoteName = "cert";
inline constexpr const char* kCertificateUser = " ";
inline constexpr std::size_t kDevicePasswordLimit = 16;

// 0 sent; 1 the FTP client could not start; 2 no connection or the login was refused; 3 the
// file could not be read or the transfer failed. `port` 0 is TRELLAN_FTP_PORT, else 21.
int uploadCertificate(const std::string& address, const std::string& password, const std::string& file,
                      std::uint16_t port = 0);

}  // namespace devices
