#pragma once
// CWzWirelessDlg: "Configure Wireless Settings". The same lists, rules and security checks as the
// configuration sheet's Wireless page, whose model it holds; the wizard adds its own changed flag
// (any edit, or OK in the security dialog) and the texts of its change summary.
#include <string>

#include "config/wireless_page.h"
#include "wizard/wz_page.h"

namespace wizard {

inline constexpr const char* kWirelessIntro =
    "Please enter your Wireless settings. These entries must match the other nodes on the Wireless network in "
    "order to communicate.";

class CWzWirelessDlg : public CWzPage {
 public:
  explicit CWzWirelessDlg(std::string prefix);
  int id() const override { return kWirelessId; }
  const char* title() const override { return "Configure Wireless Settings"; }

  // Where a certificate goes (the target's address text); set before reading.
  void setAddress(std::string address) { model_.setAddress(std::move(address)); }
  // 3157 (no such name): the print server has no wireless interface.
  int read(snmpaccess::CSnmpSession& session) override;

  // The page's values; an edit through it is followed by edited().
  config::CWirelessPage& model() { return model_; }
  const config::CWirelessPage& model() const { return model_; }
  void edited() { markChanged(); }
  // OK in the security dialog: its values are taken and the page counts as changed.
  void takeSecurity(const config::CWirelessSecurityDlg& dialog);

  PageCheck leave(bool forward) override;
  std::string GetChangeSummary() const override;
  int SaveChanges(snmpaccess::CSnmpSession& session) override;

 protected:
  void fill() override { model_.open(); }

 private:
  config::CWirelessPage model_;
};

}  // namespace wizard
