#pragma once
// The in-memory tree behind platform::Registry: one node per key, holding its values and subkeys
// in the order they were created. Names keep their case and compare without it (ASCII folding).
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace platform {

// Equal when they differ only in the case of ASCII letters.
bool namesEqual(std::string_view a, std::string_view b);
// ASCII lower-case copy, the form used for lookups by name.
std::string foldName(std::string_view name);

struct RegKey {
  std::string name;
  std::vector<std::pair<std::string, RegValue>> values;
  std::vector<std::unique_ptr<RegKey>> subkeys;

  RegKey() = default;
  explicit RegKey(std::string n) : name(std::move(n)) {}

  RegKey* findSubkey(std::string_view n) const;
  // Finds the subkey or appends a new one of that name.
  RegKey& subkey(std::string_view n);
  bool removeSubkey(std::string_view n);

  const RegValue* findValue(std::string_view n) const;
  // Replaces the data of an existing value (keeping its place and the case it was created with)
  // or appends a new value.
  void setValue(std::string_view n, RegValue v);
  bool removeValue(std::string_view n);

  std::unique_ptr<RegKey> clone() const;
  // Copies every value and subkey of `from` into this key, over what is there.
  void mergeFrom(const RegKey& from);

  bool operator==(const RegKey& other) const;
};

}  // namespace platform
