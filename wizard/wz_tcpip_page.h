#pragma once
// CWzTcpIpDlg: "Configure TCP/IP". A permanent address with mask and gateway, or an address from
// the network. A permanent address must be a real one: a blank or malformed field is refused on
// leaving the page and never written as 0.0.0.0.
#include <cstdint>
#include <string>

#include "access/group_classes.h"
#include "wizard/wz_page.h"

namespace wizard {

inline constexpr const char* kTextAddressRequired = "Please enter a valid IP address.";

class CWzTcpIpDlg : public CWzPage {
 public:
  explicit CWzTcpIpDlg(std::string prefix);
  int id() const override { return kTcpIpId; }
  const char* title() const override { return "Configure TCP/IP"; }

  int read(snmpaccess::CSnmpSession& session) override;

  // Edits: each marks the page changed.
  void setDynamic(bool on);
  void setAddress(std::string text);
  void setMask(std::string text);
  void setGateway(std::string text);

  bool dynamic() const { return dynamic_; }
  const std::string& address() const { return address_; }
  const std::string& mask() const { return mask_; }
  const std::string& gateway() const { return gateway_; }

  // The address the print server answers at once the changes are saved: the new permanent address
  // when the page changed it, else empty (an address from the network is not known here).
  std::string newDeviceAddress() const;

  PageCheck leave(bool forward) override;
  std::string GetChangeSummary() const override;
  int SaveChanges(snmpaccess::CSnmpSession& session) override;

 protected:
  void fill() override;

 private:
  snmpaccess::CTcpIpGroup group_;
  std::int32_t method_ = 1;
  std::string address_, mask_, gateway_;
  bool dynamic_ = false;
};

// A dotted address as the address control turns it back into text; false for a blank or
// malformed text.
bool normaliseAddress(const std::string& text, std::string& out);

}  // namespace wizard
