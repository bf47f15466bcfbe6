// The bindery setup of a print server: its object with properties and rights, its directory and
// configuration files, and its place in the Q_SERVERS set of every queue it services. Records
// are built first and each file replaced whole at the end, so a failure part way leaves a file
// server's configuration files as they were.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "netware/bindery_name.h"
#include "netware/nw_config.h"
#include "netware/nw_records.h"

namespace netware {

namespace {

std::string format(const char* fmt, const std::string& a, const std::string& b = {}) {
  char text[256];
  std::snprintf(text, sizeof text, fmt, a.c_str(), b.c_str());
  return text;
}

bool okOrMember(std::uint32_t r) { return r == 0 || r == kFnkAlreadyInSet; }

}  // namespace

std::uint32_t CNetWareConfig::createPrintServer(const std::string& name, std::uint32_t conn) {
  if (!fitsBinderyName(name)) return kFnkInvalidName;
  if (fnk_.ScanObject(conn, name.c_str(), kTypePrintServer, nullptr, nullptr) == 0) return 0;
  const char* ps = name.c_str();
  std::uint32_t r = fnk_.CreateObject(conn, ps, kTypePrintServer, 0, 0x31);
  if (r != 0) return r;
  bool directoryCreated = false;
  std::string directory;
  std::uint32_t userId = 0;
  char user[kBinderyNameField] = {};
  if (r == 0) r = fnk_.GetConnectionUserId(conn, &userId);
  if (r == 0) r = fnk_.GetObjectName(conn, userId, user);
  if (r == 0) r = fnk_.CreateProperty(conn, ps, kTypePrintServer, "PS_USERS", 2, 0x31);
  if (r == 0) r = fnk_.CreateProperty(conn, ps, kTypePrintServer, "PS_OPERATORS", 2, 0x31);
  if (r == 0) r = fnk_.CreateProperty(conn, ps, kTypePrintServer, "IDENTIFICATION", 0, 0x31);
  std::uint8_t value[kPropertySegment] = {};
  if (r == 0) r = fnk_.WritePropertyValue(conn, ps, kTypePrintServer, "IDENTIFICATION", value);
  if (r == 0) {
    r = fnk_.ChangeObjectPassword(conn, ps, kTypePrintServer, "", "");
    if (r == kFnkNoPasswordToChange) r = 0;
  }
  if (r == 0) r = fnk_.CreateProperty(conn, ps, kTypePrintServer, "ACCOUNT_BALANCE", 0, 0x31);
  value[4] = 0x80;
  if (r == 0) r = fnk_.WritePropertyValue(conn, ps, kTypePrintServer, "ACCOUNT_BALANCE", value);
  std::uint32_t psId = 0;
  if (r == 0) r = fnk_.GetObjectId(conn, ps, kTypePrintServer, &psId);
  if (r == 0) {
    directory = "SYS:SYSTEM/" + objectDirectoryName(psId);
    r = fnk_.CreateDirectory(conn, directory.c_str(), 0xFB);
    directoryCreated = r == 0;
  }
  if (r == 0) r = fnk_.AddTrustee(conn, directory.c_str(), psId, 0xDF);
  if (r == 0) r = fnk_.AddToSet(conn, ps, kTypePrintServer, "PS_OPERATORS", "SUPERVISOR", kTypeUser);
  if (r == 0) {
    r = fnk_.AddToSet(conn, ps, kTypePrintServer, "PS_OPERATORS", user, kTypeUser);
    if (okOrMember(r)) r = 0;
  }
  if (r == 0) r = fnk_.AddToSet(conn, ps, kTypePrintServer, "PS_USERS", "EVERYONE", kTypeGroup);
  if (r == 0) {
    r = fnk_.AddToSet(conn, ps, kTypePrintServer, "PS_USERS", user, kTypeUser);
    if (okOrMember(r)) r = 0;
  }
  if (r != 0) {
    fnk_.DeleteObject(conn, ps, kTypePrintServer);
    if (directoryCreated) fnk_.DeleteDirectory(conn, directory.c_str());
  }
  return r;
}

std::uint32_t CNetWareConfig::createQueue(const std::string& name, std::uint32_t conn) {
  if (!fitsBinderyName(name)) return kFnkInvalidName;
  const char* q = name.c_str();
  if (fnk_.ScanObject(conn, q, kTypeQueue, nullptr, nullptr) == 0) return kFnkObjectExists;
  std::uint32_t userId = 0;
  char userField[kBinderyNameField] = {};
  std::uint32_t r = fnk_.GetConnectionUserId(conn, &userId);
  if (r == 0) r = fnk_.GetObjectName(conn, userId, userField);
  if (r != 0) return r;
  const std::string user = nameFromField(reinterpret_cast<const std::uint8_t*>(userField), sizeof userField);
  std::uint32_t queueId = 0;
  r = fnk_.CreateQueue(conn, q, "SYS:SYSTEM", &queueId);
  if (r != 0) return r;
  r = fnk_.ChangePropertySecurity(conn, q, kTypeQueue, "Q_OPERATORS", 0x31);
  if (r == 0) r = fnk_.AddToSet(conn, q, kTypeQueue, "Q_OPERATORS", "SUPERVISOR", kTypeUser);
  if (r == 0 && user != "SUPERVISOR") r = fnk_.AddToSet(conn, q, kTypeQueue, "Q_OPERATORS", user.c_str(), kTypeUser);
  if (r == 0) r = fnk_.AddToSet(conn, q, kTypeQueue, "Q_USERS", "EVERYONE", kTypeGroup);
  if (r == 0) {
    r = fnk_.AddToSet(conn, q, kTypeQueue, "Q_USERS", user.c_str(), kTypeUser);
    if (r == kFnkAlreadyInSet) r = 0;
  }
  if (r != 0) fnk_.RemoveQueue(conn, queueId);
  return r;
}

std::uint32_t CNetWareConfig::attachQueue(const std::string& queue, const std::string& ps, std::uint32_t conn) {
  std::uint32_t id = 0;
  if (const std::uint32_t r = fnk_.GetObjectId(conn, queue.c_str(), kTypeQueue, &id)) return r;
  if (const std::uint32_t r = fnk_.GetObjectId(conn, ps.c_str(), kTypePrintServer, &id)) return r;
  const std::uint32_t r = fnk_.IsInSet(conn, queue.c_str(), kTypeQueue, "Q_SERVERS", ps.c_str(), kTypePrintServer);
  if (r != kFnkNotInSet) return r;
  return fnk_.AddToSet(conn, queue.c_str(), kTypeQueue, "Q_SERVERS", ps.c_str(), kTypePrintServer);
}

int CNetWareConfig::applyOnServer(CNwFileServer& fs) {
  if (!fs.attached || fs.entries.empty()) return 0;
  std::uint32_t conn = 0;
  if (fnk_.GetConnectionByName(fs.name.c_str(), &conn) != 0) return kNwNoConnection;
  const char* ps = printServerName.c_str();
  if (fs.assignedCount() > 0) {
    if (const std::uint32_t r = createPrintServer(printServerName, conn)) {
      message(format("Error creating the print server on %s.", fs.name));
      return static_cast<int>(r);
    }
    if (passwordChanged) {
      const std::uint32_t r = fnk_.ChangeObjectPassword(conn, ps, kTypePrintServer, "", password.c_str());
      if (r != 0 && r != kFnkNoPasswordToChange) {
        message(format("Error setting the print server password on %s.", fs.name));
        return static_cast<int>(r);
      }
    }
  }
  if (mode != kModeRPrinter && (printServerNameChanged || fontQueuesChanged)) {
    std::uint32_t id = kScanStart;
    char q[kBinderyNameField];
    for (int guard = 0; guard < 65536; ++guard) {
      std::memset(q, 0, sizeof q);
      if (fnk_.ScanObject(conn, "*", kTypeQueue, &id, q) != 0) break;
      const std::string name = nameFromField(reinterpret_cast<const std::uint8_t*>(q), sizeof q);
      fnk_.DeleteFromSet(conn, name.c_str(), kTypeQueue, "Q_SERVERS", ps, kTypePrintServer);
    }
  }
  for (const auto& e : fs.entries) {
    if (e.assigned) {
      if (const std::uint32_t r = attachQueue(e.queue, printServerName, conn)) {
        message(format("Error attaching %s on %s.", e.queue, fs.name));
        return static_cast<int>(r);
      }
    } else if (std::none_of(fs.entries.begin(), fs.entries.end(),
                            [&](const auto& o) { return o.assigned && o.queue == e.queue; })) {
      fnk_.DeleteFromSet(conn, e.queue.c_str(), kTypeQueue, "Q_SERVERS", ps, kTypePrintServer);
    }
  }
  if (mode != kModeRPrinter) return 0;

  // Every port with queues needs its printer number; checked before any file is touched.
  for (const auto& e : fs.entries)
    if (e.assigned && e.port >= 0 &&
        (static_cast<std::size_t>(e.port) >= printerNumbers.size() ||
         printerNumbers[static_cast<std::size_t>(e.port)] > 254))
      return kNwPrinterNumberMissing;
  const std::string dir = directoryOf(conn, printServerName);
  for (std::size_t port = 0; port < printerNumbers.size(); ++port) {
    const int number = printerNumbers[port];
    if (number >= kNoPrinterNumber) continue;
    std::string queues;
    for (const auto& e : fs.entries)
      if (e.assigned && e.port == static_cast<int>(port)) queues += queueRecord(e.queue);
    if (dir.empty() || !volumes_.writeFile(fs.name, dir, queueFileName(number), queues)) {
      message(format("Error creating the QUEUE file on %s.", fs.name));
      return kNwQueueFileNotCreated;
    }
    const std::string existing = volumes_.readFile(fs.name, dir, printFileName(number)).value_or(std::string());
    if (!volumes_.writeFile(fs.name, dir, printFileName(number), printRecord(number, existing))) {
      message(format("Error creating the PRINT file on %s.", fs.name));
      return -1;
    }
  }
  return 0;
}

int CNetWareConfig::applyBindery() {
  for (const std::string& font : fontQueues) {
    if (font.empty()) continue;
    const int s = findServer(defaultFileServer);
    if (s < 0) continue;
    const auto& entries = servers[static_cast<std::size_t>(s)].entries;
    if (std::any_of(entries.begin(), entries.end(), [&](const auto& e) { return e.assigned && e.queue == font; })) {
      message(format("%s is selected as both a font queue and a print queue, it needs to be removed from one of the "
                     "settings.",
                     font));
      return kNwFontQueueConflict;
    }
  }
  if (!defaultFileServerChanged && !printServerNameChanged && !fontQueuesChanged && !passwordChanged && !modeSet &&
      !queueAssignmentsChanged)
    return 0;
  queueAssignmentsChanged = true;
  if (std::all_of(servers.begin(), servers.end(), [](const auto& fs) { return fs.entries.empty(); })) return 0;

  std::string routingDir;
  if (mode != kModeRPrinter) {
    std::uint32_t conn = 0;
    if (fnk_.GetConnectionByName(defaultFileServer.c_str(), &conn) != 0) return kNwNoConnection;
    if (const std::uint32_t r = createPrintServer(printServerName, conn)) {
      message(format("Error creating the print server on %s.", defaultFileServer));
      return static_cast<int>(r);
    }
    routingDir = directoryOf(conn, printServerName);
    if (routingDir.empty() || !volumes_.directoryExists(defaultFileServer, routingDir)) return kNwRoutingNotCreated;
  }

  std::string routing;
  std::string fileServ;
  for (auto& fs : servers) {
    if (const int rc = applyOnServer(fs)) return rc;
    if (fs.attached && fs.assignedCount() == 0) continue;
    if (fs.name != defaultFileServer) fileServ += fileServRecord(fs.name);
    if (mode != kModeRPrinter)
      for (const auto& e : fs.entries)
        if (e.assigned) routing += routingRecord({fs.name, e.queue, e.port + 1});
  }
  if (mode != kModeRPrinter && !volumes_.writeFile(defaultFileServer, routingDir, "ROUTING", routing))
    return kNwRoutingNotWritten;

  std::uint32_t conn = 0;
  if (fnk_.GetConnectionByName(defaultFileServer.c_str(), &conn) == 0) {
    const std::string dir = directoryOf(conn, printServerName);
    if (!dir.empty() && volumes_.directoryExists(defaultFileServer, dir) &&
        !volumes_.writeFile(defaultFileServer, dir, "FILESERV", fileServ))
      return kNwFileServNotWritten;
  }
  return 0;
}

}  // namespace netware
