#pragma once
// The engine's view of its transports: one table of operations per transport (UDP, IPX,
// serial) and one ready flag each. The first call that needs a transport makes it ready (runs
// its start operation once); SnmpStartup clears the flags, SnmpCleanup stops what is ready.
// Every operation returns SNMPAPI_SUCCESS or the code to post (which may be SNMPAPI_FAILURE).
#include <cstddef>

#include "snmp/records.h"

namespace snmp::transport {

struct Operations {
  smiUINT32 (*start)();
  void (*stop)();
  smiUINT32 (*open)(SessionRecord& session);
  smiUINT32 (*close)(SessionRecord& session);
  smiUINT32 (*send)(SessionRecord& session, const EntityRecord& destination, const smiBYTE* data,
                    std::size_t length);
  // Reads one message into `buffer` (capacity `*length`, set to the bytes read) and fills the
  // address fields of both entities. SNMPAPI_NOOP when nothing is waiting.
  smiUINT32 (*receive)(SessionRecord& session, smiBYTE* buffer, std::size_t* length, EntityRecord& source,
                       EntityRecord& destination);
  smiUINT32 (*registerTraps)(SessionRecord& session, bool on);
  // Fills the entity's transport kind and address from a text; SNMPAPI_ENTITY_UNKNOWN when it
  // cannot. The text is null-terminated.
  smiUINT32 (*textToAddress)(const char* text, EntityRecord& entity);
  // Writes the address text: SNMPAPI_SUCCESS, SNMPAPI_OUTPUT_TRUNCATED, or SNMPAPI_ENTITY_UNKNOWN
  // for an all-zero address (written all the same).
  smiUINT32 (*addressToText)(const EntityRecord& entity, smiUINT32 size, char* text);
  // Serial only: the identification exchange. Null for the datagram transports.
  smiUINT32 (*exchange)(SessionRecord& session, const EntityRecord& entity, smiUINT32 capacity,
                        smiBYTE* reply, std::size_t* replyLength);
};

// The tables, one per transport file.
const Operations& udpOperations() noexcept;
const Operations& ipxOperations() noexcept;
const Operations& serialOperations() noexcept;

// The table of a transport kind (TransportKind), or null for an unknown kind. Does not make it ready.
const Operations* operationsFor(smiUINT32 kind) noexcept;

// Makes the transport ready when it is not (runs start once per engine start) and returns its
// table in `*ops`. Returns SNMPAPI_SUCCESS, start's code, or SNMPAPI_TL_NOT_SUPPORTED for an
// unknown kind.
smiUINT32 makeReady(smiUINT32 kind, const Operations** ops) noexcept;

bool isReady(smiUINT32 kind) noexcept;

// SnmpStartup: forget readiness (transports are made ready again on next use).
void clearReady() noexcept;

// SnmpCleanup: run the stop operation of each ready transport and clear the flags.
void stopReady() noexcept;

}  // namespace snmp::transport
