#pragma once
// The NetWare part of the Network page and of the status report: the unit's NetWare settings,
// its file servers and NDS names, its font download queues and, with the NetWare client, the
// queues it services on each file server.
#include <cstdint>
#include <string>

#include "access/snmp_session.h"
#include "netware/nw_config.h"
#include "netware/nw_volumes.h"

namespace status {

class NetWareSection {
 public:
  NetWareSection(const std::string& prefix, bool clientPresent);
  // Reads the unit's groups; with the client first the workstation's connections, and after the
  // groups the queue assignments (whose failure leaves the queue part empty, not the section).
  int read(snmpaccess::CSnmpSession& session);
  // The details after the "(Enabled)" line.
  std::string text() const;
  const netware::CNetWareConfig& config() const { return config_; }

 private:
  std::string prefix_;
  bool client_;
  netware::NwVolumes volumes_;
  netware::CNetWareConfig config_;
};

// The details of a read configuration (its groups read), as the report writes them.
std::string netWareSectionText(const netware::CNetWareConfig& c);

}  // namespace status
