#pragma once
// The two serial dialogs of the Output Port page. "Serial Port Settings" edits the speed code,
// flow control, parity, data and stop bits and whether data flows both ways; "Serial Settings"
// (units of the newest level with a bidirectional serial port) the line mode, the real speed and
// the Modbus gateway. Both work on a copy of the page's values and hand it back on OK.
#include <cstdint>
#include <string>
#include <vector>

#include "config/serial_values.h"

namespace config {

inline constexpr const char* kTextSerialIncompatible =
    "The Baud Rate or Flow Control settings are incompatible with Bidirectional Mode.  Their Settings have been "
    "modified.";

class CSerialPortSettingsDlg {
 public:
  // `features` is the port's feature word F; `serialInput` picks the title.
  CSerialPortSettingsDlg(std::uint32_t features, bool serialInput, bool bidirectional, const SerialValues& values);

  std::string title() const;
  std::vector<Choice> bidirectionalChoices;
  std::vector<Choice> speeds, flows, parities, dataBits, stopBits;

  // Selected values (always one of their list's entries once the dialog is built).
  bool bidirectional = false;
  std::int32_t speed = 0, flow = 0, parity = 0, data = 0, stop = 0;

  // "B&idirectional Data:" changed: the lists are refilled and the speed moves by 5. Returns the
  // message when the speed or flow control had to fall back to its list's first entry; `focus`
  // names that list ("speed" or "flow").
  std::string changeBidirectional(bool on, std::string* focus = nullptr);

  // OK: the values into `out`; false for bidirectional data means PJL support is unticked.
  void apply(SerialValues& out, bool& bidirectionalOut) const;

 private:
  void fill();
  std::uint32_t features_;
  bool serialInput_;
};

inline constexpr const char* kTextInitialDelayRange = "The value for Initial Delay must be between %d and %d.";
inline constexpr const char* kTextCharTimeoutRange = "The value for Character Timeout must be between %d and %d.";
inline constexpr const char* kTextMessageTimeoutRange = "The value for Message Timeout must be between %d and %d.";
inline constexpr const char* kTextSlaveIdRange = "The value for Slave ID must be between %d and %d.";

// Result of the Serial Settings OK: empty message = accepted.
struct SerialCheck {
  std::string message;
  std::string field;
  bool ok() const { return message.empty(); }
};

class CSerialSettingsDlg {
 public:
  explicit CSerialSettingsDlg(const SerialValues& values);

  static const std::vector<Choice>& modes();       // "Disabled" 0, "232" 1, "422" 2, "485" 4
  static const std::vector<Choice>& speedList();   // 300 ... 460800
  static const std::vector<Choice>& parityList();  // "None" 0, "Even" 1, "Odd" 2, "Space" 4, "Mark" 3
  static const std::vector<Choice>& flowList();    // "None" 0, "Xon/Xoff" 1, "CTS/RTS" 2

  std::int32_t mode = 0;     // list value (485 is 4)
  bool fullDuplex = false;   // "Duplex:" Full; enabled only for 485
  std::int32_t speed = 300, charBits = 8, stopBits = 1, parity = 0, flow = 0;
  bool modbus = false;
  std::int32_t deviceType = 0;
  bool autoSlaveId = false;  // enables "Slave ID:"
  // The number fields as typed (at most 4, 3, 4 and 5 characters as their limits say).
  std::string initialDelay, slaveId, charTimeout, messageTimeout;
  bool tcpException = false;

  bool duplexEnabled() const { return mode == 4; }
  bool modbusBoxEnabled() const { return modbus; }
  bool slaveIdEnabled() const { return modbus && autoSlaveId; }

  // OK: checks the Modbus numbers in their order; an empty field takes its previous value back.
  SerialCheck check();
  // The accepted values into `out` (17 to 23 always; 24 to 29 only with Modbus on).
  void apply(SerialValues& out) const;

 private:
  SerialValues held_;
};

}  // namespace config
