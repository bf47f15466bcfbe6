#include "config/advanced_tcpip.h"

#include "access/mib_catalogue.h"
#include "config/ipv4_field.h"

namespace config {

using mib::levelAtLeast;

CAdvancedTcpIpDlg::CAdvancedTcpIpDlg(int level, std::uint32_t flags, const AdvancedValues& page)
    : level_(level), flags_(flags) {
  values = page;
  values.timeoutSeconds =
      level3() && page.timeoutSeconds >= 10 && page.timeoutSeconds <= 3600 ? page.timeoutSeconds : 300;
  values.arpMinutes = level3() ? page.arpMinutes : 0;
  values.arpOn = values.arpMinutes != 0;
  values.rawPort = levelAtLeast(level, 5) ? page.rawPort : 0;
}

bool CAdvancedTcpIpDlg::level3() const { return levelAtLeast(level_, 3); }
bool CAdvancedTcpIpDlg::timeoutShown() const { return (flags_ & 0x4) != 0; }
bool CAdvancedTcpIpDlg::arpShown() const { return level3() && (flags_ & 0x200) != 0; }
bool CAdvancedTcpIpDlg::rawPortShown() const { return levelAtLeast(level_, 5) && (flags_ & 0x400) != 0; }
bool CAdvancedTcpIpDlg::dnsShown() const { return levelAtLeast(level_, 7) && (flags_ & 0x8000) != 0; }
bool CAdvancedTcpIpDlg::slpShown() const { return levelAtLeast(level_, 8) && (flags_ & 0x10000) != 0; }
bool CAdvancedTcpIpDlg::secondsEnabled() const { return level3() && values.timeoutOn; }

PageCheck CAdvancedTcpIpDlg::check() const {
  if (values.timeoutOn && (values.timeoutSeconds < 10 || values.timeoutSeconds > 3600))
    return PageCheck::fail(kTextTimeoutRange, "seconds");
  if (values.arpOn && (values.arpMinutes < 0 || values.arpMinutes > 30)) return PageCheck::fail(kTextArpRange, "minutes");
  if (values.rawPort < 0 || values.rawPort > 65535) return PageCheck::fail("Valid port values are 0 to 65535.", "rawPort");
  if (dnsShown()) {
    std::uint8_t a[4];
    if (!parseIpv4Field(values.primaryDns, a)) return PageCheck::fail(kTextInvalidAddress, "primaryDns");
    if (!parseIpv4Field(values.secondaryDns, a)) return PageCheck::fail(kTextInvalidAddress, "secondaryDns");
    if (values.domain.size() > kDomainLimit)
      return PageCheck::fail("The domain name takes at most 64 characters.", "domain");
  }
  if (slpShown() && values.slpScope.size() > kScopeLimit)
    return PageCheck::fail("The SLP scope list takes at most 128 characters.", "slpScope");
  return PageCheck::pass();
}

}  // namespace config
