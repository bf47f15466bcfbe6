#pragma once
// Between datagrams and the agent: decoding requests and encoding replies with the engine's BER
// codec, fitting a reply into one message, and the byte-level damage of reply faults.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/snmp_agent.h"

namespace sim {

using Bytes = std::vector<std::uint8_t>;

// Decodes one SNMP message. On failure returns nullopt and sets `codecError` to the codec's code.
std::optional<Request> decodeRequest(const std::uint8_t* data, std::size_t length, std::uint32_t* codecError);

// Encodes the response PDU for a decision (answer == true). Returns the codec's code (0 on success).
std::uint32_t encodeResponse(const Request& request, const Decision& decision, Bytes& out);

// Encodes the answer for `decision`; a reply that would exceed one message is replaced (in
// `decision` too, so the log shows what was sent) by the agent's tooBig for what fitted. Then the
// decision's byte-level fault is applied. Returns the codec's code (0 on success).
std::uint32_t encodeAnswer(const SnmpAgent& agent, const Request& request, Decision& decision, Bytes& out);

void damageReply(Bytes& message, ReplyFault fault);

// Encodes a request (used by tests and tools that talk to the simulator).
std::uint32_t encodeRequest(const Request& request, Bytes& out);
// Decodes a reply into the same plain form (the PDU type lands in `pduType`), with its error fields.
struct Reply {
  Request pdu;
  int errorStatus = 0;
  int errorIndex = 0;
};
std::optional<Reply> decodeReply(const std::uint8_t* data, std::size_t length, std::uint32_t* codecError);

}  // namespace sim
