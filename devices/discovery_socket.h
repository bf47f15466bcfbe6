#pragma once
// The datagram socket of discovery and of a device query: UDP, or IPX carried in UDP. It is
// bound to any local port, may broadcast, and announces arriving datagrams to a progress
// window with message 1101. Closing it half-closes, drains and closes; the destructor closes,
// so every path out of a query or a search step lets go of the socket.
#include <cstddef>
#include <cstdint>

#include "platform/udp_socket.h"
#include "snmp/ipx_packet.h"

namespace snmpaccess {
class ProgressWindow;
}

namespace devices {

// The readiness message of discovery sockets.
inline constexpr std::uint32_t kSocketNotifyMessage = 1101;

// Error codes reported when a socket cannot be set up (class 1, after the socket error).
inline constexpr std::uint32_t kErrCreateSocket = 5013;
inline constexpr std::uint32_t kErrBindSocket = 5014;
inline constexpr std::uint32_t kErrBroadcastSocket = 5015;
inline constexpr std::uint32_t kErrSelectSocket = 5016;
inline constexpr std::uint32_t kErrSendDiscovery = 5005;

enum class WaitOutcome { Ready, Stopped, TimedOut };

class DiscoverySocket {
 public:
  enum class Family { Udp, Ipx };

  explicit DiscoverySocket(Family family = Family::Udp) : family_(family) {}
  ~DiscoverySocket() { close(); }
  DiscoverySocket(const DiscoverySocket&) = delete;
  DiscoverySocket& operator=(const DiscoverySocket&) = delete;

  // Opens, binds, enables broadcast and starts the notifications to `progress` (may be null:
  // then waits poll the socket directly). Failures are reported and give false (socket closed).
  bool open(snmpaccess::ProgressWindow* progress, bool report = true);
  void close();
  bool isOpen() const { return socket_.isOpen(); }
  platform::UdpSocket& udp() { return socket_; }

  // UDP: to address:port (host order). A would-block condition counts as sent.
  int sendTo(std::uint32_t address, std::uint16_t port, const std::uint8_t* data, std::size_t size);
  // IPX: to network and node on an IPX socket.
  int sendIpx(const snmp::ipx::Address& to, const std::uint8_t* data, std::size_t size);

  struct Datagram {
    std::size_t length = 0;          // true length of the payload (may exceed the buffer)
    std::uint32_t sender = 0;        // UDP: sender's IPv4 address, host order
    snmp::ipx::Address ipxSender;    // IPX: the header's source network with the sender's node
    bool truncated = false;
  };
  // Reads one pending datagram into `buffer`; false when none is pending. IPX datagrams that are
  // no IPX packet are consumed and skipped.
  bool receive(std::uint8_t* buffer, std::size_t capacity, Datagram& out);

  // Waits up to `ms` for the next readiness notification (or, without a progress window, for a
  // readable socket). Rearms the notification first.
  WaitOutcome wait(int ms);

 private:
  Family family_;
  platform::UdpSocket socket_;
  snmpaccess::ProgressWindow* progress_ = nullptr;
  bool watched_ = false;
};

}  // namespace devices
