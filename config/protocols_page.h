#pragma once
// The "Protocols" page: which network protocols are enabled, plus "HP JetAdmin" (and, with the
// NetWare pages, "SPX Direct Printing"). The protocol that carries this connection cannot be
// switched off here.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "config/device_page.h"

namespace config {

inline constexpr std::int32_t kItemJetAdmin = 255;
inline constexpr std::int32_t kItemSpxDirect = 254;

struct ProtocolItem {
  std::string name;
  std::int32_t data = 0;  // protocol number, or 255 / 254
  bool checked = false;
  bool enabled = true;
};

class CProtocolsPage : public CDevicePage {
 public:
  explicit CProtocolsPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));

  const char* title() const override { return "Protocols"; }
  // The sheet's protocol list and the address family of the connection in use.
  void setProtocolList(snmpaccess::CProtocolListGroup* list) { list_ = list; }
  void setFamily(int family) { family_ = family; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void ShowValues() override;
  int SaveToFile(const std::string& path) override;

  // The protocol carrying a connection of `family` (2 TCP/IP, 6 NetWare, 21 VINES, 0 serial).
  static std::int32_t protocolOfFamily(int family);

  // "&Protocols Enabled" with its entries; tick through setChecked so disabled entries stay.
  std::vector<ProtocolItem> items;
  // False for an unknown item or a disabled one.
  bool setChecked(std::int32_t data, bool on);
  std::vector<snmpaccess::CMibGroup*> groups() override {
    std::vector<snmpaccess::CMibGroup*> g;
    if (enable_) g.push_back(enable_.get());
    if (list_) g.push_back(list_);
    return g;
  }

 protected:
  void storeFields() override;
  int writeGroups(snmpaccess::CSnmpSession& session) override;
  int loadGroups(const std::string& path) override;

 private:
  std::string prefix_;
  snmpaccess::CProtocolListGroup* list_ = nullptr;
  std::unique_ptr<snmpaccess::CProtocolEnableGroup> enable_;
  int family_ = 2;
  bool jetAdmin_ = false;
};

}  // namespace config
