// The print server's own NetWare settings: read from its NetWare, port and NDS groups into the
// configuration model, and the model's changes written back to them.
#include <string>

#include "netware/bindery_name.h"
#include "netware/nw_config.h"

namespace netware {

namespace {

// Variables of CNetWareGroup and CNetWarePortRow the model takes.
constexpr int kVarMode = 4;
constexpr int kVarPrintServerName = 5;
constexpr int kVarDefaultFileServer = 7;
constexpr int kVarNetWareName = 10;  // port 1's first font queue: the home file server in mode 3
constexpr int kExtraPassword = 0;
constexpr int kRowPrinterNumber = 1;

std::string textOf(snmpaccess::CMibGroup& g, int index) {
  std::string out;
  if (g.getDisplayText(index, out) != 0) out.clear();
  return out;
}

}  // namespace

bool CNetWareConfig::isFileServerObject(const std::string& name) const {
  if (name.empty()) return false;
  std::uint32_t conn = 0;
  if (fnk_.GetDefaultConnection(&conn) != 0) return false;
  return fnk_.ScanObject(conn, name.c_str(), kTypeFileServer, nullptr, nullptr) == 0;
}

int CNetWareConfig::readSettings(snmpaccess::CSnmpSession& session, std::string_view prefix) {
  snmpaccess::GroupParams params;
  params.prefix = std::string(prefix);
  netWareGroup = std::make_unique<snmpaccess::CNetWareGroup>(params);
  ndsGroup = std::make_unique<snmpaccess::CNdsGroup>(params);
  portGroup = std::make_unique<snmpaccess::CNetWarePortGroup>(params);
  for (snmpaccess::CMibGroup* g : {static_cast<snmpaccess::CMibGroup*>(netWareGroup.get()),
                                   static_cast<snmpaccess::CMibGroup*>(ndsGroup.get()),
                                   static_cast<snmpaccess::CMibGroup*>(portGroup.get())})
    if (const int rc = g->read(session)) return rc;

  mibVersion = netWareGroup->mibVersion();
  std::int32_t m = kModePServer;
  if (netWareGroup->getInteger(kVarMode, m) != 0) m = kModePServer;
  mode = m == kModeRPrinter ? kModeRPrinter : kModePServer;
  modeAsRead_ = mode;
  printServerName = textOf(*netWareGroup, kVarPrintServerName);
  defaultFileServer = textOf(*netWareGroup, kVarDefaultFileServer);
  netWareName = textOf(*netWareGroup, kVarNetWareName);

  // A unit may claim any number of ports; the model keeps what the rows hold.
  portCount = portGroup->rowCount();
  printerNumbers.assign(static_cast<std::size_t>(portCount), kNoPrinterNumber);
  for (int p = 0; p < portCount; ++p) {
    snmpaccess::CMibGroup* row = nullptr;
    std::int32_t n = kNoPrinterNumber;
    if (portGroup->row(p, row) == 0 && row->getInteger(kRowPrinterNumber, n) == 0)
      printerNumbers[static_cast<std::size_t>(p)] = n < 0 || n > kNoPrinterNumber ? kNoPrinterNumber : n;
  }

  if (mode == kModeRPrinter && defaultFileServer.empty()) {
    defaultFileServer = netWareName;
    if (clientPresent && !isFileServerObject(defaultFileServer)) defaultFileServer.clear();
  }
  if (defaultFileServer.empty() && !attachedServers.empty()) {
    defaultFileServer = attachedServers.front();
    defaultFileServerChanged = true;
  }
  return 0;
}

int CNetWareConfig::read(snmpaccess::CSnmpSession& session, std::string_view prefix) {
  if (const int rc = readSettings(session, prefix)) return rc;
  return readQueueAssignments();
}

int CNetWareConfig::write(snmpaccess::CSnmpSession& session) {
  if (useCount == 0 || !netWareGroup || !portGroup || !ndsGroup) return 0;
  if (mode == kModeRPrinter)
    netWareGroup->setTextIfChanged(kVarNetWareName, defaultFileServer);
  else if (isFileServerObject(netWareName))
    netWareGroup->setTextIfChanged(kVarNetWareName, "");
  // A unit reporting "neither" keeps it until the mode is really changed.
  if (mode != modeAsRead_) netWareGroup->setIntegerIfChanged(kVarMode, mode);
  if (fitsBinderyName(printServerName)) netWareGroup->setTextIfChanged(kVarPrintServerName, printServerName);
  if (passwordChanged) netWareGroup->setExtraText(kExtraPassword, password);
  for (int p = 0; p < portCount && static_cast<std::size_t>(p) < printerNumbers.size(); ++p) {
    snmpaccess::CMibGroup* row = nullptr;
    if (portGroup->row(p, row) == 0) row->setIntegerIfChanged(kRowPrinterNumber, printerNumbers[static_cast<std::size_t>(p)]);
  }
  for (snmpaccess::CMibGroup* g : {static_cast<snmpaccess::CMibGroup*>(portGroup.get()),
                                   static_cast<snmpaccess::CMibGroup*>(netWareGroup.get()),
                                   static_cast<snmpaccess::CMibGroup*>(ndsGroup.get())})
    if (const int rc = g->writeChanged(session)) return rc;
  return 0;
}

}  // namespace netware
