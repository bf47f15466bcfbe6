#pragma once
// The initialization request that gives an unlisted native print server its IP address: one
// 11-byte datagram (".,:" 0x02, the low 24 bits of the unit's serial number or hardware address,
// the new address) sent to the discovery port of a broadcast, directed-broadcast or multicast
// destination. No reply comes; the unit is then asked at its new address.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace snmpaccess {
class ProgressWindow;
}

namespace devices {

inline constexpr std::size_t kInitRequestSize = 11;
inline constexpr std::uint8_t kInitRequestType = 0x02;
inline constexpr int kInitSendAttempts = 21;
inline constexpr int kInitMulticastTtl = 64;
// The multicast groups it goes to (the second is the one kept for the ZBN family; both are
// 224.0.1.55 today).
inline constexpr std::uint32_t kInitMulticastGroup = 0xE0000137;
inline constexpr std::uint32_t kInitMulticastGroupZbn = 0xE0000137;

// Codes reported by the sending (class 1).
inline constexpr std::uint32_t kErrHardwareAddress = 5000;
inline constexpr std::uint32_t kErrIpAddress = 5003;
inline constexpr std::uint32_t kErrSendInit = 5004;
inline constexpr std::uint32_t kErrCannotCommunicate = 5018;

std::array<std::uint8_t, kInitRequestSize> buildInitializationRequest(std::uint32_t identifier,
                                                                      std::uint32_t address) noexcept;

// The identifier is the low 24 bits of the serial number.
constexpr std::uint32_t identifierOfSerial(std::uint64_t serial) noexcept {
  return static_cast<std::uint32_t>(serial & 0xFFFFFF);
}
// A decimal serial number text of up to 8 digits; nothing for another text.
std::optional<std::uint32_t> parseSerialNumber(std::string_view text) noexcept;
// The hardware address text from its seventh character on, read as hexadecimal: its last six
// digits. Only a text of twelve hexadecimal digits has one.
std::optional<std::uint32_t> identifierOfHardwareText(std::string_view text) noexcept;

// Where the request goes: a destination address (host order; 255.255.255.255 for the limited
// broadcast) or the multicast groups.
struct InitDestination {
  bool multicast = false;
  std::uint32_t address = 0xFFFFFFFF;
};

enum class InitSend { Sent, SocketFailed, SendFailed };

// Opens the sending socket (its failures reported with 5013-5016), sends the request with up to
// 21 attempts per destination (multicast: time-to-live 64, both groups), closes the socket.
// SendFailed has been reported with 5004 when the last destination never took the request.
InitSend sendInitializationRequest(std::uint32_t identifier, std::uint32_t address, const InitDestination& to,
                                   std::uint16_t discoveryPort, snmpaccess::ProgressWindow* progress);

}  // namespace devices
