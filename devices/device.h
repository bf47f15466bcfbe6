#pragma once
// One print server as the utility knows it: identity, addresses, ports, status and the communities
// it reported. The kinds differ in how they are addressed (UDP/IP, IPX, a serial port, the NetWare
// bindery) and in the list columns they supply. This file holds the record and what can be done
// to it without the network: filling it from a parsed reply, clearing it, its status levels and
// texts, and the What's Wrong text of its last reply.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/device_status.h"
#include "devices/discovery_reply.h"
#include "devices/fixed_text.h"
#include "devices/ipv4_text.h"

namespace snmpaccess {
class ProgressWindow;
struct SnmpTarget;
}  // namespace snmpaccess

namespace devices {

// What a query takes from the settings, handed in by whoever creates the device (plain values:
// a query never reads the settings store itself).
struct QuerySettings {
  std::uint16_t discoveryPort = 4201;      // Access\IP DiscoveryPort
  int replyTimeoutMs = 6000;               // Broadcast: wait for a reply
  std::uint16_t ipxDiscoverySocket = 0x4201;
  std::uint16_t secondFamilyPort = 19541;  // TRELLAN_SECOND_FAMILY_PORT
  StatusMasks masks;
  bool extraColumns = false;  // the open view shows per-port, wireless, location or firmware columns
};

// A raw reply as received (the query's "reply buffer").
using ReplyBuffer = std::vector<std::uint8_t>;

// The C++ class of a device, one bit each for the column catalogue's "supplied by" sets.
enum class DeviceClass : std::uint8_t { Ip = 1, Ipx = 2, Serial = 4, NetWare = 8 };

// The kind field: native print server or second family.
inline constexpr int kKindNative = 0;
inline constexpr int kKindSecondFamily = 1;

// SNMP address family codes of a device's address.
inline constexpr int kSnmpProtocolSerial = 0;
inline constexpr int kSnmpProtocolIp = 2;

// Factory addresses: a print server answering from one of them has not been configured.
inline constexpr std::array<const char*, 3> kFactoryAddresses = {"198.102.102.254", "192.0.0.192", "0.0.0.0"};
// Compared as addresses ("000.0.0.0" is 0.0.0.0); a text that is no address is not one of them.
bool isFactoryAddress(std::string_view ip) noexcept;

// Texts of the What's Wrong command.
inline constexpr const char* kTextBadFormat = "Bad Format";
inline constexpr const char* kTextUnknownFormat = "Unknown Format";
inline constexpr const char* kTextCannotCommunicate = "Cannot communicate with the server.";  // 5018
inline constexpr const char* kTextNeedsUpdate =
    "This utility needs updating, it does not support the newest firmware.";  // 5306, class 1

class CDevice {
 public:
  using PortTexts15 = std::array<FixedText<15>, kMaxPorts>;

  CDevice() = default;
  virtual ~CDevice() = default;
  CDevice(const CDevice&) = delete;
  CDevice& operator=(const CDevice&) = delete;

  virtual DeviceClass deviceClass() const noexcept = 0;

  // Asks the print server again and refills the record: 0 answered, 2 stopped by the user, -1 no
  // answer or the request could not be sent. With `reply`, the accepted datagram is copied there.
  // Kinds without a query of their own give -1.
  virtual int query(ReplyBuffer* reply = nullptr) {
    (void)reply;
    return -1;
  }

  // Empties every text, sets the device bits to "No Response", the reply status level to 3 and
  // the port bits to 0, and clears answered and configured. The port count, the kind and the
  // reply form stay; a kind keeps the address it is reached by.
  virtual void clear() noexcept;

  // The text of catalogue column `column` at the current port, or nullptr when this kind has no
  // such column (or the index is out of range).
  const char* columnText(int column) const noexcept;
  // The texts of the columns only some kinds have (NW Name, IP Address, Serial Port, ...).
  virtual const char* kindColumnText(int column) const noexcept { return nullptr; }

  // -1: the Status column shows the device status and the per-port columns show port 0;
  // p: Status and the per-port columns show port p. Out-of-range values mean -1.
  void setCurrentPort(int port) noexcept { currentPort_ = (port >= 0 && port < kMaxPorts) ? port : -1; }
  int currentPort() const noexcept { return currentPort_; }

