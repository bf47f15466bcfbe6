#pragma once
// What trellanctl's backup, restore and reset share: the sheet's services on the command line
// (messages on stderr, waits that Ctrl-C stops, finding the unit again after a restart) and the
// SETs that the sheet's pages would send now, without the values of write-only variables.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/cmd_snmp_common.h"
#include "config/config_sheet.h"
#include "config/reset_server.h"

namespace cli::sheetcmd {

// The text of a string id ("" when none).
std::string textOf(std::uint32_t id);

// "trellanctl NAME: TEXT (CODE: meaning)" on stderr.
void reportLine(Context& ctx, const std::string& command, std::uint32_t text, int code);

// Finds the unit again: its server information answers at the target's address.
int identifyUnit(snmpcmd::Engine& engine, snmpaccess::SnmpTarget& target, int seconds);

config::SheetServices sheetServices(Context& ctx, const std::string& command, snmpcmd::Engine& engine, int waitSeconds);
config::ResetServices resetServices(Context& ctx, const std::string& command, snmpcmd::Engine& engine, int waitSeconds);

// "OID = value" per changed variable, page by page; a pending write-only value shows as
// "OID = (write-only value)" and never with its text.
std::vector<std::string> pendingSets(config::CConfigPropSheet& sheet);

// The enterprise prefix of a product-family code ("" or the native codes: the native prefix);
// false when the settings' family table does not know the code.
bool familyPrefix(const std::string& code, std::string& prefix);

// Reads the settings' Timeouts (or the --timeout given) into the group layer.
void applyTimeouts(const snmpcmd::Options& options);

// The start of a command on one unit: the engine running, the target made from the address and
// the options, the time-outs applied and the family's enterprise prefix. False with `exit` set when
// the command ends there.
bool openUnit(Context& ctx, const std::string& command, const std::string& address, const snmpcmd::Options& snmp,
              const std::string& family, snmpcmd::Engine& engine, snmpaccess::SnmpTarget& target, std::string& prefix,
              int& exit);

}  // namespace cli::sheetcmd
