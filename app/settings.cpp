#include "app/settings.h"

#include <algorithm>
#include <limits>

#include "access/mib_group.h"
#include "platform/registry.h"

namespace app {
namespace {

constexpr std::uint32_t kDoubleClickChoices[] = {32774, 32772, 32799};
constexpr std::uint32_t kOnOff[] = {0, 1};
constexpr std::int64_t kAnyDword = std::numeric_limits<std::uint32_t>::max();
// Window edges may be negative (a monitor left of the primary one); beyond this no desktop goes.
constexpr std::int64_t kEdge = 100000;

using K = DefaultKind;

// clang-format off
constexpr SettingDef kSettings[] = {
  // key            name            text   default       dword   text                  min     max        signed outside->default choices
  {kGeneralKey,   "RunIndex",      false, K::Fixed,     0,      nullptr,              0,      kAnyDword, false, false, {}, "run counter; 0 means first run, stops at 11"},
  {kGeneralKey,   "Location",      true,  K::None,      0,      nullptr,              0,      0,         false, false, {}, "program folder, written on the first run"},
  {kGeneralKey,   "CurrentView",   true,  K::Fixed,     0,      "All Print Servers",  0,      0,         false, false, {}, "view opened at start-up"},
  {kGeneralKey,   "Left",          false, K::Computed,  0,      nullptr,              -kEdge, kEdge,     true,  false, {}, "main window rectangle"},
  {kGeneralKey,   "Top",           false, K::Computed,  0,      nullptr,              -kEdge, kEdge,     true,  false, {}, "main window rectangle"},
  {kGeneralKey,   "Right",         false, K::Computed,  0,      nullptr,              -kEdge, kEdge,     true,  false, {}, "main window rectangle"},
  {kGeneralKey,   "Bottom",        false, K::Computed,  0,      nullptr,              -kEdge, kEdge,     true,  false, {}, "main window rectangle"},
  {kGeneralKey,   "Flags",         false, K::Fixed,     0,      nullptr,              0,      kAnyDword, false, false, {}, "main window state bits"},
  {kGeneralKey,   "Splitter",      false, K::Fixed,     150,    nullptr,              0,      4000,      false, false, {}, "width of the view-tree pane"},
  {kGeneralKey,   "RefreshAlways", false, K::Fixed,     0,      nullptr,              0,      1,         false, false, kOnOff, "1: search a view every time it opens"},
  {kGeneralKey,   "DoubleClick",   false, K::Fixed,     32774,  nullptr,              0,      kAnyDword, false, false, kDoubleClickChoices, "command of a double-clicked row"},
  {kGeneralKey,   "Log",           false, K::Fixed,     0,      nullptr,              0,      1,         false, false, kOnOff, "1: append every error message to the log"},
  {kGeneralKey,   "QuickSearch",   false, K::None,      0,      nullptr,              0,      1,         false, false, kOnOff, "1: a broadcast round ends after 0.3 s without a new unit"},
  {kIconsKey,     "Warning",       false, K::Fixed,     9185,   nullptr,              0,      kAnyDword, false, false, {}, "status bits that make a device Warning"},
  {kIconsKey,     "Error",         false, K::Fixed,     196608, nullptr,              0,      kAnyDword, false, false, {}, "status bits that make a device Error"},
  {kIconsKey,     "SetAppIcon",    false, K::Fixed,     0,      nullptr,              0,      1,         false, false, kOnOff, "1: window icon follows the worst status"},
  {kTimeoutsKey,  "GetTimeout",    false, K::Fixed,     500,    nullptr,              10,     30000,     false, false, {}, "SNMP GET time-out, 1/100 s"},
  {kTimeoutsKey,  "SetTimeout",    false, K::Fixed,     500,    nullptr,              10,     30000,     false, false, {}, "SNMP SET time-out, 1/100 s"},
  {kTimeoutsKey,  "ResetTimeout",  false, K::Fixed,     40,     nullptr,              1,      600,       false, false, {}, "wait after a reset, s"},
  {kTimeoutsKey,  "SnmpRetry",     false, K::Fixed,     3,      nullptr,              0,      20,        false, false, {}, "SNMP retries (shown and stored)"},
  {kTimeoutsKey,  "Broadcast",     false, K::Fixed,     6000,   nullptr,              100,    120000,    false, false, {}, "discovery wait for further replies, ms"},
  {kTimeoutsKey,  "MaxBroadcast",  false, K::Fixed,     10,     nullptr,              0,      100,       false, false, {}, "search retries (shown and stored)"},
  {kAccessIpKey,  "<Default>Get",  true,  K::Fixed,     0,      "vorlak",             0,      0,         false, false, {}, "default GET community, TCP/IP"},
  {kAccessIpKey,  "<Default>Set",  true,  K::Fixed,     0,      "vorlak",             0,      0,         false, false, {}, "default SET community, TCP/IP"},
  {kAccessIpKey,  "DiscoveryPort", false, K::Fixed,     kDefaultDiscoveryPort, nullptr, 1,   65535,     false, true, {}, "UDP port of the discovery protocol"},
  {kAccessNwKey,  "<Default>Get",  true,  K::Fixed,     0,      "vorlak",             0,      0,         false, false, {}, "default GET community, NetWare"},
  {kAccessNwKey,  "<Default>Set",  true,  K::Fixed,     0,      "vorlak",             0,      0,         false, false, {}, "default SET community, NetWare"},
  {kAccessComKey, "<Default>Get",  true,  K::Fixed,     0,      "vorlak",             0,      0,         false, false, {}, "default GET community, serial"},
  {kAccessComKey, "<Default>Set",  true,  K::Fixed,     0,      "vorlak",             0,      0,         false, false, {}, "default SET community, serial"},
  {kToolsKey,     "AlertPath",     true,  K::None,      0,      nullptr,              0,      0,         false, false, {}, "sibling monitor program"},
};
// clang-format on

bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

std::uint32_t computedDefaultFor(const SettingDef& def, const WindowRect& r) {
  const std::string_view n = def.name;
  const int v = n == "Left" ? r.left : n == "Top" ? r.top : n == "Right" ? r.right : r.bottom;
  return static_cast<std::uint32_t>(v);
}

std::uint32_t defaultOf(const SettingDef& def, std::uint32_t computedDefault) {
  return def.defaultKind == K::Computed ? computedDefault : def.defaultDword;
}

std::string dwordText(const SettingDef& def, std::uint32_t v) {
  return def.isSigned ? std::to_string(static_cast<std::int32_t>(v)) : std::to_string(v);
}

}  // namespace

WindowRect defaultWindowRect(int desktopWidth, int desktopHeight) {
  // Wide enough for the search animation, the view-select bar and every tool-bar button in one
  // row; never larger than the desktop.
  constexpr int kWidth = 900;
  constexpr int kHeight = 600;
  // A tenth of a small desktop stays free, so the window is seen as a window.
  const int width = std::clamp(desktopWidth - desktopWidth / 10, 1, kWidth);
  const int height = std::clamp(desktopHeight - desktopHeight / 10, 1, kHeight);
  const int left = (desktopWidth - width) / 2;
  const int top = (desktopHeight - height) / 2;
  return {left, top, left + width, top + height};
}

WindowRect cascadedWindowRect(const WindowRect& stored, int desktopWidth, int desktopHeight) {
  constexpr int kStep = 32;
  const int width = std::clamp(stored.width(), 1, std::max(desktopWidth, 1));
  const int height = std::clamp(stored.height(), 1, std::max(desktopHeight, 1));
  const int left = std::clamp(stored.left + kStep, 0, std::max(desktopWidth - width, 0));
  const int top = std::clamp(stored.top + kStep, 0, std::max(desktopHeight - height, 0));
  return {left, top, left + width, top + height};
}

std::span<const SettingDef> settingDefinitions() { return kSettings; }

const SettingDef* findSetting(std::string_view key, std::string_view name) {
  for (const auto& def : kSettings)
    if (iequals(def.key, key) && iequals(def.name, name)) return &def;
  return nullptr;
}

std::uint32_t clampSetting(const SettingDef& def, std::uint32_t stored) {
  if (!def.choices.empty()) {
    return std::find(def.choices.begin(), def.choices.end(), stored) != def.choices.end() ? stored
                                                                                         : def.defaultDword;
  }
  const std::int64_t v = def.isSigned ? std::int64_t{static_cast<std::int32_t>(stored)} : std::int64_t{stored};
  if (def.outsideToDefault && (v < def.min || v > def.max)) return def.defaultDword;
  return static_cast<std::uint32_t>(std::clamp(v, def.min, def.max));
}

std::uint32_t readSetting(const platform::Registry& reg, const SettingDef& def, std::uint32_t computedDefault) {
  const auto stored = reg.getDword(def.key, def.name);
  return stored ? clampSetting(def, *stored) : defaultOf(def, computedDefault);
}

std::uint32_t readSetting(const platform::Registry& reg, std::string_view key, std::string_view name) {
  const SettingDef* def = findSetting(key, name);
  return def ? readSetting(reg, *def) : 0;
}

std::string readTextSetting(const platform::Registry& reg, const SettingDef& def) {
  if (auto s = reg.getString(def.key, def.name)) return *s;
  return def.defaultText ? def.defaultText : "";
}

std::vector<EffectiveSetting> effectiveSettings(const platform::Registry& reg, const WindowRect& defaultRect) {
  std::vector<EffectiveSetting> out;
  for (const auto& def : kSettings) {
    EffectiveSetting e;
    e.def = &def;
    const auto raw = reg.value(def.key, def.name);
    const bool rightType = raw && (raw->type == platform::RegValue::Type::String) == def.isText;
    e.stored = rightType;
    e.wrongType = raw && !rightType;
    if (def.isText) {
      e.value = rightType ? raw->text : (def.defaultText ? def.defaultText : "");
      e.isDefault = def.defaultText ? e.value == def.defaultText : !rightType;
    } else {
      const std::uint32_t dflt = defaultOf(def, computedDefaultFor(def, defaultRect));
      const std::uint32_t v = rightType ? clampSetting(def, raw->dword) : dflt;
      e.adjusted = rightType && v != raw->dword;
      e.value = dwordText(def, v);
      e.isDefault = def.defaultKind != K::None && v == dflt;
    }
    out.push_back(std::move(e));
  }
  return out;
}

bool writeDefaults(platform::Registry& reg, const WindowRect& defaultRect) {
  return reg.transaction([&](platform::Registry& tx) {
    for (const auto& def : kSettings) {
      if (def.defaultKind == K::None || tx.value(def.key, def.name)) continue;
      if (def.isText)
        tx.setString(def.key, def.name, def.defaultText);
      else
        tx.setDword(def.key, def.name, defaultOf(def, computedDefaultFor(def, defaultRect)));
    }
    return true;
  });
}

WindowRect readWindowRect(const platform::Registry& reg, const WindowRect& d) {
  auto edge = [&](const char* name, int fallback) {
    return static_cast<int>(static_cast<std::int32_t>(
        readSetting(reg, *findSetting(kGeneralKey, name), static_cast<std::uint32_t>(fallback))));
  };
  WindowRect r{edge("Left", d.left), edge("Top", d.top), edge("Right", d.right), edge("Bottom", d.bottom)};
  // An empty or inverted rectangle from the store would give an invisible window.
  if (r.width() < 100 || r.height() < 80) r = d;
  return r;
}

bool writeWindowRect(platform::Registry& reg, const WindowRect& r) {
  return reg.transaction([&](platform::Registry& tx) {
    tx.setDword(kGeneralKey, "Left", static_cast<std::uint32_t>(r.left));
    tx.setDword(kGeneralKey, "Top", static_cast<std::uint32_t>(r.top));
    tx.setDword(kGeneralKey, "Right", static_cast<std::uint32_t>(r.right));
    tx.setDword(kGeneralKey, "Bottom", static_cast<std::uint32_t>(r.bottom));
    return true;
  });
}

GlobalSettings& globalSettings() {
  static GlobalSettings settings;
  return settings;
}

void loadGlobalSettings(const platform::Registry& reg, GlobalSettings& g) {
  g.getTimeout = readSetting(reg, kTimeoutsKey, "GetTimeout");
  g.setTimeout = readSetting(reg, kTimeoutsKey, "SetTimeout");
  g.resetTimeout = readSetting(reg, kTimeoutsKey, "ResetTimeout");
  g.snmpRetry = readSetting(reg, kTimeoutsKey, "SnmpRetry");
  g.broadcast = readSetting(reg, kTimeoutsKey, "Broadcast");
  g.maxBroadcast = readSetting(reg, kTimeoutsKey, "MaxBroadcast");
  g.warningMask = readSetting(reg, kIconsKey, "Warning");
  g.errorMask = readSetting(reg, kIconsKey, "Error");
  g.setAppIcon = readSetting(reg, kIconsKey, "SetAppIcon");
}

void applyGroupTimeouts(const platform::Registry& reg, std::uint32_t commandLineTimeout) {
  if (commandLineTimeout != 0) {
    snmpaccess::setGroupTimeouts(commandLineTimeout, commandLineTimeout);
    return;
  }
  snmpaccess::setGroupTimeouts(readSetting(reg, kTimeoutsKey, "GetTimeout"), readSetting(reg, kTimeoutsKey, "SetTimeout"));
}

void loadDiscoveryPort(const platform::Registry& reg, GlobalSettings& g) {
  g.discoveryPort = readSetting(reg, kAccessIpKey, "DiscoveryPort");
}

}  // namespace app
