#include "netware/nw_config.h"

#include <algorithm>
#include <cstdio>

#include "netware/bindery_name.h"
#include "netware/nw_records.h"

namespace netware {

int CNwFileServer::assignedCount() const {
  return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const auto& e) { return e.assigned; }));
}

void CNetWareConfig::message(const std::string& text) const {
  if (showMessage)
    showMessage(text);
  else
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool CNetWareConfig::isAttached(const std::string& server) const {
  return std::find(attachedServers.begin(), attachedServers.end(), server) != attachedServers.end();
}

int CNetWareConfig::findServer(const std::string& name) const {
  for (std::size_t i = 0; i < servers.size(); ++i)
    if (servers[i].name == name) return static_cast<int>(i);
  return -1;
}

void CNetWareConfig::setMode(int m) {
  modeSet = m == mode;
  mode = m;
}

std::uint32_t CNetWareConfig::attachServers() {
  ++useCount;
  std::uint32_t handles[50] = {};
  std::uint16_t count = 0;
  const std::uint32_t r = fnk_.ListConnections(handles, 50, &count);
  clientPresent = r != kFnkNotAvailable;
  for (int i = 0; i < std::min<int>(count, 50); ++i) {
    std::uint32_t status = 0, extra = 0;
    if (fnk_.GetConnectionStatus(handles[i], &status, &extra) != 0 || (status & 0xFF) != 0x33) continue;
    char name[kBinderyNameField] = {};
    if (fnk_.GetServerName(handles[i], name) != 0) continue;
    const std::string server = nameFromField(reinterpret_cast<const std::uint8_t*>(name), sizeof name);
    if (!server.empty() && !isAttached(server)) attachedServers.push_back(server);
  }
  return r;
}

std::string CNetWareConfig::directoryOf(std::uint32_t conn, const std::string& ps, std::uint32_t* id) const {
  std::uint32_t psId = 0;
  if (fnk_.GetObjectId(conn, ps.c_str(), kTypePrintServer, &psId) != 0) return {};
  if (id) *id = psId;
  return objectDirectoryName(psId);
}

bool CNetWareConfig::queueServedBy(std::uint32_t conn, const std::string& queue, std::uint32_t psId) const {
  // A server answering "more" forever must not hold us: 256 segments are 8192 members.
  for (int segment = 1; segment <= 255; ++segment) {
    std::uint8_t value[kPropertySegment] = {};
    std::uint8_t more = 0, flags = 0;
    if (fnk_.ReadPropertyValue(conn, queue.c_str(), kTypeQueue, "Q_SERVERS", static_cast<std::uint8_t>(segment), value,
                               &more, &flags) != 0)
      return false;
    for (std::uint32_t id : setMembersFromSegment(value, sizeof value))
      if (id == psId) return true;
    if (more != 0xFF) return false;
  }
  return false;
}

int CNetWareConfig::readFileServ(std::vector<std::string>& names) {
  names.clear();
  std::uint32_t conn = 0;
  if (fnk_.GetConnectionByName(defaultFileServer.c_str(), &conn) != 0) {
    message(kTextFileServUnreadable);
    return kNwFileServUnreadable;
  }
  std::uint32_t psId = 0;
  const std::uint32_t r = fnk_.GetObjectId(conn, printServerName.c_str(), kTypePrintServer, &psId);
  if (r == kFnkNoSuchObject) return 0;
  if (r != 0) {
    message(kTextFileServUnreadable);
    return kNwFileServUnreadable;
  }
  const std::string dir = objectDirectoryName(psId);
  if (!volumes_.directoryExists(defaultFileServer, dir)) return 0;
  bool failed = false;
  const auto file = volumes_.readFile(defaultFileServer, dir, "FILESERV", &failed);
  if (failed) {
    message(kTextFileServUnreadable);
    return kNwFileServUnreadable;
  }
  if (!file) return 0;
  for (const std::string& name : fileServNames(*file)) {
    if (name.empty() || name == defaultFileServer) continue;
    if (fnk_.ScanObject(conn, name.c_str(), kTypeFileServer, nullptr, nullptr) == 0) names.push_back(name);
  }
  return 0;
}

int CNetWareConfig::readQueueAssignments() {
  servers.clear();
  if (defaultFileServer.empty() || !isAttached(defaultFileServer)) return 0;
  std::vector<std::string> others;
  if (const int rc = readFileServ(others)) return rc;
  std::vector<std::string> names{defaultFileServer};
  for (const auto& n : others)
    if (std::find(names.begin(), names.end(), n) == names.end()) names.push_back(n);

  for (const std::string& name : names) {
    CNwFileServer fs;
    fs.name = name;
    fs.attached = isAttached(name);
    std::uint32_t conn = 0, psId = 0;
    if (fs.attached && fnk_.GetConnectionByName(name.c_str(), &conn) == 0 &&
        fnk_.GetObjectId(conn, printServerName.c_str(), kTypePrintServer, &psId) == 0) {
      if (mode == kModeRPrinter) {
        const std::string dir = objectDirectoryName(psId);
        for (std::size_t port = 0; port < printerNumbers.size(); ++port) {
          if (printerNumbers[port] >= kNoPrinterNumber) continue;
          const auto file = volumes_.readFile(name, dir, queueFileName(printerNumbers[port]));
          if (!file) continue;
          for (const std::string& q : queueNames(*file))
            if (!q.empty() && queueServedBy(conn, q, psId))
              fs.entries.push_back({q, 1, true, static_cast<int>(port)});
        }
      } else {
        std::uint32_t id = kScanStart;
        char qname[kBinderyNameField];
        for (int guard = 0; guard < 65536; ++guard) {
          std::fill(std::begin(qname), std::end(qname), '\0');
          if (fnk_.ScanObject(conn, "*", kTypeQueue, &id, qname) != 0) break;
          const std::string q = nameFromField(reinterpret_cast<const std::uint8_t*>(qname), sizeof qname);
          if (!q.empty() && queueServedBy(conn, q, psId)) fs.entries.push_back({q, 1, true, -1});
        }
      }
    }
    servers.push_back(std::move(fs));
  }

  if (mode != kModeRPrinter) {
    std::uint32_t conn = 0;
    if (fnk_.GetConnectionByName(defaultFileServer.c_str(), &conn) != 0) return 0;
    const std::string dir = directoryOf(conn, printServerName);
    if (dir.empty()) return 0;
    const auto file = volumes_.readFile(defaultFileServer, dir, "ROUTING");
    if (!file) return 0;
    for (const RoutingRecord& r : routingRecords(*file)) {
      const int s = findServer(r.fileServer);
      if (s < 0 || r.queue.empty()) continue;
      CNwFileServer& fs = servers[static_cast<std::size_t>(s)];
      const int port = r.port - 1;
      if (!fs.attached) {
        fs.entries.push_back({r.queue, 1, true, port});
        continue;
      }
      auto first = std::find_if(fs.entries.begin(), fs.entries.end(), [&](const auto& e) { return e.queue == r.queue; });
      if (first == fs.entries.end()) continue;
      if (first->port < 0)
        first->port = port;
      else
        fs.entries.push_back({r.queue, 1, true, port});
    }
  }
  return 0;
}

int CNetWareConfig::addQueue(const std::string& fileServer, const std::string& queue, int* index) {
  int total = 0, withQueues = 0;
  for (const auto& fs : servers) {
    total += fs.assignedCount();
    withQueues += fs.assignedCount() > 0 ? 1 : 0;
  }
  if (total >= kNwMaxQueues) {
    message(kTextTooManyQueues);
    return kNwTooManyQueues;
  }
  int s = findServer(fileServer);
  if (s < 0) {
    if (withQueues >= kNwMaxServersWithQueues) {
      message(kTextTooManyServers);
      return kNwTooManyServers;
    }
    servers.push_back({fileServer, {}, true});
    s = static_cast<int>(servers.size()) - 1;
  }
  auto& entries = servers[static_cast<std::size_t>(s)].entries;
  entries.push_back({queue, 0, true, -1});
  queueAssignmentsChanged = true;
  if (index) *index = static_cast<int>(entries.size()) - 1;
  return 0;
}

void CNetWareConfig::removeQueue(std::size_t server, std::size_t entry) {
  if (server >= servers.size() || entry >= servers[server].entries.size()) return;
  auto& entries = servers[server].entries;
  // A queue read from the server stays listed, unassigned, so that the next apply takes the
  // print server out of its Q_SERVERS; without that, a removed queue would come back.
  if (entries[entry].origin == 1)
    entries[entry].assigned = false;
  else
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(entry));
  queueAssignmentsChanged = true;
}

void CNetWareConfig::queueReport(std::string& text) const {
  char line[160];
  for (const auto& fs : servers) {
    if (fs.entries.empty()) continue;
    std::snprintf(line, sizeof line, "\r\nQueues On Server:  %s\r\n", fs.name.c_str());
    text += line;
    if (!fs.attached) {
      text += "\t    <No Access>\r\n";
      continue;
    }
    for (const auto& e : fs.entries) {
      if (!e.assigned) continue;
      std::snprintf(line, sizeof line, "\tPort %i: %s\r\n", e.port + 1, e.queue.c_str());
      text += line;
    }
  }
}

}  // namespace netware
