#pragma once
// The "SNMP" page: MIB-II system name, contact and location, and the GET, SET and trap
// communities. The SET community is never reported by the print server: the page shows the one
// in use and sends it (write-only) only when the user changed it.
#include <string>

#include "access/group_classes.h"
#include "config/device_page.h"

namespace config {

inline constexpr const char* kTextInvalidSystemName = "Invalid System Name.";
inline constexpr const char* kTextInvalidCommunity = "Invalid Community Name.";
inline constexpr const char* kTextGetVerifyDiffers =
    "The Get Community Name and the Verify Community Name do not match. ";
inline constexpr const char* kTextSetVerifyDiffers =
    "TheSet Community Name and the Verify Community Name do not match. ";
inline constexpr std::size_t kCommunityLimit = 31;
inline constexpr std::size_t kSystemTextLimit = 127;

class CSnmpPage : public CDevicePage {
 public:
  explicit CSnmpPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));

  const char* title() const override { return "SNMP"; }
  // The SET community of the sheet's session, given before Read.
  void setCommunityInUse(std::string community) { setInUse_ = std::move(community); }
  const std::string& communityInUse() const { return setInUse_; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void ShowValues() override;
  int SaveToFile(const std::string& path) override;
  PageCheck check() override;

  // Typing in a community field enables its verify field.
  void editGetCommunity(std::string text);
  void editSetCommunity(std::string text);
  bool getVerifyEnabled() const { return getVerifyEnabled_; }
  bool setVerifyEnabled() const { return setVerifyEnabled_; }

  snmpaccess::CSystemGroup& systemGroup() { return system_; }
  std::vector<snmpaccess::CMibGroup*> groups() override { return {&system_, &snmp_}; }
  snmpaccess::CSnmpConfigGroup& snmpGroup() { return snmp_; }

  // Fields. Change the communities through edit*, so the verify rules hold.
  std::string sysName, contact, location;
  std::string getCommunity, getVerify;
  std::string setCommunity, setVerify;
  std::string trapCommunity;

 protected:
  void storeFields() override;
  int writeGroups(snmpaccess::CSnmpSession& session) override;
  int loadGroups(const std::string& path) override;

 private:
  snmpaccess::CSystemGroup system_;
  snmpaccess::CSnmpConfigGroup snmp_;
  std::string setInUse_;
  bool getVerifyEnabled_ = false;
  bool setVerifyEnabled_ = false;
};

}  // namespace config
