#pragma once
// Values and object identifiers as the simulated agent keeps them: plain owning types, no engine
// handles, so the MIB store and the agent's decisions can be tested without the codec.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

using Oid = std::vector<std::uint32_t>;

constexpr std::size_t kMaxOidLength = 128;    // sub-identifiers per OID we accept
constexpr std::size_t kMaxValueBytes = 1024;  // octet string held by one variable

// SNMP syntax codes (tags on the wire).
enum class Syntax : std::uint32_t {
  Integer = 0x02,
  Octets = 0x04,
  Null = 0x05,
  ObjectId = 0x06,
  IpAddress = 0x40,
  Counter = 0x41,
  Gauge = 0x42,
  TimeTicks = 0x43,
  Opaque = 0x44,
  Counter64 = 0x46,
  Unsigned32 = 0x47,
};

struct Value {
  Syntax syntax = Syntax::Null;
  std::int64_t number = 0;  // Integer (signed 32), unsigned syntaxes, Counter64 (as 64-bit pattern)
  std::string bytes;        // Octets, IpAddress (4 bytes), Opaque
  Oid oid;                  // ObjectId

  static Value null() { return {}; }
  static Value integer(std::int32_t v) { return {Syntax::Integer, v, {}, {}}; }
  static Value octets(std::string s) { return {Syntax::Octets, 0, std::move(s), {}}; }
  static Value ip(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return {Syntax::IpAddress, 0, std::string{char(a), char(b), char(c), char(d)}, {}};
  }
  static Value unsignedOf(Syntax s, std::uint32_t v) { return {s, std::int64_t(v), {}, {}}; }
  static Value objectId(Oid o) { return {Syntax::ObjectId, 0, {}, std::move(o)}; }

  bool operator==(const Value&) const = default;
};

// True for the syntax codes this agent can carry.
bool isKnownSyntax(std::uint32_t code);
// Short lower-case name used in the data file and the request log ("int", "octets", "ip", ...).
const char* syntaxName(Syntax s);
// Name from the data file to syntax; accepts the log names and a few aliases ("text", "hex").
std::optional<Syntax> syntaxFromName(std::string_view name);

// "1.3.6.1" (an optional leading "." is ignored); empty or malformed text, a sub-identifier
// above 2^32-1 or more than kMaxOidLength parts gives nullopt.
std::optional<Oid> parseOid(std::string_view text);
std::string formatOid(const Oid& oid);
bool startsWith(const Oid& oid, const Oid& prefix);
Oid concat(const Oid& a, const Oid& b);

// Dotted IPv4 text to host-order number.
std::optional<std::uint32_t> parseIpv4(std::string_view text);
std::string formatIpv4(std::uint32_t hostOrder);

std::string toHex(std::string_view bytes);
// Hex digits, optionally separated by ':', '-' or spaces; an odd count or a non-hex digit gives nullopt.
std::optional<std::string> fromHex(std::string_view text);
// True when every byte is printable ASCII (space to '~').
bool isPrintable(std::string_view bytes);

}  // namespace sim