  int portCount() const noexcept { return portCount_; }
  void setPortCount(int count) noexcept { portCount_ = count < 0 ? 0 : (count > kMaxPorts ? kMaxPorts : count); }

  // Index 0: device bits OR every port's bits; index p+1: device bits OR port p's bits.
  std::uint32_t statusBits(int index) const noexcept;
  int statusLevel(int index, const StatusMasks& masks) const noexcept;
  // Sets the Status texts of the device and of its ports from their levels under `masks`.
  void updateStatusTexts(const StatusMasks& masks) noexcept;

  // The What's Wrong text of the last reply: for port 255 one "Printer n: " line per port, for
  // another port "Printer: " and that port's text, then "General Status: " and the reply's general
  // status. Returns 0, or -1 with "Unknown Format" for a reply format other than 1-3 and with
  // "Cannot communicate with the server." for a device that has not answered. The query that
  // precedes it is the caller's.
  virtual int composeStatusText(std::string& out, int port) const;

 protected:
  // The port lines and the general status line of composeStatusText.
  void composePortLines(std::string& out, int port) const;

 public:

  // Fields (sizes include the terminator).
  int kind = kKindNative;
  int secondFamilyReplyForm = 0;  // 0: 72-byte reply, 1: 166-byte reply
  FixedText<128> systemName;
  FixedText<13> hardwareAddress;  // 12 upper-case hex digits
  FixedText<9> serialNumber;
  FixedText<21> productType;
  FixedText<10> productNumber;
  FixedText<7> datecode;
  FixedText<15> statusWordText;  // "Good", "Warning", "Error", "F/W Update"
  PortTexts15 portStatusWords;
  std::array<FixedText<16>, kMaxPorts> portNames;
  std::array<FixedText<30>, kMaxPorts> portStatusTexts;
  std::array<FixedText<30>, kMaxPorts> printerIds;
  std::array<FixedText<50>, kMaxPorts> printerDisplays;
  std::array<FixedText<3>, kMaxPorts> portNumbers;
  FixedText<32> getCommunity;
  FixedText<32> setCommunity;
  FixedText<4> familyCode;
  FixedText<32> ssid;
  FixedText<15> wirelessMode;
  FixedText<32> currentSsid;
  FixedText<32> security;
  FixedText<10> signalDescription;
  FixedText<4> signalPercentage;
  FixedText<4> dataRate;
  FixedText<64> location;
  FixedText<15> firmwareVersion;
  FixedText<81> generalStatus;  // the reply's general status, for What's Wrong
  std::array<std::uint32_t, kMaxPorts> portBits = {};
  std::uint32_t deviceBits = kBitNoResponse;
  bool configured = false;
  bool answered = false;
  int replyStatusLevel = kLevelError;
  int replyFormat = 0;
  // The discovery's progress window: socket and SNMP notifications go there, waits happen there.
  snmpaccess::ProgressWindow* progress = nullptr;
  QuerySettings querySettings;

 private:
  int portCount_ = 1;
  int currentPort_ = -1;
};

// The native print server over UDP/IP; also the second family (kind 1).
class CIpDevice : public CDevice {
 public:
  explicit CIpDevice(std::string_view address = {}) noexcept { ipAddress.assign(address); }

  DeviceClass deviceClass() const noexcept override { return DeviceClass::Ip; }
  void clear() noexcept override;  // keeps the IP address: it is how the device is asked again
  const char* kindColumnText(int column) const noexcept override;

  // The SNMP address of this device and its family code.
  virtual const char* snmpAddress() const noexcept { return ipAddress.c_str(); }
  virtual int snmpProtocol() const noexcept { return kSnmpProtocolIp; }

  // Parses a received datagram (the native reply, or for kind 1 the second-family probe reply)
  // and fills the device from it. Refused datagrams (short, long, foreign) leave the device as it
  // was; UnknownFormat clears it, sets "Bad Format" and the reply format, and the caller reports
  // 5306. The SNMP reads that follow a reply (printer MIB, extra columns) are the caller's.
  ReplyStatus parseReply(const std::uint8_t* data, std::size_t length, const StatusMasks& masks) noexcept;
  void applyReply(const DiscoveryReply& reply, const StatusMasks& masks) noexcept;
  void applySecondFamilyReply(const SecondFamilyReply& reply, const StatusMasks& masks) noexcept;

