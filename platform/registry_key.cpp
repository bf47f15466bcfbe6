#include "platform/registry_key.h"

#include <algorithm>

namespace platform {
namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool namesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

std::string foldName(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

RegKey* RegKey::findSubkey(std::string_view n) const {
  for (const auto& k : subkeys) {
    if (namesEqual(k->name, n)) return k.get();
  }
  return nullptr;
}

RegKey& RegKey::subkey(std::string_view n) {
  if (RegKey* k = findSubkey(n)) return *k;
  subkeys.push_back(std::make_unique<RegKey>(std::string(n)));
  return *subkeys.back();
}

bool RegKey::removeSubkey(std::string_view n) {
  auto it = std::find_if(subkeys.begin(), subkeys.end(), [&](const auto& k) { return namesEqual(k->name, n); });
  if (it == subkeys.end()) return false;
  subkeys.erase(it);
  return true;
}

const RegValue* RegKey::findValue(std::string_view n) const {
  for (const auto& [name, v] : values) {
    if (namesEqual(name, n)) return &v;
  }
  return nullptr;
}

void RegKey::setValue(std::string_view n, RegValue v) {
  for (auto& [name, old] : values) {
    if (namesEqual(name, n)) {
      old = std::move(v);
      return;
    }
  }
  values.emplace_back(std::string(n), std::move(v));
}

bool RegKey::removeValue(std::string_view n) {
  auto it = std::find_if(values.begin(), values.end(), [&](const auto& p) { return namesEqual(p.first, n); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

std::unique_ptr<RegKey> RegKey::clone() const {
  auto copy = std::make_unique<RegKey>(name);
  copy->values = values;
  copy->subkeys.reserve(subkeys.size());
  for (const auto& k : subkeys) copy->subkeys.push_back(k->clone());
  return copy;
}

void RegKey::mergeFrom(const RegKey& from) {
  for (const auto& [n, v] : from.values) setValue(n, v);
  for (const auto& k : from.subkeys) subkey(k->name).mergeFrom(*k);
}

bool RegKey::operator==(const RegKey& other) const {
  if (name != other.name || values != other.values || subkeys.size() != other.subkeys.size()) return false;
  for (std::size_t i = 0; i < subkeys.size(); ++i) {
    if (!(*subkeys[i] == *other.subkeys[i])) return false;
  }
  return true;
}

}  // namespace platform
