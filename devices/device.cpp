#include "devices/device.h"

#include <cstdio>

#include "devices/device_column.h"

namespace devices {
namespace {

int hexDigit(char c) noexcept {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Up to `bytes` * 2 hex digits, left-padded with "0", into `out`.
bool parseHexPadded(std::string_view text, std::uint8_t* out, std::size_t bytes) noexcept {
  if (text.empty() || text.size() > bytes * 2) return false;
  std::uint8_t value[8] = {};
  const std::size_t pad = bytes * 2 - text.size();
  for (std::size_t i = 0; i < bytes * 2; ++i) {
    const int d = i < pad ? 0 : hexDigit(text[i - pad]);
    if (d < 0) return false;
    value[i / 2] = static_cast<std::uint8_t>((value[i / 2] << 4) | d);
  }
  for (std::size_t i = 0; i < bytes; ++i) out[i] = value[i];
  return true;
}

}  // namespace

bool isFactoryAddress(std::string_view ip) noexcept {
  const auto value = parseIpv4(ip);
  if (!value) return false;
  for (const char* factory : kFactoryAddresses)
    if (parseIpv4(factory) == value) return true;
  return false;
}

FixedText<13> hardwareAddressText(const std::array<std::uint8_t, 6>& b) noexcept {
  char text[13];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
  return FixedText<13>(text);
}

// --- CDevice ---------------------------------------------------------------------------------

void CDevice::clear() noexcept {
  systemName.clear();
  hardwareAddress.clear();
  serialNumber.clear();
  productType.clear();
  productNumber.clear();
  datecode.clear();
  statusWordText.clear();
  for (int p = 0; p < kMaxPorts; ++p) {
    portStatusWords[p].clear();
    portNames[p].clear();
    portStatusTexts[p].clear();
    printerIds[p].clear();
    printerDisplays[p].clear();
    portNumbers[p].clear();
  }
  getCommunity.clear();
  setCommunity.clear();
  familyCode.clear();
  ssid.clear();
  wirelessMode.clear();
  currentSsid.clear();
  security.clear();
  signalDescription.clear();
  signalPercentage.clear();
  dataRate.clear();
  location.clear();
  firmwareVersion.clear();
  generalStatus.clear();
  portBits = {};
  deviceBits = kBitNoResponse;
  replyStatusLevel = kLevelError;
  replyFormat = 0;
  configured = false;
  answered = false;
}

const char* CDevice::columnText(int column) const noexcept { return deviceColumnText(*this, column); }

std::uint32_t CDevice::statusBits(int index) const noexcept {
  std::uint32_t bits = deviceBits;
  if (index >= 1 && index <= kMaxPorts) return bits | portBits[index - 1];
  for (std::uint32_t port : portBits) bits |= port;
  return bits;
}

int CDevice::statusLevel(int index, const StatusMasks& masks) const noexcept {
  return levelFromBits(statusBits(index), masks);
}

void CDevice::updateStatusTexts(const StatusMasks& masks) noexcept {
  statusWordText.assign(statusWord(statusLevel(0, masks)));
  for (int p = 0; p < kMaxPorts; ++p) {
    if (p < portCount_)
      portStatusWords[p].assign(statusWord(statusLevel(p + 1, masks)));
    else
      portStatusWords[p].clear();
  }
}

int CDevice::composeStatusText(std::string& out, int port) const {
  out.clear();
  // A reply of an unknown format leaves the device unanswered but marked "Bad Format".
  if (statusWordText == kTextBadFormat || (answered && (replyFormat < 1 || replyFormat > 3))) {
    out = kTextUnknownFormat;
    return -1;
  }
  if (!answered) {
    out = kTextCannotCommunicate;
    return -1;
  }
  composePortLines(out, port);
  return 0;
}

void CDevice::composePortLines(std::string& out, int port) const {
  out.clear();
  if (port >= 0 && port < portCount_) {
    out += "Printer: ";
    out += portStatusTexts[port].view();
    out += '\n';
  } else {
    // 255 asks for every port; so does any port this device does not have.
    for (int p = 0; p < portCount_; ++p) {
      out += "Printer ";
      out += std::to_string(p + 1);
      out += ": ";
      out += portStatusTexts[p].view();
      out += '\n';
    }
  }
  out += "General Status: ";
  out += generalStatus.view();
}

// --- CIpDevice -------------------------------------------------------------------------------

void CIpDevice::clear() noexcept {
  CDevice::clear();
  subnetMask.clear();
  defaultGateway.clear();
  printerMibAnswered = false;
}

const char* CIpDevice::kindColumnText(int column) const noexcept {
  switch (column) {
    case kColIpAddress: return ipAddress.c_str();
    case kColSubnetMask: return subnetMask.c_str();
    case kColDefaultGateway: return defaultGateway.c_str();
    default: return nullptr;
  }
}

ReplyStatus CIpDevice::parseReply(const std::uint8_t* data, std::size_t length, const StatusMasks& masks) noexcept {
  if (kind == kKindSecondFamily) {
    SecondFamilyReply reply;
    const ReplyStatus status = parseSecondFamilyReply(data, length, reply);
    if (status == ReplyStatus::Ok) applySecondFamilyReply(reply, masks);
    return status;
  }
  DiscoveryReply reply;
  const ReplyStatus status = parseDiscoveryReply(data, length, reply);
  if (status == ReplyStatus::Ok) {
    applyReply(reply, masks);
  } else if (status == ReplyStatus::UnknownFormat) {
    clear();
    replyFormat = reply.format;
    statusWordText.assign(kTextBadFormat);
  }
  return status;
}

void CIpDevice::applyReply(const DiscoveryReply& r, const StatusMasks& masks) noexcept {
  clear();
  replyFormat = r.format;
  hardwareAddress = hardwareAddressText(r.hardwareAddress);
  ipAddress = formatIpv4(r.ip.data());
  subnetMask = formatIpv4(r.mask.data());
  defaultGateway = formatIpv4(r.gateway.data());
  serialNumber = r.serialNumber;
  systemName = r.systemName;
  productNumber = r.productNumber;
  productType = r.productType;
  datecode = r.datecode;
  familyCode = r.familyCode;
  getCommunity = r.getCommunity;
  setCommunity = r.setCommunity;
  generalStatus = r.generalStatus;
  setPortCount(r.portCount);
  for (int p = 0; p < portCount(); ++p) {
    portNames[p] = r.ports[p].name;
    portNumbers[p].assign(std::to_string(p + 1));
  }
  const ReplyStatusDecode decoded = decodeReplyStatus(r);
  deviceBits = decoded.deviceBits;
  replyStatusLevel = decoded.level;
  portBits = decoded.portBits;
  updateStatusTexts(masks);
  configured = !isFactoryAddress(ipAddress.view());
  answered = true;
}

void CIpDevice::applySecondFamilyReply(const SecondFamilyReply& r, const StatusMasks& masks) noexcept {
  clear();
  kind = kKindSecondFamily;
  secondFamilyReplyForm = r.form;
  ipAddress = formatIpv4(r.ip.data());
  hardwareAddress = hardwareAddressText(r.hardwareAddress);
  systemName = r.systemName;
  productType.assign(r.model.view());
  if (r.form == 1) firmwareVersion.assign(r.firmwareVersion.view());
  deviceBits = kBitSecondFamily;
  replyStatusLevel = kLevelGood;
  updateStatusTexts(masks);
  configured = !isFactoryAddress(ipAddress.view());
  answered = true;
}

// --- CIpxDevice ------------------------------------------------------------------------------

const char* CIpxDevice::kindColumnText(int column) const noexcept {
  if (column == kColNetworkNumber) return networkNumber.c_str();
  return CIpDevice::kindColumnText(column);
}

bool CIpxDevice::setIpxAddress(std::string_view text) noexcept {
  const std::size_t dash = text.find('-');
  if (dash == std::string_view::npos) return false;
  std::array<std::uint8_t, 4> net;
  std::array<std::uint8_t, 6> host;
  if (!parseHexPadded(text.substr(0, dash), net.data(), net.size())) return false;
  if (!parseHexPadded(text.substr(dash + 1), host.data(), host.size())) return false;
  setIpxAddress(net, host);
  return true;
}

void CIpxDevice::setIpxAddress(const std::array<std::uint8_t, 4>& net, const std::array<std::uint8_t, 6>& host) noexcept {
  network = net;
  node = host;
  char text[9];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X", net[0], net[1], net[2], net[3]);
  networkNumber.assign(text);
}

FixedText<22> CIpxDevice::ipxAddressText() const noexcept {
  char text[22];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X%02X%02X%02X%02X", network[0], network[1], network[2],
                network[3], node[0], node[1], node[2], node[3], node[4], node[5]);
  return FixedText<22>(text);
}

// --- CSerialDevice ---------------------------------------------------------------------------

const char* CSerialDevice::kindColumnText(int column) const noexcept {
  if (column == kColSerialPort) return portName.c_str();
  return CIpDevice::kindColumnText(column);
}

// --- CNetWareDevice --------------------------------------------------------------------------

void CNetWareDevice::clear() noexcept {
  CDevice::clear();
  nwName.clear();
  networkNumber.clear();
  fileServerOrTree.clear();
  mode.clear();
  counters = {};
  failureText.clear();
}

const char* CNetWareDevice::kindColumnText(int column) const noexcept {
  switch (column) {
    case kColNwName: return nwName.c_str();
    case kColNetworkNumber: return networkNumber.c_str();
    case kColFileServerOrTree: return fileServerOrTree.c_str();
    case kColMode: return mode.c_str();
    default: return nullptr;
  }
}

int CNetWareDevice::composeStatusText(std::string& out, int port) const {
  if (!answered) {
    out = failureText.empty() ? std::string(kTextCannotCommunicate) : std::string(failureText.view());
    return -1;
  }
  composePortLines(out, port);
  return 0;
}

const char* CNetWareDevice::modeText(int modeValue) noexcept {
  switch (modeValue) {
    case 2: return "PServer";
    case 3: return "RPrinter";
    default: return "Unknown";
  }
}

void CNetWareDevice::defaultNwName() noexcept {
  if (!nwName.empty()) return;
  std::string name(familyCode.view());
  name += serialNumber.view();
  nwName.assign(name);
}

}  // namespace devices
