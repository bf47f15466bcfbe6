#include "app/access_list.h"

#include <algorithm>
#include <cstring>

#include "app/settings.h"
#include "devices/wildcard_match.h"
#include "platform/registry.h"

namespace app {
namespace {

void copyBounded(char* dst, std::size_t size, std::string_view src) {
  const std::size_t n = std::min(src.size(), size - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string valueName(std::string_view pattern, const char* suffix) { return std::string(pattern) + suffix; }

}  // namespace

void CAccessEntry::setAddress(std::string_view s) { copyBounded(address, sizeof address, s); }
void CAccessEntry::setGetCommunity(std::string_view s) { copyBounded(getCommunity, sizeof getCommunity, s); }
void CAccessEntry::setSetCommunity(std::string_view s) { copyBounded(setCommunity, sizeof setCommunity, s); }

std::uint16_t accessProtocolCode(std::string_view key) {
  if (iequals(key, kAccessNwKey)) return 6;
  if (iequals(key, kAccessComKey)) return 0;
  return 2;
}

CAccessList::CAccessList() { reset(2); }

void CAccessList::reset(std::uint16_t protocol) {
  entries_.clear();
  skipped_.clear();
  CAccessEntry def;
  def.protocol = protocol;
  def.setAddress(kDefaultEntryName);
  def.setGetCommunity(kDefaultCommunity);
  def.setSetCommunity(kDefaultCommunity);
  entries_.push_back(def);
  discoveryPort_ = kDefaultDiscoveryPort;
}

bool CAccessList::acceptablePattern(std::string_view pattern) const {
  if (pattern.empty() || pattern.size() > CAccessEntry::kFieldChars) return false;
  if (pattern.find(',') != std::string_view::npos || pattern == kDefaultEntryName) return false;
  for (std::size_t i = 1; i < entries_.size(); ++i)
    if (iequals(pattern, entries_[i].address)) return false;  // value names ignore case
  return entries_.size() <= kMaxEntries;
}

bool CAccessList::load(const platform::Registry& reg, std::string_view key, bool force) {
  if (!force && !key_.empty() && iequals(key, key_)) return false;
  key_ = std::string(key);
  const std::uint16_t protocol = accessProtocolCode(key);
  reset(protocol);

  CAccessEntry& def = entries_[0];
  def.setGetCommunity(reg.getString(key, valueName(kDefaultEntryName, "Get"), kDefaultCommunity));
  def.setSetCommunity(reg.getString(key, valueName(kDefaultEntryName, "Set"), kDefaultCommunity));

  const std::string all = reg.getString(key, "All", "");
  std::size_t pos = 0;
  while (pos <= all.size()) {
    std::size_t comma = all.find(',', pos);
    if (comma == std::string::npos) comma = all.size();
    const std::string_view pattern = std::string_view(all).substr(pos, comma - pos);
    pos = comma + 1;
    if (pattern.empty()) continue;
    if (!acceptablePattern(pattern)) {
      skipped_.emplace_back(pattern);
      continue;
    }
    CAccessEntry e;
    e.protocol = protocol;
    e.setAddress(pattern);
    e.setGetCommunity(reg.getString(key, valueName(pattern, "Get"), kDefaultCommunity));
    e.setSetCommunity(reg.getString(key, valueName(pattern, "Set"), kDefaultCommunity));
    entries_.push_back(e);
  }

  const SettingDef* port = findSetting(kAccessIpKey, "DiscoveryPort");
  const auto stored = reg.getDword(key, "DiscoveryPort");
  discoveryPort_ = stored ? clampSetting(*port, *stored) : kDefaultDiscoveryPort;
  return true;
}

bool CAccessList::save(platform::Registry& reg) const {
  if (key_.empty()) return false;
  return reg.transaction([&](platform::Registry& tx) {
    std::string all;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      const CAccessEntry& e = entries_[i];
      tx.setString(key_, valueName(e.address, "Get"), e.getCommunity);
      tx.setString(key_, valueName(e.address, "Set"), e.setCommunity);
      if (i == 0) continue;
      if (!all.empty()) all += ',';
      all += e.address;
    }
    tx.setString(key_, "All", all);
    tx.setDword(key_, "DiscoveryPort", discoveryPort_);
    return true;
  });
}

bool CAccessList::saveChanges(platform::Registry& reg) const {
  if (key_.empty()) return false;
  return reg.transaction([&](platform::Registry& tx) {
    auto text = [&](const std::string& name, std::string_view value, std::string_view fallback) {
      if (tx.getString(key_, name, fallback) != value) tx.setString(key_, name, value);
    };
    std::string all;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      const CAccessEntry& e = entries_[i];
      text(valueName(e.address, "Get"), e.getCommunity, kDefaultCommunity);
      text(valueName(e.address, "Set"), e.setCommunity, kDefaultCommunity);
      if (i == 0) continue;
      if (!all.empty()) all += ',';
      all += e.address;
    }
    text("All", all, "");
    const auto port = tx.getDword(key_, "DiscoveryPort");
    if (port.value_or(kDefaultDiscoveryPort) != discoveryPort_) tx.setDword(key_, "DiscoveryPort", discoveryPort_);
    return true;
  });
}

const CAccessEntry& CAccessList::lookup(std::string_view address) const {
  for (std::size_t i = 1; i < entries_.size(); ++i)
    if (address == entries_[i].address) return entries_[i];
  for (std::size_t i = 1; i < entries_.size(); ++i)
    if (devices::wildcardMatch(address, entries_[i].address)) return entries_[i];
  return entries_[0];
}

bool CAccessList::addEntry(std::string_view pattern, std::string_view getCommunity, std::string_view setCommunity) {
  if (!acceptablePattern(pattern) || entries_.size() > kMaxEntries) return false;
  CAccessEntry e;
  e.protocol = entries_[0].protocol;
  e.setAddress(pattern);
  e.setGetCommunity(getCommunity);
  e.setSetCommunity(setCommunity);
  entries_.push_back(e);
  return true;
}

bool CAccessList::removeEntry(std::size_t i) {
  if (i == 0 || i >= entries_.size()) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
  return true;
}

}  // namespace app