  int query(ReplyBuffer* reply = nullptr) override;
  // With an address, sets it and queries once; then queries again while the result is neither 0
  // nor 2 and fewer than `seconds` wall-clock seconds have passed since the start.
  int waitForAnswer(int seconds, const char* address = nullptr);
  // Gives the target this device's progress window when it has none, takes the target's address,
  // queries once, then waitForAnswer(seconds).
  int attachTarget(int seconds, snmpaccess::SnmpTarget& target);
  // The What's Wrong text after a fresh query: 0, 2 stopped, or the failed query's result with
  // "Cannot communicate with the server." (-1 and "Unknown Format" for a reply format out of range).
  int statusText(std::string& out, int port);

  Ipv4Text ipAddress;
  Ipv4Text subnetMask;
  Ipv4Text defaultGateway;
  bool printerMibAnswered = false;
};

// The same query over IPX: the device is addressed by network and node.
class CIpxDevice : public CIpDevice {
 public:
  CIpxDevice() noexcept = default;

  DeviceClass deviceClass() const noexcept override { return DeviceClass::Ipx; }
  const char* kindColumnText(int column) const noexcept override;

  // "network-node": up to 8 and up to 12 hex digits, each left-padded with "0". Returns false
  // (and changes nothing) for any other text.
  bool setIpxAddress(std::string_view text) noexcept;
  void setIpxAddress(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node) noexcept;
  // "NNNNNNNN-XXXXXXXXXXXX"
  FixedText<22> ipxAddressText() const noexcept;

  int query(ReplyBuffer* reply = nullptr) override;

  std::array<std::uint8_t, 4> network = {};
  std::array<std::uint8_t, 6> node = {};
  FixedText<9> networkNumber;  // "%08X" of the network
};

// The same query over a COM port through the SNMP engine's serial exchange.
class CSerialDevice : public CIpDevice {
 public:
  explicit CSerialDevice(std::string_view port = {}) noexcept { portName.assign(port); }

  DeviceClass deviceClass() const noexcept override { return DeviceClass::Serial; }
  const char* kindColumnText(int column) const noexcept override;
  const char* snmpAddress() const noexcept override { return portName.c_str(); }
  int snmpProtocol() const noexcept override { return kSnmpProtocolSerial; }

  int query(ReplyBuffer* reply = nullptr) override;

  FixedText<16> portName;  // "COM1" ... "COM9"
};

// A print server found through the NetWare bindery and read with SNMP over IPX.
class CNetWareDevice : public CDevice {
 public:
  CNetWareDevice() noexcept = default;

  DeviceClass deviceClass() const noexcept override { return DeviceClass::NetWare; }
  void clear() noexcept override;
  const char* kindColumnText(int column) const noexcept override;
  // A failed query's reason when there is one; the identity group has no native reply format.
  int composeStatusText(std::string& out, int port) const override;

  // The NetWare mode variable: 2 "PServer", 3 "RPrinter", anything else "Unknown".
  static const char* modeText(int modeValue) noexcept;
  // NW name when the print server reported none: family code + serial number.
  void defaultNwName() noexcept;

  FixedText<48> nwName;
  FixedText<9> networkNumber;
  FixedText<48> fileServerOrTree;
  FixedText<10> mode;
  std::array<std::uint32_t, 2> counters = {};
  FixedText<64> failureText;  // one of the texts below after a failed query

  static constexpr const char* kTextNotInBindery = "Cannot find the print server in the Bindery.";
  static constexpr const char* kTextNoConnection = "Cannot get a connection with the server.";
  static constexpr const char* kTextNoPacket = "Cannot send/receive a packet with the server.";
};

// 12 upper-case hex digits.
FixedText<13> hardwareAddressText(const std::array<std::uint8_t, 6>& bytes) noexcept;

}  // namespace devices
