#pragma once
// The objects behind handles. Every record starts with the same header (kind, owning session) so
// the handle table can check kinds without knowing the rest. Records are calloc'ed (zero-filled)
// and hold only plain fields; what they point at is malloc'ed.
#include <atomic>
#include <cstddef>

#include "platform/process.h"
#include "snmp/winsnmp.h"

namespace snmp {

enum class Kind : smiUINT32 { Session = 1, Entity = 2, Context = 3, Pdu = 4, Vbl = 5 };

struct RecordHeader {
  Kind kind;
  HSNMP_SESSION session;  // the owning session; a session holds its own handle here
};

constexpr int kNoSocket = -1;
constexpr std::size_t kPortNameSize = 6;  // "COM1:" at most, with terminator

struct SessionRecord {
  RecordHeader header;
  HWND window;
  smiUINT32 message;
  // Read and written through sessionLastError: a thread may ask for the last error of a session
  // that another thread is using.
  alignas(std::atomic_ref<smiUINT32>::required_alignment) smiUINT32 lastError;
  platform::ProcessId owner;
  // Transport state, filled by the transports: UDP and IPX share the one pair of sockets.
  bool udpOpen;
  bool ipxOpen;
  bool serialConnected;
  char serialPort[kPortNameSize];
  int serialHandle;  // kNoSocket when no port is open
  int socket;        // datagram socket, kNoSocket when none
  int trapSocket;    // trap-listening socket, kNoSocket when none
};

inline std::atomic_ref<smiUINT32> sessionLastError(SessionRecord& s) noexcept {
  return std::atomic_ref<smiUINT32>(s.lastError);
}

enum TransportKind : smiUINT32 { kTransportUdp = 0, kTransportIpx = 1, kTransportSerial = 2 };

constexpr std::size_t kSerialNameSize = 5;  // "COM" + one digit + terminator

struct EntityRecord {
  RecordHeader header;
  smiUINT32 transport;  // TransportKind
  smiBYTE ipv4[4];      // network order
  smiBYTE ipxNetwork[4];
  smiBYTE ipxNode[6];
  smiBYTE ipxSocket[2];
  char serialPort[kSerialNameSize];
};

constexpr std::size_t kMaxCommunity = 256;

struct ContextRecord {
  RecordHeader header;
  smiUINT32 length;
  smiBYTE community[kMaxCommunity];
};

struct PduRecord {
  RecordHeader header;
  smiINT type;
  smiINT32 requestId;
  smiINT errorStatus;
  smiINT errorIndex;
  smiINT32 spare[2];
  HSNMP_VBL vbl;  // not owned: freeing the PDU leaves the list alone
};

// One variable binding: both halves engine-owned, contents per value class. Either each half
// and its contents are malloc'ed on their own (block null), or the binding came from a decoded
// message and lives in that message's shared block (see binding_copy.h), freed with its last
// binding.
struct Binding {
  smiOID* name;
  smiVALUE* value;
  void* block = nullptr;
};

constexpr smiUINT32 kMaxBindings = 32;

struct VblRecord {
  RecordHeader header;
  smiUINT32 count;
  Binding bindings[kMaxBindings];
};

template <typename R>
constexpr Kind kindOf();
template <>
constexpr Kind kindOf<SessionRecord>() { return Kind::Session; }
template <>
constexpr Kind kindOf<EntityRecord>() { return Kind::Entity; }
template <>
constexpr Kind kindOf<ContextRecord>() { return Kind::Context; }
template <>
constexpr Kind kindOf<PduRecord>() { return Kind::Pdu; }
template <>
constexpr Kind kindOf<VblRecord>() { return Kind::Vbl; }

}  // namespace snmp
