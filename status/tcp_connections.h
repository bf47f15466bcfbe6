#pragma once
// The unit's TCP connection table (MIB-II tcpConnState), walked with GETNEXT one row at a time.
// The walk ends at the first failed request, at the first name outside the table, at the first
// name that does not sort after the one before (an agent that loops or goes back), and after
// kMaxTcpConnections rows: a unit cannot keep the status sheet reading forever.
#include <cstdint>
#include <string>
#include <vector>

#include "access/snmp_session.h"

namespace status {

inline constexpr const char* kTcpConnStateOid = "1.3.6.1.2.1.6.13.1.1";
inline constexpr int kMaxTcpConnections = 1024;

struct TcpConnection {
  std::string localAddress;
  std::uint32_t localPort = 0;
  std::string remoteAddress;
  std::uint32_t remotePort = 0;
  std::int32_t state = 0;
};

struct TcpWalk {
  std::vector<TcpConnection> rows;
  int requests = 0;
  bool stoppedByOrder = false;  // the agent answered a name that does not increase
};

TcpWalk walkTcpConnections(snmpaccess::CSnmpSession& session, int maxRows = kMaxTcpConnections);

// The connections part of the TCP/IP section: empty without rows, else the heading and one line
// per row.
std::string connectionsText(const std::vector<TcpConnection>& rows);

}  // namespace status
