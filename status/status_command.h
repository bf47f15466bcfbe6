#pragma once
// The "&Status" command from the selected print server to the status sheet: the "Cannot
// communicate" retry, the family prefix, the units handled elsewhere (no address yet, the text
// protocol, a telnet-managed unit), a target with read access only, the community check, the
// sheet read and shown, and afterwards the list row refreshed. Everything around it goes through
// StatusCommandHost.
#include <string>

#include "access/community_check.h"
#include "access/snmp_target.h"
#include "devices/device.h"
#include "status/diagnostics_sheet.h"

namespace status {

inline constexpr int kViewTcpIp = 6;

class StatusCommandHost {
 public:
  virtual ~StatusCommandHost() = default;
  virtual devices::CDevice* selectedDevice() = 0;
  virtual int viewTransport() = 0;
  virtual int refreshRow(devices::CDevice& device) = 0;
  virtual std::string selectFamily(const devices::CDevice& device) = 0;
  virtual bool prepareTarget(const devices::CDevice& device, snmpaccess::SnmpTarget& target) = 0;
  virtual snmpaccess::CommunityAsk communityAsk() = 0;
  // ReportError of a message of the command itself.
  virtual void report(const std::string& text, int errorClass) = 0;
  virtual void postConfiguration() = 0;
  virtual void runHttpSession() = 0;
  virtual void postTelnet() = 0;
  virtual StatusServices services() = 0;
  virtual bool netwareClient() { return false; }
  virtual void showProgress(bool on) = 0;
  virtual void showSheet(CDiagnosticsPropSheet& sheet, const std::string& title) = 0;
};

enum class StatusOutcome { NoDevice, CannotCommunicate, Redirected, NotSupported, Cancelled, ReadFailed, Shown };

StatusOutcome runStatusCommand(StatusCommandHost& host);

}  // namespace status
