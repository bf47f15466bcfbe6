#pragma once
// One UDP socket for one second-family exchange: sends 88-byte command frames and waits for the
// unit's reply on the socket itself. A reply is taken only when its header is whole and the data
// it declares arrived; everything else counts as no reply.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/udp_socket.h"

namespace devices {

enum class SecondFamilyPhase : std::uint8_t;

inline constexpr std::size_t kCommandReplyHeader = 8;
inline constexpr std::size_t kCommandReplyMax = 520;

struct CommandReply {
  std::uint8_t bytes[kCommandReplyMax] = {};
  std::size_t length = 0;  // bytes received
  std::uint32_t sender = 0;
  std::uint8_t status() const { return bytes[0]; }
  std::uint8_t phase() const { return bytes[1]; }
  std::size_t dataLength() const { return static_cast<std::size_t>((bytes[6] << 8) | bytes[7]); }
  // Where the data ends: the declared length, bounded by what arrived.
  std::size_t dataEnd() const {
    const std::size_t declared = kCommandReplyHeader + dataLength();
    return declared < length ? declared : length;
  }
  // The declared data arrived in full.
  bool whole() const { return length >= kCommandReplyHeader + dataLength(); }
};

class SecondFamilyChannel {
 public:
  // `address`, host order: where the frames go (may be a broadcast address); `replyMs`: the wait
  // for each reply.
  SecondFamilyChannel(std::uint32_t address, std::uint16_t port, int replyMs);

  bool isOpen() const { return open_; }
  // Allows sending to a broadcast address; replies are then taken from any sender.
  bool allowBroadcast();

  bool send(const std::uint8_t* data, std::size_t size);
  // The next reply within the wait, received into at most `capacity` bytes. Datagrams from
  // another sender (unless broadcasting) and datagrams shorter than a header are skipped.
  bool receive(std::size_t capacity, CommandReply& out);
  // A command frame, then its reply.
  bool ask(SecondFamilyPhase phase, std::string_view command, std::uint16_t offset, std::uint16_t length,
           std::size_t capacity, CommandReply& out);

  int requestsSent() const { return sent_; }

 private:
  platform::UdpSocket socket_;
  std::uint32_t address_ = 0;
  std::uint16_t port_ = 0;
  int replyMs_ = 100;
  bool open_ = false;
  bool anySender_ = false;
  int sent_ = 0;
};

}  // namespace devices
