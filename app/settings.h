#pragma once
// The program's settings: every registry value the application shell reads, with its default
// and the range a value read from the store is clamped to; the global settings that other
// parts read at run time; the run counter; and the writing of defaults so that a user finds
// every setting in the store after the first start.
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {
class Registry;
}

namespace app {

// Keys, relative to the application's root key.
inline constexpr const char* kGeneralKey = "General";
inline constexpr const char* kIconsKey = "General\\Icons";
inline constexpr const char* kTimeoutsKey = "Timeouts";
inline constexpr const char* kOemKey = "OEM";
inline constexpr const char* kToolsKey = "Tools";
inline constexpr const char* kAccessIpKey = "Access\\IP";
inline constexpr const char* kAccessNwKey = "Access\\NW";
inline constexpr const char* kAccessComKey = "Access\\COM";
inline constexpr const char* kViewsKey = "Views";

inline constexpr std::uint32_t kDefaultDiscoveryPort = 4201;

struct WindowRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const WindowRect&) const = default;
};

// The default main-window rectangle: the desktop centre +- 310 horizontally, +- 220 vertically.
WindowRect defaultWindowRect(int desktopWidth, int desktopHeight);

enum class DefaultKind {
  Fixed,     // the row's default value
  Computed,  // depends on the desktop (window rectangle)
  None,      // no default; written by the program when it knows the value
};

// One registry value. Dword values read from the store are untrusted: a value outside
// [min, max] is clamped to the nearest bound (for signed rows the range is signed), or replaced
// by the default where a bound means nothing (`outsideToDefault`: a port); a value of the wrong
// type counts as missing. A row with `choices` accepts only those values and falls back to the
// default otherwise.
struct SettingDef {
  const char* key;
  const char* name;
  bool isText;
  DefaultKind defaultKind;
  std::uint32_t defaultDword;
  const char* defaultText;
  std::int64_t min;
  std::int64_t max;
  bool isSigned;
  bool outsideToDefault;
  std::span<const std::uint32_t> choices;
  const char* meaning;
};

std::span<const SettingDef> settingDefinitions();
const SettingDef* findSetting(std::string_view key, std::string_view name);

// The value of a dword row as the program uses it: stored value clamped, or the default.
// `computedDefault` is used for rows with DefaultKind::Computed.
std::uint32_t readSetting(const platform::Registry& reg, const SettingDef& def, std::uint32_t computedDefault = 0);
std::string readTextSetting(const platform::Registry& reg, const SettingDef& def);
// Same, by key and name of a row of the table (the row must exist).
std::uint32_t readSetting(const platform::Registry& reg, std::string_view key, std::string_view name);

// Clamps one untrusted value to a row's range (or choice list).
std::uint32_t clampSetting(const SettingDef& def, std::uint32_t stored);

// How one setting stands, for `trellanctl settings`.
struct EffectiveSetting {
  const SettingDef* def = nullptr;
  std::string value;      // effective value as text (dwords in decimal, signed rows signed)
  bool stored = false;    // a value of the right type is in the store
  bool isDefault = true;  // the effective value is the default
  bool adjusted = false;  // the stored value was out of range and clamped
  bool wrongType = false; // the store holds a value of the other type (ignored)
};
std::vector<EffectiveSetting> effectiveSettings(const platform::Registry& reg, const WindowRect& defaultRect);

// Writes the default of every row that has one and is missing from the store, in one
// transaction (values already there, imported or edited, stay). False when the store
// could not be written.
bool writeDefaults(platform::Registry& reg, const WindowRect& defaultRect);

// The stored main-window rectangle, defaults from `defaultRect`, with a usable size.
WindowRect readWindowRect(const platform::Registry& reg, const WindowRect& defaultRect);
bool writeWindowRect(platform::Registry& reg, const WindowRect& rect);

// Values read at start-up into process-wide variables; the Options pages write both these and
// the store, everything else reads only these. Atomic: the discovery worker reads some of
// them while the user-interface thread may change them.
struct GlobalSettings {
  std::atomic<std::uint32_t> getTimeout{500};    // hundredths of a second
  std::atomic<std::uint32_t> setTimeout{500};    // hundredths of a second
  std::atomic<std::uint32_t> resetTimeout{40};   // seconds
  std::atomic<std::uint32_t> snmpRetry{3};
  std::atomic<std::uint32_t> broadcast{6000};    // milliseconds
  std::atomic<std::uint32_t> maxBroadcast{10};
  std::atomic<std::uint32_t> warningMask{9185};
  std::atomic<std::uint32_t> errorMask{196608};
  std::atomic<std::uint32_t> setAppIcon{0};
  std::atomic<std::uint32_t> discoveryPort{kDefaultDiscoveryPort};
};
GlobalSettings& globalSettings();

// The six Timeouts values and the three General\Icons values.
void loadGlobalSettings(const platform::Registry& reg, GlobalSettings& g);
// Gives the MIB groups the GetTimeout and SetTimeout settings; `commandLineTimeout` (when not 0)
// replaces both, as trellanctl's --timeout does.
void applyGroupTimeouts(const platform::Registry& reg, std::uint32_t commandLineTimeout = 0);
// DiscoveryPort of Access\IP.
void loadDiscoveryPort(const platform::Registry& reg, GlobalSettings& g);

}  // namespace app
