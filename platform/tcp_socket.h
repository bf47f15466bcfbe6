#pragma once
// A non-blocking IPv4 stream socket with bounded waits, and a listener for the simulator.
// Every call returns 0 or an errno value (or kErrLoopbackOnly from the guard); nothing throws.
#include <chrono>
#include <cstddef>

#include "platform/socket_address.h"
#include "platform/socket_handle.h"
#include "platform/udp_socket.h"  // IoResult

namespace platform {

class TcpSocket {
 public:
  TcpSocket() = default;
  // Takes an already connected descriptor (from TcpListener::accept).
  explicit TcpSocket(int connectedFd) : handle_(connectedFd) {}
  TcpSocket(TcpSocket&&) noexcept = default;
  TcpSocket& operator=(TcpSocket&&) noexcept = default;

  // Connects within `limit` (ETIMEDOUT after it). Refused by the loopback guard when the
  // address lies outside 127.0.0.0/8 and TRELLAN_LOOPBACK_ONLY is set; nothing is sent then.
  int connect(SocketAddress to, std::chrono::milliseconds limit);
  bool isOpen() const { return handle_.valid(); }
  int fd() const { return handle_.get(); }
  SocketAddress localAddress() const;
  SocketAddress peerAddress() const;

  // Sends every byte within `limit` (a peer that has gone away gives EPIPE, never a signal).
  // On failure `bytes` tells how much went out.
  IoResult send(const void* data, std::size_t size, std::chrono::milliseconds limit);
  // Reads what has arrived, waiting up to `limit` for the first byte. 0 bytes with no error:
  // the peer closed the connection.
  IoResult recv(void* buffer, std::size_t capacity, std::chrono::milliseconds limit);

  int shutdownSend();
  void close();
  // Closes with lingering switched off and a reset sent to the peer.
  void abort();

 private:
  SocketHandle handle_;
};

class TcpListener {
 public:
  // Binds (with SO_REUSEADDR, so a restarted simulator gets its port back) and listens.
  int listen(SocketAddress local, int backlog = 16);
  bool isOpen() const { return handle_.valid(); }
  int fd() const { return handle_.get(); }
  SocketAddress localAddress() const;
  // Waits up to `limit` for a connection. `error` receives 0 or the failure.
  TcpSocket accept(std::chrono::milliseconds limit, int& error, SocketAddress* peer = nullptr);
  void close() { handle_.reset(); }

 private:
  SocketHandle handle_;
};

}  // namespace platform
