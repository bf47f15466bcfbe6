#include "netware/bindery_name.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace netware {

bool isForbiddenNameCharacter(char c) { return c != '\0' && std::strchr("/\\<>[]?,*+=|:;\"", c) != nullptr; }

std::optional<char> filterTypedNameCharacter(char c) {
  if (c == ' ') return '_';
  if (isForbiddenNameCharacter(c)) return std::nullopt;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool hasInvalidNameCharacters(std::string_view name) {
  for (char c : name)
    if (c == ' ' || isForbiddenNameCharacter(c)) return true;
  return false;
}

bool fitsBinderyName(std::string_view name) { return name.size() <= 47; }

std::string nameFromField(const std::uint8_t* field, std::size_t size) {
  std::string out;
  for (std::size_t i = 0; i < size && field[i] != 0 && out.size() < 47; ++i)
    if (field[i] >= 0x20 && field[i] != 0x7F) out.push_back(static_cast<char>(field[i]));
  return out;
}

std::array<char, 48> nameField(std::string_view name) {
  std::array<char, 48> f{};
  std::memcpy(f.data(), name.data(), std::min<std::size_t>(name.size(), 47));
  return f;
}

std::vector<std::uint32_t> setMembersFromSegment(const std::uint8_t* segment, std::size_t size) {
  std::vector<std::uint32_t> ids;
  for (std::size_t at = 0; at + 4 <= size && at < 128; at += 4) {
    std::uint32_t id;
    std::memcpy(&id, segment + at, 4);
    if (id == 0) break;
    ids.push_back(id);
  }
  return ids;
}

std::optional<NetAddress> netAddressFromValue(const std::uint8_t* value, std::size_t size) {
  if (size < 12) return std::nullopt;
  NetAddress a;
  std::memcpy(a.network.data(), value, 4);
  std::memcpy(a.node.data(), value + 4, 6);
  a.socket = static_cast<std::uint16_t>((value[10] << 8) | value[11]);
  return a;
}

std::string networkText(const std::array<std::uint8_t, 4>& n) {
  char text[9];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X", n[0], n[1], n[2], n[3]);
  return text;
}

std::string objectDirectoryName(std::uint32_t id) {
  std::uint8_t b[4];
  std::memcpy(b, &id, 4);
  char text[9];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X", b[3], b[2], b[1], b[0]);
  return text;
}

}  // namespace netware
