#include "app/options_sheet.h"

#include <algorithm>
#include <charconv>

#include "app/settings.h"
#include "platform/registry.h"

namespace app {

namespace {

bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

std::optional<std::uint32_t> parseNumber(std::string_view text) {
  std::uint32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return v;
}

// A status-icon row by its text, the "*" of the PJL rows optional.
int iconRow(std::string_view name) {
  for (int r = 0; r < CIconsPage::rowCount(); ++r) {
    std::string_view text = CIconsPage::rowText(r);
    if (iequals(name, text)) return r;
    if (!text.empty() && text.back() == '*' && iequals(name, text.substr(0, text.size() - 1))) return r;
  }
  return -1;
}

int timeoutField(std::string_view name) {
  for (std::size_t i = 0; i < kTimeoutFields.size(); ++i)
    if (iequals(name, kTimeoutFields[i].name)) return static_cast<int>(i);
  return -1;
}

// "SNMP &Get Timeout:" -> "SNMP Get Timeout"
std::string plainLabel(std::string_view label) {
  std::string out;
  for (char c : label)
    if (c != '&') out += c;
  if (!out.empty() && out.back() == ':') out.pop_back();
  return out;
}

}  // namespace

// --- Status Icons ------------------------------------------------------------------------------

void CIconsPage::load(const devices::StatusMasks& masks, bool appIcon) {
  initialMasks_ = masks;
  for (int r = 0; r < rowCount(); ++r)
    levels_[static_cast<std::size_t>(r)] = devices::statusIconLevel(devices::kStatusIconRows[static_cast<std::size_t>(r)].bit, masks);
  appIcon_ = initialAppIcon_ = appIcon;
}

void CIconsPage::setLevel(int row, int level) {
  if (row < 0 || row >= rowCount()) return;
  if (level < devices::kLevelGood || level > devices::kLevelError) return;
  levels_[static_cast<std::size_t>(row)] = level;
}

// --- Miscellaneous -----------------------------------------------------------------------------

void CMiscPage::load(std::uint32_t dc, std::uint32_t port, std::uint32_t always) {
  doubleClick = initialDoubleClick = dc;
  discoveryPort = initialDiscoveryPort = port;
  refreshAlways = initialRefreshAlways = always ? 1 : 0;
}

std::vector<std::uint32_t> CMiscPage::portChoices() const {
  std::vector<std::uint32_t> out;
  if (!standardPort(initialDiscoveryPort)) out.push_back(initialDiscoveryPort);
  out.push_back(9);
  for (std::uint32_t p = 4201; p <= 4242; ++p) out.push_back(p);
  return out;
}

// --- Timeouts ----------------------------------------------------------------------------------

void CTimeoutPage::load(const platform::Registry& reg) {
  for (std::size_t i = 0; i < kTimeoutFields.size(); ++i)
    values_[i] = initial_[i] = readSetting(reg, kTimeoutsKey, kTimeoutFields[i].name);
}

void CTimeoutPage::setDefaults() {
  for (std::size_t i = 0; i < kTimeoutFields.size(); ++i) values_[i] = kTimeoutFields[i].defaultValue;
}

std::pair<std::uint32_t, std::uint32_t> CTimeoutPage::range(int field) {
  const SettingDef* def = findSetting(kTimeoutsKey, kTimeoutFields[static_cast<std::size_t>(field)].name);
  return {static_cast<std::uint32_t>(def->min), static_cast<std::uint32_t>(def->max)};
}

int CTimeoutPage::invalidField() const {
  for (int f = 0; f < static_cast<int>(kTimeoutFields.size()); ++f) {
    const auto [lo, hi] = range(f);
    if (value(f) < lo || value(f) > hi) return f;
  }
  return -1;
}

std::string CTimeoutPage::rangeMessage(int field) {
  const auto [lo, hi] = range(field);
  return plainLabel(kTimeoutFields[static_cast<std::size_t>(field)].label) + ": enter a value from " +
         std::to_string(lo) + " to " + std::to_string(hi) + ".";
}

// --- the sheet ---------------------------------------------------------------------------------

COptionsPropertySheet::COptionsPropertySheet(platform::Registry& reg, std::uint32_t probeFlags)
    : reg_(reg), access_(reg, probeFlags) {
  icons_.load({readSetting(reg, kIconsKey, "Error"), readSetting(reg, kIconsKey, "Warning")},
              readSetting(reg, kIconsKey, "SetAppIcon") == 1);
  misc_.load(readSetting(reg, kGeneralKey, "DoubleClick"), readSetting(reg, kAccessIpKey, "DiscoveryPort"),
             readSetting(reg, kGeneralKey, "RefreshAlways"));
  misc_.quickSearch = misc_.initialQuickSearch = readSetting(reg, kGeneralKey, "QuickSearch") != 0 ? 1 : 0;
  timeouts_.load(reg);
}

OptionsApplied COptionsPropertySheet::ok(GlobalSettings& g) {
  OptionsApplied r;
  if (const int f = timeouts_.invalidField(); f >= 0) {
    r.error = CTimeoutPage::rangeMessage(f);
    r.page = 3;
    return r;
  }
  const bool knownCommand = std::any_of(kDoubleClickChoices.begin(), kDoubleClickChoices.end(),
                                        [&](const DoubleClickChoice& c) { return c.command == misc_.doubleClick; });
  if (!knownCommand) {
    r.error = "Main List Double Click Behavior: choose one of the listed actions.";
    r.page = 2;
    return r;
  }
  if (misc_.discoveryPort != misc_.initialDiscoveryPort && !CMiscPage::standardPort(misc_.discoveryPort)) {
    r.error = "TCP/IP Discovery Port: choose 9 or a port from 4201 to 4242.";
    r.page = 2;
    return r;
  }

  r.accessChanged = access_.changed();
  r.masksChanged = icons_.masksChanged();
  r.appIconChanged = icons_.appIconChanged();
  r.doubleClickChanged = misc_.doubleClick != misc_.initialDoubleClick;
  r.refreshAlwaysChanged = misc_.refreshAlways != misc_.initialRefreshAlways;
  r.discoveryPortChanged = misc_.discoveryPort != misc_.initialDiscoveryPort;
  r.quickSearchChanged = misc_.quickSearch != misc_.initialQuickSearch;
  bool timeoutsChanged = false;
  for (int f = 0; f < static_cast<int>(kTimeoutFields.size()); ++f) timeoutsChanged |= timeouts_.changed(f);
  r.anyChange = r.accessChanged || r.masksChanged || r.appIconChanged || r.doubleClickChanged ||
                r.refreshAlwaysChanged || r.discoveryPortChanged || r.quickSearchChanged || timeoutsChanged;
  if (!r.anyChange) {
    r.ok = true;
    return r;
  }

  const devices::StatusMasks masks = icons_.masks();
  const bool written = reg_.transaction([&](platform::Registry& tx) {
    bool ok = access_.save(tx);
    if (r.appIconChanged) ok &= tx.setDword(kIconsKey, "SetAppIcon", icons_.appIcon() ? 1 : 0);
    if (r.masksChanged) {
      ok &= tx.setDword(kIconsKey, "Warning", masks.warning);
      ok &= tx.setDword(kIconsKey, "Error", masks.error);
    }
    if (r.doubleClickChanged) ok &= tx.setDword(kGeneralKey, "DoubleClick", misc_.doubleClick);
    if (r.refreshAlwaysChanged) ok &= tx.setDword(kGeneralKey, "RefreshAlways", misc_.refreshAlways);
    if (r.quickSearchChanged) ok &= tx.setDword(kGeneralKey, "QuickSearch", misc_.quickSearch);
    // After the access lists: the port of the TCP/IP list is this page's value.
    if (r.discoveryPortChanged) ok &= tx.setDword(kAccessIpKey, "DiscoveryPort", misc_.discoveryPort);
    for (int f = 0; f < static_cast<int>(kTimeoutFields.size()); ++f)
      if (timeouts_.changed(f)) ok &= tx.setDword(kTimeoutsKey, kTimeoutFields[static_cast<std::size_t>(f)].name, timeouts_.value(f));
    return ok;
  });
  if (!written) {
    r.error = "There was an error writing information to the registry.";
    return r;
  }
  g.getTimeout = timeouts_.value(0);
  g.setTimeout = timeouts_.value(1);
  g.snmpRetry = timeouts_.value(2);
  g.resetTimeout = timeouts_.value(3);
  g.broadcast = timeouts_.value(4);
  g.maxBroadcast = timeouts_.value(5);
  g.warningMask = masks.warning;
  g.errorMask = masks.error;
  g.setAppIcon = icons_.appIcon() ? 1 : 0;
  g.discoveryPort = misc_.discoveryPort;
  r.ok = true;
  return r;
}

std::vector<std::string> COptionsPropertySheet::valueNames() {
  std::vector<std::string> out;
  for (const auto& f : kTimeoutFields) out.emplace_back(f.name);
  for (const char* n : {"DoubleClick", "DiscoveryPort", "RefreshAlways", "QuickSearch", "SetAppIcon"})
    out.emplace_back(n);
  for (int r = 0; r < CIconsPage::rowCount(); ++r) out.emplace_back(CIconsPage::rowText(r));
  return out;
}

std::optional<std::string> COptionsPropertySheet::value(std::string_view name) const {
  if (const int f = timeoutField(name); f >= 0) return std::to_string(timeouts_.value(f));
  if (iequals(name, "DoubleClick")) return std::to_string(misc_.doubleClick);
  if (iequals(name, "DiscoveryPort")) return std::to_string(misc_.discoveryPort);
  if (iequals(name, "RefreshAlways")) return std::to_string(misc_.refreshAlways);
  if (iequals(name, "QuickSearch")) return std::to_string(misc_.quickSearch);
  if (iequals(name, "SetAppIcon")) return std::to_string(icons_.appIcon() ? 1 : 0);
  if (const int row = iconRow(name); row >= 0) return devices::statusWord(icons_.level(row));
  return std::nullopt;
}

std::optional<std::string> COptionsPropertySheet::set(std::string_view name, std::string_view text) {
  const std::string quoted = "\"" + std::string(text) + "\"";
  if (const int row = iconRow(name); row >= 0) {
    int level = 0;
    if (iequals(text, "Normal") || iequals(text, "Good")) level = devices::kLevelGood;
    else if (iequals(text, "Warning")) level = devices::kLevelWarning;
    else if (iequals(text, "Error")) level = devices::kLevelError;
    if (!level) return std::string(CIconsPage::rowText(row)) + ": " + quoted + " is not Normal, Warning or Error.";
    icons_.setLevel(row, level);
    return std::nullopt;
  }
  const auto number = parseNumber(text);
  if (const int f = timeoutField(name); f >= 0) {
    const auto [lo, hi] = CTimeoutPage::range(f);
    if (!number || *number < lo || *number > hi) return CTimeoutPage::rangeMessage(f);
    timeouts_.setValue(f, *number);
    return std::nullopt;
  }
  if (iequals(name, "DoubleClick")) {
    for (const auto& c : kDoubleClickChoices)
      if (number == c.command) {
        misc_.doubleClick = c.command;
        return std::nullopt;
      }
    return "DoubleClick: " + quoted + " is not 32774 (status), 32772 (configuration) or 32799 (wizard).";
  }
  if (iequals(name, "DiscoveryPort")) {
    if (!number || !CMiscPage::standardPort(*number)) return "DiscoveryPort: choose 9 or a port from 4201 to 4242.";
    misc_.discoveryPort = *number;
    return std::nullopt;
  }
  if (iequals(name, "RefreshAlways") || iequals(name, "QuickSearch") || iequals(name, "SetAppIcon")) {
    if (!number || *number > 1) return std::string(name) + ": " + quoted + " is not 0 or 1.";
    if (iequals(name, "RefreshAlways"))
      misc_.refreshAlways = *number;
    else if (iequals(name, "QuickSearch"))
      misc_.quickSearch = *number;
    else
      icons_.setAppIcon(*number == 1);
    return std::nullopt;
  }
  return "no option named \"" + std::string(name) + "\"";
}

}  // namespace app
