#pragma once
// The record that addresses one print server for a request. The caller owns it (normally the
// dialog that runs the requests) and fills it; a CSnmpSession only points at it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace snmpaccess {

class ProgressWindow;

// Address family codes.
inline constexpr std::uint16_t kFamilySerial = 0;
inline constexpr std::uint16_t kFamilyIpv4 = 2;
inline constexpr std::uint16_t kFamilyIpx = 6;

// Text fields hold up to 32 characters plus the terminator.
inline constexpr std::size_t kTargetTextSize = 33;

// Copies at most size - 1 bytes of `text` (stopping at a NUL) and terminates.
inline void copyBounded(char* field, std::size_t size, std::string_view text) {
  if (size == 0) return;
  std::size_t n = 0;
  while (n < text.size() && n + 1 < size && text[n] != '\0') ++n;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

struct SnmpTarget {
  std::uint16_t family = kFamilyIpv4;
  char address[kTargetTextSize] = {};
  char getCommunity[kTargetTextSize] = {};
  char setCommunity[kTargetTextSize] = {};  // empty when unknown
  ProgressWindow* progress = nullptr;

  void setAddress(std::string_view text) { copyBounded(address, sizeof address, text); }
  void setGetCommunity(std::string_view text) { copyBounded(getCommunity, sizeof getCommunity, text); }
  void setSetCommunity(std::string_view text) { copyBounded(setCommunity, sizeof setCommunity, text); }
};

}  // namespace snmpaccess
