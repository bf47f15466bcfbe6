#pragma once
// The "Wireless" page: network mode, SSID, channel, data rate and, from wireless level 3, radio,
// regulatory country, 802.11d, dynamic frequency selection and access point density. Its
// security values are edited in the "Wireless Security" dialog (config/wireless_security.h) and
// written with the page.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "config/device_page.h"
#include "config/wireless_lists.h"
#include "config/wireless_security.h"

namespace config {

inline constexpr std::size_t kSsidLimit = 32;

// Lists shown for what the print server reports (AdjustControls, ShowValues).
struct WirelessShown {
  bool radio = false, density = false, dot11d = false, country = false, dfs = true;
};

class CWirelessPage : public CDevicePage {
 public:
  explicit CWirelessPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));
  ~CWirelessPage() override;

  const char* title() const override { return "Wireless"; }
  // The print server's IP address, where a certificate goes.
  void setAddress(std::string address) { address_ = std::move(address); }
  const std::string& address() const { return address_; }

  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void AdjustControls() override;
  void ShowValues() override;
  int SaveToFile(const std::string& path) override;
  PageCheck check() override;

  int level() const;
  bool fromLevelThree() const;
  const WirelessShown& shown() const { return shown_; }
  // The mode rule: "RF Channel" for ad hoc (1, 2), "802.11 D" for infrastructure (3).
  bool channelEnabled() const;
  bool dot11dEnabled() const;

  // The security dialog on the page's values; OK hands it back.
  CWirelessSecurityDlg securityDialog() const;
  void takeSecurity(const CWirelessSecurityDlg& dialog);

  snmpaccess::CWirelessGroup& group() { return group_; }
  std::vector<snmpaccess::CMibGroup*> groups() override;
  // The codes of the regulatory countries the print server offers, in its order.
  const std::vector<std::string>& countryCodes() const { return countryCodes_; }

  // Lists.
  std::vector<ListItem> modes, channels, rates, radioItems, densityItems, dot11dItems, countryList, dfsItems;
  // Fields: the value behind the selected item (country: the entry index, -1 none).
  std::int32_t mode = 0, channel = 0, rate = 0, radio = 0, density = 0, dot11d = 0, dfs = 0;
  std::int32_t country = -1;
  std::string ssid;
  SecurityValues security;

 protected:
  void storeFields() override;
  int writeGroups(snmpaccess::CSnmpSession& session) override;
  int loadGroups(const std::string& path) override;

 private:
  SecurityOffer offer() const;

  std::string prefix_;
  std::string address_;
  snmpaccess::CWirelessGroup group_;
  std::unique_ptr<snmpaccess::CWirelessListGroup> lists_;
  std::unique_ptr<snmpaccess::CWirelessCountryGroup> countries_;
  std::array<std::unique_ptr<snmpaccess::CWepKeyRow>, kWepKeys> keyRows_;
  std::vector<std::string> countryCodes_;
  WirelessShown shown_;
  SecurityValues shownSecurity_;  // as ShowValues left them: unchanged values need no check
};

}  // namespace config
