#pragma once
// CPrintServiceDlg: "Print Service", asked by the wizard's VINES page for Add and Edit: one
// StreetTalk print service and the output port it feeds. The name follows the StreetTalk rules of
// vines/ (refused characters, item@group@organization); OK is refused with "Invalid StreetTalk
// Name." here, where the name can still be corrected, rather than on Next.
#include <string>
#include <vector>

#include "config/device_page.h"
#include "config/wireless_lists.h"

namespace wizard {

class CPrintServiceDlg {
 public:
  // `port` 0 (Add) or a port the unit does not have preselects the first port.
  CPrintServiceDlg(int portCount, std::string name = {}, int port = 0);

  static constexpr const char* title() { return "Print Service"; }
  // The most a slot of the print server holds.
  static int nameLimit();

  // "1" to the port count, the port number as item data.
  const std::vector<config::ListItem>& portItems() const { return ports_; }
  int portIndex() const { return portIndex_; }
  void selectPort(int index);
  int port() const { return ports_[static_cast<std::size_t>(portIndex_)].data; }

  const std::string& name() const { return name_; }
  // A typed or pasted text: false (and the name unchanged) when it holds a refused character or
  // is longer than a slot holds.
  bool setName(const std::string& text);

  // OK needs a name; a malformed one is refused with its message.
  bool canAccept() const { return !name_.empty(); }
  config::PageCheck accept() const;

 private:
  std::vector<config::ListItem> ports_;
  int portIndex_ = 0;
  std::string name_;
};

}  // namespace wizard
