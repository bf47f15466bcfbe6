#pragma once
// The Options sheet without its widgets: "Device Access", "Status Icons", "Miscellaneous" and
// "Timeouts" over the settings store. Nothing is written before OK; OK checks every page, then
// writes only the values that changed, in one transaction, and updates the global settings.
// Cancel is dropping the sheet.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/options_access_page.h"
#include "devices/device_status.h"

namespace platform {
class Registry;
}

namespace app {

struct GlobalSettings;

// "Status Icons": the level of each condition row and the application-icon box.
class CIconsPage {
 public:
  void load(const devices::StatusMasks& masks, bool appIcon);
  static constexpr int rowCount() { return static_cast<int>(devices::kStatusIconRows.size()); }
  static const char* rowText(int row) { return devices::kStatusIconRows[static_cast<std::size_t>(row)].text; }
  int level(int row) const { return levels_[static_cast<std::size_t>(row)]; }
  // "&Normal", "&Warning", "&Error" on a row: levels 1, 2, 3.
  void setLevel(int row, int level);
  bool appIcon() const { return appIcon_; }
  void setAppIcon(bool on) { appIcon_ = on; }
  devices::StatusMasks masks() const { return devices::masksFromStatusIcons(levels_, initialMasks_); }
  bool masksChanged() const { return !(masks() == initialMasks_); }
  bool appIconChanged() const { return appIcon_ != initialAppIcon_; }

 private:
  std::array<int, 10> levels_{};
  devices::StatusMasks initialMasks_;
  bool appIcon_ = false;
  bool initialAppIcon_ = false;
};

// "Miscellaneous": the double-click command, the TCP/IP discovery port, refresh on opening.
struct DoubleClickChoice {
  const char* text;
  std::uint32_t command;
};
inline constexpr std::array<DoubleClickChoice, 3> kDoubleClickChoices = {{
    {"Show Current Status", 32774},
    {"Show Current Configuration", 32772},
    {"Show Configuration Wizard", 32799},
}};
inline constexpr std::array<const char*, 2> kRefreshChoices = {"Refresh the First Time View Opens",
                                                               "Refresh Every Time View Opens"};

class CMiscPage {
 public:
  void load(std::uint32_t doubleClick, std::uint32_t discoveryPort, std::uint32_t refreshAlways);
  // 9, then 4201 to 4242; a stored port outside them is offered first, so it shows as it is.
  std::vector<std::uint32_t> portChoices() const;
  static bool standardPort(std::uint32_t port) { return port == 9 || (port >= 4201 && port <= 4242); }

  std::uint32_t doubleClick = 32774;
  std::uint32_t discoveryPort = 4201;
  std::uint32_t refreshAlways = 0;
  std::uint32_t initialDoubleClick = 32774;
  std::uint32_t initialDiscoveryPort = 4201;
  std::uint32_t initialRefreshAlways = 0;
  // General\QuickSearch (opt-in): a broadcast round ends after a short quiet spell.
  std::uint32_t quickSearch = 0;
  std::uint32_t initialQuickSearch = 0;
};

inline constexpr const char* kQuickSearchLabel = "&Quick search: end each search round 0.3 seconds after the last new print server";

// "Timeouts": six values, each with its range.
struct TimeoutField {
  const char* name;   // the registry value under Timeouts
  const char* label;  // the page's label
  std::uint32_t defaultValue;
};
inline constexpr std::array<TimeoutField, 6> kTimeoutFields = {{
    {"GetTimeout", "SNMP &Get Timeout:", 500},
    {"SetTimeout", "SNMP &Set Timeout:", 500},
    {"SnmpRetry", "Max SNMP Get/Set &Retries:", 3},
    {"ResetTimeout", "Device &Reset Timeout:", 40},
    {"Broadcast", "&Network SearchTimeout:", 6000},
    {"MaxBroadcast", "&Max Search &Retries:", 10},
}};

class CTimeoutPage {
 public:
  void load(const platform::Registry& reg);
  std::uint32_t value(int field) const { return values_[static_cast<std::size_t>(field)]; }
  void setValue(int field, std::uint32_t v) { values_[static_cast<std::size_t>(field)] = v; }
  // "Set To &Defaults": 500, 500, 3, 40, 6000, 10.
  void setDefaults();
  // The accepted range of a field (the settings' own range).
  static std::pair<std::uint32_t, std::uint32_t> range(int field);
  // The first field out of its range, or -1.
  int invalidField() const;
  // "SNMP Get Timeout: enter a value from 10 to 30000."
  static std::string rangeMessage(int field);
  bool changed(int field) const { return value(field) != initial_[static_cast<std::size_t>(field)]; }

 private:
  std::array<std::uint32_t, 6> values_{};
  std::array<std::uint32_t, 6> initial_{};
};

// What OK did, for the main window.
struct OptionsApplied {
  bool ok = false;             // checked and written
  std::string error;           // why not (a page's message)
  int page = -1;               // the page of the error: 0 access, 1 icons, 2 misc, 3 timeouts
  bool anyChange = false;
  bool accessChanged = false;  // reload the open view's access list
  bool masksChanged = false;   // refresh the list
  bool appIconChanged = false;
  bool doubleClickChanged = false;
  bool refreshAlwaysChanged = false;
  bool discoveryPortChanged = false;
  bool quickSearchChanged = false;
};

class COptionsPropertySheet {
 public:
  static constexpr const char* kTitle = "Options";
  static constexpr std::array<const char*, 4> kPageTitles = {"Device Access", "Status Icons", "Miscellaneous",
                                                             "Timeouts"};

  // Reads every page from the store; `probeFlags` decide the protocols of "Device Access".
  COptionsPropertySheet(platform::Registry& reg, std::uint32_t probeFlags);

  CDeviceAccessPage& access() { return access_; }
  CIconsPage& icons() { return icons_; }
  CMiscPage& misc() { return misc_; }
  CTimeoutPage& timeouts() { return timeouts_; }

  // OK: every page checked, then the changed values written in one transaction and copied into
  // `globals`. Nothing is written when a check fails or nothing changed.
  OptionsApplied ok(GlobalSettings& globals);

  // The values by name, for the command line: GetTimeout ... MaxBroadcast, DoubleClick,
  // DiscoveryPort, RefreshAlways, QuickSearch, SetAppIcon, and each status-icon row by its text ("Paper Out",
  // the "*" optional) with Normal, Warning or Error. Names compare without case.
  static std::vector<std::string> valueNames();
  std::optional<std::string> value(std::string_view name) const;
  // Sets one value with the page's own rule; an error message, or nullopt.
  std::optional<std::string> set(std::string_view name, std::string_view text);

 private:
  platform::Registry& reg_;
  CDeviceAccessPage access_;
  CIconsPage icons_;
  CMiscPage misc_;
  CTimeoutPage timeouts_;
};

}  // namespace app
