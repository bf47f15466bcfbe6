#pragma once
// The BER codec of SNMPv1 messages, below the handle layer: the engine's SnmpEncodeMsg and
// SnmpDecodeMsg turn handles into these plain records and call it. The decoder's OID arrays
// and byte strings live in the output's own storage (malloc'ed only past its end) until
// freeDecoded or the next decode into the same output; the handle layer copies what it keeps.
#include <cstddef>
#include <cstdint>

#include "snmp/winsnmp.h"

namespace snmp::codec {

constexpr std::size_t kMaxMessage = 1408;   // work area and receive buffer
constexpr std::size_t kMaxBindings = 32;    // per variable-binding list
constexpr std::size_t kMaxCommunity = 256;  // bytes held by a context
constexpr std::size_t kMaxDepth = 32;       // nesting of constructed elements
// Enough for every sub-identifier and byte of a kMaxMessage message (at most four bytes of
// storage per byte on the wire); a longer message spills over into malloc'ed pieces.
constexpr std::size_t kDecodeStorage = 4 * kMaxMessage;

struct BindingRef {
  const smiOID* name;
  const smiVALUE* value;
};

// What the encoder needs: the PDU fields, the community and the bindings (all borrowed).
struct EncodeInput {
  smiINT pduType = SNMP_PDU_GET;
  smiINT32 requestId = 0;
  smiINT errorStatus = 0;
  smiINT errorIndex = 0;
  // v1 trap (0xA4) only
  const smiOID* enterprise = nullptr;
  const smiOCTETS* agentAddress = nullptr;
  smiINT genericTrap = 0;
  smiINT specificTrap = 0;
  smiUINT32 timeStamp = 0;

  const smiBYTE* community = nullptr;
  smiUINT32 communityLength = 0;
  const BindingRef* bindings = nullptr;
  smiUINT32 count = 0;
};

// Encodes into `buffer` (capacity `capacity`, normally kMaxMessage). On success returns 0 and
// sets `start`/`length` to the message inside the buffer (it is written backwards, so it sits at
// the buffer's end). On failure returns the engine error code (2, 9, 11, 19, 99).
smiUINT32 encodeInto(const EncodeInput& in, smiBYTE* buffer, std::size_t capacity, const smiBYTE** start,
                     std::size_t* length) noexcept;

// Encodes into a malloc'ed buffer of exactly the message length. Returns 0 or an error code.
smiUINT32 encodeMessage(const EncodeInput& in, smiOCTETS* out) noexcept;

struct DecodedBinding {
  smiOID name;     // sub-identifiers in the output's storage
  smiVALUE value;  // contents of byte strings, bit strings and OIDs in the output's storage
};

// A decoded message. A received v1 trap has already been translated into an 0xA7 PDU
// (request id 1, bindings sysUpTime.0, snmpTrapOID.0, the received ones, snmpTrapEnterprise.0).
struct DecodeOutput {
  smiBYTE community[kMaxCommunity];
  smiUINT32 communityLength = 0;
  smiINT pduType = 0;
  smiINT32 requestId = 0;
  smiINT errorStatus = 0;
  smiINT errorIndex = 0;
  smiUINT32 count = 0;
  DecodedBinding bindings[kMaxBindings];
  // Where the arrays and strings above point: one buffer per output, so decoding allocates
  // nothing for messages up to kMaxMessage.
  std::size_t storageUsed = 0;
  bool spilled = false;  // some of them did not fit and were malloc'ed
  alignas(smiUINT32) smiBYTE storage[kDecodeStorage];
};

// Decodes one whole message. Returns 0 or the engine error code (2, 11, 19, 99); on failure
// nothing stays allocated in `out`. Whatever `out` held before is overwritten, not freed. `consumed` (optional) receives the length of the message.
smiUINT32 decodeMessage(const smiBYTE* data, std::size_t length, DecodeOutput& out,
                        std::size_t* consumed = nullptr) noexcept;

// Frees every allocation held by `out` (the spill-over past its storage) and empties it.
void freeDecoded(DecodeOutput& out) noexcept;

}  // namespace snmp::codec
