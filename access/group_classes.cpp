#include "access/group_classes.h"

#include "access/mib_enumerations.h"
#include "access/mib_strings.h"
#include "access/result_codes.h"

namespace snmpaccess {

GroupParams rowParams(std::string_view prefix, long row, int level, int ports) {
  GroupParams p;
  p.prefix = std::string(prefix);
  p.row = row;
  p.level = level;
  p.ports = ports;
  return p;
}

int CIpTrapGroup2::gpioGroupCount() const {
  std::int32_t mask = 0;
  if (count() <= 4 || getInteger(4, mask) != 0) return 0;
  return mib::gpioGroupCount(static_cast<std::uint32_t>(mask));
}

int CPrinterStatusGroup::printerStateText(std::string_view& text) const {
  std::int32_t value = 0;
  const bool ok = wasRead() && getInteger(0, value) == 0;
  return mib::printerStateText(ok, value, text);
}

int CPrinterStatusGroup::consoleText(std::string& out) { return getPlainText(1, out); }

int CServerControlGroup::trigger(CSnmpSession& session, int index) {
  if (const int rc = forceInteger(index, 2)) return rc;
  const int rc = writeChanged(session);
  // One action per write: the next action must not send this trigger again.
  changed_[static_cast<std::size_t>(index)] = 0;
  return rc;
}
int CServerControlGroup::reset(CSnmpSession& session) { return trigger(session, 1); }
int CServerControlGroup::printConfiguration(CSnmpSession& session) { return trigger(session, 2); }
int CServerControlGroup::restoreAll(CSnmpSession& session) { return trigger(session, 3); }

std::vector<std::pair<std::int32_t, std::string>> CProtocolListGroup::protocols() const {
  std::vector<std::pair<std::int32_t, std::string>> out;
  const CMibGroup* table = child(0);
  if (!table) return out;
  for (int k = 0; k + 1 < table->count(); k += 2) {
    std::int32_t id = 0;
    std::string name;
    if (table->getInteger(k, id) != 0) continue;
    table->getDisplayText(k + 1, name);
    out.emplace_back(id, name);
  }
  return out;
}

GroupParams protocolParams(const CProtocolListGroup& list, std::string_view prefix) {
  GroupParams p;
  p.prefix = std::string(prefix);
  p.protocols = list.protocols();
  return p;
}

CRestoreDefaultsGroup::CRestoreDefaultsGroup(const CProtocolListGroup& list, std::string_view prefix)
    : CCatalogueGroup(protocolParams(list, prefix)) {}

int CRestoreDefaultsGroup::entryName(int index, std::string& out) const {
  if (index < 0 || index >= count()) return result::kIndexRange;
  out = index == 0 ? std::string(mib::catalogueString(mib::kStringOutputPorts)) : CMibGroup::entryName(index);
  return 0;
}

int CRestoreDefaultsGroup::setEntry(int index) {
  // Only 0..count-1: an index equal to the count names no entry.
  if (index < 0 || index >= count()) return result::kIndexRange;
  return forceInteger(index, 2);
}

int CFileServerStatusTable::serverName(int entry, std::string& out) const {
  if (entry < 0 || entry >= entryCount()) return result::kIndexRange;
  return getDisplayText(2 * entry, out);
}

int CFileServerStatusTable::statusText(int entry, std::string& out) const {
  if (entry < 0 || entry >= entryCount()) return result::kIndexRange;
  std::int32_t status = 0;
  if (const int rc = getInteger(2 * entry + 1, status)) return rc;
  out = mib::fileServerStatusText(status);
  return 0;
}

std::unique_ptr<CMibGroup> makeGroup(mib::GroupId id, GroupParams params) {
  using G = mib::GroupId;
  switch (id) {
    case G::PrinterStatus: return std::make_unique<CPrinterStatusGroup>(std::move(params));
    case G::ServerControl: return std::make_unique<CServerControlGroup>(std::move(params));
    case G::ProtocolList: return std::make_unique<CProtocolListGroup>(std::move(params));
    case G::RestoreDefaults: return std::make_unique<CRestoreDefaultsGroup>(std::move(params));
    case G::WirelessList: return std::make_unique<CWirelessListGroup>(std::move(params));
    case G::FileServerStatusTable: return std::make_unique<CFileServerStatusTable>(std::move(params));
    case G::IpTrap2: return std::make_unique<CIpTrapGroup2>(std::move(params));
    default: return std::make_unique<CMibGroup>(mib::group(id), std::move(params));
  }
}

std::unique_ptr<CMibGroup> makeGroup(std::string_view className, GroupParams params) {
  const mib::GroupDef* g = mib::findGroup(className);
  return g ? makeGroup(g->id, std::move(params)) : nullptr;
}

}  // namespace snmpaccess
