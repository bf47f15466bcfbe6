#include "snmp/datagram_sockets.h"

#include <array>

#include "snmp/engine_watch.h"
#include "snmp/handle_table.h"
#include "snmp/post_error.h"

namespace snmp::transport::datagram {
namespace {

struct Pair {
  platform::UdpSocket main;
  platform::UdpSocket trap;
};

// Process-local: descriptors mean nothing in another process.
std::array<Pair, handles::kSlots>& pairs() {
  static std::array<Pair, handles::kSlots> all;
  return all;
}

Pair& pairOf(const SessionRecord& session) { return pairs()[(session.header.session & 0xFFFFu) % handles::kSlots]; }

void closeOne(platform::UdpSocket& socket, int& field) {
  if (socket.isOpen()) {
    watching::unwatchSocket(socket.fd());
    socket.close();
  }
  field = kNoSocket;
}

// Binds and watches a fresh socket; false leaves it closed.
bool openWatched(const SessionRecord& session, platform::UdpSocket& socket, std::uint16_t port, bool broadcast) {
  if (socket.open() != 0) return false;
  if (socket.bind({platform::kAnyAddress, port}) != 0 || (broadcast && socket.setBroadcast(true) != 0) ||
      !watching::watchSocket(socket.fd(), session.window, session.message)) {
    socket.close();
    return false;
  }
  return true;
}

}  // namespace

platform::UdpSocket& mainSocket(const SessionRecord& session) noexcept { return pairOf(session).main; }
platform::UdpSocket& trapSocket(const SessionRecord& session) noexcept { return pairOf(session).trap; }

smiUINT32 openMain(SessionRecord& session, bool broadcast) noexcept {
  closeAll(session);
  Pair& pair = pairOf(session);
  if (!openWatched(session, pair.main, 0, broadcast)) return SNMPAPI_TL_NOT_INITIALIZED;
  session.socket = pair.main.fd();
  session.trapSocket = kNoSocket;
  return kOk;
}

smiUINT32 openTrap(SessionRecord& session, std::uint16_t port) noexcept {
  Pair& pair = pairOf(session);
  if (pair.trap.isOpen()) return kOk;
  if (!openWatched(session, pair.trap, port, false)) return SNMPAPI_TL_NOT_AVAILABLE;
  session.trapSocket = pair.trap.fd();
  return kOk;
}

void closeTrap(SessionRecord& session) noexcept { closeOne(pairOf(session).trap, session.trapSocket); }

void closeAll(SessionRecord& session) noexcept {
  Pair& pair = pairOf(session);
  closeOne(pair.trap, session.trapSocket);
  closeOne(pair.main, session.socket);
  session.udpOpen = false;
  session.ipxOpen = false;
}

void discardStale(SessionRecord& session) noexcept {
  platform::UdpSocket& socket = pairOf(session).main;
  if (!socket.hasPendingDatagram()) return;
  smiBYTE scrap[1000];
  socket.recvFrom(scrap, sizeof scrap);
  watching::rearmSocket(socket.fd());
}

smiUINT32 receive(SessionRecord& session, smiBYTE* buffer, std::size_t capacity, std::size_t* length,
                  const Accept& accept) noexcept {
  *length = 0;
  smiUINT32 rc = SNMPAPI_NOOP;
  Pair& pair = pairOf(session);
  for (platform::UdpSocket* socket : {&pair.main, &pair.trap}) {
    if (!socket->isOpen()) continue;
    platform::SocketAddress from;
    const platform::IoResult r = socket->recvFrom(buffer, capacity, &from);
    watching::rearmSocket(socket->fd());
    if (!r.ok()) continue;
    if (r.truncated) {
      rc = SNMPAPI_OUTPUT_TRUNCATED;
      continue;
    }
    const smiUINT32 accepted = accept(r.bytes, from);
    if (accepted == kOk) {
      *length = r.bytes;
      return kOk;
    }
    rc = accepted;
  }
  return rc;
}

}  // namespace snmp::transport::datagram
