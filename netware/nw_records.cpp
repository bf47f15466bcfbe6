#include "netware/nw_records.h"

#include <cstdio>
#include <cstring>

#include "netware/bindery_name.h"

namespace netware {

namespace {
void putName(std::string& rec, std::size_t at, const std::string& name) {
  const auto f = nameField(name);
  std::memcpy(rec.data() + at, f.data(), f.size());
}
std::string nameAt(const std::string& file, std::size_t at) {
  return nameFromField(reinterpret_cast<const std::uint8_t*>(file.data()) + at, 48);
}
}  // namespace

std::string fileServRecord(const std::string& server) {
  std::string rec(kFileServRecord, '\0');
  putName(rec, 0, server);
  return rec;
}

std::string routingRecord(const RoutingRecord& r) {
  std::string rec(kRoutingRecord, '\0');
  putName(rec, 0, r.fileServer);
  putName(rec, 48, r.queue);
  rec[96] = static_cast<char>(r.port & 0xFF);
  rec[97] = static_cast<char>((r.port >> 8) & 0xFF);
  return rec;
}

std::string queueRecord(const std::string& queue) {
  std::string rec(kQueueRecord, '\0');
  putName(rec, 0, queue);
  rec[48] = 1;  // priority
  return rec;
}

std::string printRecord(int printerNumber, const std::string& existing) {
  std::string rec(kPrintRecord, '\0');
  if (existing.size() >= 48)
    std::memcpy(rec.data(), existing.data(), 48);
  else
    putName(rec, 0, "Printer" + std::to_string(printerNumber));
  rec[48] = 0x0E;
  rec[50] = 0x01;
  rec[52] = 0x07;
  rec[56] = 0x03;
  rec[58] = 0x05;
  rec[60] = 0x08;
  return rec;
}

std::vector<std::string> fileServNames(const std::string& file) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at + kFileServRecord <= file.size(); at += kFileServRecord) names.push_back(nameAt(file, at));
  return names;
}

std::vector<RoutingRecord> routingRecords(const std::string& file) {
  std::vector<RoutingRecord> out;
  for (std::size_t at = 0; at + kRoutingRecord <= file.size(); at += kRoutingRecord) {
    RoutingRecord r;
    r.fileServer = nameAt(file, at);
    r.queue = nameAt(file, at + 48);
    r.port = static_cast<std::uint8_t>(file[at + 96]) | (static_cast<std::uint8_t>(file[at + 97]) << 8);
    out.push_back(std::move(r));
  }
  return out;
}

std::vector<std::string> queueNames(const std::string& file) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at + kQueueRecord <= file.size(); at += kQueueRecord) names.push_back(nameAt(file, at));
  return names;
}

std::string queueFileName(int n) {
  char name[16];
  std::snprintf(name, sizeof name, "QUEUE.%03i", n);
  return name;
}
std::string printFileName(int n) {
  char name[16];
  std::snprintf(name, sizeof name, "PRINT.%03i", n);
  return name;
}

}  // namespace netware
