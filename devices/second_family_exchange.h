#pragma once
// The second family's text-command exchanges that fill a device after its probe reply: port names
// and printer status ("GET PORT_NAME", "GET STATUS:") and the 8 KiB configuration image
// ("GET EEP_DATA"). 88-byte request frames over UDP, one fresh socket per exchange, each reply
// waited for on the socket itself.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace devices {

class CIpDevice;

inline constexpr std::size_t kImageSize = 8192;
inline constexpr std::size_t kImageBlock = 512;
inline constexpr std::size_t kReplyHeader = 8;

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

class SecondFamilyExchange {
 public:
  // `address`: dotted IPv4 text; `replyMs`: the wait for each reply.
  SecondFamilyExchange(std::string_view address, std::uint16_t port, int replyMs) noexcept;

  // Port count, names and numbers, then each port's status and display. 0 or -1.
  int readPortsAndStatus(CIpDevice& device);
  // The whole image (kImageSize bytes). 0 or -1; `image` is only complete on 0.
  int readConfigurationImage(std::vector<std::uint8_t>& image);

  // Requests sent by the last exchange (diagnostics and tests).
  int requestsSent() const noexcept { return sent_; }

 private:
  struct Channel;
  bool valid_ = false;
  std::uint32_t address_ = 0;
  std::uint16_t port_ = 0;
  int replyMs_ = 100;
  int sent_ = 0;
};

}  // namespace devices
