#pragma once
// What the SNMP subcommands of trellanctl share: their options, the address forms, the engine
// started for the command's lifetime, a headless progress window that Ctrl-C stops, and the
// printing of bindings and result codes.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "access/progress_headless.h"
#include "access/snmp_session.h"
#include "cli/command.h"

namespace cli::snmpcmd {

struct Options {
  // Empty: taken from the device access list of the address's protocol in the settings, as the
  // program does (the default entry gives the program's default community).
  std::string community;
  std::string setCommunity;  // empty: --community when given, else the access list
  std::uint32_t timeout = 500;  // hundredths of a second, as the GetTimeout setting
};

// Declares --community, --set-community and --timeout on a subcommand.
void addOptions(CLI::App& app, Options& options);

// The family code of an address text: COMn[:] serial, network-node IPX, anything else IPv4.
std::uint16_t familyOf(const std::string& address);

// Set by SIGINT; stops the current and every later wait.
extern std::atomic<bool> gInterrupted;
void installInterruptHandler();

// The engine for one command, its headless progress window and a target.
class Engine {
 public:
  Engine();
  ~Engine();
  bool started() const { return started_; }
  snmpaccess::HeadlessProgress& progress() { return *progress_; }

 private:
  bool started_ = false;
  std::unique_ptr<snmpaccess::HeadlessProgress> progress_;
};

// Fills `target`; false (with a usage message printed) when the address does not fit.
bool makeTarget(Context& ctx, const std::string& command, const std::string& address, const Options& options,
                snmpaccess::ProgressWindow* progress, snmpaccess::SnmpTarget& target);

// Prints the failure of a request: code, meaning, the reply's error status and index when it
// had one. Returns kExitFailed.
int reportResult(Context& ctx, const std::string& command, int code, int errorStatus, int errorIndex);

// One line "OID = SYNTAX:VALUE" (text) or an object {"oid","syntax","value"} (JSON) per binding.
void printBindings(Context& ctx, const std::vector<snmpaccess::CVarBind*>& bindings);

}  // namespace cli::snmpcmd
