#include "config/serial_dialogs.h"

#include <cstdio>

namespace config {

int choiceIndex(const std::vector<Choice>& list, std::int32_t value) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].value == value) return static_cast<int>(i);
  return -1;
}

namespace {

// The list's value when it offers it, else its first entry (0 for an empty list).
std::int32_t selectOrFirst(const std::vector<Choice>& list, std::int32_t value) {
  if (offers(list, value)) return value;
  return list.empty() ? 0 : list.front().value;
}

std::string rangeText(const char* format, int low, int high) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, low, high);
  return buffer;
}

// A typed number of at most five digits, else `fallback`.
std::int32_t numberOr(const std::string& text, std::int32_t fallback) {
  if (text.empty() || text.size() > 5) return fallback;
  std::int32_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return fallback;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Serial Port Settings

CSerialPortSettingsDlg::CSerialPortSettingsDlg(std::uint32_t features, bool serialInput, bool bidi,
                                               const SerialValues& values)
    : features_(features), serialInput_(serialInput) {
  if (features_ & 0x1E0u) bidirectionalChoices.push_back({1, "Enabled"});
  bidirectionalChoices.push_back({0, "Disabled"});
  bidirectional = bidi && (features_ & 0x1E0u);
  parities = {{1, "None"}, {2, "Odd"}, {3, "Even"}};
  dataBits = {{7, "7"}, {8, "8"}};
  stopBits = {{1, "1"}, {2, "2"}};
  fill();
  speed = selectOrFirst(speeds, values.speed);
  flow = bidirectional ? 3 : selectOrFirst(flows, values.flow);
  parity = selectOrFirst(parities, values.parity);
  data = selectOrFirst(dataBits, values.dataBits);
  stop = selectOrFirst(stopBits, values.stopBits);
}

std::string CSerialPortSettingsDlg::title() const {
  return std::string(serialInput_ ? "Serial Input" : "Serial Output") + " Port Settings";
}

void CSerialPortSettingsDlg::fill() {
  speeds.clear();
  flows.clear();
  static constexpr const char* kNames[] = {"9600 Baud", "19200 Baud", "38400 Baud", "57600 Baud", "115200 Baud"};
  if (bidirectional) {
    for (int i = 0; i < 4; ++i)
      if (features_ & (32u << i)) speeds.push_back({6 + i, kNames[i]});
  } else {
    for (int i = 0; i < 5; ++i)
      if (features_ & (1u << i)) speeds.push_back({1 + i, kNames[i]});
    flows = {{1, "None"}, {2, "Auto"}, {4, "XON/XOFF"}};
  }
  flows.push_back({3, "DTR/DSR"});
}

std::string CSerialPortSettingsDlg::changeBidirectional(bool on, std::string* focus) {
  if (on == bidirectional) return {};
  if (on && !offers(bidirectionalChoices, 1)) return {};
  bidirectional = on;
  fill();
  const std::int32_t moved = on ? speed + 5 : speed - 5;
  std::string message;
  if (!offers(flows, flow)) {
    flow = flows.front().value;
    message = kTextSerialIncompatible;
    if (focus) *focus = "flow";
  }
  if (offers(speeds, moved)) {
    speed = moved;
  } else {
    speed = speeds.empty() ? 0 : speeds.front().value;
    message = kTextSerialIncompatible;
    if (focus) *focus = "speed";
  }
  return message;
}

void CSerialPortSettingsDlg::apply(SerialValues& out, bool& bidirectionalOut) const {
  bidirectionalOut = bidirectional;
  if (speed) out.speed = speed;
  out.flow = flow;
  out.parity = parity;
  out.stopBits = stop;
  out.dataBits = data;
}

// ---------------------------------------------------------------------------------------------
// Serial Settings

const std::vector<Choice>& CSerialSettingsDlg::modes() {
  static const std::vector<Choice> list{{0, "Disabled"}, {1, "232"}, {2, "422"}, {4, "485"}};
  return list;
}

const std::vector<Choice>& CSerialSettingsDlg::speedList() {
  static const std::vector<Choice> list = [] {
    std::vector<Choice> l;
    for (int s : {300, 600, 1200, 2400, 3600, 4800, 7200, 9600, 14400, 19200, 38400, 57600, 76800, 115200, 230400,
                  460800})
      l.push_back({s, std::to_string(s)});
    return l;
  }();
  return list;
}

const std::vector<Choice>& CSerialSettingsDlg::parityList() {
  static const std::vector<Choice> list{{0, "None"}, {1, "Even"}, {2, "Odd"}, {4, "Space"}, {3, "Mark"}};
  return list;
}

const std::vector<Choice>& CSerialSettingsDlg::flowList() {
  static const std::vector<Choice> list{{0, "None"}, {1, "Xon/Xoff"}, {2, "CTS/RTS"}};
  return list;
}

CSerialSettingsDlg::CSerialSettingsDlg(const SerialValues& v) : held_(v) {
  // 3 is 485 in full duplex, 4 in half duplex.
  mode = v.mode == 3 ? 4 : selectOrFirst(modes(), v.mode);
  fullDuplex = v.mode == 3;
  speed = selectOrFirst(speedList(), v.speed);
  charBits = v.dataBits == 7 ? 7 : 8;
  stopBits = v.stopBits == 2 ? 2 : 1;
  parity = selectOrFirst(parityList(), v.parity);
  flow = selectOrFirst(flowList(), v.flow);
  modbus = v.modbus == 1;
  deviceType = v.deviceType == 1 ? 1 : 0;
  autoSlaveId = v.slaveId != 0;
  initialDelay = std::to_string(v.initialDelay);
  slaveId = std::to_string(v.slaveId);
  charTimeout = std::to_string(v.charTimeout);
  messageTimeout = std::to_string(v.messageTimeout);
  tcpException = v.tcpException == 1;
}

SerialCheck CSerialSettingsDlg::check() {
  if (!modbus) return {};
  struct Field {
    std::string* text;
    std::int32_t previous;
    int low, high;
    const char* format;
    const char* name;
    bool active;
  };
  const Field fields[] = {
      {&initialDelay, held_.initialDelay, 100, 4000, kTextInitialDelayRange, "initialDelay", true},
      {&charTimeout, held_.charTimeout, 10, 3000, kTextCharTimeoutRange, "charTimeout", true},
      {&messageTimeout, held_.messageTimeout, 10, 30000, kTextMessageTimeoutRange, "messageTimeout", true},
      {&slaveId, held_.slaveId, 1, 247, kTextSlaveIdRange, "slaveId", autoSlaveId},
  };
  for (const Field& f : fields) {
    if (!f.active) continue;
    if (f.text->empty()) {
      *f.text = std::to_string(f.previous);  // an empty field keeps its value and shows it again
      continue;
    }
    const std::int32_t n = numberOr(*f.text, -1);
    if (n < f.low || n > f.high) return {rangeText(f.format, f.low, f.high), f.name};
  }
  return {};
}

void CSerialSettingsDlg::apply(SerialValues& out) const {
  out.mode = mode == 4 ? (fullDuplex ? 3 : 4) : mode;
  out.speed = speed;
  out.dataBits = charBits;
  out.stopBits = stopBits;
  out.parity = parity;
  out.flow = flow;
  out.modbus = modbus ? 1 : 0;
  if (!modbus) return;  // the Modbus values keep what they were
  out.deviceType = deviceType;
  out.slaveId = autoSlaveId ? numberOr(slaveId, held_.slaveId) : 0;
  out.initialDelay = numberOr(initialDelay, held_.initialDelay);
  out.charTimeout = numberOr(charTimeout, held_.charTimeout);
  out.messageTimeout = numberOr(messageTimeout, held_.messageTimeout);
  out.tcpException = tcpException ? 1 : 0;
}

}  // namespace config
