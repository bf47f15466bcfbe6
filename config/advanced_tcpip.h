#pragma once
// The "Advanced TCP/IP Configuration" dialog's model: TCP connection time-out, unsolicited ARP,
// the first raw printing port, DNS and SLP, with what the print server's level and capability
// flags offer.
#include <cstdint>
#include <string>

#include "config/device_page.h"

namespace config {

// The values the dialog edits (the page hands its own in and takes them back on OK).
struct AdvancedValues {
  bool timeoutOn = false;
  long timeoutSeconds = 300;
  bool arpOn = false;
  long arpMinutes = 0;
  long rawPort = 0;
  bool dnsOn = false;
  std::string primaryDns = "0.0.0.0";
  std::string secondaryDns = "0.0.0.0";
  std::string domain;
  bool slpOn = false;
  std::string slpScope;
};

inline constexpr const char* kTextTimeoutRange = "Valid timeout values are 10 to 3600 seconds.";
inline constexpr const char* kTextArpRange = "Valid Unsolicited ARP values are 0 to 30 minutes.";
inline constexpr const char* kTextInvalidAddress = "The IP address is invalid.";
inline constexpr std::size_t kDomainLimit = 64;
inline constexpr std::size_t kScopeLimit = 128;

class CAdvancedTcpIpDlg {
 public:
  // `level` L and `flags` F of the TCP/IP page; `fromPage` the page's values.
  CAdvancedTcpIpDlg(int level, std::uint32_t flags, const AdvancedValues& fromPage);

  // Sections shown.
  bool timeoutShown() const;
  bool arpShown() const;
  bool rawPortShown() const;
  bool dnsShown() const;
  bool slpShown() const;
  // Fields enabled by their radio or check box.
  bool secondsEnabled() const;
  bool timeoutRadiosEnabled() const { return level3(); }
  bool minutesEnabled() const { return values.arpOn; }
  bool dnsFieldsEnabled() const { return values.dnsOn; }
  bool scopeEnabled() const { return values.slpOn; }

  // OK: the range checks; a failure names the field ("seconds", "minutes", ...).
  PageCheck check() const;

  AdvancedValues values;

 private:
  bool level3() const;
  int level_;
  std::uint32_t flags_;
};

}  // namespace config
