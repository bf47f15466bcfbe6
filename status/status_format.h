#pragma once
// How the status pages and the status report put values into words: up time, hardware address,
// network speed, the support text's line breaks, the report's date, the default file names and
// the lines of the TCP connection list.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace status {

inline constexpr const char* kCrLf = "\r\n";

// sysUpTime in hundredths: "%li days %li hours %li mins %li.%li secs" (hundredths without a
// leading zero, as the unit's own pages have always shown them).
std::string upTimeText(std::uint32_t hundredths);
// "%02X" for the first octet and ":%02X" for each further one, at most 85 octets.
std::string hardwareAddressText(std::string_view octets);
// Bits per second as whole megabits: "%li Mb".
std::string netSpeedText(std::uint32_t bitsPerSecond);
// 1 "10BASE-2" ... 6 "Fiber 100fx", anything else "UNKNOWN".
std::string cableTypeText(std::int32_t value);
// Every ";" together with the one character after it becomes a line break (CR LF).
std::string supportText(std::string_view text);
// The 24-character date of the C library in the C locale: "Thu Dec 10 18:42:33 2026".
std::string reportDate(std::time_t when);
// The status report's default file name: the unit's name with every character a file name
// cannot hold (and blank, full stop, comma, equals) replaced by "_", then ".txt"; at most 260
// characters in all.
std::string reportFileName(std::string_view name);
// The PJL log's default file name "PJL-" + serial number + ".txt", with the characters a file
// name cannot hold (a "/" above all) replaced by "_"; at most 260 characters.
std::string pjlFileName(std::string_view serialNumber);

// The TCP connection list.
std::string tcpStateText(std::int32_t state);
// " (Raw)", "   (FTP)", ... after the local port; empty for other ports.
std::string serviceSuffix(std::uint32_t localPort);

}  // namespace status
