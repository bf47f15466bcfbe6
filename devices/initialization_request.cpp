#include "devices/initialization_request.h"

#include "devices/discovery_reply.h"
#include "devices/discovery_socket.h"
#include "devices/second_family_exchange.h"
#include "platform/report_error.h"

namespace devices {
namespace {

bool sendWithAttempts(DiscoverySocket& socket, std::uint32_t to, std::uint16_t port,
                      const std::array<std::uint8_t, kInitRequestSize>& request) {
  for (int attempt = 0; attempt < kInitSendAttempts; ++attempt)
    if (socket.sendTo(to, port, request.data(), request.size()) == 0) return true;
  return false;
}

}  // namespace

std::array<std::uint8_t, kInitRequestSize> buildInitializationRequest(std::uint32_t identifier,
                                                                      std::uint32_t address) noexcept {
  return {kRequestMagic[0],
          kRequestMagic[1],
          kRequestMagic[2],
          kInitRequestType,
          static_cast<std::uint8_t>(identifier >> 16),
          static_cast<std::uint8_t>(identifier >> 8),
          static_cast<std::uint8_t>(identifier),
          static_cast<std::uint8_t>(address >> 24),
          static_cast<std::uint8_t>(address >> 16),
          static_cast<std::uint8_t>(address >> 8),
          static_cast<std::uint8_t>(address)};
}

std::optional<std::uint32_t> parseSerialNumber(std::string_view text) noexcept {
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return identifierOfSerial(v);
}

std::optional<std::uint32_t> identifierOfHardwareText(std::string_view text) noexcept {
  const auto hw = parseHardwareAddress(text);
  if (!hw) return std::nullopt;
  return (std::uint32_t((*hw)[3]) << 16) | (std::uint32_t((*hw)[4]) << 8) | (*hw)[5];
}

InitSend sendInitializationRequest(std::uint32_t identifier, std::uint32_t address, const InitDestination& to,
                                   std::uint16_t discoveryPort, snmpaccess::ProgressWindow* progress) {
  DiscoverySocket socket;
  if (!socket.open(progress)) return InitSend::SocketFailed;
  const auto request = buildInitializationRequest(identifier, address);
  bool sent = false;
  if (to.multicast) {
    socket.udp().setMulticastTtl(kInitMulticastTtl);
    sendWithAttempts(socket, kInitMulticastGroup, discoveryPort, request);
    // What counts is the last send, as the unit of either family listens on its own group.
    sent = sendWithAttempts(socket, kInitMulticastGroupZbn, discoveryPort, request);
  } else {
    sent = sendWithAttempts(socket, to.address, discoveryPort, request);
  }
  socket.close();
  if (!sent) {
    platform::ReportError(kErrSendInit, platform::kErrorProgram);
    return InitSend::SendFailed;
  }
  return InitSend::Sent;
}

}  // namespace devices
