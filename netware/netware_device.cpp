#include "netware/netware_device.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "netware/bindery_name.h"

namespace netware {

namespace {

bool hexBytes(std::string_view text, std::uint8_t* out, std::size_t n) {
  if (text.size() != 2 * n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned v = 0;
    for (int k = 0; k < 2; ++k) {
      const char c = text[2 * i + static_cast<std::size_t>(k)];
      if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
      v = v * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::toupper(c) - 'A' + 10));
    }
    out[i] = static_cast<std::uint8_t>(v);
  }
  return true;
}

// The record of a unit as its IPX query filled it, without the NetWare fields.
void copyRecord(const devices::CDevice& from, devices::CDevice& to) {
  to.kind = from.kind;
  to.systemName = from.systemName;
  to.hardwareAddress = from.hardwareAddress;
  to.serialNumber = from.serialNumber;
  to.productType = from.productType;
  to.productNumber = from.productNumber;
  to.datecode = from.datecode;
  to.statusWordText = from.statusWordText;
  to.portStatusWords = from.portStatusWords;
  to.portNames = from.portNames;
  to.portStatusTexts = from.portStatusTexts;
  to.printerIds = from.printerIds;
  to.printerDisplays = from.printerDisplays;
  to.portNumbers = from.portNumbers;
  to.getCommunity = from.getCommunity;
  to.setCommunity = from.setCommunity;
  if (!from.familyCode.empty()) to.familyCode = from.familyCode;
  to.location = from.location;
  to.firmwareVersion = from.firmwareVersion;
  to.generalStatus = from.generalStatus;
  to.portBits = from.portBits;
  to.deviceBits = from.deviceBits;
  to.configured = from.configured;
  to.answered = from.answered;
  to.replyStatusLevel = from.replyStatusLevel;
  to.replyFormat = from.replyFormat;
  to.setPortCount(from.portCount());
}

}  // namespace

std::vector<FamilyType> printServerFamilies(const std::vector<std::string>& oem) {
  std::vector<FamilyType> out{{"KDV", kTypeDevice0363}, {"ZBN", kTypeDevice0927}, {"HLQ", kTypeDevice0363}};
  for (const auto& code : oem)
    if (!code.empty() && code != "KDV" && code != "ZBN" && code != "HLQ") out.push_back({code, kTypeDevice0363});
  return out;
}

std::string familyOfObjectName(const std::string& name, const std::vector<std::string>& oem) {
  if (name.size() < 3) return {};
  const std::string code = name.substr(0, 3);
  for (const auto& f : printServerFamilies(oem))
    if (f.code == code) return code;
  return {};
}

bool CNetWareBinderyDevice::setIpxAddress(const std::string& text) {
  const auto dash = text.find('-');
  if (dash == std::string::npos) return false;
  std::uint8_t net[4], node[6];
  if (!hexBytes(std::string_view(text).substr(0, dash), net, 4) || !hexBytes(std::string_view(text).substr(dash + 1), node, 6))
    return false;
  networkNumber.assign(networkText({net[0], net[1], net[2], net[3]}));
  hardwareAddress = devices::hardwareAddressText({node[0], node[1], node[2], node[3], node[4], node[5]});
  return true;
}

bool CNetWareBinderyDevice::lookUpInBindery() {
  std::uint32_t conn = 0;
  if (fnk_.GetDefaultConnection(&conn) != 0) return false;
  for (const auto& f : printServerFamilies(oem_)) {
    const std::string name = f.code + std::string(serialNumber.view());
    if (!fitsBinderyName(name)) continue;
    std::uint8_t value[kPropertySegment] = {};
    std::uint8_t more = 0, flags = 0;
    if (fnk_.ReadPropertyValue(conn, name.c_str(), f.type, "NET_ADDRESS", 1, value, &more, &flags) != 0) continue;
    const auto address = netAddressFromValue(value, sizeof value);
    if (!address) continue;
    familyCode.assign(f.code);
    networkNumber.assign(networkText(address->network));
    hardwareAddress = devices::hardwareAddressText(address->node);
    return true;
  }
  return false;
}

int CNetWareBinderyDevice::query(devices::ReplyBuffer* reply) {
  const std::string serial(serialNumber.view());
  const std::string network(networkNumber.view());
  const std::string node(hardwareAddress.view());
  const std::string family(familyCode.view());
  clear();
  serialNumber.assign(serial);
  familyCode.assign(family);
  bool found = !serial.empty() && lookUpInBindery();
  if (!found) {
    networkNumber.assign(network);
    hardwareAddress.assign(node);
    if (network.empty() || node.empty()) {
      failureText.assign(kTextNotInBindery);
      return -1;
    }
  }
  devices::CIpxDevice unit;
  if (!unit.setIpxAddress(std::string(networkNumber.view()) + "-" + std::string(hardwareAddress.view()))) {
    failureText.assign(kTextNoConnection);
    return -1;
  }
  unit.progress = progress;
  unit.querySettings = querySettings;
  const int result = unit.query(reply);
  if (result == 2) return 2;
  if (result != 0) {
    failureText.assign(kTextNoPacket);
    return -1;
  }
  copyRecord(unit, *this);
  updateStatusTexts(querySettings.masks);
  defaultNwName();
  return 0;
}

}  // namespace netware
