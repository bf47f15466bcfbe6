#include "status/diagnostics_sheet.h"

#include <algorithm>
#include <cstdlib>

#include "access/mib_catalogue.h"
#include "access/progress.h"
#include "access/result_codes.h"
#include "platform/atomic_file.h"
#include "platform/net_config.h"
#include "platform/report_error.h"
#include "status/status_format.h"

namespace status {

namespace {

constexpr int kClassProgram = 1;
constexpr int kNoSuchName = 3157;

int familyErrorClass(std::uint16_t family) {
  switch (family) {
    case snmpaccess::kFamilySerial: return 6;
    case snmpaccess::kFamilyIpv4: return 1;
    case snmpaccess::kFamilyIpx: return 8;
    default: return 4;
  }
}

// The first raw printing port a unit has when it does not say: 9100, or TRELLAN_PJL_PORT.
std::uint16_t defaultRawPort() {
  if (const char* v = std::getenv("TRELLAN_PJL_PORT"); v && *v)
    if (auto p = platform::parsePort(v)) return *p;
  return kDefaultRawPort;
}

}  // namespace

std::uint32_t texts::textId(const std::string& text) {
  static constexpr std::pair<std::uint32_t, const char*> kIds[] = {
      {5018, kCannotCommunicate}, {5024, kCannotOpenFile},   {5306, kNeedsUpdating}, {42208, kCannotInitSnmp},
      {42209, kGetProtocols},     {42220, kGetWireless},     {42232, kGetServer},    {42600, kGetPrinter},
      {42601, kGetNetwork},       {42602, kGetSystem},       {42603, kGetTechSupport}, {42604, kGetStatistics},
  };
  for (const auto& [id, t] : kIds)
    if (text == t) return id;
  return 0;
}

CDiagnosticsPropSheet::CDiagnosticsPropSheet(StatusServices services)
    : services_(std::move(services)),
      printer_(services_.prefix),
      server_(services_.prefix),
      network_(services_.prefix),
      statistics_(services_.prefix),
      techSupport_(services_.prefix),
      wireless_(services_.prefix) {}

CDiagnosticsPropSheet::~CDiagnosticsPropSheet() = default;

std::string CDiagnosticsPropSheet::titleFor(const std::string& address) {
  return std::string(texts::kTitle) + " - " + address;
}

void CDiagnosticsPropSheet::fail(const char* text, int code, int errorClass) {
  if (services_.report) services_.report(text, errorClass, code, code ? 4 : 0);
}

void CDiagnosticsPropSheet::advance(int n) {
  position_ = std::min(100, position_ + n);
  if (target_ && target_->progress) target_->progress->setPercent(position_);
}

int CDiagnosticsPropSheet::Start(snmpaccess::SnmpTarget& target, int port, const std::string& name,
                                 const std::string& serialNumber, bool netwareClient) {
  target_ = &target;
  port_ = port;
  name_ = name;
  serial_ = serialNumber;
  if (target.progress) target.progress->setText(texts::kReading);
  return readAll(netwareClient);
}

int CDiagnosticsPropSheet::Refresh() {
  if (!target_) return -1;
  // A unit not addressed over IP gets the page back for the read, which takes it away again.
  pjlPresent_ = true;
  return readAll(false);
}

int CDiagnosticsPropSheet::readAll(bool netwareClient) {
  network_.setNetWareClient(netwareClient);
  position_ = 0;
  int rc = 0;
  snmpaccess::CSnmpSession session(target_, rc);
  if (rc != 0) {
    fail(texts::kCannotInitSnmp, rc, familyErrorClass(target_->family));
    return rc;
  }
  snmpaccess::GroupParams params;
  params.prefix = services_.prefix;
  snmpaccess::CProtocolListGroup list(params);
  if ((rc = list.read(session))) {
    fail(texts::kGetProtocols, rc, familyErrorClass(target_->family));
    return rc;
  }
  advance(10);
  protocols_ = list.protocols();
  // A list without protocols has no per-protocol step (and no division by its count).
  const int step = protocols_.empty() ? 0 : 40 / static_cast<int>(protocols_.size());
  bool unsupportedSaid = false;
  for (const auto& [number, protocolName] : protocols_) {
    if (number == 7) {
      rc = wireless_.Read(session);
      if (rc == kNoSuchName) {
        wirelessAdded_ = false;
      } else if (rc) {
        fail(texts::kGetWireless, rc);
        return rc;
      } else {
        wirelessAdded_ = true;
      }
    } else if (number < 1 || number > 5) {
      // Newer firmware than this program knows: said once per reading.
      if (!unsupportedSaid) fail(texts::kNeedsUpdating, 0);
      unsupportedSaid = true;
    }
    advance(step);
  }
  if ((rc = printer_.Read(session, port_))) return fail(texts::kGetPrinter, rc), rc;
  advance(15);
  if ((rc = server_.Read(session))) return fail(texts::kGetServer, rc), rc;
  advance(15);
  if ((rc = network_.Read(session))) return fail(texts::kGetNetwork, rc), rc;
  advance(25);
  if ((rc = system_.Read(session))) return fail(texts::kGetSystem, rc), rc;
  advance(15);
  if ((rc = techSupport_.Read(session))) return fail(texts::kGetTechSupport, rc), rc;
  advance(15);
  if ((rc = statistics_.Read(session))) return fail(texts::kGetStatistics, rc), rc;
  pjl_.setPort(printer_.port());
  advance(15);
  pjl_.setIdentity(name_, serial_);
  position_ = 0;
  advance(100);

  if (target_->family == snmpaccess::kFamilyIpv4) {
    // The first raw printing port: the unit's own from TCP/IP level 5, else the default.
    std::uint16_t base = defaultRawPort();
    snmpaccess::CTcpIpGroup tcpip(params);
    if (tcpip.read(session) == 0 && mib::levelAtLeast(tcpip.mibVersion(), 5)) {
      const std::int32_t p = intOf(tcpip, 17, 0);
      if (p > 0 && p < 65536) base = static_cast<std::uint16_t>(p);
    }
    pjl_.setTarget(target_->address, base, printer_.portStates());
    pjlPresent_ = true;
  } else {
    pjlPresent_ = false;
  }
  for (CStatusPage* p : pages()) p->ShowValues();
  return 0;
}

std::vector<CStatusPage*> CDiagnosticsPropSheet::pages() {
  std::vector<CStatusPage*> out = {&printer_, &server_, &network_, &statistics_, &techSupport_, &system_};
  if (wirelessAdded_) out.push_back(&wireless_);
  return out;
}

std::string CDiagnosticsPropSheet::defaultReportName() const { return reportFileName(name_); }

std::string CDiagnosticsPropSheet::report(std::time_t when) {
  for (CStatusPage* p : pages()) p->ShowValues();
  const std::string stars = "**************************************************";
  std::string r = "Print Server Current Configuration File:\r\n";
  r += "\r\n" + techSupport_.value("Company Name:") + "\r\n" + techSupport_.value("Company Location:") +
       "\r\nPhone:  " + techSupport_.value("Company Phone:") + "\r\n\r\nTechnical Support:\r\nPhone:  " +
       techSupport_.value("Technical Support:") + "\r\n";
  r += "\r\n" + stars + "\r\nCurrent Print Server Settings For: " + name_ + "\r\nFile Created: " +
       reportDate(when) + "\r\n" + stars + "\r\n";
  r += "\r\nSystem Information:\r\n-------------------";
  r += "\r\nSystem Name:  " + system_.value("Name:");
  r += "\r\nDescription:  " + system_.value("Description:");
  r += "\r\nContact:  " + system_.value("Contact:");
  r += "\r\nLocation:  " + system_.value("Location:") + "\r\n";
  r += "\r\nPrint Server Information:\r\n-------------------------";
  r += "\r\nProduct Name:  " + server_.value("Product Name:");
  r += "\r\nProduct Number:  " + server_.value("Product Number:");
  r += "\r\nSerial Number:  " + server_.value("Serial Number:");
  r += "\r\nHardware Address:  " + server_.value("H/W Address:");
  r += "\r\nCable Type:  " + server_.value("Cable Type:");
  r += "\r\nDate Code:  " + server_.value("Date Code:");
  r += "\r\nFirmware Version:  " + server_.value("F/W Version:");
  r += "\r\nMIB Version:  " + server_.value("MIB Version:");
  r += "\r\nNetwork Speed:  " + server_.value("Net Speed:") + "\r\n";
  for (const auto& [number, protocolName] : network_.protocols()) {
    if ((number < 1 || number > 5) && number != 7) break;  // an unknown protocol ends the report
    r += "\r\nNetwork Protocol Settings:  " + protocolName + "\r\n--------------------------\r\n";
    r += network_.sectionText(number);
  }
  return r;
}

int CDiagnosticsPropSheet::saveReport(const std::string& path, std::time_t when) {
  if (!platform::writeFileAtomically(path, report(when))) {
    fail(texts::kCannotOpenFile, 0, kClassProgram);
    return 99;
  }
  return 0;
}

}  // namespace status
