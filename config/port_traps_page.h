#pragma once
// The "SNMP Traps" page in its second form, for print servers that describe their trap events
// themselves: per destination one mask of input-line (GPIO) events and one event mask per output
// port, with every event name read from the print server.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "config/config_sheet.h"
#include "config/snmp_traps_page.h"

namespace config {

class CPortTrapsPage : public CDevicePage, public ProtocolListUser {
 public:
  explicit CPortTrapsPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));

  const char* title() const override { return "SNMP Traps"; }
  void setProtocolList(snmpaccess::CProtocolListGroup* list) override { list_ = list; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void AdjustControls() override;
  void ShowValues() override;
  std::vector<snmpaccess::CMibGroup*> groups() override;

  int portCount() const { return ports_; }
  int gpioGroups() const { return gpioGroups_; }
  std::uint32_t supportedGpio() const { return supportedGpio_; }

  void selectKind(int kind);
  void selectDestination(int position);
  // "Port" list changed (0-based position): the current slot is stored first.
  void selectPort(int index);
  PageCheck add(const DestinationEntry& entry);
  void remove();

  // Fields.
  std::vector<TrapKindItem> kinds;
  int kind = kTrapTcpIp;
  std::vector<TrapDestinationItem> destinations;
  int position = 0;
  int port = 1;                          // the selected output port (1-based)
  std::vector<TrapCheckItem> gpioEvents;  // "GPIO &Traps"
  std::vector<TrapCheckItem> portEvents;  // "P&ort Traps" of the selected port
  std::string smtpServer;

 protected:
  void storeFields() override { storeSlot(); }
  int writeGroups(snmpaccess::CSnmpSession& session) override;

 private:
  void storeSlot();
  void showMasks();
  void showPortEvents();
  snmpaccess::CMibGroup* rowOf(int slot);
  int gpioIndex() const;
  int portEventIndex(int p) const;
  bool slotFree(int slot);
  int slotCount() const;
  std::string text(snmpaccess::CMibGroup* g, int index) const;

  std::string prefix_;
  snmpaccess::CProtocolListGroup* list_ = nullptr;
  std::unique_ptr<snmpaccess::CIpTrapGroup2> ip_;
  std::unique_ptr<snmpaccess::CEmailTrapGroup2> email_;
  std::unique_ptr<snmpaccess::CIpxTrapGroup2> ipx_;
  std::unique_ptr<snmpaccess::CTrapEventGroup> names_;
  int commonLevel_ = 255;
  std::uint32_t supportedGpio_ = 0;
  bool emailPossible_ = true;
  int ports_ = 0;
  int gpioGroups_ = 0;
  int slot_ = kNoSlot;
  std::string address_;
  std::deque<int> free_;
};

}  // namespace config
