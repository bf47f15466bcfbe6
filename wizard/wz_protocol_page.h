#pragma once
// CWzProtocolDlg: "Select Protocols". Lists the print server's protocols with their enable state;
// the one the wizard talks over cannot be unchecked. Its list is always summarised and written.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "wizard/wz_page.h"

namespace wizard {

inline constexpr const char* kTextProtocolInUse =
    "The %s protocol is currently being used to configure the server, and so it cannot be disabled.";
inline constexpr const char* kTextNetWareNeedsClient =
    "NetWare is supported on this print server, but the Novell client is required for configuration (could not "
    "initialize NetWare).";

struct ProtocolEntry {
  std::string name;        // as the print server reports it
  std::int32_t type = 0;   // protocol number of the installed-protocol list
  std::int32_t state = 1;  // 1 disabled, 2 enabled
  int index = 0;           // variable of the enable group
};

class CWzProtocolDlg : public CWzPage {
 public:
  explicit CWzProtocolDlg(std::string prefix);
  int id() const override { return kProtocolsId; }
  const char* title() const override { return "Select Protocols"; }

  // The connection's address family (0 serial, 2 IP, 6 IPX) and whether the NetWare client is there.
  void setConnection(int family, bool netwareClient) {
    family_ = family;
    netwareClient_ = netwareClient;
  }
  void setNetWareWithoutClient(bool on) { netwareWithoutClient_ = on; }
  int read(snmpaccess::CSnmpSession& session) override;
  // The installed protocols (number, name) in the print server's order.
  std::vector<std::pair<std::int32_t, std::string>> installed() const { return list_.protocols(); }

  const std::vector<ProtocolEntry>& entries() const { return entries_; }
  // The check list, one item per entry.
  const std::vector<bool>& checks() const { return checks_; }
  bool locked(int item) const;
  // False for an item out of range or locked.
  bool setChecked(int item, bool on);
  // Index of the item with this name, -1 when none.
  int find(const std::string& name) const;
  std::string notice() const;

  PageCheck leave(bool forward) override;
  std::string GetChangeSummary() const override;
  int SaveChanges(snmpaccess::CSnmpSession& session) override;

 protected:
  void fill() override;

 private:
  void take(const snmpaccess::GroupParams& params, const snmpaccess::CProtocolEnableGroup& enable);

  std::string prefix_;
  snmpaccess::CProtocolListGroup list_;
  std::vector<ProtocolEntry> entries_;
  std::vector<bool> checks_;
  int family_ = 2;
  bool netwareClient_ = false;
  bool netwareWithoutClient_ = false;
};

}  // namespace wizard
