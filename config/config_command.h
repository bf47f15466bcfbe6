#pragma once
// The "&Configuration" command from the selected print server to the sheet and back: the
// "Cannot communicate" retry, the family prefix, the transport's branches (an unconfigured
// address, a telnet-managed unit, an unsupported IPX product), the communities, the sheet in its
// mode (show, save to a file, restore from a file), and afterwards the list row at the address
// the unit now has. Everything around it goes through ConfigCommandHost.
#include <cstdint>
#include <memory>
#include <string>

#include "access/community_check.h"
#include "access/snmp_target.h"
#include "config/config_backup.h"
#include "config/config_sheet.h"
#include "devices/device.h"

namespace config {

// View transports.
inline constexpr int kViewTcpIp = 6;
inline constexpr int kViewIpx = 7;
inline constexpr int kViewSerial = 8;

enum class SheetMode { Show = 0, SaveToFile = 1, RestoreFromFile = 2 };

// What the command needs from the main window.
class ConfigCommandHost {
 public:
  virtual ~ConfigCommandHost() = default;
  virtual devices::CDevice* selectedDevice() = 0;
  virtual int viewTransport() = 0;
  // Asks the device again and refreshes its row (with `text` in the progress window).
  virtual int refreshRow(devices::CDevice& device) = 0;
  // Selects the family's enterprise prefix and returns it.
  virtual std::string selectFamily(const devices::CDevice& device) = 0;
  // Address, family, communities from the access list, progress window. False without an address.
  virtual bool prepareTarget(const devices::CDevice& device, snmpaccess::SnmpTarget& target) = 0;
  virtual snmpaccess::CommunityAsk communityAsk() = 0;
  virtual void report(std::uint32_t textId, int errorClass) = 0;
  virtual void message(const std::string& text) = 0;
  // Address assignment of an unconfigured unit; false when it failed or is not available.
  virtual bool assignAddress(devices::CDevice& device) = 0;
  virtual void postTelnet() = 0;
  virtual void runPrintConfigurationSheet() = 0;
  // The services the sheet runs with (report, pause, identify, timeouts).
  virtual SheetServices sheetServices() = 0;
  // Pages of later areas and the second traps form.
  virtual void installPages(CConfigPropSheet& sheet) { (void)sheet; }
  // Shows the sheet modally: true when it ended with OK.
  virtual bool showSheet(CConfigPropSheet& sheet, const std::string& title) = 0;
  // The progress window around the reading.
  virtual void showProgress(bool on) = 0;
  // Save to a file: the "Write Only Information" dialog fills the model (left empty when the
  // dialog is not confirmed).
  virtual void askWriteOnly(WriteOnlyInfoModel& model) { (void)model; }
  // The backup file's IP address for an unconfigured unit in restore mode (empty when none).
  virtual std::string backupFileAddress(const std::string& file) {
    (void)file;
    return {};
  }
};

enum class CommandOutcome {
  NoDevice, CannotCommunicate, NotSupported, Redirected, AssignmentFailed, Cancelled, ReadFailed, Closed, Saved,
  FileIncomplete,  // a backup file that did not save or could not be read
};

CommandOutcome runConfigurationCommand(ConfigCommandHost& host, SheetMode mode = SheetMode::Show,
                                       const std::string& file = {});

}  // namespace config
