#include "platform/udp_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/send_guard.h"
#include "platform/socket_error.h"

namespace platform {

namespace {

int setIntOption(int fd, int level, int name, int value) {
  return ::setsockopt(fd, level, name, &value, sizeof value) == 0 ? 0 : errno;
}

int membership(int fd, int option, std::uint32_t group, std::uint32_t interfaceAddress) {
  if (!isMulticastAddress(group) || interfaceAddress == kAnyAddress) return EINVAL;
  ip_mreq m{};
  m.imr_multiaddr.s_addr = htonl(group);
  m.imr_interface.s_addr = htonl(interfaceAddress);
  return ::setsockopt(fd, IPPROTO_IP, option, &m, sizeof m) == 0 ? 0 : errno;
}

}  // namespace

int UdpSocket::open() {
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return errno;
  handle_.reset(fd);
  multicastInterface_ = 0;
  return 0;
}

void UdpSocket::close() {
  handle_.reset();
  multicastInterface_ = 0;
}

int UdpSocket::bind(SocketAddress local, bool reuseAddress) {
  if (!isOpen()) return EBADF;
  if (reuseAddress) {
    if (int e = setIntOption(fd(), SOL_SOCKET, SO_REUSEADDR, 1)) return e;
  }
  sockaddr_in sa;
  local.toSockaddr(sa);
  return ::bind(fd(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0 ? 0 : errno;
}

SocketAddress UdpSocket::localAddress() const {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  if (!isOpen() || ::getsockname(fd(), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return {};
  return SocketAddress::fromSockaddr(sa);
}

int UdpSocket::setBroadcast(bool on) {
  if (!isOpen()) return EBADF;
  return setIntOption(fd(), SOL_SOCKET, SO_BROADCAST, on ? 1 : 0);
}

int UdpSocket::setReceiveBufferSize(int bytes) {
  if (!isOpen()) return EBADF;
  if (int e = setIntOption(fd(), SOL_SOCKET, SO_RCVBUF, bytes)) return e;
  int granted = 0;
  // The kernel reports twice the usable size; below what we asked means rmem_max capped it.
  if (receiveBufferSize(granted) == 0 && granted / 2 < bytes) {
    setIntOption(fd(), SOL_SOCKET, SO_RCVBUFFORCE, bytes);
  }
  return 0;
}

int UdpSocket::receiveBufferSize(int& bytes) const {
  if (!isOpen()) return EBADF;
  socklen_t len = sizeof bytes;
  return ::getsockopt(fd(), SOL_SOCKET, SO_RCVBUF, &bytes, &len) == 0 ? 0 : errno;
}

int UdpSocket::setMulticastTtl(int ttl) {
  if (!isOpen()) return EBADF;
  if (ttl < 0 || ttl > 255) return EINVAL;
  return setIntOption(fd(), IPPROTO_IP, IP_MULTICAST_TTL, ttl);
}

int UdpSocket::setMulticastInterface(std::uint32_t interfaceAddress) {
  if (!isOpen()) return EBADF;
  in_addr a{};
  a.s_addr = htonl(interfaceAddress);
  if (::setsockopt(fd(), IPPROTO_IP, IP_MULTICAST_IF, &a, sizeof a) != 0) return errno;
  multicastInterface_ = interfaceAddress;
  return 0;
}

int UdpSocket::joinMulticastGroup(std::uint32_t group, std::uint32_t interfaceAddress) {
  if (!isOpen()) return EBADF;
  return membership(fd(), IP_ADD_MEMBERSHIP, group, interfaceAddress);
}

int UdpSocket::leaveMulticastGroup(std::uint32_t group, std::uint32_t interfaceAddress) {
  if (!isOpen()) return EBADF;
  return membership(fd(), IP_DROP_MEMBERSHIP, group, interfaceAddress);
}

int UdpSocket::setPacketInfo(bool on) {
  if (!isOpen()) return EBADF;
  return setIntOption(fd(), IPPROTO_IP, IP_PKTINFO, on ? 1 : 0);
}

IoResult UdpSocket::sendTo(const void* data, std::size_t size, SocketAddress to) {
  return send(data, size, to, nullptr);
}

IoResult UdpSocket::sendToFrom(const void* data, std::size_t size, SocketAddress to, std::uint32_t from) {
  return send(data, size, to, &from);
}

IoResult UdpSocket::send(const void* data, std::size_t size, SocketAddress to, const std::uint32_t* from) {
  if (!isOpen()) return {EBADF};
  const NetConfig config = netConfig();
  if (isMulticastAddress(to.address) && multicastInterface_ == 0 && config.multicastInterface != 0) {
    if (int e = setMulticastInterface(config.multicastInterface)) return {e};
  }
  if (int e = routeDatagram(to.address, multicastInterface_, config)) return {e};

  sockaddr_in sa;
  to.toSockaddr(sa);
  iovec iov{const_cast<void*>(data), size};
  msghdr msg{};
  msg.msg_name = &sa;
  msg.msg_namelen = sizeof sa;
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  if (from) {
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = htonl(*from);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
  }
  for (;;) {
    ssize_t n = ::sendmsg(fd(), &msg, MSG_NOSIGNAL);
    if (n >= 0) return {0, static_cast<std::size_t>(n)};
    if (errno != EINTR) return {errno};
  }
}

IoResult UdpSocket::recvFrom(void* buffer, std::size_t capacity, SocketAddress* from,
                             std::chrono::milliseconds wait) {
  if (!isOpen()) return {EBADF};
  if (wait.count() > 0) {
    if (int e = waitReadable(wait)) return {e};
  }
  return recvFromTo(buffer, capacity, from, nullptr, nullptr);
}

IoResult UdpSocket::recvFromTo(void* buffer, std::size_t capacity, SocketAddress* from, std::uint32_t* destination,
                               std::uint32_t* localAddress) {
  if (!isOpen()) return {EBADF};
  sockaddr_in sa{};
  iovec iov{buffer, capacity};
  msghdr msg{};
  alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))];
  ssize_t n;
  do {
    msg = {};
    msg.msg_name = &sa;
    msg.msg_namelen = sizeof sa;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    n = ::recvmsg(fd(), &msg, 0);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return {errno};

  if (from) *from = SocketAddress::fromSockaddr(sa);
  if (destination) *destination = 0;
  if (localAddress) *localAddress = 0;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO && c->cmsg_len >= CMSG_LEN(sizeof(in_pktinfo))) {
      in_pktinfo info;
      std::memcpy(&info, CMSG_DATA(c), sizeof info);
      if (destination) *destination = ntohl(info.ipi_addr.s_addr);
      if (localAddress) *localAddress = ntohl(info.ipi_spec_dst.s_addr);
    }
  }
  return {0, static_cast<std::size_t>(n), (msg.msg_flags & MSG_TRUNC) != 0};
}

int UdpSocket::waitReadable(std::chrono::milliseconds timeout) const {
  if (!isOpen()) return EBADF;
  return waitForEvents(fd(), POLLIN, timeout);
}

bool UdpSocket::hasPendingDatagram() const {
  if (!isOpen()) return false;
  pollfd p{fd(), POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

}  // namespace platform
