#pragma once
// A non-blocking IPv4 datagram socket. Every call returns 0 or an errno value (or
// kErrLoopbackOnly from the send guard); nothing throws.
//
// Sends go through the send guard: 255.255.255.255 becomes TRELLAN_BROADCAST_ADDR, and with
// TRELLAN_LOOPBACK_ONLY set nothing leaves for an address outside 127.0.0.0/8. A socket that
// sends to a multicast group without having chosen an interface takes TRELLAN_MULTICAST_IF.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "platform/socket_address.h"
#include "platform/socket_handle.h"

namespace platform {

// Discovery sockets ask for this much receive buffer: a burst of hundreds of replies
// overflows the default.
inline constexpr int kDiscoveryReceiveBuffer = 1 << 20;

struct IoResult {
  int error = 0;           // 0, an errno value, or kErrLoopbackOnly
  std::size_t bytes = 0;   // bytes sent, or bytes stored in the caller's buffer
  bool truncated = false;  // the datagram was longer than the buffer; the rest is lost
  bool ok() const { return error == 0; }
};

class UdpSocket {
 public:
  UdpSocket() = default;
  UdpSocket(UdpSocket&&) noexcept = default;
  UdpSocket& operator=(UdpSocket&&) noexcept = default;

  // Creates the socket (non-blocking, close-on-exec). Closes a socket held before.
  int open();
  void close();
  bool isOpen() const { return handle_.valid(); }
  int fd() const { return handle_.get(); }

  // Binds to `local` (address 0 is any address, port 0 an ephemeral port). With reuseAddress,
  // several sockets may bind the same port (responders on 0.0.0.0 all receive a broadcast).
  int bind(SocketAddress local, bool reuseAddress = false);
  SocketAddress localAddress() const;

  int setBroadcast(bool on);
  // SO_RCVBUF; the kernel may grant more than asked (Linux doubles it) and caps it at rmem_max,
  // in which case SO_RCVBUFFORCE is tried (works as root).
  int setReceiveBufferSize(int bytes);
  int receiveBufferSize(int& bytes) const;
  int setMulticastTtl(int ttl);
  // IP_MULTICAST_IF: the interface (by its address) multicast datagrams leave through.
  int setMulticastInterface(std::uint32_t interfaceAddress);
  // Joins a group on the interface with that address. Interface 0 (any) is refused with EINVAL:
  // the host would put the membership on its outside interface.
  int joinMulticastGroup(std::uint32_t group, std::uint32_t interfaceAddress);
  int leaveMulticastGroup(std::uint32_t group, std::uint32_t interfaceAddress);
  // IP_PKTINFO: report each datagram's destination (see recvFromTo).
  int setPacketInfo(bool on);

  IoResult sendTo(const void* data, std::size_t size, SocketAddress to);
  // Sends from the local address `from` (which must be one of this host's addresses) although
  // the socket is bound to any address: a responder answering as one device of many.
  IoResult sendToFrom(const void* data, std::size_t size, SocketAddress to, std::uint32_t from);

  // Reads one datagram. With a wait, blocks up to that long for one to arrive (ETIMEDOUT when
  // none did); without, an empty queue gives EAGAIN.
  IoResult recvFrom(void* buffer, std::size_t capacity, SocketAddress* from = nullptr,
                    std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  // As recvFrom, and with setPacketInfo(true) also tells the datagram's destination address
  // (e.g. 127.255.255.255 for a broadcast) and the local address a reply should come from.
  IoResult recvFromTo(void* buffer, std::size_t capacity, SocketAddress* from, std::uint32_t* destination,
                      std::uint32_t* localAddress);

  // 0 when a datagram is waiting, ETIMEDOUT when none came in time.
  int waitReadable(std::chrono::milliseconds timeout) const;
  bool hasPendingDatagram() const;

  // The interface chosen for multicast (0: none).
  std::uint32_t multicastInterface() const { return multicastInterface_; }

 private:
  IoResult send(const void* data, std::size_t size, SocketAddress to, const std::uint32_t* from);

  SocketHandle handle_;
  std::uint32_t multicastInterface_ = 0;
};

}  // namespace platform
