#include "app/options_access_page.h"

#include "app/settings.h"
#include "app/view_manager.h"
#include "config/access_entry.h"
#include "config/config_texts.h"
#include "platform/registry.h"

namespace app {


std::vector<AccessProtocol> accessProtocols(std::uint32_t probeFlags) {
  std::vector<AccessProtocol> out;
  if (probeFlags & kProbeTcpIp) out.push_back({"TCP/IP", kNodeTcpIpView, kAccessIpKey});
  if (probeFlags & kProbeNetWare) out.push_back({"NetWare", kNodeNetWareView, kAccessNwKey});
  if (probeFlags & kProbeSerial) out.push_back({"Serial Port", kNodeSerialView, kAccessComKey});
  return out;
}

CDeviceAccessPage::CDeviceAccessPage(const platform::Registry& reg, std::uint32_t probeFlags)
    : reg_(reg), protocols_(accessProtocols(probeFlags)), lists_(protocols_.size()) {
  if (!protocols_.empty()) selectProtocol(0);
}

CDeviceAccessPage::Held& CDeviceAccessPage::shown() { return lists_[static_cast<std::size_t>(protocol_)]; }
const CDeviceAccessPage::Held& CDeviceAccessPage::shown() const { return lists_[static_cast<std::size_t>(protocol_)]; }

void CDeviceAccessPage::selectProtocol(int index) {
  if (index < 0 || index >= static_cast<int>(protocols_.size())) return;
  protocol_ = index;
  Held& h = shown();
  if (!h.loaded) {
    h.list.load(reg_, protocols_[static_cast<std::size_t>(index)].key, true);
    h.loaded = true;
  }
  selected_ = 0;
}

std::vector<std::string> CDeviceAccessPage::addresses() const {
  std::vector<std::string> out;
  if (protocol_ < 0) return out;
  for (const CAccessEntry& e : shown().list.entries()) out.emplace_back(e.address);
  return out;
}

void CDeviceAccessPage::selectEntry(int index) {
  if (protocol_ < 0) return;
  if (index >= 0 && index < static_cast<int>(shown().list.entries().size())) selected_ = index;
}

std::string CDeviceAccessPage::getCommunity() const {
  if (protocol_ < 0) return {};
  return shown().list.entries()[static_cast<std::size_t>(selected_)].getCommunity;
}

std::string CDeviceAccessPage::setCommunity() const {
  if (protocol_ < 0) return {};
  return shown().list.entries()[static_cast<std::size_t>(selected_)].setCommunity;
}

bool CDeviceAccessPage::setCommunities(std::string_view get, std::string_view set) {
  if (protocol_ < 0) return false;
  Held& h = shown();
  CAccessEntry& e = h.list.entry(static_cast<std::size_t>(selected_));
  const std::string oldGet = e.getCommunity, oldSet = e.setCommunity;
  e.setGetCommunity(get);
  e.setSetCommunity(set);
  if (oldGet != e.getCommunity || oldSet != e.setCommunity) h.changed = true;
  return true;
}

bool CDeviceAccessPage::canAddDelete() const {
  return protocol_ >= 0 && protocols_[static_cast<std::size_t>(protocol_)].viewType != kNodeSerialView;
}

const char* CDeviceAccessPage::addPrompt() const {
  const bool netware = protocol_ >= 0 && protocols_[static_cast<std::size_t>(protocol_)].viewType == kNodeNetWareView;
  return netware ? config::kTextAccessPromptIpx : config::kTextAccessPromptIp;
}

std::uint32_t CDeviceAccessPage::addEntry(std::string_view pattern) {
  const bool netware = protocol_ >= 0 && protocols_[static_cast<std::size_t>(protocol_)].viewType == kNodeNetWareView;
  // A pattern the list cannot hold (empty, too long, a repeat, a ",") gets the dialog's message.
  const std::uint32_t refused = netware ? config::texts::kInvalidIpxEntry : config::texts::kInvalidIpAddress;
  if (!canAddDelete()) return refused;
  const config::AccessEntryCheck check =
      config::checkAccessEntry(netware ? config::AccessEntryMode::Ipx : config::AccessEntryMode::Ip, pattern);
  if (!check.ok) return check.textId;
  Held& h = shown();
  const CAccessEntry& def = h.list.entries()[0];
  if (!h.list.addEntry(pattern, def.getCommunity, def.setCommunity)) return refused;
  h.changed = true;
  selected_ = static_cast<int>(h.list.entries().size()) - 1;
  return 0;
}

bool CDeviceAccessPage::deleteSelected() {
  if (!canAddDelete() || selected_ <= 0) return false;
  Held& h = shown();
  if (!h.list.removeEntry(static_cast<std::size_t>(selected_))) return false;
  h.changed = true;
  selected_ = 0;
  return true;
}

bool CDeviceAccessPage::changed() const {
  for (const Held& h : lists_)
    if (h.changed) return true;
  return false;
}

bool CDeviceAccessPage::save(platform::Registry& reg) const {
  for (const Held& h : lists_)
    if (h.changed && !h.list.saveChanges(reg)) return false;
  return true;
}

}  // namespace app
