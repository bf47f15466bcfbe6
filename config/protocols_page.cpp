#include "config/protocols_page.h"

#include "access/mib_group.h"
#include "access/result_codes.h"

namespace config {

namespace {
constexpr int kJetAdminVar = 2;  // E.6.1.2.0 of the protocol list
}

CProtocolsPage::CProtocolsPage(std::string prefix) : prefix_(std::move(prefix)) {}

std::int32_t CProtocolsPage::protocolOfFamily(int family) {
  switch (family) {
    case 2: return 1;
    case 6: return 2;
    case 21: return 3;
    case 0: return 6;
    default: return -1;
  }
}

int CProtocolsPage::Read(snmpaccess::CSnmpSession& session) {
  if (!list_) return snmpaccess::result::kIndexRange;
  snmpaccess::GroupParams params = snmpaccess::protocolParams(*list_, prefix_);
  enable_ = std::make_unique<snmpaccess::CProtocolEnableGroup>(params);
  int rc = enable_->read(session);
  if (rc == snmpaccess::result::kNoSuchName) {
    // A protocol newer than this program may have no enable switch where the others have theirs:
    // the page then offers the protocols it knows, so the sheet still opens.
    std::erase_if(params.protocols, [](const auto& p) { return p.first < 1 || p.first > 7 || p.first == 6; });
    enable_ = std::make_unique<snmpaccess::CProtocolEnableGroup>(params);
    rc = enable_->read(session);
  }
  if (rc) return rc;
  std::int32_t v = 0;
  jetAdmin_ = list_->getInteger(kJetAdminVar, v) == 0 && v == 2;
  return 0;
}

void CProtocolsPage::ShowValues() {
  items.clear();
  if (!enable_) return;
  const std::int32_t carrying = protocolOfFamily(family_);
  const auto protocols = enable_->params().protocols;
  for (int i = 0; i < enable_->count() && i < static_cast<int>(protocols.size()); ++i) {
    std::int32_t v = 0;
    enable_->getInteger(i, v);
    ProtocolItem item{protocols[static_cast<std::size_t>(i)].second, protocols[static_cast<std::size_t>(i)].first,
                      v == 2, protocols[static_cast<std::size_t>(i)].first != carrying};
    items.push_back(std::move(item));
  }
  // Without NetWare pages there is no capability word to ask: HP JetAdmin is always offered.
  items.push_back({"HP JetAdmin", kItemJetAdmin, jetAdmin_, true});
}

bool CProtocolsPage::setChecked(std::int32_t data, bool on) {
  for (ProtocolItem& item : items)
    if (item.data == data) {
      if (!item.enabled) return false;
      item.checked = on;
      return true;
    }
  return false;
}

void CProtocolsPage::storeFields() {
  if (!enable_) return;
  const auto protocols = enable_->params().protocols;
  for (const ProtocolItem& item : items) {
    if (item.data == kItemJetAdmin) {
      if (list_) list_->setIntegerIfChanged(kJetAdminVar, item.checked ? 2 : 1);
      continue;
    }
    for (int i = 0; i < enable_->count() && i < static_cast<int>(protocols.size()); ++i)
      if (protocols[static_cast<std::size_t>(i)].first == item.data) {
        enable_->setIntegerIfChanged(i, item.checked ? 2 : 1);
        break;
      }
  }
}

int CProtocolsPage::writeGroups(snmpaccess::CSnmpSession& session) {
  if (enable_)
    if (const int rc = enable_->writeChanged(session)) return rc;
  return list_ ? list_->writeChanged(session) : 0;
}

int CProtocolsPage::loadGroups(const std::string& path) {
  if (!enable_) return 0;
  const int rc = enable_->restoreBackupFile(path);
  const int listRc = list_ ? list_->restoreBackupFile(path) : 0;
  return rc ? rc : listRc;
}

int CProtocolsPage::SaveToFile(const std::string& path) {
  if (!enable_) return 0;
  const int rc = enable_->saveBackupFile(path);
  const int listRc = list_ ? list_->saveBackupFile(path) : 0;
  return rc ? rc : listRc;
}

}  // namespace config
