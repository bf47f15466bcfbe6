#pragma once
// The "SNMP Traps" page in its first form: trap destinations per transport (TCP/IP addresses,
// e-mail addresses through an SMTP server, one IPX address), each with a set of output ports and
// a set of printer events. A print server whose supported-traps value is 0 needs the second
// form: firstFormUsable() then says so and the sheet replaces this page.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "config/config_sheet.h"
#include "config/device_page.h"
#include "config/trap_destination.h"

namespace config {

inline constexpr int kNoSlot = 0xFFFF;
inline constexpr const char* kTextNoDestination = "<none>";

struct TrapKindItem {
  std::string name;
  int kind = 0;
};
struct TrapDestinationItem {
  std::string text;
  int slot = kNoSlot;
};
struct TrapCheckItem {
  std::string text;
  std::uint32_t data = 0;
  bool checked = false;
};

// "The maximum supported number of trap destinations on this device for this protocol is %i."
std::string maximumDestinationsText(int slots);

class CSnmpTrapsPage : public CDevicePage, public ProtocolListUser, public TrapsForm {
 public:
  explicit CSnmpTrapsPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));

  const char* title() const override { return "SNMP Traps"; }
  void setProtocolList(snmpaccess::CProtocolListGroup* list) override { list_ = list; }
  bool firstFormUsable() const override { return usable_; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void AdjustControls() override;
  void ShowValues() override;
  int SaveToFile(const std::string& path) override;

  int commonLevel() const { return commonLevel_; }
  std::uint32_t supportedTraps() const { return supported_; }
  int portCount() const { return portCount_; }
  bool smtpPossible() const { return emailPossible_; }
  // Destination slots of a kind (IPX: one).
  int slotCount(int kind) const;

  // "&Protocol:" changed: the current slot is stored and the kind's destinations shown.
  void selectKind(int kind);
  // "&Address:" list changed.
  void selectDestination(int position);
  // "A&dd" before the dialog opens: the maximum message when no slot is left.
  PageCheck canAdd() const;
  // "A&dd" with an entry the dialog checked: a refusal carries the maximum message.
  PageCheck add(const DestinationEntry& entry);
  // "&Edit" of the selected destination with a checked entry.
  void edit(const DestinationEntry& entry);
  // The selected destination's texts as the dialog starts with them.
  DestinationEntry selectedEntry() const;
  // "&Remove" of the selected destination.
  void remove();

  bool addEnabled() const { return addEnabled_; }
  bool editEnabled() const { return editRemoveEnabled_; }
  bool removeEnabled() const { return editRemoveEnabled_; }
  bool smtpServerShown() const { return kind == kTrapSmtp; }
  std::string addressLabel() const;
  int currentSlot() const { return slot_; }
  std::vector<snmpaccess::CMibGroup*> groups() override {
    std::vector<snmpaccess::CMibGroup*> g;
    if (email_) g.push_back(email_.get());
    if (ip_) g.push_back(ip_.get());
    if (ipx_) g.push_back(ipx_.get());
    return g;
  }

  // Fields.
  std::vector<TrapKindItem> kinds;
  int kind = kTrapTcpIp;
  std::vector<TrapDestinationItem> destinations;
  int position = 0;
  std::string smtpServer;
  std::vector<TrapCheckItem> ports;   // "P&orts to Trap"
  std::vector<TrapCheckItem> events;  // "Printer &Traps"

 protected:
  void storeFields() override { storeSlot(); }
  int writeGroups(snmpaccess::CSnmpSession& session) override;
  int loadGroups(const std::string& path) override;

 private:
  void storeSlot();
  void showMasks();
  bool slotFree(int kind, int slot);
  void clearSlot(int slot);
  snmpaccess::CMibGroup* rowOf(int slot);
  int maskIndex(bool portMask) const;
  int readInt(snmpaccess::CMibGroup* g, int index) const;

  std::string prefix_;
  snmpaccess::CProtocolListGroup* list_ = nullptr;
  std::unique_ptr<snmpaccess::CIpTrapGroup> ip_;
  std::unique_ptr<snmpaccess::CEmailTrapGroup> email_;
  std::unique_ptr<snmpaccess::CIpxTrapGroup> ipx_;
  int commonLevel_ = 255;
  std::uint32_t supported_ = 0;
  bool usable_ = true;
  bool emailPossible_ = true;
  int portCount_ = 0;
  int slot_ = kNoSlot;
  std::string address_;
  std::deque<int> free_;
  bool addEnabled_ = true;
  bool editRemoveEnabled_ = true;
};

}  // namespace config
