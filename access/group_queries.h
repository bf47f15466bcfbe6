#pragma once
// Reads that the configuration pages and device queries run as one step: the wireless settings
// with their lists, and the state of the printer behind an output port.
#include <memory>
#include <string>
#include <string_view>

#include "access/group_classes.h"

namespace snmpaccess {

struct WirelessReading {
  std::unique_ptr<CWirelessGroup> settings;
  // Present only from wireless level 3 (and level 0); null below.
  std::unique_ptr<CWirelessListGroup> lists;
  std::unique_ptr<CWirelessCountryGroup> countries;
  int level() const { return settings ? settings->mibVersion() : kVersionUnknown; }
};

// Reads CWirelessGroup, then at level 3 and above (or 0) the encryption lists and the
// countries. Returns the first failure; what was read before it stays in `out`.
int readWireless(CSnmpSession& session, std::string_view prefix, WirelessReading& out);

struct PrinterStatusReading {
  bool read = false;             // the Printer-MIB entries answered
  std::int32_t mediaPathStatus = 0;
  std::string stateText;         // "On-line", "Off-line", "Transitioning", "Printer Error"
  std::string console;           // the console display as plain text
};

// Reads the printer of output port `port` (1-based; Printer-MIB entry port.1). Returns the
// request's code; a print server without the Printer MIB answers noSuchName (3157).
int probePrinterStatus(CSnmpSession& session, int port, PrinterStatusReading& out);

}  // namespace snmpaccess
