#pragma once
// The catalogue's group classes under the names the rest of the program uses. Each is a
// CMibGroup built from its table (access/mib_catalogue_*.cpp); the few that add behaviour of
// their own (printer state, server-control actions, protocol list, restore-defaults entries,
// wireless lists) add only that.
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "access/mib_group.h"

namespace snmpaccess {

template <mib::GroupId Id>
class CCatalogueGroup : public CMibGroup {
 public:
  static constexpr mib::GroupId kId = Id;
  explicit CCatalogueGroup(GroupParams params = {}) : CMibGroup(mib::group(Id), std::move(params)) {}
};

// Built with the row (port, destination) in GroupParams::row.
GroupParams rowParams(std::string_view prefix, long row, int level = -1, int ports = 0);

using CServerInfoGroup = CCatalogueGroup<mib::GroupId::ServerInfo>;
using CTechSupportGroup = CCatalogueGroup<mib::GroupId::TechSupport>;
using CSystemGroup = CCatalogueGroup<mib::GroupId::System>;
using CSnmpConfigGroup = CCatalogueGroup<mib::GroupId::SnmpConfig>;
using CStatisticsGroup = CCatalogueGroup<mib::GroupId::Statistics>;
using CTokenRingGroup = CCatalogueGroup<mib::GroupId::TokenRing>;
using CProtocolListTable = CCatalogueGroup<mib::GroupId::ProtocolListTable>;
using CProtocolEnableGroup = CCatalogueGroup<mib::GroupId::ProtocolEnable>;
using COutputPortGroup = CCatalogueGroup<mib::GroupId::OutputPort>;
using COutputPortRow = CCatalogueGroup<mib::GroupId::OutputPortRow>;
using CTcpIpGroup = CCatalogueGroup<mib::GroupId::TcpIp>;
using CGenericProtocolGroup = CCatalogueGroup<mib::GroupId::GenericProtocol>;
using CIpTrapGroup = CCatalogueGroup<mib::GroupId::IpTrap>;
using CIpTrapRow = CCatalogueGroup<mib::GroupId::IpTrapRow>;
using CIpTrapRow2 = CCatalogueGroup<mib::GroupId::IpTrapRow2>;
using CEmailTrapGroup = CCatalogueGroup<mib::GroupId::EmailTrap>;
using CEmailTrapRow = CCatalogueGroup<mib::GroupId::EmailTrapRow>;
using CEmailTrapGroup2 = CCatalogueGroup<mib::GroupId::EmailTrap2>;
using CEmailTrapRow2 = CCatalogueGroup<mib::GroupId::EmailTrapRow2>;
using CIpxTrapGroup = CCatalogueGroup<mib::GroupId::IpxTrap>;
using CIpxTrapGroup2 = CCatalogueGroup<mib::GroupId::IpxTrap2>;
using CTrapEventGroup = CCatalogueGroup<mib::GroupId::TrapEvent>;
using CNetWareGroup = CCatalogueGroup<mib::GroupId::NetWare>;
using CNetWarePortGroup = CCatalogueGroup<mib::GroupId::NetWarePort>;
using CNetWarePortRow = CCatalogueGroup<mib::GroupId::NetWarePortRow>;
using CNdsGroup = CCatalogueGroup<mib::GroupId::Nds>;
using CVinesGroup = CCatalogueGroup<mib::GroupId::Vines>;
using CVinesNameTable = CCatalogueGroup<mib::GroupId::VinesNameTable>;
using CVinesPortRow = CCatalogueGroup<mib::GroupId::VinesPortRow>;
using CEtherTalkGroup = CCatalogueGroup<mib::GroupId::EtherTalk>;
using CEtherTalkPortRow = CCatalogueGroup<mib::GroupId::EtherTalkPortRow>;
using CWirelessGroup = CCatalogueGroup<mib::GroupId::Wireless>;
using CWepKeyRow = CCatalogueGroup<mib::GroupId::WepKeyRow>;
using CWirelessCountryGroup = CCatalogueGroup<mib::GroupId::WirelessCountry>;

// Trap destinations of the second generation: once the level is known and the read has gone
// through, the number of GPIO groups is the number of set bits of variable 4 (0 when the level
// has no such variable).
class CIpTrapGroup2 : public CCatalogueGroup<mib::GroupId::IpTrap2> {
 public:
  using CCatalogueGroup::CCatalogueGroup;
  int gpioGroupCount() const;
};

// The printer behind an output port (Printer-MIB entry port.1).
class CPrinterStatusGroup : public CCatalogueGroup<mib::GroupId::PrinterStatus> {
 public:
  using CCatalogueGroup::CCatalogueGroup;
  // "On-line", "Off-line", "Transitioning" or "Printer Error"; 3332 before a successful read.
  int printerStateText(std::string_view& text) const;
  // The console display, read as plain text.
  int consoleText(std::string& out);
};

// Actions: each is a set of 2 followed by a write. The trigger is sent even when the variable
// already reads 2, so that a unit reading 2 is still reset.
class CServerControlGroup : public CCatalogueGroup<mib::GroupId::ServerControl> {
 public:
  using CCatalogueGroup::CCatalogueGroup;
  int reset(CSnmpSession& session);
  int printConfiguration(CSnmpSession& session);
  int restoreAll(CSnmpSession& session);

 private:
  int trigger(CSnmpSession& session, int index);
};

// Which protocols the print server has: the list table is created on read.
class CProtocolListGroup : public CCatalogueGroup<mib::GroupId::ProtocolList> {
 public:
  using CCatalogueGroup::CCatalogueGroup;
  // (id, name) per installed protocol, in list order; empty before a read.
  std::vector<std::pair<std::int32_t, std::string>> protocols() const;
};

// Restore-defaults entries: "Output Ports", then the installed protocols that have one.
class CRestoreDefaultsGroup : public CCatalogueGroup<mib::GroupId::RestoreDefaults> {
 public:
  explicit CRestoreDefaultsGroup(GroupParams params = {}) : CCatalogueGroup(std::move(params)) {}
  CRestoreDefaultsGroup(const CProtocolListGroup& list, std::string_view prefix);
  int entryCount() const { return count(); }
  // 3332 outside 0..count-1.
  int entryName(int index, std::string& out) const;
  // Marks an entry for restore (value 2); 3332 outside 0..count-1.
  int setEntry(int index);
};

// Protocol enables, one per installed protocol.
GroupParams protocolParams(const CProtocolListGroup& list, std::string_view prefix);

// The encryption lists of the wireless security dialog.
class CWirelessListGroup : public CCatalogueGroup<mib::GroupId::WirelessList> {
 public:
  using CCatalogueGroup::CCatalogueGroup;
  // Entries read; -1 when the second read failed.
  int entryCount() const { return extensionEntries(); }
};

// File servers a NetWare print server is attached to.
class CFileServerStatusTable : public CCatalogueGroup<mib::GroupId::FileServerStatusTable> {
 public:
  using CCatalogueGroup::CCatalogueGroup;
  int entryCount() const { return count() / 2; }
  int serverName(int entry, std::string& out) const;
  // "Up", "Down", ..., "Unknown Error (0x%x)".
  int statusText(int entry, std::string& out) const;
};

// Any catalogue group by id or class name (nullptr for an unknown name). Protocols groups take
// their protocols from params; rows their row.
std::unique_ptr<CMibGroup> makeGroup(mib::GroupId id, GroupParams params = {});
std::unique_ptr<CMibGroup> makeGroup(std::string_view className, GroupParams params = {});

}  // namespace snmpaccess
