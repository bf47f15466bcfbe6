#pragma once
// The "TCP/IP" page: address, mask, gateway, how the address is obtained, WINS, the telnet/HTTP
// password, and through the advanced dialog the time-out, ARP, raw port, DNS and SLP. What it
// offers follows the TCP/IP MIB level L and the capability flags F.
#include <cstdint>
#include <string>

#include "access/group_classes.h"
#include "config/advanced_tcpip.h"
#include "config/change_password.h"
#include "config/device_page.h"

namespace config {

// Controls that exist for F and L (AdjustControls).
struct TcpIpShown {
  bool resolutionBox = true;    // "IP Address Resolution"
  bool permanentChoice = true;  // "Set &Permanent" / "Use &Network Protocol"
  bool methods = true;          // the five method boxes
  bool gleaningAndTimeout = true;
  bool wins = true;             // "&WINS Server:" and its label
  bool useDhcpForWins = true;
  bool passwordButton = true;
};

// Controls enabled for the choice and the DHCP rule.
struct TcpIpEnabled {
  bool address = true;
  bool methods = false;
  bool useDhcpForWins = false;
  bool wins = true;
};

inline constexpr PasswordRules kTcpIpPasswordRules{24, 5, false};

class CTcpIpPage : public CDevicePage {
 public:
  explicit CTcpIpPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));

  const char* title() const override { return "TCP/IP"; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void AdjustControls() override;
  void ShowValues() override;
  int SaveToFile(const std::string& path) override;
  PageCheck check() override;

  int level() const;
  std::uint32_t capabilities() const;
  const TcpIpShown& shown() const { return shown_; }
  TcpIpEnabled enabled() const;
  snmpaccess::CTcpIpGroup& group() { return group_; }
  std::vector<snmpaccess::CMibGroup*> groups() override { return {&group_}; }

  // The address the print server has after a save: the field when the page was opened, else the
  // group's value; empty when that is 0.0.0.0.
  std::string savedAddress() const;

  // "&Telnet/Http Password" accepted: stored and sent by the next Save.
  void setNewPassword(const std::string& password);
  bool passwordChanged() const { return passwordChanged_; }

  // The advanced dialog on this page's values; OK hands the dialog back.
  CAdvancedTcpIpDlg advancedDialog() const;
  void takeAdvanced(const CAdvancedTcpIpDlg& dialog);

  // Fields ("controls").
  std::string address;
  std::string mask;
  std::string gateway;
  bool network = false;  // "Use &Network Protocol"; false: "Set &Permanent"
  bool rarp = false, bootp = false, dhcp = false, gleaning = false, allowTimeout = false;
  std::string wins;
  bool useDhcpForWins = false;
  AdvancedValues advanced;

 protected:
  void storeFields() override;
  int writeGroups(snmpaccess::CSnmpSession& session) override;
  int loadGroups(const std::string& path) override;

 private:
  snmpaccess::CTcpIpGroup group_;
  TcpIpShown shown_;
  std::string newPassword_;
  bool passwordChanged_ = false;
};

}  // namespace config
