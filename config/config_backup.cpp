#include "config/config_backup.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "access/mib_strings.h"
#include "access/result_codes.h"
#include "config/backup_file.h"
#include "config/backup_texts.h"
#include "platform/atomic_file.h"
#include "platform/profile.h"

namespace config {

namespace {

constexpr int kTcpIpPasswordIndex = 11;  // the telnet/HTTP password variable of the TCP/IP group

bool installed(CConfigPropSheet& sheet, std::int32_t protocol) {
  for (const auto& [id, name] : sheet.protocolList().protocols())
    if (id == protocol) return true;
  return false;
}

bool contains(const std::vector<CDevicePage*>& pages, const CDevicePage* p) {
  return p && std::find(pages.begin(), pages.end(), p) != pages.end();
}

bool mentionsPassword(std::string_view meaning) {
  std::string lower(meaning);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower.find("password") != std::string::npos;
}

// Puts the write-only values into the groups that carry them; true when any went in.
bool addWriteOnly(snmpaccess::CMibGroup& g, const WriteOnlyValues& v) {
  bool added = false;
  auto extra = [&](int index, const std::string& value) {
    if (!value.empty() && g.setExtraText(index, value) == 0) added = true;
  };
  switch (g.def().id) {
    case mib::GroupId::SnmpConfig: extra(0, v.setCommunity); break;
    case mib::GroupId::NetWare: extra(0, v.netwarePassword); break;
    case mib::GroupId::TcpIp:
      if (!v.tcpipPassword.empty() && g.count() > kTcpIpPasswordIndex &&
          g.setTextIfChanged(kTcpIpPasswordIndex, v.tcpipPassword) == 0)
        added = true;
      break;
    case mib::GroupId::Vines:
      for (int i = 0; i < g.extraCount() && i < static_cast<int>(g.def().extras.size()); ++i)
        if (g.def().extras[static_cast<std::size_t>(i)].access == mib::Access::ReadWrite &&
            mentionsPassword(g.def().extras[static_cast<std::size_t>(i)].meaning))
          extra(i, v.vinesPassword);
      break;
    default: break;
  }
  for (int c = 0; c < g.childCount(); ++c)
    if (addWriteOnly(*g.child(c), v)) added = true;
  return added;
}

}  // namespace

WriteOnlyInfoModel::WriteOnlyInfoModel(bool tcpip, int tcpipLevel, bool netware, bool vines) {
  items_[SetCommunity] = {texts::kWriteOnlySetCommunity, 31, true, {}};
  items_[TcpIpPassword] = {texts::kWriteOnlyTcpIpPassword, 24, tcpip && mib::levelAtLeast(tcpipLevel, 3), {}};
  items_[NetWarePassword] = {texts::kWriteOnlyNetWarePassword, 9, netware, {}};
  items_[VinesPassword] = {texts::kWriteOnlyVinesPassword, 15, vines, {}};
}

WriteOnlyInfoModel WriteOnlyInfoModel::forSheet(CConfigPropSheet& sheet) {
  const bool tcpip = contains(sheet.pages(), &sheet.tcpIpPage());
  return WriteOnlyInfoModel(tcpip, tcpip ? sheet.tcpIpPage().level() : 0, installed(sheet, 2), installed(sheet, 3));
}

void WriteOnlyInfoModel::set(Field f, std::string value) {
  Item& item = items_[f];
  if (!item.enabled) return;
  if (value.size() > item.maxLength) value.resize(item.maxLength);
  item.value = std::move(value);
}

WriteOnlyValues WriteOnlyInfoModel::values() const {
  auto take = [this](Field f) { return items_[f].enabled ? items_[f].value : std::string(); };
  return {take(SetCommunity), take(TcpIpPassword), take(NetWarePassword), take(VinesPassword)};
}

std::vector<CDevicePage*> backupPageOrder(CConfigPropSheet& sheet) {
  const std::vector<CDevicePage*>& added = sheet.pages();
  std::vector<CDevicePage*> order;
  auto take = [&](CDevicePage* p) {
    if (contains(added, p) && !contains(order, p)) order.push_back(p);
  };
  take(sheet.page(PageSlot::OutputPort));
  take(&sheet.snmpPage());
  take(&sheet.protocolsPage());
  take(sheet.page(PageSlot::Traps));
  take(sheet.page(PageSlot::TokenRing));
  take(&sheet.tcpIpPage());
  for (PageSlot s : {PageSlot::NetWare, PageSlot::NetWareBindery, PageSlot::Nds, PageSlot::Vines, PageSlot::EtherTalk,
                     PageSlot::Wireless})
    take(sheet.page(s));
  for (CDevicePage* p : added) take(p);
  return order;
}

BackupSaveResult saveConfiguration(CConfigPropSheet& sheet, const std::string& file, const WriteOnlyValues& writeOnly) {
  BackupSaveResult out;
  BackupWriter writer(file);
  if (!writer.begin(&out.error)) {
    out.rc = texts::kBackupIncomplete;
    return out;
  }
  for (CDevicePage* page : backupPageOrder(sheet))
    for (snmpaccess::CMibGroup* g : page->groups())
      if (addWriteOnly(*g, writeOnly)) out.writeOnly = true;
  bool failed = false;
  for (CDevicePage* page : backupPageOrder(sheet))
    if (page->SaveToFile(writer.path()) != 0) failed = true;
  out.rc = failed ? texts::kBackupIncomplete : 0;
  // A partial file is better than none, but never replaces a complete one from before.
  if (failed && writer.targetExisted()) return out;
  out.written = writer.commit(out.writeOnly, &out.error);
  if (!out.written) out.rc = texts::kBackupIncomplete;
  return out;
}

int restoreConfiguration(CConfigPropSheet& sheet, const std::string& file) {
  const platform::FileRead probe = platform::readFileBounded(file, 16u << 20);
  if (probe.status != platform::ReadStatus::Ok) return snmpaccess::result::kDoesNotFit;
  bool failed = false;
  for (CDevicePage* page : backupPageOrder(sheet))
    if (page->LoadFromFile(file) != 0) failed = true;
  return failed ? texts::kBackupIncomplete : 0;
}

std::string backupFileAddress(const std::string& file, const std::string& prefix) {
  platform::Profile profile;
  if (!profile.load(file)) return {};
  const std::optional<std::string> value = profile.get(mib::catalogueString(mib::kStringTcpIpSection), prefix + ".6.3.1.4.1.0");
  if (!value || value->size() < 3 || value->compare(0, 3, "<0>") != 0) return {};
  std::uint8_t a[4] = {};
  if (snmpaccess::ipv4TextToBytes(std::string_view(*value).substr(3), a) != 0) return {};
  return snmpaccess::ipv4ToText(a);
}

std::uint32_t saveSummaryText(int rc) { return rc ? texts::kSaveValuesFailed : 0; }
std::uint32_t restoreSummaryText(int rc) { return rc ? texts::kRestoreValuesFailed : 0; }

}  // namespace config
