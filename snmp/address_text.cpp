#include "snmp/address_text.h"

#include <arpa/inet.h>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace snmp::address {
namespace {

bool allZero(const std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Right-aligns the hex digits [begin, end) into field[0..size): the last digit is the low nibble
// of the last byte. A part with more digits than the field holds is refused.
bool fillHexField(const char* begin, const char* end, std::uint8_t* field, std::size_t size) {
  std::memset(field, 0, size);
  const std::size_t digits = static_cast<std::size_t>(end - begin);
  if (digits > size * 2) return false;
  for (std::size_t i = 0; i < digits; ++i) {
    const int v = hexValue(end[-1 - static_cast<std::ptrdiff_t>(i)]);
    if (v < 0) return false;
    std::uint8_t& byte = field[size - 1 - i / 2];
    byte = static_cast<std::uint8_t>(byte | (i % 2 == 0 ? v : v << 4));
  }
  return true;
}

// Copies `s` into the caller's buffer when it fits with its terminator.
smiUINT32 writeText(const char* s, smiUINT32 size, char* text) {
  const std::size_t n = std::strlen(s);
  if (!text || size < n + 1) return SNMPAPI_OUTPUT_TRUNCATED;
  std::memcpy(text, s, n + 1);
  return SNMPAPI_SUCCESS;
}

}  // namespace

bool parseIpv4(const char* text, std::uint8_t out[4]) noexcept {
  if (!text || !*text) return false;
  in_addr a{};
  if (::inet_aton(text, &a) != 0) {
    std::memcpy(out, &a.s_addr, 4);
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(text, nullptr, &hints, &found) != 0 || !found) return false;
  bool ok = false;
  for (addrinfo* p = found; p; p = p->ai_next) {
    if (p->ai_family == AF_INET && p->ai_addrlen >= sizeof(sockaddr_in)) {
      std::memcpy(out, &reinterpret_cast<const sockaddr_in*>(p->ai_addr)->sin_addr.s_addr, 4);
      ok = true;
      break;
    }
  }
  ::freeaddrinfo(found);
  return ok;
}

bool parseIpx(const char* text, std::uint8_t network[4], std::uint8_t node[6]) noexcept {
  if (!text) return false;
  const std::size_t n = ::strnlen(text, 22);
  if (n < 12 || n > 21) return false;
  const char* sep = static_cast<const char*>(std::memchr(text, '-', n));
  if (!sep) sep = static_cast<const char*>(std::memchr(text, ':', n));
  if (!sep) return false;
  std::uint8_t net[4];
  std::uint8_t nod[6];
  if (!fillHexField(text, sep, net, sizeof net) || !fillHexField(sep + 1, text + n, nod, sizeof nod)) return false;
  std::memcpy(network, net, sizeof net);
  std::memcpy(node, nod, sizeof nod);
  return true;
}

bool parseSerial(const char* text, char port[5]) noexcept {
  if (!text) return false;
  const std::size_t n = ::strnlen(text, 6);
  if (n != 4 && n != 5) return false;
  if (std::strncmp(text, "COM", 3) != 0) return false;
  if (text[3] < '1' || text[3] > '9') return false;
  if (n == 5 && text[4] != ':') return false;
  std::memcpy(port, text, 4);
  port[4] = '\0';
  return true;
}

smiUINT32 formatIpv4(const std::uint8_t address[4], smiUINT32 size, char* text) noexcept {
  char s[16];
  std::snprintf(s, sizeof s, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
  const smiUINT32 rc = writeText(s, size, text);
  if (rc != SNMPAPI_SUCCESS) return rc;
  return allZero(address, 4) ? SNMPAPI_ENTITY_UNKNOWN : SNMPAPI_SUCCESS;
}

smiUINT32 formatIpx(const std::uint8_t network[4], const std::uint8_t node[6], smiUINT32 size, char* text) noexcept {
  if (!text || size < 22) return SNMPAPI_OUTPUT_TRUNCATED;
  std::snprintf(text, size, "%02X%02X%02X%02X-%02X%02X%02X%02X%02X%02X", network[0], network[1], network[2],
                network[3], node[0], node[1], node[2], node[3], node[4], node[5]);
  return allZero(network, 4) && allZero(node, 6) ? SNMPAPI_ENTITY_UNKNOWN : SNMPAPI_SUCCESS;
}

smiUINT32 formatSerial(const char* port, smiUINT32 size, char* text) noexcept {
  const std::size_t n = ::strnlen(port, 4);
  if (!text || size == 0) return SNMPAPI_OUTPUT_TRUNCATED;
  if (size >= n + 1) {
    std::memcpy(text, port, n);
    text[n] = '\0';
    return SNMPAPI_SUCCESS;
  }
  // As much as fits, still terminated.
  std::memcpy(text, port, size - 1);
  text[size - 1] = '\0';
  return SNMPAPI_OUTPUT_TRUNCATED;
}

}  // namespace snmp::address
