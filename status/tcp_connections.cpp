#include "status/tcp_connections.h"

#include "status/status_format.h"

namespace status {

namespace {

std::string dotted(const snmpaccess::COid& oid, std::size_t from) {
  std::string out;
  for (std::size_t i = 0; i < 4; ++i) {
    if (i) out += '.';
    out += std::to_string(oid.at(from + i));
  }
  return out;
}

}  // namespace

TcpWalk walkTcpConnections(snmpaccess::CSnmpSession& session, int maxRows) {
  TcpWalk walk;
  const snmpaccess::COid prefix(kTcpConnStateOid);
  snmpaccess::COid last = prefix;
  // One request per row plus the one that finds the end; the bound covers rows the walk skips.
  const int maxRequests = maxRows + 1;
  while (walk.requests < maxRequests) {
    snmpaccess::CVarBind b(last);
    snmpaccess::CVarBind* list[] = {&b};
    ++walk.requests;
    if (session.getNext(list, 1) != 0) break;
    const snmpaccess::COid& name = b.name();
    if (!name.startsWith(prefix) || name.count() <= prefix.count()) break;
    if (name.compare(last) <= 0) {
      walk.stoppedByOrder = true;
      break;
    }
    last = name;
    // local address (4), local port, remote address (4), remote port
    if (name.count() != prefix.count() + 10) continue;
    const std::size_t at = prefix.count();
    TcpConnection row;
    row.localAddress = dotted(name, at);
    row.localPort = name.at(at + 4);
    row.remoteAddress = dotted(name, at + 5);
    row.remotePort = name.at(at + 9);
    smiINT state = 0;
    b.getInteger(state);
    row.state = state;
    walk.rows.push_back(std::move(row));
    if (static_cast<int>(walk.rows.size()) >= maxRows) break;
  }
  return walk;
}

std::string connectionsText(const std::vector<TcpConnection>& rows) {
  if (rows.empty()) return {};
  std::string out = "\r\nConnections:\r\n  Port\tRemote Address : Port\tStatus\r\n";
  for (const TcpConnection& r : rows)
    out += "  " + std::to_string(r.localPort) + serviceSuffix(r.localPort) + "\t" + r.remoteAddress + " : " +
           std::to_string(r.remotePort) + "\t" + tcpStateText(r.state) + "\r\n";
  return out;
}

}  // namespace status
