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
  // Given on the command line, whatever its value: only then does it replace the Timeouts settings.
  bool timeoutGiven = false;
};

// The --timeout to put before the Timeouts settings, or 0 when it was not given.
inline std::uint32_t commandLineTimeout(const Options& options) { return options.timeoutGiven ? options.timeout : 0; }

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

// Empty when `address` is a usable print server address (dotted IPv4 or a host name that
// resolves, IPX network-node, COM1..COM9); else why not.
std::string addressProblem(const std::string& address);
// Empty, or the refusal of the loopback guard (TRELLAN_LOOPBACK_ONLY) for an IPv4 address in
// host order: said before anything is sent.
std::string loopbackRefusal(std::uint32_t address);

// Fills `target`; false when the address is not valid (a usage message printed, `exit` 2) or
// the loopback guard refuses it (`exit` 1).
bool makeTarget(Context& ctx, const std::string& command, const std::string& address, const Options& options,
                snmpaccess::ProgressWindow* progress, snmpaccess::SnmpTarget& target, int& exit);

// Prints the failure of a request: code, meaning, the reply's error status and index when it
// had one, and the OID it names when known. Returns kExitFailed.
int reportResult(Context& ctx, const std::string& command, int code, int errorStatus, int errorIndex,
                 const std::string& oid = {});

// One line "OID = SYNTAX:VALUE" (text) or an object {"oid","syntax","value"} (JSON) per binding.
void printBindings(Context& ctx, const std::vector<snmpaccess::CVarBind*>& bindings);

}  // namespace cli::snmpcmd
