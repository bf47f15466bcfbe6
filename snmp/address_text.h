#pragma once
// Transport address texts: the dotted IPv4 (or host name) form, the IPX form
// "NNNNNNNN-XXXXXXXXXXXX" (or with ":"), and serial port names "COM1" to "COM9" (optionally
// "COMn:"). Parsers return false on any text they cannot take; formatters return
// SNMPAPI_SUCCESS, SNMPAPI_OUTPUT_TRUNCATED, or SNMPAPI_ENTITY_UNKNOWN for an all-zero address.
#include <cstdint>

#include "snmp/winsnmp.h"

namespace snmp::address {

// Dotted IPv4 as the classic inet_addr reads it; any other text is looked up as a host name
// and the first IPv4 address taken.
bool parseIpv4(const char* text, std::uint8_t out[4]) noexcept;

// 12 to 21 characters; network and node parts in hex, each right-aligned into its field
// (4 and 6 bytes) and no longer than it.
bool parseIpx(const char* text, std::uint8_t network[4], std::uint8_t node[6]) noexcept;

// Keeps "COMn" (n from 1 to 9) with terminator in `port` (5 bytes).
bool parseSerial(const char* text, char port[5]) noexcept;

smiUINT32 formatIpv4(const std::uint8_t address[4], smiUINT32 size, char* text) noexcept;
smiUINT32 formatIpx(const std::uint8_t network[4], const std::uint8_t node[6], smiUINT32 size, char* text) noexcept;
smiUINT32 formatSerial(const char* port, smiUINT32 size, char* text) noexcept;

}  // namespace snmp::address
