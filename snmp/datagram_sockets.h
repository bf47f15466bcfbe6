#pragma once
// The datagram sockets of a session, shared by the UDP and IPX transports (IPX travels inside
// UDP here). The session record keeps the descriptors; the socket objects live in this
// process, one pair per handle slot.
#include <cstddef>
#include <functional>

#include "platform/socket_address.h"
#include "platform/udp_socket.h"
#include "snmp/records.h"

namespace snmp::transport::datagram {

platform::UdpSocket& mainSocket(const SessionRecord& session) noexcept;
platform::UdpSocket& trapSocket(const SessionRecord& session) noexcept;

// Creates the session's datagram socket bound to any address and an ephemeral port, watched for
// the session's message. Sockets the session held before (the other datagram transport's) are
// closed first. kOk or SNMPAPI_TL_NOT_INITIALIZED (nothing stays open).
smiUINT32 openMain(SessionRecord& session, bool broadcast) noexcept;

// Creates the trap socket on `port` of any address, watched: kOk or SNMPAPI_TL_NOT_AVAILABLE.
// Does nothing when one is open.
smiUINT32 openTrap(SessionRecord& session, std::uint16_t port) noexcept;
void closeTrap(SessionRecord& session) noexcept;

// Unwatches and closes both sockets; clears both open flags.
void closeAll(SessionRecord& session) noexcept;

// A reply to an earlier request that nobody read would be taken for the answer to the next:
// drops one waiting datagram from the main socket.
void discardStale(SessionRecord& session) noexcept;

// Takes a datagram of `length` bytes now in the buffer from `from`: kOk, or the code it is
// refused with.
using Accept = std::function<smiUINT32(std::size_t length, const platform::SocketAddress& from)>;

// Reads one datagram from the main socket into `buffer`, and when that gives nothing usable,
// from the trap socket; each socket read is rearmed. kOk (with `*length`), SNMPAPI_NOOP when
// nothing was waiting, SNMPAPI_OUTPUT_TRUNCATED for a datagram longer than `capacity`
// (dropped), or what `accept` refused the datagram with.
smiUINT32 receive(SessionRecord& session, smiBYTE* buffer, std::size_t capacity, std::size_t* length,
                  const Accept& accept) noexcept;

}  // namespace snmp::transport::datagram
