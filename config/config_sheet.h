#pragma once
// CConfigPropSheet: the whole configuration of one print server. Start reads the installed
// protocols and every page's groups (deciding which pages exist), the pages show and edit, OK
// validates the current page, asks to confirm, writes what changed page by page and resets the
// print server, waits for it to come back and reports the address it now has. GUI-free: the
// dialog (config/gui) shows the pages this sheet lists and forwards OK and Cancel.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "access/progress.h"
#include "access/snmp_target.h"
#include "config/device_page.h"
#include "config/protocols_page.h"
#include "config/snmp_page.h"
#include "config/tcpip_page.h"
#include "devices/device.h"

namespace config {

// Pages that read against the sheet's installed-protocol list take it through this.
class ProtocolListUser {
 public:
  virtual ~ProtocolListUser() = default;
  virtual void setProtocolList(snmpaccess::CProtocolListGroup* list) = 0;
};

// The first traps form says after its read whether it serves this print server.
class TrapsForm {
 public:
  virtual ~TrapsForm() = default;
  virtual bool firstFormUsable() const = 0;
};

// Pages of later areas that the sheet reads, adds and saves at their fixed places when they are
// installed (setPage). Without one the area has no page.
enum class PageSlot { OutputPort, TokenRing, NetWare, NetWareBindery, Nds, Vines, EtherTalk, Wireless, Traps, Count };

// What the sheet needs from around it.
struct SheetServices {
  // ReportError(text id, error class, code, code kind).
  std::function<void(std::uint32_t textId, int errorClass, int code, int codeKind)> report;
  // Waits `ms` in the progress window; false when the user pressed Stop.
  std::function<bool(int ms)> pause;
  // Finds the print server again at the target's address within `seconds` (0 answered).
  std::function<int(snmpaccess::SnmpTarget& target, int seconds)> identify;
  std::string prefix{mib::kDefaultEnterprisePrefix};
  int resetTimeoutSeconds = 40;
  bool netwareClient = false;
};

// The default identify: a fresh device of the target's family asked until it answers.
int identifyDevice(snmpaccess::SnmpTarget& target, int seconds, const devices::QuerySettings& settings);

// Error class of the sheet's messages for an address family.
int sheetErrorClass(std::uint16_t family);

enum class OkOutcome { Refused, NotConfirmed, SaveFailed, Saved };

class CConfigPropSheet {
 public:
  explicit CConfigPropSheet(SheetServices services);
  ~CConfigPropSheet();
  CConfigPropSheet(const CConfigPropSheet&) = delete;
  CConfigPropSheet& operator=(const CConfigPropSheet&) = delete;

  // "Server Configuration - ADDRESS".
  static std::string titleFor(const std::string& address);

  // Installs the page of a later area (before Start).
  void setPage(PageSlot slot, std::unique_ptr<CDevicePage> page);
  // The second traps form for print servers whose first form is not usable; made on demand.
  void setSecondTrapsFactory(std::function<std::unique_ptr<CDevicePage>(snmpaccess::CProtocolListGroup&)> make);

  // Reads everything: 0 when the sheet can be shown.
  int Start(snmpaccess::SnmpTarget& target, int port, const std::string& file = {});
  // The pages added by the read, in their fixed order.
  const std::vector<CDevicePage*>& pages() const { return added_; }

  // OK: `current` is the page shown (may be null); `confirm` asks "Save changes and reset
  // server?"; `refuse` shows a page's refusal.
  OkOutcome ok(CDevicePage* current, const std::function<bool(const std::string&)>& confirm,
               const std::function<void(CDevicePage&, const PageCheck&)>& refuse);
  // Writes every page and resets the print server: 0, or the first error (already reported).
  int saveAll();
  // Restore: every page takes its sections from the file.
  int restoreFromFile(const std::string& file);
  int saveToFile(const std::string& file);

  // Without the reset the saved values wait on the unit until its next restart.
  void setResetAfterSave(bool on) { resetAfterSave_ = on; }
  // The session of the read (null before a successful Start).
  snmpaccess::CSnmpSession* session() { return session_.get(); }

  // The address the print server answers at after the save.
  const std::string& newAddress() const { return newAddress_; }

  CTcpIpPage& tcpIpPage() { return tcpip_; }
  CSnmpPage& snmpPage() { return snmp_; }
  CProtocolsPage& protocolsPage() { return protocols_; }
  CDevicePage* page(PageSlot slot) { return slots_[static_cast<int>(slot)].get(); }
  snmpaccess::CProtocolListGroup& protocolList() { return list_; }
  // Protocol numbers that got the "needs updating" message during the read.
  int unsupportedCount() const { return unsupported_; }

 private:
  int readAll();
  int resetAfterSave(snmpaccess::CSnmpSession& session);
  void report(std::uint32_t textId, int code, int codeKind = 4, int errorClass = -1);
  void advance(int n);
  std::unique_ptr<CDevicePage>& slot(PageSlot s) { return slots_[static_cast<int>(s)]; }

  SheetServices services_;
  snmpaccess::SnmpTarget* target_ = nullptr;
  snmpaccess::ProgressWindow* progress_ = nullptr;
  std::unique_ptr<snmpaccess::CSnmpSession> session_;
  snmpaccess::CProtocolListGroup list_;
  CTcpIpPage tcpip_;
  CSnmpPage snmp_;
  CProtocolsPage protocols_;
  std::unique_ptr<CDevicePage> slots_[static_cast<int>(PageSlot::Count)];
  std::function<std::unique_ptr<CDevicePage>(snmpaccess::CProtocolListGroup&)> secondTraps_;
  bool marked_[static_cast<int>(PageSlot::Count)] = {};
  bool tcpipMarked_ = false;
  std::vector<CDevicePage*> added_;
  std::string newAddress_;
  std::string file_;
  int position_ = 0;
  int portIndex_ = 0;
  bool resetAfterSave_ = true;
  int unsupported_ = 0;
};

}  // namespace config
