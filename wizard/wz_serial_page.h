#pragma once
// CWzSerialDlg: "Configure Serial Settings" for the first output port when it is a serial port
// (port type 0x7FF7) on a print server of output-port level 7 or more: line settings, RS-485
// duplex, and the Modbus gateway with its range-checked times.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "config/wireless_lists.h"
#include "wizard/wz_page.h"

namespace wizard {

inline constexpr std::int32_t kSerialPortType = 32759;  // 0x7FF7
inline constexpr int kNotSerial = 3331;

inline constexpr const char* kTextInitialDelayRange = "The value for Initial Delay must be between %d and %d.";
inline constexpr const char* kTextCharTimeoutRange = "The value for Character Timeout must be between %d and %d.";
inline constexpr const char* kTextMessageTimeoutRange = "The value for Message Timeout must be between %d and %d.";
inline constexpr const char* kTextSlaveIdRange = "The value for Slave ID must be between %d and %d.";

using config::ListItem;

// The combos' items in the page's order (text, value).
struct SerialLists {
  static const std::vector<ListItem>& modes();         // "Disabled" 0, "232" 1, "422" 2, "485" 4
  static const std::vector<ListItem>& duplex();        // "Half" 0, "Full" 1
  static const std::vector<ListItem>& dataBits();      // "7", "8"
  static const std::vector<ListItem>& stopBits();      // "1", "2"
  static const std::vector<ListItem>& parities();      // "None" 0, "Even" 1, "Odd" 2, "Space" 4, "Mark" 3
  static const std::vector<ListItem>& speeds();        // 300 ... 460800
  static const std::vector<ListItem>& flows();         // "None" 0, "Xon/Xoff" 1, "CTS/RTS" 2
  static const std::vector<ListItem>& onOff();         // "Disabled" 0, "Enabled" 1
  static const std::vector<ListItem>& deviceTypes();   // "Modbus RTU Slave" 0, "Modbus ASCII Slave" 1
};

// What the page's controls hold (combos by value, number fields as typed).
struct SerialControls {
  std::int32_t mode = 0;  // combo value: 0, 1, 2, 4 ("485")
  std::int32_t duplex = 0;
  std::int32_t dataBits = 8, stopBits = 1, parity = 0, speed = 9600, flow = 0;
  std::int32_t modbus = 0, deviceType = 0, tcpException = 0, autoSlaveId = 0;
  std::string initialDelay, charTimeout, messageTimeout, slaveId;
};

class CWzSerialDlg : public CWzPage {
 public:
  explicit CWzSerialDlg(std::string prefix);
  int id() const override { return kSerialId; }
  const char* title() const override { return "Configure Serial Settings"; }

  // 3331 when the first output port is not a serial port or the level is below 7.
  int read(snmpaccess::CSnmpSession& session) override;

  // Edits go through controls() and then edited(); enabling follows the controls.
  SerialControls& controls() { return controls_; }
  void edited() { markChanged(); }
  bool duplexEnabled() const { return controls_.mode == 4; }
  bool modbusEnabled() const { return controls_.modbus == 1; }
  bool slaveIdEnabled() const { return modbusEnabled() && controls_.autoSlaveId == 1; }

  // The values as the print server's row takes them (after leave).
  std::int32_t serialMode() const { return mode_; }
  std::int32_t slaveId() const { return slaveId_; }

  PageCheck leave(bool forward) override;
  std::string GetChangeSummary() const override;
  int SaveChanges(snmpaccess::CSnmpSession& session) override;

 protected:
  void fill() override;

 private:
  snmpaccess::CMibGroup* row();

  std::string prefix_;
  std::unique_ptr<snmpaccess::COutputPortGroup> group_;
  SerialControls controls_;
  // Settings (row variables 17 to 29).
  std::int32_t flow_ = 0, dataBits_ = 8, stopBits_ = 1, parity_ = 0, speed_ = 9600, mode_ = 0, modbus_ = 0;
  std::int32_t deviceType_ = 0, slaveId_ = 0, initialDelay_ = 100, charTimeout_ = 10, messageTimeout_ = 1000;
  std::int32_t tcpException_ = 0;
};

}  // namespace wizard
