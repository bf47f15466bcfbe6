#include "wizard/wz_serial_page.h"

#include <charconv>
#include <cstdio>

#include "access/mib_catalogue.h"

namespace wizard {

namespace {

enum RowVar {
  kPortType = 12, kFlow = 17, kDataBits = 18, kStopBits = 19, kParity = 20, kSpeed = 21, kMode = 22, kModbus = 23,
  kDeviceType = 24, kSlaveId = 25, kInitialDelay = 26, kCharTimeout = 27, kMessageTimeout = 28, kTcpException = 29,
};

std::int32_t intOf(const snmpaccess::CMibGroup* g, int index, std::int32_t fallback) {
  std::int32_t v = fallback;
  if (!g || g->getInteger(index, v) != 0) return fallback;
  return v;
}

// Empty: keep `current` (the field is refilled with it). Otherwise the number, or false.
bool numberField(std::string& text, std::int32_t current, std::int32_t& out) {
  if (text.empty()) {
    text = std::to_string(current);
    out = current;
    return true;
  }
  std::int32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  out = v;
  return true;
}

PageCheck rangeFailure(const char* format, int low, int high, const char* field) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, low, high);
  return PageCheck::fail(buffer, field);
}

const char* pick(const std::vector<const char*>& texts, std::int32_t v) {
  return v >= 0 && v < static_cast<std::int32_t>(texts.size()) ? texts[static_cast<std::size_t>(v)] : "";
}

}  // namespace

const std::vector<ListItem>& SerialLists::modes() {
  static const std::vector<ListItem> k{{"Disabled", 0}, {"232", 1}, {"422", 2}, {"485", 4}};
  return k;
}
const std::vector<ListItem>& SerialLists::duplex() {
  static const std::vector<ListItem> k{{"Half", 0}, {"Full", 1}};
  return k;
}
const std::vector<ListItem>& SerialLists::dataBits() {
  static const std::vector<ListItem> k{{"7", 7}, {"8", 8}};
  return k;
}
const std::vector<ListItem>& SerialLists::stopBits() {
  static const std::vector<ListItem> k{{"1", 1}, {"2", 2}};
  return k;
}
const std::vector<ListItem>& SerialLists::parities() {
  static const std::vector<ListItem> k{{"None", 0}, {"Even", 1}, {"Odd", 2}, {"Space", 4}, {"Mark", 3}};
  return k;
}
const std::vector<ListItem>& SerialLists::speeds() {
  static const std::vector<ListItem> k = [] {
    std::vector<ListItem> v;
    for (int s : {300, 600, 1200, 2400, 3600, 4800, 7200, 9600, 14400, 19200, 38400, 57600, 76800, 115200, 230400,
                  460800})
      v.push_back({std::to_string(s), s});
    return v;
  }();
  return k;
}
const std::vector<ListItem>& SerialLists::flows() {
  static const std::vector<ListItem> k{{"None", 0}, {"Xon/Xoff", 1}, {"CTS/RTS", 2}};
  return k;
}
const std::vector<ListItem>& SerialLists::onOff() {
  static const std::vector<ListItem> k{{"Disabled", 0}, {"Enabled", 1}};
  return k;
}
const std::vector<ListItem>& SerialLists::deviceTypes() {
  static const std::vector<ListItem> k{{"Modbus RTU Slave", 0}, {"Modbus ASCII Slave", 1}};
  return k;
}

CWzSerialDlg::CWzSerialDlg(std::string prefix) : prefix_(std::move(prefix)) {}

snmpaccess::CMibGroup* CWzSerialDlg::row() {
  snmpaccess::CMibGroup* r = nullptr;
  return group_ && group_->row(0, r) == 0 ? r : nullptr;
}

int CWzSerialDlg::read(snmpaccess::CSnmpSession& session) {
  snmpaccess::GroupParams p;
  p.prefix = prefix_;
  group_ = std::make_unique<snmpaccess::COutputPortGroup>(p);
  if (const int rc = group_->read(session)) return rc;
  const snmpaccess::CMibGroup* r = row();
  const int level = group_->mibVersion();
  if (!r || intOf(r, kPortType, 0) != kSerialPortType || level == mib::kLevelUnknown || !mib::levelAtLeast(level, 7))
    return kNotSerial;
  flow_ = intOf(r, kFlow, 0);
  dataBits_ = intOf(r, kDataBits, 8);
  stopBits_ = intOf(r, kStopBits, 1);
  parity_ = intOf(r, kParity, 0);
  speed_ = intOf(r, kSpeed, 9600);
  mode_ = intOf(r, kMode, 0);
  modbus_ = intOf(r, kModbus, 0);
  deviceType_ = intOf(r, kDeviceType, 0);
  slaveId_ = intOf(r, kSlaveId, 0);
  initialDelay_ = intOf(r, kInitialDelay, 100);
  charTimeout_ = intOf(r, kCharTimeout, 10);
  messageTimeout_ = intOf(r, kMessageTimeout, 1000);
  tcpException_ = intOf(r, kTcpException, 0);
  clearChanged();
  return 0;
}

