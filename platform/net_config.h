#pragma once
// Ports and addresses of the network layer, with the environment overrides used by tests,
// demos and unprivileged users. Defaults are the values print servers use in the field.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::uint16_t kDefaultSnmpPort = 161;
inline constexpr std::uint16_t kDefaultTrapPort = 162;
inline constexpr std::uint16_t kDefaultSecondFamilyPort = 19541;
// The discovery port is a setting (Access\IP DiscoveryPort), not an environment override.
inline constexpr std::uint16_t kDefaultDiscoveryPort = 4201;
inline constexpr std::uint32_t kDiscoveryMulticastGroup = 0xE0000137;  // 224.0.1.55
inline constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFF;         // 255.255.255.255

// IPX travels inside UDP: an IPX socket number is the UDP port of the same number.
inline constexpr std::uint16_t kIpxSocketSnmp = 0x900F;       // UDP 36879
inline constexpr std::uint16_t kIpxSocketSnmpTrap = 0x9010;   // UDP 36880
inline constexpr std::uint16_t kIpxSocketDiscovery = 0x4201;  // UDP 16897
inline constexpr std::uint16_t kIpxSocketSap = 0x0452;        // UDP 1106
inline constexpr std::size_t kIpxHeaderSize = 30;
inline constexpr std::uint32_t kIpxBroadcastNetwork = 0xFFFFFFFF;
inline constexpr std::uint32_t kDefaultIpxLocalNetwork = 0x00000000;
// Socket 0 asks for a dynamic socket, which is an ephemeral UDP port (0) as well.
constexpr std::uint16_t ipxSocketToUdpPort(std::uint16_t ipxSocket) { return ipxSocket; }

// Everything here is a plain value (cheap to copy, safe to hand between threads).
struct NetConfig {
  std::uint16_t snmpPort = kDefaultSnmpPort;                  // TRELLAN_SNMP_PORT
  std::uint16_t trapPort = kDefaultTrapPort;                  // TRELLAN_TRAP_PORT
  std::uint16_t secondFamilyPort = kDefaultSecondFamilyPort;  // TRELLAN_SECOND_FAMILY_PORT
  std::uint32_t broadcastAddress = kLimitedBroadcast;         // TRELLAN_BROADCAST_ADDR: where 255.255.255.255 goes
  std::uint32_t multicastInterface = 0;                       // TRELLAN_MULTICAST_IF; 0: not set
  bool loopbackOnly = false;                                  // TRELLAN_LOOPBACK_ONLY
  std::uint32_t ipxLocalNetwork = kDefaultIpxLocalNetwork;    // a setting, see setIpxLocalNetwork
  bool operator==(const NetConfig&) const = default;
};

// Receives one line per environment value that could not be used.
using NetConfigWarningSink = std::function<void(const std::string& message)>;
// Returns the value of an environment variable or nullptr.
using EnvLookup = std::function<const char*(const char* name)>;

// Builds the configuration from the given environment. A value that does not parse keeps the
// default and produces one warning; TRELLAN_LOOPBACK_ONLY fails closed: a value that is not
// recognised as off ("", "0", "false", "no", "off") turns the guard on.
NetConfig parseNetConfig(const EnvLookup& env, const NetConfigWarningSink& warn);

// The process-wide configuration: read from the real environment on first use (warnings go to
// the sink installed by then, stderr by default), thread-safe.
NetConfig netConfig();
void setNetConfigWarningSink(NetConfigWarningSink sink);
// Replaces the process-wide configuration (tests, and the IPX network setting below).
void setNetConfig(const NetConfig& config);
// The IPX local network number (a program setting, default 00000000).
void setIpxLocalNetwork(std::uint32_t network);

// A port from a setting such as DiscoveryPort: 1-65535, anything else gives the fallback.
std::uint16_t portFromSetting(std::uint32_t value, std::uint16_t fallback);
// A port number text: decimal digits only, 1-65535.
std::optional<std::uint16_t> parsePort(std::string_view text);

}  // namespace platform
