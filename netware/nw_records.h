#pragma once
// The fixed-record files in a print server's directory on a file server: FILESERV (48-byte
// server names), ROUTING (server, queue, 16-bit port), QUEUE.nnn (queue, priority) and PRINT.nnn
// (printer name and fixed bytes). Names NUL-padded to 48 bytes, integers little-endian. Records
// are built in memory and a file is written whole.
#include <cstdint>
#include <string>
#include <vector>

namespace netware {

inline constexpr std::size_t kFileServRecord = 48;
inline constexpr std::size_t kRoutingRecord = 98;
inline constexpr std::size_t kQueueRecord = 49;
inline constexpr std::size_t kPrintRecord = 70;

struct RoutingRecord {
  std::string fileServer;
  std::string queue;
  int port = 1;  // 1-based
};

std::string fileServRecord(const std::string& server);
std::string routingRecord(const RoutingRecord& r);
std::string queueRecord(const std::string& queue);
// `existing` is the old PRINT.nnn (its first 48 bytes keep the printer name), or "".
std::string printRecord(int printerNumber, const std::string& existing);

// Whole records only; a trailing partial record is ignored.
std::vector<std::string> fileServNames(const std::string& file);
std::vector<RoutingRecord> routingRecords(const std::string& file);
std::vector<std::string> queueNames(const std::string& file);

// "QUEUE.%03i" and "PRINT.%03i".
std::string queueFileName(int printerNumber);
std::string printFileName(int printerNumber);

}  // namespace netware