void CWzSerialDlg::fill() {
  SerialControls& c = controls_;
  c.mode = mode_ == 3 || mode_ == 4 ? 4 : mode_;
  c.duplex = mode_ == 3 ? 1 : 0;
  c.dataBits = dataBits_;
  c.stopBits = stopBits_;
  c.parity = parity_;
  c.speed = speed_;
  c.flow = flow_;
  c.modbus = modbus_;
  c.deviceType = deviceType_;
  c.tcpException = tcpException_;
  c.autoSlaveId = slaveId_ != 0 ? 1 : 0;
  c.initialDelay = std::to_string(initialDelay_);
  c.charTimeout = std::to_string(charTimeout_);
  c.messageTimeout = std::to_string(messageTimeout_);
  c.slaveId = std::to_string(slaveId_);
}

PageCheck CWzSerialDlg::leave(bool) {
  SerialControls& c = controls_;
  if (modbusEnabled()) {
    std::int32_t delay = 0, charTimeout = 0, messageTimeout = 0, slave = 0;
    if (!numberField(c.initialDelay, initialDelay_, delay) || delay < 100 || delay > 4000)
      return rangeFailure(kTextInitialDelayRange, 100, 4000, "initialDelay");
    if (!numberField(c.charTimeout, charTimeout_, charTimeout) || charTimeout < 10 || charTimeout > 3000)
      return rangeFailure(kTextCharTimeoutRange, 10, 3000, "charTimeout");
    if (!numberField(c.messageTimeout, messageTimeout_, messageTimeout) || messageTimeout < 10 ||
        messageTimeout > 30000)
      return rangeFailure(kTextMessageTimeoutRange, 10, 30000, "messageTimeout");
    if (c.autoSlaveId == 1) {
      if (!numberField(c.slaveId, slaveId_, slave) || slave < 1 || slave > 247)
        return rangeFailure(kTextSlaveIdRange, 1, 247, "slaveId");
    }
    initialDelay_ = delay;
    charTimeout_ = charTimeout;
    messageTimeout_ = messageTimeout;
    slaveId_ = c.autoSlaveId == 1 ? slave : 0;
    deviceType_ = c.deviceType;
    tcpException_ = c.tcpException;
  }
  mode_ = c.mode == 4 && c.duplex == 1 ? 3 : c.mode;
  speed_ = c.speed;
  dataBits_ = c.dataBits;
  stopBits_ = c.stopBits;
  modbus_ = c.modbus;
  parity_ = c.parity;
  flow_ = c.flow;
  return PageCheck::pass();
}

std::string CWzSerialDlg::GetChangeSummary() const {
  if (!changed()) return std::string(kRule) + "\r\nSerial Changes:  No Changes Detected";
  static const std::vector<const char*> kModes{"Disabled", "232", "422", "485", "485"};
  static const std::vector<const char*> kParities{"None", "Even", "Odd", "Mark", "Space"};
  static const std::vector<const char*> kFlows{"None", "Xon/Xoff", "CTS/RTS"};
  static const std::vector<const char*> kOnOff{"Disabled", "Enabled"};
  static const std::vector<const char*> kTypes{"Modbus RTU Slave", "Modbus ASCII Slave"};
  const std::string bits = dataBits_ == 7 || dataBits_ == 8 ? std::to_string(dataBits_) : std::string();
  const std::string stops = stopBits_ == 1 || stopBits_ == 2 ? std::to_string(stopBits_) : std::string();
  std::string s = std::string(kRule) + "\r\nSerial Changes:" + "\r\nSerial Mode   " + pick(kModes, mode_) +
                  "\r\nData Bits:   " + bits + "\r\nParity:   " + pick(kParities, parity_) + "\r\nSpeed:   " +
                  std::to_string(speed_) + "\r\nStop Bits:   " + stops + "\r\nFlow Control:   " + pick(kFlows, flow_) +
                  "\r\nModbus:   " + pick(kOnOff, modbus_);
  if (modbus_ == 1)
    s += std::string("\r\n     Attached Device Type:   ") + pick(kTypes, deviceType_) +
         "\r\n     Initial Delay Time:   " + std::to_string(initialDelay_) + "\r\n     Char Timeout:   " +
         std::to_string(charTimeout_) + "\r\n     Message Timeout:   " + std::to_string(messageTimeout_) +
         "\r\n     Modbus/TCP Exception:   " + pick(kOnOff, tcpException_) + "\r\n     Auto Slave ID:   " +
         std::to_string(slaveId_);
  return s;
}

int CWzSerialDlg::SaveChanges(snmpaccess::CSnmpSession& session) {
  if (!changed() || !group_) return 0;
  snmpaccess::CMibGroup* r = row();
  if (!r) return kNotSerial;
  const int level = group_->mibVersion();
  if (mib::levelAtLeast(level, 6)) {
    r->setIntegerIfChanged(kFlow, flow_);
    r->setIntegerIfChanged(kDataBits, dataBits_);
    r->setIntegerIfChanged(kStopBits, stopBits_);
    r->setIntegerIfChanged(kParity, parity_);
    r->setIntegerIfChanged(kSpeed, speed_);
  }
  if (mib::levelAtLeast(level, 7)) {
    r->setIntegerIfChanged(kMode, mode_);
    r->setIntegerIfChanged(kModbus, modbus_);
    r->setIntegerIfChanged(kDeviceType, deviceType_);
    r->setIntegerIfChanged(kSlaveId, slaveId_);
    r->setIntegerIfChanged(kInitialDelay, initialDelay_);
    r->setIntegerIfChanged(kCharTimeout, charTimeout_);
    r->setIntegerIfChanged(kMessageTimeout, messageTimeout_);
    r->setIntegerIfChanged(kTcpException, tcpException_);
  }
  return group_->writeChanged(session);
}

}  // namespace wizard
