#include "devices/discovery_socket.h"

#include <sys/socket.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "access/progress.h"
#include "platform/net_config.h"
#include "platform/report_error.h"
#include "platform/socket_error.h"
#include "snmp/engine_watch.h"

namespace devices {
namespace {

void reportSetupFailure(bool report, int error, std::uint32_t code) {
  if (report) platform::ReportError(platform::wsaErrorCode(error), platform::kErrorSockets, code, platform::kErrorProgram);
}

}  // namespace

bool DiscoverySocket::open(snmpaccess::ProgressWindow* progress, bool report) {
  close();
  if (int e = socket_.open(); e != 0) {
    reportSetupFailure(report, e, kErrCreateSocket);
    return false;
  }
  if (int e = socket_.bind({0, 0}); e != 0) {
    reportSetupFailure(report, e, kErrBindSocket);
    close();
    return false;
  }
  if (int e = socket_.setBroadcast(true); e != 0) {
    reportSetupFailure(report, e, kErrBroadcastSocket);
    close();
    return false;
  }
  // A burst of hundreds of replies overflows the default buffer; a smaller grant is no failure.
  socket_.setReceiveBufferSize(platform::kDiscoveryReceiveBuffer);
  progress_ = progress;
  if (progress_) {
    if (!snmp::watching::watchSocket(socket_.fd(), progress_->target(), kSocketNotifyMessage)) {
      reportSetupFailure(report, EINVAL, kErrSelectSocket);
      close();
      return false;
    }
    watched_ = true;
  }
  return true;
}

void DiscoverySocket::close() {
  if (!socket_.isOpen()) return;
  if (watched_) snmp::watching::unwatchSocket(socket_.fd());
  watched_ = false;
  // Half-close, then throw away what is still queued before letting go of the descriptor.
  ::shutdown(socket_.fd(), SHUT_WR);
  std::uint8_t scrap[600];
  for (int i = 0; i < 4096; ++i) {
    const platform::IoResult r = socket_.recvFrom(scrap, sizeof scrap);
    if (!r.ok()) break;
  }
  socket_.close();
  progress_ = nullptr;
}

int DiscoverySocket::sendTo(std::uint32_t address, std::uint16_t port, const std::uint8_t* data, std::size_t size) {
  const platform::IoResult r = socket_.sendTo(data, size, {address, port});
  if (r.ok() || platform::isWouldBlock(r.error)) return 0;
  return r.error;
}

int DiscoverySocket::sendIpx(const snmp::ipx::Address& to, const std::uint8_t* data, std::size_t size) {
  const auto dest = snmp::ipx::udpDestination(to);
  if (!dest) return EINVAL;
  snmp::ipx::Header header;
  header.destination = to;
  const platform::SocketAddress local = socket_.localAddress();
  const std::uint32_t from = snmp::ipx::localAddressToward(dest->address);
  header.source = snmp::ipx::addressOf({from, local.port}, platform::netConfig().ipxLocalNetwork);
  std::vector<std::uint8_t> packet(snmp::ipx::kHeaderSize + size);
  const std::size_t n = snmp::ipx::encode(header, data, size, packet.data(), packet.size());
  if (n == 0) return EMSGSIZE;
  return sendTo(dest->address, dest->port, packet.data(), n);
}

bool DiscoverySocket::receive(std::uint8_t* buffer, std::size_t capacity, Datagram& out) {
  if (!socket_.isOpen()) return false;
  if (family_ == Family::Udp) {
    platform::SocketAddress from;
    const platform::IoResult r = socket_.recvFrom(buffer, capacity, &from);
    if (!r.ok()) return false;
    out = {};
    out.sender = from.address;
    out.truncated = r.truncated;
    // A truncated datagram is longer than the buffer: report a length that no parser accepts.
    out.length = r.truncated ? capacity + 1 : r.bytes;
    return true;
  }
  // IPX: the payload follows a 30-byte header.
  std::vector<std::uint8_t> packet(snmp::ipx::kHeaderSize + capacity + 1);
  for (int skipped = 0; skipped < 256; ++skipped) {
    platform::SocketAddress from;
    const platform::IoResult r = socket_.recvFrom(packet.data(), packet.size(), &from);
    if (!r.ok()) return false;
    snmp::ipx::Header header;
    const std::uint8_t* payload = nullptr;
    std::size_t payloadLength = 0;
    if (!snmp::ipx::parse(packet.data(), r.bytes, &header, &payload, &payloadLength)) continue;
    out = {};
    out.sender = from.address;
    std::uint32_t network = 0;
    for (int i = 0; i < 4; ++i) network = (network << 8) | header.source.network[i];
    out.ipxSender = snmp::ipx::addressOf(from, network);
    out.truncated = r.truncated || payloadLength > capacity;
    out.length = out.truncated ? capacity + 1 : payloadLength;
    std::memcpy(buffer, payload, payloadLength < capacity ? payloadLength : capacity);
    return true;
  }
  return false;
}

WaitOutcome DiscoverySocket::wait(int ms) {
  if (ms < 0) ms = 0;
  if (!progress_) {
    if (!socket_.isOpen()) return WaitOutcome::TimedOut;
    return socket_.waitReadable(std::chrono::milliseconds(ms)) == 0 ? WaitOutcome::Ready : WaitOutcome::TimedOut;
  }
  if (watched_) snmp::watching::rearmSocket(socket_.fd());
  const snmpaccess::WaitResult r = progress_->waitFor(kSocketNotifyMessage, ms);
  switch (r.status) {
    case snmpaccess::WaitStatus::Arrived:
      return WaitOutcome::Ready;
    case snmpaccess::WaitStatus::Stopped:
      return WaitOutcome::Stopped;
    default:
      // A notification can be lost to a wait that ended early; look once more.
      return socket_.hasPendingDatagram() ? WaitOutcome::Ready : WaitOutcome::TimedOut;
  }
}

}  // namespace devices
