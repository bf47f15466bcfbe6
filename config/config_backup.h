#pragma once
// Saving a read configuration sheet to a backup file and loading one into it. Both walk the
// sheet's pages in one fixed order (output ports, SNMP, protocols, traps, Token Ring, then the
// pages of the installed protocols, then any further page), so the file's section order does not
// depend on which pages a build has; every page writes and reads its own groups (CMibGroup's
// backup form), so a new page takes part without this file knowing it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/config_sheet.h"

namespace config {

// The values a unit never reveals, added to a saved file when the user gives them.
struct WriteOnlyValues {
  std::string setCommunity;
  std::string tcpipPassword;
  std::string netwarePassword;
  std::string vinesPassword;
  bool any() const {
    return !setCommunity.empty() || !tcpipPassword.empty() || !netwarePassword.empty() || !vinesPassword.empty();
  }
};

// The "Write Only Information" dialog without a display: four fields, each with its label, its
// length limit and whether the unit has the feature.
class WriteOnlyInfoModel {
 public:
  enum Field { SetCommunity, TcpIpPassword, NetWarePassword, VinesPassword, FieldCount };
  struct Item {
    std::uint32_t label;
    std::size_t maxLength;
    bool enabled;
    std::string value;
  };
  // TCP/IP password: TCP/IP installed at level 3 or more; NetWare and VINES: installed.
  WriteOnlyInfoModel(bool tcpip, int tcpipLevel, bool netware, bool vines);
  // From the sheet's installed protocols and TCP/IP level.
  static WriteOnlyInfoModel forSheet(CConfigPropSheet& sheet);

  const Item& item(Field f) const { return items_[f]; }
  // A disabled field keeps nothing; a value is cut at the field's limit, as the edit box does.
  void set(Field f, std::string value);
  // The values to save: the enabled fields (blank ones are ignored by the save).
  WriteOnlyValues values() const;

 private:
  std::array<Item, FieldCount> items_;
};

// The pages of a read sheet in the order the file takes them.
std::vector<CDevicePage*> backupPageOrder(CConfigPropSheet& sheet);

struct BackupSaveResult {
  int rc = 0;              // 0, or 3336 when some value did not save (the summary message)
  bool written = false;    // the chosen file was replaced
  bool writeOnly = false;  // it holds write-only values (mode 0600)
  std::string error;       // why the file could not be written at all
};

// Saves the sheet to `file`: pages write into a temporary file, the write-only values are added
// to their groups just for this write, and the file is replaced only when every value saved, or
// (as far as it got) when no file existed before; an existing backup is never left half written.
BackupSaveResult saveConfiguration(CConfigPropSheet& sheet, const std::string& file, const WriteOnlyValues& writeOnly);

// Loads `file` into the read sheet's pages (each page is marked restored): 0, or 3336 when some
// value did not restore. 3153 when the file cannot be read.
int restoreConfiguration(CConfigPropSheet& sheet, const std::string& file);

// The IP address a backup file holds for the unit (the TCP/IP section's address without its tag),
// for a unit that has none yet; empty when the file has no usable one.
std::string backupFileAddress(const std::string& file, const std::string& prefix);

// The summary text id of a save or restore result (0 when there is nothing to say).
std::uint32_t saveSummaryText(int rc);
std::uint32_t restoreSummaryText(int rc);

}  // namespace config
