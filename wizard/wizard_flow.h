#pragma once
// WizardFlow: the configuration wizard without a display. run() reads every page the print server
// has (the save list, in reading order); Next and Back move through the page sequence, which the
// protocol page's Next rebuilds from the ticked protocols (never from the order the pages were
// added); finish() writes every page on the save list, resets the print server, waits and finds it
// again. The Qt sheet (wizard/gui) shows current() and forwards the buttons; trellanctl drives the
// same flow from a file of answers.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/snmp_session.h"
#include "access/snmp_target.h"
#include "wizard/wz_ethertalk_page.h"
#include "wizard/wz_finish_page.h"
#include "wizard/wz_page.h"
#include "wizard/wz_protocol_page.h"
#include "wizard/wz_serial_page.h"
#include "wizard/wz_tcpip_page.h"
#include "wizard/wz_vines_page.h"
#include "wizard/wz_welcome_page.h"
#include "wizard/wz_wireless_page.h"

namespace wizard {

inline constexpr const char* kTextCannotInitSnmp = "Cannot initialize WinSNMP.";
inline constexpr const char* kTextNeedsUpdating = "This utility needs updating, it does not support the newest firmware.";
inline constexpr const char* kTextErrorSending = "Error sending data.";
inline constexpr const char* kTextNoServerInfo = "Cannot get the server information.";
inline constexpr const char* kTextNoCommandInfo = "Cannot get the command information.";
inline constexpr const char* kTextCannotSaveCommand = "Cannot save the command information.";

struct WizardServices {
  // A message box with this text.
  std::function<void(const std::string& text)> message;
  // Waits `ms` in the progress window; false when the user pressed Stop.
  std::function<bool(int ms)> pause;
  // Finds the print server again at the target's address within `seconds` (0 answered).
  std::function<int(snmpaccess::SnmpTarget& target, int seconds)> identify;
  std::string prefix{mib::kDefaultEnterprisePrefix};
  std::string vinesLibrary{vines::kVinesLibrary};
  int resetTimeoutSeconds = 40;
};

// Which page a ticked protocol brings, by its protocol number (0: none).
int pageForProtocol(std::int32_t type);

class WizardFlow {
 public:
  explicit WizardFlow(WizardServices services);
  ~WizardFlow();
  WizardFlow(const WizardFlow&) = delete;
  WizardFlow& operator=(const WizardFlow&) = delete;

  // "Server Configuration - ADDRESS".
  static std::string titleFor(const std::string& address);

  // The NetWare page arrives with the NetWare area: read for protocol 2 when the client is there.
  void setNetWarePage(std::unique_ptr<CWzPage> page);

  // Reads everything: 0 when the wizard can be shown, else the read error (no wizard).
  int run(snmpaccess::SnmpTarget& target, bool netwareClient);

  // Pages in the order the sheet added them (Welcome first, Verify last).
  const std::vector<CWzPage*>& pages() const { return added_; }
  const std::vector<CWzPage*>& saveList() const { return saveList_; }
  const std::vector<int>& sequence() const { return sequence_; }
  // The page with this id when the wizard has it, else null.
  CWzPage* page(int id) const;
  CWzPage* current() const { return page(currentId_); }
  int currentId() const { return currentId_; }
  bool onFirst() const { return currentId_ == kWelcomeId; }
  bool onLast() const { return currentId_ == kFinishId; }
  int unsupportedCount() const { return unsupported_; }

  CWzWelcomeDlg& welcomePage() { return welcome_; }
  CWzProtocolDlg& protocolPage() { return protocols_; }
  CWzTcpIpDlg& tcpIpPage() { return tcpip_; }
  CWzEtherTalkDlg& etherTalkPage() { return ethertalk_; }
  CWzSerialDlg& serialPage() { return serial_; }
  CWzWirelessDlg& wirelessPage() { return wireless_; }
  CWzBanyanDlg& vinesPage() { return vines_; }

  // A tick changed on the protocol page: the sequence waits for Next to rebuild it.
  bool setProtocolChecked(int item, bool on);
  // Next / Back: the page is left (it may refuse, then the wizard stays), then the sequence moves.
  PageCheck next();
  PageCheck back();

  // The verification text as the Verify page shows it.
  std::string finishText() const { return CWzFinishDlg::build(saveList_); }
  // Finish: every page on the save list is written, then the reset and the wait. 0 when the
  // saving ran (failures were shown); the wizard is done either way.
  int finish();
  bool finished() const { return finished_; }
  // After a finished wizard: the address the print server now answers at when the TCP/IP page set
  // a new permanent one; empty otherwise (cancelled, address from the network, unchanged).
  std::string newDeviceAddress() const;
  // The print server answered again after the reset.
  bool identified() const { return identified_; }
  snmpaccess::CSnmpSession* session() { return session_.get(); }

 private:
  void rebuildSequence();
  void show(int id);
  void say(const std::string& text) const;
  void progress(int percent);
  int resetAndWait(snmpaccess::CSnmpSession& s);

  WizardServices services_;
  snmpaccess::SnmpTarget* target_ = nullptr;
  std::unique_ptr<snmpaccess::CSnmpSession> session_;
  CWzWelcomeDlg welcome_;
  CWzProtocolDlg protocols_;
  CWzTcpIpDlg tcpip_;
  CWzEtherTalkDlg ethertalk_;
  CWzSerialDlg serial_;
  CWzWirelessDlg wireless_;
  CWzBanyanDlg vines_;
  CWzFinishDlg finishPage_;
  std::unique_ptr<CWzPage> netware_;
  std::vector<CWzPage*> added_;
  std::vector<CWzPage*> saveList_;
  std::vector<int> sequence_;
  int currentId_ = kWelcomeId;
  bool serialOffered_ = false;
  bool netwareClient_ = false;
  bool finished_ = false;
  bool identified_ = false;
  int unsupported_ = 0;
  int position_ = 0;
};

}  // namespace wizard
