#pragma once
// CNetWareConfig: which bindery queues on which file servers feed which output port of a print
// server, read back from the binderies and the print server's configuration files and written
// to them (objects, properties, rights, directory, files, queue attachments). Every client call
// goes through the binding; files go through the mounted SYS volumes.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "netware/fnk_binding.h"
#include "netware/nw_volumes.h"

namespace netware {

// Result codes of the NetWare configuration.
inline constexpr int kNwFileServUnreadable = 5332;
inline constexpr int kNwTooManyQueues = 5333;
inline constexpr int kNwTooManyServers = 5334;
inline constexpr int kNwFontQueueConflict = 5335;
inline constexpr int kNwRoutingNotCreated = 5338;
inline constexpr int kNwQueueFileNotCreated = 5339;
inline constexpr int kNwFileServNotWritten = 5342;
inline constexpr int kNwRoutingNotWritten = 5343;
inline constexpr int kNwNoConnection = 5344;
inline constexpr int kNwPrinterNumberMissing = 5345;

inline constexpr int kNwMaxQueues = 32;
inline constexpr int kNwMaxServersWithQueues = 8;
inline constexpr int kNoPrinterNumber = 255;

inline constexpr const char* kTextFileServUnreadable = "Error trying to read the FILESERV file.";
inline constexpr const char* kTextTooManyQueues = "You have reached the maximum number of queues.";
inline constexpr const char* kTextTooManyServers =
    "You have reached the maximum number of file servers that can be serviced.";
inline constexpr const char* kTextPrinterNumberMissing =
    "You must select a printer number for all ports that have print queues.  This number can be found on the "
    "NetWare tab.";

struct CNwQueueEntry {
  std::string queue;
  int origin = 0;  // 1 read from the server, 0 added by the user
  bool assigned = true;
  int port = -1;  // 0-based; -1 none
  // The port as the "read" query gives it: 0 for none.
  int readPort() const { return port < 0 ? 0 : port; }
};

struct CNwFileServer {
  std::string name;
  std::vector<CNwQueueEntry> entries;
  bool attached = false;
  int assignedCount() const;
};

class CNetWareConfig {
 public:
  enum Mode { kModeNeither = 1, kModePServer = 2, kModeRPrinter = 3 };

  CNetWareConfig(const CFennick& client, NwVolumes& volumes) : fnk_(client), volumes_(volumes) {}

  // Each message the configuration shows (error texts, with names filled in).
  std::function<void(const std::string&)> showMessage;

  // Collects the file servers the workstation is attached to (status 0x33 connections).
  std::uint32_t attachServers();
  // The print server's own settings (its NetWare, port and NDS groups), then the queue
  // assignments for them. Any group error ends the read with its code.
  int read(snmpaccess::CSnmpSession& session, std::string_view prefix = mib::kDefaultEnterprisePrefix);
  // The settings part of read: groups, mode and default file server, no bindery access beyond
  // the file-server check of the NetWare name.
  int readSettings(snmpaccess::CSnmpSession& session, std::string_view prefix = mib::kDefaultEnterprisePrefix);
  // Sends what the model changed in the groups: port rows, NetWare group, NDS group in that
  // order; nothing when the model was never attached, or was not read.
  int write(snmpaccess::CSnmpSession& session);
  // The queue assignments from the binderies and configuration files, for the settings held.
  int readQueueAssignments();
  int addQueue(const std::string& fileServer, const std::string& queue, int* index = nullptr);
  void removeQueue(std::size_t server, std::size_t entry);
  int applyBindery();
  void queueReport(std::string& text) const;

  // Bindery routines (also used by the NetWare pages).
  std::uint32_t createQueue(const std::string& name, std::uint32_t conn);
  std::uint32_t createPrintServer(const std::string& name, std::uint32_t conn);
  std::uint32_t attachQueue(const std::string& queue, const std::string& printServer, std::uint32_t conn);
  // True when the print server is in the queue's Q_SERVERS (read segment by segment).
  bool queueServedBy(std::uint32_t conn, const std::string& queue, std::uint32_t printServerId) const;

  void setMode(int mode);
  // The print server's settings (from its groups, or set by a page).
  int useCount = 0;
  bool clientPresent = false;
  int mibVersion = 0;
  int mode = kModePServer;
  std::string defaultFileServer;
  std::string printServerName;
  std::string password;
  std::vector<int> printerNumbers;  // per port; 255 none
  std::vector<std::string> fontQueues;
  std::vector<std::string> attachedServers;
  std::vector<CNwFileServer> servers;
  std::string netWareName;  // the NetWare name variable of the print server
  int portCount = 0;

  // The groups of the last read (null before).
  std::unique_ptr<snmpaccess::CNetWareGroup> netWareGroup;
  std::unique_ptr<snmpaccess::CNetWarePortGroup> portGroup;
  std::unique_ptr<snmpaccess::CNdsGroup> ndsGroup;

  bool defaultFileServerChanged = false;
  bool printServerNameChanged = false;
  bool queueAssignmentsChanged = false;
  bool fontQueuesChanged = false;
  bool passwordChanged = false;
  bool modeSet = false;

 private:
  bool isAttached(const std::string& server) const;
  int findServer(const std::string& name) const;
  void message(const std::string& text) const;
  int readFileServ(std::vector<std::string>& names);
  int applyOnServer(CNwFileServer& fs);
  // True when the default connection's bindery has a file server object of that name.
  bool isFileServerObject(const std::string& name) const;
  std::string directoryOf(std::uint32_t conn, const std::string& psName, std::uint32_t* id = nullptr) const;

  const CFennick& fnk_;
  NwVolumes& volumes_;
  int modeAsRead_ = 0;  // the mode the model took from the unit (2 or 3); 0 before a read
};

}  // namespace netware
