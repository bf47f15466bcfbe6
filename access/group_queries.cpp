#include "access/group_queries.h"

#include "access/result_codes.h"

namespace snmpaccess {

int readWireless(CSnmpSession& session, std::string_view prefix, WirelessReading& out) {
  out = WirelessReading{};
  out.settings = std::make_unique<CWirelessGroup>(rowParams(prefix, -1));
  if (const int rc = out.settings->read(session)) return rc;
  if (!mib::levelAtLeast(out.settings->mibVersion(), 3)) return 0;
  out.lists = std::make_unique<CWirelessListGroup>(rowParams(prefix, -1));
  if (const int rc = out.lists->read(session)) return rc;
  out.countries = std::make_unique<CWirelessCountryGroup>(rowParams(prefix, -1));
  return out.countries->read(session);
}

int probePrinterStatus(CSnmpSession& session, int port, PrinterStatusReading& out) {
  out = PrinterStatusReading{};
  if (port < 1 || port > static_cast<int>(mib::kMaxInstances)) return result::kIndexRange;
  CPrinterStatusGroup g(rowParams(mib::kDefaultEnterprisePrefix, port - 1));
  if (const int rc = g.read(session)) return rc;
  out.read = true;
  g.getInteger(0, out.mediaPathStatus);
  std::string_view state;
  if (g.printerStateText(state) == 0) out.stateText = std::string(state);
  g.consoleText(out.console);
  return 0;
}

}  // namespace snmpaccess
