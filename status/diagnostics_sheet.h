#pragma once
// CDiagnosticsPropSheet: the status of one print server, read-only. Start reads every page
// (printer port, identity, network state per protocol, statistics, support contacts, MIB-II
// system data, wireless signal) and hands the PJL page what it needs; Refresh reads again; the
// report is written from the pages' values, never from widgets. Nothing is ever written to the
// print server. GUI-free: status/gui shows the pages this sheet lists.
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/snmp_session.h"
#include "access/snmp_target.h"
#include "status/pjl_page.h"
#include "status/status_pages.h"

namespace status {

struct StatusServices {
  // ReportError(text, error class, code, code kind).
  std::function<void(const std::string& text, int errorClass, int code, int codeKind)> report;
  std::string prefix{mib::kDefaultEnterprisePrefix};
};

// Texts of the sheet's messages.
namespace texts {
inline constexpr const char* kTitle = "Status";
inline constexpr const char* kReading = "Reading Current Status";
inline constexpr const char* kCannotInitSnmp = "Cannot initialize SNMP.";
inline constexpr const char* kGetProtocols = "Cannot get the enabled protocols information.";
inline constexpr const char* kGetWireless = "Cannot get the Wireless information.";
inline constexpr const char* kNeedsUpdating = "This utility needs updating, it does not support the newest firmware.";
inline constexpr const char* kGetPrinter = "Cannot get the printer information.";
inline constexpr const char* kGetServer = "Cannot get the server information.";
inline constexpr const char* kGetNetwork = "Cannot get the network status information.";
inline constexpr const char* kGetSystem = "Cannot get the system information.";
inline constexpr const char* kGetTechSupport = "Cannot get the technical support information.";
inline constexpr const char* kGetStatistics = "Cannot get the driver/statistics information.";
inline constexpr const char* kCannotOpenFile = "Cannot open the requested file.";
inline constexpr const char* kOverwrite = "The file \"%s\" already exists.  Overwrite file?";
inline constexpr const char* kSaveTitle = "Save Current Status Information";
inline constexpr const char* kCannotCommunicate = "Cannot communicate with the server.";
// The string-table id of one of the texts above (0 for another text).
std::uint32_t textId(const std::string& text);
}  // namespace texts

class CDiagnosticsPropSheet {
 public:
  explicit CDiagnosticsPropSheet(StatusServices services);
  ~CDiagnosticsPropSheet();
  CDiagnosticsPropSheet(const CDiagnosticsPropSheet&) = delete;
  CDiagnosticsPropSheet& operator=(const CDiagnosticsPropSheet&) = delete;

  // "Status - ADDRESS".
  static std::string titleFor(const std::string& address);

  // Reads everything: 0 when the sheet can be shown.
  int Start(snmpaccess::SnmpTarget& target, int port, const std::string& name, const std::string& serialNumber,
            bool netwareClient);
  // "&Refresh": reads again (NetWare client flag 0). On failure the pages keep what they held.
  int Refresh();

  // The pages in tab order: Printer, Server, Network, Statistics, Tech Support, System, then PJL
  // for a unit addressed over IP, then Wireless when the unit has it.
  std::vector<CStatusPage*> pages();
  bool hasPjlPage() const { return pjlPresent_; }
  bool hasWirelessPage() const { return wirelessAdded_; }

  CPrinterStatusPage& printerPage() { return printer_; }
  CServerStatusPage& serverPage() { return server_; }
  CNetworkStatusPage& networkPage() { return network_; }
  CStatisticsPage& statisticsPage() { return statistics_; }
  CTechSupportPage& techSupportPage() { return techSupport_; }
  CSystemStatusPage& systemPage() { return system_; }
  CWirelessStatusPage& wirelessPage() { return wireless_; }
  CPjlPage& pjlPage() { return pjl_; }
  const std::string& name() const { return name_; }
  // The name and serial number the report and the PJL page use (the list row's, given by Start).
  void setIdentity(const std::string& name, const std::string& serialNumber) {
    name_ = name;
    serial_ = serialNumber;
    pjl_.setIdentity(name, serialNumber);
  }

  // The status report of the last read, created at `when`.
  std::string report(std::time_t when);
  // Writes the report to `path` (atomically): 0, or 99 with "Cannot open the requested file."
  // reported.
  int saveReport(const std::string& path, std::time_t when);
  // The default file name of the report.
  std::string defaultReportName() const;

 private:
  int readAll(bool netwareClient);
  void fail(const char* text, int code, int errorClass = 1);
  void advance(int n);

  StatusServices services_;
  snmpaccess::SnmpTarget* target_ = nullptr;
  CPrinterStatusPage printer_;
  CServerStatusPage server_;
  CNetworkStatusPage network_;
  CStatisticsPage statistics_;
  CTechSupportPage techSupport_;
  CSystemStatusPage system_;
  CWirelessStatusPage wireless_;
  CPjlPage pjl_;
  std::vector<std::pair<std::int32_t, std::string>> protocols_;
  std::string name_;
  std::string serial_;
  int port_ = 0;
  int position_ = 0;
  bool wirelessAdded_ = false;
  bool pjlPresent_ = true;
};

}  // namespace status
