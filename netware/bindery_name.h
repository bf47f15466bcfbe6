#pragma once
// Bindery names: what a name field lets through as it is typed, the test made when a page is
// left, and the bounded decoding of names and property values that a file server returns.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace netware {

inline constexpr const char* kTextInvalidNameCharacters = "Invalid characters in name (/\\<>[ ]?,*+=|:;\")";

// Characters a bindery name never holds (besides the space, which typing turns into "_").
bool isForbiddenNameCharacter(char c);

// A typed character as the name field takes it: upper case, a space as "_", and nothing (with
// the information beep) for a forbidden one.
std::optional<char> filterTypedNameCharacter(char c);
// True when `name` holds a forbidden character or a space (pasted text).
bool hasInvalidNameCharacters(std::string_view name);
// At most 47 characters.
bool fitsBinderyName(std::string_view name);

// A name from a fixed field of `size` bytes: up to the first NUL, never more than 47
// characters, non-printing bytes dropped.
std::string nameFromField(const std::uint8_t* field, std::size_t size);
// `name` as a 48-byte NUL-padded field (longer names are cut at 47 characters).
std::array<char, 48> nameField(std::string_view name);

// The object identifiers of one 128-byte segment of a set property: up to 32, ending at the
// first 0. Each keeps the bytes as the client returns them.
std::vector<std::uint32_t> setMembersFromSegment(const std::uint8_t* segment, std::size_t size);

struct NetAddress {
  std::array<std::uint8_t, 4> network{};
  std::array<std::uint8_t, 6> node{};
  std::uint16_t socket = 0;
};
// The NET_ADDRESS property value: network 4, node 6, socket 2 (network order). Nothing when
// fewer than 12 bytes arrived.
std::optional<NetAddress> netAddressFromValue(const std::uint8_t* value, std::size_t size);
// "%08X" of the network number.
std::string networkText(const std::array<std::uint8_t, 4>& network);

// The configuration directory name of a print server object: the identifier's four bytes as
// returned, printed last byte first ("78563412" for bytes 12 34 56 78).
std::string objectDirectoryName(std::uint32_t idAsReturned);

}  // namespace netware
