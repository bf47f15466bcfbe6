#pragma once
// The "Token Ring" page: ring priority, source routing, early token release and a locally
// administered address (12 hexadecimal digits, "000000000000" for none).
#include <cstdint>
#include <string>

#include "access/group_classes.h"
#include "config/device_page.h"
#include "config/serial_values.h"

namespace config {

inline constexpr const char* kTextInvalidNetworkAddress = "Invalid Network Address.";
inline constexpr const char* kNoLocalAddress = "000000000000";

struct TokenRingControls {
  bool packetSize = false;  // the unit sets it itself: never shown
  bool earlyRelease = true;  // not on a 4 Mbit/s ring
  bool address = false;     // only while "&Enable" is ticked
};

class CTokenRingPage : public CDevicePage {
 public:
  explicit CTokenRingPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));

  const char* title() const override { return "Token Ring"; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override { return group_.read(session); }
  void ShowValues() override;
  int SaveToFile(const std::string& path) override { return group_.saveBackupFile(path); }
  PageCheck check() override;
  std::vector<snmpaccess::CMibGroup*> groups() override { return {&group_}; }
  TokenRingControls controls() const;

  static const std::vector<Choice>& priorities();   // "0" to "6"
  static const std::vector<Choice>& packetSizes();  // "1K" 1, "2K" 2, "4K" 3
  static const std::vector<Choice>& routings();

  std::int32_t priority = 0, packetSize = 1, routing = 1;
  bool earlyRelease = false;
  bool enable = false;  // "&Enable": a locally administered address is in use
  std::string address;  // 12 hexadecimal digits

  snmpaccess::CTokenRingGroup& group() { return group_; }

 protected:
  void storeFields() override;
  int writeGroups(snmpaccess::CSnmpSession& session) override { return group_.writeChanged(session); }
  int loadGroups(const std::string& path) override { return group_.restoreBackupFile(path); }

 private:
  snmpaccess::CTokenRingGroup group_;
  // As shown: an address the user did not touch is neither checked nor written.
  std::string shownAddress_;
  bool shownEnable_ = false;
};

// True for exactly 12 hexadecimal digits (six bytes).
bool isNetworkAddressText(const std::string& text);

}  // namespace config
