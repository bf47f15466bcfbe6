#pragma once
// The pages of the status sheet without a display. Each page reads its groups (Read), turns the
// values into the rows it shows (ShowValues) and keeps them for the Qt page and for the report.
// Nothing here writes to the print server.
#include <cstdint>
#include <memory>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "access/group_classes.h"
#include "access/snmp_session.h"
#include "status/tcp_connections.h"

namespace status {
class NetWareSection;
}

namespace status {

// One label and its value; a row the unit does not report is kept but not shown.
struct StatusRow {
  std::string label;
  std::string value;
  bool shown = true;
};

class CStatusPage {
 public:
  virtual ~CStatusPage() = default;
  virtual const char* title() const = 0;
  virtual int Read(snmpaccess::CSnmpSession& session) = 0;
  // The rows from the values of the last read.
  virtual void ShowValues() = 0;
  const std::vector<StatusRow>& rows() const { return rows_; }
  // The value of the row with this label (empty when none).
  std::string value(std::string_view label) const;

 protected:
  void add(std::string label, std::string value, bool shown = true) {
    rows_.push_back({std::move(label), std::move(value), shown});
  }
  std::vector<StatusRow> rows_;
};

// Values of a group read as the pages show them.
std::string textOf(const snmpaccess::CMibGroup& g, int index);
std::int32_t intOf(const snmpaccess::CMibGroup& g, int index, std::int32_t fallback = 0);
std::string ipOf(const snmpaccess::CMibGroup& g, int index);

class CServerStatusPage : public CStatusPage {
 public:
  explicit CServerStatusPage(const std::string& prefix);
  const char* title() const override { return "Server"; }
  int Read(snmpaccess::CSnmpSession& session) override { return group_.read(session); }
  void ShowValues() override;
  const snmpaccess::CServerInfoGroup& group() const { return group_; }

 private:
  snmpaccess::CServerInfoGroup group_;
};

class CSystemStatusPage : public CStatusPage {
 public:
  CSystemStatusPage();
  const char* title() const override { return "System"; }
  int Read(snmpaccess::CSnmpSession& session) override { return group_.read(session); }
  void ShowValues() override;

 private:
  snmpaccess::CSystemGroup group_;
};

class CStatisticsPage : public CStatusPage {
 public:
  explicit CStatisticsPage(const std::string& prefix);
  const char* title() const override { return "Statistics"; }
  int Read(snmpaccess::CSnmpSession& session) override { return group_.read(session); }
  void ShowValues() override;

 private:
  snmpaccess::CStatisticsGroup group_;
};

class CTechSupportPage : public CStatusPage {
 public:
  explicit CTechSupportPage(const std::string& prefix);
  const char* title() const override { return "Tech Support"; }
  int Read(snmpaccess::CSnmpSession& session) override { return group_.read(session); }
  void ShowValues() override;

 private:
  snmpaccess::CTechSupportGroup group_;
};

// PJL port states: 0 no printer, 1 printer, 2 printer with automatic language switching.
inline constexpr std::uint8_t kPortNoPrinter = 0;
inline constexpr std::uint8_t kPortPrinter = 1;
inline constexpr std::uint8_t kPortAutoSwitch = 2;

class CPrinterStatusPage : public CStatusPage {
 public:
  explicit CPrinterStatusPage(const std::string& prefix);
  const char* title() const override { return "Printer"; }
  int Read(snmpaccess::CSnmpSession& session) override;
  int Read(snmpaccess::CSnmpSession& session, int port) {
    port_ = port;
    return Read(session);
  }
  void ShowValues() override;

  int portCount() const;
  int port() const { return port_; }
  // Another port chosen in "Port &Number:" (out of range is ignored).
  void selectPort(int port);
  // The port list is hidden with its label when there is only one port.
  bool portListShown() const { return portCount() > 1; }
  // One state per port row, in row order.
  std::vector<std::uint8_t> portStates() const;
  std::uint32_t capabilities() const;

 private:
  const snmpaccess::CMibGroup* row(int port) const;
  snmpaccess::COutputPortGroup group_;
  int port_ = 0;
};

class CWirelessStatusPage : public CStatusPage {
 public:
  explicit CWirelessStatusPage(const std::string& prefix);
  const char* title() const override { return "Wireless"; }
  int Read(snmpaccess::CSnmpSession& session) override { return group_.read(session); }
  void ShowValues() override;

 private:
  snmpaccess::CWirelessGroup group_;
};

// The Network page: the installed protocols, one group per protocol, the TCP connection list,
// and the section text of the protocol chosen in its list.
class CNetworkStatusPage : public CStatusPage {
 public:
  explicit CNetworkStatusPage(const std::string& prefix);
  ~CNetworkStatusPage() override;
  const char* title() const override { return "Network"; }
  int Read(snmpaccess::CSnmpSession& session) override;
  // The row holds the text of the chosen protocol.
  void ShowValues() override;

  // Protocols of the last read in list order, (number, name).
  const std::vector<std::pair<std::int32_t, std::string>>& protocols() const { return protocols_; }
  // The list's items: protocols 1 to 5 (item data = number).
  std::vector<std::pair<std::int32_t, std::string>> items() const;
  void selectProtocol(std::int32_t number);
  std::int32_t selected() const { return selected_; }
  // The section text of a protocol (empty for one without a section or not read).
  std::string sectionText(std::int32_t number) const;
  const TcpWalk& connections() const { return walk_; }
  // Whether the next read collects the workstation's NetWare connections and queue assignments.
  void setNetWareClient(bool present) { netwareClient_ = present; }

 private:
  std::string tcpIpText() const;
  std::string statusLine(std::int32_t number) const;
  bool enabled(std::int32_t number) const;
  std::string prefix_;
  std::vector<std::pair<std::int32_t, std::string>> protocols_;
  std::unique_ptr<snmpaccess::CTcpIpGroup> tcpip_;
  std::unique_ptr<snmpaccess::CVinesGroup> vines_;
  std::unique_ptr<snmpaccess::CEtherTalkGroup> ethertalk_;
  std::vector<std::pair<std::int32_t, std::int32_t>> enables_;  // (protocol, enable value)
  TcpWalk walk_;
  std::int32_t selected_ = 0;
  std::unique_ptr<NetWareSection> netware_;
  bool netwareClient_ = false;
};

}  // namespace status
