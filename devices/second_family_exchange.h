#pragma once
// The second family's text-command exchanges: port names and printer status ("GET PORT_NAME",
// "GET STATUS:"), the 8 KiB configuration image ("GET EEP_DATA", "SAVE EEP_DATA"), "POLLING" and
// the reboot ("EXEC REBOOT SYSTEM:"). 88-byte request frames over UDP, one fresh socket per
// exchange, each reply waited for on the socket itself. Every reply is checked (whole header,
// declared data present, status) before anything is taken from it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devices {

class CIpDevice;

inline constexpr std::size_t kImageSize = 8192;
inline constexpr std::size_t kImageBlock = 512;
inline constexpr std::size_t kReplyHeader = 8;
inline constexpr std::size_t kImageWriteChunk = 422;
// "Other replies repeat the request": a unit that keeps answering so gets this many tries per port.
inline constexpr int kMaxStatusRequests = 16;

enum class SecondFamilyPhase : std::uint8_t { First = 1, Next = 2, Close = 3 };

// An 88-byte request: phase, the command text (with its parameters directly after it, at most 80
// bytes together), block offset and length, big-endian.
std::array<std::uint8_t, 88> secondFamilyRequest(SecondFamilyPhase phase, std::string_view command,
                                                 std::uint16_t offset, std::uint16_t length) noexcept;

// The port status word of a status flag byte: "On-Line" for 0, else the word of the last set bit
// in the order Printing, Dealing, Cannot print, No paper, Off-Line, Fault.
const char* secondFamilyStatusWord(std::uint8_t flags) noexcept;

// Subnet mask, gateway, firmware, wireless mode, SSIDs and security text from a configuration
// image; an image shorter than kImageSize changes nothing.
void applyConfigurationImage(CIpDevice& device, const std::vector<std::uint8_t>& image) noexcept;

class SecondFamilyChannel;

class SecondFamilyExchange {
 public:
  // `address`: dotted IPv4 text; `replyMs`: the wait for each reply.
  SecondFamilyExchange(std::string_view address, std::uint16_t port, int replyMs) noexcept;

  // Port count, names and numbers, then each port's status and display. 0 or -1.
  int readPortsAndStatus(CIpDevice& device);
  // The whole image (kImageSize bytes). 0 or -1; `image` is only complete on 0.
  int readConfigurationImage(std::vector<std::uint8_t>& image);

  // Writes a whole image: 19 chunks of 422 bytes and one of 174 ("SAVE EEP_DATA"), each
  // acknowledged, then the closing request. 0 or -1; an image of another size is not sent.
  int writeConfigurationImage(const std::vector<std::uint8_t>& image);
  // "POLLING" and its closing request. 0 or -1.
  int poll();
  // "EXEC REBOOT SYSTEM:" with the hardware address and this exchange's address in its
  // parameter block. Without `needFinalReply` a missing answer to the closing request is no
  // failure (the unit may already be restarting).
  int rebootServer(const std::array<std::uint8_t, 6>& hardwareAddress, bool needFinalReply);

  // Requests sent by the last exchange (diagnostics and tests).
  int requestsSent() const noexcept { return sent_; }
  // Why the last exchange failed, in a few words ("" after a success).
  const std::string& failure() const noexcept { return failure_; }

 private:
  int fail(std::string why);
  // The frame of every exchange: counters reset, a fresh channel to the unit for `body`, the
  // requests it sent kept. -1 without an address.
  int run(const std::function<int(SecondFamilyChannel&)>& body);
  bool valid_ = false;
  std::uint32_t address_ = 0;
  std::uint16_t port_ = 0;
  int replyMs_ = 100;
  int sent_ = 0;
  std::string failure_;
};

// The parameter block of "SET IP_ADDR:" and "EXEC REBOOT SYSTEM:" right after the command text:
// hardware type 1, length 6, the hardware address, the IPv4 address (host order in, network
// order out).
std::string withAddressBlock(std::string_view command, const std::array<std::uint8_t, 6>& hardwareAddress,
                             std::uint32_t address);

// Twelve hexadecimal digits as six bytes; nothing for any other text.
std::optional<std::array<std::uint8_t, 6>> parseHardwareAddress(std::string_view text) noexcept;

}  // namespace devices
