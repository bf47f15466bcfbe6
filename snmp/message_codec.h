#pragma once
// Between handles and the BER codec: the records of a PDU, its list and its context become
// an encoder input; a decoded message becomes a new context, PDU and list of a session.
#include <cstddef>

#include "snmp/records.h"

namespace snmp {

// Encodes into a malloc'ed buffer of exactly the message length. Returns kOk or the code to
// post (SNMPAPI_ALLOC_ERROR when the PDU's list handle is unusable, else the codec's code).
smiUINT32 encodeRecords(const PduRecord& pdu, const ContextRecord& context, smiOCTETS* out) noexcept;

// Decodes one message into new handles owned by `session`. Returns kOk or the code to post;
// on failure no handle is left behind. `consumed` receives the length of the message.
smiUINT32 decodeToHandles(HSNMP_SESSION session, const smiBYTE* data, std::size_t length, HSNMP_CONTEXT* context,
                          HSNMP_PDU* pdu, std::size_t* consumed) noexcept;

}  // namespace snmp
