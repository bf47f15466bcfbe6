#pragma once
// A neutral picture of one SNMP message, so that what our codec and net-snmp make of the same
// bytes can be compared field by field.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace interop {

using Bytes = std::vector<std::uint8_t>;
using Oid = std::vector<std::uint32_t>;

struct Var {
  Oid name;
  std::uint8_t syntax = 0x05;
  std::uint64_t number = 0;  // INTEGER (as int32 bits), unsigned and Counter64 values
  Bytes bytes;               // byte strings; BIT STRING bytes
  std::uint32_t bits = 0;    // BIT STRING length in bits
  Oid oid;                   // OBJECT IDENTIFIER values

  bool operator==(const Var&) const = default;
};

struct Message {
  int type = 0xA0;
  std::int32_t requestId = 0;
  std::int32_t errorStatus = 0;
  std::int32_t errorIndex = 0;
  std::string community = "public";
  // v1 trap only
  Oid enterprise;
  Bytes agentAddress;
  std::int32_t generic = 0;
  std::int32_t specific = 0;
  std::uint32_t timeStamp = 0;
  std::vector<Var> vars;

  bool operator==(const Message&) const = default;
};

std::string toHex(const Bytes& b);
std::string toText(const Oid& oid);
std::ostream& operator<<(std::ostream& os, const Var& v);
std::ostream& operator<<(std::ostream& os, const Message& m);

// Our codec, used directly (snmp::codec).
Bytes oursEncode(const Message& m, std::uint32_t* code = nullptr);
bool oursDecode(const Bytes& wire, Message& m, std::uint32_t* code = nullptr);

// The same through the WinSNMP API (SnmpEncodeMsg / SnmpDecodeMsg on a session of its own).
Bytes apiEncode(const Message& m, std::uint32_t* code = nullptr);
bool apiDecode(const Bytes& wire, Message& m, std::uint32_t* code = nullptr);

// net-snmp's library as the independent party.
void netsnmpInit();
Bytes netsnmpBuild(const Message& m, std::string* error = nullptr);
bool netsnmpParse(const Bytes& wire, Message& m, std::string* error = nullptr);

}  // namespace interop
